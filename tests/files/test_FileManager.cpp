#include "FullDisk.h"
#include "MonitorFakes.h"
#include "TestFiles.h"
#include "files/FileManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

using Answer = MessageBoxes::Answer;

const QByteArray kReadings("\x40\x1F\x00\x00\x4A\x1F\x00\x00\x54\x1F\x00\x00", 12);
const QByteArray kText("8000,30\r\n8010,35\r\n8020,40\r\n");
const QByteArray kHeaderStart("\"MinADC\"\r\n\" 8000\"\r\n\"MaxADC\"\r\n\" 8020\"\r\n");

// A stopped session's temporary files in a program folder, and a separate folder to save into.
class FileManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program.isValid() && data.isValid());
        writeFile(temp("tempdata.tst"), kReadings);
        writeFile(temp("tempdata.txt"), kText);
        writeFile(temp("tempdata.hdr"),
                  kHeaderStart + "\"Start of Session : 06/12/2026 17:00:00\r\nold\"\r\n");
        fm.changeFolder(data.path()); // the folder the dialog remembers
        comments.setText(QStringLiteral("Start of Session : 06/12/2026 17:00:00\r\nfirst\r\nsecond"));
    }
    QString temp(const char* name) const { return program.filePath(QString::fromLatin1(name)); }
    QString dataPath(const char* name) const { return data.filePath(QString::fromLatin1(name)); }
    QStringList dataEntries() const {
        return QDir(data.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    void open(const char* mode) {
        fm.load(QByteArray(mode) == "Save" ? FileManager::Purpose::Save : FileManager::Purpose::Display);
        boxes.shown.clear();
    }
    void press(const QString& name) {
        fm.setName(name);
        fm.runFileOption();
    }
    void add(const QString& name) {
        fm.setName(name);
        fm.addToDisplayList();
    }
    const DisplayList& list() const { return fm.displayList(); }

    QTemporaryDir program, data;
    CommentBox comments;
    ScriptedBoxes boxes;
    FileManager fm{program.path(), boxes, comments};
};

} // namespace

TEST_F(FileManagerTest, FormLoadResetsTheListAndOpensTheRememberedFolder) {
    writeFile(dataPath("x.Tst"), ""); // a list left from an earlier opening
    open("Display");
    add(QStringLiteral("x"));
    ASSERT_EQ(list().count, 1);
    QFile::remove(dataPath("x.Tst"));
    for (const char* name : {"b.TST", "a.tst", "C.Tst", "notes.txt"})
        writeFile(dataPath(name), "");
    fm.load(FileManager::Purpose::Display);
    EXPECT_EQ(list().count, 0);
    const uint32_t colours[6] = {0x00FFFF00, 0x0000FFFF, 0x0000FF00, 0x00FF00FF, 0x00FF0000, 0x000000FF};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_TRUE(list().tstPaths[i].isEmpty() && list().hdrPaths[i].isEmpty()) << i;
        EXPECT_EQ(fm.displayLabels()[i].caption, QStringLiteral("File to Display"));
        EXPECT_EQ(fm.displayLabels()[i].backColor, 0x00000000u);
        EXPECT_EQ(fm.displayLabels()[i].foreColor, colours[i]);
    }
    EXPECT_EQ(fm.folder(), QDir::cleanPath(data.path()));
    EXPECT_EQ(fm.fileNames(),
              (QStringList{QStringLiteral("a.tst"), QStringLiteral("b.TST"), QStringLiteral("C.Tst")}));
    ASSERT_FALSE(fm.drives().isEmpty());
    EXPECT_EQ(fm.drives().first(), QStringLiteral("/"));
    EXPECT_EQ(fm.drives().count(QStringLiteral("/")), 1);
}

TEST_F(FileManagerTest, SaveCopiesTheSessionWithTheCommentsOfTheBox) {
    comments.setText(comments.text() + QStringLiteral(" said \"ok\""));
    open("Save");
    press(QStringLiteral("abc"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(fm.hidden());
    EXPECT_EQ(readFile(dataPath("abc.Tst")), kReadings);
    EXPECT_EQ(readFile(dataPath("abc.Txt")), kText);
    const QByteArray header =
        kHeaderStart + "\"Start of Session : 06/12/2026 17:00:00\r\nfirst\r\nsecond said 'ok'\"\r\n";
    EXPECT_EQ(readFile(temp("tempdata.hdr")), header);
    EXPECT_EQ(readFile(dataPath("abc.Hdr")), header);
    EXPECT_EQ(fm.rememberedFolder(), data.path() + QLatin1Char('/'));
    EXPECT_EQ(fm.sessionTstPath(), dataPath("abc.Tst"));
    EXPECT_EQ(fm.sessionHdrPath(), dataPath("abc.Hdr"));
    EXPECT_EQ(fm.sessionTxtPath(), dataPath("abc.Txt"));

    // An empty comment box is saved as one blank; a dotted name saves under its first part.
    comments.setText(QString());
    open("Save");
    press(QStringLiteral("a.b.tst"));
    EXPECT_TRUE(fm.hidden());
    EXPECT_EQ(comments.text(), QStringLiteral(" "));
    EXPECT_EQ(readFile(dataPath("a.Hdr")), kHeaderStart + "\" \"\r\n");
    EXPECT_EQ(readFile(dataPath("a.Tst")), kReadings);
    EXPECT_EQ(readFile(dataPath("a.Txt")), kText);
}

TEST_F(FileManagerTest, SavingAgainAsksBeforeOverwriting) {
    open("Save");
    press(QStringLiteral("abc"));
    ASSERT_TRUE(fm.hidden());
    writeFile(temp("tempdata.tst"), QByteArray("\x01\x00\x00\x00", 4));
    open("Save");
    boxes.answers = {Answer::No};
    press(QStringLiteral("abc"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("File already exists !\rDo you wish to overwrite it?"));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Aurivo USB"));
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::YesNo);
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Question);
    EXPECT_FALSE(fm.hidden());
    EXPECT_EQ(readFile(dataPath("abc.Tst")), kReadings);

    boxes.answers = {Answer::Yes};
    press(QStringLiteral("abc.tst"));
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(fm.hidden());
    EXPECT_EQ(readFile(dataPath("abc.Tst")), QByteArray("\x01\x00\x00\x00", 4));

    // Names match existing files whatever their case; those files are replaced.
    writeFile(dataPath("run.tst"), "old");
    writeFile(dataPath("run.hdr"), "old");
    open("Save");
    boxes.answers = {Answer::Yes};
    press(QStringLiteral("RUN"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(fm.sessionTstPath(), dataPath("run.tst"));
    EXPECT_EQ(fm.sessionHdrPath(), dataPath("run.hdr"));
    EXPECT_EQ(fm.sessionTxtPath(), dataPath("RUN.Txt"));
    EXPECT_EQ(readFile(dataPath("run.tst")), QByteArray("\x01\x00\x00\x00", 4));
    EXPECT_FALSE(QFileInfo::exists(dataPath("RUN.Tst")));
}

TEST_F(FileManagerTest, ReservedAndUnusableNamesDoNothing) {
    // A name is a file name: reserved names (any case, any extension), paths, control characters and
    // names too long for the file system are refused with a message, and nothing is written anywhere.
    const QString tempdata =
        QStringLiteral("'tempdata.tst' is a reserved filename\r\nPlease use another name.");
    const QString plotData =
        QStringLiteral("'PlotData.txt' is a reserved filename\r\nPlease use another name.");
    const std::pair<QString, QString> rows[] = {
        {QStringLiteral("tempdata"), tempdata},
        {QStringLiteral("tempdata.tst"), tempdata},
        {QStringLiteral("TempData.TXT"), tempdata},
        {QStringLiteral("PlotData"), plotData},
        {QStringLiteral("plotdata.txt"), plotData},
        {QStringLiteral("../x"),
         QStringLiteral("A session name is the name of a file and cannot hold / or \\.")},
        {QStringLiteral("a\\b"),
         QStringLiteral("A session name is the name of a file and cannot hold / or \\.")},
        {QStringLiteral(".."), QStringLiteral("\"..\" names a folder, not a session.")},
        {QStringLiteral("a\tb"), QStringLiteral("A session name cannot hold control characters")},
        {QStringLiteral("a\u0085b"), QStringLiteral("A session name cannot hold control characters")},
        {QString(252, QLatin1Char('x')), QStringLiteral("The session name is too long")},
    };
    for (const auto& [name, message] : rows) {
        SCOPED_TRACE(name.toStdString());
        for (const char* mode : {"Save", "Display"}) {
            open(mode);
            press(name);
            ASSERT_EQ(boxes.shown.size(), 1u);
            EXPECT_TRUE(boxes.shown[0].text.startsWith(message)) << boxes.shown[0].text.toStdString();
            EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Information);
            EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);
            EXPECT_FALSE(fm.hidden());
        }
    }
    EXPECT_TRUE(dataEntries().isEmpty());
    EXPECT_TRUE(QDir(data.path() + QStringLiteral("/..")).entryList({QStringLiteral("x.*")}).isEmpty());
    open("Save");
    for (const char* name : {"", ".tst"})
        press(QString::fromLatin1(name));
    EXPECT_TRUE(boxes.shown.empty());
    press(QString(251, QLatin1Char('x'))); // the longest name whose files fit
    EXPECT_TRUE(fm.hidden());
    EXPECT_EQ(dataEntries().size(), 3);
    QDir(data.path()).removeRecursively();
    QDir().mkpath(data.path());
    // Display with an empty name box ends nothing either.
    open("Display");
    press(QString());
    EXPECT_FALSE(fm.hidden());
    EXPECT_TRUE(boxes.shown.empty());
    // A relative folder gives the colon message.
    open("Save");
    fm.changeFolder(QStringLiteral("."));
    ASSERT_EQ(fm.folder(), QStringLiteral("."));
    press(QStringLiteral("abc"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Should have found a ':' at pos. # 3"));
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);
    EXPECT_TRUE(fm.sessionTstPath().isEmpty());
    EXPECT_TRUE(dataEntries().isEmpty());
}

TEST_F(FileManagerTest, SixAdditionsEndTheChoice) {
    for (int i = 1; i <= 6; ++i)
        writeFile(data.filePath(QStringLiteral("s%1.Tst").arg(i)), kReadings);
    open("Display");
    add(QStringLiteral("nothere")); // a missing session is reported and not listed
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Error accessing 'File to Display'"));
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Warning);
    EXPECT_EQ(list().count, 0);
    EXPECT_EQ(fm.displayLabels()[0].caption, QStringLiteral("File to Display"));
    boxes.shown.clear();

    fm.pickFile(QStringLiteral("s1.Tst"));
    EXPECT_EQ(fm.name(), QStringLiteral("s1.Tst"));
    fm.addToDisplayList();
    fm.setName(QStringLiteral("s2"));
    fm.nameKeyUp(13); // Enter adds in display mode
    fm.pickFileAndConfirm(QStringLiteral("s3.Tst"));
    add(QStringLiteral("s4"));
    add(QStringLiteral("s5"));
    EXPECT_EQ(list().count, 5);
    EXPECT_FALSE(fm.hidden());
    add(QStringLiteral("s6.tst"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(fm.hidden());
    EXPECT_EQ(list().count, 6);
    EXPECT_EQ(fm.displayLabels()[0].caption, QStringLiteral("s1.Tst"));
    EXPECT_EQ(fm.displayLabels()[5].caption, QStringLiteral("s6.tst"));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(list().tstPaths[size_t(i)], data.filePath(QStringLiteral("s%1.Tst").arg(i + 1)));
        EXPECT_EQ(list().hdrPaths[size_t(i)], data.filePath(QStringLiteral("s%1.Hdr").arg(i + 1)));
    }
    // Cancel empties the list.
    open("Display");
    add(QStringLiteral("s1"));
    EXPECT_EQ(list().count, 1);
    fm.cancel();
    EXPECT_EQ(list().count, 0);
    EXPECT_TRUE(fm.hidden());
}

TEST_F(FileManagerTest, AFailedCopyIsReportedOnceAndLeavesNoPartialFiles) {
    // Overwriting a saved session on a full disk: the old session stays whole, nothing new is left.
    writeFile(temp("tempdata.tst"), QByteArray(64 * 1024, '\x01'));
    FullDisk disk(16384);
    for (const char* name : {"abc.Tst", "abc.Txt", "abc.Hdr"})
        writeFile(QDir(disk.path()).filePath(QString::fromLatin1(name)), "old");
    disk.fill(4096); // room for the refreshed header, none for the readings
    open("Save");
    fm.changeFolder(disk.path());
    boxes.answers = {Answer::Yes};
    press(QStringLiteral("abc"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, QStringLiteral("The session could not be saved.\r\nabc.Tst in %1: %2")
                                       .arg(disk.path(), disk.reason()));
    EXPECT_EQ(boxes.shown[1].icon, MessageBoxes::Icon::Warning);
    EXPECT_FALSE(fm.hidden());
    EXPECT_EQ(disk.entries(),
              (QStringList{QStringLiteral("abc.Hdr"), QStringLiteral("abc.Tst"), QStringLiteral("abc.Txt")}));
    for (const QString& name : disk.entries())
        EXPECT_EQ(readFile(QDir(disk.path()).filePath(name)), QByteArray("old")) << name.toStdString();
    // A missing temporary file is named, and nothing of the copy is left behind.
    disk.free();
    writeFile(temp("tempdata.tst"), kReadings);
    QFile::remove(temp("tempdata.txt"));
    open("Save");
    press(QStringLiteral("xyz"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("tempdata.txt")))
        << boxes.shown[0].text.toStdString();
    EXPECT_TRUE(dataEntries().isEmpty());
}

TEST_F(FileManagerTest, FoldersAndDrives) {
    open("Save");
    ASSERT_TRUE(QDir(data.path()).mkdir(QStringLiteral("sub")));
    writeFile(dataPath("sub/x.tst"), "");
    fm.changeFolder(dataPath("sub"));
    EXPECT_EQ(fm.folder(), dataPath("sub"));
    EXPECT_EQ(fm.rememberedFolder(), dataPath("sub"));
    EXPECT_EQ(fm.fileNames(), QStringList{QStringLiteral("x.tst")});
    // An unreadable folder or drive keeps the previous folder and says why.
    fm.changeFolder(dataPath("gone"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("gone")));
    fm.changeDrive(QStringLiteral("/no-such-drive-here/"));
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(fm.folder(), dataPath("sub"));
    EXPECT_EQ(fm.rememberedFolder(), dataPath("sub"));
    // A folder typed as the name is refused like any path: the lists stay where they are.
    fm.changeFolder(QStringLiteral("/"));
    press(dataPath("sub").mid(1) + QLatin1Char('/'));
    EXPECT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(fm.folder(), QStringLiteral("/"));
    EXPECT_EQ(fm.rememberedFolder(), QStringLiteral("/"));
}

} // namespace aurivo
