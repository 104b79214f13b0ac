#include "link/LinkInput.h"

#include "link/OscBundle.h"
#include "link/OscMessage.h"

namespace aurivo {

namespace {

const QByteArray kMarkerAddress = QByteArrayLiteral("/aurivo/marker");
const QByteArray kTextCommand = QByteArrayLiteral("marker");

} // namespace

QString LinkInput::cleanLabel(const QString& label) {
    QString clean;
    clean.reserve(std::min(label.size(), kMaxLabel + 1));
    for (const QChar c : label) {
        if (c.category() == QChar::Other_Control) continue;
        clean.append(c);
        if (clean.size() >= kMaxLabel) break;
    }
    // A cut never leaves half of a surrogate pair behind.
    if (!clean.isEmpty() && clean.back().isHighSurrogate()) clean.chop(1);
    return clean.trimmed();
}

LinkInput::Outcome LinkInput::parse(QByteArrayView datagram) {
    Outcome outcome;
    if (datagram.size() > kMaxDatagram) {
        outcome.refusal = Refusal::Oversized;
        return outcome;
    }
    if (datagram.startsWith(kTextCommand)) {
        QByteArrayView rest = datagram.sliced(kTextCommand.size());
        if (rest.endsWith('\n')) rest.chop(1);
        if (rest.endsWith('\r')) rest.chop(1);
        if (!rest.isEmpty() && rest.front() != ' ' && rest.front() != '\t') {
            outcome.refusal = Refusal::Malformed; // "markers", "markerX": another word
            return outcome;
        }
        // One line per datagram: a line break inside is part of the label and cleaned away with it.
        outcome.markers.push_back(cleanLabel(QString::fromUtf8(rest)));
        return outcome;
    }
    const std::optional<std::vector<QByteArrayView>> packets = OscBundle::messages(datagram);
    if (!packets) {
        outcome.refusal = Refusal::Malformed;
        return outcome;
    }
    // A bundle counts whole or not at all: one damaged or foreign message refuses it.
    std::vector<QString> labels;
    for (const QByteArrayView packet : *packets) {
        const std::optional<OscMessage> message = OscMessage::decode(packet);
        if (!message) {
            outcome.refusal = Refusal::Malformed;
            return outcome;
        }
        if (message->address != kMarkerAddress) {
            outcome.refusal = Refusal::UnknownAddress;
            return outcome;
        }
        if (message->arguments.size() != 1 || !std::holds_alternative<QString>(message->arguments[0])) {
            outcome.refusal = Refusal::WrongArguments;
            return outcome;
        }
        labels.push_back(cleanLabel(std::get<QString>(message->arguments[0])));
    }
    outcome.markers = std::move(labels);
    return outcome;
}

QString LinkInput::refusalText(Refusal refusal) {
    switch (refusal) {
    case Refusal::None:
        return QString();
    case Refusal::Oversized:
        return QStringLiteral("a datagram over %1 bytes").arg(kMaxDatagram);
    case Refusal::Malformed:
        return QStringLiteral("a datagram that is neither OSC nor a marker line");
    case Refusal::UnknownAddress:
        return QStringLiteral("an OSC address other than /aurivo/marker");
    case Refusal::WrongArguments:
        return QStringLiteral("/aurivo/marker without exactly one string");
    }
    return QString();
}

} // namespace aurivo
