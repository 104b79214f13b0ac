#include "link/LabLink.h"

#include "core/Clock.h"
#include "link/LinkInput.h"
#include "link/OscBundle.h"
#include "link/OscMessage.h"
#include "recording/SessionMarkers.h"

#include <QTimer>
#include <algorithm>
#include <climits>

namespace aurivo {

namespace {

// The device sends 20 readings a second; a record's nominal time is its index at that rate.
constexpr double kReadingsPerSecond = 20.0;

std::optional<QHostAddress> hostAddress(const QString& host) {
    if (host.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0) return QHostAddress::LocalHost;
    QHostAddress address;
    if (!address.setAddress(host)) return std::nullopt;
    return address;
}

} // namespace

LabLink::LabLink(Clock& clock, SessionMarkers& markers, AddMarker addMarker)
    : clock_(clock), markers_(markers), addMarker_(std::move(addMarker)) {
    markers.changed.subscribe([this] { markersChanged(); });
    connect(&receiver_, &QUdpSocket::readyRead, this, &LabLink::readPending);
}

LabLink::~LabLink() = default;

void LabLink::apply(const LabLinkSettings& settings) {
    const bool rebind = settings.receiveEnabled != settings_.receiveEnabled ||
                        settings.listenAddress != settings_.listenAddress ||
                        settings.receivePort != settings_.receivePort ||
                        (settings.receiveEnabled && receiver_.state() != QAbstractSocket::BoundState);
    settings_ = settings;
    lastError_.clear();

    destination_.reset();
    if (settings_.sendEnabled) {
        destination_ = hostAddress(settings_.sendHost);
        if (!destination_)
            setError(QStringLiteral("Send host \"%1\" is not an IP address").arg(settings_.sendHost));
    }

    if (rebind) {
        receiver_.close();
        if (settings_.receiveEnabled) {
            const std::optional<QHostAddress> listen = hostAddress(settings_.listenAddress);
            QString failure;
            if (!listen)
                failure = QStringLiteral("\"%1\" is not an IP address").arg(settings_.listenAddress);
            else if (!receiver_.bind(*listen, settings_.receivePort))
                failure = receiver_.errorString();
            if (!failure.isEmpty()) {
                setError(QStringLiteral("Lab link: port %1 on %2 cannot receive: %3")
                             .arg(settings_.receivePort)
                             .arg(settings_.listenAddress, failure));
                if (tell_) tell_(lastError_);
            }
        }
    }
    changed.notify();
}

uint16_t LabLink::listeningPort() const {
    return receiver_.state() == QAbstractSocket::BoundState ? receiver_.localPort() : 0;
}

void LabLink::sessionStarted(const QString& baseName) {
    sessionName_ = baseName;
    markerLabelsSent_.clear();
    send(OscMessage{QByteArrayLiteral("/aurivo/session"), {QStringLiteral("start"), baseName}});
}

void LabLink::readingRecorded(const RecordedReading& r) {
    // Record 0 settles the graph and never reaches the reading file; the link sends what the file holds.
    if (!destination_ || r.record < 1) return;
    send(OscMessage{QByteArrayLiteral("/aurivo/reading"),
                    {r.record, float(double(r.record) / kReadingsPerSecond), r.reading.raw, float(r.ohms),
                     float(r.microsiemens), r.reading.status}});
}

void LabLink::sessionStopped() {
    send(OscMessage{QByteArrayLiteral("/aurivo/session"), {QStringLiteral("stop"), sessionName_}});
}

void LabLink::sendResponse(int64_t onsetReading, int64_t peakReading, double amplitudeUs) {
    // OSC's integers have 32 bits: a reading number beyond them (over three years of readings) is held
    // at the largest.
    const auto index = [](int64_t reading) { return int32_t(std::clamp<int64_t>(reading, 0, INT32_MAX)); };
    send(OscMessage{QByteArrayLiteral("/aurivo/scr"),
                    {index(onsetReading), index(peakReading), float(amplitudeUs)}});
}

void LabLink::send(const OscMessage& message) {
    if (!destination_) return;
    const QByteArray packet = OscBundle::wrap(OscBundle::timeTag(clock_.now()), message.encode());
    // An unconnected UDP socket never waits: a full send buffer fails the write, which is counted.
    if (sender_.writeDatagram(packet, *destination_, settings_.sendPort) == packet.size()) {
        ++counts_.sent;
    } else {
        ++counts_.sendFailures;
        setError(QStringLiteral("Sending to %1:%2 failed: %3")
                     .arg(settings_.sendHost)
                     .arg(settings_.sendPort)
                     .arg(sender_.errorString()));
    }
}

void LabLink::markersChanged() {
    if (addingMarker_) return;
    const std::vector<Marker>& markers = markers_.markers();
    if (markers.size() < markerLabelsSent_.size()) markerLabelsSent_.clear();
    for (size_t i = 0; i < markers.size(); ++i) {
        if (i < markerLabelsSent_.size() && markerLabelsSent_[i] == markers[i].label) continue;
        if (i >= markerLabelsSent_.size()) markerLabelsSent_.resize(i + 1);
        markerLabelsSent_[i] = markers[i].label;
        send(
            OscMessage{QByteArrayLiteral("/aurivo/marker"), {int32_t(markers[i].reading), markers[i].label}});
    }
}

void LabLink::readPending() {
    drainScheduled_ = false;
    QByteArray buffer;
    for (int n = 0; n < kReadSlice && receiver_.hasPendingDatagrams(); ++n) {
        const qint64 size = receiver_.pendingDatagramSize();
        // One byte more than allowed is enough to know a datagram is too long; the rest is discarded.
        buffer.resize(qsizetype(std::clamp<qint64>(size, 0, LinkInput::kMaxDatagram + 1)));
        const qint64 got = receiver_.readDatagram(buffer.data(), buffer.size());
        if (got < 0) break;
        takeDatagram(QByteArrayView(buffer.constData(), qsizetype(got)));
    }
    if (receiver_.hasPendingDatagrams() && !drainScheduled_) {
        drainScheduled_ = true;
        QTimer::singleShot(0, this, &LabLink::readPending);
    }
    changed.notify();
}

void LabLink::takeDatagram(QByteArrayView datagram) {
    ++counts_.received;
    const LinkInput::Outcome outcome = LinkInput::parse(datagram);
    if (outcome.refusal != LinkInput::Refusal::None) {
        ++counts_.refused;
        setError(QStringLiteral("Refused ") + LinkInput::refusalText(outcome.refusal));
        return;
    }
    for (const QString& label : outcome.markers) {
        if (!rate_.admit(clock_.steadyMilliseconds())) {
            ++counts_.dropped;
            continue;
        }
        addingMarker_ = true;
        const std::optional<size_t> index = addMarker_ ? addMarker_(label) : std::nullopt;
        addingMarker_ = false;
        if (!index) {
            ++counts_.outsideSession;
            continue;
        }
        ++counts_.markers;
        markersChanged();
    }
}

void LabLink::setError(const QString& error) {
    lastError_ = error;
}

QString LabLink::statusText() const {
    QString text = QStringLiteral("Sent %1, received %2 (%3 markers")
                       .arg(counts_.sent)
                       .arg(counts_.received)
                       .arg(counts_.markers);
    if (counts_.outsideSession > 0)
        text += QStringLiteral(", %1 outside a session").arg(counts_.outsideSession);
    if (counts_.dropped > 0) text += QStringLiteral(", %1 over the rate limit").arg(counts_.dropped);
    if (counts_.refused > 0) text += QStringLiteral(", %1 refused").arg(counts_.refused);
    text += QLatin1Char(')');
    if (counts_.sendFailures > 0) text += QStringLiteral(", %1 not sent").arg(counts_.sendFailures);
    if (!lastError_.isEmpty()) text += QStringLiteral(". Last error: ") + lastError_;
    return text;
}

} // namespace aurivo
