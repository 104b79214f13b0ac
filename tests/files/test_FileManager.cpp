#include "FullDisk.h"
#include "MonitorFakes.h"
#include "TestFiles.h"
#include "files/FileManager.h"
#include "recording/SessionColours.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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
    void open(FileManager::Purpose purpose) {
        fm.load(purpose);
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
    QStringList captions() const {
        QStringList out;
        for (const QString& name : fm.displayNames())
            out << name;
        return out;
    }

    static constexpr FileManager::Purpose kSave = FileManager::Purpose::Save;
    static constexpr FileManager::Purpose kDisplay = FileManager::Purpose::Display;
    QTemporaryDir program, data;
    CommentBox comments;
    ScriptedBoxes boxes;
    FileManager fm{program.path(), boxes, comments};
};

} // namespace

TEST_F(FileManagerTest, SixAdditionsEndTheChoiceAndOpeningAgainResetsTheList) {
    for (const char* name : {"s1.Tst", "s2.Tst", "s3.Tst", "s4.Tst", "s5.Tst", "s6.Tst", "notes.txt"})
        writeFile(dataPath(name), kReadings);
    open(kDisplay);
    EXPECT_EQ(fm.fileNames().size(), 6); // not notes.txt
    add(QStringLiteral("nothere"));      // a missing session is reported and not listed
    ASSERT_EQ(boxes.count(QStringLiteral("Error accessing 'File to Display'")), 1);
    EXPECT_EQ(list().count, 0);
    // A pipe in a session's place is refused at once, never waited on. (Should the dialog wait on it,
    // a writer arrives after a while, and the pipe is then wrongly listed.)
    ASSERT_EQ(::mkfifo(QFile::encodeName(dataPath("pipe.Tst")).constData(), 0600), 0);
    std::thread writer([path = dataPath("pipe.Tst")] {
        for (int i = 0; i < 200 && QFile::exists(path); ++i) {
            const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) return static_cast<void>(::close(fd));
            ::usleep(10000);
        }
    });
    add(QStringLiteral("pipe"));
    QFile::remove(dataPath("pipe.Tst")); // the writer gives up once the pipe is gone
    writer.join();
    ASSERT_EQ(boxes.count(QStringLiteral("Error accessing 'File to Display'")), 2);
    EXPECT_EQ(list().count, 0);

    fm.pickFile(QStringLiteral("s1.Tst"));
    fm.addToDisplayList();
    fm.setName(QStringLiteral("s2"));
    fm.nameKeyUp(13); // Enter adds in display mode
    fm.pickFileAndConfirm(QStringLiteral("s3.Tst"));
    add(QStringLiteral("s4"));
    add(QStringLiteral("s5"));
    EXPECT_FALSE(fm.hidden());
    add(QStringLiteral("s6.tst"));
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(fm.hidden());
    EXPECT_EQ(captions(),
              (QStringList{QStringLiteral("s1.Tst"), QStringLiteral("s2"), QStringLiteral("s3.Tst"),
                           QStringLiteral("s4"), QStringLiteral("s5"), QStringLiteral("s6.tst")}));
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(list().tstPaths[i], data.filePath(QStringLiteral("s%1.Tst").arg(i + 1)));
        EXPECT_EQ(list().hdrPaths[i], data.filePath(QStringLiteral("s%1.Hdr").arg(i + 1)));
    }
    // Opening again empties the list and its labels; Cancel empties the list.
    open(kDisplay);
    EXPECT_TRUE(list().count == 0 && list().tstPaths[0].isEmpty());
    EXPECT_EQ(captions(), QStringList(6, QStringLiteral("File to Display")));
    add(QStringLiteral("s1"));
    fm.cancel();
    EXPECT_EQ(list().count, 0);
    EXPECT_TRUE(fm.hidden());
    // "Display" needs something to show: with nothing added it shows the session named in the box, and
    // with no name either it cannot be pressed; a name that lists nothing keeps the dialog open.
    open(kDisplay);
    EXPECT_FALSE(fm.fileOptionEnabled());
    fm.setName(QStringLiteral("nothere"));
    EXPECT_TRUE(fm.fileOptionEnabled());
    fm.runFileOption();
    EXPECT_FALSE(fm.hidden());
    EXPECT_EQ(list().count, 0);
    fm.pickFile(QStringLiteral("s2.Tst"));
    fm.runFileOption();
    EXPECT_TRUE(fm.hidden());
    ASSERT_EQ(list().count, 1);
    EXPECT_EQ(list().tstPaths[0], data.filePath(QStringLiteral("s2.Tst")));
}

TEST_F(FileManagerTest, SaveCopiesTheSessionWithTheCommentsOfTheBoxAndAsksBeforeOverwriting) {
    // An empty comment box is saved as one blank; a dotted name saves under its first part.
    comments.setText(QString());
    open(kSave);
    press(QStringLiteral("a.b.tst"));
    EXPECT_TRUE(fm.hidden());
    EXPECT_EQ(comments.text(), QStringLiteral(" "));
    // The start line comes from the recording even when the box no longer holds it.
    EXPECT_EQ(readFile(dataPath("a.Hdr")),
              kHeaderStart + "\"Start of Session : 06/12/2026 17:00:00\r\n \"\r\n");
    EXPECT_EQ(readFile(dataPath("a.Txt")), kText);

    writeFile(temp("tempdata.tst"), QByteArray("\x01\x00\x00\x00", 4));
    open(kSave);
    boxes.answers = {Answer::No};
    press(QStringLiteral("a"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    // The question names the session and its folder, and Enter answers No.
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("File already exists !\rThe session \"a\" in %1\rDo you "
                                                  "wish to overwrite it?")
                                       .arg(QDir::toNativeSeparators(data.path())));
    EXPECT_EQ(std::tuple(boxes.shown[0].title, boxes.shown[0].buttons, boxes.shown[0].icon),
              std::tuple(QStringLiteral("Aurivo USB"), MessageBoxes::Buttons::YesNoDefaultNo,
                         MessageBoxes::Icon::Question));
    EXPECT_FALSE(fm.hidden());
    EXPECT_EQ(readFile(dataPath("a.Tst")), kReadings);

    // Names match existing files whatever their case; those files are replaced.
    writeFile(dataPath("run.tst"), "old");
    writeFile(dataPath("run.hdr"), "old");
    open(kSave);
    boxes.answers = {Answer::Yes};
    press(QStringLiteral("RUN.tst"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(fm.hidden());
    EXPECT_EQ(readFile(dataPath("run.tst")), QByteArray("\x01\x00\x00\x00", 4));
    EXPECT_EQ(readFile(dataPath("run.hdr")).left(8), QByteArray("\"MinADC\""));
    EXPECT_EQ(dataEntries().filter(QStringLiteral("run"), Qt::CaseInsensitive),
              (QStringList{QStringLiteral("run.hdr"), QStringLiteral("run.tst"), QStringLiteral("RUN.Txt")}));
}

TEST_F(FileManagerTest, ReservedAndUnusableNamesDoNothing) {
    // Reserved names (any case, any extension), paths, control characters and names too long for the
    // file system are refused with a message, and nothing is written anywhere.
    const std::pair<QString, const char*> rows[] = {
        {QStringLiteral("tempdata"), "'tempdata.tst' is a reserved filename\r\nPlease use another name."},
        {QStringLiteral("TempData.TXT"), "'tempdata.tst' is a reserved"},
        {QStringLiteral("plotdata"), "'PlotData.txt' is a reserved filename\r\nPlease use another name."},
        {QStringLiteral("../x"), "A session name is the name of a file and cannot hold / or \\."},
        {QStringLiteral("a\\b"), "A session name is the name of a file"},
        {QStringLiteral(".."), "\"..\" names a folder, not a session."},
        {QStringLiteral("a\tb"), "A session name cannot hold control characters"},
        {QStringLiteral("a\u0085b"), "A session name cannot hold control characters"},
        {QString(252, QLatin1Char('x')), "The session name is too long"},
    };
    for (const auto& [name, message] : rows) {
        SCOPED_TRACE(name.toStdString());
        for (const FileManager::Purpose purpose : {kSave, kDisplay}) {
            open(purpose);
            purpose == kSave ? press(name) : add(name);
            ASSERT_EQ(boxes.shown.size(), 1u);
            EXPECT_TRUE(boxes.shown[0].text.startsWith(QString::fromUtf8(message)))
                << boxes.shown[0].text.toStdString();
            EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Information);
            EXPECT_FALSE(fm.hidden());
        }
    }
    EXPECT_TRUE(dataEntries().isEmpty());
    open(kSave);
    for (const char* name : {"", ".tst"})
        press(QString::fromLatin1(name));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(fm.hidden());
    press(QString(251, QLatin1Char('x'))); // the longest name whose files fit
    EXPECT_TRUE(fm.hidden());
    EXPECT_EQ(dataEntries().size(), 3);
    // A relative folder gives the colon message.
    open(kSave);
    fm.changeFolder(QStringLiteral("."));
    press(QStringLiteral("abc"));
    EXPECT_EQ(boxes.count(QStringLiteral("Aurivo USB")), 1);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Should have found a ':' at pos. # 3"));
}

TEST_F(FileManagerTest, AFailedCopyIsReportedOnceAndLeavesNoPartialFiles) {
    // Overwriting a saved session on a full disk: the old session stays whole, nothing new is left.
    writeFile(temp("tempdata.tst"), QByteArray(64 * 1024, '\x01'));
    FullDisk disk(16384);
    for (const char* name : {"abc.Tst", "abc.Txt", "abc.Hdr"})
        writeFile(disk.filePath(QString::fromLatin1(name)), "old");
    disk.fill(4096); // room for the refreshed header, none for the readings
    open(kSave);
    fm.changeFolder(disk.path());
    boxes.answers = {Answer::Yes};
    press(QStringLiteral("abc"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, QStringLiteral("The session could not be saved.\r\nabc.Tst in %1: %2")
                                       .arg(disk.path(), disk.reason()));
    EXPECT_EQ(boxes.shown[1].icon, MessageBoxes::Icon::Warning);
    EXPECT_FALSE(fm.hidden());
    EXPECT_EQ(disk.entries().size(), 3);
    for (const QString& name : disk.entries())
        EXPECT_EQ(readFile(disk.filePath(name)), QByteArray("old")) << name.toStdString();
    // A missing temporary file is named, and nothing of the copy is left behind.
    disk.free();
    QFile::remove(temp("tempdata.txt"));
    open(kSave);
    press(QStringLiteral("xyz"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].text.contains(QStringLiteral("tempdata.txt")));
    EXPECT_TRUE(dataEntries().isEmpty());
}

TEST_F(FileManagerTest, FoldersAndDrives) {
    // An unreadable folder or drive keeps the previous folder and says why.
    ASSERT_TRUE(QDir(data.path()).mkdir(QStringLiteral("sub")));
    fm.changeFolder(dataPath("sub"));
    fm.changeFolder(dataPath("gone"));
    fm.changeDrive(QStringLiteral("/no-such-drive-here/"));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(boxes.shown[0].text.startsWith(dataPath("gone") + QStringLiteral("\r\n")));
    EXPECT_EQ(fm.folder(), dataPath("sub"));
    // The next opening starts in the remembered folder, or the program folder should it have gone.
    open(kDisplay);
    EXPECT_EQ(fm.folder(), dataPath("sub"));
    QDir(dataPath("sub")).removeRecursively();
    open(kDisplay);
    EXPECT_EQ(fm.folder(), QDir::cleanPath(program.path()));
}

} // namespace aurivo
