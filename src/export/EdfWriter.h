#pragma once
// Writes a session as an EDF+ file through EDFlib: signal 1 the skin conductance in microsiemens, signal 2
// the resistance in kilo-ohms, both at 20 samples a second in data records of one second; the start date
// and time of the session; the comments (without the start line, in ASCII) as the recording's additional
// text, cut to the 39 characters the header has room for, and whole as annotations at 0 s; every marker as
// an annotation at its reading's session time, with its label cut to the 40 bytes EDFlib writes; and an
// annotation "Recording ends" at the end of the last reading. Each skin-conductance response (ResponseTable,
// default settings) is an annotation "SCR 0.123 uS" (its amplitude) at its onset, its rise time as its
// duration.
//
// The samples follow the session's clock (LoadedSession's times): sample k covers the session time
// k / 20 s and holds the latest reading taken by then (a reading counts from the sample nearest to its
// time; of several in one sample the last is kept). The file is continuous EDF+ ("EDF+C"): EDFlib 1.23
// writes no other kind (its data records always follow each other without a break), so a stretch without
// readings, such as a silent device, is filled with the last value, and where readings lie more than
// 0.25 s further apart than the device's 1/20 s an annotation "gap N.N s" (with that duration) marks the
// start of the filled time; so does one at 0 s when the first reading came later than that. A session
// without a timing file has one reading per sample, as it was recorded.
//
// Each signal's physical range is that of the session's readings, widened to bounds that the header's
// 8-character fields hold exactly, so readers convert the samples with the very range they were written
// with; each sample is the 16-bit value nearest to it (within half the range / 65535). Samples keep their
// time: a stored value without a resistance (outside 1..16382) repeats the value before it (the first usable
// one at the start), and the last data record is filled up by repeating the last value, which "Recording
// ends" marks. A session whose start is not known (or lies outside the years 1985..2084 that EDF+ can hold)
// starts at 01.01.1985 00:00:00, the usual EDF+ stand-in, with a warning.
//
// The file is read back with EDFlib after writing, so a file that the disk did not take whole is
// reported, not passed on.

#include "export/LoadedSession.h"
#include "export/ProgressTicker.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace aurivo {

class EdfWriter {
  public:
    static ExportStatus write(const LoadedSession& session, const QString& path,
                              const ExportProgress& progress, QString& error, QStringList& warnings);

    // The comments as EDF+ header text: accents dropped, other characters outside ASCII as "?", line
    // breaks and runs of blanks as one blank, at most 39 characters.
    static QByteArray recordingText(const QString& comments);
    // A marker label as annotation text: without control characters, at most 40 bytes of UTF-8 cut at a
    // character boundary; an empty label becomes "Marker".
    static QByteArray annotationText(const QString& label);
    // The comments as annotation texts in their order: each line that is not blank, without control
    // characters, in pieces of at most 40 bytes of UTF-8 cut at character boundaries (EDFlib writes no
    // more of a text), so a line is the join of its pieces.
    static std::vector<QByteArray> commentTexts(const QString& comments);
};

} // namespace aurivo
