#pragma once
// The arithmetic of ArrangePanels without any widget: how big the main window should be and where it
// goes for the screen and the visible panels, and where each of the six stacked panels and their labels
// go inside it. Everything is in twips. The window applies the plan; the plan never touches a window.
//
// Use in two phases, because the real window may not take a geometry exactly as asked:
//   1. PlanWindow(input): what to do to the window (early return, first placement, sizing, position).
//      Apply FirstPlacement (width, height, left, top), then Sizing (height, then width), then
//      Position (top, then left).
//   2. PlanPanels(actual window width, actual window height, ...): the panel rectangles.
// PlanWindow assumes the window takes every geometry it is given. If the window adjusts the first
// placement, call PlanWindow again with the returned LayoutState (2) and the window's actual geometry:
// that repeats the sizing on the real size, exactly as a single arrangement would have. KeepOnScreen can
// likewise be re-run on the window's actual size after Sizing. ArrangePanels chains both phases.

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// Normal, minimised (1) or maximised (2), as the window reports it.
enum class WindowShowState { Normal = 0, Minimized = 1, Maximized = 2 };

struct TwipRect {
    double Left = 0;
    double Top = 0;
    double Width = 0;
    double Height = 0;
    bool operator==(const TwipRect&) const = default;
};

// The six visibility texts; a panel is shown only when its text is exactly "True".
struct PanelVisibility {
    QString PictureGraphVisible;
    QString ColorGraphVisible;
    QString BarGraphVisible;
    QString InternalStatusVisible;
    QString SessionCommentsVisible;
    QString TimeEtcVisible;
};

struct LayoutInput {
    double ScreenWidth = 0;
    double ScreenHeight = 0;
    // The window's current outer geometry.
    double Width = 0;
    double Height = 0;
    double Left = 0;
    double Top = 0;
    WindowShowState State = WindowShowState::Normal;
    PanelVisibility Visibility;
    int32_t PanelWeightSum = 0;
    int LayoutState = 0;
    // The remembered geometry (loaded from the settings file before the first arrangement).
    int32_t WindowWidth = 0;
    int32_t WindowHeight = 0;
    int32_t WindowLeft = 0;
    int32_t WindowTop = 0;
};

enum class LayoutOutcome {
    NothingToArrange,      // LayoutState 0: nothing happens at all
    Minimized,             // the five main frames stay hidden; the next size change re-arranges
    UnexpectedLayoutState, // the caller shows "unexpected screen change"; the five frames stay hidden
    ArrangePanels,         // go on with PlanPanels
};

struct WindowSizing {
    double Height = 0; // applied first
    double Width = 0;
};

struct WindowPosition {
    double Top = 0; // applied first
    double Left = 0;
};

struct WindowPlan {
    LayoutOutcome Outcome = LayoutOutcome::NothingToArrange;
    // Hide frmPixGraf, frameLEDdisp, frameBarGraf, frameSesshnStuff, fraSeshnComnts (in that order) and
    // let pending window events run once. True for every outcome but NothingToArrange.
    bool HideFrames = false;
    int LayoutState = 0;
    int32_t WindowWidth = 0;
    int32_t WindowHeight = 0;
    int32_t WindowLeft = 0;
    int32_t WindowTop = 0;
    // The saved geometry for the first arrangement (LayoutState 1): width, height, left, top.
    std::optional<TwipRect> FirstPlacement;
    // The size of a normal window, then its position kept on screen.
    std::optional<WindowSizing> Sizing;
    std::optional<WindowPosition> Position;
    // Where the window ends up if it takes every step exactly.
    TwipRect Window;
};

struct PanelFont {
    QString Name;
    int Size = 0;
    bool operator==(const PanelFont&) const = default;
};

struct FramePlan {
    bool Visible = false;
    TwipRect Rect;
};

// Panel and label geometry. Rectangles of a hidden frame's children are left at zero. Labels of the
// graph scales, readings, comments and parameters take the panel font; the readings and parameters labels
// also have bold turned off, the others keep their design boldness.
struct PanelPlan {
    double UsableHeight = 0;
    PanelFont Font;

    FramePlan frmPixGraf;
    FramePlan frameLEDdisp;
    FramePlan frameBarGraf;
    FramePlan frameSesshnStuff;
    FramePlan fraSeshnComnts;
    FramePlan FrameParams;

    TwipRect pixXYgraf;
    std::array<TwipRect, 10> lbl4Graf{};
    std::array<TwipRect, 8> lblLED{};
    std::array<TwipRect, 32> lblBarGraf{};
    std::array<TwipRect, 8> LblShnStf{};
    // The comment box keeps its design left and top.
    double TxtSeshnComntsHeight = 0;
    double TxtSeshnComntsWidth = 0;
    std::array<TwipRect, 7> LblParams{};
    // LblParams(0..5) are shown; LblParams(6), the port-scan notice, stays hidden.
    std::array<bool, 7> LblParamsVisible{};

    // Set when the picture graph was laid out: the graph rebuilds its drawing at the next reading.
    bool RedrawRequested = false;
};

struct LayoutResult {
    WindowPlan Window;
    std::optional<PanelPlan> Panels; // present when Window.Outcome is ArrangePanels
};

class LayoutPlan {
  public:
    static constexpr double kTitleAndMenuTwips = 600; // window height not available to the panels

    static WindowPlan PlanWindow(const LayoutInput& in);

    // Pulls a window that runs over the right or bottom edge back to end 5 % of the screen before that
    // edge, then puts one beyond the left or top edge at 0.
    static WindowPosition KeepOnScreen(double screenWidth, double screenHeight, double left, double top,
                                       double width, double height);

    // The panel font for a font basis B (0.03 x window width): "IBMPC" at floor(B / 30) below 250,
    // else "Arial" at floor(B / 25) - 2.
    static PanelFont ChooseFont(double fontBasis);

    static PanelPlan PlanPanels(double windowWidth, double windowHeight, const PanelVisibility& visibility,
                                int32_t PanelWeightSum);

    // Both phases, assuming the window takes every geometry exactly.
    static LayoutResult ArrangePanels(const LayoutInput& in);
};
