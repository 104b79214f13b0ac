#include "widgets/ToneMenu.h"

#include "app/ToneOutput.h"
#include "layout/MenuAccessKeys.h"
#include "widgets/ToneDialog.h"

#include <QAction>
#include <QMenu>

namespace aurivo {

ToneMenu::ToneMenu(QMenu* menu, ToneOutput& tone, QWidget* dialogParent)
    : QObject(menu), tone_(tone), dialogParent_(dialogParent) {
    const auto item = [menu](const char* name, const char* caption) {
        QAction* a = menu->addAction(MenuAccessKeys::marked(QString::fromLatin1(caption)));
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    menu->addSeparator()->setObjectName(QStringLiteral("mnuSepTone"));
    toneItem_ = item("mnuTone", "Tone");
    toneItem_->setCheckable(true);
    toneItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
    muteItem_ = item("mnuMuteTone", "Mute tone");
    muteItem_->setCheckable(true);
    muteItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    QAction* settings = item("mnuToneSettings", "Tone settings...");
    connect(toneItem_, &QAction::triggered, this, [this](bool on) { tone_.setEnabled(on); });
    connect(muteItem_, &QAction::triggered, this, [this](bool muted) { tone_.setMuted(muted); });
    connect(settings, &QAction::triggered, this, &ToneMenu::openSettings);
    tone_.changed.subscribe([this] { show(); });
    show();
}

void ToneMenu::openSettings() {
    ToneDialog dialog(tone_.settings(), dialogParent_);
    if (dialog.exec() == QDialog::Accepted) tone_.applySettings(dialog.settings());
}

void ToneMenu::show() {
    toneItem_->setChecked(tone_.enabled());
    muteItem_->setChecked(tone_.muted());
}

} // namespace aurivo
