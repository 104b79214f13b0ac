#pragma once
// What the user chose for scoring responses, kept in the group "responses" of aurivo-usb.conf in the
// program's folder, beside Aurivo_USB.ini (which has no place for them): the minimum amplitude
// (microsiemens, 0.01 to 0.1, default 0.02) and the event window after a marker (seconds, default 1 to 4;
// 1 to 3 is the other common choice). A running session keeps the settings it started with. The same group
// keeps whether the graph shows the response ticks (Display > "Response ticks", on by default).

#include "analysis/ResponseDetector.h"

#include <QString>

namespace aurivo {

struct ResponseSettings {
    static constexpr const char* kFileName = "aurivo-usb.conf";
    static constexpr const char* kGroup = "responses";

    // Values that are missing, do not parse or are out of range keep their defaults: an amplitude outside
    // 0.01..0.1, a window that does not lie within 0..10 s or whose end is not after its start.
    static ResponseDetector::Settings load(const QString& folder);
    // Writes the settings into their group, leaving the file's other groups as they are. Returns false
    // with the reason when the file could not be written.
    static bool save(const QString& folder, const ResponseDetector::Settings& settings, QString& failure);

    // Anything but "false" shows the ticks.
    static bool ticksShown(const QString& folder);
    static bool saveTicksShown(const QString& folder, bool shown, QString& failure);
};

} // namespace aurivo
