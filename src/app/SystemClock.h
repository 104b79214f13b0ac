#pragma once
// The real clocks of the machine.

#include "app/Clock.h"
#include <QElapsedTimer>

class SystemClock : public Clock {
public:
    SystemClock() { timer_.start(); }
    float SecondsSinceMidnight() const override {
        const QTime t = QTime::currentTime();
        return float(t.msecsSinceStartOfDay()) / 1000.0f;
    }
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
    int64_t SteadyMilliseconds() const override { return timer_.elapsed(); }

private:
    QElapsedTimer timer_;
};
