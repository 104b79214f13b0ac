#include "core/SafeFile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace aurivo {

namespace {
// The reason given for a pipe, a device or a socket where a file should be.
constexpr int kNotRegular = -1;
} // namespace

SafeFile::~SafeFile() {
    if (fd_ >= 0) ::close(fd_);
}

QString SafeFile::describe(int error) {
    if (error == ELOOP) return QStringLiteral("a symbolic link is in its place");
    if (error == kNotRegular) return QStringLiteral("something other than a file is in its place");
    return qt_error_string(error);
}

bool SafeFile::fail(int error) {
    error_ = error;
    reason_ = describe(error);
    return false;
}

bool SafeFile::open(const QString& path, Mode mode, int permissions) {
    close();
    path_ = path;
    reason_.clear();
    error_ = 0;
    // O_NONBLOCK only so that a pipe in the file's place cannot hang the open; it is refused below. O_NOCTTY
    // so that a terminal device in its place cannot become the program's controlling terminal.
    int flags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY;
    switch (mode) {
    case Mode::Create:
        flags |= O_WRONLY | O_CREAT | O_TRUNC;
        break;
    case Mode::Exclusive:
        flags |= O_WRONLY | O_CREAT | O_EXCL;
        break;
    case Mode::Existing:
        flags |= O_RDWR;
        break;
    case Mode::Read:
        flags |= O_RDONLY;
        break;
    case Mode::ReadThroughLink:
        flags = (flags & ~O_NOFOLLOW) | O_RDONLY;
        break;
    }
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(name.constData(), flags, permissions);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return fail(errno == ENXIO ? kNotRegular : errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : kNotRegular;
        ::close(fd);
        return fail(error);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    return true;
}

bool SafeFile::writeAt(qint64 offset, const char* data, qint64 size) {
    if (fd_ < 0) return fail(EBADF);
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd_, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(errno);
        if (n == 0) return fail(ENOSPC); // nothing taken and no reason given: the disk has no room
        done += n;
    }
    return true;
}

bool SafeFile::truncate(qint64 size) {
    if (fd_ < 0) return fail(EBADF);
    while (::ftruncate(fd_, off_t(size)) != 0) {
        if (errno != EINTR) return fail(errno);
    }
    return true;
}

bool SafeFile::sync() {
    if (fd_ < 0) return fail(EBADF);
    return ::fsync(fd_) == 0 || fail(errno);
}

qint64 SafeFile::size() {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
        fail(fd_ < 0 ? EBADF : errno);
        return -1;
    }
    return qint64(st.st_size);
}

qint64 SafeFile::readAt(qint64 offset, char* data, qint64 size) {
    if (fd_ < 0) {
        fail(EBADF);
        return -1;
    }
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd_, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            fail(errno);
            return -1;
        }
        if (n == 0) break; // the end of the file (it may have got shorter meanwhile)
        done += n;
    }
    return done;
}

bool SafeFile::readAll(QByteArray& out, qint64 maxBytes) {
    out.clear();
    const qint64 length = std::min(size(), maxBytes);
    if (length < 0) return false;
    out.resize(length);
    const qint64 done = readAt(0, out.data(), length);
    if (done < 0) {
        out.clear();
        return false;
    }
    out.truncate(done);
    return true;
}

bool SafeFile::close() {
    if (fd_ < 0) return true;
    const int fd = fd_;
    fd_ = -1;
    // The descriptor is gone after close() even when it reports EINTR, so it is never retried.
    return ::close(fd) == 0 || fail(errno);
}

} // namespace aurivo
