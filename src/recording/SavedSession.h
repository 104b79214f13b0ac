#pragma once
// One saved session as the replay needs it: the range and comments of its header and every record of
// its reading file. A session that cannot be drawn (a file that cannot be opened, a header with fewer
// than five items or without numbers for its range, a reading file cut inside a record) carries the
// reason instead, so the replay can name it and still draw the others.

#include <QString>
#include <cstdint>
#include <vector>

namespace aurivo {

class SavedSession {
  public:
    // With withReadings false only the header and the reading file's length are checked and kept; the
    // replay then streams the readings from the file instead of holding every session in memory.
    static SavedSession load(const QString& tstPath, const QString& hdrPath, bool withReadings = true);

    bool ok() const { return error.isEmpty(); }

    QString error; // empty when the session loaded
    double minADC = 0;
    double maxADC = 0;
    QString comments;
    std::vector<int32_t> readings; // record 1 is readings[0]
    int64_t lengthBytes = 0;       // length of the reading file
};

} // namespace aurivo
