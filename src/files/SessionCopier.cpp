#include "files/SessionCopier.h"

#include "core/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    if (!overwrite) {
        for (const QString& target : targets)
            if (QFileInfo::exists(target))
                return Result{false, WriteFailure::at(target, QStringLiteral("File exists")).text()};
    }

    // All three copies are written and checked under temporary names first; only then are they put in
    // place together, so an existing session is either replaced whole or left as it was.
    std::array<std::unique_ptr<SafeFileWriter>, 3> staged;
    for (size_t i = 0; i < 3; ++i) {
        staged[i] = std::make_unique<SafeFileWriter>(targets[i]);
        SafeFileWriter& target = *staged[i];
        if (!target.begin() || !target.appendFile(sources[i]) || !target.finish())
            return Result{false, target.failure().text()};
    }
    WriteFailure failure;
    if (!SafeFileWriter::commitTogether({staged[0].get(), staged[1].get(), staged[2].get()}, failure))
        return Result{false, failure.text()};
    return Result{true, QString()};
}

} // namespace aurivo
