// What a screen reader is told, without a window: values with their headings, the graph in words, the
// pace of live values, the replay legend, and the contrast of the disabled caption and the focus ring.

#include "core/Colors.h"
#include "recording/ReplayLegend.h"
#include "ui/AccessibleTexts.h"
#include "ui/LiveThrottle.h"

#include <gtest/gtest.h>

namespace aurivo {

TEST(LiveThrottle, TellsAtOnceThenHoldsBackUntilASecondHasPassed) {
    LiveThrottle live;
    const struct {
        bool change; // a change, or the tick asking
        int64_t at;
        bool told;
    } steps[] = {{false, 0, false},   {true, 0, true},     {true, 100, false},   {true, 900, false},
                 {false, 999, false}, {false, 1000, true}, {false, 1100, false}, {true, 1500, false},
                 {false, 2000, true}, {true, 3500, true}};
    for (const auto& s : steps)
        EXPECT_EQ(s.change ? live.changed(s.at) : live.due(s.at), s.told) << s.at;
}

TEST(AccessibleTexts, ValuesWithHeadingsAndTheGraphInWords) {
    EXPECT_EQ(AccessibleTexts::valueName(QStringLiteral("Res."), QStringLiteral("464.5 kOhms")),
              QStringLiteral("Res.: 464.5 kOhms"));
    EXPECT_EQ(AccessibleTexts::valueName(QStringLiteral("% Change "), QStringLiteral("-1.5 %")),
              QStringLiteral("% Change: -1.5 %"));
    EXPECT_EQ(AccessibleTexts::valueName(QStringLiteral("Data"), QString()), QStringLiteral("Data: none"));

    std::array<QString, 10> axis;
    EXPECT_EQ(AccessibleTexts::graphDescription(axis, QString(), false),
              QStringLiteral("No session drawn yet"));
    axis[0] = QStringLiteral("400.0 k");
    axis[4] = QStringLiteral("80.0 ");
    axis[9] = QStringLiteral("05:20");
    EXPECT_EQ(
        AccessibleTexts::graphDescription(axis, QStringLiteral("00:01:23"), false),
        QStringLiteral("Resistance from 400.0 kOhms at the top to 80.0 Ohms at the bottom; time axis 00:00 "
                       "to 05:20; elapsed time 00:01:23"));
    EXPECT_EQ(
        AccessibleTexts::graphDescription(axis, QStringLiteral("00:01:23"), true),
        QStringLiteral("Replay: resistance from 400.0 kOhms at the top to 80.0 Ohms at the bottom; time "
                       "axis 00:00 to 05:20"));
}

TEST(ReplayLegend, NamesEachListedSessionWithItsTraceColour) {
    DisplayList list;
    list.count = 2;
    list.hdrPaths = {QStringLiteral("/d/first.Hdr"), QStringLiteral("/d/a.b.Hdr")};
    const auto entries = ReplayLegend::entries(list);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].colour, 0x0000FFFFu);
    EXPECT_EQ(ReplayLegend::text(entries), QStringLiteral("Sessions: first in cyan, a.b in yellow"));
    EXPECT_EQ(ReplayLegend::text({}), QString());
}

TEST(Contrast, DisabledPortCaptionsAndTheFocusRingStayReadable) {
    using colors::contrastRatio;
    using colors::toQColor;
    EXPECT_NEAR(contrastRatio(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    // The pale red and pale yellow of unusable ports, and the window background of usable ones.
    for (uint32_t back : {0x00C0C0FFu, 0x00C0FFFFu, 0x00FFFFFFu})
        EXPECT_GE(contrastRatio(toQColor(colors::kDisabledCaption), toQColor(back)), 4.5) << back;
    // The panels, frames and dialogs the ring is drawn on (the light desktop palette's window and button
    // colours), and the pale port colours.
    for (uint32_t back : {0x00EFEFEFu, 0x00FFFFFFu, 0x00C0C0FFu, 0x00C0FFFFu, 0x00E0E0E0u})
        EXPECT_GE(contrastRatio(toQColor(colors::kFocusRing), toQColor(back)), 3.0) << back;
}

} // namespace aurivo
