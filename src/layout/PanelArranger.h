#pragma once
// The layout of the main window: where the window and its six stacked panels go and where every label
// of a panel sits, in twips, with the panel font. arrangePanels sizes and places the window for the
// screen and the shown panels and lays the panels out, by applying the layout plan; the tick runs it
// while an arrangement is pending and watches the window's size in between. The arranger owns the
// geometry; the window shows it.

#include "core/ChangeSignal.h"
#include "core/ControlModels.h"
#include "core/PanelViews.h"
#include "layout/LayoutState.h"

#include <QSize>
#include <array>
#include <cstdint>
#include <optional>

namespace aurivo {

class WindowHost;
class MessageBoxes;
struct LayoutInput;
struct PanelPlan;
struct WindowPlan;
struct WindowSizing;

// Where everything of the main window sits.
struct LayoutGeometry {
    // frmPixGraf, frameLEDdisp, frameBarGraf, frameSesshnStuff, fraSeshnComnts, FrameParams.
    std::array<FrameModel, 6> frames;
    TwipsRect graph; // pixXYgraf inside its frame
    std::array<ControlGeometry, 10> axisLabels;
    std::array<TwipsRect, 8> lamps;
    std::array<TwipsRect, 32> bar;
    std::array<ControlGeometry, 10> readings;
    ControlGeometry comments;
    std::array<ControlGeometry, 7> params;
};

class PanelArranger {
  public:
    // What an arrangement did, for the parts that follow it.
    struct Outcome {
        bool laidOut = false;               // the panels were laid out (hides the scan notice)
        std::optional<QSize> picturePixels; // the graph picture's new size in pixels
        bool redrawGraph = false;           // the graph was laid out: it rebuilds at the next reading
    };

    PanelArranger(WindowHost& host, MessageBoxes& boxes);

    const LayoutGeometry& geometry() const { return geometry_; }
    // What the next arrangement must do: 0 nothing, 1 first placement, 2 height-driven, 3 width-driven.
    LayoutState layoutState() const { return layoutState_; }
    bool pending() const { return pending_; }

    // The window geometry read from the settings file.
    void rememberGeometry(int32_t width, int32_t height, int32_t left, int32_t top);
    // An arrangement of the given kind is due (start-up asks for the first one, a view toggle for a
    // height-driven one).
    void requestArrangement(LayoutState layoutState);
    // The tick's size watch: once the first arrangement has placed the window, a size that differs from
    // the remembered one makes a height- or width-driven arrangement due, whichever changed more.
    void watchSize();
    // Runs the arrangement when one is due.
    Outcome arrangeIfPending(const PanelViews& views, int32_t panelWeightSum);
    Outcome arrangePanels(const PanelViews& views, int32_t panelWeightSum);
    // The replay shows its comments at 8 points until the next arrangement.
    void setCommentFontSize(double size);

    ChangeSignal changed;

  private:
    // What the layout plan works from: the screen, the window as it is, the remembered geometry.
    LayoutInput layoutInput(const PanelViews& views, int32_t panelWeightSum) const;
    // The layout state and the remembered window geometry as the plan left them.
    void takeWindowFields(const WindowPlan& plan);
    // Puts the window at the plan's first placement and plans again from the geometry it took.
    WindowPlan placeWindowFirstTime(const WindowPlan& plan, const PanelViews& views, int32_t panelWeightSum);
    // Gives a normal window the planned size, keeps it on screen and remembers the size it took.
    void sizeWindow(const WindowSizing& sizing);
    // Lays the panels out in the window as it now is.
    Outcome layOutPanels(const PanelViews& views, int32_t panelWeightSum);
    void takeFrames(const PanelPlan& p);
    // The graph and its scale labels; returns the graph picture's size in pixels.
    QSize takeGraph(const PanelPlan& p);
    // The lamps, bars, readings, comment box and parameter labels of the frames that show.
    void takeLabels(const PanelPlan& p);

    WindowHost& host_;
    MessageBoxes& boxes_;
    LayoutGeometry geometry_;
    LayoutState layoutState_ = LayoutState::Idle;
    bool pending_ = false;
    int32_t windowWidth_ = 0, windowHeight_ = 0, windowLeft_ = 0, windowTop_ = 0;
};

} // namespace aurivo
