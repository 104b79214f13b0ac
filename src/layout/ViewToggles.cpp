#include "layout/ViewToggles.h"

#include "core/WindowHost.h"
#include "layout/PanelArranger.h"

namespace aurivo {

void ViewToggles::load(const PanelViews& views, int32_t panelWeightSum) {
    views_ = views;
    panelWeightSum_ = panelWeightSum;
    changed.notify();
}

// Flips one panel's check mark and weight and asks for a height-driven arrangement.
void ViewToggles::flip(bool PanelViews::*view, int weight) {
    views_.*view = !(views_.*view);
    panelWeightSum_ += views_.*view ? weight : -weight;
    arranger_.requestArrangement(LayoutState::FollowHeight);
    changed.notify();
}

void ViewToggles::togglePictureGraph() {
    // A nudge of the window height makes the following height-driven arrangement snap the window one
    // step smaller on hiding; on showing it keeps the height unless the minimum grows. The window's size
    // is whole pixels, so the nudge is one pixel: a single twip would be rounded away.
    const bool normal = host_.showState() == WindowState::Normal;
    const double nudge = host_.twipsPerPixel();
    if (views_.pictureGraph) {
        flip(&PanelViews::pictureGraph, 16);
        if (normal) host_.setWindowHeight(host_.windowGeometry().height - nudge);
    } else {
        pictureGraphShown.notify();
        flip(&PanelViews::pictureGraph, 16);
        if (normal) host_.setWindowHeight(host_.windowGeometry().height + nudge);
    }
}

void ViewToggles::toggleColorBar() {
    flip(&PanelViews::colorGraph, 2);
}
void ViewToggles::toggleBarGraph() {
    flip(&PanelViews::barGraph, 2);
}
void ViewToggles::toggleInternalStatus() {
    flip(&PanelViews::internalStatus, 3);
}
void ViewToggles::toggleComments() {
    flip(&PanelViews::sessionComments, 3);
}
// The parameters strip weighs 2 at start-up but 3 here, as the window has always done.
void ViewToggles::toggleTimeEtc() {
    flip(&PanelViews::timeEtc, 3);
}

void ViewToggles::rememberPreReplaySize(int32_t windowHeight, int32_t windowWidth) {
    preReplayHeight_ = windowHeight;
    preReplayWidth_ = windowWidth;
}

void ViewToggles::enterReplayView() {
    preReplay_ = views_;
    if (preReplay_.colorGraph) toggleColorBar();
    if (!preReplay_.pictureGraph) togglePictureGraph();
    if (preReplay_.barGraph) toggleBarGraph();
    if (preReplay_.internalStatus) toggleInternalStatus();
    if (!preReplay_.sessionComments) toggleComments();
    if (preReplay_.timeEtc) toggleTimeEtc();
}

void ViewToggles::leaveReplayView() {
    if (preReplay_.colorGraph) toggleColorBar();
    if (!preReplay_.pictureGraph) togglePictureGraph();
    if (preReplay_.barGraph) toggleBarGraph();
    if (preReplay_.internalStatus) toggleInternalStatus();
    if (preReplay_.timeEtc) toggleTimeEtc();
    if (!preReplay_.sessionComments) toggleComments();
}

} // namespace aurivo
