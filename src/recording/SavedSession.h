#pragma once
// One saved session as the replay needs it: the range and comments of its header and every whole record
// of its reading file. A session that cannot be read (a file that cannot be opened, a header with fewer
// than five items, a MinADC or MaxADC that is not a number in 0..16383) carries the reason instead, so the
// replay can name it and still draw the others. A header without a usable range (MinADC above MaxADC, or
// 0) takes the range from the readings; a session without readings is still a session, with nothing to
// draw. A reading file cut inside its last record is drawn up to its last whole record, with a note. Only
// regular files are read (see openSavedFile).

#include <QString>
#include <cstdint>
#include <vector>

namespace aurivo {

class SafeFile;

class SavedSession {
  public:
    // Opens a file of a saved session for reading: a regular file, or a symbolic link to one; a pipe, a
    // device or a folder is refused without waiting, with the reason in the file's reason().
    [[nodiscard]] static bool openSavedFile(SafeFile& file, const QString& path);

    // With withReadings false only the header and the reading file's length are checked and kept; the
    // replay then streams the readings from the file instead of holding every session in memory.
    static SavedSession load(const QString& tstPath, const QString& hdrPath, bool withReadings = true);

    bool ok() const { return error.isEmpty(); }

    QString error;         // empty when the session loaded
    QString note;          // something the replay left out of a session it draws (trailing bytes)
    bool hasRange = false; // minADC..maxADC hold the session's range; false when it has no readings
    double minADC = 0;
    double maxADC = 0;
    QString comments;
    std::vector<int32_t> readings; // record 1 is readings[0]
    int64_t lengthBytes = 0;       // length of the reading file's whole records
};

} // namespace aurivo
