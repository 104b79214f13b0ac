#pragma once
// Every message box of the program goes through this interface: the window passes one built on
// QMessageBox, tests pass a scripted fake that records what was shown and answers without blocking.

#include <QString>

namespace aurivo {

class MessageBoxes {
  public:
    // The first button is the default (Enter), except in YesNoDefaultNo, a question whose Yes destroys
    // something and must be chosen on purpose.
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDefaultNo };
    enum class Icon { None, Information, Warning, Question };
    enum class Answer { Ok, Cancel, Yes, No };

    // The title of the program's message boxes.
    static QString title() { return QStringLiteral("Aurivo USB"); }

    virtual ~MessageBoxes() = default;
    virtual Answer show(const QString& text, const QString& title, Buttons buttons, Icon icon) = 0;
    // A notice with an OK button that does not wait: the program goes on while it is shown.
    virtual void notify(const QString& text, const QString& title, Icon icon) = 0;
};

} // namespace aurivo
