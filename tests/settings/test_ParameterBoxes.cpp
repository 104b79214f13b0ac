#include "MonitorFakes.h"
#include "settings/ParameterBoxes.h"

#include <gtest/gtest.h>

namespace aurivo {

namespace {

using Answer = MessageBoxes::Answer;

class ParameterBoxesTest : public ::testing::Test {
  protected:
    // Opens the box on a sensitivity as the settings file could hold it.
    void openSensitivity(const char* text) {
        openSensitivity(Sensitivity::asRead(QString::fromLatin1(text)));
    }
    void openSensitivity(const Sensitivity& sensitivity) {
        params.setSensitivity(sensitivity);
        params.openSensitivityBox();
    }
    QString sensitivityText() const { return params.sensitivity().text(); }

    std::tuple<int, int, int, QString> slider() const {
        return {params.slider().value, params.slider().largeChange, params.slider().smallChange,
                params.sliderValueText()};
    }

    ScriptedBoxes boxes;
    ParameterBoxes params{boxes};
};

TEST_F(ParameterBoxesTest, SensitivityBoxShowsTheStoredValueOkStoresCancelRestores) {
    params.onSliderKeyDown(ParameterBoxes::kCtrl); // steps 100 and 10 until the box opens
    openSensitivity("250");
    EXPECT_TRUE(params.sensitivityBoxShown());
    EXPECT_EQ(slider(), std::tuple(250, 10, 1, QStringLiteral("250")));
    params.moveSlider(480);
    EXPECT_EQ(sensitivityText(), QStringLiteral("250")); // nothing stored while open
    params.acceptSensitivity();
    EXPECT_EQ(sensitivityText(), QStringLiteral("480"));
    EXPECT_FALSE(params.sensitivityBoxShown());

    // Cancel restores the label but not the slider.
    openSensitivity("25");
    params.moveSlider(600);
    params.cancelSensitivity();
    EXPECT_FALSE(params.sensitivityBoxShown());
    EXPECT_EQ(sensitivityText(), QStringLiteral("25"));
    EXPECT_EQ(slider(), std::tuple(600, 10, 1, QStringLiteral("25")));

    openSensitivity("30.5"); // the slider takes the value rounded halves to even, and reports its move
    EXPECT_EQ(slider(), std::tuple(30, 10, 1, QStringLiteral("30")));
    params.moveSlider(31); // a caption such as the auto-ranging's " 31" is kept when the slider stays
    openSensitivity(Sensitivity::widened(31));
    EXPECT_EQ(params.sliderValueText(), QStringLiteral(" 31"));

    // Out of range becomes 20 for good, even if cancelled; OK clamps what the slider shows.
    for (const char* bad : {"19", "1001", "abc"}) {
        openSensitivity(bad);
        EXPECT_EQ(params.slider().value, 20) << bad;
        params.cancelSensitivity();
        EXPECT_EQ(sensitivityText(), QStringLiteral("20")) << bad;
    }
    for (const auto& [shown, stored] : {std::pair{5, "20"}, {1500, "1000"}, {20, "20"}, {1000, "1000"}}) {
        params.openSensitivityBox();
        params.moveSlider(shown);
        params.acceptSensitivity();
        EXPECT_EQ(sensitivityText(), QString::fromLatin1(stored)) << shown;
    }
}

TEST_F(ParameterBoxesTest, StepSizesFollowModifierKeys) {
    QStringList seen; // per shift state 0..7 (Shift 1, Ctrl 2, Alt 4): the key's large and small step, then
                      // the mouse's large step; each press follows one that sets other steps
    for (int shift = 0; shift < 8; ++shift) {
        const int other = shift == ParameterBoxes::kShift ? ParameterBoxes::kCtrl : ParameterBoxes::kShift;
        params.onSliderKeyDown(other);
        params.onSliderKeyDown(shift);
        const int keyLarge = params.slider().largeChange;
        params.onSliderMouseDown(other);
        params.onSliderMouseDown(shift);
        seen << QStringLiteral("%1/%2/%3")
                    .arg(keyLarge)
                    .arg(params.slider().smallChange)
                    .arg(params.slider().largeChange);
    }
    EXPECT_EQ(seen.join(QLatin1Char(' ')),
              QStringLiteral("10/1/10 50/5/50 100/10/100 10/1/10 1/1/1 5/1/5 10/1/10 10/1/10"));
}

TEST_F(ParameterBoxesTest, EntryBoxStoresInRangeValuesAndAsksWhetherToUseTheBound) {
    EXPECT_EQ(params.entryMode(), ParameterBoxes::EntryMode::None);
    EXPECT_EQ(params.entryCaption(), QString());
    params.setFilterSize(4);
    params.openFilterSizeBox();
    EXPECT_EQ(params.entryMode(), ParameterBoxes::EntryMode::FilterSize);
    EXPECT_EQ(params.entryCaption(), QStringLiteral("Set Filter Size : Value 1 to 8"));
    EXPECT_EQ(params.entryText(), QStringLiteral("4"));
    params.setJitterRejection(120);
    params.openJitterBox();
    EXPECT_EQ(params.entryMode(), ParameterBoxes::EntryMode::JitterRejection);
    EXPECT_EQ(params.entryCaption(), QStringLiteral("Adjust Jitter Rejection : Value 50 to 255"));
    EXPECT_EQ(params.entryText(), QStringLiteral("120"));
    EXPECT_TRUE(params.entryBoxShown());
    params.cancelEntry();
    EXPECT_FALSE(params.entryBoxShown());
    EXPECT_EQ(params.entryMode(), ParameterBoxes::EntryMode::JitterRejection); // kept while hidden

    const QString high8 = QStringLiteral("Buffer size too high\r\nDo you want to use high value of 8?");
    const QString low50 = QStringLiteral("Jitter rejection too low\r\nDo you want to use low value of 50?");
    struct Row {
        bool jitter;
        const char* entry;
        Answer answer;
        QString question; // empty: none asked
        int filter, jitterAfter;
        bool open;
    };
    const Row rows[] = {
        {false, "2.5", Answer::Ok, {}, 2, 100, false}, // rounded halves to even
        {false, "7.5", Answer::Ok, {}, 8, 100, false},
        {false, "1", Answer::Ok, {}, 1, 100, false},
        {true, "200xyz", Answer::Ok, {}, 3, 200, false},
        {true, "255", Answer::Ok, {}, 3, 255, false},
        {false, "8.4", Answer::Cancel, high8, 3, 100, false}, // Cancel hides without storing
        {false, "0", Answer::Cancel,
         QStringLiteral("Buffer size too low\r\nDo you want to use low value of 1?"), 3, 100, false},
        {true, "", Answer::Cancel, low50, 3, 100, false},
        {true, "256", Answer::Cancel,
         QStringLiteral("Jitter rejection too high\r\nDo you want to use high value of 255?"), 3, 100, false},
        {false, "12", Answer::No, high8, 3, 100, true}, // No keeps the box open with the rejected text
        {true, "", Answer::Yes, low50, 3, 50, false},   // Yes stores the bound
        {false, "9", Answer::Yes, high8, 8, 100, false},
    };
    for (const Row& r : rows) {
        params.setFilterSize(3);
        params.setJitterRejection(100);
        r.jitter ? params.openJitterBox() : params.openFilterSizeBox();
        params.setEntryText(QString::fromLatin1(r.entry));
        boxes.shown.clear();
        boxes.answers = {r.answer};
        params.acceptEntry();
        ASSERT_EQ(boxes.shown.size(), r.question.isEmpty() ? 0u : 1u) << r.entry;
        if (!r.question.isEmpty()) {
            EXPECT_EQ(boxes.shown[0].text, r.question);
            EXPECT_EQ(boxes.count(QStringLiteral("Value out of range!")), 1);
            EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::YesNoCancel);
        }
        EXPECT_EQ(std::tuple(params.filterSize(), params.jitterRejection(), params.entryBoxShown()),
                  std::tuple(r.filter, r.jitterAfter, r.open))
            << r.entry;
    }
}

} // namespace

} // namespace aurivo
