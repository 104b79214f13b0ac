#include "widgets/AboutBox.h"

#include "app/BuildInfo.h"
#include "core/Twips.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace aurivo {

namespace {
constexpr const char* kAppTitle = "Aurivo USB";

// The About box's own 32 x 32 picture: a probe over a resistance trace.
QPixmap aboutIcon() {
    QPixmap pm(32, 32);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0, 90, 170), 2));
    p.drawEllipse(QRectF(3, 3, 26, 26));
    p.setPen(QPen(QColor(200, 40, 40), 2));
    p.drawPolyline(QPolygonF{{6, 18}, {12, 18}, {15, 10}, {19, 24}, {22, 15}, {26, 15}});
    return pm;
}
} // namespace

AboutBox::AboutBox(const QString& programFolder, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    // Design lengths are twips, converted at the screen's resolution like the main window's.
    const double perPixel = twipsPerPixelAt(screen() ? screen()->logicalDotsPerInch() : 0);
    const auto px = [perPixel](double twips) { return toPixels(twips, perPixel); };
    const auto place = [perPixel](QWidget* w, double left, double top, double width, double height) {
        w->setGeometry(toPixelRect({left, top, width, height}, perPixel));
    };
    setFixedSize(px(4485), px(2040));
    const QString title = QString::fromLatin1(kAppTitle);
    setWindowTitle(QStringLiteral("About ") + title);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(aboutIcon());
    place(picIcon, 240, 240, 540, 540);

    auto* lblTitle = new QLabel(title, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setStyleSheet(QStringLiteral("color: black;"));
    place(lblTitle, 1050, 240, 3345, 480);

    auto* lblVersion = new QLabel(QStringLiteral("Version %1.%2.%3")
                                      .arg(buildinfo::kVersionMajor)
                                      .arg(buildinfo::kVersionMinor)
                                      .arg(buildinfo::kVersionPatch),
                                  this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    place(lblVersion, 1050, 780, 3345, 225);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(px(45), px(1215) - 1, px(4455) - px(45), 2);

    // Where the settings and session files are: the one addition to the box, under its line.
    auto* lblFolder = new QLabel(this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    place(lblFolder, 240, 1245, 4005, 225);
    lblFolder->setText(lblFolder->fontMetrics().elidedText(QStringLiteral("Files: ") + programFolder,
                                                           Qt::ElideMiddle, lblFolder->width()));
    lblFolder->setToolTip(programFolder);
    lblFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    place(ok, 1530, 1485, 1260, 345);
    // Enter presses the default button; Escape rejects the dialog, which closes it the same way.
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace aurivo
