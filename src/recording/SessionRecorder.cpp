#include "recording/SessionRecorder.h"

#include "recording/SessionFiles.h"

#include <limits>

namespace aurivo {

namespace {
constexpr int32_t kLongMax = std::numeric_limits<int32_t>::max();
}

void SessionRecorder::startSession() {
    recordCount_ = 1;
    recordTime_ = 25;
    minADC_ = 16383;
    maxADC_ = 0;
}

void SessionRecorder::noteFiltered(int32_t filtered) {
    // Both bounds are checked: a session whose every reading is a new maximum still has a minimum.
    if (filtered > maxADC_) maxADC_ = filtered;
    if (filtered < minADC_) minADC_ = filtered;
}

int32_t SessionRecorder::store(int32_t filtered) {
    const int32_t record = recordCount_;
    files_.writeReading(record, filtered);
    if (recordTime_ <= kLongMax - 5) recordTime_ += 5;
    files_.appendTextLine(filtered, recordTime_);
    if (recordCount_ < kLongMax) ++recordCount_;
    return record;
}

const std::vector<int32_t>& SessionRecorder::storedReadings() const {
    return files_.readings();
}

void SessionRecorder::appendTraceLine(const QString& content) {
    files_.appendTraceLine(content);
}

void SessionRecorder::appendTraceEmptyLine() {
    files_.appendTraceEmptyLine();
}

bool SessionRecorder::traceOpen() const {
    return files_.traceOpen();
}

} // namespace aurivo
