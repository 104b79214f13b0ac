#pragma once
// The menus of the main window and what each item shows (caption, enabled, check mark, visible), worked
// out from the state of the program the menus follow.

#include "core/ControlModels.h"
#include "core/PanelViews.h"

namespace aurivo {

// The menus and their items, named for what they do (their controls keep their object names: mnuFile,
// mnuSaveFile, mnuBarGrf and so on).
enum class MenuItem {
    File,
    Session,
    Display,
    SerialPort,
    Help,
    SaveSession,          // File > "Save session", or "Resume normal display" during a replay
    DisplaySavedSessions, // File > "Display saved session" / "Display another session"
    Cancel,               // File > "Cancel": ends a running pause early
    Exit,
    Restart,
    Start,
    StartAs,
    Stop,
    SetSensitivity,     // Session > "Set Sensitivity": the sensitivity box
    SetFilterSize,      // Session > "Set Filter Size": the entry box
    SetJitterRejection, // Session > "Adjust Jitter Rejection": the entry box
    ShowPictureGraph,   // Display > "Picture Graph": the graph panel
    ShowLamps,          // Display > "Color Bar Graph": the lamp row
    ShowBar,            // Display > "BarGraph": the segment bar
    ShowReadings,       // Display > "Internal Status": the readings panel
    ShowComments,       // Display > "Session comments": the comments panel
    ShowParameterStrip, // Display > "Display Time etc.": the parameters strip
    ShowInput,          // Display > "ShowDataInput"
    ChoosePort,         // Serial Port > "Set Comm Port": scans the ports and opens the port chooser
    About,              // Help > "About"
    Export,             // File > "Export session..."
    AddMarker,          // Session > "Add marker"
    ResponseTicks,      // Display > "Response ticks": the ticks of the responses on the graph
    Responses,          // Display > "Responses...": the Responses window
};

// Everything the menus are derived from.
struct MenuState {
    bool running = false, savedAs = false, probing = false;
    PanelViews views = PanelViews::all();
    bool replayShown = false, showInputChecked = false, ticksShown = true, exportEnabled = false;
    bool operator==(const MenuState&) const = default;
};

class MenuItems {
  public:
    static MenuItemModel model(MenuItem item, const MenuState& state);
};

} // namespace aurivo
