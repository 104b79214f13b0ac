#include "core/Colors.h"
#include "layout/AccessibleTexts.h"
#include "layout/LiveThrottle.h"
#include "recording/ReplayLegend.h"

#include <gtest/gtest.h>

using namespace aurivo;

TEST(LiveThrottle, TellsAtOnceThenHoldsBackUntilASecondHasPassed) {
    LiveThrottle live;
    // Each step: a change or the tick asking, when, and whether it is told.
    const std::tuple<bool, int64_t, bool> steps[] = {
        {false, 0, false},   {true, 0, true},     {true, 100, false},   {true, 900, false},
        {false, 999, false}, {false, 1000, true}, {false, 1100, false}, {true, 1500, false},
        {false, 2000, true}, {true, 3500, true}};
    for (const auto& [change, at, told] : steps)
        EXPECT_EQ(change ? live.changed(at) : live.due(at), told) << at;
}

TEST(AccessibleTexts, ValuesWithHeadingsTheLevelAndTheGraphInWordsWithUnitsSpelledOut) {
    for (auto [heading, value, name] : {std::tuple{"Res.", "464.5 kOhms", "Res.: 464.5 kilohms"},
                                        {"Res.", "1.2 MOhms", "Res.: 1.2 megohms"},
                                        {"Res.", "80.0 Ohms", "Res.: 80.0 ohms"},
                                        {"Cond.", "2.03 uS", "Cond.: 2.03 microsiemens"},
                                        {"Cond.", "1.5 mS", "Cond.: 1.5 millisiemens"},
                                        {"Cond.", "1  S", "Cond.: 1 siemens"},
                                        {"% Change ", "-1.5 %", "% Change: -1.5 %"},
                                        {"Data", "", "Data: none"}})
        EXPECT_EQ(AccessibleTexts::valueName(QString::fromLatin1(heading), QString::fromLatin1(value)),
                  QString::fromLatin1(name));
    for (auto [caption, lit, name] : {std::tuple{" 3.7 %", true, "Level: 3.7 % above start"},
                                      {"-.5 %", true, "Level: 0.5 % below start"},
                                      {"0 %", true, "Level: at start"},
                                      {" 3.7 %", false, "Level: no reading"}})
        EXPECT_EQ(AccessibleTexts::levelName(QString::fromLatin1(caption), lit), QString::fromLatin1(name));
    EXPECT_EQ(AccessibleTexts::readingsNow("464.5 kOhms", "2.15 uS", "-1.2 %"),
              "Now 464.5 kilohms, 2.15 microsiemens, 1.2 % below start");
    EXPECT_EQ(AccessibleTexts::readingsNow("0", "0", "0 %"), QString());
    std::array<QString, 10> axis;
    EXPECT_EQ(AccessibleTexts::graphDescription(axis, QString(), false),
              QStringLiteral("No session drawn yet"));
    axis[0] = QStringLiteral("400.0 k");
    axis[4] = QStringLiteral("80.0 ");
    axis[9] = QStringLiteral("05:20");
    const QString graph =
        QStringLiteral("esistance from 400.0 kilohms at the top to 80.0 ohms at the bottom; time "
                       "axis 00:00 to 05:20");
    EXPECT_EQ(AccessibleTexts::graphDescription(axis, QStringLiteral("00:01:23"), false),
              "R" + graph + "; elapsed time 00:01:23");
    EXPECT_EQ(AccessibleTexts::graphDescription(axis, QStringLiteral("00:01:23"), true), "Replay: r" + graph);
}

TEST(ReplayLegend, NamesEachListedSessionWithItsTraceColour) {
    DisplayList list;
    list.count = 2;
    list.hdrPaths = {QStringLiteral("/d/first.Hdr"), QStringLiteral("/d/a.b.Hdr")};
    EXPECT_EQ(ReplayLegend::text(ReplayLegend::entries(list)),
              QStringLiteral("Sessions: first in cyan, a.b in yellow"));
    EXPECT_EQ(ReplayLegend::text({}), QString());
}

TEST(Contrast, DisabledPortCaptionsAndTheFocusRingStayReadable) {
    using colors::contrastRatio;
    using colors::toQColor;
    EXPECT_NEAR(contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    // The pale red and pale yellow of unusable ports, and the window background of usable ones.
    for (uint32_t back : {colors::kPaleRed, colors::kPaleYellow, colors::kWhite})
        EXPECT_GE(contrastRatio(toQColor(colors::kDisabledCaption), toQColor(back)), 4.5) << back;
    // The light palette's window and button colours the ring is drawn on, and the pale port colours.
    for (uint32_t back :
         {0x00EFEFEFu, colors::kWhite, colors::kPaleRed, colors::kPaleYellow, colors::kLightGrey})
        EXPECT_GE(contrastRatio(toQColor(colors::kFocusRing), toQColor(back)), 3.0) << back;
}
