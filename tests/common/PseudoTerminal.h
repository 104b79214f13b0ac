#pragma once
// Test helper: a pseudo-terminal pair whose device side is linked as <folder>/ports/comN, so a test can
// play the sensor on the master side while the code under test opens port N. Closing the master is how
// a test makes the device "hang up".

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace aurivo {

class PseudoTerminal {
  public:
    // The master is closed on exec: closing it here must hang up the line also while a child process runs.
    PseudoTerminal(const QString& folder, int port) {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        const char* name = master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0
                               ? ::ptsname(master_)
                               : nullptr;
        if (name == nullptr) {
            hangUp();
            return;
        }
        slavePath_ = QString::fromLocal8Bit(name);
        termios tio{};
        if (::tcgetattr(master_, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(master_, TCSANOW, &tio);
        }
        link(folder, port);
    }

    ~PseudoTerminal() {
        hangUp();
        for (const QString& link : links_)
            QFile::remove(link);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;

    bool isValid() const { return !slavePath_.isEmpty(); }
    QString slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }

    bool link(const QString& folder, int port) {
        if (!QDir(folder).mkpath(QStringLiteral("ports"))) return false;
        const QString link = QDir(folder).filePath(QStringLiteral("ports/com%1").arg(port));
        QFile::remove(link);
        if (!QFile::link(slavePath_, link)) return false;
        links_.append(link);
        return true;
    }

    // Writes every byte on the master side, waiting at most timeoutMs for room; false if that failed.
    bool write(const QByteArray& bytes, int timeoutMs = 2000) {
        QDeadlineTimer deadline(timeoutMs);
        for (qsizetype done = 0; master_ >= 0 && done < bytes.size();) {
            const ssize_t n = ::write(master_, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0) {
                done += n;
                continue;
            }
            if ((n < 0 && errno != EAGAIN && errno != EINTR) || deadline.hasExpired()) return false;
            pollfd pfd{master_, POLLOUT, 0};
            ::poll(&pfd, 1, 10);
        }
        return master_ >= 0;
    }

    void hangUp() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

  private:
    int master_ = -1;
    QString slavePath_;
    QStringList links_;
};

} // namespace aurivo
