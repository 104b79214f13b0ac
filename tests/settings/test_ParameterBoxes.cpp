#include "SettingsFakes.h"

#include "app/MonitorState.h"
#include "settings/ParameterBoxes.h"

#include <gtest/gtest.h>

namespace {

using Answer = MessageBoxes::Answer;

class ParameterBoxesTest : public ::testing::Test {
protected:
    MonitorState state;
    FakeMessageBoxes boxes;
    ParameterBoxes params{state, boxes};
};

// ---- Sensitivity box ---------------------------------------------------------------------------

TEST_F(ParameterBoxesTest, OpeningShowsStoredSensitivityOnSliderAndLabel) {
    state.LblParams[3].caption = QStringLiteral("250");
    state.Slider1.largeChange = 100;
    state.Slider1.smallChange = 10;
    params.mnuSetSense_Click();
    EXPECT_TRUE(state.fraAdjSens.visible);
    EXPECT_EQ(state.Slider1.value, 250);
    EXPECT_EQ(state.lblSenseValu.caption, QStringLiteral("250"));
    EXPECT_EQ(state.Slider1.largeChange, 10);
    EXPECT_EQ(state.Slider1.smallChange, 1);
    EXPECT_EQ(state.fraAdjSens.rect, (TwipsRect{480, 840, 3975, 1695}));
}

TEST_F(ParameterBoxesTest, OutOfRangeSensitivityBecomes20EvenIfCancelled) {
    for (const char* bad : {"15", "1001", "", "abc"}) {
        state.LblParams[3].caption = QString::fromLatin1(bad);
        params.mnuSetSense_Click();
        EXPECT_EQ(state.lblSenseValu.caption, QStringLiteral("20")) << bad;
        EXPECT_EQ(state.Slider1.value, 20) << bad;
        params.cmdCancel_Click();
        EXPECT_EQ(state.LblParams[3].caption, QStringLiteral("20")) << bad;
        EXPECT_FALSE(state.fraAdjSens.visible);
    }
}

TEST_F(ParameterBoxesTest, FractionalSensitivityPutsSliderOnRoundedValue) {
    state.LblParams[3].caption = QStringLiteral("30.5");
    params.mnuSetSense_Click();
    EXPECT_EQ(state.Slider1.value, 30); // halves to even
    EXPECT_EQ(state.lblSenseValu.caption, QStringLiteral("30")); // the slider reported its move
}

TEST_F(ParameterBoxesTest, CaptionWithLeadingBlankIsKeptWhenSliderDoesNotMove) {
    // The graph's auto-ranging writes captions such as " 31".
    state.Slider1.value = 31;
    state.LblParams[3].caption = QStringLiteral(" 31");
    params.mnuSetSense_Click();
    EXPECT_EQ(state.lblSenseValu.caption, QStringLiteral(" 31"));
}

TEST_F(ParameterBoxesTest, MovingTheSliderShowsItsValueAndOkStoresIt) {
    state.LblParams[3].caption = QStringLiteral("25");
    params.mnuSetSense_Click();
    state.Slider1.value = 480;
    params.Slider1_Change();
    EXPECT_EQ(state.lblSenseValu.caption, QStringLiteral("480"));
    EXPECT_EQ(state.LblParams[3].caption, QStringLiteral("25")); // nothing stored while open
    params.cmdOkay_Click();
    EXPECT_EQ(state.LblParams[3].caption, QStringLiteral("480"));
    EXPECT_FALSE(state.fraAdjSens.visible);
}

TEST_F(ParameterBoxesTest, CancelRestoresLabelButNotSlider) {
    state.LblParams[3].caption = QStringLiteral("25");
    params.mnuSetSense_Click();
    state.Slider1.value = 600;
    params.Slider1_Change();
    params.cmdCancel_Click();
    EXPECT_EQ(state.lblSenseValu.caption, QStringLiteral("25"));
    EXPECT_EQ(state.LblParams[3].caption, QStringLiteral("25"));
    EXPECT_EQ(state.Slider1.value, 600);
}

TEST_F(ParameterBoxesTest, OkClampsDisplayedValueToNearerBound) {
    struct Row {
        const char* shown;
        const char* stored;
    };
    for (const Row& r : {Row{"5", "20"}, Row{"", "20"}, Row{"1500", "1000"}, Row{"20", "20"}, Row{"1000", "1000"}}) {
        state.lblSenseValu.caption = QString::fromLatin1(r.shown);
        state.fraAdjSens.visible = true;
        params.cmdOkay_Click();
        EXPECT_EQ(state.LblParams[3].caption, QString::fromLatin1(r.stored)) << r.shown;
        EXPECT_FALSE(state.fraAdjSens.visible);
    }
}

TEST_F(ParameterBoxesTest, StepSizesFollowModifierKeys) {
    struct Row {
        int shift, large, small;
    };
    const Row rows[] = {{0, 10, 1}, {1, 50, 5}, {2, 100, 10}, {4, 1, 1}, {5, 5, 1}, {3, 10, 1}, {6, 10, 1}, {7, 10, 1}};
    for (const Row& r : rows) {
        state.Slider1.largeChange = -1;
        state.Slider1.smallChange = -1;
        params.Slider1_KeyDown(r.shift);
        EXPECT_EQ(state.Slider1.largeChange, r.large) << "key " << r.shift;
        EXPECT_EQ(state.Slider1.smallChange, r.small) << "key " << r.shift;

        state.Slider1.largeChange = -1;
        params.Slider1_MouseDown(r.shift);
        EXPECT_EQ(state.Slider1.largeChange, r.large) << "mouse " << r.shift;
        EXPECT_EQ(state.Slider1.smallChange, r.small) << "mouse leaves the small step " << r.shift;
    }
    params.Slider1_KeyDown(ParameterBoxes::kCtrl);
    params.Slider1_MouseDown(ParameterBoxes::kShift | ParameterBoxes::kAlt);
    EXPECT_EQ(state.Slider1.largeChange, 5);
    EXPECT_EQ(state.Slider1.smallChange, 10);
}

// ---- Filter-size and jitter entry box ------------------------------------------------------------

TEST_F(ParameterBoxesTest, OpeningEntryBoxSetsModeCaptionAndCurrentValue) {
    state.FilterSize = 4;
    state.JitterRejection = 120;
    params.mnuSetFSize_Click();
    EXPECT_EQ(state.fraSetStuff.caption, QStringLiteral("Set Filter Size : Value 1 to 8"));
    EXPECT_TRUE(state.fraSetStuff.visible);
    EXPECT_EQ(state.txtSS.text, QStringLiteral("4"));
    params.mnuSetSSF_Click();
    EXPECT_EQ(state.fraSetStuff.caption, QStringLiteral("Adjust Jitter Rejection : Value 50 to 255"));
    EXPECT_EQ(state.txtSS.text, QStringLiteral("120"));
    params.cmdCan_Click();
    EXPECT_FALSE(state.fraSetStuff.visible);
    EXPECT_EQ(state.JitterRejection, 120);
}

TEST_F(ParameterBoxesTest, InRangeEntriesAreRoundedHalvesToEvenAndStoredInTheirMode) {
    state.JitterRejection = 100;
    params.mnuSetFSize_Click();
    state.txtSS.text = QStringLiteral("2.5");
    params.cmdSS_Click();
    EXPECT_EQ(state.FilterSize, 2);
    EXPECT_FALSE(state.fraSetStuff.visible);

    params.mnuSetFSize_Click();
    state.txtSS.text = QStringLiteral("7.5");
    params.cmdSS_Click();
    EXPECT_EQ(state.FilterSize, 8);
    EXPECT_EQ(state.JitterRejection, 100);

    params.mnuSetSSF_Click();
    state.txtSS.text = QStringLiteral("200xyz");
    params.cmdSS_Click();
    EXPECT_EQ(state.JitterRejection, 200);
    EXPECT_EQ(state.FilterSize, 8);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ParameterBoxesTest, OutOfRangeAsksWhetherToUseTheBound) {
    struct Row {
        bool jitter;
        const char* entry;
        const char* text;
    };
    const Row rows[] = {
        {false, "9", "Buffer size too high\r\nDo you want to use high value of 8?"},
        {false, "8.4", "Buffer size too high\r\nDo you want to use high value of 8?"},
        {false, "0", "Buffer size too low\r\nDo you want to use low value of 1?"},
        {true, "", "Jitter rejection too low\r\nDo you want to use low value of 50?"},
        {true, "256", "Jitter rejection too high\r\nDo you want to use high value of 255?"},
    };
    for (const Row& r : rows) {
        boxes.shown.clear();
        r.jitter ? params.mnuSetSSF_Click() : params.mnuSetFSize_Click();
        state.txtSS.text = QString::fromLatin1(r.entry);
        boxes.answers = {Answer::Cancel};
        params.cmdSS_Click();
        ASSERT_EQ(boxes.shown.size(), 1u) << r.entry;
        EXPECT_EQ(boxes.shown[0].text, QString::fromLatin1(r.text));
        EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Value out of range!"));
        EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::YesNoCancel);
        EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::None);
    }
}

TEST_F(ParameterBoxesTest, NoKeepsTheBoxOpenWithTheRejectedText) {
    params.mnuSetFSize_Click();
    state.txtSS.text = QStringLiteral("12");
    boxes.answers = {Answer::No};
    params.cmdSS_Click();
    EXPECT_TRUE(state.fraSetStuff.visible);
    EXPECT_EQ(state.txtSS.text, QStringLiteral("12"));
    EXPECT_EQ(state.FilterSize, 3);
    EXPECT_EQ(state.MsgBoxAnswer, ParameterBoxes::kAnswerNo);
}

TEST_F(ParameterBoxesTest, YesStoresTheBound) {
    params.mnuSetSSF_Click();
    state.txtSS.text = QString();
    boxes.answers = {Answer::Yes};
    params.cmdSS_Click();
    EXPECT_EQ(state.JitterRejection, 50);
    EXPECT_EQ(state.FilterSize, 3);
    EXPECT_FALSE(state.fraSetStuff.visible);
    EXPECT_EQ(state.MsgBoxAnswer, ParameterBoxes::kAnswerYes);

    params.mnuSetFSize_Click();
    state.txtSS.text = QStringLiteral("9");
    boxes.answers = {Answer::Yes};
    params.cmdSS_Click();
    EXPECT_EQ(state.FilterSize, 8);
    EXPECT_EQ(state.JitterRejection, 50);
}

TEST_F(ParameterBoxesTest, CancelHidesWithoutStoring) {
    params.mnuSetSSF_Click();
    state.txtSS.text = QStringLiteral("300");
    boxes.answers = {Answer::Cancel};
    params.cmdSS_Click();
    EXPECT_FALSE(state.fraSetStuff.visible);
    EXPECT_EQ(state.JitterRejection, 100);
    EXPECT_EQ(state.MsgBoxAnswer, ParameterBoxes::kAnswerCancel);
}

TEST_F(ParameterBoxesTest, AnyOtherCaptionMeansFilterSize) {
    state.fraSetStuff.caption = QStringLiteral("Adjust Jitter Rejection : Value 50 to 255 "); // not exact
    state.fraSetStuff.visible = true;
    state.txtSS.text = QStringLiteral("6");
    params.cmdSS_Click();
    EXPECT_EQ(state.FilterSize, 6);
    EXPECT_EQ(state.JitterRejection, 100);
}

} // namespace
