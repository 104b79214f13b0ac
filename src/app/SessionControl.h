#pragma once
// Starting, stopping and restarting sessions: the Session menu's commands, the routine beginSession
// they share, and File > Cancel. A session runs exactly while "Start" is disabled; starting opens the
// session files and the port, stopping writes the header's closing records and closes everything.

#include <QDateTime>
#include <QString>

namespace aurivo {

struct MonitorState;
class SerialComm;
class Clock;
class MessageBoxes;
class Dialogs;
class SessionFiles;
class Indicators;
class GraphPlotter;

class SessionControl {
  public:
    SessionControl(MonitorState& state, SerialComm& comm, Clock& clock, MessageBoxes& boxes, Dialogs& dialogs,
                   SessionFiles& files, Indicators& indicators, GraphPlotter& graph);

    void startSession();
    void startSessionAs();
    void beginSession();
    // Stops the session. Every step runs even if one before it failed, so a stop always leaves the
    // menus, the port and the files in the stopped state.
    void stopSession();
    // The tick found the port failing (the device hung up): the session is stopped, its header written,
    // and the user told when and how many readings were recorded.
    void stopAfterPortFailure();
    void restartSession();
    void requestCancel();

    // Base name of the current session's files: "tempdata" or the save-as name.
    QString sessionBaseName() const;
    // "Start of Session : " uses the system's general date-and-time form.
    static QString generalDateText(const QDateTime& when);

  private:
    MonitorState& s_;
    SerialComm& comm_;
    Clock& clock_;
    MessageBoxes& boxes_;
    Dialogs& dialogs_;
    SessionFiles& files_;
    Indicators& indicators_;
    GraphPlotter& graph_;
};

} // namespace aurivo
