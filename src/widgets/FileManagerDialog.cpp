#include "widgets/FileManagerDialog.h"

#include "core/Twips.h"
#include "recording/SessionColours.h"
#include "widgets/SystemColours.h"
#include "widgets/TextFit.h"

#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
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
    createControls();
    createDisplayLabels();
    placeControls();
    connectNameBox();
    connectButtonsAndLists();
    syncFromModel();
}

void FileManagerDialog::createControls() {
    txtFM_ = new QLineEdit(this);
    txtFM_->setObjectName(QStringLiteral("txtFM"));
    dirFM_ = new QListWidget(this);
    dirFM_->setObjectName(QStringLiteral("dirFM"));
    filFM_ = new QListWidget(this);
    filFM_->setObjectName(QStringLiteral("filFM"));
    drvFM_ = new QComboBox(this);
    drvFM_->setObjectName(QStringLiteral("drvFM"));
    txtFM_->setAccessibleName(QStringLiteral("Session name"));
    dirFM_->setAccessibleName(QStringLiteral("Folders"));
    filFM_->setAccessibleName(QStringLiteral("Session files"));
    drvFM_->setAccessibleName(QStringLiteral("Drives"));
    cmdAdd2List_ = new QPushButton(QStringLiteral("Add ->"), this);
    cmdAdd2List_->setObjectName(QStringLiteral("cmdAdd2List"));
    cmdFileOption_ = new QPushButton(this);
    cmdFileOption_->setObjectName(QStringLiteral("cmdFileOption"));
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    // Enter presses the focused button; elsewhere the dialog's own key handling presses the default one.
    for (QPushButton* button : {cmdAdd2List_, cmdFileOption_, cmdCancel_})
        button->setAutoDefault(true);
    cmdFileOption_->setDefault(true);
}

void FileManagerDialog::createDisplayLabels() {
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
}

void FileManagerDialog::placeControls() {
    txtFM_->setGeometry(twips(90, 90, 2415, 285));
    dirFM_->setGeometry(twips(90, 450, 2415, 1890));
    filFM_->setGeometry(twips(90, 2385, 2415, 1455));
    drvFM_->setGeometry(twips(90, 3915, 2415, 315));
    cmdAdd2List_->setGeometry(twips(2700, 225, 1275, 330));
    cmdFileOption_->setGeometry(twips(2700, 1035, 1275, 675));
    cmdCancel_->setGeometry(twips(2700, 2835, 1275, 675));
}

void FileManagerDialog::connectNameBox() {
    // Typed, pasted or set by assistive technology: every change of the name reaches the model, and
    // the buttons take the name as it stands.
    connect(txtFM_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_.setName(text);
        cmdFileOption_->setEnabled(model_.fileOptionEnabled());
    });
    // Enter in the name box is the name box's own (it adds or saves), never also the default button's.
    class NameEnter : public QObject {
      public:
        explicit NameEnter(FileManagerDialog* dialog) : QObject(dialog), dialog_(dialog) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() != QEvent::KeyPress) return false;
            const int key = static_cast<QKeyEvent*>(e)->key();
            if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
            dialog_->run([this] {
                dialog_->model_.setName(dialog_->txtFM_->text());
                dialog_->model_.nameKeyUp(13);
            });
            return true;
        }

      private:
        FileManagerDialog* dialog_;
    };
    txtFM_->installEventFilter(new NameEnter(this));
}

void FileManagerDialog::connectButtonsAndLists() {
    connect(cmdAdd2List_, &QPushButton::clicked, this, [this] {
        run([this] {
            model_.setName(txtFM_->text());
            model_.addToDisplayList();
        });
    });
    connect(cmdFileOption_, &QPushButton::clicked, this, [this] {
        run([this] {
            model_.setName(txtFM_->text());
            model_.runFileOption();
        });
    });
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
    txtFM_->setFocus(Qt::OtherFocusReason);
}

void FileManagerDialog::keyPressEvent(QKeyEvent* event) {
    // Keys that reach the dialog were not used by the control with the focus.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Escape) {
        cmdCancel_->click();
        return;
    }
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // The lists act on Enter themselves (a file is added, a folder opened).
        QWidget* focus = focusWidget();
        if (focus != filFM_ && focus != dirFM_ && cmdFileOption_->isEnabled()) cmdFileOption_->click();
        return;
    }
    QDialog::keyPressEvent(event);
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
    const QRect inner = twips(0, 0, std::max(0.0, model_.widthTwips() - kBorderTwips), kInnerHeightTwips);
    setFixedSize(std::max(inner.width(), TextFit::windowWidthForTitle(model_.caption())), inner.height());

    if (txtFM_->text() != model_.name()) txtFM_->setText(model_.name());
    cmdFileOption_->setText(model_.optionCaption());
    cmdFileOption_->setEnabled(model_.fileOptionEnabled());
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
        QLabel* view = lblFile2Display_[i];
        view->setText(model_.displayNames()[i]);
        view->setGeometry(twips(4275, kLabelTops[i], 2265, 330));
        // Labels beyond the window's width (saving) are hidden, so no screen reader meets them either.
        view->setVisible(view->geometry().left() < inner.width());
        view->setStyleSheet(
            QStringLiteral("QLabel { background-color: %1; color: %2; }")
                .arg(colors::toQColor(colors::kBlack).name(), colors::toQColor(kSessionColours[i]).name()));
    }
}

} // namespace aurivo
