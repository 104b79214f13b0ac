#include "device/QtSerialComm.h"

#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

QtSerialComm::QtSerialComm(QString programFolder) : m_portMap(std::move(programFolder)) {}

QtSerialComm::~QtSerialComm() { Close(); }

QtSerialComm::LineSettings QtSerialComm::ParseSettings(const QString& settings) {
    LineSettings result;
    const QStringList parts = settings.split(QLatin1Char(','));
    if (parts.size() != 4)
        return result;

    bool ok = false;
    result.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || result.baudRate <= 0)
        return result;

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
    if (!ok || dataBits < 5 || dataBits > 8)
        return result;
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

int QtSerialComm::SetPortOpen(bool open) {
    if (!open) {
        Close();
        return 0;
    }
    return Open();
}

bool QtSerialComm::PortOpen() const { return m_port.isOpen(); }

int QtSerialComm::Open() {
    if (m_port.isOpen()) {
        m_lastErrorText = QStringLiteral("port already open");
        return kPortInUse;
    }
    m_lastErrorText.clear();
    m_buffer.clear();
    m_readPos = 0;
    m_failed = false;

    const LineSettings line = ParseSettings(m_settings);
    if (!line.ok) {
        m_lastErrorText = QStringLiteral("invalid line settings \"%1\"").arg(m_settings);
        return kOtherFailure;
    }

    const QString device = m_portMap.DevicePath(m_commPort);
    if (device.isEmpty()) {
        m_lastErrorText = QStringLiteral("no such port: nothing is connected as COM%1").arg(m_commPort);
        return kNoSuchPort;
    }
    // Every name of one device must share one lock file, so open the device by its real path.
    const QString path = QFileInfo(device).canonicalFilePath();
    if (path.isEmpty()) {
        m_lastErrorText = QStringLiteral("no such port: %1 does not exist").arg(device);
        return kNoSuchPort;
    }

    m_port.setPortName(path);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = m_port.error();
        const QString detail = m_port.errorString();
        m_port.clearError();
        switch (error) {
        case QSerialPort::DeviceNotFoundError:
            m_lastErrorText = QStringLiteral("no such port: %1 does not exist").arg(path);
            return kNoSuchPort;
        case QSerialPort::PermissionError:
            // Qt reports a held lock file, EBUSY (exclusive mode) and EACCES alike; tell them apart
            // for the user by asking whether this user may use the device at all.
            if (::access(path.toLocal8Bit().constData(), R_OK | W_OK) != 0 && errno == EACCES)
                m_lastErrorText = QStringLiteral("permission denied: add your user to the dialout group");
            else
                m_lastErrorText = QStringLiteral("in use by another program");
            return kPortInUse;
        case QSerialPort::OpenError:
            m_lastErrorText = QStringLiteral("in use by another program");
            return kPortInUse;
        default:
            m_lastErrorText = detail;
            return kOtherFailure;
        }
    }

    const int fd = m_port.handle();
    // Exclusive mode keeps other (non-root) openers out even if they ignore Qt's lock file.
    if (::ioctl(fd, TIOCEXCL) != 0) {
        m_lastErrorText = QStringLiteral("cannot open %1 exclusively: %2").arg(path, QString::fromLocal8Bit(strerror(errno)));
        m_port.close();
        return kOtherFailure;
    }
    // Polling reads must never wait, whatever the line's VMIN/VTIME.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1 && !(flags & O_NONBLOCK))
        ::fcntl(fd, F_SETFL, flags | O_NONBLOCK);

    const bool applied = m_port.setBaudRate(line.baudRate) && m_port.setDataBits(line.dataBits) &&
                         m_port.setParity(line.parity) && m_port.setStopBits(line.stopBits) &&
                         m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!applied) {
        m_lastErrorText = QStringLiteral("cannot set \"%1\": %2").arg(m_settings, m_port.errorString());
        m_port.close();
        m_port.clearError();
        return kOtherFailure;
    }
    // A session starts with what the device sends from now on: bytes that waited in the system's
    // buffer while the port was closed would show as readings of a time before the session began.
    ::tcflush(fd, TCIFLUSH);
    m_openPath = path;
    return 0;
}

void QtSerialComm::Close() {
    if (m_port.isOpen()) {
        ::ioctl(m_port.handle(), TIOCNXCL);
        m_port.close();
    }
    m_port.clearError();
    m_openPath.clear();
    m_buffer.clear();
    m_readPos = 0;
    m_failed = false;
}

void QtSerialComm::FillBuffer() {
    if (!m_port.isOpen())
        return;
    if (m_readPos > 0) {
        m_buffer.remove(0, m_readPos);
        m_readPos = 0;
    }
    qsizetype room = std::max(1, m_inBufferSize) - m_buffer.size();

    // Bytes that Qt read while the event loop ran are older than anything still in the system.
    if (room > 0 && m_port.bytesAvailable() > 0) {
        const QByteArray taken = m_port.read(room);
        m_buffer.append(taken);
        room -= taken.size();
    }
    if (m_port.error() == QSerialPort::ResourceError)
        m_failed = true;

    const int fd = m_port.handle();
    char chunk[4096];
    while (room > 0 && !m_failed) {
        const ssize_t n = ::read(fd, chunk, static_cast<size_t>(std::min<qsizetype>(room, sizeof chunk)));
        if (n > 0) {
            m_buffer.append(chunk, n);
            room -= n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        if (n < 0) {
            // EIO: the other side of a pseudo-terminal closed, or the adapter went away.
            m_failed = true;
            break;
        }
        // A read of 0 means either "nothing waiting" (raw mode) or a hung-up line; poll tells which.
        pollfd pfd{fd, POLLIN, 0};
        if (::poll(&pfd, 1, 0) > 0 && (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)))
            m_failed = true;
        break;
    }
}

int QtSerialComm::InBufferCount() {
    if (!m_port.isOpen())
        return -1;
    FillBuffer();
    const qsizetype waiting = Waiting();
    if (waiting > 0)
        return static_cast<int>(waiting);
    return m_failed ? -1 : 0;
}

QByteArray QtSerialComm::Input() {
    if (Waiting() == 0)
        FillBuffer();
    const qsizetype waiting = Waiting();
    const qsizetype n = m_inputLen <= 0 ? waiting : std::min<qsizetype>(m_inputLen, waiting);
    const QByteArray out = m_buffer.mid(m_readPos, n);
    m_readPos += n;
    return out;
}
