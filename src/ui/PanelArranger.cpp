#include "ui/PanelArranger.h"

#include "core/MessageBoxes.h"
#include "core/MonitorState.h"
#include "core/NumberRules.h"
#include "core/WindowHost.h"
#include "display/GraphCanvas.h"
#include "ui/LayoutPlan.h"

namespace aurivo {

using numbers::toLong;

namespace {

PanelVisibility visibility(const MonitorState& s) {
    return PanelVisibility{s.pictureGraphVisible,   s.colorGraphVisible,      s.barGraphVisible,
                           s.internalStatusVisible, s.sessionCommentsVisible, s.timeEtcVisible};
}

LayoutInput layoutInput(const MonitorState& s, const WindowHost& host) {
    LayoutInput in;
    in.screenWidth = host.screenWidthTwips();
    in.screenHeight = host.screenHeightTwips();
    const TwipsRect g = host.windowGeometry();
    in.width = g.width;
    in.height = g.height;
    in.left = g.left;
    in.top = g.top;
    in.state = host.showState();
    in.visibility = visibility(s);
    in.panelWeightSum = s.panelWeightSum;
    in.layoutState = s.layoutState;
    in.windowWidth = s.windowWidth;
    in.windowHeight = s.windowHeight;
    in.windowLeft = s.windowLeft;
    in.windowTop = s.windowTop;
    return in;
}

void takeFields(MonitorState& s, const WindowPlan& plan) {
    s.layoutState = plan.layoutState;
    s.windowWidth = plan.windowWidth;
    s.windowHeight = plan.windowHeight;
    s.windowLeft = plan.windowLeft;
    s.windowTop = plan.windowTop;
}

void applyFont(FontSpec& font, const PanelFont& panel, bool boldOff) {
    font.name = panel.name;
    font.size = panel.size;
    if (boldOff) font.bold = false;
}

} // namespace

PanelArranger::PanelArranger(MonitorState& state, GraphCanvas& picture, WindowHost& host, MessageBoxes& boxes)
    : s_(state), picture_(picture), host_(host), boxes_(boxes) {}

void PanelArranger::arrangePanels() {
    WindowPlan plan = LayoutPlan::planWindow(layoutInput(s_, host_));
    if (plan.outcome == LayoutOutcome::NothingToArrange) return;

    for (FrameModel* f :
         {&s_.frmPixGraf, &s_.frameLEDdisp, &s_.frameBarGraf, &s_.frameSesshnStuff, &s_.fraSeshnComnts})
        f->visible = false;
    host_.processEvents();

    if (plan.firstPlacement) {
        host_.setWindowWidth(plan.firstPlacement->width);
        host_.setWindowHeight(plan.firstPlacement->height);
        host_.setWindowLeft(plan.firstPlacement->left);
        host_.setWindowTop(plan.firstPlacement->top);
        takeFields(s_, plan);
        // The sizing continues on the size the window really took.
        plan = LayoutPlan::planWindow(layoutInput(s_, host_));
    }
    takeFields(s_, plan);

    if (plan.outcome == LayoutOutcome::Minimized) return;
    if (plan.outcome == LayoutOutcome::UnexpectedLayoutState) {
        boxes_.show(QStringLiteral("unexpected screen change"), QStringLiteral("Need to trap this error"),
                    MessageBoxes::Buttons::OkCancel, MessageBoxes::Icon::Warning);
        return;
    }
    if (plan.sizing) {
        host_.setWindowHeight(plan.sizing->height);
        host_.setWindowWidth(plan.sizing->width);
        const TwipsRect g = host_.windowGeometry();
        const WindowPosition pos = LayoutPlan::keepOnScreen(
            host_.screenWidthTwips(), host_.screenHeightTwips(), g.left, g.top, g.width, g.height);
        if (pos.top != g.top) host_.setWindowTop(pos.top);
        if (pos.left != g.left) host_.setWindowLeft(pos.left);
        // The window's size is whole pixels; remembering what it really took keeps the size watch from
        // seeing a change that never happened and re-arranging on every tick.
        const TwipsRect taken = host_.windowGeometry();
        s_.windowWidth = toLong(taken.width);
        s_.windowHeight = toLong(taken.height);
    }

    const TwipsRect window = host_.windowGeometry();
    const PanelPlan p =
        LayoutPlan::planPanels(window.width, window.height, visibility(s_), s_.panelWeightSum);

    const std::pair<FrameModel*, const FramePlan*> frames[6] = {
        {&s_.frmPixGraf, &p.frmPixGraf},         {&s_.frameLEDdisp, &p.frameLEDdisp},
        {&s_.frameBarGraf, &p.frameBarGraf},     {&s_.frameSesshnStuff, &p.frameSesshnStuff},
        {&s_.fraSeshnComnts, &p.fraSeshnComnts}, {&s_.frameParams, &p.frameParams}};
    for (const auto& [model, framePlan] : frames) {
        model->visible = framePlan->visible;
        if (framePlan->visible) model->rect = framePlan->rect;
    }

    if (p.frmPixGraf.visible) {
        s_.pixXYgrafRect = p.pixXYgraf;
        const double tpp = host_.twipsPerPixel();
        const int w = toPixels(p.pixXYgraf.width, tpp);
        const int h = toPixels(p.pixXYgraf.height, tpp);
        if (w != picture_.scaleWidth() || h != picture_.scaleHeight()) picture_.resize(w, h);
        for (int i = 0; i < 10; ++i) {
            s_.lbl4Graf[i].rect = p.lbl4Graf[i];
            applyFont(s_.lbl4Graf[i].font, p.font, false);
        }
    }
    if (p.frameLEDdisp.visible)
        for (int i = 0; i < 8; ++i)
            s_.lblLED[i].rect = p.lblLED[i];
    if (p.frameBarGraf.visible)
        for (int i = 0; i < 32; ++i)
            s_.lblBarGraf[i].rect = p.lblBarGraf[i];
    if (p.frameSesshnStuff.visible) {
        for (int i = 0; i < 8; ++i) {
            s_.lblShnStf[i].rect = p.lblShnStf[i];
            applyFont(s_.lblShnStf[i].font, p.font, true);
        }
    }
    if (p.fraSeshnComnts.visible) {
        s_.txtSeshnComnts.rect.width = p.txtSeshnComntsWidth;
        s_.txtSeshnComnts.rect.height = p.txtSeshnComntsHeight;
        applyFont(s_.txtSeshnComnts.font, p.font, false);
    }
    if (p.frameParams.visible) {
        for (int i = 0; i < 7; ++i) {
            s_.lblParams[i].rect = p.lblParams[i];
            s_.lblParams[i].visible = p.lblParamsVisible[i];
            applyFont(s_.lblParams[i].font, p.font, true);
        }
    } else {
        s_.lblParams[6].visible = false;
    }
    if (p.redrawRequested) s_.redrawRequested = true;
}

} // namespace aurivo
