#include "core/NumberRules.h"
#include "display/GraphPlotter.h"
#include "recording/SessionFiles.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace aurivo {

namespace {

using numbers::numberText;
using numbers::ohmsFromReading;

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kMagenta = 0x00FF00FF;
constexpr uint32_t kBlack = 0x00000000;

QByteArray singleOhms(double ohms) {
    return numberText(double(float(ohms))).toLatin1();
}

class GraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
        graph.startSession(); // a running session, as the session start leaves it
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    // A filter window holding `reading` (the first readings only fill the window), then the given start
    // value and span captions.
    void prime(int32_t reading, int filterSize = 1, const char* start = " 8192", const char* percent = "25") {
        inputs.filterSize = filterSize;
        feed(reading, filterSize);
        captions(start, percent);
    }
    // The start value and sensitivity captions, read by the value rule as the monitor reads them.
    void captions(const char* start, const char* percent) {
        inputs.startReading = numbers::valueOf(QString::fromLatin1(start));
        sensitivity = QString::fromLatin1(percent);
    }
    // Plots valid readings; an auto-range widening becomes the sensitivity caption, as in the monitor.
    void feed(int32_t raw, int times = 1, int32_t status = 4) {
        for (int i = 0; i < times; ++i) {
            inputs.spanPercent = numbers::valueOf(sensitivity);
            const GraphPlotter::Outcome outcome = graph.plotReading(Reading{raw, status}, inputs);
            last = outcome.reading;
            if (outcome.widenedSensitivity) sensitivity = numberText(*outcome.widenedSensitivity);
        }
    }
    const GraphState& state() const { return graph.state(); }
    QList<QByteArray> traceLines() {
        files.flush();
        QFile f(dir.filePath(QStringLiteral("PlotData.txt")));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = f.readAll().split('\n');
        EXPECT_TRUE(lines.last().isEmpty());
        lines.removeLast();
        for (QByteArray& line : lines) {
            EXPECT_TRUE(line.endsWith('\r'));
            line.chop(1);
        }
        return lines;
    }
    // The fields of a quoted trace line: x, ohms, colour, "", xm, y.
    static QList<QByteArray> traceFields(const QByteArray& line) {
        EXPECT_TRUE(line.startsWith('"') && line.endsWith('"')) << line.constData();
        QList<QByteArray> fields = line.mid(1, line.size() - 2).split(':');
        while (fields.size() < 6)
            fields << QByteArray("(missing)"); // an empty line where a point was due
        return fields;
    }
    uint32_t pixel(int x, int y) const { return graph.picture().pixelColour(x, y); }

    QTemporaryDir dir;
    SessionFiles files{dir.path()};
    GraphPlotter graph{files};
    GraphPlotter::Inputs inputs;
    QString sensitivity = QStringLiteral("25");
    Reading last;
};

TEST_F(GraphTest, FirstReadingsOnlyFillTheWindow) {
    inputs.filterSize = 3; // the window and the average start empty, as at program start
    captions(" 8000", "25");
    feed(8000);
    feed(8300);
    feed(8600);
    EXPECT_EQ(state().filteredReading, 0);
    EXPECT_EQ(state().recordCount, 1);
    feed(8900); // average of the 2nd, 3rd and 4th readings
    EXPECT_EQ(state().filteredReading, 8600);
    EXPECT_EQ(files.readings(), std::vector<int32_t>{8600});
    EXPECT_EQ(state().recordCount, 2);
}

TEST_F(GraphTest, AverageExtremesAndStoredFiles) {
    prime(8000, 2, " 8000");
    feed(8100, 1, 1); // invalid and zero readings are ignored
    feed(0);
    EXPECT_EQ(state().recordCount, 1);
    EXPECT_EQ(state().filterBuffer[1], 8000);
    feed(8000); // the first reading of a session only sets the maximum
    EXPECT_EQ(state().maxADC, 8000);
    EXPECT_EQ(state().minADC, 16383);
    feed(8001); // 8000.5 rounds to the even 8000
    EXPECT_EQ(state().filteredReading, 8000);
    feed(8002); // 8001.5 rounds to the even 8002
    EXPECT_EQ(state().filteredReading, 8002);
    feed(7700);
    EXPECT_EQ(state().minADC, 7851);
    EXPECT_EQ(state().maxADC, 8002);
    EXPECT_EQ(state().recordTime, 45);
    files.closeAll();
    QFile txt(dir.filePath(QStringLiteral("tempdata.txt")));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    EXPECT_EQ(txt.readAll(), QByteArray("8000,30\r\n8000,35\r\n8002,40\r\n7851,45\r\n"));
}

TEST_F(GraphTest, StepLimitChangesTheRawReading) {
    prime(8000, 1, " 8000");
    feed(10000);
    EXPECT_EQ(last.raw, 8804);
    EXPECT_EQ(state().filterBuffer[1], 8804);
    EXPECT_EQ(files.readings().back(), 8804);
    feed(6000);
    EXPECT_EQ(last.raw, 8000);
    feed(8804); // exactly the limit passes unchanged
    EXPECT_EQ(last.raw, 8804);
}

// The valid window is 320..16000, both ends included: a reading outside it holds the graph.
TEST(GraphWindow, BoundsAreIncluded) {
    for (auto [reading, used] : {std::pair{319, false}, {320, true}, {16000, true}, {16001, false}}) {
        QTemporaryDir dir;
        SessionFiles files{dir.path()};
        ASSERT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
        GraphPlotter graph{files};
        graph.startSession();
        GraphPlotter::Inputs in;
        in.filterSize = 1;
        in.startReading = reading;
        in.spanPercent = 25;
        graph.plotReading(Reading{reading, 4}, in); // fills the window
        graph.plotReading(Reading{reading, 4}, in);
        EXPECT_EQ(graph.state().recordCount, used ? 2 : 1) << reading;
    }
}

TEST_F(GraphTest, ReadingOutsideTheWindowHoldsTheGraphForNReadings) {
    prime(15500, 3, " 15500");
    feed(16001); // passes the step limit and enters the window
    EXPECT_EQ(state().recordCount, 2);
    EXPECT_EQ(state().filteredReading, 15667);
    for (int i = 0; i < 3; ++i) {
        feed(10000); // unchecked and unclipped into position N
        EXPECT_EQ(state().filterBuffer[3], 10000);
        EXPECT_EQ(state().recordCount, 2);
    }
    EXPECT_EQ(state().filteredReading, 15667);
    feed(10000); // the window is clean again: processed normally, step-limited
    EXPECT_EQ(last.raw, 14863);
    EXPECT_EQ(state().filteredReading, 11621);
    EXPECT_EQ(state().recordCount, 3);
}

TEST_F(GraphTest, NothingIsDrawnOrStoredBeforeTheFirstStartValue) {
    prime(8192, 1, " ");
    const uint64_t before = graph.picture().revision();
    feed(8192); // the percent changed: rebuild, but no start reading
    EXPECT_EQ(state().recordCount, 1);
    EXPECT_EQ(graph.picture().revision(), before);
    EXPECT_TRUE(traceLines().isEmpty());
    feed(8192); // stored and drawn on the bottom edge of the all-zero scale
    EXPECT_EQ(state().recordCount, 2);
    ASSERT_EQ(traceLines().size(), 1);
    EXPECT_EQ(traceFields(traceLines()[0]).last(), QByteArray(" 300"));
    EXPECT_FALSE(graph.notice().visible);
    // The start value arrives: the next reading rebuilds around it from the stored readings.
    captions(" 8192", "25");
    feed(8192);
    EXPECT_EQ(state().graphStartReading, 8192);
    const QList<QByteArray> after = traceLines();
    ASSERT_EQ(after.size(), 3); // live line, redrawn line, live line
    EXPECT_EQ(traceFields(after[1]).last(), QByteArray(" 150"));
    EXPECT_EQ(traceFields(after[2]).first(), QByteArray(" 2"));
}

TEST_F(GraphTest, CompressionAtTheRightEdge) {
    prime(8192);
    feed(8192, 488);
    EXPECT_EQ(state().recordCount, 489);
    EXPECT_EQ(state().yCompress, 1);
    feed(8192);
    EXPECT_EQ(state().yCompress, 2);
    EXPECT_TRUE(state().redrawRequested);
    feed(8192); // the rebuild at the new compression
    EXPECT_FALSE(state().redrawRequested);
    // Records 1..489 redrawn as 244 points; column 245 is record 490 with the trailing record 489.
    EXPECT_EQ(pixel(244, 150), kWhite);
    EXPECT_EQ(pixel(245, 150), kWhite);
    EXPECT_EQ(pixel(246, 150), kBlack);
    feed(8192, 979 - 491);
    EXPECT_EQ(state().recordCount, 979);
    EXPECT_EQ(state().yCompress, 3);
}

TEST_F(GraphTest, TraceFileLinesAndEmptyLinesAtCompressionTwo) {
    graph.resizePicture(489, 312); // the scale is still 0: every point on the bottom edge
    EXPECT_EQ(graph.plotPoint(5, 469942.626953125, kWhite), 312);
    EXPECT_EQ(traceLines(), QList<QByteArray>{"\" 5: 469942.626953125:FFFFFF:: 5: 312\""});
    EXPECT_EQ(graph.plotPoint(494, 1.5, 0x0000FF00), 312); // x beyond the width wraps; hex without zeros
    EXPECT_EQ(traceLines().last(), QByteArray("\" 494: 1.5:FF00:: 5: 312\""));

    graph.resizePicture(10, 300);
    prime(8192);
    feed(8192, 11); // record 11 at compression 2: the rebuild redraws records 1..10 as points 1..5
    const qsizetype before = traceLines().size();
    feed(8192, 3); // records 12..14: points after records 12 and 14, one line per stored reading
    const QList<QByteArray> lines = traceLines().mid(before);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(traceFields(lines[0]).first(), QByteArray(" 6"));
    EXPECT_EQ(traceFields(lines[0]).last(), QByteArray(" 150"));
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_EQ(traceFields(lines[2]).first(), QByteArray(" 7"));
}

TEST_F(GraphTest, LivePlotTracesWhereTheFormulaPutsIt) {
    prime(8192);
    feed(8192);
    EXPECT_EQ(pixel(1, 150), kWhite); // the start resistance sits at mid-height
    feed(8292);
    const QList<QByteArray> fields = traceFields(traceLines().last());
    const double r = ohmsFromReading(8292);
    const int32_t y = numbers::toLong(300 - (double(state().graphMaxOhms) - r) * double(state().graphScale));
    EXPECT_EQ(fields[1], singleOhms(r)); // the single-precision sum of one reading
    EXPECT_EQ(fields[5].trimmed().toInt(), y);
    EXPECT_EQ(y, 136);
    EXPECT_EQ(pixel(2, y), kWhite);
    EXPECT_EQ(pixel(2, y - 3), kBlack);
}

TEST_F(GraphTest, GridDotsAndColours) {
    graph.drawGrid(false); // 489 x 300: 49 dots per row, 30 per column
    for (int y : {0, 74, 149, 224, 299}) {
        EXPECT_EQ(pixel(0, y), kMagenta) << y;
        EXPECT_EQ(pixel(10, y), kMagenta) << y;  // 489 / 49 = 9.98
        EXPECT_EQ(pixel(479, y), kMagenta) << y; // 48 x 9.98 = 479.0
        EXPECT_EQ(pixel(5, y), kBlack) << y;
    }
    for (int x : {0, 121, 244, 366, 488}) {
        EXPECT_EQ(pixel(x, 10), kMagenta) << x;
        EXPECT_EQ(pixel(x, 290), kMagenta) << x;
        EXPECT_EQ(pixel(x, 15), kBlack) << x;
    }
    EXPECT_EQ(pixel(122, 10), kBlack);
    graph.clearPicture();
    graph.drawGrid(true); // the replay's grid is white
    EXPECT_EQ(pixel(244, 10), kWhite);
    EXPECT_EQ(pixel(10, 74), kWhite);
}

TEST_F(GraphTest, AutoRangeWidensTheSensitivityStepByStep) {
    prime(400); // forty times the start resistance: off the picture at every span
    QStringList seen;
    for (int i = 0; i < 20; ++i) {
        feed(400);
        seen << sensitivity;
        if (graph.notice().width == 300) break;
        EXPECT_EQ(graph.notice().caption, QStringLiteral("Readjusting  graph"));
        EXPECT_EQ(graph.notice().width, 150);
        EXPECT_TRUE(graph.notice().visible);
    }
    EXPECT_EQ(seen.join(QLatin1Char(',')),
              QStringLiteral(" 31, 39, 49, 61, 76, 95, 119, 149, 186, 232, 290, 362,"
                             " 452, 565, 706, 882, 1000, 1000"));
    EXPECT_EQ(graph.notice().caption, QStringLiteral("Maximum Sensitivity!  Graph off scale!"));
    EXPECT_EQ(state().graphSpanPercent, 1000);
    // At the maximum nothing more changes and no rebuild follows.
    const uint64_t revision = graph.picture().revision();
    feed(400);
    EXPECT_EQ(sensitivity, QStringLiteral(" 1000"));
    EXPECT_EQ(graph.picture().revision(), revision + 1); // one line segment, no clearing
    // A caption already at the maximum is left as it stands.
    captions(" 8192", "1000");
    feed(400, 2);
    EXPECT_EQ(sensitivity, QStringLiteral("1000"));
    EXPECT_EQ(graph.notice().width, 300);
    EXPECT_FALSE(state().redrawRequested);
}

TEST_F(GraphTest, AxisLabelsAndASpanAboveOneHundredPercent) {
    prime(8192);
    feed(8192);
    EXPECT_EQ(graph.axisLabels()[0], QStringLiteral("352.5 k")); // 0.75 Rs at the top
    EXPECT_EQ(graph.axisLabels()[2], QStringLiteral("469.9 k"));
    EXPECT_EQ(graph.axisLabels()[4], QStringLiteral("587.4 k"));
    // Time axis: 489 / 2 x yCompress x (k - 5) / 40 seconds, last five characters.
    EXPECT_EQ(graph.axisLabels()[5], QStringLiteral("00:00"));
    EXPECT_EQ(graph.axisLabels()[6], QStringLiteral("00:06"));
    EXPECT_EQ(graph.axisLabels()[9], QStringLiteral("00:24"));

    captions(" 8192", "150"); // from 0 ohms at the top to 2.5 Rs at the bottom
    feed(8192);
    const double rs = ohmsFromReading(8192);
    EXPECT_FLOAT_EQ(state().graphMaxOhms, float(2.5 * rs));
    EXPECT_FLOAT_EQ(state().graphScale, float(300 / double(float(2.5 * rs))));
    EXPECT_EQ(graph.axisLabels()[0], QStringLiteral("0.0 "));
    EXPECT_EQ(graph.axisLabels()[2], numbers::formatOhms(1.25 * rs));
    EXPECT_EQ(graph.axisLabels()[4], QStringLiteral("1.2 M"));
    EXPECT_EQ(graph.plotPoint(2, 2.5 * rs, kWhite), 300);
    EXPECT_EQ(graph.plotPoint(3, 0, kWhite), 0);
    EXPECT_EQ(graph.plotPoint(4, rs, kWhite), 120);
}

// After a rebuild the live trace continues where the rebuilt trace ends: the first live point averages
// the trailing stored reading (in ohms) with the new one, one column after the last redrawn point.
TEST_F(GraphTest, LiveTraceContinuesAfterARebuild) {
    graph.resizePicture(10, 300);
    prime(8192);
    feed(8192, 10); // record 11 next: yCompress 2 and a rebuild
    EXPECT_EQ(state().yCompress, 2);
    feed(8192); // record 11: the rebuild draws 5 points, record 11 waits for its partner
    EXPECT_TRUE(traceLines().last().isEmpty());
    sensitivity = QStringLiteral("30"); // a new span: rebuild with record 11 trailing
    feed(8900);
    EXPECT_EQ(state().recordCount, 13);
    const QList<QByteArray> lines = traceLines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(traceFields(lines[lines.size() - 2])[0], QByteArray(" 5"));
    const QList<QByteArray> live = traceFields(lines.last());
    EXPECT_EQ(live[0], QByteArray(" 6"));
    const float sum = float(double(float(ohmsFromReading(8192))) + ohmsFromReading(8900));
    EXPECT_EQ(live[1], numberText(double(sum) / 2).toLatin1());
    feed(8900); // record 13: waits
    EXPECT_TRUE(traceLines().last().isEmpty());
    feed(8900); // record 14: x = 7 from two readings
    const QList<QByteArray> next = traceFields(traceLines().last());
    EXPECT_EQ(next[0], QByteArray(" 7"));
    EXPECT_EQ(next[1], numberText(double(float(2 * ohmsFromReading(8900))) / 2).toLatin1());
}

// A new session's first point is its own first reading, whatever the last session left behind.
TEST_F(GraphTest, NewSessionStartsWithAnEmptyAccumulator) {
    graph.resizePicture(10, 300);
    prime(8192);
    feed(8192, 11); // compression 2: record 11 waits as a trailing group of the previous session
    ASSERT_NE(state().ohmsAccumulator, 0.0f);
    graph.startSession();
    feed(8192);
    const QList<QByteArray> first = traceFields(traceLines().last());
    EXPECT_EQ(first[0], QByteArray(" 1"));
    EXPECT_EQ(first[1], singleOhms(ohmsFromReading(8192)));
}

TEST_F(GraphTest, RebuildSkipsUnusableRecordsAndAbsurdInputsEnd) {
    prime(8192);
    feed(8192, 3);                                      // record 4 next
    graph.redrawStoredReadings({8192, 0, 8192}, false); // a stored reading below 1 is skipped
    EXPECT_EQ(pixel(1, 150), kWhite);
    EXPECT_EQ(pixel(3, 150), kWhite);
    // A picture too small for grid spacing, absurd spans, start values and filter sizes: no crash or hang.
    graph.resizePicture(3, 3);
    graph.drawGrid(false);
    for (const char* span : {"1E+30", "-1E+30", "0", "-100"}) {
        captions(" 8192", span);
        feed(8192);
    }
    for (const char* start : {"-5", "16383", "1E-300", "3E+9"}) {
        captions(start, "25");
        feed(8192);
    }
    EXPECT_EQ(graph.plotPoint(1, std::nan(""), kWhite), 0);
    EXPECT_EQ(graph.plotPoint(2, 1e300, kWhite), std::numeric_limits<int32_t>::min());
    for (int size : {0, 99}) {
        inputs.filterSize = size;
        feed(8192);
    }
}

} // namespace

} // namespace aurivo
