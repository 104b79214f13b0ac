#pragma once
// Test doubles for driving the whole monitor headless: a clock that moves only when told (time of day
// and date from one value, so midnight can be crossed), a window host with a settable geometry and a
// hook that runs inside every yield, scripted message boxes, and scripted dialogs.

#include "app/Clock.h"
#include "app/Dialogs.h"
#include "app/MessageBoxes.h"
#include "app/MonitorState.h"
#include "app/WindowHost.h"

#include <QDateTime>
#include <deque>
#include <functional>
#include <vector>

class TestClock : public Clock {
public:
    QDateTime now{QDate(2026, 12, 6), QTime(10, 0, 0)};
    int64_t steady = 0;
    void Advance(int64_t ms) {
        now = now.addMSecs(ms);
        steady += ms;
    }
    float SecondsSinceMidnight() const override { return float(now.time().msecsSinceStartOfDay()) / 1000.0f; }
    QDateTime Now() const override { return now; }
    int64_t SteadyMilliseconds() const override { return steady; }
};

class TestHost : public WindowHost {
public:
    explicit TestHost(TestClock& clock) : clock_(clock) {}
    double screenWidth = 15360, screenHeight = 11520; // 1024 x 768 pixels at 15 twips per pixel
    TwipsRect geometry{0, 0, 9900, 7140};
    WindowState state = WindowState::Normal;
    std::function<void()> onEvents; // runs inside every yield (a test may run a tick there)
    int yields = 0;

    double ScreenWidthTwips() const override { return screenWidth; }
    double ScreenHeightTwips() const override { return screenHeight; }
    TwipsRect WindowGeometry() const override { return geometry; }
    WindowState State() const override { return state; }
    void SetWindowWidth(double t) override { geometry.width = t; }
    void SetWindowHeight(double t) override { geometry.height = t; }
    void SetWindowLeft(double t) override { geometry.left = t; }
    void SetWindowTop(double t) override { geometry.top = t; }
    void ProcessEvents() override {
        ++yields;
        clock_.Advance(10);
        if (onEvents) onEvents();
    }

private:
    TestClock& clock_;
};

class ScriptedBoxes : public MessageBoxes {
public:
    struct Shown {
        QString text, title;
        Buttons buttons;
        Icon icon;
    };
    std::vector<Shown> shown;
    std::deque<Answer> answers; // in order; OK when the script runs out
    std::function<void()> whileOpen; // runs while a box is "open" (ticks may arrive then)

    Answer Show(const QString& text, const QString& title, Buttons buttons, Icon icon) override {
        shown.push_back({text, title, buttons, icon});
        if (whileOpen) whileOpen();
        if (answers.empty()) return Answer::Ok;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    int Count(const QString& title) const {
        int n = 0;
        for (const auto& s : shown) n += s.title == title;
        return n;
    }
};

class ScriptedDialogs : public Dialogs {
public:
    MonitorState* state = nullptr;
    std::deque<QString> saveAsNames; // what the user "types" and confirms; empty text = Cancel
    std::function<void(FileManager&)> fileManager;

    void ShowSaveAs() override {
        if (!saveAsNames.empty()) {
            state->SaveAsName = saveAsNames.front();
            saveAsNames.pop_front();
        }
    }
    void ShowFileManager(FileManager& m) override {
        if (fileManager) fileManager(m);
    }
    void ShowAbout() override {}
};
