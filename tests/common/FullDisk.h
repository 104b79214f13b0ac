#pragma once
// Test helper: a folder with `room` bytes left. As root it is a small tmpfs filled up, so writes fail with
// "No space left on device"; otherwise a temporary folder under a file-size limit (RLIMIT_FSIZE, its
// signal ignored) for this process, so writes fail with "File too large". fill() takes what room is left,
// free() gives it back. ForeignUser makes this thread's file access that of the unprivileged "nobody", so
// a read-only folder refuses new files even to a test running as root.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <sys/fsuid.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace aurivo {

class FullDisk {
  public:
    explicit FullDisk(qint64 room) {
        const QByteArray options = "size=" + QByteArray::number(kSize);
        mounted_ = ::geteuid() == 0 && ::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs",
                                               0, options.constData()) == 0;
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        ::signal(SIGXFSZ, SIG_IGN);
        fill(room);
    }
    ~FullDisk() {
        free();
        if (mounted_) ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }

    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return QDir(dir_.path()).filePath(name); }
    QString reason() const {
        return mounted_ ? QStringLiteral("No space left on device") : QStringLiteral("File too large");
    }
    // The folder's entries (hidden ones too), the filler left out.
    QStringList entries() const {
        QStringList list =
            QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        list.removeAll(QStringLiteral(".filler"));
        return list;
    }
    // Takes the room left but `tail` bytes (a multiple of 4096): from now on a write that needs more fails.
    void fill(qint64 tail = 0) {
        if (mounted_) {
            QFile rest(filePath(QStringLiteral(".filler")));
            rest.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
            while (rest.write(QByteArray(4096, '\0')) == 4096) {
            }
            rest.resize(std::max<qint64>(0, rest.size() - tail));
        } else {
            rlimit limit = previous_;
            limit.rlim_cur = rlim_t(tail);
            limited_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        }
    }
    void free() {
        QFile::remove(filePath(QStringLiteral(".filler")));
        if (limited_) ::setrlimit(RLIMIT_FSIZE, &previous_);
        limited_ = false;
    }

  private:
    static constexpr qint64 kSize = 1 << 20;
    QTemporaryDir dir_;
    bool mounted_ = false;
    bool limited_ = false;
    rlimit previous_{};
};

// While it lives, this thread reaches files as "nobody" would (permission checks only); without root it
// changes nothing, as the test already runs unprivileged.
class ForeignUser {
  public:
    ForeignUser() : changed_(::geteuid() == 0) {
        if (changed_) ::setfsuid(65534);
    }
    ~ForeignUser() {
        if (changed_) ::setfsuid(0);
    }

  private:
    const bool changed_;
};

} // namespace aurivo
