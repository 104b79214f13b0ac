#include "ScriptedMessageBoxes.h"
#include "files/FileManager.h"
#include "files/SessionPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

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
const QByteArray kStopHeader("\"MinADC\"\r\n\" 8000\"\r\n\"MaxADC\"\r\n\" 8020\"\r\n"
                             "\"Start of Session : 06/12/2026 17:00:00\r\nold\"\r\n");

// A stopped session's temporary files in a program folder, and a separate folder to save into.
class FileManagerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program.isValid() && data.isValid());
        Write(Temp("tempdata.tst"), kReadings);
        Write(Temp("tempdata.txt"), kText);
        Write(Temp("tempdata.hdr"), kStopHeader);
        state.FileManagerFolder = data.path();
        state.TxtSeshnComnts.text =
            QStringLiteral("Start of Session : 06/12/2026 17:00:00\r\nfirst\r\nsecond");
    }
    QString Temp(const char* name) const { return program.filePath(QString::fromLatin1(name)); }
    QString Data(const char* name) const { return data.filePath(QString::fromLatin1(name)); }

    void Open(const char* mode) {
        fm.Form_Load();
        fm.cmdFileOptionCaption = QString::fromLatin1(mode);
    }
    void Press(const char* name) {
        fm.txtFM = QString::fromLatin1(name);
        fm.cmdFileOption_Click();
    }

    QTemporaryDir program, data;
    MonitorState state;
    ScriptedMessageBoxes boxes;
    FileManager fm{state, program.path(), boxes};
};

} // namespace

TEST_F(FileManagerTest, FormLoadResetsTheListAndOpensTheRememberedFolder) {
    state.ChosenSessionCount = 3;
    state.ChosenTstPaths[2] = QStringLiteral("/x.Tst");
    state.ChosenHdrPaths[0] = QStringLiteral("/x.Hdr");
    fm.lblFile2Display[1].caption = QStringLiteral("old");
    Write(Data("b.TST"), "");
    Write(Data("a.tst"), "");
    Write(Data("C.Tst"), "");
    Write(Data("notes.txt"), "");
    fm.Form_Load();
    EXPECT_EQ(state.ChosenSessionCount, 0);
    EXPECT_TRUE(state.CancelRequested);
    for (int i = 0; i < 6; ++i) {
        EXPECT_TRUE(state.ChosenTstPaths[size_t(i)].isEmpty());
        EXPECT_TRUE(state.ChosenHdrPaths[size_t(i)].isEmpty());
        EXPECT_EQ(fm.lblFile2Display[size_t(i)].caption, QStringLiteral("File to Display"));
        EXPECT_EQ(fm.lblFile2Display[size_t(i)].backColor, 0x00000000u);
    }
    const uint32_t colours[6] = {0x00FFFF00, 0x0000FFFF, 0x0000FF00, 0x00FF00FF, 0x00FF0000, 0x000000FF};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(fm.lblFile2Display[size_t(i)].foreColor, colours[i]);
    EXPECT_EQ(fm.dirFM(), QDir::cleanPath(data.path()));
    EXPECT_EQ(fm.filFM(),
              (QStringList{QStringLiteral("a.tst"), QStringLiteral("b.TST"), QStringLiteral("C.Tst")}));
    ASSERT_FALSE(fm.drvFM().isEmpty());
    EXPECT_EQ(fm.drvFM().first(), QStringLiteral("/"));
    EXPECT_EQ(fm.drvFM().count(QStringLiteral("/")), 1);
}

TEST_F(FileManagerTest, SaveCopiesTheSessionWithTheCommentsOfTheBox) {
    state.TxtSeshnComnts.text += QStringLiteral(" said \"ok\"");
    Open("Save");
    Press("abc");
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(fm.Hidden());
    EXPECT_EQ(Read(Data("abc.Tst")), kReadings);
    EXPECT_EQ(Read(Data("abc.Txt")), kText);
    const QByteArray header("\"MinADC\"\r\n\" 8000\"\r\n\"MaxADC\"\r\n\" 8020\"\r\n"
                            "\"Start of Session : 06/12/2026 17:00:00\r\nfirst\r\nsecond said 'ok'\"\r\n");
    EXPECT_EQ(Read(Temp("tempdata.hdr")), header);
    EXPECT_EQ(Read(Data("abc.Hdr")), header);
    EXPECT_EQ(state.FileManagerFolder, data.path() + QLatin1Char('/'));
    EXPECT_EQ(state.SessionTstPath, Data("abc.Tst"));
    EXPECT_EQ(state.SessionHdrPath, Data("abc.Hdr"));
    EXPECT_EQ(state.SessionTxtPath, Data("abc.Txt"));
}

TEST_F(FileManagerTest, AnEmptyCommentBoxIsSavedAsOneBlank) {
    state.TxtSeshnComnts.text.clear();
    Open("Save");
    Press("abc.txt");
    EXPECT_EQ(state.TxtSeshnComnts.text, QStringLiteral(" "));
    EXPECT_TRUE(Read(Data("abc.Hdr")).endsWith("\" 8020\"\r\n\" \"\r\n"));
}

TEST_F(FileManagerTest, SavingAgainAsksBeforeOverwriting) {
    Open("Save");
    Press("abc");
    ASSERT_TRUE(fm.Hidden());

    Write(Temp("tempdata.tst"), QByteArray("\x01\x00\x00\x00", 4));
    Open("Save");
    boxes.answers = {MessageBoxes::Answer::No};
    Press("abc");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("File already exists !\rDo you wish to overwrite it?"));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Aurivo USB"));
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::YesNo);
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Question);
    EXPECT_EQ(state.MsgBoxAnswer, 7);
    EXPECT_FALSE(fm.Hidden());
    EXPECT_EQ(Read(Data("abc.Tst")), kReadings);

    boxes.answers = {MessageBoxes::Answer::Yes};
    Press("abc.tst");
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(fm.Hidden());
    EXPECT_EQ(Read(Data("abc.Tst")), QByteArray("\x01\x00\x00\x00", 4));
}

TEST_F(FileManagerTest, NamesMatchFilesWhateverTheirCase) {
    // A session started under a name writes name.tst/.hdr/.txt; saving over it replaces those files.
    Write(Data("run.tst"), "old");
    Write(Data("run.hdr"), "old");
    Open("Save");
    Press("RUN");
    ASSERT_EQ(boxes.shown.size(), 1u); // the overwrite question
    EXPECT_EQ(state.SessionTstPath, Data("run.tst"));
    EXPECT_EQ(state.SessionHdrPath, Data("run.hdr"));
    EXPECT_EQ(state.SessionTxtPath, Data("RUN.Txt"));
    EXPECT_EQ(Read(Data("run.tst")), kReadings);
    EXPECT_FALSE(QFileInfo::exists(Data("RUN.Tst")));
}

TEST_F(FileManagerTest, ADottedNameSavesUnderItsFirstPart) {
    Open("Save");
    Press("a.b.tst");
    EXPECT_TRUE(fm.Hidden());
    EXPECT_TRUE(QFile::exists(Data("a.Tst")));
    EXPECT_TRUE(QFile::exists(Data("a.Txt")));
    EXPECT_TRUE(QFile::exists(Data("a.Hdr")));
}

TEST_F(FileManagerTest, ReservedAndUnusableNamesDoNothing) {
    Open("Save");
    for (const char* name : {"tempdata", "tempdata.tst"}) {
        boxes.shown.clear();
        Press(name);
        ASSERT_EQ(boxes.shown.size(), 1u) << name;
        EXPECT_EQ(boxes.shown[0].text,
                  QStringLiteral("'tempdata.tst' is a reserved filename\r\nPlease use another name."));
        EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Information);
        EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);
    }
    boxes.shown.clear();
    for (const char* name : {"", ".tst"})
        Press(name);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(fm.Hidden());
    EXPECT_TRUE(QDir(data.path()).isEmpty());

    // Display with an empty name box ends nothing either.
    Open("Display");
    Press("");
    EXPECT_FALSE(fm.Hidden());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FileManagerTest, ARelativeFolderGivesTheColonMessage) {
    Open("Save");
    fm.dirFM_Change(QStringLiteral("."));
    ASSERT_EQ(fm.dirFM(), QStringLiteral("."));
    Press("abc");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Should have found a ':' at pos. # 3"));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Aurivo USB"));
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);
    EXPECT_TRUE(state.SessionTstPath.isEmpty());
    EXPECT_FALSE(fm.Hidden());
}

TEST_F(FileManagerTest, SixAdditionsEndTheChoice) {
    for (int i = 1; i <= 6; ++i)
        Write(data.filePath(QStringLiteral("s%1.Tst").arg(i)), kReadings);
    Open("Display");
    fm.cmdFileOptionCaption = QStringLiteral("Display");
    fm.filFM_Click(QStringLiteral("s1.Tst"));
    EXPECT_EQ(fm.txtFM, QStringLiteral("s1.Tst"));
    fm.cmdAdd2List_Click();
    fm.txtFM = QStringLiteral("s2");
    fm.txtFM_KeyUp(13); // Enter adds in display mode
    fm.filFM_DblClick(QStringLiteral("s3.Tst"));
    for (int i = 4; i <= 5; ++i) {
        fm.txtFM = QStringLiteral("s%1").arg(i);
        fm.cmdAdd2List_Click();
    }
    EXPECT_EQ(state.ChosenSessionCount, 5);
    EXPECT_FALSE(fm.Hidden());
    fm.txtFM = QStringLiteral("s6.tst");
    fm.cmdAdd2List_Click();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(fm.Hidden());
    EXPECT_EQ(state.ChosenSessionCount, 6);
    EXPECT_EQ(fm.lblFile2Display[0].caption, QStringLiteral("s1.Tst"));
    EXPECT_EQ(fm.lblFile2Display[5].caption, QStringLiteral("s6.tst"));
    EXPECT_EQ(fm.lblFile2Display[5].foreColor, 0x000000FFu);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(state.ChosenTstPaths[size_t(i)], data.filePath(QStringLiteral("s%1.Tst").arg(i + 1)));
        EXPECT_EQ(state.ChosenHdrPaths[size_t(i)], data.filePath(QStringLiteral("s%1.Hdr").arg(i + 1)));
    }
}

TEST_F(FileManagerTest, AddingAMissingSessionIsReportedAndNotListed) {
    Open("Display");
    fm.txtFM = QStringLiteral("nothere");
    fm.cmdAdd2List_Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Error accessing 'File to Display'"));
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Warning);
    EXPECT_FALSE(boxes.shown[0].text.isEmpty());
    EXPECT_EQ(state.ChosenSessionCount, 0);
    EXPECT_EQ(fm.lblFile2Display[0].caption, QStringLiteral("File to Display"));

    Write(Data("one.tst"), kReadings);
    fm.txtFM = QStringLiteral("one");
    fm.cmdAdd2List_Click();
    EXPECT_EQ(state.ChosenSessionCount, 1);
    fm.cmdCancel_Click();
    EXPECT_EQ(state.ChosenSessionCount, 0);
    EXPECT_TRUE(fm.Hidden());
}

TEST_F(FileManagerTest, AFailedCopyIsReportedOnceAndLeavesNoPartialFiles) {
    // The header's destination is taken by a folder, so the third copy fails after two are written.
    ASSERT_TRUE(QDir(data.path()).mkdir(QStringLiteral("abc.Hdr")));
    Open("Save");
    Press("abc");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("abc.Hdr")));
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Warning);
    EXPECT_FALSE(fm.Hidden());
    EXPECT_EQ(QDir(data.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("abc.Hdr")});

    // A destination folder that does not exist.
    boxes.shown.clear();
    Open("Save");
    Press("missing/abc");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("abc.Tst")));
    EXPECT_FALSE(QFileInfo::exists(Data("missing")));

    // A destination folder that is a file.
    boxes.shown.clear();
    Write(Data("plain"), "x");
    Open("Save");
    Press("plain/abc");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(Read(Data("plain")), QByteArray("x"));
}

TEST_F(FileManagerTest, ADestinationThatCannotBeTestedShowsTheSystemText) {
    Open("Save");
    fm.txtFM = QString(300, QLatin1Char('x')); // longer than a file name may be
    fm.cmdFileOption_Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Information);
    EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);
    EXPECT_FALSE(boxes.shown[0].text.isEmpty());
    EXPECT_FALSE(fm.Hidden());
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
    EXPECT_EQ(fm.dirFM(), Data("sub"));
    EXPECT_EQ(state.FileManagerFolder, Data("sub"));
    fm.drvFM_Change(QStringLiteral("/no-such-drive-here/"));
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(fm.dirFM(), Data("sub"));

    // The drive holding the program folder leads back to the remembered folder.
    fm.dirFM_Change(QStringLiteral("/"));
    state.FileManagerFolder = Data("sub");
    fm.drvFM_Change(QStorageInfo(program.path()).rootPath());
    EXPECT_EQ(fm.dirFM(), Data("sub"));
}
