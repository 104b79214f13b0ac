#pragma once
// The responses of a session as a table: comma-separated text (UTF-8, CR LF) with the header line
// kHeaderLine and one line per response in the order of their onsets, each written once the response is
// complete (its half recovery decided). Seconds have 3 decimals, microsiemens 4, "." as the decimal point
// in any locale; a response without a half recovery leaves that field empty; the marker field holds the
// labels of the markers it answers, without control characters.
//
// The table of a saved session is computed by the running session's own detector, fed the recorded
// readings and the markers in the order the session gave them (a marker after the reading it was set at),
// so it holds the same lines the running session wrote.

#include "analysis/ResponseDetector.h"
#include "recording/MarkerFile.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace aurivo {

class ResponseTable {
  public:
    static constexpr const char* kHeaderLine =
        "onset_reading,peak_reading,onset_s,peak_s,amplitude_us,rise_s,half_recovery_s,marker";

    // The header line, CR LF included.
    static QByteArray header();
    // One response as its line, CR LF included.
    static QByteArray line(const SkinResponse& response);

    // Scores readings (reading n is readings[n - 1]) with their markers (in any order; those at the same
    // reading keep theirs) and hands each completed response to `completed`, the last ones at the end.
    static void score(std::span<const int32_t> readings, std::vector<Marker> markers,
                      const ResponseDetector::Settings& settings,
                      const std::function<void(const SkinResponse&)>& completed);

    // The table of the session whose files are found from sessionPath (any of its files, usually its
    // reading file): its readings, read in blocks, and its markers, if it has a marker file. Hands the
    // header and then each line to `out`. Returns false with "file: reason" when the reading file or the
    // marker file cannot be read; what was left out (a cut last record, damaged marker lines) is added
    // to warnings.
    // The peak readings of a response file (a regular file of at most kMaxFileBytes), for drawing its
    // ticks: lines whose peak is not a reading number from 1 to `readings` are skipped and counted, the
    // header and a line cut off by a crash are not counted. False with "path: reason" when it cannot be
    // read.
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
    static bool readPeaks(const QString& path, int64_t readings, std::vector<int64_t>& peaks, int& skipped,
                          QString& reason);

    static bool forSession(const QString& sessionPath, const ResponseDetector::Settings& settings,
                           const std::function<void(const QByteArray&)>& out, QStringList& warnings,
                           QString& error);
};

} // namespace aurivo
