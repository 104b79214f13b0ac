#pragma once
// The monitor's command line: --folder DIR, --help and --version (Qt takes out its own options such as
// -platform before the second reading). --help and --version win wherever they stand, so they can be
// answered before the window system starts.

#include <QStringList>

namespace aurivo {

class CommandLine {
  public:
    enum class Action { Run, Help, Version, Error };

    static CommandLine parse(const QStringList& arguments); // arguments[0] is the program
    static QString helpText();
    static QString versionText();

    Action action = Action::Run;
    QString folder; // from --folder; empty when not given
    QString error;  // what was wrong, for Action::Error
};

} // namespace aurivo
