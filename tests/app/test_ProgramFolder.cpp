#include "TestFiles.h"
#include "app/CommandLine.h"
#include "app/ProgramFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using aurivo::CommandLine;
using aurivo::ProgramFolder;

// --folder, the executable's folder and whether it may be written, XDG_DATA_HOME: the folder.
TEST(ProgramFolder, RuleTable) {
    const std::tuple<QString, QString, bool, QString, QString> rows[] = {
        {"", "/b/build", true, "", "/b/build"},                          // build folder, portable copy
        {"", "/opt/a", false, "", "/h/.local/share/aurivo-usb"},         // unwritable
        {"", "/usr/bin", true, "", "/h/.local/share/aurivo-usb"},        // installed, run by root
        {"", "/usr/bin/", true, "/x/data", "/x/data/aurivo-usb"},        // XDG_DATA_HOME
        {"", "/opt/a", false, "rel/data", "/h/.local/share/aurivo-usb"}, // relative: ignored
        {"/d/./e/", "/b/build", true, "/x/data", "/d/e"},                // --folder wins
        {"rel", "/usr/bin", false, "", QDir::current().filePath("rel")}, // relative --folder
    };
    for (const auto& [chosen, exe, writable, xdg, expected] : rows)
        EXPECT_EQ(ProgramFolder::choose({chosen, exe, writable, "/usr/bin", xdg, "/h"}), expected)
            << exe.toStdString() << " " << chosen.toStdString();
}

TEST(ProgramFolder, PrepareCreatesTheFolderOrSaysWhyNot) {
    QTemporaryDir home;
    const QString data = home.filePath("share/aurivo-usb");
    EXPECT_EQ(ProgramFolder::prepare(data), QString());
    EXPECT_EQ(ProgramFolder::prepare(data), QString()); // the second start finds it
    EXPECT_TRUE(QFileInfo(data).isDir());

    aurivo::writeFile(home.filePath("file"), "");
    EXPECT_NE(ProgramFolder::prepare(home.filePath("file/aurivo-usb")), QString());
}

TEST(CommandLine, Table) {
    using A = CommandLine::Action;
    const std::tuple<QStringList, A, const char*, QStringList> rows[] = {
        {{}, A::Run, "", {}},
        {{"--folder", "/f"}, A::Run, "/f", {}},
        {{"--folder=/f"}, A::Run, "/f", {}},
        {{"--folder"}, A::Error, "", {}},
        {{"--folder="}, A::Error, "", {}},
        {{"--bogus"}, A::Error, "", {}},
        {{"--bogus", "--help"}, A::Help, "", {}}, // help and version win wherever they stand
        {{"--version", "-h"}, A::Help, "", {}},
        {{"-v"}, A::Version, "", {}},
        // Sessions to replay among the window system's own options, which take their values along.
        {{"-platform", "xcb", "a.Tst", "--style=fusion", "-reverse", "b.hdr", "--folder", "/f"},
         A::Run,
         "/f",
         {"a.Tst", "b.hdr"}},
        {{"--", "-a.Tst"}, A::Run, "", {"-a.Tst"}},
        {{"a.Tst", "-display"}, A::Error, "", {"a.Tst"}}};
    for (const auto& [args, action, folder, sessions] : rows) {
        const CommandLine line = CommandLine::parse(QStringList{"aurivo-usb"} + args);
        EXPECT_EQ(line.action, action) << args.join(' ').toStdString();
        EXPECT_EQ(line.folder, QString::fromUtf8(folder)) << args.join(' ').toStdString();
        EXPECT_EQ(line.sessions, sessions) << args.join(' ').toStdString();
        if (action == A::Error) {
            EXPECT_TRUE(line.errorText().contains("\nUsage: aurivo-usb"));
        }
    }
}

// An executable's folder that held the program's files and can no longer be written is named once,
// with the folder used now, and the session left there.
TEST(ProgramFolder, AFolderPassedOverWithFilesInItIsNamedOnce) {
    QTemporaryDir exe, xdg;
    const ProgramFolder::Inputs in{"", exe.path(), false, "/usr/bin", xdg.path(), "/h"};
    EXPECT_EQ(ProgramFolder::movedNotice(in), QString()); // nothing of an earlier run there
    aurivo::writeFile(exe.filePath("Aurivo_USB.ini"), "x");
    aurivo::writeFile(exe.filePath("tempdata.tst"), "abcd");
    const QString notice = ProgramFolder::movedNotice(in);
    EXPECT_TRUE(notice.startsWith(exe.path() +
                                  " cannot be written any more, so the program keeps its settings "
                                  "and sessions in " +
                                  xdg.filePath("aurivo-usb") + " from now on.\r\nA session recorded there"));
    // Given a folder, or once the new folder has settings of its own, nothing more is said.
    EXPECT_EQ(ProgramFolder::movedNotice({"/f", exe.path(), false, "/usr/bin", xdg.path(), "/h"}), QString());
    QDir(xdg.path()).mkpath("aurivo-usb");
    aurivo::writeFile(xdg.filePath("aurivo-usb/Aurivo_USB.ini"), "x");
    EXPECT_EQ(ProgramFolder::movedNotice(in), QString());
}
