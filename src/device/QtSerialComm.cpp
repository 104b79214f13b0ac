#include "device/QtSerialComm.h"

#include "device/PortMessages.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace aurivo {

namespace {

// Who may use a device by its mode, owner and group, and whether this user is in that group now (the
// program's groups) or only listed in it (effective at the next login).
PortMessages::Access accessOf(const struct stat& st) {
    PortMessages::Access a;
    const struct passwd* owner = ::getpwuid(st.st_uid);
    a.owner = owner ? QString::fromLocal8Bit(owner->pw_name) : QString::number(st.st_uid);
    const struct group* group = ::getgrgid(st.st_gid);
    a.group = group ? QString::fromLocal8Bit(group->gr_name) : QString::number(st.st_gid);
    a.groupMayUse = (st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    std::vector<gid_t> now(size_t(std::max(0, ::getgroups(0, nullptr))));
    const int count = ::getgroups(int(now.size()), now.data());
    a.memberNow = ::getegid() == st.st_gid || std::find(now.begin(), now.begin() + std::max(0, count),
                                                        st.st_gid) != now.begin() + std::max(0, count);
    if (const struct passwd* me = ::getpwuid(::getuid()); me && group) {
        for (char** member = group->gr_mem; member && *member; ++member)
            if (std::strcmp(*member, me->pw_name) == 0) a.memberListed = true;
        a.memberListed = a.memberListed || me->pw_gid == st.st_gid;
    }
    return a;
}

} // namespace

QtSerialComm::QtSerialComm(QString programFolder) : portMap_(std::move(programFolder)) {}

QtSerialComm::~QtSerialComm() {
    closePort();
}

QtSerialComm::LineSettings QtSerialComm::parseSettings(const QString& settings) {
    LineSettings result;
    const QStringList parts = settings.split(QLatin1Char(','));
    if (parts.size() != 4) return result;

    bool ok = false;
    result.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || result.baudRate <= 0) return result;

    const QString parity = parts[1].trimmed().toUpper();
    if (parity == QLatin1String("N"))
        result.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("E"))
        result.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("O"))
        result.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("M"))
        result.parity = QSerialPort::MarkParity;
    else if (parity == QLatin1String("S"))
        result.parity = QSerialPort::SpaceParity;
    else
        return result;

    const int dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8) return result;
    result.dataBits = static_cast<QSerialPort::DataBits>(dataBits);

    const QString stop = parts[3].trimmed();
    if (stop == QLatin1String("1"))
        result.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        result.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        result.stopBits = QSerialPort::TwoStop;
    else
        return result;

    result.ok = true;
    return result;
}

int QtSerialComm::setPortOpen(bool open) {
    if (!open) {
        closePort();
        return 0;
    }
    return openPort();
}

bool QtSerialComm::portOpen() const {
    return port_.isOpen();
}

int QtSerialComm::openPort() {
    if (port_.isOpen()) {
        lastErrorText_ = QStringLiteral("port already open");
        return kPortInUse;
    }
    lastErrorText_.clear();
    lastDevicePath_.clear();
    buffer_.clear();
    failed_ = false;

    const LineSettings line = parseSettings(settings_);
    if (!line.ok) {
        lastErrorText_ = QStringLiteral("invalid line settings \"%1\"").arg(settings_);
        return kOtherFailure;
    }

    QString path;
    struct stat st {};
    if (const int failure = findDevice(path, st); failure != 0) return failure;
    if (const int failure = openDevice(path, st); failure != 0) return failure;
    if (const int failure = lockExclusively(path); failure != 0) return failure;
    makeReadsNonBlocking();
    if (const int failure = applyLine(line); failure != 0) return failure;
    // A session starts with what the device sends from now on: bytes that waited in the system's
    // buffer while the port was closed would show as readings of a time before the session began.
    ::tcflush(port_.handle(), TCIFLUSH);
    stopReadNotifications();
    openPath_ = path;
    return 0;
}

int QtSerialComm::findDevice(QString& path, struct stat& st) {
    const QString device = portMap_.devicePath(commPort_);
    lastDevicePath_ = device;
    if (device.isEmpty()) {
        lastErrorText_ = QStringLiteral("no such port");
        return kNoSuchPort;
    }
    // Every name of one device must share one lock file, so open the device by its real path.
    path = QFileInfo(device).canonicalFilePath();
    if (path.isEmpty()) {
        lastErrorText_ = QStringLiteral("no such port");
        return kNoSuchPort;
    }
    lastDevicePath_ = path;
    // A file, a folder or another kind of device where the port should be is not opened at all.
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISCHR(st.st_mode)) {
        lastErrorText_ = QStringLiteral("not a serial device");
        return kOtherFailure;
    }
    return 0;
}

int QtSerialComm::openDevice(const QString& path, const struct stat& st) {
    port_.setPortName(path);
    // Should Qt read the line into its own buffer, it keeps at most this much and leaves the rest in the
    // system's buffer, so a device faster than the reader waits instead of filling memory.
    port_.setReadBufferSize(std::max(1, inBufferSize_));
    if (port_.open(QIODevice::ReadWrite)) return 0;

    const QSerialPort::SerialPortError error = port_.error();
    const QString detail = port_.errorString();
    port_.clearError();
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        lastErrorText_ = QStringLiteral("no such port");
        return kNoSuchPort;
    case QSerialPort::PermissionError:
        // Qt reports a held lock file, EBUSY (exclusive mode) and EACCES alike; tell them apart
        // for the user by asking whether this user may use the device at all.
        if (::access(path.toLocal8Bit().constData(), R_OK | W_OK) != 0 && errno == EACCES)
            lastErrorText_ = PortMessages::permissionDenied(accessOf(st));
        else
            lastErrorText_ = QStringLiteral("in use by another program");
        return kPortInUse;
    case QSerialPort::OpenError:
        lastErrorText_ = QStringLiteral("in use by another program");
        return kPortInUse;
    case QSerialPort::UnsupportedOperationError: // a device that is no terminal
        lastErrorText_ = QStringLiteral("not a serial device");
        return kOtherFailure;
    default:
        lastErrorText_ = detail;
        return kOtherFailure;
    }
}

int QtSerialComm::lockExclusively(const QString& path) {
    // Exclusive mode keeps other (non-root) openers out even if they ignore Qt's lock file.
    if (::ioctl(port_.handle(), TIOCEXCL) == 0) return 0;
    lastErrorText_ =
        QStringLiteral("cannot open %1 exclusively: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
    port_.close();
    return kOtherFailure;
}

void QtSerialComm::makeReadsNonBlocking() {
    // Polling reads must never wait, whatever the line's VMIN/VTIME.
    const int fd = port_.handle();
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1 && !(flags & O_NONBLOCK)) ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

int QtSerialComm::applyLine(const LineSettings& line) {
    const bool applied = port_.setBaudRate(line.baudRate) && port_.setDataBits(line.dataBits) &&
                         port_.setParity(line.parity) && port_.setStopBits(line.stopBits) &&
                         port_.setFlowControl(QSerialPort::NoFlowControl);
    if (applied) return 0;
    lastErrorText_ = QStringLiteral("cannot set \"%1\": %2").arg(settings_, port_.errorString());
    port_.close();
    port_.clearError();
    return kOtherFailure;
}

void QtSerialComm::stopReadNotifications() {
    // The tick polls the line. Qt's own read notifications would wake the program for every packet the
    // device sends, to copy it into a second buffer; switched off, the program sleeps between ticks.
    for (QSocketNotifier* notifier : port_.findChildren<QSocketNotifier*>())
        if (notifier->type() == QSocketNotifier::Read) notifier->setEnabled(false);
}

void QtSerialComm::closePort() {
    if (port_.isOpen()) {
        ::ioctl(port_.handle(), TIOCNXCL);
        port_.close();
    }
    port_.clearError();
    openPath_.clear();
    buffer_.clear();
    failed_ = false;
}

void QtSerialComm::fillBuffer() {
    if (!port_.isOpen()) return;
    qsizetype room = std::max(1, inBufferSize_) - buffer_.size();

    // Bytes that Qt read while the event loop ran are older than anything still in the system.
    if (room > 0 && port_.bytesAvailable() > 0) {
        const QByteArray taken = port_.read(room);
        buffer_.append(taken);
        room -= taken.size();
    }
    if (port_.error() == QSerialPort::ResourceError) failed_ = true;

    const int fd = port_.handle();
    char chunk[4096];
    while (room > 0 && !failed_) {
        const ssize_t n = ::read(fd, chunk, static_cast<size_t>(std::min<qsizetype>(room, sizeof chunk)));
        if (n > 0) {
            buffer_.append(chunk, n);
            room -= n;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
        if (n < 0) {
            // EIO: the other side of a pseudo-terminal closed, or the adapter went away.
            failed_ = true;
            break;
        }
        // A read of 0 means either "nothing waiting" (raw mode) or a hung-up line; poll tells which.
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL))) failed_ = true;
        break;
    }
}

int QtSerialComm::inBufferCount() {
    if (!port_.isOpen()) return -1;
    fillBuffer();
    if (!buffer_.isEmpty()) return static_cast<int>(buffer_.size());
    return failed_ ? -1 : 0;
}

QByteArray QtSerialComm::input() {
    if (buffer_.isEmpty()) fillBuffer();
    return std::exchange(buffer_, QByteArray());
}

} // namespace aurivo
