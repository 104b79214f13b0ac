#include "ui/widgets/FileManagerDialog.h"

#include "core/Colors.h"
#include "core/Twips.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

namespace aurivo {

namespace {
// The design's window width includes its border; the inner area is this much narrower.
constexpr double kBorderTwips = 6735 - 6645;
constexpr double kInnerHeightTwips = 4380;
// The display-list labels, one under the other at the right.
constexpr double kLabelTops[6] = {540, 1035, 1575, 2115, 2700, 3240};
} // namespace

FileManagerDialog::FileManagerDialog(FileManager& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("frmFileManager"));

    txtFM_ = new QLineEdit(this);
    txtFM_->setObjectName(QStringLiteral("txtFM"));
    dirFM_ = new QListWidget(this);
    dirFM_->setObjectName(QStringLiteral("dirFM"));
    filFM_ = new QListWidget(this);
    filFM_->setObjectName(QStringLiteral("filFM"));
    drvFM_ = new QComboBox(this);
    drvFM_->setObjectName(QStringLiteral("drvFM"));
    cmdAdd2List_ = new QPushButton(QStringLiteral("Add ->"), this);
    cmdAdd2List_->setObjectName(QStringLiteral("cmdAdd2List"));
    cmdFileOption_ = new QPushButton(this);
    cmdFileOption_->setObjectName(QStringLiteral("cmdFileOption"));
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    // Enter in the name box is handled by the name box alone, never by a default button.
    for (QPushButton* button : {cmdAdd2List_, cmdFileOption_, cmdCancel_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    QFont labelFont(QStringLiteral("MS Sans Serif"));
    labelFont.setPointSizeF(9.75);
    labelFont.setBold(true);
    for (size_t i = 0; i < lblFile2Display_.size(); ++i) {
        QLabel* label = new QLabel(this);
        label->setObjectName(QStringLiteral("lblFile2Display_%1").arg(i));
        label->setFrameShape(QFrame::Box);
        label->setFont(labelFont);
        lblFile2Display_[i] = label;
    }

    txtFM_->setGeometry(twips(90, 90, 2415, 285));
    dirFM_->setGeometry(twips(90, 450, 2415, 1890));
    filFM_->setGeometry(twips(90, 2385, 2415, 1455));
    drvFM_->setGeometry(twips(90, 3915, 2415, 315));
    cmdAdd2List_->setGeometry(twips(2700, 225, 1275, 330));
    cmdFileOption_->setGeometry(twips(2700, 1035, 1275, 675));
    cmdCancel_->setGeometry(twips(2700, 2835, 1275, 675));

    connect(txtFM_, &QLineEdit::textEdited, this, [this](const QString& text) { model_.setName(text); });
    connect(txtFM_, &QLineEdit::returnPressed, this, [this] {
        run([this] {
            model_.setName(txtFM_->text());
            model_.nameKeyUp(13);
        });
    });
    connect(cmdAdd2List_, &QPushButton::clicked, this,
            [this] { run([this] { model_.addToDisplayList(); }); });
    connect(cmdFileOption_, &QPushButton::clicked, this, [this] { run([this] { model_.runFileOption(); }); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { run([this] { model_.cancel(); }); });
    connect(filFM_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (!item) return;
        run([this, name = item->text()] { model_.pickFile(name); });
    });
    connect(filFM_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (!item) return;
        run([this, name = item->text()] { model_.pickFileAndConfirm(name); });
    });
    connect(dirFM_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (!item) return;
        run([this, folder = item->data(Qt::UserRole).toString()] { model_.changeFolder(folder); });
    });
    connect(drvFM_, &QComboBox::activated, this, [this](int index) {
        run([this, drive = drvFM_->itemText(index)] { model_.changeDrive(drive); });
    });

    syncFromModel();
}

QRect FileManagerDialog::twips(double left, double top, double width, double height) const {
    return toPixelRect(TwipsRect{left, top, width, height}, twipsPerPixelAt(logicalDpiX()));
}

void FileManagerDialog::run(const std::function<void()>& handler) {
    handler();
    syncFromModel();
    if (model_.hidden()) accept();
}

void FileManagerDialog::showEvent(QShowEvent* event) {
    syncFromModel();
    QDialog::showEvent(event);
}

void FileManagerDialog::fillFolderList() {
    dirFM_->clear();
    const QDir folder(model_.folder());
    if (!folder.isRoot()) {
        auto* up = new QListWidgetItem(QStringLiteral(".."), dirFM_);
        up->setData(Qt::UserRole, QDir::cleanPath(folder.absoluteFilePath(QStringLiteral(".."))));
    }
    const QStringList subfolders =
        folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders) {
        auto* item = new QListWidgetItem(name, dirFM_);
        item->setData(Qt::UserRole, folder.absoluteFilePath(name));
    }
    dirFM_->setToolTip(QDir::toNativeSeparators(folder.absolutePath()));
}

void FileManagerDialog::syncFromModel() {
    setWindowTitle(model_.caption());
    const QRect inner = twips(0, 0, std::max(0.0, model_.width() - kBorderTwips), kInnerHeightTwips);
    setFixedSize(inner.size());

    if (txtFM_->text() != model_.name()) txtFM_->setText(model_.name());
    cmdFileOption_->setText(model_.optionCaption());
    cmdAdd2List_->setVisible(model_.addButtonShown());

    if (listedFolder_ != model_.folder()) {
        listedFolder_ = model_.folder();
        fillFolderList();
    }
    if (listedFiles_ != model_.fileNames()) {
        listedFiles_ = model_.fileNames();
        filFM_->clear();
        filFM_->addItems(listedFiles_);
    }
    const QStringList drives = model_.drives();
    QStringList shown;
    for (int i = 0; i < drvFM_->count(); ++i)
        shown.append(drvFM_->itemText(i));
    if (shown != drives) {
        drvFM_->clear();
        drvFM_->addItems(drives);
    }
    drvFM_->setCurrentIndex(drvFM_->findText(model_.currentDrive()));

    for (size_t i = 0; i < lblFile2Display_.size(); ++i) {
        const LabelModel& label = model_.displayLabels()[i];
        QLabel* view = lblFile2Display_[i];
        view->setText(label.caption);
        view->setGeometry(twips(4275, kLabelTops[i], 2265, 330));
        view->setStyleSheet(
            QStringLiteral("QLabel { background-color: %1; color: %2; }")
                .arg(colors::toQColor(label.backColor).name(), colors::toQColor(label.foreColor).name()));
    }
}

} // namespace aurivo
