#pragma once
// What the user chose for the tone: on or off, volume, direction, span and base pitch. They live in
// aurivo-usb.conf beside Aurivo_USB.ini (group "tone"), which other new settings share; Aurivo_USB.ini
// itself keeps exactly its own items.

#include <QString>

namespace aurivo {

struct ToneSettings {
    enum class Direction { Rises, Falls };

    static constexpr double kLowestSpan = 0.25, kHighestSpan = 4.0;     // octaves per doubling
    static constexpr double kLowestBase = 110.0, kHighestBase = 1760.0; // Hz, the pitch's own limits

    bool enabled = false;
    int volumePercent = 50;
    Direction direction = Direction::Rises;
    double span = 1.0;
    double basePitch = 440.0;

    bool operator==(const ToneSettings&) const = default;

    // The same settings with every value held within its range (a hand-edited file may hold anything).
    ToneSettings limited() const;

    // The file beside the settings file that holds the settings Aurivo_USB.ini has no place for.
    static QString filePath(const QString& folder);
    // Reads the group "tone"; a missing file or item keeps its default.
    static ToneSettings load(const QString& folder);
    // Writes the group "tone", leaving the file's other groups as they are; false when it failed.
    bool save(const QString& folder) const;
};

} // namespace aurivo
