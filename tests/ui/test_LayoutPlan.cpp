#include "ui/LayoutPlan.h"

#include <gtest/gtest.h>

namespace aurivo {

namespace {

PanelViews allVisible() {
    return PanelViews::all();
}
PanelViews onlyGraph() {
    return PanelViews{true, false, false, false, false, false};
}

// A normal 1024 x 768 screen at 15 twips per pixel, all panels shown, a window at (600, 600).
LayoutInput screen1024(int layoutState, double width, double height) {
    LayoutInput in;
    in.screenWidth = 15360;
    in.screenHeight = 11520;
    in.width = width;
    in.height = height;
    in.left = 600;
    in.top = 600;
    in.views = allVisible();
    in.panelWeightSum = 28;
    in.layoutState = layoutState;
    return in;
}

LayoutInput firstArrangement(int32_t w, int32_t h, int32_t left, int32_t top) {
    LayoutInput in = screen1024(1, 3000, 2000);
    in.windowWidth = w;
    in.windowHeight = h;
    in.windowLeft = left;
    in.windowTop = top;
    return in;
}

void expectRect(const TwipsRect& r, double left, double top, double width, double height) {
    EXPECT_NEAR(r.left, left, 1e-6);
    EXPECT_NEAR(r.top, top, 1e-6);
    EXPECT_NEAR(r.width, width, 1e-6);
    EXPECT_NEAR(r.height, height, 1e-6);
}

} // namespace

TEST(LayoutPanels, AllPanelsInA9000TwipWindow) {
    const PanelPlan p = LayoutPlan::planPanels(12000, 9000, allVisible(), 28);
    EXPECT_EQ(p.usableHeight, 8400);
    // Heights 4500, 585, 585, 870, 870, 870; the parameters strip sits under the comments.
    expectRect(p.frmPixGraf.rect, 240, 0, 11400, 4500);
    expectRect(p.frameLEDdisp.rect, 240, 4500, 11400, 585);
    expectRect(p.frameBarGraf.rect, 240, 5085, 11400, 585);
    expectRect(p.frameSesshnStuff.rect, 240, 5670, 11400, 870);
    expectRect(p.fraSeshnComnts.rect, 240, 6540, 11400, 870);
    expectRect(p.frameParams.rect, 240, 7410, 11400, 870);
    for (const FramePlan* f : {&p.frmPixGraf, &p.frameLEDdisp, &p.frameBarGraf, &p.frameSesshnStuff,
                               &p.fraSeshnComnts, &p.frameParams})
        EXPECT_TRUE(f->visible);
    EXPECT_TRUE(p.redrawRequested);
    EXPECT_NEAR(p.txtSeshnComntsHeight, 0.82 * 870, 1e-9);
    EXPECT_NEAR(p.txtSeshnComntsWidth, 0.98 * 11400, 1e-9);
    EXPECT_EQ(p.font, (PanelFont{QStringLiteral("Arial"), 12}));
}

TEST(LayoutPanels, OnlyThePictureGraph) {
    const PanelPlan p = LayoutPlan::planPanels(12000, 9000, onlyGraph(), 16);
    expectRect(p.frmPixGraf.rect, 240, 0, 11400, 15.0 * 8400 / 16);
    for (const FramePlan* f :
         {&p.frameLEDdisp, &p.frameBarGraf, &p.frameSesshnStuff, &p.fraSeshnComnts, &p.frameParams})
        EXPECT_FALSE(f->visible);
    // A hidden panel takes no space: the readings panel alone goes straight under the graph.
    PanelViews two = onlyGraph();
    two.internalStatus = true;
    const PanelPlan q = LayoutPlan::planPanels(12000, 9000, two, 19);
    EXPECT_NEAR(q.frameSesshnStuff.rect.top, 6632, 1e-9); // round(15 x 8400 / 19) = round(6631.58)
    // No panel at all: nothing divides by the zero weight sum.
    const PanelPlan none = LayoutPlan::planPanels(12000, 9000, {}, 0);
    EXPECT_FALSE(none.frmPixGraf.visible);
    EXPECT_FALSE(none.redrawRequested);
}

TEST(LayoutPanels, HeightCapsOnAVeryTallWindow) {
    const PanelPlan p = LayoutPlan::planPanels(12000, 60000, allVisible(), 28);
    const double graph = 15.0 * 59400 / 28; // 31821.43, no cap
    EXPECT_NEAR(p.frmPixGraf.rect.height, graph, 1e-9);
    EXPECT_EQ(p.frameLEDdisp.rect.height, 1000);
    EXPECT_EQ(p.frameBarGraf.rect.height, 1000);
    EXPECT_EQ(p.frameSesshnStuff.rect.height, 1500);
    EXPECT_EQ(p.fraSeshnComnts.rect.height, 1500);
    EXPECT_EQ(p.frameParams.rect.height, 1000);
    // The running top advances by rounded heights.
    EXPECT_EQ(p.frameLEDdisp.rect.top, 31821);
    EXPECT_EQ(p.frameBarGraf.rect.top, 32821);
    EXPECT_EQ(p.frameSesshnStuff.rect.top, 33821);
    EXPECT_EQ(p.fraSeshnComnts.rect.top, 35321);
    EXPECT_EQ(p.frameParams.rect.top, 36821);
}

TEST(LayoutPanels, FontFromTheFontBasis) {
    EXPECT_EQ(LayoutPlan::chooseFont(249.9), (PanelFont{QStringLiteral("IBMPC"), 8}));
    EXPECT_EQ(LayoutPlan::chooseFont(250), (PanelFont{QStringLiteral("Arial"), 8}));
    EXPECT_EQ(LayoutPlan::planPanels(12000, 9000, allVisible(), 28).font,
              (PanelFont{QStringLiteral("Arial"), 12}));
    EXPECT_EQ(LayoutPlan::planPanels(6000, 9000, allVisible(), 28).font,
              (PanelFont{QStringLiteral("IBMPC"), 6}));
}

TEST(LayoutPanels, LampsRightToLeftAndBarsLeftToRightInsideTheirFrames) {
    const PanelPlan p = LayoutPlan::planPanels(12000, 9000, allVisible(), 28);
    for (int i = 1; i < 8; ++i) // each lamp ends where the one to its right begins
        EXPECT_NEAR(p.lblLED[i].left + p.lblLED[i].width, p.lblLED[i - 1].left, 1e-9);
    EXPECT_GT(p.lblLED[7].left, 0);
    for (int i = 1; i < 32; ++i)
        EXPECT_NEAR(p.lblBarGraf[i].left, p.lblBarGraf[i - 1].left + p.lblBarGraf[i - 1].width, 1e-9);
    EXPECT_LT(p.lblBarGraf[31].left + p.lblBarGraf[31].width, p.frameBarGraf.rect.width);
    // The port-scan notice starts at cell 4, twice as wide, and stays hidden.
    EXPECT_EQ(p.lblParams[6].left, p.lblParams[4].left);
    EXPECT_EQ(p.lblParams[6].width, 2 * p.lblParams[4].width);
    EXPECT_FALSE(p.lblParamsVisible[6]);
}

TEST(LayoutWindow, HeightAndWidthDrivenSnapping) {
    const WindowPlan h = LayoutPlan::planWindow(screen1024(2, 9000, 8000));
    ASSERT_EQ(h.outcome, LayoutOutcome::ArrangePanels);
    ASSERT_TRUE(h.sizing && h.position);
    EXPECT_EQ((TwipsRect{h.position->left, h.position->top, h.sizing->width, h.sizing->height}),
              (TwipsRect{600, 600, 10560, 7920}));
    EXPECT_EQ(h.windowWidth, 10560);
    EXPECT_EQ(h.windowHeight, 7920);
    EXPECT_FALSE(h.firstPlacement);
    EXPECT_EQ(h.layoutState, 2);
    const WindowPlan w = LayoutPlan::planWindow(screen1024(3, 10000, 5000));
    EXPECT_EQ(w.windowWidth, 9600);
    EXPECT_EQ(w.windowHeight, 7200);
    EXPECT_EQ(w.layoutState, 3);
    // A height whose 4:3 width exceeds a narrow screen takes the screen width.
    LayoutInput narrow = screen1024(2, 9000, 11000);
    narrow.screenWidth = 12000;
    narrow.left = 0;
    const WindowPlan n = LayoutPlan::planWindow(narrow);
    EXPECT_EQ(n.windowHeight, 10800);
    EXPECT_EQ(n.windowWidth, 12000);
}

TEST(LayoutWindow, MinimumSizeDependsOnTheVisiblePanels) {
    const WindowPlan all = LayoutPlan::planWindow(screen1024(2, 3000, 3000));
    EXPECT_EQ(all.windowHeight, 5760); // 28/56 of the screen height
    EXPECT_EQ(all.windowWidth, 3840);  // a quarter of the screen width
    LayoutInput graph = screen1024(2, 3000, 3000);
    graph.views = onlyGraph();
    graph.panelWeightSum = 16;
    const WindowPlan g = LayoutPlan::planWindow(graph);
    EXPECT_EQ(g.windowHeight, 3291); // round(11520 x 16 / 56)
    EXPECT_EQ(g.windowWidth, 3840);
}

TEST(LayoutWindow, KeptOnScreen) {
    LayoutInput off = screen1024(2, 10560, 7920);
    off.left = 6000;
    off.top = 5000;
    const WindowPlan p = LayoutPlan::planWindow(off);
    EXPECT_EQ(p.position->top, 11520 - 7920 - 576);
    EXPECT_EQ(p.position->left, 15360 - 10560 - 768);
    EXPECT_EQ(p.window, (TwipsRect{4032, 3024, 10560, 7920}));

    off.left = -500;
    off.top = -300;
    const WindowPlan q = LayoutPlan::planWindow(off);
    EXPECT_EQ(q.position->top, 0);
    EXPECT_EQ(q.position->left, 0);
    // A window as big as the screen cannot end 5 % early, so it goes to 0.
    const WindowPosition full = LayoutPlan::keepOnScreen(15360, 11520, 10, 10, 15360, 11520);
    EXPECT_EQ(full.top, 0);
    EXPECT_EQ(full.left, 0);
}

TEST(LayoutWindow, FirstArrangementAppliesTheSavedGeometryThenSnaps) {
    const WindowPlan p = LayoutPlan::planWindow(firstArrangement(8448, 8640, 3456, 1440));
    ASSERT_TRUE(p.firstPlacement);
    EXPECT_EQ(*p.firstPlacement, (TwipsRect{3456, 1440, 8448, 8640}));
    EXPECT_EQ(p.layoutState, 2);
    // Height-driven in the same call: 8640 is 24 screen steps; the width follows at 4:3.
    EXPECT_EQ(p.windowHeight, 8640);
    EXPECT_EQ(p.windowWidth, 11520);
    EXPECT_EQ(p.windowLeft, 3456); // the remembered left and top are those of the placement
    EXPECT_EQ(p.window, (TwipsRect{3456, 1440, 11520, 8640}));

    // Fed back step by step, the second phase gives the same window.
    LayoutInput again = firstArrangement(p.windowWidth, p.windowHeight, p.windowLeft, p.windowTop);
    again.layoutState = p.layoutState;
    again.left = p.firstPlacement->left;
    again.top = p.firstPlacement->top;
    again.width = p.firstPlacement->width;
    again.height = p.firstPlacement->height;
    EXPECT_EQ(LayoutPlan::planWindow(again).window, p.window);
}

TEST(LayoutWindow, SavedGeometryThatDoesNotFitIsReplaced) {
    const TwipsRect replaced{1920, 1440, 11520, 8640}; // 75 % x 75 %, centred
    // 95 % of 15360 is 14592 and of 11520 is 10944; the left edge may be at most the screen width.
    EXPECT_EQ(*LayoutPlan::planWindow(firstArrangement(14593, 8000, 0, 0)).firstPlacement, replaced);
    EXPECT_EQ(*LayoutPlan::planWindow(firstArrangement(8000, 10945, 0, 0)).firstPlacement, replaced);
    EXPECT_EQ(*LayoutPlan::planWindow(firstArrangement(8000, 6000, 15361, 0)).firstPlacement, replaced);
    EXPECT_EQ(*LayoutPlan::planWindow(firstArrangement(14592, 10944, 15360, 0)).firstPlacement,
              (TwipsRect{15360, 0, 14592, 10944}));
    const WindowPlan p = LayoutPlan::planWindow(firstArrangement(20000, 8000, 0, 0));
    EXPECT_EQ(p.windowLeft, 1920);
    EXPECT_EQ(p.windowTop, 1440);
    EXPECT_EQ(p.window, replaced);
}

TEST(LayoutWindow, EarlyReturnsAndMaximisedWindow) {
    const WindowPlan idle = LayoutPlan::planWindow(screen1024(0, 9000, 8000));
    EXPECT_EQ(idle.outcome, LayoutOutcome::NothingToArrange);
    EXPECT_FALSE(idle.hideFrames);

    LayoutInput minimised = firstArrangement(8448, 8640, 3456, 1440);
    minimised.state = WindowState::Minimized;
    const WindowPlan m = LayoutPlan::planWindow(minimised);
    EXPECT_EQ(m.outcome, LayoutOutcome::Minimized);
    EXPECT_TRUE(m.hideFrames);
    EXPECT_EQ(m.layoutState, 2);
    EXPECT_FALSE(m.sizing);

    const WindowPlan odd = LayoutPlan::planWindow(screen1024(7, 9000, 8000));
    EXPECT_EQ(odd.outcome, LayoutOutcome::UnexpectedLayoutState);
    EXPECT_TRUE(odd.hideFrames);
    EXPECT_FALSE(odd.sizing);

    LayoutInput maximised = screen1024(3, 15360.4, 10999.6);
    maximised.state = WindowState::Maximized;
    const WindowPlan r = LayoutPlan::planWindow(maximised);
    EXPECT_EQ(r.outcome, LayoutOutcome::ArrangePanels);
    EXPECT_EQ(r.windowWidth, 15360);
    EXPECT_EQ(r.windowHeight, 11000);
    EXPECT_FALSE(r.sizing);
    EXPECT_FALSE(r.position);
    const PanelPlan panels =
        LayoutPlan::planPanels(r.window.width, r.window.height, maximised.views, maximised.panelWeightSum);
    EXPECT_NEAR(panels.usableHeight, 10999.6 - 600, 1e-9);
}

} // namespace aurivo
