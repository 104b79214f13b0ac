#include "ui/ViewToggles.h"

#include "core/MonitorState.h"
#include "core/WindowHost.h"

namespace aurivo {

namespace {
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

// Flips one panel's check mark, visibility text and weight; returns whether it is now shown.
bool flip(MonitorState& s, MenuItemModel& item, QString& field, int weight) {
    item.checked = !item.checked;
    field = item.checked ? kTrue : kFalse;
    s.panelWeightSum += item.checked ? weight : -weight;
    s.layoutState = 2;
    s.layoutPending = true;
    return item.checked;
}
} // namespace

ViewToggles::ViewToggles(MonitorState& state, WindowHost& host) : s_(state), host_(host) {}

void ViewToggles::togglePictureGraph() {
    // The one-twip nudge of the window height makes the following height-driven arrangement snap the
    // window one step smaller on hiding; on showing it keeps the height unless the minimum grows.
    const bool normal = host_.showState() == WindowState::Normal;
    if (s_.mnuPixGraf.checked) {
        flip(s_, s_.mnuPixGraf, s_.pictureGraphVisible, 16);
        if (normal) host_.setWindowHeight(host_.windowGeometry().height - 1);
    } else {
        s_.redrawRequested = true;
        flip(s_, s_.mnuPixGraf, s_.pictureGraphVisible, 16);
        if (normal) host_.setWindowHeight(host_.windowGeometry().height + 1);
    }
}

void ViewToggles::toggleColorBar() {
    flip(s_, s_.mnuBarGrf, s_.colorGraphVisible, 2);
}
void ViewToggles::toggleBarGraph() {
    flip(s_, s_.mnuSmlGraf, s_.barGraphVisible, 2);
}
void ViewToggles::toggleInternalStatus() {
    flip(s_, s_.mnuInternStatus, s_.internalStatusVisible, 3);
}
void ViewToggles::toggleComments() {
    flip(s_, s_.mnuComments, s_.sessionCommentsVisible, 3);
}
// The parameters strip weighs 2 at start-up but 3 here, as the window has always done.
void ViewToggles::toggleTimeEtc() {
    flip(s_, s_.mnuTimnStuf, s_.timeEtcVisible, 3);
}

void ViewToggles::enterReplayView() {
    s_.preReplayBarGrf = s_.mnuBarGrf.checked;
    if (s_.preReplayBarGrf) toggleColorBar();
    s_.preReplayPixGraf = s_.mnuPixGraf.checked;
    if (!s_.preReplayPixGraf) togglePictureGraph();
    s_.preReplaySmlGraf = s_.mnuSmlGraf.checked;
    if (s_.preReplaySmlGraf) toggleBarGraph();
    s_.preReplayInternStatus = s_.mnuInternStatus.checked;
    if (s_.preReplayInternStatus) toggleInternalStatus();
    s_.preReplayComments = s_.mnuComments.checked;
    if (!s_.preReplayComments) toggleComments();
    s_.preReplayTimnStuf = s_.mnuTimnStuf.checked;
    if (s_.preReplayTimnStuf) toggleTimeEtc();
}

void ViewToggles::leaveReplayView() {
    if (s_.preReplayBarGrf) toggleColorBar();
    if (!s_.preReplayPixGraf) togglePictureGraph();
    if (s_.preReplaySmlGraf) toggleBarGraph();
    if (s_.preReplayInternStatus) toggleInternalStatus();
    if (s_.preReplayTimnStuf) toggleTimeEtc();
    if (!s_.preReplayComments) toggleComments();
}

void ViewToggles::hideEntryFrame() {
    s_.fraSetStuff.visible = false;
}

} // namespace aurivo
