#pragma once
// Turns SIGTERM, SIGINT and SIGHUP (log-out, shutdown, Ctrl+C in a terminal) into an orderly close of
// the main window, so a running session is stopped and its header and the settings are written
// instead of being lost. The signal handler only writes a byte to a pipe; the close runs in the event
// loop.

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace aurivo {

class TerminationWatch : public QObject {
    Q_OBJECT
  public:
    explicit TerminationWatch(QWidget* window);
    ~TerminationWatch() override;

  private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace aurivo
