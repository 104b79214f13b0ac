#pragma once
// ArrangePanels: sizes and places the main window for the screen and the visible panels, then lays the
// six panels and their labels out, by applying the layout plan to the window and to the control records.
// Called by the tick while an arrangement is pending.

struct MonitorState;
class WindowHost;
class MessageBoxes;

class PanelArranger {
public:
    PanelArranger(MonitorState& state, WindowHost& host, MessageBoxes& boxes);
    void ArrangePanels();

private:
    MonitorState& s_;
    WindowHost& host_;
    MessageBoxes& boxes_;
};
