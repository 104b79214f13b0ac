#pragma once
// The Display menu's six panel toggles and the switch into and out of the replay view. The toggles own
// which panels are shown and the sum of their height weights; a toggle records the choice and asks for
// a height-driven arrangement, which the next tick carries out.

#include "core/ChangeSignal.h"
#include "core/PanelViews.h"

#include <cstdint>

namespace aurivo {

class PanelArranger;
class WindowHost;

class ViewToggles {
  public:
    ViewToggles(PanelArranger& arranger, WindowHost& host) : arranger_(arranger), host_(host) {}

    const PanelViews& views() const { return views_; }
    // Sum of the height weights of the shown panels, 28 with all shown.
    int32_t panelWeightSum() const { return panelWeightSum_; }
    // The window size saved when a replay view began.
    int32_t preReplayHeight() const { return preReplayHeight_; }
    int32_t preReplayWidth() const { return preReplayWidth_; }

    // The views and weight sum read from the settings file.
    void load(const PanelViews& views, int32_t panelWeightSum);

    void togglePictureGraph();
    void toggleColorBar();
    void toggleBarGraph();
    void toggleInternalStatus();
    void toggleComments();
    void toggleTimeEtc();

    // The window size to go back to after a replay (kept only for a normal window).
    void rememberPreReplaySize(int32_t windowHeight, int32_t windowWidth);
    // Remembers the six check marks and switches to graph and comments only.
    void enterReplayView();
    // Toggles back exactly the panels the replay view changed: LED row, picture graph, bar graph,
    // readings, parameters strip, comments.
    void leaveReplayView();

    ChangeSignal changed;           // the views (and check marks) changed
    ChangeSignal pictureGraphShown; // the picture graph was shown again: it must be redrawn

  private:
    void flip(bool PanelViews::*view, int weight);

    PanelArranger& arranger_;
    WindowHost& host_;
    PanelViews views_ = PanelViews::all();
    int32_t panelWeightSum_ = 28;
    PanelViews preReplay_;
    int32_t preReplayHeight_ = 0, preReplayWidth_ = 0;
};

} // namespace aurivo
