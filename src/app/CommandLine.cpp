#include "app/CommandLine.h"

#include "app/BuildInfo.h"

namespace aurivo {

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine line;
    bool help = false, version = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "-h" || a == "--help") {
            help = true;
        } else if (a == "-v" || a == "--version") {
            version = true;
        } else if (a == "--folder" || a.startsWith("--folder=")) {
            line.folder = a != "--folder" ? a.mid(9) : i + 1 < arguments.size() ? arguments[++i] : QString();
            if (line.folder.isEmpty() && line.error.isEmpty())
                line.error = QStringLiteral("--folder needs a folder");
        } else if (line.error.isEmpty()) {
            line.error = QStringLiteral("unknown argument '%1'").arg(a);
        }
    }
    line.action = help                   ? Action::Help
                  : version              ? Action::Version
                  : line.error.isEmpty() ? Action::Run
                                         : Action::Error;
    return line;
}

QString CommandLine::helpText() {
    return QStringLiteral(
        "Usage: aurivo-usb [--folder DIR]\n"
        "A live monitor for the Aurivo USB resistance sensor.\n"
        "\n"
        "  --folder DIR   keep the settings, session files and ports/ links in DIR\n"
        "                 (default: the program's own folder when it is writable,\n"
        "                 else $XDG_DATA_HOME/aurivo-usb, normally ~/.local/share/aurivo-usb)\n"
        "  -h, --help     show this help and exit\n"
        "  -v, --version  show the version and exit\n");
}

QString CommandLine::versionText() {
    return QStringLiteral("aurivo-usb %1\n").arg(QLatin1String(buildinfo::kVersion));
}

} // namespace aurivo
