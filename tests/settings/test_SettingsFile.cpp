#include "FullDisk.h"
#include "TestFiles.h"
#include "settings/SettingsFile.h"

#include "core/NumberRules.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace aurivo {

namespace {

const char kWrittenFile[] =
    "\"Port # \"\r\n3\r\n\"Sensitivty = \"\r\n\"25abc\"\r\n"
    "\"Picture graph visibilty = \"\r\n\"True\"\r\n\"Color graph visibilty = \"\r\n\"False\"\r\n"
    "\"Bar graph visibilty = \"\r\n\"True\"\r\n\"Internal status visibilty = \"\r\n\"True\"\r\n"
    "\"Session comments visibilty = \"\r\n\"False\"\r\n\"Time etc. visibilty = \"\r\n\"True\"\r\n"
    "\"Form Width = \"\r\n8448\r\n\"Form Height = \"\r\n-8640\r\n\"Form Top = \"\r\n1440\r\n"
    "\"Form Left = \"\r\n3456\r\n\"Filter Size = \"\r\n5\r\n\"Jitter = \"\r\n120\r\n";

Settings sample() {
    Settings s;
    s.commPortNumber = 3;
    s.sensitivityText = QStringLiteral("25abc");
    s.views = PanelViews{true, false, true, true, false, true};
    s.windowWidth = 8448;
    s.windowHeight = -8640;
    s.windowTop = 1440;
    s.windowLeft = 3456;
    s.filterSize = 5;
    s.jitterRejection = 120;
    s.panelWeightSum = 16 + 2 + 3 + 2;
    return s;
}

// A file's text with value line `line` (1-based) replaced.
QByteArray withLine(const QByteArray& text, int line, const QByteArray& value) {
    QList<QByteArray> lines = text.split('\n');
    lines[line - 1] = value + "\r";
    return lines.join('\n');
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void writeRaw(const QByteArray& bytes) { writeFile(file.path(), bytes); }
    QByteArray readRaw() { return readFile(file.path()); }
    Settings load(const QByteArray& bytes) {
        writeRaw(bytes);
        Settings s;
        EXPECT_EQ(file.read(s).status, SettingsFile::ReadResult::Status::Ok);
        return s;
    }

    QTemporaryDir dir;
    SettingsFile file{dir.path()};
};

} // namespace

TEST(SettingsDefaults, CentredWindowOf55By75PercentHalvesToEven) {
    const Settings s = SettingsFile::defaults(15360, 11520);
    EXPECT_EQ(s.commPortNumber, 2);
    EXPECT_EQ(s.sensitivityText, QStringLiteral("25"));
    EXPECT_TRUE(s.views.pictureGraph);
    EXPECT_EQ(s.filterSize, 3);
    EXPECT_EQ(s.jitterRejection, 100);
    EXPECT_EQ(s.panelWeightSum, 28);
    // {screen width, height, window width, height, left, top}: 0.55 x 1010 = 555.5 -> 556,
    // 0.75 x 1002 = 751.5 -> 752, 0.55 x 1030 = 566.5 -> 566, (100 - 75) / 2 = 12.5 -> 12.
    const std::array<int, 6> rows[] = {{15360, 11520, 8448, 8640, 3456, 1440},
                                       {1010, 1002, 556, 752, 227, 125},
                                       {1030, 100, 566, 75, 232, 12}};
    for (const auto& r : rows) {
        const Settings d = SettingsFile::defaults(r[0], r[1]);
        EXPECT_EQ((std::array<int, 6>{r[0], r[1], d.windowWidth, d.windowHeight, d.windowLeft, d.windowTop}),
                  r);
    }
}

TEST_F(SettingsFileTest, WritesTheExact28LinesAndReadsThemBack) {
    ASSERT_TRUE(file.write(sample()));
    EXPECT_EQ(QFileInfo(file.path()).fileName(), QStringLiteral("Aurivo_USB.ini"));
    EXPECT_EQ(readRaw(), QByteArray(kWrittenFile));

    for (Settings s : {sample(), SettingsFile::defaults(28800, 16200)}) {
        s.sensitivityText = QStringLiteral("33.5 \u20AC"); // non-ASCII survives the round trip
        ASSERT_TRUE(file.write(s));
        Settings back;
        ASSERT_EQ(file.read(back).status, SettingsFile::ReadResult::Status::Ok);
        EXPECT_EQ(back, s);
    }
    // The comma-separated form reads the same.
    EXPECT_EQ(
        load("\"Port # \",3,\"Sensitivty = \",\"25abc\"\r\n"
             "\"Picture graph visibilty = \",\"True\",\"Color graph visibilty = \",\"False\","
             "\"Bar graph visibilty = \",\"True\"\r\n"
             "\"Internal status visibilty = \",\"True\",\"Session comments visibilty = \",\"False\","
             "\"Time etc. visibilty = \",\"True\"\n"
             "\"Form Width = \", 8448, \"Form Height = \", -8640,\"Form Top = \",1440,\"Form Left = \",3456\n"
             "\"Filter Size = \",5,\"Jitter = \",120"),
        sample());
}

TEST_F(SettingsFileTest, BoundaryValuesOnReading) {
    using Field = std::function<int(const Settings&)>;
    const Field port = [](const Settings& s) { return s.commPortNumber; };
    const Field sense = [](const Settings& s) { return int(numbers::valueOf(s.sensitivityText)); };
    const Field filter = [](const Settings& s) { return s.filterSize; };
    const Field jitter = [](const Settings& s) { return s.jitterRejection; };
    const Field width = [](const Settings& s) { return s.windowWidth; };
    const Field left = [](const Settings& s) { return s.windowLeft; };
    struct Row {
        int line;
        const char* value;
        const Field& field;
        int expected;
    };
    // Out-of-range ports, sensitivities, filter sizes and jitters fall back or are clamped; filter and
    // jitter round halves to even; geometry is taken as it stands, rounded to whole twips.
    const Row rows[] = {
        {2, "0", port, 2},
        {2, "1", port, 1},
        {2, "16", port, 16},
        {2, "17", port, 2},
        {2, "x", port, 2},
        {4, "\"19\"", sense, 20},
        {4, "\"1000\"", sense, 1000},
        {4, "\"1000.5\"", sense, 20},
        {4, "\"abc\"", sense, 20},
        {26, "0", filter, 1},
        {26, "9", filter, 8},
        {26, "2.5", filter, 2},
        {26, "7.5", filter, 8},
        {26, "abc", filter, 1},
        {28, "10", jitter, 50},
        {28, "300", jitter, 255},
        {28, "254.5", jitter, 254},
        {28, "\"high\"", jitter, 50},
        {18, "-99999", width, -99999},
        {24, "12.5", left, 12},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.field(load(withLine(kWrittenFile, r.line, r.value))), r.expected)
            << r.line << " " << r.value;
    // A sensitivity text in range is kept as it stands.
    EXPECT_EQ(load(withLine(kWrittenFile, 4, "\" 20\"")).sensitivityText, QStringLiteral(" 20"));

    // Visibility must be exactly "True"; each panel alone adds its start-up weight (the strip counts 2).
    const QByteArray none = QByteArray(kWrittenFile).replace("\"True\"", "\"true\"");
    EXPECT_EQ(load(none).panelWeightSum, 0);
    EXPECT_FALSE(load(none).views.pictureGraph);
    EXPECT_EQ(load(QByteArray(kWrittenFile).replace("\"False\"", "\"True\"")).panelWeightSum, 28);
    const int weights[] = {16, 2, 2, 3, 3, 2};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(load(withLine(none, 6 + 2 * i, "\"True\"")).panelWeightSum, weights[i]) << i;
}

TEST_F(SettingsFileTest, ShortAndEmptyFilesStayWithinTheChecks) {
    // Only port and sensitivity present: the rest keeps the initial values, then the checks apply.
    const Settings s =
        load("\"Port # \"\r\n5\r\n\"Sensitivty = \"\r\n\"50\"\r\n\"Picture graph visibilty = \"\r\n");
    EXPECT_EQ(s.commPortNumber, 5);
    EXPECT_EQ(s.sensitivityText, QStringLiteral("50"));
    EXPECT_FALSE(s.views.pictureGraph);
    EXPECT_EQ(s.windowWidth, 0);
    EXPECT_EQ(s.filterSize, 1);
    EXPECT_EQ(s.jitterRejection, 50);
    EXPECT_EQ(s.panelWeightSum, 0);
    Settings expected;
    expected.commPortNumber = 2;
    expected.sensitivityText = QStringLiteral("20");
    expected.filterSize = 1;
    expected.jitterRejection = 50;
    EXPECT_EQ(load(QByteArray()), expected);
    // A missing item leaves what the caller passed in.
    writeRaw("\"Port # \"\r\n");
    Settings given = sample();
    ASSERT_EQ(file.read(given).status, SettingsFile::ReadResult::Status::Ok);
    EXPECT_EQ(given, sample());
}

TEST_F(SettingsFileTest, UnreadableFilesAndFailedWrites) {
    Settings s = sample();
    EXPECT_EQ(file.read(s).status, SettingsFile::ReadResult::Status::Missing);
    EXPECT_EQ(s, sample());
    SettingsFile nowhere(dir.filePath(QStringLiteral("missing")));
    QString error;
    EXPECT_FALSE(nowhere.write(sample(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(nowhere.path()));
    QTemporaryDir other; // a folder in the file's place cannot be opened as a file
    ASSERT_TRUE(QDir(other.path()).mkdir(QStringLiteral("Aurivo_USB.ini")));
    const auto result = SettingsFile(other.path()).read(s);
    EXPECT_EQ(result.status, SettingsFile::ReadResult::Status::Failed);
    EXPECT_FALSE(result.error.isEmpty());
}

TEST(SettingsFileWrite, AFullDiskOrAReadOnlyFolderNeverCostsThePreviousFile) {
    // The folder: a full disk, or read-only (as seen by an unprivileged user) with the file writable or
    // not. A writable file in a read-only folder is rewritten in place.
    struct Row {
        const char* what;
        bool full;
        int folderMode, fileMode;
        const char* error; // empty: written
    };
    const Row rows[] = {
        {"full disk", true, 0755, 0644, "full"},
        {"read-only folder, writable file", false, 0555, 0666, ""},
        {"read-only folder and file", false, 0555, 0444, "Permission denied"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FullDisk disk(8192);
        SettingsFile file(disk.path());
        Settings old = sample();
        old.commPortNumber = 9;
        ASSERT_TRUE(file.write(old));
        QFile f(file.path());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray before = f.readAll();
        f.close();
        if (row.full) disk.fill();
        ::chmod(QFile::encodeName(file.path()).constData(), mode_t(row.fileMode));
        ::chmod(QFile::encodeName(disk.path()).constData(), mode_t(row.folderMode));
        QString error;
        bool written;
        if (row.folderMode == 0555) {
            ForeignUser user;
            written = file.write(sample(), &error);
        } else {
            written = file.write(sample(), &error);
        }
        ::chmod(QFile::encodeName(disk.path()).constData(), 0755);
        disk.free();
        const QString expected = QString::fromLatin1(row.error) == QLatin1String("full")
                                     ? disk.reason()
                                     : QString::fromLatin1(row.error);
        EXPECT_EQ(written, expected.isEmpty());
        EXPECT_EQ(error, expected);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), written ? QByteArray(kWrittenFile) : before);
        EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("Aurivo")),
                  QStringList{QStringLiteral("Aurivo_USB.ini")});
    }
}

} // namespace aurivo
