#include "TestFiles.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <array>
#include <gtest/gtest.h>
#include <tuple>

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
    const PanelViews views{true, false, true, true, false, true};
    return {3, QStringLiteral("25abc"), views, 8448, -8640, 1440, 3456, 5, 120, 23};
}

// A file's text with value line `line` (1-based) replaced.
QByteArray withLine(const QByteArray& text, int line, const QByteArray& value) {
    QList<QByteArray> lines = text.split('\n');
    lines[line - 1] = value + "\r";
    return lines.join('\n');
}

class SettingsFileTest : public ::testing::Test {
  protected:
    Settings load(const QByteArray& bytes) {
        writeFile(file.path(), bytes);
        Settings s;
        EXPECT_EQ(file.read(s).status, SettingsFile::ReadResult::Status::Ok);
        return s;
    }

    QTemporaryDir dir;
    SettingsFile file{dir.path()};
};

} // namespace

TEST(SettingsDefaults, CentredWindowOf55By75PercentHalvesToEven) {
    // 0.55 x 1010 = 555.5 -> 556, 0.75 x 1002 = 751.5 -> 752, 0.55 x 1030 = 566.5 -> 566, 12.5 -> 12.
    EXPECT_EQ(SettingsFile::defaults(1010, 1002),
              (Settings{2, QStringLiteral("25"), PanelViews::all(), 556, 752, 125, 227, 3, 100, 28}));
    const Settings d = SettingsFile::defaults(1030, 100);
    EXPECT_EQ((std::array{d.windowWidth, d.windowHeight, d.windowLeft, d.windowTop}),
              (std::array{566, 75, 232, 12}));
}

TEST_F(SettingsFileTest, WritesTheExact28LinesAndReadsThemBack) {
    ASSERT_TRUE(file.write(sample()));
    EXPECT_EQ(readFile(file.path()), QByteArray(kWrittenFile));
    EXPECT_EQ(load(kWrittenFile), sample());
}

TEST_F(SettingsFileTest, ChecksOnReadingSeenInTheFileWrittenBack) {
    // Out-of-range ports and sensitivities fall back, filter and jitter are clamped and rounded halves to
    // even, geometry is taken as it stands in whole twips.
    const std::tuple<int, const char*, const char*> rows[] = {
        {2, "0", "2"},
        {2, "1", "1"},
        {2, "16", "16"},
        {2, "17", "2"},
        {4, "\"19\"", "\"20\""},
        {4, "\"1000\"", "\"1000\""},
        {4, "\" 20\"", "\" 20\""},
        {4, "\"1000.5\"", "\"20\""},
        {26, "0", "1"},
        {26, "9", "8"},
        {26, "2.5", "2"},
        {26, "7.5", "8"},
        {28, "10", "50"},
        {28, "300", "255"},
        {28, "254.5", "254"},
        {18, "-99999", "-99999"},
        {24, "12.5", "12"},
    };
    for (const auto& [line, read, written] : rows) { // the value on `line` read, and written back
        ASSERT_TRUE(file.write(load(withLine(kWrittenFile, line, read))));
        EXPECT_EQ(readFile(file.path()), withLine(kWrittenFile, line, written)) << line << " " << read;
    }
    // Visibility must be exactly "True"; each panel alone adds its start-up weight.
    const QByteArray none = QByteArray(kWrittenFile).replace("\"True\"", "\"true\"");
    EXPECT_EQ(load(none).panelWeightSum, 0);
    const int weights[] = {16, 2, 2, 3, 3, 2};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(load(withLine(none, 6 + 2 * i, "\"True\"")).panelWeightSum, weights[i]) << i;
}

TEST_F(SettingsFileTest, ShortEmptyAndUnreadableFiles) {
    // What a short file lacks keeps the value passed in, then the checks apply.
    EXPECT_EQ(load("\"Port # \"\r\n5\r\n\"Sensitivty = \"\r\n\"50\"\r\n\"Picture graph visibilty = \"\r\n"),
              (Settings{5, QStringLiteral("50"), {}, 0, 0, 0, 0, 1, 50, 0}));
    EXPECT_EQ(load(QByteArray()), (Settings{2, QStringLiteral("20"), {}, 0, 0, 0, 0, 1, 50, 0}));
    writeFile(file.path(), "\"Port # \"\r\n");
    Settings given = sample();
    ASSERT_EQ(file.read(given).status, SettingsFile::ReadResult::Status::Ok);
    EXPECT_EQ(given, sample());

    QTemporaryDir other; // no file, or a folder in its place
    EXPECT_EQ(SettingsFile(other.path()).read(given).status, SettingsFile::ReadResult::Status::Missing);
    EXPECT_EQ(given, sample());
    ASSERT_TRUE(QDir(other.path()).mkdir(QStringLiteral("Aurivo_USB.ini")));
    const auto result = SettingsFile(other.path()).read(given);
    EXPECT_EQ(result.status, SettingsFile::ReadResult::Status::Failed);
    EXPECT_FALSE(result.error.isEmpty());
}

} // namespace aurivo
