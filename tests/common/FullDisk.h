#pragma once
// Test helper: a folder with little room left. Where the test may mount (root), it is a small tmpfs
// filled up to `room` free bytes, so writes fail with the system's own "No space left on device".
// Elsewhere it is a temporary folder under a file-size limit of `room` bytes for this process
// (RLIMIT_FSIZE, its signal ignored), so writes past that size fail with "File too large".
// fill() takes what room is left; free() gives the room back, as when space returns. Header-only so every
// test folder can use it. Also here: ForeignUser, which makes this thread's file access that of an
// unprivileged user, so a read-only folder refuses new files even to a test running as root.

#include <QDir>
#include <QFile>
#include <QString>
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
        const QByteArray where = QFile::encodeName(dir_.path());
        const QByteArray options = "size=" + QByteArray::number(kSize);
        mounted_ =
            ::geteuid() == 0 && ::mount("tmpfs", where.constData(), "tmpfs", 0, options.constData()) == 0;
        if (mounted_) {
            // Everything but `room` bytes taken by one hidden file.
            QFile filler(fillerPath());
            filler.open(QIODevice::WriteOnly);
            filler.write(QByteArray(kSize - room, '\0'));
            filler.close();
        } else {
            ::getrlimit(RLIMIT_FSIZE, &previous_);
            rlimit limit = previous_;
            limit.rlim_cur = rlim_t(room);
            ::signal(SIGXFSZ, SIG_IGN);
            limited_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        }
    }
    ~FullDisk() {
        free();
        if (mounted_) ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return QDir(dir_.path()).filePath(name); }
    // The reason a write fails with here.
    QString reason() const {
        return mounted_ ? QStringLiteral("No space left on device") : QStringLiteral("File too large");
    }
    // The folder's entries (hidden ones too), the filler left out.
    QStringList entries() const {
        QStringList list =
            QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        list.removeAll(QStringLiteral(".filler"));
        list.removeAll(QStringLiteral(".filler2"));
        return list;
    }
    // Takes the room left but `tail` bytes (a multiple of 4096): from now on a write that needs more fails.
    void fill(qint64 tail = 0) {
        if (mounted_) {
            QFile rest(filePath(QStringLiteral(".filler2")));
            rest.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
            while (rest.write(QByteArray(4096, '\0')) == 4096) {
            }
            rest.resize(std::max<qint64>(0, rest.size() - tail));
        } else {
            rlimit limit = previous_;
            limit.rlim_cur = rlim_t(tail);
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
    }
    void free() {
        if (mounted_) QFile::remove(filePath(QStringLiteral(".filler2")));
        if (mounted_) QFile::remove(fillerPath());
        if (limited_) ::setrlimit(RLIMIT_FSIZE, &previous_);
        limited_ = false;
    }

  private:
    static constexpr qint64 kSize = 1 << 20;
    QString fillerPath() const { return filePath(QStringLiteral(".filler")); }

    QTemporaryDir dir_;
    bool mounted_ = false;
    bool limited_ = false;
    rlimit previous_{};
};

// While it lives, this thread reaches files as the unprivileged user "nobody" would (permission checks
// only); without root it changes nothing, as the test already runs unprivileged.
class ForeignUser {
  public:
    ForeignUser() : changed_(::geteuid() == 0) {
        if (changed_) ::setfsuid(65534);
    }
    ~ForeignUser() {
        if (changed_) ::setfsuid(0);
    }
    ForeignUser(const ForeignUser&) = delete;
    ForeignUser& operator=(const ForeignUser&) = delete;

  private:
    bool changed_;
};

} // namespace aurivo
