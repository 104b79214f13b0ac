#include "core/NumberRules.h"
#include "display/ReadingStatus.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

class ReadingStatusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c()); // "." as the decimal point of the resistance label
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    // Shows `reading` with the filtered reading and the start reading as its caption reads.
    void show(int32_t filtered, const char* start = nullptr) {
        context.filteredReading = filtered;
        if (start) context.startReading = numbers::valueOf(QString::fromLatin1(start));
        if (const auto level = panel.showReading(reading, context)) levelTarget = *level;
    }
    QString percent() const { return panel.labels()[1].caption; }
    QString ohms() const { return panel.labels()[3].caption; }
    QString conductance() const { return panel.labels()[5].caption; }
    const LabelModel& data() const { return panel.labels()[7]; }

    ReadingStatus panel;
    Reading reading{8123, 4};
    ReadingStatus::Context context{0, true, 0, 25}; // a session runs, span 25 %
    float levelTarget = 0;
};

TEST_F(ReadingStatusTest, ResistanceAndConductance) {
    struct Row {
        int32_t reading;
        const char *ohms, *conductance;
    };
    for (const Row& r : {Row{8192, "469.9 kOhms", "2.12 uS"}, Row{16366, "488.2 Ohms", "2.04 mS"},
                         Row{16382, "28.7 Ohms", "34.8 mS"}}) {
        show(r.reading);
        EXPECT_EQ(ohms(), QString::fromLatin1(r.ohms)) << r.reading;
        EXPECT_EQ(conductance(), QString::fromLatin1(r.conductance)) << r.reading;
    }
    EXPECT_EQ(data().caption, QStringLiteral("8123"));
    show(319); // below the lowest reading that gives a resistance
    const QString below = ohms();
    show(320);
    EXPECT_NE(ohms(), below);
    const std::pair<double, const char*> texts[] = {
        {2500000, "2.5  S"}, {1000000, "1  S"}, {123.4, "123 uS"},
        {999.99, "999 uS"}, // point in 4th place dropped
        {1000, "1 mS"},      {0.5, ".5 uS"},    {1234.5, "1.23 mS"}};
    for (const auto& [microsiemens, text] : texts)
        EXPECT_EQ(ReadingStatus::conductanceText(microsiemens), QString::fromLatin1(text)) << microsiemens;
}

TEST_F(ReadingStatusTest, FullScaleShowsZeroOhmsAndChangesNothingElse) {
    show(7000, " 8192"); // the percentage, conductance, data caption and level of an earlier packet
    const QString oldPercent = percent(), oldConductance = conductance();
    const float oldLevel = levelTarget;
    reading.raw = 4321;
    show(16383, " 8192");
    EXPECT_EQ(ohms(), QStringLiteral("0.0 Ohms"));
    EXPECT_EQ(percent(), oldPercent);
    EXPECT_EQ(conductance(), oldConductance);
    EXPECT_EQ(data().caption, QStringLiteral("8123"));
    EXPECT_EQ(levelTarget, oldLevel);
}

TEST_F(ReadingStatusTest, PercentageIsTruncatedNotRounded) {
    const std::pair<double, const char*> rows[] = {{12.3456, " 12.3"}, {-4.75, "-4.7"}, {-100, "0"},
                                                   {0, "0"},           {0.05, " .0"},   {1.5e-5, "0"},
                                                   {19.99, " 19.9"}};
    for (const auto& [percent, text] : rows)
        EXPECT_EQ(ReadingStatus::percentText(percent), QString::fromLatin1(text)) << percent;
}

TEST_F(ReadingStatusTest, PercentageAndLevelAgainstTheStartValue) {
    struct Row {
        int32_t reading;
        const char* percent;
        float level;
    };
    // 7000: R = 630001.43, Rs = 469942.63, P = 34.0594 %, level floor((1 - 34.0594 / 25) x 255) = -93.
    // A falling resistance raises the level above 255; below the threshold P is -100 (no decimal point).
    for (const Row& r : {Row{8192, "0 %", 255}, Row{7000, " 34.0 %", -93}, Row{9000, "-17.9 %", 438},
                         Row{300, "0 %", 1275}}) {
        show(r.reading, " 8192");
        EXPECT_EQ(percent(), QString::fromLatin1(r.percent)) << r.reading;
        EXPECT_EQ(levelTarget, r.level) << r.reading;
    }
    EXPECT_EQ(ohms(), QStringLiteral("385.6 kOhms")); // from 9000: not updated below the threshold
}

TEST_F(ReadingStatusTest, FailingStepsAreSkipped) {
    levelTarget = 77;
    context.graphSpanPercent = 0; // no division: level unchanged
    show(8192, " 8000");
    EXPECT_EQ(levelTarget, 77.0f);
    EXPECT_EQ(percent(), QStringLiteral("-4.5 %")); // -4.58 truncated
    // A start value without a resistance (full scale, tiny, or no number): the percentage step fails
    // and the level uses P = 0.
    context.graphSpanPercent = 25;
    const QString kept = percent();
    for (const char* caption : {"16383", "1E-300", "abc", " "}) {
        levelTarget = 0;
        show(8192, caption);
        EXPECT_EQ(percent(), kept) << caption;
        EXPECT_EQ(levelTarget, 255.0f) << caption;
    }
}

TEST_F(ReadingStatusTest, DataLabelOnlyWhileASessionRuns) {
    reading.status = 5; // probe error
    show(8192);
    EXPECT_EQ(data().backColor, 0x008080FFu);
    EXPECT_EQ(data().toolTip, QStringLiteral("Probe error"));
    reading.status = 4;
    show(8192);
    EXPECT_EQ(data().backColor, 0x0080FF80u);
    EXPECT_EQ(data().toolTip, QStringLiteral("Probe OK"));
    context.sessionRunning = false; // stopped
    reading = Reading{1, 5};
    show(8192);
    EXPECT_EQ(data().caption, QStringLiteral("8123"));
    EXPECT_EQ(data().backColor, 0x0080FF80u);
    EXPECT_EQ(ohms(), QStringLiteral("469.9 kOhms")); // the rest still updates
}

} // namespace

} // namespace aurivo
