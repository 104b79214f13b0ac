#pragma once
// Test doubles for the whole monitor headless: a clock that moves only when told (date and time from one
// value, so midnight can be crossed), a window host with a hook run in every yield, scripted boxes, dialogs.

#include "app/Dialogs.h"
#include "core/Clock.h"
#include "core/MessageBoxes.h"
#include "core/WindowHost.h"
#include "export/ExportJob.h"

#include <QDateTime>
#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

namespace aurivo {

class TestClock : public Clock {
  public:
    QDateTime dateTime{QDate(2026, 12, 6), QTime(10, 0, 0)};
    int64_t steady = 0;
    void advance(int64_t ms) {
        dateTime = dateTime.addMSecs(ms);
        steady += ms;
    }
    float secondsSinceMidnight() const override {
        return float(dateTime.time().msecsSinceStartOfDay()) / 1000.0f;
    }
    QDateTime now() const override { return dateTime; }
    int64_t steadyMilliseconds() const override { return steady; }
};

class TestHost : public WindowHost {
  public:
    explicit TestHost(TestClock& clock) : clock_(clock) {}
    double screenWidth = 15360, screenHeight = 11520; // 1024 x 768 pixels at 15 twips per pixel
    TwipsRect geometry{0, 0, 9900, 7140};
    WindowState state = WindowState::Normal;
    std::function<void()> onEvents; // runs inside every yield (a test may run a tick there)
    int yields = 0;

    double screenWidthTwips() const override { return screenWidth; }
    double screenHeightTwips() const override { return screenHeight; }
    TwipsRect windowGeometry() const override { return geometry; }
    WindowState showState() const override { return state; }
    void setWindowWidth(double t) override { geometry.width = t; }
    void setWindowHeight(double t) override { geometry.height = t; }
    void setWindowLeft(double t) override { geometry.left = t; }
    void setWindowTop(double t) override { geometry.top = t; }
    void processEvents() override {
        ++yields;
        clock_.advance(10);
        if (onEvents) onEvents();
    }
    bool waitUntil(const std::function<bool()>& done, int64_t limitMs) override {
        for (const int64_t start = clock_.steady; clock_.steady - start < limitMs;) {
            processEvents();
            if (done()) return true;
        }
        return false;
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
    std::vector<Shown> shown, notices; // boxes waited for, and notices shown without waiting
    std::deque<Answer> answers;        // in order; OK when the script runs out
    std::function<void()> whileOpen;   // runs while a box is "open" (ticks may arrive then)

    Answer show(const QString& text, const QString& title, Buttons buttons, Icon icon) override {
        shown.push_back({text, title, buttons, icon});
        if (whileOpen) whileOpen();
        if (answers.empty()) return Answer::Ok;
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    void notify(const QString& text, const QString& title, Icon icon) override {
        notices.push_back({text, title, Buttons::Ok, icon});
    }
    int count(const QString& title) const {
        return int(
            std::count_if(shown.begin(), shown.end(), [&](const Shown& s) { return s.title == title; }));
    }
};

class ScriptedDialogs : public Dialogs {
  public:
    std::deque<QString> saveAsNames; // what the user "types" and confirms; empty text = Cancel
    std::function<void(FileManager&)> fileManager;
    // The export dialog's choice (nothing: Cancel), and whether Cancel is pressed in the progress window.
    std::function<std::optional<ExportRequest>(const ExportChoices&)> exportRequest;
    bool cancelExport = false;

    QString showSaveAs(const QString& current) override {
        if (saveAsNames.empty()) return current; // closed without OK or Cancel
        const QString name = saveAsNames.front();
        saveAsNames.pop_front();
        return name;
    }
    void showFileManager(FileManager& m) override {
        if (fileManager) fileManager(m);
    }
    void showAbout() override {}
    std::optional<ExportRequest> askExport(const ExportChoices& choices) override {
        return exportRequest ? exportRequest(choices) : std::nullopt;
    }
    void showExportProgress(ExportJob& job) override {
        if (cancelExport) job.cancel();
        job.start();
        job.waitFinished(60000);
    }
};

} // namespace aurivo
