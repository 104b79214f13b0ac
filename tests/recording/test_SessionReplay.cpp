#include "MonitorFakes.h"
#include "TestFiles.h"
#include "display/GraphCanvas.h"
#include "recording/ReplayScale.h"
#include "recording/SavedSession.h"
#include "recording/SessionReplay.h"

#include "core/NumberRules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

namespace aurivo {

using numbers::formatOhms;
using numbers::toLong;

namespace {

QByteArray records(const std::vector<int32_t>& readings) {
    QByteArray bytes;
    for (int32_t r : readings) {
        char le[4];
        qToLittleEndian(r, le);
        bytes.append(le, 4);
    }
    return bytes;
}

QByteArray header(const char* min, const char* max, const char* comments) {
    return QByteArray("\"MinADC\"\r\n\"") + min + "\"\r\n\"MaxADC\"\r\n\"" + max + "\"\r\n\"" + comments +
           "\"\r\n";
}

// The graph as the replay sees it: a picture drawn like the graph draws (the first point of a trace is
// set, the next ones are joined by lines), and the range, scale and captions it was given.
class FakeCanvas : public ReplayCanvas {
  public:
    GraphCanvas picture;
    double minADC = -1, maxADC = -1;
    ReplayScale scale;
    std::array<QString, 10> labels;
    float remainder = -1;
    int grids = 0;
    std::vector<std::pair<int32_t, double>> points;
    uint32_t lastColour = 0;

    int scaleWidth() const override { return picture.scaleWidth(); }
    int scaleHeight() const override { return picture.scaleHeight(); }
    void clearForReplay() override {
        picture.clear();
        ++grids;
    }
    void setRange(double min, double max) override {
        minADC = min;
        maxADC = max;
    }
    void setReplayScale(const ReplayScale& s, const std::array<QString, 10>& axisLabels) override {
        scale = s;
        labels = axisLabels;
    }
    int32_t plotPoint(int32_t x, double ohms, uint32_t colour) override {
        const int32_t y = yOfOhms(ohms);
        if (x == 1)
            picture.setPixel(x, y, colour);
        else
            picture.lineTo(x, y, colour);
        points.push_back({x, ohms});
        lastColour = colour;
        return y;
    }
    void setRemainder(float sum) override { remainder = sum; }
    int32_t yOfOhms(double ohms) const {
        return toLong(picture.scaleHeight() - (scale.graphMaxOhms - ohms) * scale.graphScale);
    }
};

class SessionReplayTest : public ::testing::Test {
  protected:
    // Adds a saved session to the display list.
    void add(const QString& name, const QByteArray& readings, const QByteArray& header) {
        const QString base = dir.filePath(name);
        if (!readings.isNull()) writeFile(base + QStringLiteral(".Tst"), readings);
        if (!header.isNull()) writeFile(base + QStringLiteral(".Hdr"), header);
        list.tstPaths[size_t(list.count)] = base + QStringLiteral(".Tst");
        list.hdrPaths[size_t(list.count)] = base + QStringLiteral(".Hdr");
        ++list.count;
    }
    int32_t yOf(double reading) const { return canvas.yOfOhms(numbers::ohmsFromReading(reading)); }
    void draw() {
        SessionReplay replay(boxes);
        replay.drawChosenSessions(list, canvas, comments);
    }

    QTemporaryDir dir;
    DisplayList list;
    FakeCanvas canvas;
    CommentBox comments;
    ScriptedBoxes boxes;
    GraphCanvas& picture = canvas.picture;
    std::vector<std::pair<int32_t, double>>& points = canvas.points;
};

const uint32_t kColours[6] = {0x00FFFF00, 0x0000FFFF, 0x0000FF00, 0x00FF00FF, 0x00FF0000, 0x000000FF};

} // namespace

TEST(ReplayScale, CommonRangeWithItsMarginCompressionAndAxes) {
    const ReplayScale scale = ReplayScale::compute(6500, 9000, 400, 489, 300);
    EXPECT_NEAR(scale.graphMaxOhms, 737844.7, 0.1);
    EXPECT_NEAR(scale.low, 7700010000.0 / 9125 - 470000, 1e-6); // about 373837 ohms
    EXPECT_NEAR(scale.graphScale, 300.0 / (737844.7 - 373837.3), 1e-6);
    EXPECT_EQ(scale.yCompress, 1);
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
    EXPECT_EQ(longest.axisLabel(2, 489),
              formatOhms((double(longest.graphMaxOhms) - longest.low) / 2 + longest.low));
    EXPECT_EQ(longest.axisLabel(4, 489), formatOhms(double(longest.graphMaxOhms)));
    EXPECT_EQ(longest.axisLabel(5, 489), QStringLiteral("00:00"));
    EXPECT_EQ(longest.axisLabel(9, 489), QStringLiteral("16:42")); // 489 / 2 x 41 x 4 / 40 = 1002.45 s
}

TEST(SavedSession, ReadsLittleEndianRecordsAndTheHeader) {
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("s.Tst")), records({8000, 8010, 8020}));
    writeFile(dir.filePath(QStringLiteral("s.Hdr")), header(" 8000", " 8020", "Start\r\nfirst, second"));
    const SavedSession s =
        SavedSession::load(dir.filePath(QStringLiteral("s.Tst")), dir.filePath(QStringLiteral("s.Hdr")));
    ASSERT_TRUE(s.ok()) << s.error.toStdString();
    EXPECT_EQ(s.readings, (std::vector<int32_t>{8000, 8010, 8020}));
    EXPECT_EQ(s.lengthBytes, 12);
    EXPECT_EQ(s.minADC, 8000);
    EXPECT_EQ(s.maxADC, 8020);
    EXPECT_EQ(s.comments, QStringLiteral("Start\r\nfirst, second"));
}

TEST_F(SessionReplayTest, SixSessionsInTheSixColoursWithTheirComments) {
    picture.setPixel(400, 10, 0x00FFFFFF); // something old on the picture
    for (int k = 0; k < 6; ++k) {
        const int32_t level = 7000 + 300 * k;
        add(QStringLiteral("run%1").arg(k), records(std::vector<int32_t>(size_t(50 + 10 * k), level)),
            header(QByteArray::number(level).prepend(' ').constData(),
                   QByteArray::number(level + 5).prepend(' ').constData(),
                   QByteArray("note ").append(QByteArray::number(k)).constData()));
    }
    draw();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(canvas.grids, 1);
    EXPECT_EQ(picture.pixelColour(400, 10), 0x00000000u);
    EXPECT_EQ(canvas.minADC, 7000);
    EXPECT_EQ(canvas.maxADC, 8505);
    EXPECT_EQ(canvas.scale.yCompress, 1);
    QString expected;
    for (int k = 0; k < 6; ++k)
        expected += QStringLiteral("run%1  Comments ...\r\nnote %1\r\n").arg(k);
    EXPECT_EQ(comments.text(), expected);
    for (int k = 0; k < 6; ++k) {
        const int y = yOf(7000 + 300 * k);
        EXPECT_EQ(picture.pixelColour(1, y), kColours[k]) << k;
        EXPECT_EQ(picture.pixelColour(40, y), kColours[k]) << k;
        EXPECT_EQ(picture.pixelColour(50 + 10 * k + 2, y), 0x00000000u) << k; // ends with its session
    }
    EXPECT_EQ(canvas.lastColour, kColours[5]);
    EXPECT_EQ(canvas.labels[0], formatOhms(numbers::ohmsFromReading(8505 + 0.05 * 1505)));
    EXPECT_EQ(canvas.labels[5], QStringLiteral("00:00"));
    // Every session starts at the left edge.
    EXPECT_EQ(std::count_if(points.begin(), points.end(), [](const auto& p) { return p.first == 1; }), 6);
}

TEST_F(SessionReplayTest, PointsAverageTheCompressedReadingsHalvesToEven) {
    SessionReplay::drawTrace({8001, 8002, 0, 8004, 8002, 8003, -5, 7}, 2, kColours[2], canvas);
    const std::vector<std::pair<int32_t, double>>& seen = canvas.points;
    EXPECT_EQ(canvas.lastColour, kColours[2]);
    using numbers::ohmsFromReading;
    // 8001.5 -> 8002; the 0 at record 3 is left out but still counts as a record (4002 -> 4002);
    // 8002.5 -> 8002; the -5 at record 7 is left out: 7 / 2 = 3.5 -> 4.
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0], std::make_pair(1, ohmsFromReading(8002)));
    EXPECT_EQ(seen[1], std::make_pair(2, ohmsFromReading(4002)));
    EXPECT_EQ(seen[2], std::make_pair(3, ohmsFromReading(8002)));
    EXPECT_EQ(seen[3], std::make_pair(4, ohmsFromReading(4)));
    EXPECT_EQ(canvas.remainder, 0.0f);
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
        {"short", good, "\"MinADC\"\r\n\" 100\"\r\n\"MaxADC\"\r\n", "the header holds 3 of its 5 items",
         false},
        {"wordy", good, header("low", " 9000", "x"),
         "MinADC \"low\" in wordy.Hdr is not a number in 1..16383", false},
        {"zero", good, header(" 0", " 9000", "x"), "MinADC \"0\" in zero.Hdr is not a number", false},
        {"negative", good, header(" -5", " 9000", "x"), "MinADC \"-5\"", false},
        {"huge", good, header(" 7000", " 1E+308", "x"), "MaxADC \"1E+308\" in huge.Hdr", false},
        {"above", good, header(" 16384", " 16384", "x"), "MinADC \"16384\"", false},
        {"crossed", good, header(" 9000", " 8000", "x"), " is left out: MinADC 9000 is above MaxADC 8000",
         false},
        {"empty", QByteArray(""), header(" 16383", " 0", "x"), " is left out: empty.Tst holds no readings",
         false},
        {"cut", good + QByteArray(3, '\x01'), header(" 7000", " 8000", "x"),
         "cut: the last 3 bytes of cut.Tst are not a whole reading and were left out", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        list.count = 0;
        boxes.shown.clear();
        add(QStringLiteral("good"), records(std::vector<int32_t>(30, 8150)),
            header(" 8100", " 8200", "fine"));
        add(QString::fromLatin1(row.name), row.readings, row.header);
        draw();
        ASSERT_EQ(boxes.shown.size(), 1u);
        const auto& box = boxes.shown[0];
        EXPECT_EQ(box.icon, MessageBoxes::Icon::Warning);
        EXPECT_TRUE(box.text.contains(QString::fromLatin1(row.name) + QString::fromLatin1(row.reason)) ||
                    box.text.contains(QString::fromLatin1(row.reason)))
            << box.text.toStdString();
        EXPECT_FALSE(box.text.contains(QStringLiteral("good")));
        // The good session is drawn on a scale that only drawable sessions set.
        EXPECT_EQ(canvas.minADC, row.drawn ? 7000 : 8100);
        EXPECT_EQ(canvas.maxADC, 8200);
        EXPECT_EQ(picture.pixelColour(10, yOf(8150)), kColours[0]);
        const int32_t y = yOf(8000);
        EXPECT_EQ(row.drawn,
                  y >= 0 && y < picture.scaleHeight() && picture.pixelColour(10, y) == kColours[1]);
        for (const QString& label : canvas.labels)
            EXPECT_FALSE(label.trimmed().startsWith(QLatin1Char('-'))) << label.toStdString();
        QFile::remove(dir.filePath(QString::fromLatin1(row.name) + QStringLiteral(".Tst")));
    }

    // Nothing drawable leaves just the grid.
    list.count = 0;
    add(QStringLiteral("missing"), QByteArray(), QByteArray());
    points.clear();
    canvas.grids = 0;
    boxes.shown.clear();
    draw();
    EXPECT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(canvas.grids, 1);
    EXPECT_TRUE(points.empty());
    EXPECT_TRUE(comments.text().isEmpty());
}

TEST(ReplayScale, ARangeAtTheReadingLimitsKeepsBothAxisEndsAboveZeroOhmsAroundTheReadings) {
    for (const auto& [min, max] :
         {std::pair{1.0, 16383.0}, {16383.0, 16383.0}, {1.0, 1.0}, {50.0, 16000.0}}) {
        const ReplayScale scale = ReplayScale::compute(min, max, 40, 489, 300);
        EXPECT_GT(scale.low, 0) << min << " " << max;
        EXPECT_GE(scale.graphMaxOhms, float(numbers::ohmsFromReading(min))) << min << " " << max;
        EXPECT_LE(scale.low, numbers::ohmsFromReading(std::min(max, 16382.0))) << min << " " << max;
        EXPECT_TRUE(std::isfinite(scale.graphScale) && scale.graphScale > 0) << min << " " << max;
    }
}

} // namespace aurivo
