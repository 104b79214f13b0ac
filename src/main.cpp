// The Aurivo USB monitor: the window over the sensor's serial port, with the program's folder as the
// home of its settings and session files.
#include "app/BuildInfo.h"
#include "app/CommandLine.h"
#include "app/InstanceLock.h"
#include "app/ProgramFolder.h"
#include "core/SystemClock.h"
#include "device/PortMap.h"
#include "device/QtSerialComm.h"
#include "widgets/MainWindow.h"
#include "widgets/QtMessageBoxes.h"
#include "widgets/TerminationWatch.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <optional>

namespace aurivo {
namespace {

QStringList argumentsOf(int argc, char** argv) {
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    return raw;
}

// Help, version and mistakes are answered on the terminal, with the program's exit code; nothing when
// the window is to start.
std::optional<int> answerWithoutWindow(const CommandLine& line) {
    if (line.action == CommandLine::Action::Help || line.action == CommandLine::Action::Version) {
        std::fputs(qPrintable(line.action == CommandLine::Action::Help ? CommandLine::helpText()
                                                                       : CommandLine::versionText()),
                   stdout);
        return 0;
    }
    if (line.action == CommandLine::Action::Error) {
        std::fputs(qPrintable(line.errorText()), stderr);
        return 2;
    }
    return std::nullopt;
}

void nameApplication(QApplication& app) {
    app.setApplicationName(QStringLiteral("Aurivo USB"));
    app.setApplicationVersion(QString::fromLatin1(buildinfo::kVersion));
    app.setDesktopFileName(QStringLiteral("com.aurivo.UsbMonitor"));
}

// Makes the folder ready for the program's files; returns why it cannot hold them, empty when it can.
QString prepareFolder(const QString& folder) {
    // A folder that cannot hold files does not keep the monitor from showing the sensor: the window
    // says why, and sessions run without being recorded.
    const QString folderProblem = ProgramFolder::prepare(folder);
    if (!folderProblem.isEmpty())
        std::fprintf(stderr, "aurivo-usb: cannot keep files in %s: %s\n", qPrintable(folder),
                     qPrintable(folderProblem));
    return folderProblem;
}

// Takes the folder's lock; false, once the user has been told, when another monitor holds it.
bool lockFolder(InstanceLock& lock, const QString& folderProblem) {
    switch (lock.acquire()) {
    case InstanceLock::Outcome::Taken:
        break;
    case InstanceLock::Outcome::Held: {
        const QString message =
            lock.heldMessage() +
            QStringLiteral(" Close that monitor, or start this one with --folder and another folder.");
        std::fprintf(stderr, "aurivo-usb: %s\n", qPrintable(message));
        // A headless run (offscreen, minimal) has no one to close the box; the message above says it all.
        const QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
            QMessageBox::warning(nullptr, QStringLiteral("Aurivo USB"), message);
        return false;
    }
    case InstanceLock::Outcome::Unavailable:
        if (folderProblem.isEmpty())
            std::fprintf(stderr, "aurivo-usb: %s; a second monitor on this folder is not kept out\n",
                         qPrintable(lock.problem()));
        break;
    }
    return true;
}

// What the monitor must know of its folder: why it cannot hold files, where the settings go instead,
// and that the program's files were moved.
void tellFolderNotices(MainWindow& window, const ProgramFolder::Inputs& inputs,
                       const QString& folderProblem) {
    window.monitor().setFolderProblem(folderProblem);
    window.monitor().setSettingsFallbackFolder(ProgramFolder::settingsFallback(inputs));
    if (const QString moved = ProgramFolder::movedNotice(inputs); !moved.isEmpty()) {
        std::fprintf(stderr, "aurivo-usb: %s\n", qPrintable(moved));
        window.monitor().addStartUpNotice(moved);
    }
}

QStringList absolutePaths(const QStringList& paths) {
    QStringList absolute;
    for (const QString& path : paths)
        absolute << QFileInfo(path).absoluteFilePath();
    return absolute;
}

} // namespace
} // namespace aurivo

int main(int argc, char** argv) {
    using namespace aurivo;
    // The command line is read before the window system starts: help, version and mistakes need no
    // display (without one, QApplication would abort the program).
    const CommandLine line = CommandLine::parse(argumentsOf(argc, argv));
    if (const std::optional<int> exitCode = answerWithoutWindow(line)) return *exitCode;
    QApplication app(argc, argv);
    nameApplication(app);
    const ProgramFolder::Inputs inputs = ProgramFolder::fromSystem(line.folder);
    const QString folder = ProgramFolder::choose(inputs);
    const QString folderProblem = prepareFolder(folder);
    // One monitor per folder: a second one's start-up would delete or "recover" the first one's live
    // session files, so the lock is taken before the window exists. A folder that cannot hold the lock
    // file cannot hold sessions either; the monitor then runs unguarded rather than not at all.
    InstanceLock lock(folder);
    if (!lockFolder(lock, folderProblem)) return 1;
    SystemClock clock;
    QtSerialComm comm(folder);
    PortMap ports(folder);
    QtMessageBoxes boxes;
    MainWindow window(comm, clock, boxes, folder, [&ports](int n) { return ports.describe(n); });
    boxes.setParentWidget(&window);
    tellFolderNotices(window, inputs, folderProblem);
    TerminationWatch termination(&window);
    window.show();
    // Start-up runs inside the event loop, so a close during its pauses ends the program cleanly.
    // Sessions named on the command line are replayed once start-up is done.
    const QStringList sessions = absolutePaths(line.sessions);
    QTimer::singleShot(0, &window, [&window, sessions] {
        window.startUp();
        window.openSessionFiles(sessions);
    });
    return app.exec();
}
