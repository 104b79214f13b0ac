#pragma once
// Start-up's look at the temporary session a previous run left behind. A session that was stopped has a
// header with its closing records and is discarded as usual. One whose header lacks them while its
// reading file holds readings was cut off (the program was killed, the machine lost power): its files
// are consistent up to the last tick written, so it is kept instead: the files are cut to the same
// whole readings, the header is completed (MinADC and MaxADC from the readings, the comment
// "Recovered after the program ended unexpectedly") and the three files, with the marker file when the
// session has one, are moved to a free name recovered-YYYYMMDD-HHMMSS (the time of the last reading) in
// the program's folder.

#include <QString>

namespace aurivo {

class CrashRecovery {
  public:
    struct Outcome {
        QString notice;                  // what to tell the user; empty when there was nothing to keep
        QString name;                    // the recovered session's name, empty when none was made
        bool keepTemporaryFiles = false; // recovery failed: the files stay for another attempt
    };

    static constexpr const char* kComment = "Recovered after the program ended unexpectedly";

    [[nodiscard]] static Outcome recover(const QString& programFolder);
};

} // namespace aurivo
