#include "recording/UnsavedSessions.h"

#include "core/SafeFile.h"
#include "core/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

namespace aurivo {

namespace {

bool moveFile(const QString& from, const QString& to) {
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// A name <start>[-k] that no entry of the folder has, in any case and with any extension.
QString freeName(const QDir& folder, const QDateTime& start) {
    const QString stem = start.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int k = 1;; ++k) {
        const QString name = k == 1 ? stem : stem + QStringLiteral("-%1").arg(k);
        if (folder.entryList({name + QStringLiteral(".*")}, QDir::AllEntries | QDir::Hidden | QDir::System)
                .isEmpty())
            return name;
    }
}

// Removes the oldest kept sessions (by their reading file's time) beyond the number kept.
void prune(const QDir& folder) {
    QFileInfoList sessions = folder.entryInfoList({QStringLiteral("*.tst")}, QDir::Files | QDir::Hidden);
    if (sessions.size() <= UnsavedSessions::kKept) return;
    std::sort(sessions.begin(), sessions.end(), [](const QFileInfo& a, const QFileInfo& b) {
        return std::pair(a.lastModified(), a.fileName()) < std::pair(b.lastModified(), b.fileName());
    });
    const qsizetype surplus = sessions.size() - UnsavedSessions::kKept;
    for (qsizetype i = 0; i < surplus; ++i) {
        const QString base = sessions[i].completeBaseName();
        for (const QFileInfo& file : folder.entryInfoList({base + QStringLiteral(".*")}, QDir::Files))
            if (file.completeBaseName() == base) QFile::remove(file.filePath());
    }
}

// The temporary files of a session and the extension each has in unsaved/, the reading file first:
// without it nothing is kept; the others go with it when they are there.
const std::pair<const char*, const char*> kParts[] = {{"tempdata.tst", ".Tst"}, {"tempdata.txt", ".Txt"},
                                                      {"tempdata.hdr", ".Hdr"}, {"tempdata.mrk", ".Mrk"},
                                                      {"tempdata.tim", ".Tim"}, {"tempdata.scr", ".Scr"}};

const QString kJournal = QStringLiteral(".keeping");

} // namespace

QString UnsavedSessions::folderOf(const QString& programFolder) {
    return QDir(programFolder).filePath(QString::fromLatin1(kFolderName));
}

UnsavedSessions::Outcome UnsavedSessions::keep(const QString& programFolder, const QDateTime& start,
                                               int stopAfterMoves) {
    const QDir program(programFolder);
    const QFileInfo tst(program.filePath(QStringLiteral("tempdata.tst")));
    if (tst.isSymLink() || !tst.isFile() || tst.size() == 0) return {};

    const QString folderPath = folderOf(programFolder);
    const QFileInfo place(folderPath);
    if (place.isSymLink() || (place.exists() && !place.isDir()))
        return {QString(), WriteFailure::at(folderPath, QStringLiteral("not a folder")).text()};
    if (!place.exists() && !program.mkdir(QString::fromLatin1(kFolderName)))
        return {QString(), WriteFailure::at(folderPath, SafeFile::describe(errno)).text()};
    const QDir folder(folderPath);

    const QString name = freeName(folder, start.isValid() ? start : tst.lastModified());
    WriteFailure failure;
    if (!SafeFileWriter::writeFile(folder.filePath(kJournal), name.toUtf8(), failure))
        return {QString(), failure.text()};
    std::vector<std::pair<QString, QString>> moved;
    for (const auto& [from, extension] : kParts) {
        if (stopAfterMoves >= 0 && int(moved.size()) >= stopAfterMoves) return {name, QString()};
        const QString source = program.filePath(QString::fromLatin1(from));
        const QFileInfo info(source);
        if (info.isSymLink() || !info.isFile()) continue;
        const QString target = folder.filePath(name + QString::fromLatin1(extension));
        if (moveFile(source, target)) {
            moved.emplace_back(source, target);
            continue;
        }
        // The session stays whole where it was.
        const QString why = SafeFile::describe(errno);
        for (auto it = moved.rbegin(); it != moved.rend(); ++it)
            moveFile(it->second, it->first);
        QFile::remove(folder.filePath(kJournal));
        return {QString(), WriteFailure::at(target, why).text()};
    }
    QFile::remove(folder.filePath(kJournal));
    prune(folder);
    return {name, QString()};
}

QString UnsavedSessions::finishInterrupted(const QString& programFolder) {
    const QDir folder(folderOf(programFolder));
    const QString journal = folder.filePath(kJournal);
    if (!QFileInfo::exists(journal)) return QString();
    QFile file(journal);
    if (!file.open(QIODevice::ReadOnly)) return WriteFailure::at(journal, file.errorString()).text();
    const QString name = QString::fromUtf8(file.read(256)).trimmed();
    file.close();
    // Whatever the keep had not moved yet goes now, even the reading file: the session was stopped and
    // is to be kept, and the next start would otherwise delete it.
    if (!name.isEmpty() && !name.contains(QLatin1Char('/'))) {
        const QDir program(programFolder);
        for (const auto& [from, extension] : kParts) {
            const QString source = program.filePath(QString::fromLatin1(from));
            const QString target = folder.filePath(name + QString::fromLatin1(extension));
            const QFileInfo info(source);
            if (info.isSymLink() || !info.isFile() || QFileInfo::exists(target)) continue;
            if (!moveFile(source, target)) return WriteFailure::at(target, SafeFile::describe(errno)).text();
        }
    }
    if (!QFile::remove(journal)) return WriteFailure::at(journal, file.errorString()).text();
    return QString();
}

} // namespace aurivo
