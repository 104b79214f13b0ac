#include "layout/LayoutPlan.h"

#include "core/NumberRules.h"

#include <cmath>

namespace aurivo {

using numbers::intDiv;
using numbers::toLong;

namespace {

// Height of one stacked panel: its share of the usable height, held at its cap. A weight sum of 0 only
// occurs with every panel hidden; it is guarded so inconsistent input cannot divide by zero.
double panelHeight(double factor, double usable, int32_t weightSum, double cap) {
    const double h = weightSum != 0 ? factor * usable / weightSum : 0.0;
    return (cap > 0 && h > cap) ? cap : h;
}

// First arrangement: the saved geometry, unless it does not fit the screen; then three quarters of the
// screen, centred. The arrangement goes on height-driven.
void placeFirstTime(const LayoutInput& in, WindowPlan& plan) {
    if (0.95 * in.screenWidth < plan.windowWidth || 0.95 * in.screenHeight < plan.windowHeight ||
        in.screenWidth < plan.windowLeft) {
        plan.windowWidth = toLong(0.75 * in.screenWidth);
        plan.windowHeight = toLong(0.75 * in.screenHeight);
        plan.windowLeft = toLong((in.screenWidth - plan.windowWidth) / 2);
        plan.windowTop = toLong((in.screenHeight - plan.windowHeight) / 2);
    }
    const TwipsRect placed{double(plan.windowLeft), double(plan.windowTop), double(plan.windowWidth),
                           double(plan.windowHeight)};
    plan.firstPlacement = placed;
    // Only a normal window can be sized and moved; the others keep their geometry.
    if (in.state == WindowState::Normal) plan.window = placed;
    plan.layoutState = LayoutState::FollowHeight;
}

// The size of a normal window, snapped down to 1/32 of the screen on the side that drives the
// arrangement, the other side following at 4:3. False when the layout state drives neither side.
bool snapToScreenSteps(const LayoutInput& in, WindowPlan& plan) {
    const int64_t stepAcross = toLong(in.screenWidth / 32);
    const int64_t stepDown = toLong(in.screenHeight / 32);
    if (plan.layoutState == LayoutState::FollowHeight) {
        // Height-driven: snap the height down to a multiple of 1/32 of the screen height.
        plan.windowHeight = toLong(double(intDiv(toLong(plan.window.height), stepDown) * stepDown));
        plan.windowWidth = toLong(plan.windowHeight * 4.0 / 3.0);
        if (in.screenWidth < plan.windowWidth) plan.windowWidth = toLong(in.screenWidth);
        return true;
    }
    if (plan.layoutState == LayoutState::FollowWidth) {
        // Width-driven: snap the width down to a multiple of 1/32 of the screen width.
        plan.windowWidth = toLong(double(intDiv(toLong(plan.window.width), stepAcross) * stepAcross));
        plan.windowHeight = toLong(plan.windowWidth * 3.0 / 4.0);
        return true;
    }
    return false;
}

// No narrower than a quarter of the screen, no lower than the shown panels need.
void holdMinimumSize(const LayoutInput& in, WindowPlan& plan) {
    const int32_t minimumWidth = toLong(in.screenWidth / 4);
    const int32_t minimumHeight = toLong(in.screenHeight * in.panelWeightSum / 56);
    if (plan.windowHeight < minimumHeight) plan.windowHeight = minimumHeight;
    if (plan.windowWidth < minimumWidth) plan.windowWidth = minimumWidth;
}

// The window takes the planned size, then its position is kept on screen.
void keepSizedWindowOnScreen(const LayoutInput& in, WindowPlan& plan) {
    plan.sizing = WindowSizing{double(plan.windowHeight), double(plan.windowWidth)};
    plan.window.height = plan.windowHeight;
    plan.window.width = plan.windowWidth;
    plan.position = LayoutPlan::keepOnScreen(in.screenWidth, in.screenHeight, plan.window.left,
                                             plan.window.top, plan.window.width, plan.window.height);
    plan.window.top = plan.position->top;
    plan.window.left = plan.position->left;
}

} // namespace

WindowPosition LayoutPlan::keepOnScreen(double screenWidth, double screenHeight, double left, double top,
                                        double width, double height) {
    WindowPosition p{top, left};
    if (p.top + height > screenHeight) p.top = screenHeight - height - 0.05 * screenHeight;
    if (p.left + width > screenWidth) p.left = screenWidth - width - 0.05 * screenWidth;
    if (p.top < 0) p.top = 0;
    if (p.left < 0) p.left = 0;
    return p;
}

WindowPlan LayoutPlan::planWindow(const LayoutInput& in) {
    WindowPlan plan;
    plan.layoutState = in.layoutState;
    plan.windowWidth = in.windowWidth;
    plan.windowHeight = in.windowHeight;
    plan.windowLeft = in.windowLeft;
    plan.windowTop = in.windowTop;
    plan.window = {in.left, in.top, in.width, in.height};

    if (in.layoutState == LayoutState::Idle) return plan;
    plan.hideFrames = true;

    if (in.layoutState == LayoutState::FirstPlacement) placeFirstTime(in, plan);

    if (in.state == WindowState::Minimized) {
        plan.outcome = LayoutOutcome::Minimized;
        return plan;
    }

    if (in.state == WindowState::Maximized) {
        plan.windowHeight = toLong(plan.window.height);
        plan.windowWidth = toLong(plan.window.width);
        plan.outcome = LayoutOutcome::ArrangePanels;
        return plan;
    }

    if (!snapToScreenSteps(in, plan)) {
        plan.outcome = LayoutOutcome::UnexpectedLayoutState;
        return plan;
    }
    holdMinimumSize(in, plan);
    keepSizedWindowOnScreen(in, plan);
    plan.outcome = LayoutOutcome::ArrangePanels;
    return plan;
}

PanelFont LayoutPlan::chooseFont(double basis) {
    if (basis < 250) return {QStringLiteral("IBMPC"), int(std::floor(basis / 30))};
    return {QStringLiteral("Arial"), int(std::floor(basis / 25)) - 2};
}

PanelPlan LayoutPlan::planPanels(double windowWidth, double windowHeight, const PanelViews& views,
                                 int32_t panelWeightSum) {
    PanelPlan p;
    const double WW = windowWidth;
    p.usableHeight = windowHeight - kTitleAndMenuTwips;
    p.font = chooseFont(WW * 0.03);

    // Every frame is as wide as 95 % of the window and starts 2 % in; the running top stacks them.
    int32_t runningTop = 0;
    const auto place = [&](FramePlan& frame, double factor, double cap) {
        frame.visible = true;
        frame.rect.height = panelHeight(factor, p.usableHeight, panelWeightSum, cap);
        frame.rect.top = runningTop;
        frame.rect.width = 0.95 * WW;
        frame.rect.left = 0.02 * WW;
    };
    const auto advance = [&](const FramePlan& frame) { runningTop = toLong(runningTop + frame.rect.height); };

    if (views.pictureGraph) {
        place(p.graphFrame, 15, 0);
        advance(p.graphFrame);
        const double H = p.graphFrame.rect.height;
        const double W = p.graphFrame.rect.width;
        TwipsRect& g = p.graph;
        g = {W * 0.1, (H - 25) * 0.025 + 25, W * 0.88, (H - 25) * 0.9};
        const double labelHeight = (H - 25) * 0.055;
        const double labelWidth = g.left * 0.95;
        for (int i = 0; i < 10; ++i) {
            TwipsRect& label = p.axisLabels[i];
            label.height = labelHeight;
            label.width = labelWidth;
            if (i < 5) {
                // Vertical scale left of the graph: label 0 at its top edge, label 4 at its bottom edge.
                label.top = g.top + (g.height - labelHeight) * i / 4 + g.height * 0.012 * (i - 2);
                label.left = g.left * 0.05;
            } else {
                // Horizontal scale under the graph: label 5 at its left edge, label 9 at its right edge.
                label.top = H - 1.3 * labelHeight;
                label.left = g.left + (g.width - labelWidth) * (i - 5) / 4;
            }
        }
        p.redrawRequested = true;
    }

    if (views.colorGraph) {
        place(p.lampFrame, 1.95, 1000);
        advance(p.lampFrame);
        const double H = p.lampFrame.rect.height;
        const double lampHeight = (H - 55) * 0.8;
        const double step = WW / 9;
        // Lamp 0 is the rightmost; the lamps touch each other.
        for (int i = 0; i < 8; ++i)
            p.lamps[i] = {0.92 * WW - (i + 1) * step, lampHeight * 0.15 + 25, step, lampHeight};
    }

    if (views.barGraph) {
        place(p.barFrame, 1.95, 1000);
        advance(p.barFrame);
        const double H = p.barFrame.rect.height;
        const double barHeight = (H - 55) * 0.8;
        const double step = WW / 34.5;
        // Bar 0 is the leftmost.
        for (int i = 0; i < 32; ++i)
            p.barSegments[i] = {0.01 * WW + i * step, barHeight * 0.15 + 25, step, barHeight};
    }

    if (views.internalStatus) {
        place(p.readingsFrame, 2.9, 1500);
        advance(p.readingsFrame);
        const double H = p.readingsFrame.rect.height;
        const double W = p.readingsFrame.rect.width;
        const double cellHeight = 0.375 * H;
        const double cellWidth = 0.2 * W;
        // Two rows and four columns, filled column by column.
        for (int i = 0; i < 8; ++i) {
            const int row = i % 2;
            const int column = i / 2;
            p.readingLabels[i] = {W / 36 + column * (W / 5 + W / 30), row * cellHeight + cellHeight / 2.25,
                                  cellWidth, cellHeight};
        }
    }

    if (views.sessionComments) {
        place(p.commentsFrame, 2.9, 1500);
        advance(p.commentsFrame);
        p.commentBoxHeight = 0.82 * p.commentsFrame.rect.height;
        p.commentBoxWidth = 0.98 * p.commentsFrame.rect.width;
    }

    // The parameters strip is last and does not move the running top.
    if (views.timeEtc) {
        place(p.parameterFrame, 2.9, 1000);
        const double H = p.parameterFrame.rect.height;
        const double W = p.parameterFrame.rect.width;
        const double labelHeight = 0.5 * H;
        const double labelWidth = 0.12 * W;
        for (int i = 0; i < 6; ++i) {
            p.parameterLabels[i] = {W / 49 + i * (W / 7 + W / 49), labelHeight * 0.5, labelWidth,
                                    labelHeight};
            p.parameterLabelsVisible[i] = true;
        }
        // The port-scan notice covers the port-number cells.
        p.parameterLabels[6] = {p.parameterLabels[4].left, labelHeight * 0.5, 2 * labelWidth, labelHeight};
        p.parameterLabelsVisible[6] = false;
    }
    return p;
}

} // namespace aurivo
