#include "ui/PanelArranger.h"

#include "app/MessageBoxes.h"
#include "app/MonitorState.h"
#include "app/NumberRules.h"
#include "app/WindowHost.h"
#include "ui/LayoutPlan.h"

#include <cmath>

using NumberRules::ToLong;

namespace {

TwipsRect ToRect(const TwipRect& r) { return TwipsRect{r.Left, r.Top, r.Width, r.Height}; }

WindowShowState ShowState(WindowHost::WindowState s) {
    switch (s) {
    case WindowHost::WindowState::Minimized: return WindowShowState::Minimized;
    case WindowHost::WindowState::Maximized: return WindowShowState::Maximized;
    default: return WindowShowState::Normal;
    }
}

PanelVisibility Visibility(const MonitorState& s) {
    return PanelVisibility{s.PictureGraphVisible,   s.ColorGraphVisible,      s.BarGraphVisible,
                           s.InternalStatusVisible, s.SessionCommentsVisible, s.TimeEtcVisible};
}

LayoutInput Input(const MonitorState& s, const WindowHost& host) {
    LayoutInput in;
    in.ScreenWidth = host.ScreenWidthTwips();
    in.ScreenHeight = host.ScreenHeightTwips();
    const TwipsRect g = host.WindowGeometry();
    in.Width = g.width;
    in.Height = g.height;
    in.Left = g.left;
    in.Top = g.top;
    in.State = ShowState(host.State());
    in.Visibility = Visibility(s);
    in.PanelWeightSum = s.PanelWeightSum;
    in.LayoutState = s.LayoutState;
    in.WindowWidth = s.WindowWidth;
    in.WindowHeight = s.WindowHeight;
    in.WindowLeft = s.WindowLeft;
    in.WindowTop = s.WindowTop;
    return in;
}

void TakeFields(MonitorState& s, const WindowPlan& plan) {
    s.LayoutState = plan.LayoutState;
    s.WindowWidth = plan.WindowWidth;
    s.WindowHeight = plan.WindowHeight;
    s.WindowLeft = plan.WindowLeft;
    s.WindowTop = plan.WindowTop;
}

void ApplyFont(FontSpec& font, const PanelFont& panel, bool boldOff) {
    font.name = panel.Name;
    font.size = panel.Size;
    if (boldOff) font.bold = false;
}

} // namespace

PanelArranger::PanelArranger(MonitorState& state, WindowHost& host, MessageBoxes& boxes)
    : s_(state), host_(host), boxes_(boxes) {}

void PanelArranger::ArrangePanels() {
    WindowPlan plan = LayoutPlan::PlanWindow(Input(s_, host_));
    if (plan.Outcome == LayoutOutcome::NothingToArrange) return;

    for (FrameModel* f : {&s_.frmPixGraf, &s_.frameLEDdisp, &s_.frameBarGraf, &s_.frameSesshnStuff, &s_.fraSeshnComnts})
        f->visible = false;
    host_.ProcessEvents();

    if (plan.FirstPlacement) {
        host_.SetWindowWidth(plan.FirstPlacement->Width);
        host_.SetWindowHeight(plan.FirstPlacement->Height);
        host_.SetWindowLeft(plan.FirstPlacement->Left);
        host_.SetWindowTop(plan.FirstPlacement->Top);
        TakeFields(s_, plan);
        // The sizing continues on the size the window really took.
        plan = LayoutPlan::PlanWindow(Input(s_, host_));
    }
    TakeFields(s_, plan);

    if (plan.Outcome == LayoutOutcome::Minimized) return;
    if (plan.Outcome == LayoutOutcome::UnexpectedLayoutState) {
        boxes_.Show(QStringLiteral("unexpected screen change"), QStringLiteral("Need to trap this error"),
                    MessageBoxes::Buttons::OkCancel, MessageBoxes::Icon::Warning);
        return;
    }
    if (plan.Sizing) {
        host_.SetWindowHeight(plan.Sizing->Height);
        host_.SetWindowWidth(plan.Sizing->Width);
        const TwipsRect g = host_.WindowGeometry();
        const WindowPosition pos = LayoutPlan::KeepOnScreen(host_.ScreenWidthTwips(), host_.ScreenHeightTwips(),
                                                            g.left, g.top, g.width, g.height);
        if (pos.Top != g.top) host_.SetWindowTop(pos.Top);
        if (pos.Left != g.left) host_.SetWindowLeft(pos.Left);
        // The window's size is whole pixels; remembering what it really took keeps the size watch from
        // seeing a change that never happened and re-arranging on every tick.
        const TwipsRect taken = host_.WindowGeometry();
        s_.WindowWidth = ToLong(taken.width);
        s_.WindowHeight = ToLong(taken.height);
    }

    const TwipsRect window = host_.WindowGeometry();
    const PanelPlan p = LayoutPlan::PlanPanels(window.width, window.height, Visibility(s_), s_.PanelWeightSum);

    const std::pair<FrameModel*, const FramePlan*> frames[6] = {
        {&s_.frmPixGraf, &p.frmPixGraf},         {&s_.frameLEDdisp, &p.frameLEDdisp},
        {&s_.frameBarGraf, &p.frameBarGraf},     {&s_.frameSesshnStuff, &p.frameSesshnStuff},
        {&s_.fraSeshnComnts, &p.fraSeshnComnts}, {&s_.FrameParams, &p.FrameParams}};
    for (const auto& [model, framePlan] : frames) {
        model->visible = framePlan->Visible;
        if (framePlan->Visible) model->rect = ToRect(framePlan->Rect);
    }

    if (p.frmPixGraf.Visible) {
        s_.pixXYgrafRect = ToRect(p.pixXYgraf);
        const double tpp = host_.TwipsPerPixel();
        const int w = int(std::lround(p.pixXYgraf.Width / tpp));
        const int h = int(std::lround(p.pixXYgraf.Height / tpp));
        if (w != s_.pixXYgraf.ScaleWidth() || h != s_.pixXYgraf.ScaleHeight()) s_.pixXYgraf.Resize(w, h);
        for (int i = 0; i < 10; ++i) {
            s_.lbl4Graf[i].rect = ToRect(p.lbl4Graf[i]);
            ApplyFont(s_.lbl4Graf[i].font, p.Font, false);
        }
    }
    if (p.frameLEDdisp.Visible)
        for (int i = 0; i < 8; ++i) s_.lblLED[i].rect = ToRect(p.lblLED[i]);
    if (p.frameBarGraf.Visible)
        for (int i = 0; i < 32; ++i) s_.lblBarGraf[i].rect = ToRect(p.lblBarGraf[i]);
    if (p.frameSesshnStuff.Visible) {
        for (int i = 0; i < 8; ++i) {
            s_.LblShnStf[i].rect = ToRect(p.LblShnStf[i]);
            ApplyFont(s_.LblShnStf[i].font, p.Font, true);
        }
    }
    if (p.fraSeshnComnts.Visible) {
        s_.TxtSeshnComnts.rect.width = p.TxtSeshnComntsWidth;
        s_.TxtSeshnComnts.rect.height = p.TxtSeshnComntsHeight;
        ApplyFont(s_.TxtSeshnComnts.font, p.Font, false);
    }
    if (p.FrameParams.Visible) {
        for (int i = 0; i < 7; ++i) {
            s_.LblParams[i].rect = ToRect(p.LblParams[i]);
            s_.LblParams[i].visible = p.LblParamsVisible[i];
            ApplyFont(s_.LblParams[i].font, p.Font, true);
        }
    } else {
        s_.LblParams[6].visible = false;
    }
    if (p.RedrawRequested) s_.RedrawRequested = true;
}
