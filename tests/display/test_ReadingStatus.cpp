#include "app/MonitorState.h"
#include "display/ReadingStatus.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

class ReadingStatusTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c()); // "." as the decimal point of the resistance label
        state.mnuStart.enabled = false;    // a session runs
        state.GraphSpanPercent = 25;
        state.RawReading = 8123;
        state.StatusByte = 4;
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    QString Percent() const { return state.LblShnStf[1].caption; }
    QString Ohms() const { return state.LblShnStf[3].caption; }
    QString Conductance() const { return state.LblShnStf[5].caption; }

    MonitorState state;
    ReadingStatus panel{state};
};

TEST_F(ReadingStatusTest, ResistanceAndConductanceOfHalfScale) {
    state.FilteredReading = 8192;
    panel.ShowReadingStatus();
    EXPECT_EQ(Ohms(), QStringLiteral("469.9 kOhms"));
    EXPECT_EQ(Conductance(), QStringLiteral("2.12 uS"));
    EXPECT_EQ(state.LblShnStf[7].caption, QStringLiteral("8123"));
}

TEST_F(ReadingStatusTest, FullScaleShowsZeroOhmsAndChangesNothingElse) {
    state.FilteredReading = 16383;
    state.lblSysADCstart.caption = QStringLiteral(" 8192");
    state.LblShnStf[1].caption = QStringLiteral("old %");
    state.LblShnStf[5].caption = QStringLiteral("old S");
    state.LblShnStf[7].caption = QStringLiteral("old data");
    state.LevelTarget = 123;
    panel.ShowReadingStatus();
    EXPECT_EQ(Ohms(), QStringLiteral("0.0 Ohms"));
    EXPECT_EQ(Percent(), QStringLiteral("old %"));
    EXPECT_EQ(Conductance(), QStringLiteral("old S"));
    EXPECT_EQ(state.LblShnStf[7].caption, QStringLiteral("old data"));
    EXPECT_EQ(state.LevelTarget, 123.0f);
}

TEST_F(ReadingStatusTest, ConductanceUnitsAndCutting) {
    // 16366 -> about 488 ohms -> 2048 microsiemens; 16382 -> 28.7 ohms -> 34.8 mS.
    state.FilteredReading = 16366;
    panel.ShowReadingStatus();
    EXPECT_EQ(Conductance(), QStringLiteral("2.04 mS"));
    EXPECT_EQ(Ohms(), QStringLiteral("488.2 Ohms"));
    state.FilteredReading = 16382;
    panel.ShowReadingStatus();
    EXPECT_EQ(Conductance(), QStringLiteral("34.8 mS"));

    EXPECT_EQ(ReadingStatus::ConductanceText(2500000), QStringLiteral("2.5  S"));
    EXPECT_EQ(ReadingStatus::ConductanceText(1000000), QStringLiteral("1  S"));
    EXPECT_EQ(ReadingStatus::ConductanceText(123.4), QStringLiteral("123 uS")); // point in 4th place dropped
    EXPECT_EQ(ReadingStatus::ConductanceText(999.99), QStringLiteral("999 uS"));
    EXPECT_EQ(ReadingStatus::ConductanceText(1000), QStringLiteral("1 mS"));
    EXPECT_EQ(ReadingStatus::ConductanceText(0.5), QStringLiteral(".5 uS"));
    EXPECT_EQ(ReadingStatus::ConductanceText(1234.5), QStringLiteral("1.23 mS"));
}

TEST_F(ReadingStatusTest, PercentageIsTruncatedNotRounded) {
    EXPECT_EQ(ReadingStatus::PercentText(12.3456), QStringLiteral(" 12.3"));
    EXPECT_EQ(ReadingStatus::PercentText(-4.75), QStringLiteral("-4.7"));
    EXPECT_EQ(ReadingStatus::PercentText(-100), QStringLiteral("0"));
    EXPECT_EQ(ReadingStatus::PercentText(0), QStringLiteral("0"));
    EXPECT_EQ(ReadingStatus::PercentText(0.05), QStringLiteral(" .0"));
    EXPECT_EQ(ReadingStatus::PercentText(1.5e-5), QStringLiteral("0"));
    EXPECT_EQ(ReadingStatus::PercentText(19.99), QStringLiteral(" 19.9"));
}

TEST_F(ReadingStatusTest, ReadingBelowThresholdWithAStartValue) {
    state.FilteredReading = 300;
    state.lblSysADCstart.caption = QStringLiteral(" 8192");
    state.LblShnStf[3].caption = QStringLiteral("kept");
    panel.ShowReadingStatus();
    EXPECT_EQ(Percent(), QStringLiteral("0 %")); // -100 has no decimal point
    EXPECT_EQ(state.LevelTarget, 1275.0f);
    EXPECT_EQ(Ohms(), QStringLiteral("kept"));
}

TEST_F(ReadingStatusTest, PercentageAndLevelAgainstTheStartValue) {
    state.FilteredReading = 8192;
    state.lblSysADCstart.caption = QStringLiteral(" 8192");
    panel.ShowReadingStatus();
    EXPECT_EQ(Percent(), QStringLiteral("0 %"));
    EXPECT_EQ(state.LevelTarget, 255.0f);

    // 7000 against a start of 8192: R = 630001.43, Rs = 469942.63, P = 34.0594... %
    state.FilteredReading = 7000;
    panel.ShowReadingStatus();
    EXPECT_EQ(Percent(), QStringLiteral(" 34.0 %"));
    EXPECT_EQ(state.LevelTarget, -93.0f); // floor((1 - 34.0594 / 25) x 255) = floor(-92.3)

    // A falling resistance raises the level above 255.
    state.FilteredReading = 9000;
    panel.ShowReadingStatus();
    EXPECT_EQ(Percent(), QStringLiteral("-17.9 %")); // -17.957...
    EXPECT_EQ(state.LevelTarget, 438.0f);
}

TEST_F(ReadingStatusTest, FailingStepsAreSkipped) {
    state.FilteredReading = 8192;
    state.LevelTarget = 77;
    state.GraphSpanPercent = 0; // no division: level unchanged
    state.lblSysADCstart.caption = QStringLiteral(" 8000");
    panel.ShowReadingStatus();
    EXPECT_EQ(state.LevelTarget, 77.0f);
    EXPECT_EQ(Percent(), QStringLiteral("-4.5 %")); // -4.58 truncated

    // A start value at full scale has no resistance: the percentage step fails, the level uses P = 0.
    state.GraphSpanPercent = 25;
    state.LblShnStf[1].caption = QStringLiteral("kept");
    state.lblSysADCstart.caption = QStringLiteral("16383");
    panel.ShowReadingStatus();
    EXPECT_EQ(Percent(), QStringLiteral("kept"));
    EXPECT_EQ(state.LevelTarget, 255.0f);

    // A tiny start value overflows the resistance; a text that is no number counts as no start value.
    for (const char* caption : {"1E-300", "abc", " "}) {
        state.LevelTarget = 0;
        state.lblSysADCstart.caption = QString::fromLatin1(caption);
        panel.ShowReadingStatus();
        EXPECT_EQ(Percent(), QStringLiteral("kept")) << caption;
        EXPECT_EQ(state.LevelTarget, 255.0f) << caption;
    }
}

TEST_F(ReadingStatusTest, DataLabelOnlyWhileASessionRuns) {
    state.FilteredReading = 8192;
    state.StatusByte = 5; // probe error
    panel.ShowReadingStatus();
    EXPECT_EQ(state.LblShnStf[7].backColor, 0x008080FFu);
    EXPECT_EQ(state.LblShnStf[7].toolTip, QStringLiteral("Probe error"));

    state.StatusByte = 4;
    panel.ShowReadingStatus();
    EXPECT_EQ(state.LblShnStf[7].backColor, 0x0080FF80u);
    EXPECT_EQ(state.LblShnStf[7].toolTip, QStringLiteral("Probe OK"));

    state.mnuStart.enabled = true; // stopped
    state.RawReading = 1;
    state.StatusByte = 5;
    panel.ShowReadingStatus();
    EXPECT_EQ(state.LblShnStf[7].caption, QStringLiteral("8123"));
    EXPECT_EQ(state.LblShnStf[7].backColor, 0x0080FF80u);
    EXPECT_EQ(Ohms(), QStringLiteral("469.9 kOhms")); // the rest still updates
}

} // namespace
