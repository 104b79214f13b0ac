#pragma once
// Fakes for the settings tests: a clock that only moves when told, a window host whose every
// "let pending events run" advances that clock and may run a scripted handler, and message boxes
// that answer from a script and record what was shown.

#include "app/Clock.h"
#include "app/MessageBoxes.h"
#include "app/WindowHost.h"

#include <deque>
#include <functional>
#include <vector>

class FakeClock : public Clock {
public:
    int64_t steadyMs = 0;
    float seconds = 0;
    void Advance(int64_t ms) {
        steadyMs += ms;
        seconds += float(ms) / 1000.0f;
    }
    float SecondsSinceMidnight() const override { return seconds; }
    QDateTime Now() const override { return QDateTime(); }
    int64_t SteadyMilliseconds() const override { return steadyMs; }
};

class FakeWindowHost : public WindowHost {
public:
    explicit FakeWindowHost(FakeClock& clock, int64_t msPerYield = 50) : clock_(clock), msPerYield_(msPerYield) {}

    int yields = 0;
    // Runs inside every yield, after the clock has moved; gets the yield's number (1, 2, ...).
    std::function<void(int)> onEvents;

    double ScreenWidthTwips() const override { return 19200; }
    double ScreenHeightTwips() const override { return 14400; }
    TwipsRect WindowGeometry() const override { return {}; }
    WindowState State() const override { return WindowState::Normal; }
    void SetWindowWidth(double) override {}
    void SetWindowHeight(double) override {}
    void SetWindowLeft(double) override {}
    void SetWindowTop(double) override {}
    void ProcessEvents() override {
        ++yields;
        clock_.Advance(msPerYield_);
        if (onEvents) onEvents(yields);
    }

private:
    FakeClock& clock_;
    int64_t msPerYield_;
};

class FakeMessageBoxes : public MessageBoxes {
public:
    struct Shown {
        QString text, title;
        Buttons buttons;
        Icon icon;
    };
    std::vector<Shown> shown;
    std::deque<Answer> answers; // answered in order; Cancel when the script runs out

    Answer Show(const QString& text, const QString& title, Buttons buttons, Icon icon) override {
        shown.push_back({text, title, buttons, icon});
        if (answers.empty()) return Answer::Cancel;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
};
