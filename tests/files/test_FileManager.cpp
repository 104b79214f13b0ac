#include "MonitorFakes.h"
#include "files/FileManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Answer = MessageBoxes::Answer;

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QByteArray kReadings("\x40\x1F\x00\x00\x4A\x1F\x00\x00\x54\x1F\x00\x00", 12);
const QByteArray kText("8000,30\r\n8010,35\r\n8020,40\r\n");
const QByteArray kHeaderStart("\"MinADC\"\r\n\" 8000\"\r\n\"MaxADC\"\r\n\" 8020\"\r\n");

// A stopped session's temporary files in a program folder, and a separate folder to save into.
class FileManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(program.isValid() && data.isValid());
        Write(Temp("tempdata.tst"), kReadings);
        Write(Temp("tempdata.txt"), kText);
        Write(Temp("tempdata.hdr"), kHeaderStart + "\"Start of Session : 06/12/2026 17:00:00\r\nold\"\r\n");
        state.FileManagerFolder = data.path();
        state.TxtSeshnComnts.text = QStringLiteral("Start of Session : 06/12/2026 17:00:00\r\nfirst\r\nsecond");
    }
    QString Temp(const char* name) const { return program.filePath(QString::fromLatin1(name)); }
    QString Data(const char* name) const { return data.filePath(QString::fromLatin1(name)); }
    QStringList DataEntries() const {
        return QDir(data.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    void Open(const char* mode) {
        fm.Form_Load();
        fm.cmdFileOptionCaption = QString::fromLatin1(mode);
        boxes.shown.clear();
    }
    void Press(const QString& name) {
        fm.txtFM = name;
        fm.cmdFileOption_Click();
    }
    void Add(const QString& name) {
        fm.txtFM = name;
        fm.cmdAdd2List_Click();
    }

    QTemporaryDir program, data;
    MonitorState state;
    ScriptedBoxes boxes;
    FileManager fm{state, program.path(), boxes};
};

} // namespace

TEST_F(FileManagerTest, FormLoadResetsTheListAndOpensTheRememberedFolder) {
    state.ChosenSessionCount = 3;
    state.ChosenTstPaths[2] = QStringLiteral("/x.Tst");
    state.ChosenHdrPaths[0] = QStringLiteral("/x.Hdr");
    fm.lblFile2Display[1].caption = QStringLiteral("old");
    for (const char* name : {"b.TST", "a.tst", "C.Tst", "notes.txt"}) Write(Data(name), "");
    fm.Form_Load();
    EXPECT_EQ(state.ChosenSessionCount, 0);
    EXPECT_TRUE(state.CancelRequested);
    const uint32_t colours[6] = {0x00FFFF00, 0x0000FFFF, 0x0000FF00, 0x00FF00FF, 0x00FF0000, 0x000000FF};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_TRUE(state.ChosenTstPaths[i].isEmpty() && state.ChosenHdrPaths[i].isEmpty()) << i;
        EXPECT_EQ(fm.lblFile2Display[i].caption, QStringLiteral("File to Display"));
        EXPECT_EQ(fm.lblFile2Display[i].backColor, 0x00000000u);
        EXPECT_EQ(fm.lblFile2Display[i].foreColor, colours[i]);
    }
    EXPECT_EQ(fm.dirFM(), QDir::cleanPath(data.path()));
    EXPECT_EQ(fm.filFM(), (QStringList{QStringLiteral("a.tst"), QStringLiteral("b.TST"), QStringLiteral("C.Tst")}));
    ASSERT_FALSE(fm.drvFM().isEmpty());
    EXPECT_EQ(fm.drvFM().first(), QStringLiteral("/"));
    EXPECT_EQ(fm.drvFM().count(QStringLiteral("/")), 1);
}

TEST_F(FileManagerTest, SaveCopiesTheSessionWithTheCommentsOfTheBox) {
    state.TxtSeshnComnts.text += QStringLiteral(" said \"ok\"");
    Open("Save");
    Press(QStringLiteral("abc"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(fm.Hidden());
    EXPECT_EQ(Read(Data("abc.Tst")), kReadings);
    EXPECT_EQ(Read(Data("abc.Txt")), kText);
    const QByteArray header =
        kHeaderStart + "\"Start of Session : 06/12/2026 17:00:00\r\nfirst\r\nsecond said 'ok'\"\r\n";
    EXPECT_EQ(Read(Temp("tempdata.hdr")), header);
    EXPECT_EQ(Read(Data("abc.Hdr")), header);
    EXPECT_EQ(state.FileManagerFolder, data.path() + QLatin1Char('/'));
    EXPECT_EQ(state.SessionTstPath, Data("abc.Tst"));
    EXPECT_EQ(state.SessionHdrPath, Data("abc.Hdr"));
    EXPECT_EQ(state.SessionTxtPath, Data("abc.Txt"));

    // An empty comment box is saved as one blank; a dotted name saves under its first part.
    state.TxtSeshnComnts.text.clear();
    Open("Save");
    Press(QStringLiteral("a.b.tst"));
    EXPECT_TRUE(fm.Hidden());
    EXPECT_EQ(state.TxtSeshnComnts.text, QStringLiteral(" "));
    EXPECT_EQ(Read(Data("a.Hdr")), kHeaderStart + "\" \"\r\n");
    EXPECT_EQ(Read(Data("a.Tst")), kReadings);
    EXPECT_EQ(Read(Data("a.Txt")), kText);
}

TEST_F(FileManagerTest, SavingAgainAsksBeforeOverwriting) {
    Open("Save");
    Press(QStringLiteral("abc"));
    ASSERT_TRUE(fm.Hidden());
    Write(Temp("tempdata.tst"), QByteArray("\x01\x00\x00\x00", 4));
    Open("Save");
    boxes.answers = {Answer::No};
    Press(QStringLiteral("abc"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("File already exists !\rDo you wish to overwrite it?"));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Aurivo USB"));
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::YesNo);
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Question);
    EXPECT_EQ(state.MsgBoxAnswer, 7);
    EXPECT_FALSE(fm.Hidden());
    EXPECT_EQ(Read(Data("abc.Tst")), kReadings);

    boxes.answers = {Answer::Yes};
    Press(QStringLiteral("abc.tst"));
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(fm.Hidden());
    EXPECT_EQ(Read(Data("abc.Tst")), QByteArray("\x01\x00\x00\x00", 4));

    // Names match existing files whatever their case; those files are replaced.
    Write(Data("run.tst"), "old");
    Write(Data("run.hdr"), "old");
    Open("Save");
    boxes.answers = {Answer::Yes};
    Press(QStringLiteral("RUN"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(state.SessionTstPath, Data("run.tst"));
    EXPECT_EQ(state.SessionHdrPath, Data("run.hdr"));
    EXPECT_EQ(state.SessionTxtPath, Data("RUN.Txt"));
    EXPECT_EQ(Read(Data("run.tst")), QByteArray("\x01\x00\x00\x00", 4));
    EXPECT_FALSE(QFileInfo::exists(Data("RUN.Tst")));
}

TEST_F(FileManagerTest, ReservedAndUnusableNamesDoNothing) {
    for (const char* name : {"tempdata", "tempdata.tst"}) {
        Open("Save");
        Press(QString::fromLatin1(name));
        ASSERT_EQ(boxes.shown.size(), 1u) << name;
        EXPECT_EQ(boxes.shown[0].text, QStringLiteral("'tempdata.tst' is a reserved filename\r\nPlease use another name."));
        EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Information);
        EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);
    }
    Open("Save");
    for (const char* name : {"", ".tst"}) Press(QString::fromLatin1(name));
    EXPECT_TRUE(boxes.shown.empty());
    // A name longer than a file name may be: the system's reason is shown.
    Press(QString(300, QLatin1Char('x')));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Information);
    EXPECT_FALSE(boxes.shown[0].text.isEmpty());
    // Display with an empty name box ends nothing either.
    Open("Display");
    Press(QString());
    EXPECT_FALSE(fm.Hidden());
    EXPECT_TRUE(boxes.shown.empty());
    // A relative folder gives the colon message.
    Open("Save");
    fm.dirFM_Change(QStringLiteral("."));
    ASSERT_EQ(fm.dirFM(), QStringLiteral("."));
    Press(QStringLiteral("abc"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Should have found a ':' at pos. # 3"));
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);
    EXPECT_TRUE(state.SessionTstPath.isEmpty());
    EXPECT_TRUE(DataEntries().isEmpty());
}

TEST_F(FileManagerTest, SixAdditionsEndTheChoice) {
    for (int i = 1; i <= 6; ++i) Write(data.filePath(QStringLiteral("s%1.Tst").arg(i)), kReadings);
    Open("Display");
    Add(QStringLiteral("nothere")); // a missing session is reported and not listed
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Error accessing 'File to Display'"));
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Warning);
    EXPECT_EQ(state.ChosenSessionCount, 0);
    EXPECT_EQ(fm.lblFile2Display[0].caption, QStringLiteral("File to Display"));
    boxes.shown.clear();

    fm.filFM_Click(QStringLiteral("s1.Tst"));
    EXPECT_EQ(fm.txtFM, QStringLiteral("s1.Tst"));
    fm.cmdAdd2List_Click();
    fm.txtFM = QStringLiteral("s2");
    fm.txtFM_KeyUp(13); // Enter adds in display mode
    fm.filFM_DblClick(QStringLiteral("s3.Tst"));
    Add(QStringLiteral("s4"));
    Add(QStringLiteral("s5"));
    EXPECT_EQ(state.ChosenSessionCount, 5);
    EXPECT_FALSE(fm.Hidden());
    Add(QStringLiteral("s6.tst"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(fm.Hidden());
    EXPECT_EQ(state.ChosenSessionCount, 6);
    EXPECT_EQ(fm.lblFile2Display[0].caption, QStringLiteral("s1.Tst"));
    EXPECT_EQ(fm.lblFile2Display[5].caption, QStringLiteral("s6.tst"));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(state.ChosenTstPaths[size_t(i)], data.filePath(QStringLiteral("s%1.Tst").arg(i + 1)));
        EXPECT_EQ(state.ChosenHdrPaths[size_t(i)], data.filePath(QStringLiteral("s%1.Hdr").arg(i + 1)));
    }
    // Cancel empties the list.
    Open("Display");
    Add(QStringLiteral("s1"));
    EXPECT_EQ(state.ChosenSessionCount, 1);
    fm.cmdCancel_Click();
    EXPECT_EQ(state.ChosenSessionCount, 0);
    EXPECT_TRUE(fm.Hidden());
}

TEST_F(FileManagerTest, AFailedCopyIsReportedOnceAndLeavesNoPartialFiles) {
    // The header's destination is taken by a folder, so the third copy fails after two are written.
    ASSERT_TRUE(QDir(data.path()).mkdir(QStringLiteral("abc.Hdr")));
    Open("Save");
    Press(QStringLiteral("abc"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("abc.Hdr")));
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Warning);
    EXPECT_FALSE(fm.Hidden());
    EXPECT_EQ(DataEntries(), QStringList{QStringLiteral("abc.Hdr")});

    // A destination folder that does not exist, or is a file.
    Write(Data("plain"), "x");
    for (const char* name : {"missing/abc", "plain/abc"}) {
        Open("Save");
        Press(QString::fromLatin1(name));
        EXPECT_EQ(boxes.shown.size(), 1u) << name;
    }
    EXPECT_FALSE(QFileInfo::exists(Data("missing")));
    EXPECT_EQ(Read(Data("plain")), QByteArray("x"));
    // A missing temporary file is named, and nothing of the copy is left behind.
    QFile::remove(Temp("tempdata.txt"));
    Open("Save");
    Press(QStringLiteral("xyz"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("tempdata.txt"))) << boxes.shown[0].text.toStdString();
    EXPECT_EQ(DataEntries(), (QStringList{QStringLiteral("abc.Hdr"), QStringLiteral("plain")}));
}

TEST_F(FileManagerTest, FoldersAndDrives) {
    Open("Save");
    ASSERT_TRUE(QDir(data.path()).mkdir(QStringLiteral("sub")));
    Write(Data("sub/x.tst"), "");
    fm.dirFM_Change(Data("sub"));
    EXPECT_EQ(fm.dirFM(), Data("sub"));
    EXPECT_EQ(state.FileManagerFolder, Data("sub"));
    EXPECT_EQ(fm.filFM(), QStringList{QStringLiteral("x.tst")});
    // An unreadable folder or drive keeps the previous folder and says why.
    fm.dirFM_Change(Data("gone"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("gone")));
    fm.drvFM_Change(QStringLiteral("/no-such-drive-here/"));
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(fm.dirFM(), Data("sub"));
    EXPECT_EQ(state.FileManagerFolder, Data("sub"));
    // The drive holding the program folder leads back to the remembered folder.
    fm.dirFM_Change(QStringLiteral("/"));
    state.FileManagerFolder = Data("sub");
    fm.drvFM_Change(QStorageInfo(program.path()).rootPath());
    EXPECT_EQ(fm.dirFM(), Data("sub"));
}
