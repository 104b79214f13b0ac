#include "files/SessionCopier.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <memory>

namespace aurivo {

SessionCopier::SessionCopier(QString programFolder) : programFolder_(std::move(programFolder)) {}

SessionCopier::Result SessionCopier::copy(const QString& tstPath, const QString& txtPath,
                                          const QString& hdrPath, bool overwrite) const {
    const QDir program(programFolder_);
    const std::array<QString, 3> sources = {program.filePath(QStringLiteral("tempdata.tst")),
                                            program.filePath(QStringLiteral("tempdata.txt")),
                                            program.filePath(QStringLiteral("tempdata.hdr"))};
    const std::array<QString, 3> targets = {tstPath, txtPath, hdrPath};
    const auto fail = [](const QString& file, const QString& why) {
        return Result{false, QDir::toNativeSeparators(file) + QStringLiteral(": ") + why};
    };

    if (!overwrite) {
        for (const QString& target : targets)
            if (QFileInfo::exists(target)) return fail(target, QStringLiteral("File exists"));
    }

    // Stage all three copies first; an uncommitted QSaveFile removes its temporary file when destroyed.
    std::array<std::unique_ptr<QSaveFile>, 3> staged;
    for (size_t i = 0; i < 3; ++i) {
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

    // Rename into place in order; if a rename fails, the copies already in place are removed again.
    for (size_t i = 0; i < 3; ++i) {
        if (!staged[i]->commit()) {
            const Result result = fail(targets[i], staged[i]->errorString());
            for (size_t j = 0; j < i; ++j)
                QFile::remove(targets[j]);
            return result;
        }
    }
    return Result{true, QString()};
}

} // namespace aurivo
