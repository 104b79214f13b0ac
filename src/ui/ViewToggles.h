#pragma once

namespace aurivo {

// The Display menu's six panel toggles, the switch into and out of the replay view, and the
// click-to-close rule of the filter/jitter entry frame. A toggle only records the choice and asks for
// a height-driven re-arrangement; the next tick lays the panels out.

struct MonitorState;
class WindowHost;

class ViewToggles {
  public:
    ViewToggles(MonitorState& state, WindowHost& host);

    void togglePictureGraph();
    void toggleColorBar();
    void toggleBarGraph();
    void toggleInternalStatus();
    void toggleComments();
    void toggleTimeEtc();

    // Remembers the six check marks and switches to graph and comments only.
    void enterReplayView();
    // Toggles back exactly the panels the replay view changed: LED row, picture graph, bar graph,
    // readings, parameters strip, comments.
    void leaveReplayView();

    // Every click on the window background, a display panel or one of its labels closes the
    // filter/jitter entry frame.
    void hideEntryFrame();

  private:
    MonitorState& s_;
    WindowHost& host_;
};

} // namespace aurivo
