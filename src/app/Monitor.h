#pragma once
// The monitor's main form without its widgets: start-up, the 200 ms tick, reading the device, closing,
// and the wiring of every routine the window's controls call. The window forwards each user action
// here and then mirrors the state; tests drive the same entry points headless.

#include "app/SessionControl.h"
#include "core/MonitorState.h"
#include "device/PacketDecoder.h"
#include "display/GraphPlotter.h"
#include "display/Indicators.h"
#include "display/ReadingStatus.h"
#include "recording/SessionFiles.h"
#include "settings/ParameterBoxes.h"
#include "settings/PortChooser.h"
#include "settings/SettingsFile.h"
#include "ui/PanelArranger.h"
#include "ui/ViewToggles.h"

#include <functional>
#include <memory>

namespace aurivo {

class SerialComm;
class Clock;
class MessageBoxes;
class WindowHost;
class Dialogs;
class FileManager;

class Monitor {
  public:
    struct Services {
        SerialComm& comm;
        Clock& clock;
        MessageBoxes& boxes;
        WindowHost& host;
        Dialogs& dialogs;
        QString programFolder;
        // Names the device behind a port number, for the port chooser's tooltips.
        std::function<QString(int)> deviceName;
    };

    explicit Monitor(Services services);
    ~Monitor();

    MonitorState& state() { return s_; }
    const MonitorState& state() const { return s_; }
    const QString& programFolder() const { return folder_; }

    void startUp();
    void onTick();
    // Runs when the window is about to close, for any reason: stops a running session (so its header
    // and comments are written), undoes a replay view and writes the settings file. Never cancels.
    void prepareToClose();
    // File > Exit: closes the port and asks the window to close.
    void exitProgram();
    bool exitRequested() const { return exitRequested_; }

    // The packet reader: takes every waiting byte, one at a time. Returns false when the port failed.
    bool readDevicePackets();

    // Menu and control entry points that belong to the main form itself.
    void toggleShowInput() { s_.mnuShowInput.checked = !s_.mnuShowInput.checked; }
    void clickParameterLabel(int index);
    void clickGraph();
    void saveSessionOrResume();
    void displaySavedSessions();
    void showAbout();

    SessionControl& sessions() { return sessions_; }
    ViewToggles& views() { return views_; }
    PortChooser& ports() { return ports_; }
    ParameterBoxes& parameters() { return params_; }
    GraphPlotter& graph() { return graph_; }
    Indicators& indicators() { return indicators_; }
    SessionFiles& files() { return files_; }
    PanelArranger& arranger() { return arranger_; }

  private:
    void loadSettings();
    Settings collectSettings();

    QString folder_;
    MonitorState s_;
    SerialComm& comm_;
    Clock& clock_;
    MessageBoxes& boxes_;
    WindowHost& host_;
    Dialogs& dialogs_;
    SessionFiles files_;
    Indicators indicators_;
    ReadingStatus status_;
    GraphPlotter graph_;
    PacketDecoder decoder_;
    SessionControl sessions_;
    ViewToggles views_;
    ParameterBoxes params_;
    PortChooser ports_;
    PanelArranger arranger_;
    SettingsFile settingsFile_;
    int tickDepth_ = 0;
    bool exitRequested_ = false;
};

} // namespace aurivo
