#pragma once
// A recorded session as the export needs it: every stored reading with its session time, the start date and
// time and the comments from its header, and its markers. Holds values only, so exports on several threads
// share nothing.
//
// A session recorded with a timing file has its readings placed on the session's clock by it (see
// TimingFile::readingTimes): time lost to a silent device or to packets that did not pass stays in the
// timeline. A session without one (recorded before there was one) takes its readings as one every 1/20 s:
// the device sends about 20 packets a second and one reading is stored per packet, so reading n (from 1)
// is at (n - 1) / 20 s. A stored value outside 1..16382 gives no usable resistance and conductance: the
// divider formula divides by the reading, the conductance by the resistance, which is 0 at 16383 (values
// above are not converter counts).

#include "recording/MarkerFile.h"
#include "recording/SessionSource.h"
#include "recording/TimingFile.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace aurivo {

struct LoadedSession {
    static constexpr int kSampleRate = 20; // readings per second
    static constexpr int64_t kReadingStepMs = TimingFile::kReadingStepMs;

    // Reads the session's files. Returns false with a message naming the file and the reason when the
    // reading file or the header is missing, unreadable, incomplete or damaged, when the reading file holds
    // no readings, or when the marker file or the timing file cannot be read. Damaged marker and timing
    // lines, and markers and ticks beyond the last reading, are left out with a warning; so is said when
    // the timing file ends more than a second of readings before the reading file does.
    static bool load(const SessionSource& source, LoadedSession& session, QString& error);

    static bool isValid(int32_t reading) { return reading >= 1 && reading <= 16382; }
    // The program's divider formula, and the conductance in microsiemens from it.
    static double ohms(int32_t reading);
    static double microsiemens(int32_t reading) { return 1000000.0 / ohms(reading); }

    // The reading (from 0) a marker belongs to: its own; a marker set before the first reading goes with
    // the first.
    int64_t sampleOf(const Marker& marker) const;
    // A marker's session time in milliseconds: that of its reading.
    int64_t timeOf(const Marker& marker) const { return milliseconds[size_t(sampleOf(marker))]; }

    // The start date and time as the stop writes it into the comments ("Start of Session : " and the
    // system's short date and time), read in the system's locale first and then in common numeric forms;
    // two-digit years are taken as 1985..2084. An invalid value when the text is not recognised.
    static QDateTime parseStartDate(const QString& text);

    // Text as other programs can take it: without control characters (C0, DEL and C1), which a foreign
    // marker file can carry and which would cut the text short (NUL) or garble it elsewhere. Tabs and
    // line breaks become a blank, so the words on either side stay apart; the others are dropped.
    static QString withoutControls(const QString& text);

    QString readingName; // file name of the reading file, for messages
    QString headerName;  // file name of the header
    std::vector<int32_t> readings;
    std::vector<int64_t> milliseconds; // each reading's session time, never falling
    QDateTime start;                   // invalid when the comments do not begin with the start line
    QString comments;                  // the comments after the start line, lines separated by "\n"
    std::vector<Marker> markers;       // in the order of their samples
    QStringList warnings;
};

} // namespace aurivo
