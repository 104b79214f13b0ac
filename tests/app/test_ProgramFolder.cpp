// The program's folder: --folder, the executable's folder when writable and not the install folder,
// else the data folder (created on first start); and the command line that names it.

#include "app/CommandLine.h"
#include "app/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using aurivo::CommandLine;
using aurivo::ProgramFolder;

TEST(ProgramFolder, RuleTable) {
    struct Row {
        QString chosen, exe;
        bool writable;
        QString xdg, expected;
    } rows[] = {
        {"", "/b/build", true, "", "/b/build"},                          // build folder, portable copy
        {"", "/opt/a", false, "", "/h/.local/share/aurivo-usb"},         // unwritable
        {"", "/usr/bin", true, "", "/h/.local/share/aurivo-usb"},        // installed, run by root
        {"", "/usr/bin/", true, "/x/data", "/x/data/aurivo-usb"},        // XDG_DATA_HOME
        {"", "/opt/a", false, "rel/data", "/h/.local/share/aurivo-usb"}, // relative: ignored
        {"/d/./e/", "/b/build", true, "/x/data", "/d/e"},                // --folder wins
        {"rel", "/usr/bin", false, "", QDir::current().filePath("rel")}, // relative --folder
    };
    for (const Row& r : rows) {
        const ProgramFolder::Inputs in{r.chosen, r.exe, r.writable, "/usr/bin", r.xdg, "/h"};
        EXPECT_EQ(ProgramFolder::choose(in), r.expected)
            << r.exe.toStdString() << " " << r.chosen.toStdString();
    }
}

TEST(ProgramFolder, PrepareCreatesTheFolderOrSaysWhyNot) {
    QTemporaryDir home;
    const QString data = home.filePath("share/aurivo-usb");
    EXPECT_EQ(ProgramFolder::prepare(data), QString());
    EXPECT_TRUE(QFileInfo(data).isDir());
    EXPECT_EQ(ProgramFolder::prepare(data), QString()); // the second start finds it

    QFile file(home.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_NE(ProgramFolder::prepare(home.filePath("file/aurivo-usb")), QString());
}

TEST(CommandLine, Table) {
    using A = CommandLine::Action;
    struct Row {
        QStringList args;
        A action;
        const char* folder;
    } rows[] = {
        {{}, A::Run, ""},
        {{"--folder", "/f"}, A::Run, "/f"},
        {{"--folder=/f"}, A::Run, "/f"},
        {{"--folder"}, A::Error, ""},
        {{"--folder="}, A::Error, ""},
        {{"--bogus"}, A::Error, ""},
        {{"--bogus", "--help"}, A::Help, ""},
        {{"--version", "-h"}, A::Help, ""},
        {{"-v"}, A::Version, ""},
    };
    for (const Row& r : rows) {
        const CommandLine line = CommandLine::parse(QStringList{"aurivo-usb"} + r.args);
        EXPECT_EQ(line.action, r.action) << r.args.join(' ').toStdString();
        EXPECT_EQ(line.folder, QString::fromUtf8(r.folder)) << r.args.join(' ').toStdString();
    }
}
