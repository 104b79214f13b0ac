#include "app/MonitorState.h"
#include "app/NumberRules.h"
#include "display/GraphPlotter.h"
#include "recording/SessionFiles.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using NumberRules::NumberText;
using NumberRules::OhmsFromReading;

constexpr uint32_t kWhite = 0x00FFFFFF;
constexpr uint32_t kMagenta = 0x00FF00FF;
constexpr uint32_t kBlack = 0x00000000;

QByteArray SingleOhms(double ohms) { return NumberText(double(float(ohms))).toLatin1(); }

class GraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(files.Open(QStringLiteral("tempdata")).isEmpty());
        // A running session, as the session start leaves it.
        state.mnuStart.enabled = false;
        state.RecordCount = 1;
        state.yCompress = 1;
        state.RedrawRequested = false;
        state.MinADC = 16383;
        state.MaxADC = 0;
        state.RecordTime = 25;
        graph.ResetForNewSession();
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    // A clean filter window holding `reading` and the given start value and span captions.
    void Prime(int32_t reading, int filterSize = 1, const char* start = " 8192", const char* percent = "25") {
        state.FilterSize = filterSize;
        for (int i = 0; i <= 8; ++i) state.FilterBuffer[i] = reading;
        state.FilteredReading = reading;
        Captions(start, percent);
    }
    void Captions(const char* start, const char* percent) {
        state.lblSysADCstart.caption = QString::fromLatin1(start);
        state.LblParams[3].caption = QString::fromLatin1(percent);
    }
    void Feed(int32_t raw, int times = 1) {
        for (int i = 0; i < times; ++i) {
            state.StatusByte = 4;
            state.RawReading = raw;
            graph.PlotReading();
        }
    }
    QList<QByteArray> TraceLines() {
        files.Flush();
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
    static QList<QByteArray> Fields(const QByteArray& line) {
        EXPECT_TRUE(line.startsWith('"') && line.endsWith('"')) << line.constData();
        QList<QByteArray> fields = line.mid(1, line.size() - 2).split(':');
        while (fields.size() < 6) fields << QByteArray("(missing)"); // an empty line where a point was due
        return fields;
    }
    uint32_t Pixel(int x, int y) const { return state.pixXYgraf.PixelColour(x, y); }

    QTemporaryDir dir;
    MonitorState state;
    SessionFiles files{dir.path()};
    GraphPlotter graph{state, files};
};

TEST_F(GraphTest, FirstReadingsOnlyFillTheWindow) {
    state.FilterSize = 3; // the window and the average start empty, as at program start
    Captions(" 8000", "25");
    Feed(8000);
    Feed(8300);
    Feed(8600);
    EXPECT_EQ(state.FilteredReading, 0);
    EXPECT_EQ(state.RecordCount, 1);
    Feed(8900); // average of the 2nd, 3rd and 4th readings
    EXPECT_EQ(state.FilteredReading, 8600);
    EXPECT_EQ(files.Readings(), std::vector<int32_t>{8600});
    EXPECT_EQ(state.RecordCount, 2);
}

TEST_F(GraphTest, AverageExtremesAndStoredFiles) {
    Prime(8000, 2, " 8000");
    state.StatusByte = 1; // invalid and zero readings are ignored
    state.RawReading = 8100;
    graph.PlotReading();
    Feed(0);
    EXPECT_EQ(state.RecordCount, 1);
    EXPECT_EQ(state.FilterBuffer[1], 8000);
    Feed(8000); // the first reading of a session only sets the maximum
    EXPECT_EQ(state.MaxADC, 8000);
    EXPECT_EQ(state.MinADC, 16383);
    Feed(8001); // 8000.5 rounds to the even 8000
    EXPECT_EQ(state.FilteredReading, 8000);
    Feed(8002); // 8001.5 rounds to the even 8002
    EXPECT_EQ(state.FilteredReading, 8002);
    Feed(7700);
    EXPECT_EQ(state.MinADC, 7851);
    EXPECT_EQ(state.MaxADC, 8002);
    EXPECT_EQ(state.RecordTime, 45);
    files.CloseAll();
    QFile txt(dir.filePath(QStringLiteral("tempdata.txt")));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    EXPECT_EQ(txt.readAll(), QByteArray("8000,30\r\n8000,35\r\n8002,40\r\n7851,45\r\n"));
}

TEST_F(GraphTest, StepLimitChangesTheRawReading) {
    Prime(8000, 1, " 8000");
    Feed(10000);
    EXPECT_EQ(state.RawReading, 8804);
    EXPECT_EQ(state.FilterBuffer[1], 8804);
    EXPECT_EQ(files.Readings().back(), 8804);
    Feed(6000);
    EXPECT_EQ(state.RawReading, 8000);
    Feed(8804); // exactly the limit passes unchanged
    EXPECT_EQ(state.RawReading, 8804);
}

TEST_F(GraphTest, ReadingOutsideTheWindowHoldsTheGraphForNReadings) {
    Prime(15500, 3, " 15500");
    Feed(16001); // passes the step limit and enters the window
    EXPECT_EQ(state.RecordCount, 2);
    EXPECT_EQ(state.FilteredReading, 15667);
    for (int i = 0; i < 3; ++i) {
        Feed(10000); // unchecked and unclipped into position N
        EXPECT_EQ(state.FilterBuffer[3], 10000);
        EXPECT_EQ(state.RecordCount, 2);
    }
    EXPECT_EQ(state.FilteredReading, 15667);
    Feed(10000); // the window is clean again: processed normally, step-limited
    EXPECT_EQ(state.RawReading, 14863);
    EXPECT_EQ(state.FilteredReading, 11621);
    EXPECT_EQ(state.RecordCount, 3);
}

TEST_F(GraphTest, NothingIsDrawnOrStoredBeforeTheFirstStartValue) {
    Prime(8192, 1, " ");
    const uint64_t before = state.pixXYgraf.Revision();
    Feed(8192); // the percent changed: rebuild, but no start reading
    EXPECT_EQ(state.RecordCount, 1);
    EXPECT_EQ(state.pixXYgraf.Revision(), before);
    EXPECT_TRUE(TraceLines().isEmpty());
    Feed(8192); // stored and drawn on the bottom edge of the all-zero scale
    EXPECT_EQ(state.RecordCount, 2);
    ASSERT_EQ(TraceLines().size(), 1);
    EXPECT_EQ(Fields(TraceLines()[0]).last(), QByteArray(" 300"));
    EXPECT_FALSE(state.lblGrafError.visible);
    // The start value arrives: the next reading rebuilds around it from the stored readings.
    Captions(" 8192", "25");
    Feed(8192);
    EXPECT_EQ(state.GraphStartReading, 8192);
    const QList<QByteArray> after = TraceLines();
    ASSERT_EQ(after.size(), 3); // live line, redrawn line, live line
    EXPECT_EQ(Fields(after[1]).last(), QByteArray(" 150"));
    EXPECT_EQ(Fields(after[2]).first(), QByteArray(" 2"));
}

TEST_F(GraphTest, CompressionAtTheRightEdge) {
    Prime(8192);
    Feed(8192, 488);
    EXPECT_EQ(state.RecordCount, 489);
    EXPECT_EQ(state.yCompress, 1);
    Feed(8192);
    EXPECT_EQ(state.yCompress, 2);
    EXPECT_TRUE(state.RedrawRequested);
    Feed(8192); // the rebuild at the new compression
    EXPECT_FALSE(state.RedrawRequested);
    // Records 1..489 redrawn as 244 points; column 245 is record 490 with the trailing record 489.
    EXPECT_EQ(Pixel(244, 150), kWhite);
    EXPECT_EQ(Pixel(245, 150), kWhite);
    EXPECT_EQ(Pixel(246, 150), kBlack);
    Feed(8192, 979 - 491);
    EXPECT_EQ(state.RecordCount, 979);
    EXPECT_EQ(state.yCompress, 3);
}

TEST_F(GraphTest, TraceFileLinesAndEmptyLinesAtCompressionTwo) {
    state.pixXYgraf.Resize(489, 312);
    state.GraphScale = 0; // every point on the bottom edge
    EXPECT_EQ(graph.PlotPoint(5, 469942.626953125, kWhite), 312);
    EXPECT_EQ(TraceLines(), QList<QByteArray>{"\" 5: 469942.626953125:FFFFFF:: 5: 312\""});
    EXPECT_EQ(graph.PlotPoint(494, 1.5, 0x0000FF00), 312); // x beyond the width wraps; hex without zeros
    EXPECT_EQ(TraceLines().last(), QByteArray("\" 494: 1.5:FF00:: 5: 312\""));

    state.pixXYgraf.Resize(489, 300);
    Prime(8192);
    state.GraphStartReading = 8192;
    state.GraphSpanPercent = 25;
    graph.ComputeScale();
    state.yCompress = 2;
    Feed(8192, 4); // records 1..4: points after records 2 and 4, one line per stored reading
    const QList<QByteArray> lines = TraceLines().mid(2);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].isEmpty());
    EXPECT_EQ(Fields(lines[1]).first(), QByteArray(" 1"));
    EXPECT_TRUE(lines[2].isEmpty());
    EXPECT_EQ(Fields(lines[3]).first(), QByteArray(" 2"));
    EXPECT_EQ(Fields(lines[3]).last(), QByteArray(" 150"));
}

TEST_F(GraphTest, LivePlotTracesWhereTheFormulaPutsIt) {
    Prime(8192);
    Feed(8192);
    EXPECT_EQ(Pixel(1, 150), kWhite); // the start resistance sits at mid-height
    Feed(8292);
    const QList<QByteArray> fields = Fields(TraceLines().last());
    const double r = OhmsFromReading(8292);
    const int32_t y = NumberRules::ToLong(300 - (double(state.GraphMaxOhms) - r) * double(state.GraphScale));
    EXPECT_EQ(fields[1], SingleOhms(r)); // the single-precision sum of one reading
    EXPECT_EQ(fields[5].trimmed().toInt(), y);
    EXPECT_EQ(y, 136);
    EXPECT_EQ(Pixel(2, y), kWhite);
    EXPECT_EQ(Pixel(2, y - 3), kBlack);
}

TEST_F(GraphTest, GridDotsAndColours) {
    graph.DrawGraphGrid(); // 489 x 300: 49 dots per row, 30 per column
    for (int y : {0, 74, 149, 224, 299}) {
        EXPECT_EQ(Pixel(0, y), kMagenta) << y;
        EXPECT_EQ(Pixel(10, y), kMagenta) << y;  // 489 / 49 = 9.98
        EXPECT_EQ(Pixel(479, y), kMagenta) << y; // 48 x 9.98 = 479.0
        EXPECT_EQ(Pixel(5, y), kBlack) << y;
    }
    for (int x : {0, 121, 244, 366, 488}) {
        EXPECT_EQ(Pixel(x, 10), kMagenta) << x;
        EXPECT_EQ(Pixel(x, 290), kMagenta) << x;
        EXPECT_EQ(Pixel(x, 15), kBlack) << x;
    }
    EXPECT_EQ(Pixel(122, 10), kBlack);
    state.mnuDisplayOld.caption = QStringLiteral("Display another session"); // replay grid is white
    state.pixXYgraf.Cls();
    graph.DrawGraphGrid();
    EXPECT_EQ(Pixel(244, 10), kWhite);
    EXPECT_EQ(Pixel(10, 74), kWhite);
}

TEST_F(GraphTest, AutoRangeWidensTheSensitivityStepByStep) {
    Prime(400); // forty times the start resistance: off the picture at every span
    QStringList seen;
    for (int i = 0; i < 20; ++i) {
        Feed(400);
        seen << state.LblParams[3].caption;
        if (state.lblGrafErrorWidth == 300) break;
        EXPECT_EQ(state.lblGrafError.caption, QStringLiteral("Readjusting  graph"));
        EXPECT_EQ(state.lblGrafErrorWidth, 150);
        EXPECT_TRUE(state.lblGrafError.visible);
    }
    EXPECT_EQ(seen.join(QLatin1Char(',')), QStringLiteral(" 31, 39, 49, 61, 76, 95, 119, 149, 186, 232, 290, 362,"
                                                         " 452, 565, 706, 882, 1000, 1000"));
    EXPECT_EQ(state.lblGrafError.caption, QStringLiteral("Maximum Sensitivity!  Graph off scale!"));
    EXPECT_EQ(state.GraphSpanPercent, 1000);
    // At the maximum nothing more changes and no rebuild follows.
    const uint64_t revision = state.pixXYgraf.Revision();
    Feed(400);
    EXPECT_EQ(state.LblParams[3].caption, QStringLiteral(" 1000"));
    EXPECT_EQ(state.pixXYgraf.Revision(), revision + 1); // one line segment, no clearing
    // A caption already at the maximum is left as it stands.
    Prime(400, 1, " 8192", "1000");
    Feed(400, 2);
    EXPECT_EQ(state.LblParams[3].caption, QStringLiteral("1000"));
    EXPECT_EQ(state.lblGrafErrorWidth, 300);
    EXPECT_FALSE(state.RedrawRequested);
}

TEST_F(GraphTest, AxisLabelsAndASpanAboveOneHundredPercent) {
    Prime(8192);
    Feed(8192);
    EXPECT_EQ(state.lbl4Graf[0].caption, QStringLiteral("352.5 k")); // 0.75 Rs at the top
    EXPECT_EQ(state.lbl4Graf[2].caption, QStringLiteral("469.9 k"));
    EXPECT_EQ(state.lbl4Graf[4].caption, QStringLiteral("587.4 k"));
    // Time axis: 489 / 2 x yCompress x (k - 5) / 40 seconds, last five characters.
    EXPECT_EQ(state.lbl4Graf[5].caption, QStringLiteral("00:00"));
    EXPECT_EQ(state.lbl4Graf[6].caption, QStringLiteral("00:06"));
    EXPECT_EQ(state.lbl4Graf[9].caption, QStringLiteral("00:24"));

    Captions(" 8192", "150"); // from 0 ohms at the top to 2.5 Rs at the bottom
    Feed(8192);
    const double rs = OhmsFromReading(8192);
    EXPECT_FLOAT_EQ(state.GraphMaxOhms, float(2.5 * rs));
    EXPECT_FLOAT_EQ(state.GraphScale, float(300 / double(float(2.5 * rs))));
    EXPECT_EQ(state.lbl4Graf[0].caption, QStringLiteral("0.0 "));
    EXPECT_EQ(state.lbl4Graf[2].caption, NumberRules::FormatOhms(1.25 * rs));
    EXPECT_EQ(state.lbl4Graf[4].caption, QStringLiteral("1.2 M"));
    EXPECT_EQ(graph.PlotPoint(2, 2.5 * rs, kWhite), 300);
    EXPECT_EQ(graph.PlotPoint(3, 0, kWhite), 0);
    EXPECT_EQ(graph.PlotPoint(4, rs, kWhite), 120);
}

// After a rebuild the live trace continues where the rebuilt trace ends: the first live point averages
// the trailing stored reading (in ohms) with the new one, one column after the last redrawn point.
TEST_F(GraphTest, LiveTraceContinuesAfterARebuild) {
    state.pixXYgraf.Resize(10, 300);
    Prime(8192);
    Feed(8192, 10); // record 11 next: yCompress 2 and a rebuild
    EXPECT_EQ(state.yCompress, 2);
    Feed(8192); // record 11: the rebuild draws 5 points, record 11 waits for its partner
    EXPECT_TRUE(TraceLines().last().isEmpty());
    state.LblParams[3].caption = QStringLiteral("30"); // a new span: rebuild with record 11 trailing
    Feed(8900);
    EXPECT_EQ(state.RecordCount, 13);
    const QList<QByteArray> lines = TraceLines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(Fields(lines[lines.size() - 2])[0], QByteArray(" 5"));
    const QList<QByteArray> live = Fields(lines.last());
    EXPECT_EQ(live[0], QByteArray(" 6"));
    const float sum = float(double(float(OhmsFromReading(8192))) + OhmsFromReading(8900));
    EXPECT_EQ(live[1], NumberText(double(sum) / 2).toLatin1());
    Feed(8900); // record 13: waits
    EXPECT_TRUE(TraceLines().last().isEmpty());
    Feed(8900); // record 14: x = 7 from two readings
    const QList<QByteArray> next = Fields(TraceLines().last());
    EXPECT_EQ(next[0], QByteArray(" 7"));
    EXPECT_EQ(next[1], NumberText(double(float(2 * OhmsFromReading(8900))) / 2).toLatin1());
}

// A new session's first point is its own first reading, whatever the last session left behind.
TEST_F(GraphTest, NewSessionStartsWithAnEmptyAccumulator) {
    Prime(8192);
    Feed(8192);
    state.OhmsAccumulator = 123456; // a trailing group of the previous session
    state.ComprshnCounter = 7;
    state.RecordCount = 1;
    state.yCompress = 1;
    graph.ResetForNewSession();
    Feed(8192);
    const QList<QByteArray> first = Fields(TraceLines().last());
    EXPECT_EQ(first[0], QByteArray(" 1"));
    EXPECT_EQ(first[1], SingleOhms(OhmsFromReading(8192)));
}

TEST_F(GraphTest, RebuildSkipsUnusableRecordsAndAbsurdInputsEnd) {
    Prime(8192);
    Feed(8192, 3);
    state.RecordCount = 4;
    graph.RedrawStoredReadings({8192, 0, 8192}); // a stored reading below 1 is skipped
    EXPECT_EQ(Pixel(1, 150), kWhite);
    EXPECT_EQ(Pixel(3, 150), kWhite);
    // A picture too small for grid spacing, absurd spans, start values and filter sizes: no crash or hang.
    state.pixXYgraf.Resize(3, 3);
    graph.DrawGraphGrid();
    for (const char* span : {"1E+30", "-1E+30", "0", "-100"}) {
        Captions(" 8192", span);
        Feed(8192);
    }
    for (const char* start : {"-5", "16383", "1E-300", "3E+9"}) {
        Captions(start, "25");
        Feed(8192);
    }
    EXPECT_EQ(graph.PlotPoint(1, std::nan(""), kWhite), 0);
    EXPECT_EQ(graph.PlotPoint(2, 1e300, kWhite), std::numeric_limits<int32_t>::min());
    for (int size : {0, 99}) {
        state.FilterSize = size;
        Feed(8192);
    }
}

} // namespace
