// aurivo-export: converts a recorded session to EDF+ or CSV with the monitor's own export, so sessions can
// be converted in batches. The format follows the output file's extension. With --responses it prints the
// session's skin-conductance responses instead, scored by the monitor's own detector.

#include "analysis/ResponseTable.h"
#include "export/SessionExporter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace {

constexpr int kStopSignals[] = {SIGHUP, SIGINT, SIGTERM};

// The unfinished output file, empty when there is none. A signal handler may not allocate, so the path is
// kept in a fixed buffer, and it is changed only while the stop signals are blocked, so the handler never
// sees half a path.
char g_unfinished[4096];

// A closed terminal, Ctrl+C or a terminate signal: the unfinished file is removed at once (the export may
// be stuck in a write that never returns), then the signal does what it would have done. The handler was
// reset to the default action when it was called, and the signal raised here arrives when it returns. A
// signal in the instant between the file's creation and its notice leaves the file to the next export
// into its folder, which removes abandoned ones.
void OnStopSignal(int signal) {
    if (g_unfinished[0] != '\0') ::unlink(g_unfinished);
    std::raise(signal);
}

void setUnfinished(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    sigset_t stops, previous;
    sigemptyset(&stops);
    for (const int s : kStopSignals)
        sigaddset(&stops, s);
    sigprocmask(SIG_BLOCK, &stops, &previous);
    // A path too long for the buffer is not kept; the next export into its folder removes what is left.
    if (name.size() < qsizetype(sizeof g_unfinished))
        std::memcpy(g_unfinished, name.constData(), size_t(name.size()) + 1);
    else
        g_unfinished[0] = '\0';
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}

// The table of responses on standard output; returns the exit status.
int printResponses(const QString& session, const aurivo::ResponseDetector::Settings& settings) {
    QStringList warnings;
    QString error;
    const bool done = aurivo::ResponseTable::forSession(
        session, settings,
        [](const QByteArray& line) { std::fwrite(line.constData(), 1, size_t(line.size()), stdout); },
        warnings, error);
    for (const QString& warning : warnings)
        std::fprintf(stderr, "aurivo-export: warning: %s\n", qPrintable(warning));
    if (std::fflush(stdout) != 0 && error.isEmpty())
        error = QStringLiteral("standard output: ") + qt_error_string();
    if (!done || !error.isEmpty()) {
        std::fprintf(stderr, "aurivo-export: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}

// A number of the command line, or none when it is not one.
std::optional<double> numberOption(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("aurivo-export"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Converts a recorded session (its .tst readings, .hdr header, .mrk markers and .tim reading\n"
        "times) to EDF+ or CSV, with the readings at their session time (20 a second without .tim).\n"
        "OUT's extension chooses the format: .edf (EDF+: skin conductance in uS and resistance in kOhm at\n"
        "20 Hz, the comments, the markers and the gaps as annotations) or .csv (time_s,reading,\n"
        "resistance_ohm,conductance_us,marker).\n"
        "An existing OUT is replaced only when the export succeeds.\n"
        "With --responses, prints the session's skin-conductance responses instead, as CSV\n"
        "(onset_reading,peak_reading,onset_s,peak_s,amplitude_us,rise_s,half_recovery_s,marker)."));
    parser.addHelpOption();
    const QCommandLineOption responses(
        QStringLiteral("responses"),
        QStringLiteral("Print the responses of SESSION.Tst to standard output."));
    const QCommandLineOption minAmplitude(
        QStringLiteral("min-amplitude"),
        QStringLiteral(
            "With --responses: the smallest response in microsiemens, 0.01 to 0.1 (default 0.02)."),
        QStringLiteral("US"));
    const QCommandLineOption window(
        QStringLiteral("window"),
        QStringLiteral("With --responses: a marker's event window in seconds after it (default 1,4)."),
        QStringLiteral("FROM,TO"));
    parser.addOptions({responses, minAmplitude, window});
    parser.addPositionalArgument(QStringLiteral("SESSION.Tst"), QStringLiteral("the session's reading file"));
    parser.addPositionalArgument(QStringLiteral("OUT.edf|OUT.csv"), QStringLiteral("the file to write"));
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (parser.isSet(responses)) {
        aurivo::ResponseDetector::Settings settings;
        std::optional<double> amplitude = settings.minAmplitudeUs, from = settings.windowStartSeconds,
                              to = settings.windowEndSeconds;
        if (parser.isSet(minAmplitude)) amplitude = numberOption(parser.value(minAmplitude));
        if (parser.isSet(window)) {
            const QStringList ends = parser.value(window).split(QLatin1Char(','));
            from = ends.size() == 2 ? numberOption(ends[0]) : std::nullopt;
            to = ends.size() == 2 ? numberOption(ends[1]) : std::nullopt;
        }
        using Detector = aurivo::ResponseDetector;
        if (args.size() != 1 || !amplitude || *amplitude < Detector::kMinAmplitudeLowest ||
            *amplitude > Detector::kMinAmplitudeHighest || !from || !to || *from < 0 || *from > *to ||
            *to > Detector::kWindowLongest) {
            std::fprintf(stderr,
                         "aurivo-export: expected --responses SESSION.Tst, with --min-amplitude 0.01 to "
                         "0.1 and --window FROM,TO within 0 to 10 s (see --help)\n");
            return 2;
        }
        return printResponses(args[0], {*amplitude, *from, *to});
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "aurivo-export: expected SESSION.Tst and OUT.edf or OUT.csv (see --help)\n");
        return 2;
    }

    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (const int s : kStopSignals)
        sigaddset(&action.sa_mask, s); // one removal at a time
    for (const int s : kStopSignals)
        sigaction(s, &action, nullptr);
    const aurivo::ExportResult result = aurivo::SessionExporter::run(args[0], args[1], {}, setUnfinished);
    for (const QString& warning : result.warnings)
        std::fprintf(stderr, "aurivo-export: warning: %s\n", qPrintable(warning));
    switch (result.status) {
    case aurivo::ExportStatus::Done:
        std::printf("%s: %lld readings, %lld markers\n", qPrintable(args[1]),
                    static_cast<long long>(result.readings), static_cast<long long>(result.markers));
        return 0;
    case aurivo::ExportStatus::Cancelled: // not reached: nothing here asks the export to stop
    case aurivo::ExportStatus::Failed:
        break;
    }
    std::fprintf(stderr, "aurivo-export: %s\n", qPrintable(result.error));
    return 1;
}
