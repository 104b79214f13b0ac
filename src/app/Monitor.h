#pragma once
// The conductor of the main window without its widgets: start-up, the 200 ms tick, reading the device,
// closing, the replay view, and the wiring of every routine the window's controls call. Each part owns
// its state and shows it read-only; the monitor passes readings and values from one part to the next.
// The window forwards each user action here and follows the parts' change signals; tests drive the same
// entry points headless.

#include "analysis/ResponseRecorder.h"
#include "app/MenuItems.h"
#include "app/ReadingPipeline.h"
#include "app/ResearchTools.h"
#include "app/SessionControl.h"
#include "core/ChangeSignal.h"
#include "core/CommentBox.h"
#include "core/Reading.h"
#include "core/ReadingListener.h"
#include "core/TickCountdown.h"
#include "device/PacketReader.h"
#include "display/GraphPlotter.h"
#include "display/Indicators.h"
#include "display/ReadingStatus.h"
#include "files/FileManager.h"
#include "layout/PanelArranger.h"
#include "layout/ViewToggles.h"
#include "link/LabLink.h"
#include "recording/SessionFiles.h"
#include "recording/SessionMarkers.h"
#include "settings/ParameterBoxes.h"
#include "settings/PortChooser.h"
#include "settings/SettingsFile.h"

#include <functional>
#include <optional>
#include <vector>

namespace aurivo {

class SerialComm;
class Clock;
class MessageBoxes;
class WindowHost;
class Dialogs;

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

    // Longest time one tick spends reading the port; what still waits is read by the next tick, so the
    // window repaints and answers at any input rate.
    static constexpr int64_t kReadBudgetMs = 20;

    explicit Monitor(Services services);

    const QString& programFolder() const { return folder_; }

    // Where the settings file is read from when the program's folder has none (the executable's folder,
    // when the program keeps its files elsewhere); it is always written to the program's folder.
    void setSettingsFallbackFolder(const QString& folder) { settingsFallbackFolder_ = folder; }
    // Why the program's folder cannot hold files: start-up says so once, and sessions run unrecorded.
    void setFolderProblem(const QString& why) { folderProblem_ = why; }
    // Something start-up tells the user once, in a notice that does not wait.
    void addStartUpNotice(const QString& text) { startUpNotices_ << text; }

    // Adds a listener at the end of the reading pipeline (it must outlive the monitor or be removed).
    void addListener(ReadingListener& listener) { pipeline_.addListener(listener); }
    void removeListener(ReadingListener& listener) { pipeline_.removeListener(listener); }

    void startUp();
    void onTick();
    // Runs when the window is about to close, for any reason: stops a running session (so its header
    // and comments are written), undoes a replay view and writes the settings file. Never cancels.
    void prepareToClose();
    bool exitRequested() const { return exitRequested_; }

    // The receive step of the tick: reads what the port has received, for at most kReadBudgetMs, and
    // settles the start value on the last packet read. Returns false when the port failed.
    bool readDevicePackets();
    // The reading of the last valid packet (after the graph's step limit).
    const Reading& lastReading() const { return last_; }

    // The window's commands. choose() runs a menu item as the menus do; the window offers an item only
    // while it is enabled. AddMarker and Responses open a prompt or a window of the window's own, which
    // call addMarker() and setResponseSettings().
    void choose(MenuItem item);
    // Session > "Add marker": a marker at the newest reading; its index, or nothing when none was set.
    std::optional<size_t> addMarker() { return research_.addMarker(); }
    void renameMarker(size_t index, const QString& label) { research_.renameMarker(index, label); }
    // The user's text in the comments panel.
    void setComments(const QString& text) { comments_.setText(text); }
    // The scoring of responses from the next session on; keeps it in aurivo-usb.conf, false with the
    // reason when it could not be kept (it is used all the same).
    bool setResponseSettings(const ResponseDetector::Settings& settings, QString& failure);
    // Serial Port > "Lab link...": the link's new settings, kept in aurivo-usb.conf; false with the
    // reason when they could not be kept (they are used all the same).
    bool applyLabLink(const LabLinkSettings& settings, QString& failure);

    // The sensitivity box: the slider moved (shiftState: ParameterBoxes::kShift | kCtrl | kAlt held while
    // a key or the mouse pressed it), OK and Cancel.
    void moveSensitivitySlider(int value) { params_.moveSlider(value); }
    void pressSliderKey(int shiftState) { params_.onSliderKeyDown(shiftState); }
    void pressSliderMouse(int shiftState) { params_.onSliderMouseDown(shiftState); }
    void acceptSensitivity() { params_.acceptSensitivity(); }
    void cancelSensitivity() { params_.cancelSensitivity(); }
    // The entry box of the filter size and the jitter rejection: the text typed, "Okay", "Cancel".
    void typeEntry(const QString& text) { params_.setEntryText(text); }
    void acceptEntry() { params_.acceptEntry(); }
    void cancelEntry() { params_.cancelEntry(); }
    // The port chooser: a press on option button index (0..15), and "Okay".
    void choosePort(int index) { ports_.choosePort(index); }
    void closePortChooser() { ports_.closeChooser(); }

    // A click on the sensitivity opens its box; one on the port number scans the ports, except during a
    // session. Either closes the entry box first, as every click on the window does.
    void clickSensitivity();
    void clickPortNumber();
    // A click on the graph during a replay chooses the sessions to show again.
    void clickGraph();
    // Every click on the window background, a display panel or one of its labels.
    void clickPanel() { params_.hideEntryBox(); }
    // Replays session files opened from outside the file manager (the command line, a drop on the
    // window), as "Display saved session" would; nothing while a session runs.
    void displaySessionFiles(const QStringList& paths);

    // A replay view is shown.
    bool replayShown() const { return replayShown_; }
    MenuItemModel menuItem(MenuItem item) const { return MenuItems::model(item, menuState()); }

    // Read-only views of the parts, which the window shows and follows through their change signals.
    const SessionControl& sessions() const { return sessions_; }
    const ViewToggles& views() const { return views_; }
    const PortChooser& ports() const { return ports_; }
    const ParameterBoxes& parameters() const { return params_; }
    const GraphPlotter& graph() const { return pipeline_.graph(); }
    const Indicators& indicators() const { return indicators_; }
    const ReadingStatus& readings() const { return panel_; }
    const CommentBox& comments() const { return comments_; }
    const SessionFiles& files() const { return files_; }
    const SessionMarkers& markers() const { return markers_; }
    const ResearchTools& research() const { return research_; }
    // Readings out and markers in over OSC; its settings are read at start-up.
    const LabLink& labLink() const { return link_; }
    // Scores the running session's skin-conductance responses and writes its response file.
    const ResponseRecorder& responses() const { return responses_; }
    const SessionRecorder& recorder() const { return pipeline_.recorder(); }
    const ReadingFilter& filter() const { return pipeline_.filter(); }
    const FileManager& fileManager() const { return fileManager_; }
    const PanelArranger& arranger() const { return arranger_; }

    ChangeSignal menusChanged; // a menu caption, check mark, enabled or visible state may have changed

  private:
    void toggleShowInput();
    // Display > "Response ticks": shows or hides the response ticks on the graph, and keeps the choice.
    void toggleResponseTicks();
    // File > "Save session", or "Resume normal display" while a replay is shown.
    void saveSessionOrResume();
    // File > "Display saved session" / "Display another session".
    void displaySavedSessions();
    // File > Exit: closes the port and asks the window to close.
    void exitProgram();
    void loadSettings();
    Settings collectSettings() const;
    void takeReading(const Reading& reading);
    void setReplayShown(bool shown);
    // Draws the file manager's display list as a replay, changing the window into the replay view.
    void replayDisplayList();
    void notifyMenusIfChanged();

    // Everything the menus are derived from, now.
    MenuState menuState() const;

    QString folder_;
    SerialComm& comm_;
    Clock& clock_;
    MessageBoxes& boxes_;
    WindowHost& host_;
    Dialogs& dialogs_;
    SessionFiles files_;
    ReadingPipeline pipeline_{files_};
    GraphPlotter& graph_ = pipeline_.graph();
    SessionMarkers markers_;
    CommentBox comments_;
    Indicators indicators_;
    ReadingStatus panel_;
    PacketReader reader_;
    TickCountdown countdown_;
    PanelArranger arranger_;
    ViewToggles views_;
    ParameterBoxes params_;
    PortChooser ports_;
    SessionControl sessions_;
    FileManager fileManager_;
    SettingsFile settingsFile_;
    ResponseRecorder responses_{files_, markers_};
    ResearchTools research_;
    LabLink link_;
    Reading last_;
    QString settingsFallbackFolder_;
    QString folderProblem_;
    QStringList startUpNotices_;
    bool replayShown_ = false;
    QString commentsBeforeReplay_; // the comment box's text when the replay view began
    bool showInputChecked_ = false;
    MenuState menuState_; // as the menus were last shown
    bool listenersSawRunning_ = false;
    double tickSeconds_ = 0; // the session's time when this tick began reading the port
    int tickDepth_ = 0;
    bool exitRequested_ = false;
};

} // namespace aurivo
