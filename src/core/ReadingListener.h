#pragma once
// A listener at the end of the reading pipeline: it is handed every reading the session records, as one
// value, after the recorder, the readings panel, the indicators and the graph have taken it, and is told
// when a session starts and stops. The response detector, the tone and the lab link are such listeners.

#include "core/Reading.h"

#include <QString>
#include <cstdint>

namespace aurivo {

// One recorded reading: the packet's reading (after the step limit), the filtered reading stored as
// record `record` of the session, its resistance and conductance by the program's number rules (0 when
// there is none), and the session's time in seconds when it was read.
struct RecordedReading {
    Reading reading;
    int32_t filtered = 0;
    double ohms = 0;
    double microsiemens = 0;
    int32_t record = 0;
    double sessionSeconds = 0;
};

class ReadingListener {
  public:
    virtual ~ReadingListener() = default;
    // A session started recording under the base name ("tempdata" or the name it was started with).
    virtual void sessionStarted(const QString& baseName) { static_cast<void>(baseName); }
    virtual void readingRecorded(const RecordedReading& reading) = 0;
    virtual void sessionStopped() {}
};

} // namespace aurivo
