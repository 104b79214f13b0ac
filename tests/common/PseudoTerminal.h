#pragma once
// Test helper: a pseudo-terminal pair whose device side is linked as <folder>/ports/comN, so a test can
// play the sensor on the master side while the code under test opens port N. Closing the master is how
// a test makes the device "hang up". Header-only so every test folder can use it.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QString>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

class PseudoTerminal {
public:
    // Creates the pair; with a folder, also links the device side as <folder>/ports/com<port>.
    explicit PseudoTerminal(const QString& folder = {}, int port = 3) {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        // Child processes must not inherit the master, or closing it here would not hang up the line.
        if (m_master >= 0)
            ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
            HangUp();
            return;
        }
        const char* name = ::ptsname(m_master);
        if (name == nullptr) {
            HangUp();
            return;
        }
        m_slavePath = QString::fromLocal8Bit(name);
        termios tio{};
        if (::tcgetattr(m_master, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(m_master, TCSANOW, &tio);
        }
        if (!folder.isEmpty())
            Link(folder, port);
    }

    ~PseudoTerminal() {
        HangUp();
        for (const QString& link : m_links)
            QFile::remove(link);
    }

    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool IsValid() const { return !m_slavePath.isEmpty(); }
    QString SlavePath() const { return m_slavePath; }
    int MasterFd() const { return m_master; }

    // Links the device side as <folder>/ports/com<port> (replacing an existing entry); false on failure.
    bool Link(const QString& folder, int port) {
        if (!QDir(folder).mkpath(QStringLiteral("ports")))
            return false;
        const QString link = QDir(folder).filePath(QStringLiteral("ports/com%1").arg(port));
        QFile::remove(link);
        if (!QFile::link(m_slavePath, link))
            return false;
        m_links.append(link);
        return true;
    }

    // Writes every byte on the master side, waiting at most timeoutMs for room; false if that failed.
    bool Write(const QByteArray& bytes, int timeoutMs = 2000) {
        if (m_master < 0)
            return false;
        QDeadlineTimer deadline(timeoutMs);
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n > 0) {
                done += n;
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            if (deadline.hasExpired())
                return false;
            pollfd pfd{m_master, POLLOUT, 0};
            ::poll(&pfd, 1, 10);
        }
        return true;
    }

    // Closes the master side: whoever has the device open sees a hang-up.
    void HangUp() {
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
    }

private:
    int m_master = -1;
    QString m_slavePath;
    QStringList m_links;
};
