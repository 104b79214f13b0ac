#pragma once
// The marker file of a session: the session's base name + ".mrk", beside its other files. Comma-separated
// text (UTF-8, CR LF) with the header line "time_s,reading,label" and one line per marker, in the order
// the markers were set. A session without markers has no marker file: the file is created at the first
// marker.
//
// Each marker reaches the system in one write the moment it is set (no buffer in the program), so a
// crash of the program loses no marker; like the other session files it is not forced to the disk, and a
// link, a folder or anything but a regular file in its place is refused. A
// write that fails is taken back, so the file never holds half a line written by this class. Reading
// skips what a crash or an editor may leave: an unfinished last line, lines that do not parse.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace aurivo {

struct Marker {
    double timeSeconds = 0; // seconds since the start of the session
    int64_t reading = 0;    // readings stored when the marker was set: the record number of the latest
                            // stored reading, 0 before the first
    QString label;          // one line; line breaks and other control characters are written as blanks

    bool operator==(const Marker&) const = default;
};

class MarkerFile {
  public:
    static constexpr const char* kHeaderLine = "time_s,reading,label";

    explicit MarkerFile(QString path);
    // The marker file of the session whose files share basePath (folder and base name, no extension).
    static QString pathForBase(const QString& basePath);

    const QString& path() const { return path_; }

    // Appends one marker, creating the file with its header line first when it does not exist or is
    // empty. Returns false with "path: reason" when the line could not be written; the file then holds
    // what it held before.
    bool append(const Marker& marker, QString& reason) const;

    // Writes the file anew with these markers (a marker renamed): under a temporary name first, which then
    // replaces the file, so a failure keeps the file as it was. Returns false with "path: reason".
    bool rewrite(const std::vector<Marker>& markers, QString& reason) const;

    // Deletes the file (a new session, a discarded session). A missing file is no error.
    bool remove(QString& reason) const;

    // What a read takes at most. A marker file holds one short line per marker set by hand, far below
    // these; a file beyond them is not one of ours, and must neither fill the memory nor make every repaint
    // of the graph walk a million markers.
    static constexpr qint64 kMaxBytes = 16 * 1024 * 1024;
    static constexpr int kMaxMarkers = 100000;

    struct Contents {
        std::vector<Marker> markers;
        // Damaged lines, an unfinished last line, markers outside the session and lines past kMaxMarkers.
        int skippedLines = 0;
        // "s.mrk: 3 damaged or unfinished lines skipped", empty when no line was.
        QString skippedNote(const QString& path) const;
    };
    // Reads a marker file: a regular file only, never through a symbolic link (a pipe or a device in its
    // place is refused at once, without waiting for it), of at most kMaxBytes, keeping the first kMaxMarkers
    // markers. A missing file is a session without markers. A file whose first line is not the header line
    // (an editor's or another program's) keeps the markers of the lines that parse. With the session's
    // readingCount, markers at readings beyond it are skipped. Returns false with "path: reason" when the
    // file cannot be read, is not a regular file or is too big.
    static bool read(const QString& path, Contents& contents, QString& reason,
                     std::optional<int64_t> readingCount = std::nullopt);

    // One marker as its line in the file, CR LF included; the time is written to the millisecond.
    static QByteArray line(const Marker& marker);

  private:
    QString path_;
};

} // namespace aurivo
