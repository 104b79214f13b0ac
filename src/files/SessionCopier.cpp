#include "files/SessionCopier.h"

#include "recording/SessionSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <memory>
#include <vector>

namespace aurivo {

SessionCopier::SessionCopier(QString programFolder) : programFolder_(std::move(programFolder)) {}

SessionCopier::Result SessionCopier::copy(const QString& tstPath, const QString& txtPath,
                                          const QString& hdrPath, bool overwrite) const {
    const QDir program(programFolder_);
    std::vector<QString> sources = {program.filePath(QStringLiteral("tempdata.tst")),
                                    program.filePath(QStringLiteral("tempdata.txt")),
                                    program.filePath(QStringLiteral("tempdata.hdr"))};
    std::vector<QString> targets = {tstPath, txtPath, hdrPath};
    // The marker file goes with them when the session has markers; its name follows the reading file's.
    const QString markerSource = program.filePath(QStringLiteral("tempdata.mrk"));
    const QString markerTarget = markerPathFor(tstPath);
    const bool withMarkers = QFileInfo::exists(markerSource);
    if (withMarkers) {
        sources.push_back(markerSource);
        targets.push_back(markerTarget);
    }
    const auto fail = [](const QString& file, const QString& why) {
        return Result{false, QDir::toNativeSeparators(file) + QStringLiteral(": ") + why};
    };

    if (!overwrite) {
        for (const QString& target : targets)
            if (QFileInfo::exists(target)) return fail(target, QStringLiteral("File exists"));
    }

    // Stage all copies first; an uncommitted QSaveFile removes its temporary file when destroyed.
    std::vector<std::unique_ptr<QSaveFile>> staged(sources.size());
    for (size_t i = 0; i < sources.size(); ++i) {
        QFile source(sources[i]);
        if (!source.open(QIODevice::ReadOnly)) return fail(sources[i], source.errorString());
        staged[i] = std::make_unique<QSaveFile>(targets[i]);
        QSaveFile& target = *staged[i];
        target.setDirectWriteFallback(false);
        if (!target.open(QIODevice::WriteOnly)) return fail(targets[i], target.errorString());
        while (!source.atEnd()) {
            const QByteArray block = source.read(1 << 16);
            if (block.isEmpty() && source.error() != QFileDevice::NoError)
                return fail(sources[i], source.errorString());
            if (target.write(block) != block.size()) return fail(targets[i], target.errorString());
        }
    }

    // A session without markers replaces one with markers: the old marker file must not stay with it.
    if (!withMarkers) {
        QFile old(markerTarget);
        if (old.exists() && !old.remove()) return fail(markerTarget, old.errorString());
    }

    // Rename into place in order; if a rename fails, the copies already in place are removed again.
    for (size_t i = 0; i < staged.size(); ++i) {
        if (!staged[i]->commit()) {
            const Result result = fail(targets[i], staged[i]->errorString());
            for (size_t j = 0; j < i; ++j)
                QFile::remove(targets[j]);
            return result;
        }
    }
    return Result{true, QString()};
}

QString SessionCopier::markerPathFor(const QString& tstPath) {
    // An existing marker file of the session keeps its spelling, so no second one appears beside it.
    const QString existing = SessionSource::fromPath(tstPath).markerPath;
    if (!existing.isEmpty()) return existing;
    QString base = tstPath;
    if (base.endsWith(QStringLiteral(".tst"), Qt::CaseInsensitive)) base.chop(4);
    return base + QStringLiteral(".Mrk");
}

} // namespace aurivo
