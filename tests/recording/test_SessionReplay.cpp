#include "MonitorFakes.h"
#include "TestFiles.h"
#include "recording/ReplayScale.h"
#include "recording/SessionColours.h"
#include "recording/SessionReplay.h"

#include "core/NumberRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>
#include <chrono>
#include <cmath>
#include <fcntl.h>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace aurivo {

using numbers::formatOhms;
using numbers::ohmsFromReading;

namespace {

using Point = std::tuple<int32_t, double, uint32_t>; // x, ohms, colour

QByteArray records(const std::vector<int32_t>& readings) {
    QByteArray bytes(qsizetype(readings.size() * 4), '\0');
    for (size_t i = 0; i < readings.size(); ++i)
        qToLittleEndian(readings[i], bytes.data() + 4 * i);
    return bytes;
}

QByteArray header(const char* min, const char* max, const char* comments) {
    return QByteArray("\"MinADC\"\r\n\"") + min + "\"\r\n\"MaxADC\"\r\n\"" + max + "\"\r\n\"" + comments +
           "\"\r\n";
}

// The graph as the replay sees it: what it was given, in order.
class FakeCanvas : public ReplayCanvas {
  public:
    double minADC = -1, maxADC = -1;
    std::array<QString, 10> labels;
    float remainder = -1;
    int clears = 0;
    std::vector<Point> points;

    int scaleWidth() const override { return 489; }
    int scaleHeight() const override { return 300; }
    void clearForReplay() override { ++clears; }
    void setRange(double min, double max) override {
        minADC = min;
        maxADC = max;
    }
    void setReplayScale(const ReplayScale&, const std::array<QString, 10>& axisLabels) override {
        labels = axisLabels;
    }
    int32_t plotPoint(int32_t x, double ohms, uint32_t colour) override {
        points.emplace_back(x, ohms, colour);
        return 0;
    }
    void setRemainder(float sum) override { remainder = sum; }
};

class SessionReplayTest : public ::testing::Test {
  protected:
    // Adds a saved session to the display list (a null file is left missing).
    void add(const QString& name, const QByteArray& readings, const QByteArray& header) {
        const QString base = dir.filePath(name);
        if (!readings.isNull()) writeFile(base + QStringLiteral(".Tst"), readings);
        if (!header.isNull()) writeFile(base + QStringLiteral(".Hdr"), header);
        list.tstPaths[size_t(list.count)] = base + QStringLiteral(".Tst");
        list.hdrPaths[size_t(list.count)] = base + QStringLiteral(".Hdr");
        ++list.count;
    }
    void draw() {
        canvas = FakeCanvas();
        boxes.shown.clear();
        SessionReplay(boxes).drawChosenSessions(list, canvas, comments);
    }
    bool drawnIn(uint32_t colour) const {
        return std::any_of(canvas.points.begin(), canvas.points.end(),
                           [&](const Point& p) { return std::get<2>(p) == colour; });
    }

    QTemporaryDir dir;
    DisplayList list;
    FakeCanvas canvas;
    CommentBox comments;
    ScriptedBoxes boxes;
};

} // namespace

TEST(ReplayScale, CommonRangeWithItsMarginCompressionAndAxes) {
    const ReplayScale scale = ReplayScale::compute(6500, 9000, 400, 489, 300);
    EXPECT_NEAR(scale.graphMaxOhms, 737844.7, 0.1);
    EXPECT_NEAR(scale.low, 7700010000.0 / 9125 - 470000, 1e-6); // about 373837 ohms
    EXPECT_NEAR(scale.graphScale, 300.0 / (737844.7 - 373837.3), 1e-6);
    // A flat range is widened by two percent.
    const ReplayScale flat = ReplayScale::compute(8000, 8000, 4, 489, 300);
    EXPECT_NEAR(flat.graphMaxOhms, 492501.25 * 1.02, 0.05);
    EXPECT_NEAR(flat.low, 492501.25 * 0.98, 1e-6);
    // The compression fits the longest session.
    EXPECT_EQ(ReplayScale::compute(6500, 9000, 1955, 489, 300).yCompress, 1);
    EXPECT_EQ(ReplayScale::compute(6500, 9000, 1956, 489, 300).yCompress, 2);
    const ReplayScale longest = ReplayScale::compute(6500, 9000, 20000 * 4, 489, 300);
    EXPECT_EQ(longest.yCompress, 41);
    EXPECT_EQ(longest.axisLabel(0, 489), formatOhms(longest.low));
    EXPECT_EQ(longest.axisLabel(4, 489), formatOhms(double(longest.graphMaxOhms)));
    EXPECT_EQ(longest.axisLabel(5, 489), QStringLiteral("00:00"));
    EXPECT_EQ(longest.axisLabel(9, 489), QStringLiteral("16:42")); // 489 / 2 x 41 x 4 / 40 = 1002.45 s
    // A range at the reading limits keeps both axis ends above zero ohms around the readings.
    for (const auto& [min, max] :
         {std::pair{1.0, 16383.0}, {16383.0, 16383.0}, {1.0, 1.0}, {50.0, 16000.0}}) {
        const ReplayScale s = ReplayScale::compute(min, max, 40, 489, 300);
        EXPECT_GT(s.low, 0) << min << " " << max;
        EXPECT_GE(s.graphMaxOhms, float(ohmsFromReading(min))) << min << " " << max;
        EXPECT_LE(s.low, ohmsFromReading(std::min(max, 16382.0))) << min << " " << max;
        EXPECT_TRUE(std::isfinite(s.graphScale) && s.graphScale > 0) << min << " " << max;
    }
}

TEST_F(SessionReplayTest, SixSessionsInTheSixColoursWithTheirComments) {
    std::vector<Point> expected;
    QString text;
    for (int k = 0; k < 6; ++k) {
        const int32_t level = 7000 + 300 * k, length = 50 + 10 * k;
        add(QStringLiteral("run%1").arg(k), records(std::vector<int32_t>(size_t(length), level)),
            header(QByteArray::number(level).prepend(' ').constData(),
                   QByteArray::number(level + 5).prepend(' ').constData(),
                   QByteArray("note ").append(QByteArray::number(k)).constData()));
        for (int x = 1; x <= length; ++x)
            expected.emplace_back(x, ohmsFromReading(level), kSessionColours[size_t(k)]);
        text += QStringLiteral("run%1  Comments ...\r\nnote %1\r\n").arg(k);
    }
    draw();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(canvas.clears, 1);
    EXPECT_EQ(canvas.minADC, 7000);
    EXPECT_EQ(canvas.maxADC, 8505);
    EXPECT_EQ(canvas.points, expected);
    EXPECT_EQ(comments.text(), text);
    EXPECT_EQ(canvas.labels[0], formatOhms(ohmsFromReading(8505 + 0.05 * 1505)));
}

TEST_F(SessionReplayTest, PointsAverageTheCompressedReadingsHalvesToEven) {
    SessionReplay::drawTrace({8001, 8002, 0, 8004, 8002, 8003, -5, 7, 11}, 2, 5, canvas);
    // 8001.5 -> 8002; the 0 at record 3 is left out but still counts as a record (4002 -> 4002);
    // 8002.5 -> 8002; the -5 at record 7 is left out: 7 / 2 = 3.5 -> 4; the 11 is left over.
    EXPECT_EQ(canvas.points, (std::vector<Point>{{1, ohmsFromReading(8002), 5},
                                                 {2, ohmsFromReading(4002), 5},
                                                 {3, ohmsFromReading(8002), 5},
                                                 {4, ohmsFromReading(4), 5}}));
    EXPECT_EQ(canvas.remainder, 11.0f);
    // A saved file is read in blocks of 1 MiB: groups that straddle a block's end average as in memory.
    std::vector<int32_t> readings;
    for (int32_t i = 0; i < (1 << 18) + 1003; ++i)
        readings.push_back(7000 + i % 2001);
    const QString path = dir.filePath(QStringLiteral("long.Tst"));
    writeFile(path, records(readings));
    FakeCanvas fromMemory;
    SessionReplay::drawTrace(readings, 537, 5, fromMemory);
    canvas = FakeCanvas();
    SessionReplay(boxes).drawTraceFromFile(path, 537, 5, canvas);
    EXPECT_EQ(canvas.points.size(), readings.size() / 537);
    EXPECT_EQ(canvas.points, fromMemory.points);
    EXPECT_EQ(canvas.remainder, fromMemory.remainder);
}

TEST_F(SessionReplayTest, ADamagedSessionIsNamedWithItsReasonAndTheOthersAreDrawn) {
    const QByteArray good = records(std::vector<int32_t>(30, 8000));
    struct Row {
        const char* name;
        QByteArray readings, header;
        const char* reason; // in the message after the session's name
        bool drawn;
    };
    const Row rows[] = {
        {"missing", QByteArray(), QByteArray(), " is left out: missing.Tst: ", false},
        {"nohdr", good, QByteArray(), " is left out: nohdr.Hdr: ", false},
        {"short", good, "\"MinADC\"\r\n\" 1\"\r\n\"MaxADC\"\r\n",
         ": short.Hdr: the header holds 3 of its 5 items", false},
        // A word is shown to its first 40 characters.
        {"wordy", good, header("lowwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww", " 9", "x"),
         ": MinADC \"lowwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww\" in wordy.Hdr is not a number in 0..16383",
         false},
        {"negative", good, header(" -1", " 9000", "x"), " is left out: MinADC \"-1\" in negative.Hdr", false},
        {"huge", good, header(" 7000", " 1E+308", "x"), " is left out: MaxADC \"1E+308\"", false},
        {"above", good, header(" 16384", " 16384", "x"), " is left out: MinADC \"16384\"", false},
        // A header without a usable range (a session that only rose was once written with MinADC 16383)
        // takes the range from its readings.
        {"rising", good, header(" 16383", " 8714", "x"), "", true},
        {"zero", good, header(" 0", " 9000", "x"), "", true},
        // A session without readings is listed with its comments, with nothing to draw.
        {"empty", QByteArray(""), header(" 16383", " 0", "x"), "", false},
        {"cut", good + QByteArray(3, '\x01'), header(" 7000", " 8000", "x"),
         ": the last 3 bytes of cut.Tst are", true},
        {"edges", good, header(" 1", " 16383", "x"), "", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        list.count = 0;
        add(QStringLiteral("good"), records(std::vector<int32_t>(30, 8150)),
            header(" 8100", " 8200", "fine"));
        add(QString::fromLatin1(row.name), row.readings, row.header);
        draw();
        ASSERT_EQ(boxes.shown.size(), *row.reason ? 1u : 0u);
        if (*row.reason) {
            EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Warning);
            EXPECT_TRUE(boxes.shown[0].text.startsWith(
                QStringLiteral("Some saved sessions cannot be displayed in full:\r\n") + row.name))
                << boxes.shown[0].text.toStdString();
            EXPECT_TRUE(boxes.shown[0].text.contains(QLatin1String(row.reason)));
        }
        // The good session is drawn, on a range that only drawable sessions set.
        EXPECT_TRUE(row.drawn || (canvas.minADC == 8100 && canvas.maxADC == 8200));
        EXPECT_TRUE(drawnIn(kSessionColours[0]));
        EXPECT_EQ(drawnIn(kSessionColours[1]), row.drawn);
        if (QByteArray(row.name) == "rising" || QByteArray(row.name) == "zero") {
            EXPECT_EQ(std::pair(canvas.minADC, canvas.maxADC), std::pair(8000.0, 8200.0));
        }
        EXPECT_EQ(comments.text().contains(QLatin1String(row.name) + QStringLiteral("  Comments ...\r\nx")),
                  !*row.reason || row.drawn);
    }

    // Nothing drawable leaves just the grid.
    list.count = 0;
    add(QStringLiteral("missing"), QByteArray(), QByteArray());
    draw();
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(canvas.clears, 1);
    EXPECT_TRUE(canvas.points.empty());
    EXPECT_EQ(std::pair(canvas.minADC, canvas.maxADC), std::pair(16383.0, 0.0));
    EXPECT_TRUE(canvas.labels[0].isEmpty() && comments.text().isEmpty());
    list.count = 0; // an empty choice is no damage
    draw();
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SessionReplayTest, OnlyRegularFilesAreReadAndAPipeOrADeviceIsNamedWithoutWaiting) {
    QTemporaryDir elsewhere;
    const QString outside = QDir(elsewhere.path()).filePath(QStringLiteral("kept.Tst"));
    writeFile(outside, records(std::vector<int32_t>(20, 8000)));
    const QByteArray good = header(" 8000", " 8000", "x");
    const auto pipe = [](const QString& path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path), 0600), 0); };
    const auto link = [](const QString& target, const QString& path) {
        ASSERT_TRUE(QFile::link(target, path));
    };
    const struct {
        const char* name;
        std::function<void(const QString& base)> make; // the files that are not plain
        const char* reason;                            // empty: drawn
    } rows[] = {
        {"piped", [&](const QString& b) { pipe(b + ".Tst"); }, "piped.Tst: something other than a file"},
        {"pipedhdr", [&](const QString& b) { pipe(b + ".Hdr"); },
         "pipedhdr.Hdr: something other than a file"},
        {"device", [&](const QString& b) { link("/dev/null", b + ".Tst"); },
         "device.Tst: something other than a file"},
        // A link to a regular file of the user's is read as the file.
        {"linked", [&](const QString& b) { link(outside, b + ".Tst"); }, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString base = dir.filePath(QString::fromLatin1(row.name));
        row.make(base);
        list.count = 0;
        add(QString::fromLatin1(row.name), QFileInfo::exists(base + ".Tst") ? QByteArray() : records({8000}),
            QFileInfo::exists(base + ".Hdr") ? QByteArray() : good);
        // The replay runs beside a watchdog: should it wait on a pipe, the pipe is given a writer that
        // closes at once, so the test ends with a failure instead of hanging.
        auto done = std::async(std::launch::async, [this] { draw(); });
        for (int round = 0;
             done.wait_for(std::chrono::seconds(round == 0 ? 5 : 1)) != std::future_status::ready; ++round) {
            ADD_FAILURE() << "the replay waited on a pipe";
            for (const char* ext : {".Tst", ".Hdr"}) {
                const int fd = ::open(QFile::encodeName(base + ext), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) ::close(fd);
            }
        }
        done.get();
        const QString told = boxes.shown.empty() ? QString() : boxes.shown[0].text;
        EXPECT_EQ(boxes.shown.size(), *row.reason ? 1u : 0u) << told.toStdString();
        EXPECT_TRUE(!*row.reason ||
                    told.contains(QString::fromLatin1(row.name) + " is left out: " + row.reason))
            << told.toStdString();
        EXPECT_EQ(canvas.points.size(), *row.reason ? 0u : 20u);
    }
}

} // namespace aurivo
