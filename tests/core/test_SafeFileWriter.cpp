#include "FullDisk.h"
#include "TestFiles.h"
#include "core/SafeFile.h"
#include "core/SafeFileWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <cerrno>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

using namespace aurivo;

TEST(SafeFileWriter, AFailedReplacementKeepsThePreviousFileAndLeavesNothingBehind) {
    QTemporaryDir outside;
    const QString victim = QDir(outside.path()).filePath(QStringLiteral("victim"));
    FullDisk disk(8192);
    const QString target = disk.filePath(QStringLiteral("Aurivo_USB.ini"));
    const struct {
        std::function<void()> plant; // what stands at the target before the write
        QString reason;              // expected in the failure; empty: the write succeeds
        QByteArray after;            // the target's contents afterwards
    } rows[] = {
        {[&] { writeFile(target, "old"); }, disk.reason(), "old"}, // more than the full disk holds
        {[&] { QFile::link(victim, target); }, QStringLiteral("a symbolic link is in its place"), "victim"},
        {[&] { QDir().mkpath(target); }, QStringLiteral("Is a directory"), ""},
        {[] {}, QString(), "new"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.reason.toStdString());
        writeFile(victim, "victim");
        row.plant();
        WriteFailure failure;
        const bool ok = SafeFileWriter::writeFile(
            target, row.reason.isEmpty() ? QByteArray("new") : QByteArray(64 * 1024, 'n'), failure);
        EXPECT_EQ(ok, row.reason.isEmpty());
        EXPECT_EQ(failure.text(),
                  ok ? QStringLiteral(" in : ")
                     : QStringLiteral("Aurivo_USB.ini in %1: %2").arg(disk.path(), row.reason));
        EXPECT_EQ(readFile(target), row.after);
        EXPECT_EQ(readFile(victim), QByteArray("victim"));
        EXPECT_EQ(disk.entries(), QStringList{QStringLiteral("Aurivo_USB.ini")}); // no temporary left
        QFile::remove(target);
        QDir(target).removeRecursively();
    }
}

TEST(SafeFileWriter, AReadOnlyFolderHasItsWritableFileRewrittenInPlaceOrLeftWhole) {
    FullDisk disk(8192);
    const QString target = disk.filePath(QStringLiteral("Aurivo_USB.ini"));
    writeFile(target, "previous");
    ::chmod(QFile::encodeName(target).constData(), 0666);
    ::chmod(QFile::encodeName(disk.path()).constData(), 0555);
    WriteFailure failure;
    for (const QByteArray& data : {QByteArray("new"), QByteArray(64 * 1024, 'x')}) {
        ForeignUser user; // more than the disk holds: the previous contents are put back
        EXPECT_EQ(SafeFileWriter::writeFile(target, data, failure), data.size() == 3);
    }
    EXPECT_EQ(failure.reason, disk.reason());
    EXPECT_EQ(readFile(target), QByteArray("new"));
    ::chmod(QFile::encodeName(disk.path()).constData(), 0755);
}

TEST(SafeFileWriter, FilesPutInPlaceTogetherAreAllNewOrAllAsBefore) {
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return QDir(dir.path()).filePath(QString::fromLatin1(name)); };
    for (bool blocked : {true, false}) {
        std::vector<std::unique_ptr<SafeFileWriter>> writers;
        for (const char* name : {"s.Tst", "s.Txt", "s.Hdr"}) {
            writeFile(path(name), "old");
            writers.push_back(std::make_unique<SafeFileWriter>(path(name)));
            ASSERT_TRUE(writers.back()->begin() && writers.back()->append("new") && writers.back()->finish());
        }
        if (blocked) { // the last file's place is taken by a folder before the files are placed
            QFile::remove(path("s.Hdr"));
            QDir().mkpath(path("s.Hdr/inside"));
        }
        WriteFailure failure;
        EXPECT_EQ(
            SafeFileWriter::commitTogether({writers[0].get(), writers[1].get(), writers[2].get()}, failure),
            !blocked);
        writers.clear();
        EXPECT_EQ(readFile(path("s.Tst")) + readFile(path("s.Txt")), blocked ? "oldold" : "newnew");
        EXPECT_EQ(failure.text(), blocked ? QStringLiteral("s.Hdr in %1: Is a directory").arg(dir.path())
                                          : QStringLiteral(" in : "));
        QDir(path("s.Hdr")).removeRecursively();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
                  blocked ? 2 : 3); // no temporary or set-aside file is left
    }
}

TEST(SafeFileWriter, AChangeThatCannotBeUndoneKeepsItsJournalForTheNextTry) {
    // Killed after the first of two new files took its place; the second one's staged file is damaged,
    // so the change goes back. Something else then sits where the first file went, and it cannot go.
    QTemporaryDir dir;
    const auto path = [&](const QString& name) { return QDir(dir.path()).filePath(name); };
    std::vector<std::unique_ptr<SafeFileWriter>> writers;
    for (const char* name : {"s.Tst", "s.Txt"}) {
        writers.push_back(std::make_unique<SafeFileWriter>(path(QString::fromLatin1(name))));
        ASSERT_TRUE(writers.back()->begin() && writers.back()->append("new") && writers.back()->finish());
    }
    WriteFailure failure;
    ASSERT_FALSE(SafeFileWriter::commitTogether({writers[0].get(), writers[1].get()}, failure, {}, 3));
    writers.clear();
    ASSERT_EQ(readFile(path("s.Tst")), "new");
    const QStringList staged =
        QDir(dir.path()).entryList({QStringLiteral(".s.Txt.*")}, QDir::Files | QDir::Hidden);
    ASSERT_EQ(staged.size(), 1);
    writeFile(path(staged[0]), "ne");
    QFile::remove(path("s.Tst"));
    ASSERT_TRUE(QDir().mkpath(path("s.Tst/inside")));
    EXPECT_FALSE(SafeFileWriter::finishInterruptedChanges(dir.path(), failure));
    EXPECT_TRUE(failure.text().startsWith("s.Tst in ")) << failure.text().toStdString();
    EXPECT_TRUE(QFileInfo::exists(path(SafeFileWriter::kJournalName)));
    // Once the way is clear the next try finishes the change: nothing of it is left.
    QDir(path("s.Tst")).removeRecursively();
    EXPECT_TRUE(SafeFileWriter::finishInterruptedChanges(dir.path(), failure));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());
}

TEST(SafeFile, ACutTheSystemRefusesFailsWithItsReason) {
    QTemporaryDir dir;
    SafeFile file;
    ASSERT_TRUE(file.open(dir.filePath(QStringLiteral("f")), SafeFile::Mode::Create));
    EXPECT_FALSE(file.truncate(-1));
    EXPECT_EQ(file.error(), EINVAL);
}
