#include "MonitorFakes.h"
#include "TestFiles.h"
#include "core/FolderLock.h"
#include "core/SafeFileWriter.h"
#include "files/FileManager.h"
#include "files/SessionCopier.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace aurivo {

namespace {

using Files = std::map<QString, QByteArray>; // every entry of a folder, hidden ones too, and its contents

// A session's files; `extras` names the optional ones it has ("Mrk Tim Scr": markers, reading times,
// responses).
Files session(const char* tag, const char* extras) {
    Files files;
    for (const QString& ext :
         QStringLiteral("Tst Txt Hdr %1").arg(QLatin1String(extras)).split(' ', Qt::SkipEmptyParts))
        files[QStringLiteral("s.") + ext] = QByteArray(tag) + ' ' + ext.toLatin1();
    return files;
}

Files contents(const QString& folder) {
    Files files;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        files[name] = readFile(dir.filePath(name));
    return files;
}

std::string listed(const Files& files) {
    std::string out;
    for (const auto& [name, data] : files)
        out += name.toStdString() + "=" + data.toStdString() + "; ";
    return out;
}

// A program folder with a stopped session (new) and a folder holding the session it replaces (old).
struct Folders {
    QTemporaryDir program, data;
    Folders(const Files& old, const char* newExtras) {
        for (const auto& [name, bytes] : old)
            writeFile(data.filePath(name), bytes);
        for (const auto& [name, bytes] : session("new", newExtras))
            writeFile(program.filePath(QStringLiteral("tempdata.") + name.mid(2).toLower()), bytes);
    }
    SessionCopier::Result save(int stopAfterStep) const {
        SessionCopier copier(program.path());
        copier.stopAfterStep(stopAfterStep);
        return copier.copy(data.filePath("s.Tst"), data.filePath("s.Txt"), data.filePath("s.Hdr"), true);
    }
    // The file manager opening the folder, as after a new start of the program.
    void reopen() const {
        CommentBox comments;
        ScriptedBoxes boxes;
        FileManager fm(program.path(), boxes, comments);
        fm.changeFolder(data.path());
        EXPECT_TRUE(boxes.shown.empty()) << boxes.shown.front().text.toStdString();
    }
};

// A staged new file cut short, as a disk that lost its end would leave it.
bool damageAStagedFile(const QString& folder) {
    const QDir dir(folder);
    const QStringList staged =
        dir.entryList({QStringLiteral(".s.*") + SafeFileWriter::kStagedMark}, QDir::Files | QDir::Hidden);
    if (staged.isEmpty()) return false;
    QFile file(dir.filePath(staged.front()));
    return file.resize(1);
}

} // namespace

// Killed after every step of the replacement in turn, the next opening of the folder leaves each name
// with the whole new session once the journal was written and every staged file is whole, else with the
// whole old one; and nothing else: no journal, no hidden file.
TEST(SessionCopier, ASaveKilledAtAnyStepIsFinishedWholeOldOrWholeNew) {
    const struct {
        const char* what;
        Files old;
        const char* newExtras;
        bool damage;
    } rows[] = {
        {"replacing a session", session("old", "Mrk Tim Scr"), "Mrk Tim Scr", false},
        {"a session without markers and times replacing one with", session("old", "Mrk Tim Scr"), "", false},
        {"a session with times replacing one recorded before them", session("old", "Mrk"), "Tim Scr", false},
        {"a first save", Files{}, "Mrk Tim Scr", false},
        {"a staged file found cut short", session("old", "Mrk Tim Scr"), "Mrk Tim Scr", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const Files whole = session("new", row.newExtras);
        int forward = 0, back = 0;
        bool finished = false;
        for (int step = 0; step < 40 && !finished; ++step) {
            SCOPED_TRACE(step);
            const Folders folders(row.old, row.newExtras);
            finished = folders.save(step).ok;
            bool newWins = true;
            if (!finished) {
                const bool journaled = QFile::exists(folders.data.filePath(SafeFileWriter::kJournalName));
                const bool damaged = row.damage && damageAStagedFile(folders.data.path());
                newWins = journaled && !damaged;
                folders.reopen();
                ++(newWins ? forward : back);
            }
            const Files after = contents(folders.data.path());
            EXPECT_EQ(after, newWins ? whole : row.old) << listed(after);
        }
        EXPECT_TRUE(finished);
        EXPECT_GT(back, 1);
        EXPECT_TRUE(row.damage || forward > 1);
    }
}

// A folder in which another program is saving is not finished under its feet.
TEST(SessionCopier, AFolderAnotherSaveHoldsIsLeftAlone) {
    const Folders folders(session("old", "Mrk Tim"), "Mrk Tim");
    ASSERT_FALSE(folders.save(5).ok); // partly switched
    const Files cut = contents(folders.data.path());
    {
        const FolderLock other(folders.data.path());
        EXPECT_TRUE(SessionCopier::finishInterrupted(folders.data.path()).ok);
        EXPECT_EQ(contents(folders.data.path()), cut);
        EXPECT_FALSE(folders.save(-1).ok); // a save waits its turn, then gives up and says why
    }
    EXPECT_TRUE(folders.save(-1).ok);
    EXPECT_EQ(contents(folders.data.path()), session("new", "Mrk Tim"));
}

} // namespace aurivo
