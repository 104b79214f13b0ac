#include "core/NumberRules.h"
#include "display/ReadingStatus.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace aurivo;

class ReadingStatusTest : public ::testing::Test {
  protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    // Shows `reading` with the filtered reading and the start reading as its caption reads.
    void show(int32_t filtered, const char* start = nullptr) {
        context.filteredReading = filtered;
        if (start) context.startReading = numbers::valueOf(QString::fromLatin1(start));
        if (const auto level = panel.showReading(reading, context)) levelTarget = *level;
    }
    QString percent() const { return ReadingStatus::percentCaption(panel.shown().percentChange); }
    QString ohms() const { return ReadingStatus::ohmsCaption(panel.shown().ohms); }
    QString conductance() const { return ReadingStatus::conductanceCaption(panel.shown().microsiemens); }
    const ReadingStatus::DataCell& data() const { return panel.shown().data; }

    ReadingStatus panel;
    Reading reading{8123, 4};
    ReadingStatus::Context context{0, true, 0, 25}; // a session runs, span 25 %
    float levelTarget = 0;
};

TEST_F(ReadingStatusTest, ResistanceAndConductance) {
    const std::pair<int32_t, const char*> rows[] = {
        {8192, "469.9 kOhms / 2.12 uS"}, {16366, "488.2 Ohms / 2.04 mS"},
        {16382, "28.7 Ohms / 34.8 mS"},  {16383, "0.0 Ohms / 34.8 mS"}, // full scale: no conductance
        {319, "0.0 Ohms / 34.8 mS"}, // nothing below 320 gives a resistance
        {320, "23.6 MOhms / .042 uS"}};
    for (const auto& [raw, expected] : rows) {
        show(raw);
        EXPECT_EQ(ohms() + " / " + conductance(), QString::fromLatin1(expected)) << raw;
    }
    QStringList texts; // 999 uS: a point in 4th place is dropped
    for (double microsiemens : {2500000.0, 1000000.0, 123.4, 999.99, 1000.0, 0.5, 1234.5})
        texts << ReadingStatus::conductanceText(microsiemens);
    EXPECT_EQ(texts.join(QLatin1Char('|')), QStringLiteral("2.5  S|1  S|123 uS|999 uS|1 mS|.5 uS|1.23 mS"));
}

TEST(ReadingStatus, PercentageIsTruncatedNotRounded) {
    QStringList texts;
    for (double percent : {12.3456, -4.75, -100.0, 0.0, 0.05, 1.5e-5, 19.99})
        texts << ReadingStatus::percentText(percent);
    EXPECT_EQ(texts.join(QLatin1Char('|')), QStringLiteral(" 12.3|-4.7|0|0| .0|0| 19.9"));
}

TEST_F(ReadingStatusTest, PercentageAndLevelAgainstTheStartValue) {
    // 7000: R = 630001.43, Rs = 469942.63, P = 34.0594 %, level floor((1 - 34.0594 / 25) x 255) = -93.
    // Full scale changes nothing but the resistance. A falling resistance raises the level above 255;
    // below the threshold P is -100 (no decimal point).
    const std::pair<int32_t, const char*> rows[] = {{8192, "0 % 255"},
                                                    {7000, " 34.0 % -93"},
                                                    {16383, " 34.0 % -93"},
                                                    {9000, "-17.9 % 438"},
                                                    {300, "0 % 1275"}};
    for (const auto& [raw, expected] : rows) {
        show(raw, " 8192");
        EXPECT_EQ(percent() + " " + QString::number(levelTarget), QString::fromLatin1(expected)) << raw;
    }
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
    for (const char* caption : {"16383", "1E-300", "abc", " "}) {
        levelTarget = 0;
        show(8192, caption);
        EXPECT_EQ(percent(), QStringLiteral("-4.5 %")) << caption;
        EXPECT_EQ(levelTarget, 255.0f) << caption;
    }
}

TEST_F(ReadingStatusTest, DataCellOnlyWhileASessionRunsAndItsLight) {
    using Light = ReadingStatus::DataLight;
    using Probe = ReadingStatus::Probe;
    EXPECT_EQ(ohms() + percent() + conductance(), "00 %0"); // nothing shown yet
    int changes = 0;
    panel.changed.subscribe([&] { ++changes; });
    for (auto [status, light, probe] :
         {std::tuple{5, Light::Bad, Probe::Error}, {4, Light::Good, Probe::Ok}}) {
        reading.status = status;
        show(8192);
        EXPECT_EQ(data().light, light);
        EXPECT_EQ(data().probe, probe);
    }
    EXPECT_EQ(ReadingStatus::probeText(data().probe), "Probe OK");
    show(8192); // the same values again: no change told
    EXPECT_EQ(changes, 2);
    context.sessionRunning = false; // stopped: the rest still updates
    reading = Reading{1, 5};
    show(9000);
    EXPECT_EQ(ReadingStatus::dataCaption(data()), QStringLiteral("8123"));
    EXPECT_EQ(data().light, Light::Good);
    EXPECT_EQ(ohms(), QStringLiteral("385.6 kOhms"));
    // No data: red with "No Data", the probe state kept; the stop makes the cell idle and the probe unknown.
    panel.markNoData();
    EXPECT_EQ(ReadingStatus::dataCaption(data()), QStringLiteral("No Data"));
    EXPECT_EQ(data().light, Light::Bad);
    EXPECT_EQ(data().probe, Probe::Ok);
    panel.markDataArrived();
    EXPECT_EQ(data().light, Light::Good);
    panel.resetDataLabel();
    EXPECT_EQ(data().light, Light::Idle);
    EXPECT_EQ(ReadingStatus::probeText(data().probe), QString());
    EXPECT_EQ(ReadingStatus::dataCaption(data()), QStringLiteral("No Data"));
}
