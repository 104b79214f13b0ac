#pragma once
// Exports a recorded session (the running program's temporary one after it stopped, or a saved one) as
// EDF+ or CSV. The file is written under a temporary name in the target folder and renamed to its name
// only when it is complete and on the disk, so a cancelled or failed export leaves nothing behind and
// keeps a file that was there before.
//
// run() blocks until the export ends. It shares no state with other calls (EDFlib's own table of open
// files is locked), so a window runs it on a worker thread and keeps responding: the progress function is
// then called on that worker thread (hand the values to the window with a queued signal) and cancels the
// export by returning false (for example when an atomic flag set by the window's Cancel button is set).
//
// An unfinished file that an export killed midway left behind is removed by a later export into the same
// folder once it has lain untouched for ten minutes.

#include "export/ProgressTicker.h"
#include "recording/SessionSource.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

namespace aurivo {

enum class ExportFormat { Edf, Csv };

struct ExportResult {
    ExportStatus status = ExportStatus::Failed;
    QString error;        // when Failed: the file and the reason
    QStringList warnings; // when Done: what the user should know about the file written
    int64_t readings = 0; // readings exported
    int64_t markers = 0;  // markers exported
};

// Told the unfinished file's path once it exists and an empty path once it is gone (renamed to the
// output's name or removed), so a program stopped by a signal can remove the file on its way out.
using UnfinishedFileNotice = std::function<void(const QString& path)>;

class SessionExporter {
  public:
    // The format named by the file's extension (".edf" or ".csv", any case); none for any other.
    static std::optional<ExportFormat> formatFor(const QString& outPath);
    // A CSV export also writes the session's skin-conductance responses (ResponseTable, default settings)
    // as a second file beside it: s.csv gives s.scr.csv. A table that cannot be written is a warning.
    static QString responsesPathFor(const QString& csvPath);

    // Exports the session whose files are found from sessionPath (any of its files, usually its reading
    // file) in the format of outPath's extension.
    static ExportResult run(const QString& sessionPath, const QString& outPath,
                            const ExportProgress& progress = {}, const UnfinishedFileNotice& unfinished = {});
    static ExportResult run(const SessionSource& source, const QString& outPath, ExportFormat format,
                            const ExportProgress& progress = {}, const UnfinishedFileNotice& unfinished = {});
};

} // namespace aurivo
