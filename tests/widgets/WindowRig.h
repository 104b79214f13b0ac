#pragma once
// The real main window over a scripted serial component and message boxes, in a fresh folder.

#include "FakeSerialComm.h"
#include "MonitorFakes.h"
#include "core/SystemClock.h"
#include "settings/SettingsFile.h"
#include "widgets/MainWindow.h"

#include <QAction>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace aurivo {

// A key to whatever has the keyboard: an open menu, else the focused control, else the active window.
inline void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key(k), mods);
}

struct WindowRig {
    QTemporaryDir dir;
    SystemClock clock;
    ScriptedBoxes boxes;
    FakeSerialComm comm;
    std::unique_ptr<MainWindow> window =
        std::make_unique<MainWindow>(comm, clock, boxes, dir.path(), [](int) { return QString(); });
    Monitor& m() { return window->monitor(); }
    template <typename T = QWidget> T* find(const QString& name) { return window->findChild<T*>(name); }
    QAction* action(const QString& name) { return find<QAction>(name); }
    bool arranged() {
        return QTest::qWaitFor([&] {
            return m().arranger().layoutState() == LayoutState::FollowHeight && !m().arranger().pending();
        });
    }
    bool startArranged() {
        const double tpp = window->twipsPerPixel();
        const QRect screen = window->screen()->geometry();
        if (!SettingsFile(dir.path())
                 .write(SettingsFile::defaults(screen.width() * tpp, screen.height() * tpp)))
            return false;
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get())) return false;
        window->startUp();
        return arranged();
    }
};

} // namespace aurivo
