#include "TestFiles.h"
#include "app/ReadingPipeline.h"
#include "core/NumberRules.h"
#include "display/GraphPlotter.h"
#include "recording/SessionFiles.h"

#include <QList>
#include <QLocale>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace aurivo;

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kMagenta = 0x00FF00FF;
constexpr uint32_t kBlack = 0x00000000;

class GraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(files.open(QStringLiteral("tempdata")).isEmpty());
        graph.startSession();
        pipeline.recorder().startSession();
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
    // A filter window holding `reading`, then the start value and span captions.
    void prime(int32_t reading, int filterSize = 1, const char* start = " 8192", const char* percent = "25") {
        inputs.filterSize = filterSize;
        feed(reading, filterSize);
        captions(start, percent);
    }
    void captions(const char* start, const char* percent) {
        inputs.startReading = numbers::valueOf(QString::fromLatin1(start));
        sensitivity = QString::fromLatin1(percent);
    }
    // Plots valid readings; an auto-range widening becomes the sensitivity caption, as in the monitor.
    void feed(int32_t raw, int times = 1, int32_t status = 4) {
        for (int i = 0; i < times; ++i) {
            inputs.spanPercent = numbers::valueOf(sensitivity);
            const ReadingPipeline::Outcome outcome = pipeline.take(Reading{raw, status}, inputs);
            if (outcome.widenedSensitivity) sensitivity = numbers::numberText(*outcome.widenedSensitivity);
        }
    }
    const GraphState& state() const { return graph.state(); }
    const SessionRecorder& rec() const { return pipeline.recorder(); }
    // The trace file's lines, each checked to end in CR LF.
    QList<QByteArray> traceLines() {
        files.flush();
        QByteArray text = readFile(dir.filePath(QStringLiteral("PlotData.txt")));
        EXPECT_EQ(text.count('\n'), text.count("\r\n"));
        QList<QByteArray> lines = text.replace('\r', "").split('\n');
        lines.removeLast();
        return lines;
    }
    QString labels() const {
        return QStringList(graph.axisLabels().begin(), graph.axisLabels().end()).join('|');
    }
    uint32_t pixel(int x, int y) const { return graph.picture().pixelColour(x, y); }

    QTemporaryDir dir;
    SessionFiles files{dir.path()};
    ReadingPipeline pipeline{files};
    GraphPlotter& graph = pipeline.graph();
    ReadingPipeline::Context inputs;
    QString sensitivity = QStringLiteral("25");
};

TEST_F(GraphTest, AverageExtremesAndTextFile) {
    prime(8000, 2, " 8000");
    feed(8100, 1, 1); // invalid and zero readings are ignored
    feed(0);
    feed(8000); // the first reading of a session is both its minimum and its maximum
    EXPECT_EQ(std::pair(rec().minADC(), rec().maxADC()), std::pair(8000.0, 8000.0));
    feed(8001); // 8000.5 rounds to the even 8000
    // 8001.5 rounds to the even 8002; 9000 is more than 804 above the last average and enters as 8655.
    for (int32_t raw : {8002, 7700, 9000})
        feed(raw);
    EXPECT_EQ(std::pair(rec().minADC(), rec().maxADC()), std::pair(7851.0, 8178.0));
    files.closeAll();
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("tempdata.txt"))),
              QByteArray("8000,30\r\n8000,35\r\n8002,40\r\n7851,45\r\n8178,50\r\n"));
}

// The valid window is 320..16000, both ends included: a reading outside it enters the filter window
// unchecked and holds the graph until the window is clean again.
TEST_F(GraphTest, WindowBoundsAreIncluded) {
    prime(320, 1, " 320");
    QList<int32_t> counts;
    for (int32_t raw : {320, 319, 16000, 16000, 319, 16001, 16001, 320, 320}) {
        feed(raw);
        counts << rec().recordCount();
    }
    EXPECT_EQ(counts, (QList<int32_t>{2, 3, 3, 4, 5, 5, 5, 5, 6}));
}

TEST_F(GraphTest, ReadingOutsideTheWindowHoldsTheGraphForNReadings) {
    prime(15500, 3, " 15500");
    feed(16001); // passes the step limit and enters the window
    EXPECT_EQ(pipeline.filter().filtered(), 15667);
    feed(10000, 3); // unchecked and unclipped into position N, nothing stored
    EXPECT_EQ(pipeline.filter().window()[3], 10000);
    EXPECT_EQ(rec().recordCount(), 2);
    feed(10000); // the window is clean again: processed normally, step-limited
    EXPECT_EQ(pipeline.filter().window()[3], 14863);
    EXPECT_EQ(pipeline.filter().filtered(), 11621);
    EXPECT_EQ(rec().recordCount(), 3);
}

TEST_F(GraphTest, NothingIsDrawnOrStoredBeforeTheFirstStartValue) {
    prime(8192, 1, " ");
    const uint64_t before = graph.picture().revision();
    feed(8192); // the percent changed: a rebuild, but no start reading
    EXPECT_EQ(rec().recordCount(), 1);
    EXPECT_EQ(graph.picture().revision(), before);
    feed(8192); // stored and drawn on the bottom edge of the all-zero scale
    EXPECT_FALSE(graph.notice().visible);
    captions(" 8192", "25"); // the next reading rebuilds around the start value from the stored readings
    feed(8192);
    EXPECT_EQ(traceLines(), (QList<QByteArray>{"\" 1: 469942.625:FFFFFF:: 1: 300\"",
                                               "\" 1: 469942.626953125:FFFFFF:: 1: 150\"",
                                               "\" 2: 469942.625:FFFFFF:: 2: 150\""}));
}

TEST_F(GraphTest, CompressionAtTheRightEdgeAndTraceLines) {
    graph.resizePicture(489, 312); // the scale is still 0: every point on the bottom edge
    EXPECT_EQ(graph.plotPoint(5, 469942.626953125, kWhite), 312);
    EXPECT_EQ(graph.plotPoint(494, 1.5, 0x0000FF00), 312); // x beyond the width wraps; hex without zeros
    EXPECT_EQ(traceLines(),
              (QList<QByteArray>{"\" 5: 469942.626953125:FFFFFF:: 5: 312\"", "\" 494: 1.5:FF00:: 5: 312\""}));
    graph.resizePicture(10, 300);
    prime(8192);
    feed(8192, 10); // record 11 next: at the right edge one more reading per point, and a rebuild
    EXPECT_EQ(state().yCompress, 2);
    EXPECT_TRUE(state().redrawRequested);
    feed(8192); // record 11: the rebuild redraws records 1..10 as points 1..5
    EXPECT_FALSE(state().redrawRequested);
    const qsizetype before = traceLines().size();
    feed(8192, 3); // records 12..14: points after records 12 and 14, one line per stored reading
    EXPECT_EQ(traceLines().mid(before), (QList<QByteArray>{"\" 6: 469942.625:FFFFFF:: 6: 150\"", "",
                                                           "\" 7: 469942.625:FFFFFF:: 7: 150\""}));
    feed(8192, 6);
    EXPECT_EQ(state().yCompress, 3);
}

TEST_F(GraphTest, GridDotsAndColours) {
    graph.drawGrid(false); // 489 x 300: rows of 50 dots 9.98 apart, columns of 31 dots
    for (auto [x, y] : {std::pair{0, 0}, {10, 74}, {479, 149}, {121, 10}, {366, 290}, {488, 290}})
        EXPECT_EQ(pixel(x, y), kMagenta) << x << "," << y;
    for (auto [x, y] : {std::pair{5, 224}, {244, 15}, {122, 10}})
        EXPECT_EQ(pixel(x, y), kBlack) << x << "," << y;
    graph.clearPicture();
    graph.drawGrid(true); // the replay's grid is white
    EXPECT_EQ(pixel(244, 10) & pixel(10, 74), kWhite);
}

TEST_F(GraphTest, AutoRangeWidensTheSensitivityStepByStep) {
    prime(400); // forty times the start resistance: off the picture at every span
    feed(400);
    EXPECT_EQ(graph.notice().caption, QStringLiteral("Readjusting  graph"));
    QStringList seen{sensitivity};
    while (graph.notice().width == 150 && graph.notice().visible && seen.size() < 20) {
        feed(400);
        seen << sensitivity;
    }
    EXPECT_EQ(seen.join(QLatin1Char(',')), QStringLiteral(" 31, 39, 49, 61, 76, 95, 119, 149, 186, 232, 290,"
                                                          " 362, 452, 565, 706, 882, 1000, 1000"));
    EXPECT_EQ(graph.notice().caption, QStringLiteral("Maximum Sensitivity!  Graph off scale!"));
    const uint64_t revision = graph.picture().revision();
    captions(" 8192", "1000"); // at the maximum nothing changes, not even the caption's form
    feed(400);
    EXPECT_EQ(sensitivity, QStringLiteral("1000"));
    EXPECT_EQ(graph.picture().revision(), revision + 1); // one line segment, no rebuild
}

TEST_F(GraphTest, AxisLabelsAndASpanAboveOneHundredPercent) {
    prime(8192);
    feed(8192); // 0.75 Rs at the top; time 489 / 2 x yCompress x (k - 5) / 40 seconds, last five characters
    EXPECT_EQ(labels(),
              QStringLiteral("352.5 k|411.2 k|469.9 k|528.7 k|587.4 k|00:00|00:06|00:12|00:18|00:24"));
    EXPECT_EQ(pixel(1, 150), kWhite); // the start resistance sits at mid-height
    feed(8292);
    EXPECT_EQ(traceLines().last(), QByteArray("\" 2: 458607.09375:FFFFFF:: 2: 136\""));
    EXPECT_EQ(pixel(2, 136) + pixel(2, 133), kWhite + kBlack);
    captions(" 8192", "150"); // from 0 ohms at the top to 2.5 Rs at the bottom
    feed(8192);
    EXPECT_EQ(labels(), QStringLiteral("0.0 |293.7 k|587.4 k|881.1 k|1.2 M|00:00|00:06|00:12|00:18|00:24"));
    const double rs = numbers::ohmsFromReading(8192);
    EXPECT_EQ(graph.plotPoint(2, 2.5 * rs, kWhite), 300);
    EXPECT_EQ(graph.plotPoint(3, 0, kWhite), 0);
    EXPECT_EQ(graph.plotPoint(4, rs, kWhite), 120);
    graph.clearAxisLabels(); // leaving a replay
    EXPECT_EQ(labels(), QStringLiteral("|||||||||"));
}

// After a rebuild the live trace continues where the rebuilt trace ends: the first live point averages
// the trailing stored reading (in ohms) with the new one, one column after the last redrawn point. A new
// session's first point is its own first reading, whatever the last session left behind.
TEST_F(GraphTest, LiveTraceContinuesAfterARebuildAndANewSessionStartsAfresh) {
    graph.resizePicture(10, 300);
    prime(8192);
    feed(8192, 11); // record 11 at compression 2 waits for its partner; the smallest usable reading trails
    graph.redrawStoredReadings({8192, 8192, 8192, 8192, 8192, 8192, 8192, 8192, 8192, 8192, 1},
                               rec().recordCount(), false);
    EXPECT_EQ(state().ohmsAccumulator, float(numbers::ohmsFromReading(1)));
    sensitivity = QStringLiteral("30"); // a new span: rebuild with record 11 trailing
    feed(8900);
    feed(8900, 3); // record 13 waits, record 14 makes x = 7 from two readings, record 15 waits
    graph.startSession();
    pipeline.recorder().startSession();
    feed(8192);
    const QList<QByteArray> lines = traceLines();
    EXPECT_EQ(lines.mid(lines.size() - 6), (QList<QByteArray>{"\" 5: 469942.626953125:FFFFFF:: 5: 150\"",
                                                              "\" 6: 432556.15625:FFFFFF:: 6: 110\"", "",
                                                              "\" 7: 395169.65625:FFFFFF:: 7: 70\"", "",
                                                              "\" 1: 469942.625:FFFFFF:: 1: 150\""}));
}

TEST_F(GraphTest, RebuildSkipsUnusableRecordsAndAbsurdInputsEnd) {
    prime(8192);
    feed(8192, 3); // record 4 next; a group without a usable reading keeps the ohms of the one before
    graph.redrawStoredReadings({0, 8192, 0}, rec().recordCount(), false);
    const QList<QByteArray> lines = traceLines();
    EXPECT_EQ(lines.mid(lines.size() - 3),
              (QList<QByteArray>{"\" 1: 0:FFFFFF:: 1:-450\"", "\" 2: 469942.626953125:FFFFFF:: 2: 150\"",
                                 "\" 3: 469942.626953125:FFFFFF:: 3: 150\""}));
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

// One-pixel lines step as Bresenham's, cut to the picture first: the rows of a 4 x 3 picture.
TEST(GraphCanvas, OnePixelLinesStepAsBresenhams) {
    for (auto [x0, y0, x1, y1, rows] : {std::tuple{0, 0, 1, 2, "X...|.X..|.X.."},
                                        {0, 0, 2, 1, "X...|.XX.|...."},
                                        {0, 0, 3, 0, "XXXX|....|...."},
                                        {-2, -2, 3, 3, "X...|.X..|..X."}}) {
        GraphCanvas canvas(4, 3);
        canvas.setPixel(x0, y0, kWhite);
        canvas.lineTo(x1, y1, kWhite);
        QString seen;
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 4; ++column)
                seen += QString(row > 0 && column == 0 ? "|" : "") +
                        (canvas.pixelColour(column, row) ? 'X' : '.');
        EXPECT_EQ(seen, QString::fromLatin1(rows)) << x1 << "," << y1;
    }
}
