#include "ui/ViewToggles.h"

#include "app/MonitorState.h"
#include "app/WindowHost.h"

namespace {
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

// Flips one panel's check mark, visibility text and weight; returns whether it is now shown.
bool Flip(MonitorState& s, MenuItemModel& item, QString& field, int weight) {
    item.checked = !item.checked;
    field = item.checked ? kTrue : kFalse;
    s.PanelWeightSum += item.checked ? weight : -weight;
    s.LayoutState = 2;
    s.LayoutPending = true;
    return item.checked;
}
} // namespace

ViewToggles::ViewToggles(MonitorState& state, WindowHost& host) : s_(state), host_(host) {}

void ViewToggles::mnuPixGraf_Click() {
    // A nudge of the window height makes the following height-driven arrangement snap the window one
    // step smaller on hiding; on showing it keeps the height unless the minimum grows. The window's size
    // is whole pixels, so the nudge is one pixel: a single twip would be rounded away.
    const bool normal = host_.State() == WindowHost::WindowState::Normal;
    const double nudge = host_.TwipsPerPixel();
    if (s_.mnuPixGraf.checked) {
        Flip(s_, s_.mnuPixGraf, s_.PictureGraphVisible, 16);
        if (normal) host_.SetWindowHeight(host_.WindowGeometry().height - nudge);
    } else {
        s_.RedrawRequested = true;
        Flip(s_, s_.mnuPixGraf, s_.PictureGraphVisible, 16);
        if (normal) host_.SetWindowHeight(host_.WindowGeometry().height + nudge);
    }
}

void ViewToggles::mnuBarGrf_Click() { Flip(s_, s_.mnuBarGrf, s_.ColorGraphVisible, 2); }
void ViewToggles::mnuSmlGraf_Click() { Flip(s_, s_.mnuSmlGraf, s_.BarGraphVisible, 2); }
void ViewToggles::mnuInternStatus_Click() { Flip(s_, s_.mnuInternStatus, s_.InternalStatusVisible, 3); }
void ViewToggles::mnuComments_Click() { Flip(s_, s_.mnuComments, s_.SessionCommentsVisible, 3); }
// The parameters strip weighs 2 at start-up but 3 here, as the window has always done.
void ViewToggles::mnuTimnStuf_Click() { Flip(s_, s_.mnuTimnStuf, s_.TimeEtcVisible, 3); }

void ViewToggles::EnterReplayView() {
    s_.PreReplayBarGrf = s_.mnuBarGrf.checked;
    if (s_.PreReplayBarGrf) mnuBarGrf_Click();
    s_.PreReplayPixGraf = s_.mnuPixGraf.checked;
    if (!s_.PreReplayPixGraf) mnuPixGraf_Click();
    s_.PreReplaySmlGraf = s_.mnuSmlGraf.checked;
    if (s_.PreReplaySmlGraf) mnuSmlGraf_Click();
    s_.PreReplayInternStatus = s_.mnuInternStatus.checked;
    if (s_.PreReplayInternStatus) mnuInternStatus_Click();
    s_.PreReplayComments = s_.mnuComments.checked;
    if (!s_.PreReplayComments) mnuComments_Click();
    s_.PreReplayTimnStuf = s_.mnuTimnStuf.checked;
    if (s_.PreReplayTimnStuf) mnuTimnStuf_Click();
}

void ViewToggles::LeaveReplayView() {
    if (s_.PreReplayBarGrf) mnuBarGrf_Click();
    if (!s_.PreReplayPixGraf) mnuPixGraf_Click();
    if (s_.PreReplaySmlGraf) mnuSmlGraf_Click();
    if (s_.PreReplayInternStatus) mnuInternStatus_Click();
    if (s_.PreReplayTimnStuf) mnuTimnStuf_Click();
    if (!s_.PreReplayComments) mnuComments_Click();
}

void ViewToggles::HideEntryFrame() { s_.fraSetStuff.visible = false; }
