// The shared writer under the faults a program file meets: a full disk, a link or a folder where the
// file should be, a folder that refuses new files, and a group of files of which one cannot be placed.

#include "FullDisk.h"
#include "core/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace aurivo {

namespace {

QByteArray read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

void write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

TEST(SafeFileWriter, AFailedReplacementKeepsThePreviousFileAndLeavesNothingBehind) {
    const QByteArray old = "old contents\r\n";
    const QByteArray big(64 * 1024, 'n'); // more than the full disk's room
    QTemporaryDir outside;
    const QString victim = QDir(outside.path()).filePath(QStringLiteral("victim"));

    struct Row {
        const char* what;
        std::function<void(const QString& target)> plant; // what stands at the target before the write
        QString reason;   // expected in the failure; empty: the write succeeds
        QByteArray after; // the target's contents afterwards
    };
    FullDisk disk(8192);
    const Row rows[] = {
        {"full disk", [&](const QString& t) { write(t, old); }, disk.reason(), old},
        {"link to an outside file", [&](const QString& t) { QFile::link(victim, t); },
         QStringLiteral("a symbolic link is in its place"), "victim\r\n"},
        {"folder", [](const QString& t) { QDir().mkpath(t); }, QStringLiteral("Is a directory"), "<none>"},
        {"nothing", [](const QString&) {}, QString(), "new"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        write(victim, "victim\r\n");
        const QString target = disk.filePath(QStringLiteral("Aurivo_USB.ini"));
        row.plant(target);
        WriteFailure failure;
        const bool ok =
            SafeFileWriter::writeFile(target, row.reason.isEmpty() ? QByteArray("new") : big, failure);
        EXPECT_EQ(ok, row.reason.isEmpty());
        EXPECT_EQ(failure.reason, row.reason);
        if (!ok) {
            EXPECT_EQ(failure.text(),
                      QStringLiteral("Aurivo_USB.ini in %1: %2").arg(disk.path(), row.reason));
        }
        EXPECT_EQ(read(target), row.after);
        EXPECT_EQ(read(victim), QByteArray("victim\r\n"));
        EXPECT_EQ(disk.entries(), QStringList{QStringLiteral("Aurivo_USB.ini")}); // no temporary left
        QFile::remove(target);
        QDir(target).removeRecursively();
    }
}

TEST(SafeFileWriter, AReadOnlyFolderHasItsWritableFileRewrittenInPlaceOrLeftWhole) {
    FullDisk disk(8192);
    const QString target = disk.filePath(QStringLiteral("Aurivo_USB.ini"));
    write(target, "previous settings\r\n");
    ::chmod(QFile::encodeName(target).constData(), 0666);
    ::chmod(QFile::encodeName(disk.path()).constData(), 0555);
    WriteFailure failure;
    {
        ForeignUser user;
        EXPECT_TRUE(SafeFileWriter::writeFile(target, "new", failure)) << failure.text().toStdString();
    }
    EXPECT_EQ(read(target), QByteArray("new"));
    {
        // More than the disk holds: the old contents are put back.
        ForeignUser user;
        EXPECT_FALSE(SafeFileWriter::writeFile(target, QByteArray(64 * 1024, 'x'), failure));
    }
    EXPECT_EQ(failure.reason, disk.reason());
    EXPECT_EQ(read(target), QByteArray("new"));
    ::chmod(QFile::encodeName(disk.path()).constData(), 0755);
}

TEST(SafeFileWriter, FilesPutInPlaceTogetherAreAllNewOrAllAsBefore) {
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return QDir(dir.path()).filePath(QString::fromLatin1(name)); };
    const char* names[] = {"s.Tst", "s.Txt", "s.Hdr"};
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::unique_ptr<SafeFileWriter>> writers;
        for (const char* name : names) {
            write(path(name), "old");
            writers.push_back(std::make_unique<SafeFileWriter>(path(name)));
            ASSERT_TRUE(writers.back()->begin() && writers.back()->append("new") && writers.back()->finish());
        }
        // In the first round the last file's place is taken by a folder before the files are placed.
        if (round == 0) {
            QFile::remove(path("s.Hdr"));
            QDir().mkpath(path("s.Hdr/inside"));
        }
        WriteFailure failure;
        const bool ok =
            SafeFileWriter::commitTogether({writers[0].get(), writers[1].get(), writers[2].get()}, failure);
        writers.clear();
        EXPECT_EQ(ok, round == 1);
        EXPECT_EQ(read(path("s.Tst")), QByteArray(round == 1 ? "new" : "old"));
        EXPECT_EQ(read(path("s.Txt")), QByteArray(round == 1 ? "new" : "old"));
        EXPECT_EQ(failure.text(), round == 0 ? QStringLiteral("s.Hdr in %1: Is a directory").arg(dir.path())
                                             : QStringLiteral(" in : "));
        QDir(path("s.Hdr")).removeRecursively();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
                  round == 0 ? 2 : 3); // no temporary or set-aside file is left
    }
}

} // namespace aurivo
