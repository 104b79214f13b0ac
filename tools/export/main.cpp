// aurivo-export: converts a recorded session to EDF+ or CSV with the monitor's own export, so sessions can
// be converted in batches. The format follows the output file's extension.

#include "export/SessionExporter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

void OnStopSignal(int) {
    g_stopRequested = 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("aurivo-export"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Converts a recorded session (its .tst readings, .hdr header and .mrk markers) to EDF+ or CSV.\n"
        "OUT's extension chooses the format: .edf (EDF+: skin conductance in uS and resistance in kOhm at\n"
        "20 Hz, the markers as annotations) or .csv (time_s,reading,resistance_ohm,conductance_us,marker).\n"
        "An existing OUT is replaced only when the export succeeds."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("SESSION.Tst"), QStringLiteral("the session's reading file"));
    parser.addPositionalArgument(QStringLiteral("OUT.edf|OUT.csv"), QStringLiteral("the file to write"));
    parser.process(app);
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "aurivo-export: expected SESSION.Tst and OUT.edf or OUT.csv (see --help)\n");
        return 2;
    }

    // Ctrl+C or a terminate signal cancels the export, which then removes its unfinished file.
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    const aurivo::ExportResult result =
        aurivo::SessionExporter::run(args[0], args[1], [](int64_t, int64_t) { return g_stopRequested == 0; });
    for (const QString& warning : result.warnings)
        std::fprintf(stderr, "aurivo-export: warning: %s\n", qPrintable(warning));
    switch (result.status) {
    case aurivo::ExportStatus::Done:
        std::printf("%s: %lld readings, %lld markers\n", qPrintable(args[1]),
                    static_cast<long long>(result.readings), static_cast<long long>(result.markers));
        return 0;
    case aurivo::ExportStatus::Cancelled:
        std::fprintf(stderr, "aurivo-export: cancelled; %s was not written\n", qPrintable(args[1]));
        return 130;
    case aurivo::ExportStatus::Failed:
        break;
    }
    std::fprintf(stderr, "aurivo-export: %s\n", qPrintable(result.error));
    return 1;
}
