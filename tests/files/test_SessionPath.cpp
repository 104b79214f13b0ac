#include "files/SessionPath.h"

#include <gtest/gtest.h>

TEST(SplitSessionPath, ExtensionsAreDroppedAndTheBaseEndsAtTheFirstDot) {
    const char* typed[] = {"/data/abc", "/data/abc.tst", "/data/abc.txt", "/data/abc.Hdr"};
    for (const char* path : typed) {
        const SessionPath split = SplitSessionPath(QString::fromLatin1(path));
        ASSERT_TRUE(split.Usable()) << path;
        EXPECT_EQ(split.folder, QStringLiteral("/data/"));
        EXPECT_EQ(split.tstPath, QStringLiteral("/data/abc.Tst")) << path;
        EXPECT_EQ(split.hdrPath, QStringLiteral("/data/abc.Hdr")) << path;
        EXPECT_EQ(split.txtPath, QStringLiteral("/data/abc.Txt")) << path;
    }
    EXPECT_EQ(SplitSessionPath(QStringLiteral("/data/a.b.tst")).tstPath, QStringLiteral("/data/a.Tst"));
    EXPECT_EQ(SplitSessionPath(QStringLiteral("/x")).tstPath, QStringLiteral("/x.Tst"));
    EXPECT_EQ(SplitSessionPath(QStringLiteral("/data/sub/x")).folder, QStringLiteral("/data/sub/"));
}

TEST(SplitSessionPath, UnusableNames) {
    const SessionPath empty = SplitSessionPath(QStringLiteral("/data/"));
    EXPECT_EQ(empty.status, SessionPath::Status::NoName);
    EXPECT_EQ(empty.folder, QStringLiteral("/data/"));
    EXPECT_TRUE(empty.tstPath.isEmpty());

    const SessionPath dotted = SplitSessionPath(QStringLiteral("/data/.tst"));
    EXPECT_EQ(dotted.status, SessionPath::Status::NoName);
    EXPECT_TRUE(dotted.tstPath.isEmpty());

    for (const char* path : {"abc", "data/abc", "./abc", ""}) {
        const SessionPath relative = SplitSessionPath(QString::fromLatin1(path));
        EXPECT_EQ(relative.status, SessionPath::Status::NotAbsolute) << path;
        EXPECT_TRUE(relative.tstPath.isEmpty());
    }
}
