#include "ui/widgets/AboutBox.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace aurivo {

namespace {
constexpr const char* kAppTitle = "Aurivo USB";
constexpr int kMajor = 2, kMinor = 1, kRevision = 0;

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

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    // Design lengths in twips at 15 twips per pixel: client area 4485 x 2040.
    setFixedSize(299, 136);
    const QString title = QString::fromLatin1(kAppTitle);
    setWindowTitle(QStringLiteral("About ") + title);

    auto* picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(aboutIcon());
    picIcon->setGeometry(16, 16, 36, 36);

    auto* lblTitle = new QLabel(title, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setStyleSheet(QStringLiteral("color: black;"));
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    lblTitle->setFont(big);
    lblTitle->setGeometry(70, 16, 223, 32);

    auto* lblVersion =
        new QLabel(QStringLiteral("Version %1.%2.%3").arg(kMajor).arg(kMinor).arg(kRevision), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setGeometry(70, 52, 223, 15);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(3, 80, 294, 2);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    ok->setGeometry(102, 99, 84, 23);
    // Enter presses the default button; Escape rejects the dialog, which closes it the same way.
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace aurivo
