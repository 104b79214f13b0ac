#include "layout/LayoutPlan.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace aurivo;

// A normal 1024 x 768 screen at 15 twips per pixel, all panels shown, a window at (600, 600); for the
// first arrangement, a remembered geometry.
LayoutInput screen1024(int layoutState, double width, double height, double left = 600, double top = 600) {
    return {15360,
            11520,
            width,
            height,
            left,
            top,
            WindowState::Normal,
            PanelViews::all(),
            28,
            LayoutState(layoutState),
            0,
            0,
            0,
            0};
}
LayoutInput firstArrangement(int32_t w, int32_t h, int32_t left, int32_t top) {
    return {15360,
            11520,
            3000,
            2000,
            600,
            600,
            WindowState::Normal,
            PanelViews::all(),
            28,
            LayoutState::FirstPlacement,
            w,
            h,
            left,
            top};
}

QString text(const TwipsRect& r) {
    return QString::asprintf("%.2f %.2f %.2f %.2f", r.left, r.top, r.width, r.height);
}

TEST(LayoutPanels, AllPanelsAndTheirLabelsInA12000By9000Window) {
    const PanelPlan p = LayoutPlan::planPanels(12000, 9000, PanelViews::all(), 28);
    EXPECT_EQ(p.usableHeight, 8400);
    // Heights 4500, 585, 585, 870, 870, 870 (the labels depend on them); the parameters strip is last.
    const std::pair<const TwipsRect*, const char*> rows[] = {
        {&p.graphFrame.rect, "240.00 0.00 11400.00 4500.00"},
        {&p.parameterFrame.rect, "240.00 7410.00 11400.00 870.00"},
        {&p.graph, "1140.00 136.88 10032.00 4027.50"},
        {&p.axisLabels[0], "57.00 40.22 1083.00 246.13"},
        {&p.axisLabels[4], "57.00 4014.91 1083.00 246.13"},
        {&p.axisLabels[5], "1140.00 4180.04 1083.00 246.13"},
        {&p.axisLabels[9], "10089.00 4180.04 1083.00 246.13"},
        {&p.lamps[0], "9706.67 88.60 1333.33 424.00"}, // lamp 0 is the rightmost
        {&p.lamps[7], "373.33 88.60 1333.33 424.00"},
        {&p.barSegments[31], "10902.61 88.60 347.83 424.00"},
        {&p.readingLabels[7], "8296.67 471.25 2280.00 326.25"}, // filled column by column
        {&p.parameterLabels[5], "9538.78 217.50 1368.00 435.00"},
        {&p.parameterLabels[6], "7677.55 217.50 2736.00 435.00"}, // the port-scan notice over cells 4, 5
    };
    for (const auto& [rect, expected] : rows)
        EXPECT_EQ(text(*rect), QString::fromLatin1(expected)) << expected;
    EXPECT_TRUE(p.graphFrame.visible && p.parameterFrame.visible && p.redrawRequested);
    EXPECT_FALSE(p.parameterLabelsVisible[6]);
    EXPECT_EQ(QString::asprintf("%.1f %.1f", p.commentBoxWidth, p.commentBoxHeight),
              QStringLiteral("11172.0 713.4"));
}

TEST(LayoutPanels, HeightCapsOnAVeryTallWindowAndTopsAdvanceByRoundedHeights) {
    const PanelPlan p = LayoutPlan::planPanels(12000, 60000, PanelViews::all(), 28);
    QStringList frames; // the graph 15 x 59400 / 28 high, no cap
    for (const FramePlan* f :
         {&p.graphFrame, &p.lampFrame, &p.barFrame, &p.readingsFrame, &p.commentsFrame, &p.parameterFrame})
        frames << QString::asprintf("%.2f+%.2f", f->rect.top, f->rect.height);
    EXPECT_EQ(frames.join(' '),
              QStringLiteral("0.00+31821.43 31821.00+1000.00 32821.00+1000.00 33821.00+1500.00 "
                             "35321.00+1500.00 36821.00+1000.00"));
}

TEST(LayoutPanels, FontFromTheFontBasis) {
    EXPECT_EQ(LayoutPlan::chooseFont(249.9), (PanelFont{QStringLiteral("IBMPC"), 8}));
    EXPECT_EQ(LayoutPlan::chooseFont(250), (PanelFont{QStringLiteral("Arial"), 8}));
    EXPECT_EQ(LayoutPlan::planPanels(12000, 9000, PanelViews::all(), 28).font,
              (PanelFont{QStringLiteral("Arial"), 12}));
    EXPECT_EQ(LayoutPlan::planPanels(6000, 9000, PanelViews::all(), 28).font,
              (PanelFont{QStringLiteral("IBMPC"), 6}));
}

TEST(LayoutWindow, SnappingMinimumSizeAndKeepingOnScreen) {
    LayoutInput narrow = screen1024(2, 9000, 11000); // its 4:3 width exceeds the screen: the screen width
    narrow.screenWidth = 12000;
    narrow.left = 0;
    LayoutInput graph = screen1024(2, 3000, 3000);
    graph.views = {true, false, false, false, false, false}; // the graph only
    graph.panelWeightSum = 16;
    const std::pair<LayoutInput, TwipsRect> rows[] = {
        {screen1024(2, 9000, 8000), {600, 600, 10560, 7920}}, // height-driven, 1/32 screen steps
        {screen1024(3, 10000, 5000), {600, 600, 9600, 7200}}, // width-driven
        {narrow, {0, 600, 12000, 10800}},
        {screen1024(2, 3000, 3000), {600, 600, 3840, 5760}}, // a quarter width, 28/56 of the height
        {graph, {600, 600, 3840, 3291}},                     // round(11520 x 16 / 56)
        {screen1024(2, 10560, 7920, 6000, 5000), {4032, 3024, 10560, 7920}}, // ends 5 % before the edges
        {screen1024(2, 10560, 7920, -500, -300), {0, 0, 10560, 7920}},
    };
    for (const auto& [in, window] : rows) {
        const WindowPlan plan = LayoutPlan::planWindow(in);
        EXPECT_EQ(plan.outcome, LayoutOutcome::ArrangePanels);
        EXPECT_EQ(text(plan.window), text(window));
        EXPECT_TRUE(plan.sizing && plan.position);
        EXPECT_EQ(QString::asprintf("%d %d %d", plan.windowWidth, plan.windowHeight, int(plan.layoutState)),
                  QString::asprintf("%d %d %d", int(window.width), int(window.height), int(in.layoutState)));
    }
    // A window as big as the screen cannot end 5 % early, so it goes to 0.
    const WindowPosition full = LayoutPlan::keepOnScreen(15360, 11520, 10, 10, 15360, 11520);
    EXPECT_EQ(full.top + full.left, 0);
}

TEST(LayoutWindow, FirstArrangementAppliesTheSavedGeometryThenSnaps) {
    const WindowPlan p = LayoutPlan::planWindow(firstArrangement(8448, 8640, 3456, 1440));
    ASSERT_TRUE(p.firstPlacement);
    EXPECT_EQ(*p.firstPlacement, (TwipsRect{3456, 1440, 8448, 8640}));
    EXPECT_EQ(p.layoutState, LayoutState::FollowHeight);
    // Height-driven in the same call: 8640 is 24 screen steps; the width follows at 4:3. The remembered
    // left and top are those of the placement.
    EXPECT_EQ(p.window, (TwipsRect{3456, 1440, 11520, 8640}));
    EXPECT_EQ(QString::asprintf("%d %d %d %d", p.windowLeft, p.windowTop, p.windowWidth, p.windowHeight),
              QStringLiteral("3456 1440 11520 8640"));
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
    EXPECT_EQ(p.windowLeft + p.windowTop, 1920 + 1440);
    EXPECT_EQ(p.window, replaced);
}

TEST(LayoutWindow, EarlyReturnsAndMaximisedWindow) {
    EXPECT_FALSE(LayoutPlan::planWindow(screen1024(0, 9000, 8000)).hideFrames); // nothing to arrange
    LayoutInput minimised = firstArrangement(8448, 8640, 3456, 1440);
    minimised.state = WindowState::Minimized;
    const WindowPlan m = LayoutPlan::planWindow(minimised);
    EXPECT_EQ(m.outcome, LayoutOutcome::Minimized);
    EXPECT_EQ(m.layoutState, LayoutState::FollowHeight);
    const WindowPlan odd = LayoutPlan::planWindow(screen1024(7, 9000, 8000));
    EXPECT_EQ(odd.outcome, LayoutOutcome::UnexpectedLayoutState);
    for (const WindowPlan* plan : {&m, &odd})
        EXPECT_TRUE(plan->hideFrames && !plan->sizing);

    LayoutInput maximised = screen1024(3, 15360.4, 10999.6);
    maximised.state = WindowState::Maximized;
    const WindowPlan r = LayoutPlan::planWindow(maximised);
    EXPECT_EQ(r.outcome, LayoutOutcome::ArrangePanels);
    EXPECT_EQ(r.windowWidth, 15360);
    EXPECT_EQ(r.windowHeight, 11000);
    EXPECT_FALSE(r.sizing || r.position);
}
