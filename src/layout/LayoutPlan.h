#pragma once
// The arithmetic of the panel arrangement without any widget: how big the main window should be and where it
// goes for the screen and the visible panels, and where each of the six stacked panels and their labels
// go inside it. Everything is in twips. The window applies the plan; the plan never touches a window.
//
// Use in two phases, because the real window may not take a geometry exactly as asked:
//   1. planWindow(input): what to do to the window (early return, first placement, sizing, position).
//      Apply firstPlacement (width, height, left, top), then sizing (height, then width), then
//      position (top, then left).
//   2. planPanels(actual window width, actual window height, ...): the panel rectangles.
// planWindow assumes the window takes every geometry it is given. If the window adjusts the first
// placement, call planWindow again with the returned layoutState (FollowHeight) and the window's actual
// geometry: that repeats the sizing on the real size, exactly as a single arrangement would have.
// keepOnScreen can likewise be re-run on the window's actual size after the sizing.

#include "core/PanelViews.h"
#include "core/WindowHost.h"
#include "layout/LayoutState.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace aurivo {

struct LayoutInput {
    double screenWidth = 0;
    double screenHeight = 0;
    // The window's current outer geometry.
    double width = 0;
    double height = 0;
    double left = 0;
    double top = 0;
    WindowState state = WindowState::Normal;
    PanelViews views;
    int32_t panelWeightSum = 0;
    LayoutState layoutState = LayoutState::Idle;
    // The remembered geometry (loaded from the settings file before the first arrangement).
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    int32_t windowLeft = 0;
    int32_t windowTop = 0;
};

enum class LayoutOutcome {
    NothingToArrange,      // LayoutState::Idle: nothing happens at all
    Minimized,             // the five main frames stay hidden; the next size change re-arranges
    UnexpectedLayoutState, // the caller shows "unexpected screen change"; the five frames stay hidden
    ArrangePanels,         // go on with planPanels
};

struct WindowSizing {
    double height = 0; // applied first
    double width = 0;
};

struct WindowPosition {
    double top = 0; // applied first
    double left = 0;
};

struct WindowPlan {
    LayoutOutcome outcome = LayoutOutcome::NothingToArrange;
    // Hide frmPixGraf, frameLEDdisp, frameBarGraf, frameSesshnStuff, fraSeshnComnts (in that order) and
    // let pending window events run once. True for every outcome but NothingToArrange.
    bool hideFrames = false;
    LayoutState layoutState = LayoutState::Idle;
    int32_t windowWidth = 0;
    int32_t windowHeight = 0;
    int32_t windowLeft = 0;
    int32_t windowTop = 0;
    // The saved geometry for the first arrangement (FirstPlacement): width, height, left, top.
    std::optional<TwipsRect> firstPlacement;
    // The size of a normal window, then its position kept on screen.
    std::optional<WindowSizing> sizing;
    std::optional<WindowPosition> position;
    // Where the window ends up if it takes every step exactly.
    TwipsRect window;
};

struct PanelFont {
    QString name;
    int size = 0;
    bool operator==(const PanelFont&) const = default;
};

struct FramePlan {
    bool visible = false;
    TwipsRect rect;
};

// Panel and label geometry. Rectangles of a hidden frame's children are left at zero. Labels of the
// graph scales, readings, comments and parameters take the panel font; the readings and parameters labels
// also have bold turned off, the others keep their design boldness.
struct PanelPlan {
    double usableHeight = 0;
    PanelFont font;

    // The six stacked panels: the picture graph (frmPixGraf), the lamps (frameLEDdisp), the bar
    // (frameBarGraf), the readings (frameSesshnStuff), the comments (fraSeshnComnts) and the parameters
    // strip (FrameParams).
    FramePlan graphFrame;
    FramePlan lampFrame;
    FramePlan barFrame;
    FramePlan readingsFrame;
    FramePlan commentsFrame;
    FramePlan parameterFrame;

    TwipsRect graph;                          // the picture (pixXYgraf)
    std::array<TwipsRect, 10> axisLabels{};   // lbl4Graf
    std::array<TwipsRect, 8> lamps{};         // lblLED
    std::array<TwipsRect, 32> barSegments{};  // lblBarGraf
    std::array<TwipsRect, 8> readingLabels{}; // LblShnStf
    // The comment box (TxtSeshnComnts) keeps its design left and top.
    double commentBoxHeight = 0;
    double commentBoxWidth = 0;
    std::array<TwipsRect, 7> parameterLabels{}; // LblParams
    // Parameter labels 0..5 are shown; label 6, the port-scan notice, stays hidden.
    std::array<bool, 7> parameterLabelsVisible{};

    // Set when the picture graph was laid out: the graph rebuilds its drawing at the next reading.
    bool redrawRequested = false;
};

class LayoutPlan {
  public:
    static constexpr double kTitleAndMenuTwips = 600; // window height not available to the panels

    static WindowPlan planWindow(const LayoutInput& in);

    // Pulls a window that runs over the right or bottom edge back to end 5 % of the screen before that
    // edge, then puts one beyond the left or top edge at 0.
    static WindowPosition keepOnScreen(double screenWidth, double screenHeight, double left, double top,
                                       double width, double height);

    // The panel font for a font basis B (0.03 x window width): "IBMPC" at floor(B / 30) below 250,
    // else "Arial" at floor(B / 25) - 2.
    static PanelFont chooseFont(double fontBasis);

    static PanelPlan planPanels(double windowWidth, double windowHeight, const PanelViews& views,
                                int32_t panelWeightSum);
};

} // namespace aurivo
