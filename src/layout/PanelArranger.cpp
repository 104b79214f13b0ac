#include "layout/PanelArranger.h"

#include "core/MessageBoxes.h"
#include "core/NumberRules.h"
#include "core/WindowHost.h"
#include "layout/LayoutPlan.h"

#include <QSize>
#include <cmath>

namespace aurivo {

using numbers::toLong;

namespace {

void applyFont(FontSpec& font, const PanelFont& panel, bool boldOff) {
    font.name = panel.name;
    font.size = panel.size;
    if (boldOff) font.bold = false;
}

} // namespace

PanelArranger::PanelArranger(WindowHost& host, MessageBoxes& boxes) : host_(host), boxes_(boxes) {
    const FontSpec design{QStringLiteral("Lucida Sans Unicode"), 7.5, true};
    for (auto& label : geometry_.readings)
        label.font = design;
    for (auto& label : geometry_.params)
        label.font = design;
    geometry_.comments = ControlGeometry{TwipsRect{120, 120, 0, 0}, design}; // the arrangement sizes it
}

void PanelArranger::rememberGeometry(int32_t width, int32_t height, int32_t left, int32_t top) {
    windowWidth_ = width;
    windowHeight_ = height;
    windowLeft_ = left;
    windowTop_ = top;
}

void PanelArranger::requestArrangement(LayoutState layoutState) {
    layoutState_ = layoutState;
    pending_ = true;
}

void PanelArranger::watchSize() {
    // The watch starts once the first arrangement has placed the window: while start-up is still
    // running (its port chooser yields to ticks) the design size must not replace the saved geometry.
    if (layoutState_ == LayoutState::FirstPlacement || layoutState_ == LayoutState::Idle ||
        host_.showState() == WindowState::Minimized)
        return;
    const TwipsRect g = host_.windowGeometry();
    if (g.width != windowWidth_ || g.height != windowHeight_) {
        layoutState_ = std::abs(g.height - windowHeight_) < std::abs(g.width - windowWidth_)
                           ? LayoutState::FollowWidth
                           : LayoutState::FollowHeight;
        pending_ = true;
    }
}

PanelArranger::Outcome PanelArranger::arrangeIfPending(const PanelViews& views, int32_t panelWeightSum) {
    if (!pending_) return Outcome{};
    const Outcome outcome = arrangePanels(views, panelWeightSum);
    pending_ = false;
    return outcome;
}

void PanelArranger::setCommentFontSize(double size) {
    geometry_.comments.font.size = size;
    changed.notify();
}

PanelArranger::Outcome PanelArranger::arrangePanels(const PanelViews& views, int32_t panelWeightSum) {
    WindowPlan plan = LayoutPlan::planWindow(layoutInput(views, panelWeightSum));
    if (plan.outcome == LayoutOutcome::NothingToArrange) return Outcome{};

    for (int i = 0; i < 5; ++i)
        geometry_.frames[size_t(i)].visible = false;
    // The window shows the outcome once the arrangement is over, whichever way it ends.
    struct Notify {
        ChangeSignal& changed;
        ~Notify() { changed.notify(); }
    } notify{changed};
    host_.processEvents();

    if (plan.firstPlacement) plan = placeWindowFirstTime(plan, views, panelWeightSum);
    takeWindowFields(plan);

    if (plan.outcome == LayoutOutcome::Minimized) return Outcome{};
    if (plan.outcome == LayoutOutcome::UnexpectedLayoutState) {
        boxes_.show(QStringLiteral("unexpected screen change"), QStringLiteral("Need to trap this error"),
                    MessageBoxes::Buttons::OkCancel, MessageBoxes::Icon::Warning);
        return Outcome{};
    }
    if (plan.sizing) sizeWindow(*plan.sizing);
    return layOutPanels(views, panelWeightSum);
}

LayoutInput PanelArranger::layoutInput(const PanelViews& views, int32_t panelWeightSum) const {
    LayoutInput in;
    in.screenWidth = host_.screenWidthTwips();
    in.screenHeight = host_.screenHeightTwips();
    const TwipsRect g = host_.windowGeometry();
    in.width = g.width;
    in.height = g.height;
    in.left = g.left;
    in.top = g.top;
    in.state = host_.showState();
    in.views = views;
    in.panelWeightSum = panelWeightSum;
    in.layoutState = layoutState_;
    in.windowWidth = windowWidth_;
    in.windowHeight = windowHeight_;
    in.windowLeft = windowLeft_;
    in.windowTop = windowTop_;
    return in;
}

void PanelArranger::takeWindowFields(const WindowPlan& plan) {
    layoutState_ = plan.layoutState;
    windowWidth_ = plan.windowWidth;
    windowHeight_ = plan.windowHeight;
    windowLeft_ = plan.windowLeft;
    windowTop_ = plan.windowTop;
}

WindowPlan PanelArranger::placeWindowFirstTime(const WindowPlan& plan, const PanelViews& views,
                                               int32_t panelWeightSum) {
    host_.setWindowWidth(plan.firstPlacement->width);
    host_.setWindowHeight(plan.firstPlacement->height);
    host_.setWindowLeft(plan.firstPlacement->left);
    host_.setWindowTop(plan.firstPlacement->top);
    takeWindowFields(plan);
    // The sizing continues on the size the window really took.
    return LayoutPlan::planWindow(layoutInput(views, panelWeightSum));
}

void PanelArranger::sizeWindow(const WindowSizing& sizing) {
    host_.setWindowHeight(sizing.height);
    host_.setWindowWidth(sizing.width);
    const TwipsRect g = host_.windowGeometry();
    const WindowPosition pos = LayoutPlan::keepOnScreen(host_.screenWidthTwips(), host_.screenHeightTwips(),
                                                        g.left, g.top, g.width, g.height);
    if (pos.top != g.top) host_.setWindowTop(pos.top);
    if (pos.left != g.left) host_.setWindowLeft(pos.left);
    // The window's size is whole pixels; remembering what it really took keeps the size watch from
    // seeing a change that never happened and re-arranging on every tick.
    const TwipsRect taken = host_.windowGeometry();
    windowWidth_ = toLong(taken.width);
    windowHeight_ = toLong(taken.height);
}

PanelArranger::Outcome PanelArranger::layOutPanels(const PanelViews& views, int32_t panelWeightSum) {
    const TwipsRect window = host_.windowGeometry();
    const PanelPlan p = LayoutPlan::planPanels(window.width, window.height, views, panelWeightSum);
    Outcome outcome;
    takeFrames(p);
    if (p.graphFrame.visible) outcome.picturePixels = takeGraph(p);
    takeLabels(p);
    outcome.laidOut = true;
    outcome.redrawGraph = p.redrawRequested;
    return outcome;
}

void PanelArranger::takeFrames(const PanelPlan& p) {
    const FramePlan* frames[6] = {&p.graphFrame,    &p.lampFrame,     &p.barFrame,
                                  &p.readingsFrame, &p.commentsFrame, &p.parameterFrame};
    for (int i = 0; i < 6; ++i) {
        FrameModel& model = geometry_.frames[size_t(i)];
        model.visible = frames[i]->visible;
        if (frames[i]->visible) model.rect = frames[i]->rect;
    }
}

QSize PanelArranger::takeGraph(const PanelPlan& p) {
    geometry_.graph = p.graph;
    const double tpp = host_.twipsPerPixel();
    const QSize picturePixels(toPixels(p.graph.width, tpp), toPixels(p.graph.height, tpp));
    for (int i = 0; i < 10; ++i) {
        geometry_.axisLabels[i].rect = p.axisLabels[i];
        applyFont(geometry_.axisLabels[i].font, p.font, false);
    }
    return picturePixels;
}

void PanelArranger::takeLabels(const PanelPlan& p) {
    LayoutGeometry& s = geometry_;
    if (p.lampFrame.visible)
        for (int i = 0; i < 8; ++i)
            s.lamps[i] = p.lamps[i];
    if (p.barFrame.visible)
        for (int i = 0; i < 32; ++i)
            s.bar[i] = p.barSegments[i];
    if (p.readingsFrame.visible) {
        for (int i = 0; i < 8; ++i) {
            s.readings[i].rect = p.readingLabels[i];
            applyFont(s.readings[i].font, p.font, true);
        }
    }
    if (p.commentsFrame.visible) {
        s.comments.rect.width = p.commentBoxWidth;
        s.comments.rect.height = p.commentBoxHeight;
        applyFont(s.comments.font, p.font, false);
    }
    if (p.parameterFrame.visible) {
        for (int i = 0; i < 7; ++i) {
            s.params[i].rect = p.parameterLabels[i];
            applyFont(s.params[i].font, p.font, true);
        }
    }
}

} // namespace aurivo
