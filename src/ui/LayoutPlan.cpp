#include "ui/LayoutPlan.h"

#include "app/NumberRules.h"

#include <cmath>

using NumberRules::IntDiv;
using NumberRules::ToLong;

namespace {

const QString kTrue = QStringLiteral("True");

// Height of one stacked panel: its share of the usable height, held at its cap. A weight sum of 0 only
// occurs with every panel hidden; it is guarded so inconsistent input cannot divide by zero.
double PanelHeight(double factor, double usable, int32_t weightSum, double cap) {
    const double h = weightSum != 0 ? factor * usable / weightSum : 0.0;
    return (cap > 0 && h > cap) ? cap : h;
}

} // namespace

WindowPosition LayoutPlan::KeepOnScreen(double screenWidth, double screenHeight, double left, double top,
                                        double width, double height) {
    WindowPosition p{top, left};
    if (p.Top + height > screenHeight) p.Top = screenHeight - height - 0.05 * screenHeight;
    if (p.Left + width > screenWidth) p.Left = screenWidth - width - 0.05 * screenWidth;
    if (p.Top < 0) p.Top = 0;
    if (p.Left < 0) p.Left = 0;
    return p;
}

WindowPlan LayoutPlan::PlanWindow(const LayoutInput& in) {
    WindowPlan plan;
    plan.LayoutState = in.LayoutState;
    plan.WindowWidth = in.WindowWidth;
    plan.WindowHeight = in.WindowHeight;
    plan.WindowLeft = in.WindowLeft;
    plan.WindowTop = in.WindowTop;
    plan.Window = {in.Left, in.Top, in.Width, in.Height};

    const int64_t stepAcross = ToLong(in.ScreenWidth / 32);
    const int64_t stepDown = ToLong(in.ScreenHeight / 32);

    if (in.LayoutState == 0) return plan;
    plan.HideFrames = true;

    if (in.LayoutState == 1) {
        // First arrangement: the saved geometry, unless it does not fit the screen.
        if (0.95 * in.ScreenWidth < plan.WindowWidth || 0.95 * in.ScreenHeight < plan.WindowHeight ||
            in.ScreenWidth < plan.WindowLeft) {
            plan.WindowWidth = ToLong(0.75 * in.ScreenWidth);
            plan.WindowHeight = ToLong(0.75 * in.ScreenHeight);
            plan.WindowLeft = ToLong((in.ScreenWidth - plan.WindowWidth) / 2);
            plan.WindowTop = ToLong((in.ScreenHeight - plan.WindowHeight) / 2);
        }
        const TwipRect placed{double(plan.WindowLeft), double(plan.WindowTop), double(plan.WindowWidth),
                              double(plan.WindowHeight)};
        plan.FirstPlacement = placed;
        // Only a normal window can be sized and moved; the others keep their geometry.
        if (in.State == WindowShowState::Normal) plan.Window = placed;
        plan.LayoutState = 2;
    }

    if (in.State == WindowShowState::Minimized) {
        plan.Outcome = LayoutOutcome::Minimized;
        return plan;
    }

    if (in.State == WindowShowState::Maximized) {
        plan.WindowHeight = ToLong(plan.Window.Height);
        plan.WindowWidth = ToLong(plan.Window.Width);
        plan.Outcome = LayoutOutcome::ArrangePanels;
        return plan;
    }

    const int32_t minimumWidth = ToLong(in.ScreenWidth / 4);
    const int32_t minimumHeight = ToLong(in.ScreenHeight * in.PanelWeightSum / 56);
    if (plan.LayoutState == 2) {
        // Height-driven: snap the height down to a multiple of 1/32 of the screen height.
        plan.WindowHeight = ToLong(double(IntDiv(ToLong(plan.Window.Height), stepDown) * stepDown));
        plan.WindowWidth = ToLong(plan.WindowHeight * 4.0 / 3.0);
        if (in.ScreenWidth < plan.WindowWidth) plan.WindowWidth = ToLong(in.ScreenWidth);
    } else if (plan.LayoutState == 3) {
        // Width-driven: snap the width down to a multiple of 1/32 of the screen width.
        plan.WindowWidth = ToLong(double(IntDiv(ToLong(plan.Window.Width), stepAcross) * stepAcross));
        plan.WindowHeight = ToLong(plan.WindowWidth * 3.0 / 4.0);
    } else {
        plan.Outcome = LayoutOutcome::UnexpectedLayoutState;
        return plan;
    }
    if (plan.WindowHeight < minimumHeight) plan.WindowHeight = minimumHeight;
    if (plan.WindowWidth < minimumWidth) plan.WindowWidth = minimumWidth;

    plan.Sizing = WindowSizing{double(plan.WindowHeight), double(plan.WindowWidth)};
    plan.Window.Height = plan.WindowHeight;
    plan.Window.Width = plan.WindowWidth;
    plan.Position = KeepOnScreen(in.ScreenWidth, in.ScreenHeight, plan.Window.Left, plan.Window.Top,
                                 plan.Window.Width, plan.Window.Height);
    plan.Window.Top = plan.Position->Top;
    plan.Window.Left = plan.Position->Left;
    plan.Outcome = LayoutOutcome::ArrangePanels;
    return plan;
}

PanelFont LayoutPlan::ChooseFont(double basis) {
    if (basis < 250) return {QStringLiteral("IBMPC"), int(std::floor(basis / 30))};
    return {QStringLiteral("Arial"), int(std::floor(basis / 25)) - 2};
}

PanelPlan LayoutPlan::PlanPanels(double windowWidth, double windowHeight, const PanelVisibility& visibility,
                                 int32_t PanelWeightSum) {
    PanelPlan p;
    const double WW = windowWidth;
    p.UsableHeight = windowHeight - kTitleAndMenuTwips;
    p.Font = ChooseFont(WW * 0.03);

    // Every frame is as wide as 95 % of the window and starts 2 % in; the running top stacks them.
    int32_t runningTop = 0;
    const auto place = [&](FramePlan& frame, double factor, double cap) {
        frame.Visible = true;
        frame.Rect.Height = PanelHeight(factor, p.UsableHeight, PanelWeightSum, cap);
        frame.Rect.Top = runningTop;
        frame.Rect.Width = 0.95 * WW;
        frame.Rect.Left = 0.02 * WW;
    };
    const auto advance = [&](const FramePlan& frame) { runningTop = ToLong(runningTop + frame.Rect.Height); };

    if (visibility.PictureGraphVisible == kTrue) {
        place(p.frmPixGraf, 15, 0);
        advance(p.frmPixGraf);
        const double H = p.frmPixGraf.Rect.Height;
        const double W = p.frmPixGraf.Rect.Width;
        TwipRect& g = p.pixXYgraf;
        g = {W * 0.1, (H - 25) * 0.025 + 25, W * 0.88, (H - 25) * 0.9};
        const double labelHeight = (H - 25) * 0.055;
        const double labelWidth = g.Left * 0.95;
        for (int i = 0; i < 10; ++i) {
            TwipRect& label = p.lbl4Graf[i];
            label.Height = labelHeight;
            label.Width = labelWidth;
            if (i < 5) {
                // Vertical scale left of the graph: label 0 at its top edge, label 4 at its bottom edge.
                label.Top = g.Top + (g.Height - labelHeight) * i / 4 + g.Height * 0.012 * (i - 2);
                label.Left = g.Left * 0.05;
            } else {
                // Horizontal scale under the graph: label 5 at its left edge, label 9 at its right edge.
                label.Top = H - 1.3 * labelHeight;
                label.Left = g.Left + (g.Width - labelWidth) * (i - 5) / 4;
            }
        }
        p.RedrawRequested = true;
    }

    if (visibility.ColorGraphVisible == kTrue) {
        place(p.frameLEDdisp, 1.95, 1000);
        advance(p.frameLEDdisp);
        const double H = p.frameLEDdisp.Rect.Height;
        const double lampHeight = (H - 55) * 0.8;
        const double step = WW / 9;
        // Lamp 0 is the rightmost; the lamps touch each other.
        for (int i = 0; i < 8; ++i)
            p.lblLED[i] = {0.92 * WW - (i + 1) * step, lampHeight * 0.15 + 25, step, lampHeight};
    }

    if (visibility.BarGraphVisible == kTrue) {
        place(p.frameBarGraf, 1.95, 1000);
        advance(p.frameBarGraf);
        const double H = p.frameBarGraf.Rect.Height;
        const double barHeight = (H - 55) * 0.8;
        const double step = WW / 34.5;
        // Bar 0 is the leftmost.
        for (int i = 0; i < 32; ++i)
            p.lblBarGraf[i] = {0.01 * WW + i * step, barHeight * 0.15 + 25, step, barHeight};
    }

    if (visibility.InternalStatusVisible == kTrue) {
        place(p.frameSesshnStuff, 2.9, 1500);
        advance(p.frameSesshnStuff);
        const double H = p.frameSesshnStuff.Rect.Height;
        const double W = p.frameSesshnStuff.Rect.Width;
        const double cellHeight = 0.375 * H;
        const double cellWidth = 0.2 * W;
        // Two rows and four columns, filled column by column.
        for (int i = 0; i < 8; ++i) {
            const int row = i % 2;
            const int column = i / 2;
            p.LblShnStf[i] = {W / 36 + column * (W / 5 + W / 30), row * cellHeight + cellHeight / 2.25,
                              cellWidth, cellHeight};
        }
    }

    if (visibility.SessionCommentsVisible == kTrue) {
        place(p.fraSeshnComnts, 2.9, 1500);
        advance(p.fraSeshnComnts);
        p.TxtSeshnComntsHeight = 0.82 * p.fraSeshnComnts.Rect.Height;
        p.TxtSeshnComntsWidth = 0.98 * p.fraSeshnComnts.Rect.Width;
    }

    // The parameters strip is last and does not move the running top.
    if (visibility.TimeEtcVisible == kTrue) {
        place(p.FrameParams, 2.9, 1000);
        const double H = p.FrameParams.Rect.Height;
        const double W = p.FrameParams.Rect.Width;
        const double labelHeight = 0.5 * H;
        const double labelWidth = 0.12 * W;
        for (int i = 0; i < 6; ++i) {
            p.LblParams[i] = {W / 49 + i * (W / 7 + W / 49), labelHeight * 0.5, labelWidth, labelHeight};
            p.LblParamsVisible[i] = true;
        }
        // The port-scan notice covers the port-number cells.
        p.LblParams[6] = {p.LblParams[4].Left, labelHeight * 0.5, 2 * labelWidth, labelHeight};
        p.LblParamsVisible[6] = false;
    }
    return p;
}

LayoutResult LayoutPlan::ArrangePanels(const LayoutInput& in) {
    LayoutResult result;
    result.Window = PlanWindow(in);
    if (result.Window.Outcome == LayoutOutcome::ArrangePanels)
        result.Panels = PlanPanels(result.Window.Window.Width, result.Window.Window.Height, in.Visibility,
                                   in.PanelWeightSum);
    return result;
}
