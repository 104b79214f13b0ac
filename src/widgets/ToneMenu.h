#pragma once
// The tone's items at the end of the Session menu: "Tone" (Ctrl+T) turns it on and off, "Mute tone"
// (Ctrl+M) silences it for a while without turning it off, and "Tone settings..." opens the Tone box.
// Their check marks follow the tone, whichever way it was changed.

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace aurivo {

class ToneOutput;

class ToneMenu : public QObject {
    Q_OBJECT
  public:
    ToneMenu(QMenu* menu, ToneOutput& tone, QWidget* dialogParent);

    // Session > Tone settings...: the Tone box, modal; OK applies and keeps its settings.
    void openSettings();

  private:
    void show();

    ToneOutput& tone_;
    QWidget* dialogParent_;
    QAction* toneItem_;
    QAction* muteItem_;
};

} // namespace aurivo
