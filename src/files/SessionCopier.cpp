#include "files/SessionCopier.h"

#include "core/FolderLock.h"
#include "core/SafeFileWriter.h"
#include "recording/SessionSource.h"

#include <QDir>
#include <QFileInfo>
#include <memory>
#include <vector>

namespace aurivo {

SessionCopier::SessionCopier(QString programFolder) : programFolder_(std::move(programFolder)) {}

SessionCopier::Result SessionCopier::copy(const QString& tstPath, const QString& txtPath,
                                          const QString& hdrPath, bool overwrite) const {
    // Another program saving into the same folder waits its turn; a save of ours cut off there earlier
    // is finished first, so the names below see the session it left.
    const QString folder = QFileInfo(tstPath).absolutePath();
    const FolderLock lock(folder);
    if (lock.busy())
        return Result{
            false,
            WriteFailure::at(tstPath, QStringLiteral("another program is saving in this folder")).text()};
    WriteFailure failure;
    if (!SafeFileWriter::finishInterruptedChanges(folder, failure)) return Result{false, failure.text()};

    const QDir program(programFolder_);
    std::vector<QString> sources = {program.filePath(QStringLiteral("tempdata.tst")),
                                    program.filePath(QStringLiteral("tempdata.txt")),
                                    program.filePath(QStringLiteral("tempdata.hdr"))};
    std::vector<QString> targets = {tstPath, txtPath, hdrPath};
    // The marker file goes with them when the session has markers, the timing file when it was recorded
    // with one, the response file when responses were found; their names follow the reading file's. A session
    // without one replaces one with it: the old file goes with the switch, so it is never taken for the new
    // session's.
    std::vector<QString> removals;
    const std::pair<const char*, QString> optional[] = {{"tempdata.mrk", markerPathFor(tstPath)},
                                                        {"tempdata.tim", timingPathFor(tstPath)},
                                                        {"tempdata.scr", responsePathFor(tstPath)}};
    for (const auto& [name, target] : optional) {
        const QString source = program.filePath(QString::fromLatin1(name));
        if (QFileInfo::exists(source)) {
            sources.push_back(source);
            targets.push_back(target);
        } else {
            removals.push_back(target);
        }
    }
    if (!overwrite) {
        for (const QString& target : targets)
            if (QFileInfo::exists(target))
                return Result{false, WriteFailure::at(target, QStringLiteral("File exists")).text()};
    }

    // All copies are written and checked under temporary names first; only then are they put in place
    // together, so an existing session is either replaced whole or left as it was.
    std::vector<std::unique_ptr<SafeFileWriter>> staged;
    std::vector<SafeFileWriter*> writers;
    for (size_t i = 0; i < sources.size(); ++i) {
        staged.push_back(std::make_unique<SafeFileWriter>(targets[i], SafeFileWriter::kStagedMark));
        SafeFileWriter& target = *staged.back();
        if (!target.begin() || !target.appendFile(sources[i]) || !target.finish())
            return Result{false, target.failure().text()};
        writers.push_back(&target);
    }
    if (!SafeFileWriter::commitTogether(writers, failure, removals, stopAfterStep_))
        return Result{false, failure.text()};
    return Result{true, QString()};
}

SessionCopier::Result SessionCopier::finishInterrupted(const QString& folder) {
    const FolderLock lock(folder);
    if (lock.busy()) return Result{true, QString()};
    WriteFailure failure;
    if (!SafeFileWriter::finishInterruptedChanges(folder, failure)) return Result{false, failure.text()};
    return Result{true, QString()};
}

namespace {

// An existing file of the session keeps its spelling, so no second one appears beside it.
QString savedPathFor(const QString& tstPath, const QString& existing, const QString& extension) {
    if (!existing.isEmpty()) return existing;
    QString base = tstPath;
    if (base.endsWith(QStringLiteral(".tst"), Qt::CaseInsensitive)) base.chop(4);
    return base + extension;
}

} // namespace

QString SessionCopier::markerPathFor(const QString& tstPath) {
    return savedPathFor(tstPath, SessionSource::fromPath(tstPath).markerPath, QStringLiteral(".Mrk"));
}

QString SessionCopier::timingPathFor(const QString& tstPath) {
    return savedPathFor(tstPath, SessionSource::fromPath(tstPath).timingPath, QStringLiteral(".Tim"));
}

QString SessionCopier::responsePathFor(const QString& tstPath) {
    return savedPathFor(tstPath, SessionSource::fromPath(tstPath).responsePath, QStringLiteral(".Scr"));
}

} // namespace aurivo
