#pragma once
// The timing file of a session: the session's base name + ".tim", beside its other files. It says when the
// readings were taken, so that an export places them on the session's own clock: packets that do not pass
// leave no reading, and a device that falls silent leaves a gap, so counting readings at the device's
// nominal 20 a second falls behind the clock.
//
// Comma-separated text (UTF-8, CR LF): the header line "reading,time_s", then one line per tick that
// stored readings: the number (from 1) of the first reading that tick stored, and the session time in
// seconds, to the millisecond, at which the tick ran ("245,12.400"). The line is written with the
// tick's readings, so the file never names a reading that the reading file was not given. Sessions
// recorded before there was a timing file have none: their readings are taken 20 a second.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace aurivo {

// A tick that stored readings: its first reading (from 1) and the session time it ran at.
struct TimingAnchor {
    int64_t reading = 0;
    int64_t milliseconds = 0;
    bool operator==(const TimingAnchor&) const = default;
};

class TimingFile {
  public:
    static constexpr const char* kHeaderLine = "reading,time_s";
    // The device sends 20 packets a second: one stored reading every 50 ms when none is lost.
    static constexpr int64_t kReadingStepMs = 50;

    // The timing file of the session whose files share basePath (folder and base name, no extension).
    static QString pathForBase(const QString& basePath);
    // One tick as its line in the file, CR LF included.
    static QByteArray line(int64_t reading, int64_t milliseconds);

    // What a read takes at most: one short line per tick, about 60 bytes a second, so 64 MB are some
    // twelve days of recording; a bigger file is not one of ours.
    static constexpr qint64 kMaxBytes = 64 * 1024 * 1024;
    // The longest time between two ticks that is taken as true: a day (a machine asleep). A damaged line
    // with a far later time would otherwise make the export fill years of samples.
    static constexpr int64_t kMaxPauseMs = 24 * 3600 * 1000;

    struct Contents {
        std::vector<TimingAnchor> anchors; // reading numbers rising, times never falling
        // Lines that do not parse, an unfinished last line, lines out of order (a reading number not above
        // the one before, a time before the one before or more than kMaxPauseMs after it) and lines past
        // the session's last reading.
        int64_t skippedLines = 0;
        // "s.tim: 3 damaged or unfinished lines skipped", empty when no line was.
        QString skippedNote(const QString& path) const;
    };
    // Reads a timing file: a regular file only (not through a link, never a pipe or a device), of at most
    // kMaxBytes. Anchors at readings beyond readingCount are left out. Returns false with "path: reason"
    // when the file cannot be read, is not a regular file or is too big; a missing file reads as none
    // (exists false).
    static bool read(const QString& path, int64_t readingCount, Contents& contents, bool& exists,
                     QString& reason);

    // The session time of every reading, in milliseconds, from the anchors. The readings of a tick are
    // those from its anchor's reading up to the next anchor's; the last of them was taken when the tick
    // ran, and the ones before it 50 ms apart back from there: the device's pace, since a tick takes what
    // arrived since the tick before. When more arrived than fit 50 ms apart since the tick before (the
    // port held a burst), they are spread evenly over that time instead, so times never fall. Readings
    // before the first anchor go with the first tick. The last tick is taken to hold only the readings
    // that fit 50 ms apart since the tick before (at least one): a file that ended early (its disk
    // filled up) names no later ticks, and the readings after its last tick follow it 50 ms apart.
    struct Times {
        std::vector<int64_t> milliseconds; // one per reading, never falling
        int64_t afterLastTick = 0;         // readings placed 50 ms apart after the last tick
    };
    static Times readingTimes(const std::vector<TimingAnchor>& anchors, int64_t readingCount);
};

} // namespace aurivo
