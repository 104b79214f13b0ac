#pragma once
// The clocks the program reads: the time of day in seconds since midnight (single precision, as the
// session clock and the data-present test use it), the current date and time, and a steady
// millisecond counter for the pauses that must also end across midnight.

#include <QDateTime>
#include <cstdint>

namespace aurivo {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual float secondsSinceMidnight() const = 0;
    virtual QDateTime now() const = 0;
    virtual int64_t steadyMilliseconds() const = 0;

    // The time of day of a date and time as the seconds clock counts it.
    static float secondsOfDay(const QDateTime& when) {
        return float(when.time().msecsSinceStartOfDay()) / 1000.0f;
    }
};

} // namespace aurivo
