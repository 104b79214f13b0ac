#include "widgets/SaveAsDialog.h"

#include "core/Twips.h"
#include "widgets/TextFit.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace aurivo {

SaveAsDialog::SaveAsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("formSaveAs"));
    setWindowTitle(QStringLiteral("Save Session As"));
    const double perPixel = twipsPerPixelAt(logicalDpiX());
    const auto px = [perPixel](double twips) { return toPixels(twips, perPixel); };
    // The design's 2850 twips, or as wide as the title needs to show whole in its title bar.
    setFixedSize(std::max(px(2850), TextFit::windowWidthForTitle(windowTitle())), px(1275));

    txtSaveAs_ = new QLineEdit(this);
    txtSaveAs_->setObjectName(QStringLiteral("txtSaveAs"));
    txtSaveAs_->setAccessibleName(QStringLiteral("Session name"));
    txtSaveAs_->setGeometry(px(120), px(120), px(2655), px(285));
    cmndSavAsok_ = new QPushButton(QStringLiteral("OK"), this);
    cmndSavAsok_->setObjectName(QStringLiteral("cmndSavAsok"));
    cmndSavAsok_->setGeometry(px(360), px(600), px(855), px(495));
    cmndCnclSavAs_ = new QPushButton(QStringLiteral("Cancel"), this);
    cmndCnclSavAs_->setObjectName(QStringLiteral("cmndCnclSavAs"));
    cmndCnclSavAs_->setGeometry(px(1560), px(600), px(855), px(495));
    // Enter presses the focused button, else OK.
    cmndSavAsok_->setAutoDefault(true);
    cmndCnclSavAs_->setAutoDefault(true);
    cmndSavAsok_->setDefault(true);
    connect(cmndSavAsok_, &QPushButton::clicked, this, &SaveAsDialog::confirmName);
    connect(cmndCnclSavAs_, &QPushButton::clicked, this, &SaveAsDialog::clearName);
}

QString SaveAsDialog::ask() {
    name_.clear();
    txtSaveAs_->setFocus(Qt::OtherFocusReason);
    txtSaveAs_->selectAll();
    // Closed without OK (Escape, the window's close button), the box starts nothing.
    if (exec() != QDialog::Accepted) name_.clear();
    return name_;
}

void SaveAsDialog::confirmName() {
    name_ = txtSaveAs_->text(); // taken as typed; the caller decides what a name may be
    accept();                   // hides; the object and its text stay for the next use
}

void SaveAsDialog::clearName() {
    name_.clear();
}

QString SaveAsDialog::typedText() const {
    return txtSaveAs_->text();
}

void SaveAsDialog::setTypedText(const QString& text) {
    txtSaveAs_->setText(text);
}

} // namespace aurivo
