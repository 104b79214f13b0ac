#pragma once
// The monitor's command line: --folder DIR, --help, --version and the saved sessions to replay at once
// (their .Tst or .Hdr files). It is read before the window system starts, so a mistake is told on the
// terminal even without a display; the window system's own options (-platform xcb, -display :1,
// -style fusion, ...) are passed over here and left to it. --help and --version win wherever they stand.

#include <QStringList>

namespace aurivo {

class CommandLine {
  public:
    enum class Action { Run, Help, Version, Error };

    static CommandLine parse(const QStringList& arguments); // arguments[0] is the program
    static QString helpText();
    static QString versionText();
    // What a mistaken command line prints on standard error: the mistake, then the usage.
    QString errorText() const;

    Action action = Action::Run;
    QString folder;       // from --folder; empty when not given
    QStringList sessions; // session files to replay, as given
    QString error;        // what was wrong, for Action::Error
};

} // namespace aurivo
