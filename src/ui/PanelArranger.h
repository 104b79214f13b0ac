#pragma once

namespace aurivo {

// ArrangePanels: sizes and places the main window for the screen and the visible panels, then lays the
// six panels and their labels out, by applying the layout plan to the window and to the control records.
// Called by the tick while an arrangement is pending.

struct MonitorState;
class GraphCanvas;
class WindowHost;
class MessageBoxes;

class PanelArranger {
  public:
    PanelArranger(MonitorState& state, GraphCanvas& picture, WindowHost& host, MessageBoxes& boxes);
    void arrangePanels();

  private:
    MonitorState& s_;
    GraphCanvas& picture_;
    WindowHost& host_;
    MessageBoxes& boxes_;
};

} // namespace aurivo
