#include "ui/LayoutPlan.h"

#include <gtest/gtest.h>

namespace {

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

PanelVisibility AllVisible() {
    return {kTrue, kTrue, kTrue, kTrue, kTrue, kTrue};
}
PanelVisibility OnlyGraph() {
    return {kTrue, kFalse, kFalse, kFalse, kFalse, kFalse};
}

// A normal 1024 x 768 screen at 15 twips per pixel, all panels shown, a window at (600, 600).
LayoutInput Screen1024(int layoutState, double width, double height) {
    LayoutInput in;
    in.ScreenWidth = 15360;
    in.ScreenHeight = 11520;
    in.Width = width;
    in.Height = height;
    in.Left = 600;
    in.Top = 600;
    in.Visibility = AllVisible();
    in.PanelWeightSum = 28;
    in.LayoutState = layoutState;
    return in;
}

LayoutInput FirstArrangement(int32_t w, int32_t h, int32_t left, int32_t top) {
    LayoutInput in = Screen1024(1, 3000, 2000);
    in.WindowWidth = w;
    in.WindowHeight = h;
    in.WindowLeft = left;
    in.WindowTop = top;
    return in;
}

void ExpectRect(const TwipRect& r, double left, double top, double width, double height) {
    EXPECT_NEAR(r.Left, left, 1e-6);
    EXPECT_NEAR(r.Top, top, 1e-6);
    EXPECT_NEAR(r.Width, width, 1e-6);
    EXPECT_NEAR(r.Height, height, 1e-6);
}

} // namespace

TEST(LayoutPanels, AllPanelsInA9000TwipWindow) {
    const PanelPlan p = LayoutPlan::PlanPanels(12000, 9000, AllVisible(), 28);
    EXPECT_EQ(p.UsableHeight, 8400);
    // Heights 4500, 585, 585, 870, 870, 870; the parameters strip sits under the comments.
    ExpectRect(p.frmPixGraf.Rect, 240, 0, 11400, 4500);
    ExpectRect(p.frameLEDdisp.Rect, 240, 4500, 11400, 585);
    ExpectRect(p.frameBarGraf.Rect, 240, 5085, 11400, 585);
    ExpectRect(p.frameSesshnStuff.Rect, 240, 5670, 11400, 870);
    ExpectRect(p.fraSeshnComnts.Rect, 240, 6540, 11400, 870);
    ExpectRect(p.FrameParams.Rect, 240, 7410, 11400, 870);
    for (const FramePlan* f : {&p.frmPixGraf, &p.frameLEDdisp, &p.frameBarGraf, &p.frameSesshnStuff,
                               &p.fraSeshnComnts, &p.FrameParams})
        EXPECT_TRUE(f->Visible);
    EXPECT_TRUE(p.RedrawRequested);
    EXPECT_NEAR(p.TxtSeshnComntsHeight, 0.82 * 870, 1e-9);
    EXPECT_NEAR(p.TxtSeshnComntsWidth, 0.98 * 11400, 1e-9);
    EXPECT_EQ(p.Font, (PanelFont{QStringLiteral("Arial"), 12}));
}

TEST(LayoutPanels, OnlyThePictureGraph) {
    const PanelPlan p = LayoutPlan::PlanPanels(12000, 9000, OnlyGraph(), 16);
    ExpectRect(p.frmPixGraf.Rect, 240, 0, 11400, 15.0 * 8400 / 16);
    for (const FramePlan* f :
         {&p.frameLEDdisp, &p.frameBarGraf, &p.frameSesshnStuff, &p.fraSeshnComnts, &p.FrameParams})
        EXPECT_FALSE(f->Visible);
    // A hidden panel takes no space: the readings panel alone goes straight under the graph.
    PanelVisibility two = OnlyGraph();
    two.InternalStatusVisible = kTrue;
    const PanelPlan q = LayoutPlan::PlanPanels(12000, 9000, two, 19);
    EXPECT_NEAR(q.frameSesshnStuff.Rect.Top, 6632, 1e-9); // round(15 x 8400 / 19) = round(6631.58)
    // No panel at all: nothing divides by the zero weight sum.
    const PanelPlan none = LayoutPlan::PlanPanels(12000, 9000, {}, 0);
    EXPECT_FALSE(none.frmPixGraf.Visible);
    EXPECT_FALSE(none.RedrawRequested);
}

TEST(LayoutPanels, HeightCapsOnAVeryTallWindow) {
    const PanelPlan p = LayoutPlan::PlanPanels(12000, 60000, AllVisible(), 28);
    const double graph = 15.0 * 59400 / 28; // 31821.43, no cap
    EXPECT_NEAR(p.frmPixGraf.Rect.Height, graph, 1e-9);
    EXPECT_EQ(p.frameLEDdisp.Rect.Height, 1000);
    EXPECT_EQ(p.frameBarGraf.Rect.Height, 1000);
    EXPECT_EQ(p.frameSesshnStuff.Rect.Height, 1500);
    EXPECT_EQ(p.fraSeshnComnts.Rect.Height, 1500);
    EXPECT_EQ(p.FrameParams.Rect.Height, 1000);
    // The running top advances by rounded heights.
    EXPECT_EQ(p.frameLEDdisp.Rect.Top, 31821);
    EXPECT_EQ(p.frameBarGraf.Rect.Top, 32821);
    EXPECT_EQ(p.frameSesshnStuff.Rect.Top, 33821);
    EXPECT_EQ(p.fraSeshnComnts.Rect.Top, 35321);
    EXPECT_EQ(p.FrameParams.Rect.Top, 36821);
}

TEST(LayoutPanels, FontFromTheFontBasis) {
    EXPECT_EQ(LayoutPlan::ChooseFont(249.9), (PanelFont{QStringLiteral("IBMPC"), 8}));
    EXPECT_EQ(LayoutPlan::ChooseFont(250), (PanelFont{QStringLiteral("Arial"), 8}));
    EXPECT_EQ(LayoutPlan::PlanPanels(12000, 9000, AllVisible(), 28).Font,
              (PanelFont{QStringLiteral("Arial"), 12}));
    EXPECT_EQ(LayoutPlan::PlanPanels(6000, 9000, AllVisible(), 28).Font,
              (PanelFont{QStringLiteral("IBMPC"), 6}));
}

TEST(LayoutPanels, LampsRightToLeftAndBarsLeftToRightInsideTheirFrames) {
    const PanelPlan p = LayoutPlan::PlanPanels(12000, 9000, AllVisible(), 28);
    for (int i = 1; i < 8; ++i) // each lamp ends where the one to its right begins
        EXPECT_NEAR(p.lblLED[i].Left + p.lblLED[i].Width, p.lblLED[i - 1].Left, 1e-9);
    EXPECT_GT(p.lblLED[7].Left, 0);
    for (int i = 1; i < 32; ++i)
        EXPECT_NEAR(p.lblBarGraf[i].Left, p.lblBarGraf[i - 1].Left + p.lblBarGraf[i - 1].Width, 1e-9);
    EXPECT_LT(p.lblBarGraf[31].Left + p.lblBarGraf[31].Width, p.frameBarGraf.Rect.Width);
    // The port-scan notice starts at cell 4, twice as wide, and stays hidden.
    EXPECT_EQ(p.LblParams[6].Left, p.LblParams[4].Left);
    EXPECT_EQ(p.LblParams[6].Width, 2 * p.LblParams[4].Width);
    EXPECT_FALSE(p.LblParamsVisible[6]);
}

TEST(LayoutWindow, HeightAndWidthDrivenSnapping) {
    const WindowPlan h = LayoutPlan::PlanWindow(Screen1024(2, 9000, 8000));
    ASSERT_EQ(h.Outcome, LayoutOutcome::ArrangePanels);
    ASSERT_TRUE(h.Sizing && h.Position);
    EXPECT_EQ((TwipRect{h.Position->Left, h.Position->Top, h.Sizing->Width, h.Sizing->Height}),
              (TwipRect{600, 600, 10560, 7920}));
    EXPECT_EQ(h.WindowWidth, 10560);
    EXPECT_EQ(h.WindowHeight, 7920);
    EXPECT_FALSE(h.FirstPlacement);
    EXPECT_EQ(h.LayoutState, 2);
    const WindowPlan w = LayoutPlan::PlanWindow(Screen1024(3, 10000, 5000));
    EXPECT_EQ(w.WindowWidth, 9600);
    EXPECT_EQ(w.WindowHeight, 7200);
    EXPECT_EQ(w.LayoutState, 3);
    // A height whose 4:3 width exceeds a narrow screen takes the screen width.
    LayoutInput narrow = Screen1024(2, 9000, 11000);
    narrow.ScreenWidth = 12000;
    narrow.Left = 0;
    const WindowPlan n = LayoutPlan::PlanWindow(narrow);
    EXPECT_EQ(n.WindowHeight, 10800);
    EXPECT_EQ(n.WindowWidth, 12000);
}

TEST(LayoutWindow, MinimumSizeDependsOnTheVisiblePanels) {
    const WindowPlan all = LayoutPlan::PlanWindow(Screen1024(2, 3000, 3000));
    EXPECT_EQ(all.WindowHeight, 5760); // 28/56 of the screen height
    EXPECT_EQ(all.WindowWidth, 3840);  // a quarter of the screen width
    LayoutInput graph = Screen1024(2, 3000, 3000);
    graph.Visibility = OnlyGraph();
    graph.PanelWeightSum = 16;
    const WindowPlan g = LayoutPlan::PlanWindow(graph);
    EXPECT_EQ(g.WindowHeight, 3291); // round(11520 x 16 / 56)
    EXPECT_EQ(g.WindowWidth, 3840);
}

TEST(LayoutWindow, KeptOnScreen) {
    LayoutInput off = Screen1024(2, 10560, 7920);
    off.Left = 6000;
    off.Top = 5000;
    const WindowPlan p = LayoutPlan::PlanWindow(off);
    EXPECT_EQ(p.Position->Top, 11520 - 7920 - 576);
    EXPECT_EQ(p.Position->Left, 15360 - 10560 - 768);
    EXPECT_EQ(p.Window, (TwipRect{4032, 3024, 10560, 7920}));

    off.Left = -500;
    off.Top = -300;
    const WindowPlan q = LayoutPlan::PlanWindow(off);
    EXPECT_EQ(q.Position->Top, 0);
    EXPECT_EQ(q.Position->Left, 0);
    // A window as big as the screen cannot end 5 % early, so it goes to 0.
    const WindowPosition full = LayoutPlan::KeepOnScreen(15360, 11520, 10, 10, 15360, 11520);
    EXPECT_EQ(full.Top, 0);
    EXPECT_EQ(full.Left, 0);
}

TEST(LayoutWindow, FirstArrangementAppliesTheSavedGeometryThenSnaps) {
    const WindowPlan p = LayoutPlan::PlanWindow(FirstArrangement(8448, 8640, 3456, 1440));
    ASSERT_TRUE(p.FirstPlacement);
    EXPECT_EQ(*p.FirstPlacement, (TwipRect{3456, 1440, 8448, 8640}));
    EXPECT_EQ(p.LayoutState, 2);
    // Height-driven in the same call: 8640 is 24 screen steps; the width follows at 4:3.
    EXPECT_EQ(p.WindowHeight, 8640);
    EXPECT_EQ(p.WindowWidth, 11520);
    EXPECT_EQ(p.WindowLeft, 3456); // the remembered left and top are those of the placement
    EXPECT_EQ(p.Window, (TwipRect{3456, 1440, 11520, 8640}));

    // Fed back step by step, the second phase gives the same window.
    LayoutInput again = FirstArrangement(p.WindowWidth, p.WindowHeight, p.WindowLeft, p.WindowTop);
    again.LayoutState = p.LayoutState;
    again.Left = p.FirstPlacement->Left;
    again.Top = p.FirstPlacement->Top;
    again.Width = p.FirstPlacement->Width;
    again.Height = p.FirstPlacement->Height;
    EXPECT_EQ(LayoutPlan::PlanWindow(again).Window, p.Window);
}

TEST(LayoutWindow, SavedGeometryThatDoesNotFitIsReplaced) {
    const TwipRect replaced{1920, 1440, 11520, 8640}; // 75 % x 75 %, centred
    // 95 % of 15360 is 14592 and of 11520 is 10944; the left edge may be at most the screen width.
    EXPECT_EQ(*LayoutPlan::PlanWindow(FirstArrangement(14593, 8000, 0, 0)).FirstPlacement, replaced);
    EXPECT_EQ(*LayoutPlan::PlanWindow(FirstArrangement(8000, 10945, 0, 0)).FirstPlacement, replaced);
    EXPECT_EQ(*LayoutPlan::PlanWindow(FirstArrangement(8000, 6000, 15361, 0)).FirstPlacement, replaced);
    EXPECT_EQ(*LayoutPlan::PlanWindow(FirstArrangement(14592, 10944, 15360, 0)).FirstPlacement,
              (TwipRect{15360, 0, 14592, 10944}));
    const WindowPlan p = LayoutPlan::PlanWindow(FirstArrangement(20000, 8000, 0, 0));
    EXPECT_EQ(p.WindowLeft, 1920);
    EXPECT_EQ(p.WindowTop, 1440);
    EXPECT_EQ(p.Window, replaced);
}

TEST(LayoutWindow, EarlyReturnsAndMaximisedWindow) {
    const WindowPlan idle = LayoutPlan::PlanWindow(Screen1024(0, 9000, 8000));
    EXPECT_EQ(idle.Outcome, LayoutOutcome::NothingToArrange);
    EXPECT_FALSE(idle.HideFrames);

    LayoutInput minimised = FirstArrangement(8448, 8640, 3456, 1440);
    minimised.State = WindowShowState::Minimized;
    const WindowPlan m = LayoutPlan::PlanWindow(minimised);
    EXPECT_EQ(m.Outcome, LayoutOutcome::Minimized);
    EXPECT_TRUE(m.HideFrames);
    EXPECT_EQ(m.LayoutState, 2);
    EXPECT_FALSE(m.Sizing);
    EXPECT_FALSE(LayoutPlan::ArrangePanels(minimised).Panels);

    const WindowPlan odd = LayoutPlan::PlanWindow(Screen1024(7, 9000, 8000));
    EXPECT_EQ(odd.Outcome, LayoutOutcome::UnexpectedLayoutState);
    EXPECT_TRUE(odd.HideFrames);
    EXPECT_FALSE(odd.Sizing);

    LayoutInput maximised = Screen1024(3, 15360.4, 10999.6);
    maximised.State = WindowShowState::Maximized;
    const LayoutResult r = LayoutPlan::ArrangePanels(maximised);
    EXPECT_EQ(r.Window.Outcome, LayoutOutcome::ArrangePanels);
    EXPECT_EQ(r.Window.WindowWidth, 15360);
    EXPECT_EQ(r.Window.WindowHeight, 11000);
    EXPECT_FALSE(r.Window.Sizing);
    EXPECT_FALSE(r.Window.Position);
    ASSERT_TRUE(r.Panels);
    EXPECT_NEAR(r.Panels->UsableHeight, 10999.6 - 600, 1e-9);
}
