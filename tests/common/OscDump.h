#pragma once
// liblo's oscdump listening on a free port of the loopback, for the tests of what the lab link sends:
// ready once a probe sent to it shows in its output. Needs OSCDUMP_PATH.

#include "link/OscMessage.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QTest>
#include <QUdpSocket>
#include <gtest/gtest.h>

namespace aurivo {

// A UDP port of the loopback that nothing is bound to now.
inline uint16_t freeUdpPort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

struct OscDump {
    QProcess process;
    uint16_t port = freeUdpPort();
    QByteArray out;

    OscDump() {
        process.start(QStringLiteral(OSCDUMP_PATH), {QStringLiteral("-L"), QString::number(port)});
        EXPECT_TRUE(process.waitForStarted());
        QUdpSocket probe;
        const QByteArray ping = OscMessage{QByteArrayLiteral("/probe"), {}}.encode();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                probe.writeDatagram(ping, QHostAddress::LocalHost, port);
                return read().contains("/probe");
            },
            10000));
    }
    ~OscDump() {
        process.kill();
        process.waitForFinished();
    }
    const QByteArray& read() {
        process.waitForReadyRead(20);
        out += process.readAllStandardOutput();
        return out;
    }
    // The lines printed for messages to the address ("time-tag address types arguments..."), in order.
    QList<QByteArray> lines(const QByteArray& address) {
        QList<QByteArray> found;
        for (const QByteArray& line : read().split('\n'))
            if (line.split(' ').value(1) == address) found << line;
        return found;
    }
    // The arguments of each message to the address, in order.
    QList<QList<QByteArray>> messages(const QByteArray& address) {
        QList<QList<QByteArray>> found;
        for (const QByteArray& line : lines(address))
            found << line.split(' ').mid(3);
        return found;
    }
};

} // namespace aurivo
