#include "PtyOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace aurivo {

PtyOutput::~PtyOutput() {
    close();
}

bool PtyOutput::open(const QString& folder, int port) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ >= 0) ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error_ = QStringLiteral("cannot create a pseudo-terminal: %1")
                     .arg(QString::fromLocal8Bit(strerror(errno)));
        close();
        return false;
    }
    const char* name = ::ptsname(master_);
    if (name == nullptr) {
        error_ = QStringLiteral("cannot name the pseudo-terminal");
        close();
        return false;
    }
    slavePath_ = QString::fromLocal8Bit(name);

    // Raw mode on the line, so no byte is echoed back or translated before the monitor sets its own.
    termios tio{};
    if (::tcgetattr(master_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(master_, TCSANOW, &tio);
    }

    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("ports"))) {
        error_ = QStringLiteral("cannot create %1").arg(dir.filePath(QStringLiteral("ports")));
        close();
        return false;
    }
    const QString link = dir.filePath(QStringLiteral("ports/com%1").arg(port));
    // A link left by an earlier run that did not end cleanly is replaced.
    if (QFileInfo(link).isSymLink() || QFileInfo::exists(link)) QFile::remove(link);
    if (::symlink(name, QFile::encodeName(link).constData()) != 0) {
        error_ = QStringLiteral("cannot link %1: %2").arg(link, QString::fromLocal8Bit(strerror(errno)));
        close();
        return false;
    }
    linkPath_ = link;
    return true;
}

bool PtyOutput::write(const QByteArray& bytes) {
    if (master_ < 0) return false;
    pollfd pfd{master_, POLLOUT, 0};
    ::poll(&pfd, 1, 0);
    if (pfd.revents & POLLHUP) {
        // The port was open and has been closed: nobody listens.
        pending_.clear();
        return false;
    }
    bool kept = true;
    if (pending_.size() + bytes.size() <= kMaxPending)
        pending_.append(bytes);
    else
        kept = false; // the reader is far behind; lose whole packets, never parts of one
    flush();
    return kept;
}

bool PtyOutput::waitForReader(const std::function<bool()>& stopped) {
    // The master reports a hang-up while no program has the other side open, but only once that side
    // has been opened at all: opening and closing it here makes a fresh line report it too. (A reader
    // that already holds the line open exclusively makes this open fail, which is as good.)
    const int slave = ::open(QFile::encodeName(slavePath_).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave >= 0) ::close(slave);
    while (master_ >= 0 && !stopped()) {
        pollfd pfd{master_, POLLOUT, 0};
        ::poll(&pfd, 1, 0);
        if (!(pfd.revents & POLLHUP)) return true;
        ::poll(nullptr, 0, 20);
    }
    return false;
}

bool PtyOutput::waitForReaderToLeave(const std::function<bool()>& stopped) {
    while (master_ >= 0 && !stopped()) {
        pollfd pfd{master_, POLLOUT, 0};
        ::poll(&pfd, 1, 0);
        if (pfd.revents & POLLHUP) return true;
        ::poll(nullptr, 0, 50);
    }
    return false;
}

bool PtyOutput::writeAll(const QByteArray& bytes, const std::function<bool()>& stopped) {
    qsizetype done = 0;
    while (master_ >= 0 && done < bytes.size() && !stopped()) {
        const ssize_t n =
            ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        // The line is full: wait until the reader has taken some, or has gone.
        pollfd pfd{master_, POLLOUT, 0};
        ::poll(&pfd, 1, 100);
        if (pfd.revents & POLLHUP) return false;
    }
    return done == bytes.size();
}

void PtyOutput::flush() {
    while (!pending_.isEmpty()) {
        const ssize_t n = ::write(master_, pending_.constData(), static_cast<size_t>(pending_.size()));
        if (n > 0) {
            pending_.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break; // EAGAIN: the line is full; the rest goes with the next write
    }
}

void PtyOutput::close() {
    if (!linkPath_.isEmpty()) {
        // Remove the link only if it is still ours; another simulator may have replaced it.
        if (QFileInfo(linkPath_).symLinkTarget() == QFileInfo(slavePath_).absoluteFilePath())
            QFile::remove(linkPath_);
        linkPath_.clear();
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    pending_.clear();
}

} // namespace aurivo
