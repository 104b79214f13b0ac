#pragma once
// A scripted serial component: each port has an open result (0 or an error number and its reason) and the
// bytes it delivers once open; ports without a script do not exist. Opens and closes are logged.

#include "device/SerialComm.h"

#include <QByteArray>
#include <QString>
#include <map>
#include <utility>
#include <vector>

namespace aurivo {

class FakeSerialComm : public SerialComm {
  public:
    struct PortScript {
        int openResult = 0; // 0, kNoSuchPort, kPortInUse or any other error number
        QString errorText;  // what lastErrorText says after a failed open
        QByteArray bytes;   // delivered to the receive buffer when the port opens
    };
    std::map<int, PortScript> ports;
    std::vector<int> openAttempts; // port number of every portOpen = True
    int closeCalls = 0;            // every portOpen = False, also on a closed port
    int inBufferSize = 0;          // the receive buffer's limit the real port keeps to

    void addPort(int port, QByteArray bytes = {}) { ports[port] = {0, QString(), std::move(bytes)}; }
    void addHeldPort(int port, const QString& reason = QStringLiteral("in use by another program")) {
        ports[port] = {kPortInUse, reason, {}};
    }
    void addFailingPort(int port, int error, const QString& reason = QString()) {
        ports[port] = {error, reason, {}};
    }
    void deliver(const QByteArray& bytes) { buffer_.append(bytes); }

    void setCommPort(int port) override { commPort_ = port; }
    int commPort() const override { return commPort_; }
    void setSettings(const QString&) override {}
    void setInBufferSize(int size) override { inBufferSize = size; }
    int setPortOpen(bool open) override {
        if (!open) {
            ++closeCalls;
            open_ = false;
            buffer_.clear();
            return 0;
        }
        openAttempts.push_back(commPort_);
        const auto it = ports.find(commPort_);
        const PortScript script = open_ ? PortScript{kPortInUse, QStringLiteral("port already open"), {}}
                                  : it == ports.end()
                                      ? PortScript{kNoSuchPort, QStringLiteral("no such port"), {}}
                                      : it->second;
        lastError_ = script.errorText;
        if (script.openResult != 0) return script.openResult;
        open_ = true;
        buffer_ = script.bytes;
        return 0;
    }
    bool portOpen() const override { return open_; }
    int inBufferCount() override { return open_ ? int(buffer_.size()) : 0; }
    QByteArray input() override { return open_ ? std::exchange(buffer_, QByteArray()) : QByteArray(); }
    QString lastErrorText() const override { return lastError_; }

  private:
    int commPort_ = 1;
    bool open_ = false;
    QString lastError_;
    QByteArray buffer_;
};

} // namespace aurivo
