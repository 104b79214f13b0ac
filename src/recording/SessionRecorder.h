#pragma once
// The recording stage of the reading pipeline: it stores each admitted filtered reading of a session as
// its next record (the reading file and the text file with its time stamp), keeps the record count, the
// text file's time stamp and the session's smallest and largest filtered readings (the header's MinADC
// and MaxADC), and passes the graph's trace lines on to the trace file.

#include "recording/TraceSink.h"

#include <cstdint>
#include <vector>

namespace aurivo {

class SessionFiles;

class SessionRecorder : public TraceSink {
  public:
    explicit SessionRecorder(SessionFiles& files) : files_(files) {}

    // A session starts: record 1 comes next, the time stamp starts at 25, the range is empty (16383, 0).
    void startSession();
    // Every filtered reading of the session counts for its range, stored or not.
    void noteFiltered(int32_t filtered);
    // Stores the filtered reading as the next record: the reading file, then the text file line with
    // the time stamp 5 further. Returns its record number.
    int32_t store(int32_t filtered);

    // The record number the next stored reading gets (1 + the records stored so far).
    int32_t recordCount() const { return recordCount_; }
    int32_t recordTime() const { return recordTime_; }
    double minADC() const { return minADC_; }
    double maxADC() const { return maxADC_; }
    // The session's stored readings: record n is element n - 1.
    const std::vector<int32_t>& storedReadings() const;

    // TraceSink
    void appendTraceLine(const QString& content) override;
    void appendTraceEmptyLine() override;
    bool traceOpen() const override;

  private:
    SessionFiles& files_;
    int32_t recordCount_ = 1;
    int32_t recordTime_ = 25;
    double minADC_ = 16383;
    double maxADC_ = 0;
};

} // namespace aurivo
