#include "core/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace aurivo {

namespace {

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

// A name beside the target that nothing uses yet, hidden so the file lists do not show it, and short
// enough for any file system even when the target's own name is as long as a name may be.
QString siblingName(const QString& target, const char* kind) {
    const QFileInfo info(target);
    for (;;) {
        const QString name = info.dir().filePath(
            QStringLiteral(".%1.%2%3")
                .arg(info.fileName().left(32), QString::number(QRandomGenerator::global()->generate(), 36),
                     QString::fromLatin1(kind)));
        struct stat st {};
        if (::lstat(encoded(name).constData(), &st) != 0) return name;
    }
}

// The error that names what stands where a file should be.
int placeError(mode_t mode) {
    return S_ISLNK(mode) ? ELOOP : S_ISDIR(mode) ? EISDIR : -1;
}

bool renamePath(const QString& from, const QString& to) {
    return ::rename(encoded(from).constData(), encoded(to).constData()) == 0;
}

} // namespace

QString WriteFailure::text() const {
    return file + QStringLiteral(" in ") + folder + QStringLiteral(": ") + reason;
}

WriteFailure WriteFailure::at(const QString& path, const QString& reason) {
    const QFileInfo info(path);
    return WriteFailure{info.fileName(), QDir::toNativeSeparators(info.absolutePath()), reason};
}

SafeFileWriter::SafeFileWriter(QString target) : target_(std::move(target)) {}

SafeFileWriter::~SafeFileWriter() {
    removeTemporary();
}

bool SafeFileWriter::failWith(const QString& path, const QString& reason) {
    if (!failure_.failed()) failure_ = WriteFailure::at(path, reason);
    removeTemporary();
    return false;
}

void SafeFileWriter::removeTemporary() {
    file_.close();
    if (!temporary_.isEmpty()) ::unlink(encoded(temporary_).constData());
    temporary_.clear();
}

bool SafeFileWriter::begin() {
    removeTemporary();
    failure_ = WriteFailure();
    written_ = 0;
    finished_ = false;
    createError_ = 0;

    int permissions = 0666;
    struct stat st {};
    if (::lstat(encoded(target_).constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) return failWith(target_, SafeFile::describe(placeError(st.st_mode)));
        permissions = int(st.st_mode & 0777);
    }
    temporary_ = siblingName(target_, "~");
    if (!file_.open(temporary_, SafeFile::Mode::Exclusive, permissions)) {
        createError_ = file_.error();
        temporary_.clear(); // nothing was created
        return failWith(target_, file_.reason());
    }
    return true;
}

bool SafeFileWriter::append(const QByteArray& data) {
    if (!file_.isOpen()) return failWith(target_, SafeFile::describe(EBADF));
    if (!file_.writeAt(written_, data)) return failWith(target_, file_.reason());
    written_ += data.size();
    return true;
}

bool SafeFileWriter::appendFile(const QString& sourcePath) {
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) return failWith(sourcePath, source.errorString());
    while (!source.atEnd()) {
        const QByteArray block = source.read(1 << 16);
        if (block.isEmpty() && source.error() != QFileDevice::NoError)
            return failWith(sourcePath, source.errorString());
        if (block.isEmpty()) break;
        if (!append(block)) return false;
    }
    return true;
}

bool SafeFileWriter::finish() {
    if (!file_.isOpen()) return failWith(target_, SafeFile::describe(EBADF));
    if (!file_.sync()) return failWith(target_, file_.reason());
    const qint64 size = file_.size();
    if (size != written_) {
        return failWith(target_, size < 0
                                     ? file_.reason()
                                     : QStringLiteral("%1 of %2 bytes were written").arg(size).arg(written_));
    }
    if (!file_.close()) return failWith(target_, file_.reason());
    finished_ = true;
    return true;
}

bool SafeFileWriter::commit() {
    if (!finished_) return failWith(target_, SafeFile::describe(EBADF));
    if (!renamePath(temporary_, target_)) return failWith(target_, SafeFile::describe(errno));
    temporary_.clear();
    return true;
}

bool SafeFileWriter::commitTogether(const std::vector<SafeFileWriter*>& writers, WriteFailure& failure) {
    // Each previous file steps aside under a hidden name first, so a failed rename can put it back.
    struct Placed {
        SafeFileWriter* writer;
        QString aside; // empty when there was no previous file
    };
    std::vector<Placed> placed;
    const auto rollBack = [&placed](const QString& path, int error, WriteFailure& out) {
        out = WriteFailure::at(path, SafeFile::describe(error));
        for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
            if (it->aside.isEmpty())
                ::unlink(encoded(it->writer->target_).constData());
            else
                renamePath(it->aside, it->writer->target_);
        }
        return false;
    };
    for (SafeFileWriter* w : writers) {
        if (!w->finished_) return rollBack(w->target_, EBADF, failure);
        QString aside;
        struct stat st {};
        if (::lstat(encoded(w->target_).constData(), &st) == 0) {
            // Only a previous file is replaced; whatever else took its place meanwhile stays.
            if (!S_ISREG(st.st_mode)) return rollBack(w->target_, placeError(st.st_mode), failure);
            aside = siblingName(w->target_, ".old~");
            if (!renamePath(w->target_, aside)) return rollBack(w->target_, errno, failure);
        }
        if (!renamePath(w->temporary_, w->target_)) {
            const int error = errno;
            if (!aside.isEmpty()) renamePath(aside, w->target_);
            return rollBack(w->target_, error, failure);
        }
        w->temporary_.clear();
        placed.push_back({w, aside});
    }
    for (const Placed& p : placed)
        if (!p.aside.isEmpty()) ::unlink(encoded(p.aside).constData());
    return true;
}

bool SafeFileWriter::writeFile(const QString& path, const QByteArray& data, WriteFailure& failure) {
    SafeFileWriter writer(path);
    if (writer.begin()) {
        if (writer.append(data) && writer.finish() && writer.commit()) return true;
        failure = writer.failure();
        return false;
    }
    const bool folderRefused =
        writer.createError_ == EACCES || writer.createError_ == EPERM || writer.createError_ == EROFS;
    if (folderRefused && QFileInfo(path).isFile() && !QFileInfo(path).isSymLink())
        return rewriteInPlace(path, data, failure);
    failure = writer.failure();
    return false;
}

bool SafeFileWriter::rewriteInPlace(const QString& path, const QByteArray& data, WriteFailure& failure) {
    SafeFile file;
    QByteArray previous;
    if (!file.open(path, SafeFile::Mode::Existing) || !file.readAll(previous)) {
        failure = WriteFailure::at(path, file.reason());
        return false;
    }
    if (file.writeAt(0, data) && file.truncate(data.size()) && file.sync() && file.size() == data.size() &&
        file.close())
        return true;
    failure = WriteFailure::at(path, file.reason().isEmpty() ? QStringLiteral("the size does not match")
                                                             : file.reason());
    // Put the previous contents back; they fitted before, so their room is still there.
    SafeFile restore;
    if (restore.open(path, SafeFile::Mode::Existing) && restore.writeAt(0, previous) &&
        restore.truncate(previous.size()))
        static_cast<void>(restore.sync());
    restore.close();
    return false;
}

} // namespace aurivo
