#include "MonitorFakes.h"
#include "settings/ParameterBoxes.h"

#include <gtest/gtest.h>

namespace aurivo {

namespace {

using Answer = MessageBoxes::Answer;

class ParameterBoxesTest : public ::testing::Test {
  protected:
    void openSensitivity(const char* caption) {
        params.setSensitivityText(QString::fromLatin1(caption));
        params.openSensitivityBox();
    }
    // Opens the filter-size or jitter box, types `entry` and presses the button, answering `answer`.
    void enter(bool jitter, const char* entry, Answer answer = Answer::Ok) {
        jitter ? params.openJitterBox() : params.openFilterSizeBox();
        params.setEntryText(QString::fromLatin1(entry));
        boxes.shown.clear();
        boxes.answers = {answer};
        params.acceptEntry();
    }

    ScriptedBoxes boxes;
    ParameterBoxes params{boxes};
};

TEST_F(ParameterBoxesTest, SensitivityBoxShowsTheStoredValueOkStoresCancelRestores) {
    params.onSliderKeyDown(ParameterBoxes::kCtrl); // large 100, small 10
    openSensitivity("250");
    EXPECT_TRUE(params.sensitivityBoxShown());
    EXPECT_EQ(params.slider().value, 250);
    EXPECT_EQ(params.sliderValueText(), QStringLiteral("250"));
    EXPECT_EQ(params.slider().largeChange, 10);
    EXPECT_EQ(params.slider().smallChange, 1);
    params.moveSlider(480);
    EXPECT_EQ(params.sliderValueText(), QStringLiteral("480"));
    EXPECT_EQ(params.sensitivityText(), QStringLiteral("250")); // nothing stored while open
    params.acceptSensitivity();
    EXPECT_EQ(params.sensitivityText(), QStringLiteral("480"));
    EXPECT_FALSE(params.sensitivityBoxShown());

    // Cancel restores the label but not the slider.
    openSensitivity("25");
    params.moveSlider(600);
    params.cancelSensitivity();
    EXPECT_EQ(params.sliderValueText(), QStringLiteral("25"));
    EXPECT_EQ(params.sensitivityText(), QStringLiteral("25"));
    EXPECT_EQ(params.slider().value, 600);

    openSensitivity("30.5"); // the slider takes the value rounded halves to even, and reports its move
    EXPECT_EQ(params.slider().value, 30);
    EXPECT_EQ(params.sliderValueText(), QStringLiteral("30"));
    params.moveSlider(31); // a caption such as the auto-ranging's " 31" is kept when the slider stays
    openSensitivity(" 31");
    EXPECT_EQ(params.sliderValueText(), QStringLiteral(" 31"));
}

TEST_F(ParameterBoxesTest, OutOfRangeSensitivityBecomes20EvenIfCancelledAndOkClamps) {
    for (const char* bad : {"15", "1001", "", "abc"}) {
        openSensitivity(bad);
        EXPECT_EQ(params.sliderValueText(), QStringLiteral("20")) << bad;
        EXPECT_EQ(params.slider().value, 20) << bad;
        params.cancelSensitivity();
        EXPECT_EQ(params.sensitivityText(), QStringLiteral("20")) << bad;
    }
    using Row = std::pair<const char*, const char*>; // shown, stored
    for (const auto& [shown, stored] :
         {Row{"5", "20"}, Row{"1500", "1000"}, Row{"20", "20"}, Row{"1000", "1000"}}) {
        params.openSensitivityBox();
        params.moveSlider(QString::fromLatin1(shown).toInt());
        params.acceptSensitivity();
        EXPECT_EQ(params.sensitivityText(), QString::fromLatin1(stored)) << shown;
        EXPECT_FALSE(params.sensitivityBoxShown());
    }
}

TEST_F(ParameterBoxesTest, StepSizesFollowModifierKeys) {
    struct Row {
        int shift, large, small;
    };
    for (const Row& r : {Row{0, 10, 1},
                         {1, 50, 5},
                         {2, 100, 10},
                         {4, 1, 1},
                         {5, 5, 1},
                         {3, 10, 1},
                         {6, 10, 1},
                         {7, 10, 1}}) {
        // Steps that differ from the row's before each press.
        const int other = r.shift == ParameterBoxes::kShift ? ParameterBoxes::kCtrl : ParameterBoxes::kShift;
        params.onSliderKeyDown(other);
        params.onSliderKeyDown(r.shift);
        EXPECT_EQ(params.slider().largeChange, r.large) << "key " << r.shift;
        EXPECT_EQ(params.slider().smallChange, r.small) << "key " << r.shift;
        params.onSliderMouseDown(other);
        params.onSliderMouseDown(r.shift);
        EXPECT_EQ(params.slider().largeChange, r.large) << "mouse " << r.shift;
        EXPECT_EQ(params.slider().smallChange, r.small) << "mouse leaves the small step " << r.shift;
    }
}

TEST_F(ParameterBoxesTest, EntryBoxStoresInRangeValuesInItsMode) {
    params.setFilterSize(4);
    params.setJitterRejection(120);
    params.openFilterSizeBox();
    EXPECT_EQ(params.entryCaption(), QStringLiteral("Set Filter Size : Value 1 to 8"));
    EXPECT_TRUE(params.entryBoxShown());
    EXPECT_EQ(params.entryText(), QStringLiteral("4"));
    params.openJitterBox();
    EXPECT_EQ(params.entryCaption(), QStringLiteral("Adjust Jitter Rejection : Value 50 to 255"));
    EXPECT_EQ(params.entryText(), QStringLiteral("120"));
    params.cancelEntry();
    EXPECT_FALSE(params.entryBoxShown());

    enter(false, "2.5"); // rounded halves to even
    EXPECT_EQ(params.filterSize(), 2);
    EXPECT_FALSE(params.entryBoxShown());
    enter(false, "7.5");
    EXPECT_EQ(params.filterSize(), 8);
    enter(true, "200xyz");
    EXPECT_EQ(params.jitterRejection(), 200);
    EXPECT_EQ(params.filterSize(), 8);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ParameterBoxesTest, OutOfRangeAsksWhetherToUseTheBound) {
    const std::tuple<bool, const char*, const char*> rows[] = {
        {false, "9", "Buffer size too high\r\nDo you want to use high value of 8?"},
        {false, "8.4", "Buffer size too high\r\nDo you want to use high value of 8?"},
        {false, "0", "Buffer size too low\r\nDo you want to use low value of 1?"},
        {true, "", "Jitter rejection too low\r\nDo you want to use low value of 50?"},
        {true, "256", "Jitter rejection too high\r\nDo you want to use high value of 255?"},
    };
    for (const auto& [jitter, entry, text] : rows) {
        enter(jitter, entry, Answer::Cancel);
        ASSERT_EQ(boxes.shown.size(), 1u) << entry;
        EXPECT_EQ(boxes.shown[0].text, QString::fromLatin1(text));
        EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Value out of range!"));
        EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::YesNoCancel);
        EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::None);
        // Cancel hides without storing.
        EXPECT_FALSE(params.entryBoxShown());
        EXPECT_EQ(params.filterSize(), 3);
        EXPECT_EQ(params.jitterRejection(), 100);
    }
    // No keeps the box open with the rejected text; Yes stores the bound.
    enter(false, "12", Answer::No);
    EXPECT_TRUE(params.entryBoxShown());
    EXPECT_EQ(params.entryText(), QStringLiteral("12"));
    EXPECT_EQ(params.filterSize(), 3);
    enter(true, "", Answer::Yes);
    EXPECT_EQ(params.jitterRejection(), 50);
    EXPECT_FALSE(params.entryBoxShown());
    enter(false, "9", Answer::Yes);
    EXPECT_EQ(params.filterSize(), 8);
    EXPECT_EQ(params.jitterRejection(), 50);
}

} // namespace

} // namespace aurivo
