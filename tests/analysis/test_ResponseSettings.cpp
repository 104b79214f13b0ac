// The scoring settings in aurivo-usb.conf: their defaults, their ranges, and the file's other groups.

#include "TestFiles.h"
#include "analysis/ResponseSettings.h"
#include "link/LabLinkSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

ResponseDetector::Settings settings(double amplitude, double from, double to) {
    ResponseDetector::Settings s;
    s.minAmplitudeUs = amplitude;
    s.windowStartSeconds = from;
    s.windowEndSeconds = to;
    return s;
}

} // namespace

TEST(ResponseSettings, MissingValuesAreTheDefaults) {
    QTemporaryDir dir;
    EXPECT_EQ(ResponseSettings::load(dir.path()), settings(0.02, 1, 4));
    writeFile(QDir(dir.path()).filePath("aurivo-usb.conf"), "[responses]\r\nminAmplitude=0.05\r\n");
    EXPECT_EQ(ResponseSettings::load(dir.path()), settings(0.05, 1, 4));
}

TEST(ResponseSettings, AreKeptBesideTheLabLinkWithoutTouchingIt) {
    QTemporaryDir dir;
    LabLinkSettings link;
    link.sendEnabled = true;
    link.sendPort = 9100;
    QString failure;
    ASSERT_TRUE(link.save(dir.path(), failure)) << failure.toStdString();
    ASSERT_TRUE(ResponseSettings::save(dir.path(), settings(0.01, 1, 3), failure)) << failure.toStdString();
    EXPECT_EQ(ResponseSettings::load(dir.path()), settings(0.01, 1, 3));
    EXPECT_EQ(LabLinkSettings::load(dir.path()), link);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"aurivo-usb.conf"});
}

TEST(ResponseSettings, ValuesOutOfRangeKeepTheDefaults) {
    const struct {
        const char* text;
        ResponseDetector::Settings expected;
    } rows[] = {
        {"minAmplitude=0.009\r\nwindowStart=0\r\nwindowEnd=10", settings(0.02, 0, 10)},
        {"minAmplitude=0.1\r\nwindowStart=2\r\nwindowEnd=2", settings(0.1, 1, 4)},
        {"minAmplitude=0.11\r\nwindowStart=-1\r\nwindowEnd=3", settings(0.02, 1, 4)},
        {"minAmplitude=many\r\nwindowStart=1\r\nwindowEnd=10.5", settings(0.02, 1, 4)},
        {"minAmplitude=nan\r\nwindowEnd=3", settings(0.02, 1, 3)},
        {"windowStart=5", settings(0.02, 1, 4)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        QTemporaryDir dir;
        writeFile(QDir(dir.path()).filePath("aurivo-usb.conf"),
                  QByteArray("[responses]\r\n") + row.text + "\r\n");
        EXPECT_EQ(ResponseSettings::load(dir.path()), row.expected);
    }
}

} // namespace aurivo
