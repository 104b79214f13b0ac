#include "core/EventWait.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace aurivo {

bool EventWait::until(const std::function<bool()>& done, int64_t limitMs) {
    QEventLoop loop;
    bool held = false;
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    // The dispatcher is about to sleep: everything pending has run, so the condition is up to date.
    const QMetaObject::Connection check = QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &loop, [&] {
            if (!held && done()) {
                held = true;
                loop.quit();
            }
        });
    limit.start(int(std::max<int64_t>(0, limitMs)));
    loop.exec();
    QObject::disconnect(check);
    return held || done();
}

} // namespace aurivo
