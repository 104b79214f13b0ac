#pragma once
// What one datagram to the lab link's receive port asks for. Experiment software sends an OSC message
// "/aurivo/marker" with one string (in a bundle or not), or a plain text line "marker LABEL"; every other
// datagram is refused with the reason, and nothing in it reaches the session. Labels are cleaned at the
// door: control characters removed, at most kMaxLabel characters.

#include <QByteArrayView>
#include <QString>
#include <vector>

namespace aurivo {

class LinkInput {
  public:
    static constexpr qsizetype kMaxDatagram = 1024;
    static constexpr qsizetype kMaxLabel = 200;

    enum class Refusal {
        None,
        Oversized, // more than kMaxDatagram bytes
        Malformed, // not OSC and not a text line the link knows
        UnknownAddress,
        WrongArguments, // "/aurivo/marker" without exactly one string
    };

    struct Outcome {
        std::vector<QString> markers; // cleaned labels, in the order sent; empty for the default name
        Refusal refusal = Refusal::None;
    };

    static Outcome parse(QByteArrayView datagram);
    static QString cleanLabel(const QString& label);
    static QString refusalText(Refusal refusal);
};

} // namespace aurivo
