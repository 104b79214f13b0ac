#pragma once
// Writes a session as comma-separated text for spreadsheets and analysis tools: UTF-8, CR LF, "." as the
// decimal point, the header line "time_s,reading,resistance_ohm,conductance_us,marker" and one line per
// stored reading: its session time in seconds to the millisecond (see LoadedSession), the stored value,
// the resistance in ohms to 0.1 and the conductance in microsiemens to 0.0001 by the program's divider
// formula (both empty for a value outside 1..16382), and the labels of the markers set at that reading,
// joined by "; ". Labels lose their control characters, and one that would begin a spreadsheet formula
// ("=", "+", "-" or "@") gets an apostrophe in front, so a spreadsheet shows it as text instead of running
// it.

#include "export/LoadedSession.h"
#include "export/ProgressTicker.h"

#include <QString>

namespace aurivo {

class CsvWriter {
  public:
    static constexpr const char* kHeaderLine = "time_s,reading,resistance_ohm,conductance_us,marker";

    static ExportStatus write(const LoadedSession& session, const QString& path,
                              const ExportProgress& progress, QString& error);
};

} // namespace aurivo
