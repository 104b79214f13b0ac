#include "app/CommandLine.h"

#include "app/BuildInfo.h"

namespace aurivo {

namespace {

// The options Qt's application objects take out of the command line themselves; those of the first list
// take the next argument as their value. Qt accepts them with one dash or two.
const QStringList kQtOptionsWithValue = {
    QStringLiteral("platform"),        QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),   QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"),    QStringLiteral("geometry"),
    QStringLiteral("title"),           QStringLiteral("icon"),
    QStringLiteral("display"),         QStringLiteral("name"),
    QStringLiteral("session"),         QStringLiteral("style"),
    QStringLiteral("stylesheet"),      QStringLiteral("qmljsdebugger")};
const QStringList kQtFlags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                              QStringLiteral("nograb"), QStringLiteral("dograb"), QStringLiteral("sync")};

// The Qt option an argument names ("-platform", "--style=fusion"), without its dashes and value; empty
// when it is none of Qt's.
QString qtOption(const QString& a, bool& hasValue) {
    if (!a.startsWith(QLatin1Char('-')) || a == QLatin1String("-") || a == QLatin1String("--")) return {};
    QString name = a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1);
    hasValue = name.contains(QLatin1Char('='));
    name = name.section(QLatin1Char('='), 0, 0);
    if (kQtOptionsWithValue.contains(name)) return name;
    if (!hasValue && kQtFlags.contains(name)) {
        hasValue = true; // a flag has nothing to take from the next argument
        return name;
    }
    return {};
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments) {
    CommandLine line;
    bool help = false, version = false, onlyFiles = false;
    const auto fail = [&line](const QString& why) {
        if (line.error.isEmpty()) line.error = why;
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        bool hasValue = false;
        if (onlyFiles || !a.startsWith(QLatin1Char('-')) || a == QLatin1String("-")) {
            line.sessions.append(a);
        } else if (a == QLatin1String("--")) {
            onlyFiles = true; // what follows are files, even when they begin with a dash
        } else if (a == "-h" || a == "--help") {
            help = true;
        } else if (a == "-v" || a == "--version") {
            version = true;
        } else if (a == "--folder" || a.startsWith("--folder=")) {
            line.folder = a != "--folder" ? a.mid(9) : i + 1 < arguments.size() ? arguments[++i] : QString();
            if (line.folder.isEmpty()) fail(QStringLiteral("--folder needs a folder"));
        } else if (const QString qt = qtOption(a, hasValue); !qt.isEmpty()) {
            if (!hasValue && ++i >= arguments.size()) fail(QStringLiteral("%1 needs a value").arg(a));
        } else {
            fail(QStringLiteral("unknown option '%1'").arg(a));
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
        "Usage: aurivo-usb [--folder DIR] [SESSION.Tst ...]\n"
        "A live monitor for the Aurivo USB resistance sensor.\n"
        "\n"
        "  SESSION.Tst    replay up to six saved sessions at once (their .Tst or .Hdr files)\n"
        "  --folder DIR   keep the settings, session files and ports/ links in DIR\n"
        "                 (default: the program's own folder when it is writable,\n"
        "                 else $XDG_DATA_HOME/aurivo-usb, normally ~/.local/share/aurivo-usb)\n"
        "  -h, --help     show this help and exit\n"
        "  -v, --version  show the version and exit\n");
}

QString CommandLine::versionText() {
    return QStringLiteral("aurivo-usb %1\n").arg(QLatin1String(buildinfo::kVersion));
}

QString CommandLine::errorText() const {
    return QStringLiteral("aurivo-usb: %1\n\n").arg(error) + helpText();
}

} // namespace aurivo
