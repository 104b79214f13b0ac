#pragma once
// What File > "Export session..." offers and what the user chose: the sessions at hand (the session just
// recorded, or the sessions a replay shows), each with the file name the export suggests for it; the
// folder where choosing another saved session starts; and the choice itself: which session, into which
// file, in which format.

#include "export/SessionExporter.h"

#include <QString>
#include <vector>

namespace aurivo {

struct ExportRequest {
    QString sessionPath; // the session's reading file
    QString outPath;     // ends in the format's extension
    ExportFormat format = ExportFormat::Edf;
};

struct ExportChoices {
    struct Session {
        QString name;        // as the list shows it
        QString readingPath; // the session's reading file
        QString outBase;     // suggested output: folder and name, without extension
    };
    std::vector<Session> sessions;
    QString browseFolder;

    // ".edf" or ".csv".
    static QString extension(ExportFormat format);
    // The path with the format's extension: an export extension already there is replaced, any other
    // ending is kept and the extension added ("run.1" becomes "run.1.csv").
    static QString withExtension(const QString& path, ExportFormat format);
};

} // namespace aurivo
