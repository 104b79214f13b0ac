#pragma once
// The real clocks of the machine.

#include "core/Clock.h"
#include <QElapsedTimer>

namespace aurivo {

class SystemClock : public Clock {
  public:
    SystemClock() { timer_.start(); }
    float secondsSinceMidnight() const override {
        const QTime t = QTime::currentTime();
        return float(t.msecsSinceStartOfDay()) / 1000.0f;
    }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    int64_t steadyMilliseconds() const override { return timer_.elapsed(); }

  private:
    QElapsedTimer timer_;
};

} // namespace aurivo
