#include "settings/SettingsFile.h"

#include "app/NumberRules.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char kWrittenFile[] = "\"Port # \"\r\n3\r\n"
                            "\"Sensitivty = \"\r\n\"25abc\"\r\n"
                            "\"Picture graph visibilty = \"\r\n\"True\"\r\n"
                            "\"Color graph visibilty = \"\r\n\"False\"\r\n"
                            "\"Bar graph visibilty = \"\r\n\"True\"\r\n"
                            "\"Internal status visibilty = \"\r\n\"True\"\r\n"
                            "\"Session comments visibilty = \"\r\n\"False\"\r\n"
                            "\"Time etc. visibilty = \"\r\n\"True\"\r\n"
                            "\"Form Width = \"\r\n8448\r\n"
                            "\"Form Height = \"\r\n-8640\r\n"
                            "\"Form Top = \"\r\n1440\r\n"
                            "\"Form Left = \"\r\n3456\r\n"
                            "\"Filter Size = \"\r\n5\r\n"
                            "\"Jitter = \"\r\n120\r\n";

Settings Sample() {
    Settings s;
    s.CommPortNumber = 3;
    s.SensitivityText = QStringLiteral("25abc");
    s.PictureGraphVisible = QStringLiteral("True");
    s.ColorGraphVisible = QStringLiteral("False");
    s.BarGraphVisible = QStringLiteral("True");
    s.InternalStatusVisible = QStringLiteral("True");
    s.SessionCommentsVisible = QStringLiteral("False");
    s.TimeEtcVisible = QStringLiteral("True");
    s.WindowWidth = 8448;
    s.WindowHeight = -8640;
    s.WindowTop = 1440;
    s.WindowLeft = 3456;
    s.FilterSize = 5;
    s.JitterRejection = 120;
    s.PanelWeightSum = 16 + 2 + 3 + 2;
    return s;
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void WriteRaw(const QByteArray& bytes) {
        QFile f(file.Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray ReadRaw() {
        QFile f(file.Path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Reads the given file content into the program's initial values.
    Settings Load(const QByteArray& bytes) {
        WriteRaw(bytes);
        Settings s;
        EXPECT_EQ(file.Read(s).status, SettingsFile::ReadResult::Status::Ok);
        return s;
    }
    // A written sample file with the value line `line` (1-based) replaced.
    QByteArray WithLine(int line, const QByteArray& value) {
        QList<QByteArray> lines = QByteArray(kWrittenFile).split('\n');
        lines[line - 1] = value + "\r";
        return lines.join('\n');
    }

    QTemporaryDir dir;
    SettingsFile file{dir.path()};
};

} // namespace

TEST(SettingsDefaults, CentredWindowOf55By75Percent) {
    const Settings s = SettingsFile::Defaults(15360, 11520);
    EXPECT_EQ(s.WindowWidth, 8448);
    EXPECT_EQ(s.WindowHeight, 8640);
    EXPECT_EQ(s.WindowLeft, 3456);
    EXPECT_EQ(s.WindowTop, 1440);
    EXPECT_EQ(s.CommPortNumber, 2);
    EXPECT_EQ(s.SensitivityText, QStringLiteral("25"));
    EXPECT_EQ(s.PictureGraphVisible, QStringLiteral("True"));
    EXPECT_EQ(s.TimeEtcVisible, QStringLiteral("True"));
    EXPECT_EQ(s.FilterSize, 3);
    EXPECT_EQ(s.JitterRejection, 100);
    EXPECT_EQ(s.PanelWeightSum, 28);
    // Halves go to the even neighbour: 0.55 x 1010 = 555.5 -> 556, 0.75 x 1002 = 751.5 -> 752,
    // (1010 - 556) / 2 = 227, (1002 - 752) / 2 = 125; 0.55 x 1030 = 566.5 -> 566, (1030 - 566) / 2 = 232.
    const Settings odd = SettingsFile::Defaults(1010, 1002);
    EXPECT_EQ(odd.WindowWidth, 556);
    EXPECT_EQ(odd.WindowHeight, 752);
    EXPECT_EQ(odd.WindowLeft, 227);
    EXPECT_EQ(odd.WindowTop, 125);
    EXPECT_EQ(SettingsFile::Defaults(1030, 100).WindowWidth, 566);
    EXPECT_EQ(SettingsFile::Defaults(1030, 100).WindowLeft, 232);
}

TEST_F(SettingsFileTest, WritesTheExact28Lines) {
    ASSERT_TRUE(file.Write(Sample()));
    EXPECT_EQ(QFileInfo(file.Path()).fileName(), QStringLiteral("Aurivo_USB.ini"));
    const QByteArray bytes = ReadRaw();
    EXPECT_EQ(bytes, QByteArray(kWrittenFile));
    EXPECT_EQ(bytes.count("\r\n"), 28);
    EXPECT_EQ(bytes.count('\n'), 28);
}

TEST_F(SettingsFileTest, WriteNormalisesVisibilityToTrueOrFalse) {
    Settings s = Sample();
    s.PictureGraphVisible = QStringLiteral("true");
    ASSERT_TRUE(file.Write(s));
    EXPECT_TRUE(ReadRaw().contains("\"Picture graph visibilty = \"\r\n\"False\"\r\n"));
}

TEST_F(SettingsFileTest, RoundTripKeepsEveryField) {
    for (Settings s : {Sample(), SettingsFile::Defaults(28800, 16200)}) {
        s.SensitivityText = QStringLiteral("33.5 \u20AC"); // non-ASCII survives the round trip
        ASSERT_TRUE(file.Write(s));
        Settings back;
        ASSERT_EQ(file.Read(back).status, SettingsFile::ReadResult::Status::Ok);
        EXPECT_EQ(back, s);
    }
}

TEST_F(SettingsFileTest, CommaSeparatedFileReadsTheSame) {
    const QByteArray commas =
        "\"Port # \",3,\"Sensitivty = \",\"25abc\"\r\n"
        "\"Picture graph visibilty = \",\"True\",\"Color graph visibilty = \",\"False\","
        "\"Bar graph visibilty = \",\"True\"\r\n"
        "\"Internal status visibilty = \",\"True\",\"Session comments visibilty = \",\"False\","
        "\"Time etc. visibilty = \",\"True\"\n"
        "\"Form Width = \", 8448, \"Form Height = \", -8640,\"Form Top = \",1440,\"Form Left = \",3456\n"
        "\"Filter Size = \",5,\"Jitter = \",120";
    EXPECT_EQ(Load(commas), Sample());
    EXPECT_EQ(Load(kWrittenFile), Sample());
}

TEST_F(SettingsFileTest, ChecksOnReading) {
    // Port line is line 2.
    EXPECT_EQ(Load(WithLine(2, "0")).CommPortNumber, 2);
    EXPECT_EQ(Load(WithLine(2, "16")).CommPortNumber, 16);
    EXPECT_EQ(Load(WithLine(2, "17")).CommPortNumber, 2);
    EXPECT_EQ(Load(WithLine(2, "1")).CommPortNumber, 1);
    EXPECT_EQ(Load(WithLine(2, "x")).CommPortNumber, 2);
    // Sensitivity is line 4; its text is kept when its leading number is in range.
    EXPECT_EQ(Load(WithLine(4, "\"19\"")).SensitivityText, QStringLiteral("20"));
    EXPECT_EQ(Load(WithLine(4, "\"1000\"")).SensitivityText, QStringLiteral("1000"));
    EXPECT_EQ(Load(WithLine(4, "\"1000.5\"")).SensitivityText, QStringLiteral("20"));
    EXPECT_EQ(Load(WithLine(4, "\" 20\"")).SensitivityText, QStringLiteral(" 20"));
    EXPECT_EQ(Load(WithLine(4, "\"abc\"")).SensitivityText, QStringLiteral("20"));
    // Visibility must be exactly "True".
    const Settings lower = Load(WithLine(6, "\"true\""));
    EXPECT_EQ(lower.PictureGraphVisible, QStringLiteral("False"));
    EXPECT_EQ(lower.PanelWeightSum, 2 + 3 + 2);
    // Filter size (line 26) clamped to 1..8, then rounded halves to even.
    EXPECT_EQ(Load(WithLine(26, "0")).FilterSize, 1);
    EXPECT_EQ(Load(WithLine(26, "9")).FilterSize, 8);
    EXPECT_EQ(Load(WithLine(26, "2.5")).FilterSize, 2);
    EXPECT_EQ(Load(WithLine(26, "7.5")).FilterSize, 8);
    EXPECT_EQ(Load(WithLine(26, "abc")).FilterSize, 1);
    // Jitter (line 28) clamped to 50..255.
    EXPECT_EQ(Load(WithLine(28, "10")).JitterRejection, 50);
    EXPECT_EQ(Load(WithLine(28, "300")).JitterRejection, 255);
    EXPECT_EQ(Load(WithLine(28, "254.5")).JitterRejection, 254);
    EXPECT_EQ(Load(WithLine(28, "\"high\"")).JitterRejection, 50);
    // Geometry is taken as it stands, rounded to whole twips.
    EXPECT_EQ(Load(WithLine(18, "-99999")).WindowWidth, -99999);
    EXPECT_EQ(Load(WithLine(24, "12.5")).WindowLeft, 12);
}

TEST_F(SettingsFileTest, VisibilityWeightsInFileOrder) {
    const QByteArray all = QByteArray(kWrittenFile).replace("\"False\"", "\"True\"");
    EXPECT_EQ(Load(all).PanelWeightSum, 28);
    const QByteArray none = QByteArray(kWrittenFile).replace("\"True\"", "\"Nope\"");
    const Settings s = Load(none);
    EXPECT_EQ(s.PanelWeightSum, 0);
    EXPECT_EQ(s.PictureGraphVisible, QStringLiteral("False"));
    EXPECT_EQ(s.TimeEtcVisible, QStringLiteral("False"));
    // Each panel alone adds its own start-up weight (the parameters strip counts 2 here).
    const int weights[] = {16, 2, 2, 3, 3, 2};
    for (int i = 0; i < 6; ++i) {
        QList<QByteArray> lines = none.split('\n');
        lines[6 + 2 * i - 1] = "\"True\"\r";
        EXPECT_EQ(Load(lines.join('\n')).PanelWeightSum, weights[i]) << i;
    }
}

TEST_F(SettingsFileTest, ShortAndEmptyFilesFallBack) {
    // Only port and sensitivity present: the rest keeps the initial values, then the checks apply.
    Settings s =
        Load("\"Port # \"\r\n5\r\n\"Sensitivty = \"\r\n\"50\"\r\n\"Picture graph visibilty = \"\r\n");
    EXPECT_EQ(s.CommPortNumber, 5);
    EXPECT_EQ(s.SensitivityText, QStringLiteral("50"));
    EXPECT_EQ(s.PictureGraphVisible, QStringLiteral("False"));
    EXPECT_EQ(s.WindowWidth, 0);
    EXPECT_EQ(s.FilterSize, 1);
    EXPECT_EQ(s.JitterRejection, 50);
    EXPECT_EQ(s.PanelWeightSum, 0);

    Settings expected;
    expected.CommPortNumber = 2;
    expected.SensitivityText = QStringLiteral("20");
    expected.PictureGraphVisible = expected.ColorGraphVisible = expected.BarGraphVisible =
        expected.InternalStatusVisible = expected.SessionCommentsVisible = expected.TimeEtcVisible =
            QStringLiteral("False");
    expected.FilterSize = 1;
    expected.JitterRejection = 50;
    EXPECT_EQ(Load(QByteArray()), expected);

    // A missing item leaves what the caller passed in.
    WriteRaw("\"Port # \"\r\n");
    Settings given = Sample();
    ASSERT_EQ(file.Read(given).status, SettingsFile::ReadResult::Status::Ok);
    EXPECT_EQ(given.CommPortNumber, 3);
    EXPECT_EQ(given.FilterSize, 5);
    EXPECT_EQ(given.WindowHeight, -8640);
    EXPECT_EQ(given.PanelWeightSum, 23);
}

TEST_F(SettingsFileTest, RandomBytesStayWithinTheChecks) {
    QRandomGenerator rng(2024);
    for (int round = 0; round < 300; ++round) {
        QByteArray data(int(rng.bounded(400)), '\0');
        for (auto& c : data)
            c = char(rng.bounded(256));
        if (round % 3 == 0)
            data = QByteArray(kWrittenFile).left(int(rng.bounded(int(sizeof kWrittenFile)))) + data;
        const Settings s = Load(data);
        EXPECT_GE(s.CommPortNumber, 1);
        EXPECT_LE(s.CommPortNumber, 16);
        const double sensitivity = NumberRules::ValueOf(s.SensitivityText);
        EXPECT_TRUE(sensitivity >= 20 && sensitivity <= 1000) << s.SensitivityText.toStdString();
        EXPECT_GE(s.FilterSize, 1);
        EXPECT_LE(s.FilterSize, 8);
        EXPECT_GE(s.JitterRejection, 50);
        EXPECT_LE(s.JitterRejection, 255);
        EXPECT_GE(s.PanelWeightSum, 0);
        EXPECT_LE(s.PanelWeightSum, 28);
        for (const QString& v : {s.PictureGraphVisible, s.ColorGraphVisible, s.BarGraphVisible,
                                 s.InternalStatusVisible, s.SessionCommentsVisible, s.TimeEtcVisible})
            EXPECT_TRUE(v == QStringLiteral("True") || v == QStringLiteral("False"));
    }
}

TEST_F(SettingsFileTest, MissingAndUnreadableFiles) {
    Settings s = Sample();
    EXPECT_EQ(file.Read(s).status, SettingsFile::ReadResult::Status::Missing);
    EXPECT_EQ(s, Sample());
    // A folder in the file's place cannot be opened as a file.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Aurivo_USB.ini")));
    const auto result = file.Read(s);
    EXPECT_EQ(result.status, SettingsFile::ReadResult::Status::Failed);
    EXPECT_FALSE(result.Error.isEmpty());
}

TEST_F(SettingsFileTest, FailedWriteLeavesNoPartialFile) {
    // A folder that does not exist.
    SettingsFile nowhere(dir.filePath(QStringLiteral("missing")));
    QString error;
    EXPECT_FALSE(nowhere.Write(Sample(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(nowhere.Path()));

    // A read-only folder holding an older file: the older file stays whole and nothing else appears.
    // Root ignores folder permissions, so under root the write runs in a child as an unprivileged user.
    Settings old = Sample();
    old.CommPortNumber = 9;
    ASSERT_TRUE(file.Write(old));
    const QByteArray before = ReadRaw();
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    bool written = true;
    if (::geteuid() == 0) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
            ::_exit(file.Write(Sample()) ? 1 : 0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        ASSERT_NE(WEXITSTATUS(status), 2) << "could not drop privileges";
        written = WEXITSTATUS(status) == 1;
    } else {
        written = file.Write(Sample());
    }
    ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadRaw(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Aurivo_USB.ini")});
}
