// The Aurivo USB monitor: the window over the sensor's serial port, with the program's folder as the
// home of its settings and session files.
#include "core/SystemClock.h"
#include "device/PortMap.h"
#include "device/QtSerialComm.h"
#include "ui/widgets/MainWindow.h"
#include "ui/widgets/QtMessageBoxes.h"
#include "ui/widgets/TerminationWatch.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    using namespace aurivo;
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Aurivo USB"));
    const QString folder = QCoreApplication::applicationDirPath();
    SystemClock clock;
    QtSerialComm comm(folder);
    PortMap ports(folder);
    QtMessageBoxes boxes;
    MainWindow window(comm, clock, boxes, folder, [&ports](int n) { return ports.canonicalPath(n); });
    boxes.setParentWidget(&window);
    TerminationWatch termination(&window);
    window.show();
    // Start-up runs inside the event loop, so a close during its pauses ends the program cleanly.
    QTimer::singleShot(0, &window, [&window] { window.startUp(); });
    return app.exec();
}
