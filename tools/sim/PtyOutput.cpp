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

PtyOutput::~PtyOutput() { Close(); }

bool PtyOutput::Open(const QString& folder, int port) {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master >= 0)
        ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        m_error = QStringLiteral("cannot create a pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        Close();
        return false;
    }
    const char* name = ::ptsname(m_master);
    if (name == nullptr) {
        m_error = QStringLiteral("cannot name the pseudo-terminal");
        Close();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);

    // Raw mode on the line, so no byte is echoed back or translated before the monitor sets its own.
    termios tio{};
    if (::tcgetattr(m_master, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(m_master, TCSANOW, &tio);
    }

    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("ports"))) {
        m_error = QStringLiteral("cannot create %1").arg(dir.filePath(QStringLiteral("ports")));
        Close();
        return false;
    }
    const QString link = dir.filePath(QStringLiteral("ports/com%1").arg(port));
    // A link left by an earlier run that did not end cleanly is replaced.
    if (QFileInfo(link).isSymLink() || QFileInfo::exists(link))
        QFile::remove(link);
    if (::symlink(name, QFile::encodeName(link).constData()) != 0) {
        m_error = QStringLiteral("cannot link %1: %2").arg(link, QString::fromLocal8Bit(strerror(errno)));
        Close();
        return false;
    }
    m_linkPath = link;
    return true;
}

bool PtyOutput::Write(const QByteArray& bytes) {
    if (m_master < 0)
        return false;
    pollfd pfd{m_master, POLLOUT, 0};
    ::poll(&pfd, 1, 0);
    if (pfd.revents & POLLHUP) {
        // The port was open and has been closed: nobody listens.
        m_pending.clear();
        return false;
    }
    bool kept = true;
    if (m_pending.size() + bytes.size() <= kMaxPending)
        m_pending.append(bytes);
    else
        kept = false; // the reader is far behind; lose whole packets, never parts of one
    Flush();
    return kept;
}

void PtyOutput::Flush() {
    while (!m_pending.isEmpty()) {
        const ssize_t n = ::write(m_master, m_pending.constData(), static_cast<size_t>(m_pending.size()));
        if (n > 0) {
            m_pending.remove(0, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        break; // EAGAIN: the line is full; the rest goes with the next write
    }
}

void PtyOutput::Close() {
    if (!m_linkPath.isEmpty()) {
        // Remove the link only if it is still ours; another simulator may have replaced it.
        if (QFileInfo(m_linkPath).symLinkTarget() == QFileInfo(m_slavePath).absoluteFilePath())
            QFile::remove(m_linkPath);
        m_linkPath.clear();
    }
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
    m_pending.clear();
}
