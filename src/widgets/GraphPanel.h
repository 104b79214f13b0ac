#pragma once
// The picture graph panel frmPixGraf: the graph view pixXYgraf, its ten axis captions, the notice over
// the graph, the legend of a replay and the prompt that names a new marker. It follows the graph's
// picture and captions, the markers, the arrangement and the replay view, and tells a screen reader
// what the graph shows at a slower pace than the other live values.

#include "layout/LiveThrottle.h"
#include "widgets/PanelFrame.h"

#include <array>

namespace aurivo {

class GraphView;
class LegendOverlay;
class MarkerPrompt;

class GraphPanel : public PanelFrame {
    Q_OBJECT
  public:
    GraphPanel(PanelContext& context, QWidget* parent);

    GraphView* view() const { return view_; }
    // Sets a marker now and opens its prompt beside its line (Session > "Add marker", F9, M on the graph).
    void addMarker();
    // Closes the marker prompt keeping what was typed (the session is about to stop or restart).
    void commitMarkerName();

    // The graph's description is what a screen reader repeats while the graph has the focus: it follows
    // the other live values at most every kDescriptionPaceMs, or at once when the user asks (R).
    static constexpr int64_t kDescriptionPaceMs = 10000;
    void tellLive();
    // Asked every tick: sets a description held back until now.
    void tick();
    // The next change of the description is told at once.
    void restartPace() { pace_ = LiveThrottle(kDescriptionPaceMs); }

  private:
    void buildGraph();
    void showReplay();
    void showLayout();
    void showLabels();
    void placeNotice();
    void showLegend();
    // The graph's description: the readings now, then what the graph shows.
    QString description() const;

    GraphView* view_ = nullptr;
    std::array<ModelLabel*, 10> axisLabels_{};
    ModelLabel* notice_ = nullptr;
    MarkerPrompt* markerPrompt_ = nullptr;
    LegendOverlay* legend_ = nullptr;
    LiveThrottle pace_{kDescriptionPaceMs};
};

} // namespace aurivo
