// What the receive port accepts as a marker, and what it refuses.

#include "link/LinkInput.h"
#include "link/MarkerRateLimit.h"
#include "link/OscBundle.h"
#include "link/OscMessage.h"

#include <gtest/gtest.h>

namespace aurivo {
namespace {

using Refusal = LinkInput::Refusal;

QByteArray markerMessage(const QString& label) {
    return OscMessage{QByteArrayLiteral("/aurivo/marker"), {label}}.encode();
}

TEST(LinkInput, OscMarkersGiveTheirLabelsInOrder) {
    const LinkInput::Outcome out = LinkInput::parse(markerMessage(QStringLiteral("Stimulus 12")));
    EXPECT_EQ(out.refusal, Refusal::None);
    EXPECT_EQ(out.markers, std::vector<QString>{QStringLiteral("Stimulus 12")});
    const LinkInput::Outcome empty = LinkInput::parse(markerMessage(QString()));
    EXPECT_EQ(empty.markers, std::vector<QString>{QString()});
    // Bundled markers come in order.
    QByteArray a = markerMessage(QStringLiteral("a")), b = markerMessage(QStringLiteral("b"));
    QByteArray both = OscBundle::wrap(1, a);
    both.append(OscBundle::wrap(1, b).sliced(16)); // a second element: its size and the message
    const LinkInput::Outcome bundled = LinkInput::parse(both);
    EXPECT_EQ(bundled.refusal, Refusal::None);
    EXPECT_EQ(bundled.markers, (std::vector<QString>{QStringLiteral("a"), QStringLiteral("b")}));
}

TEST(LinkInput, TextLines) {
    struct Row {
        const char* datagram;
        Refusal refusal;
        const char* label;
    };
    const Row rows[] = {
        {"marker Cue 1\n", Refusal::None, "Cue 1"},
        {"marker Cue 1\r\n", Refusal::None, "Cue 1"},
        {"marker Cue 1", Refusal::None, "Cue 1"},
        {"marker\n", Refusal::None, ""},
        {"marker", Refusal::None, ""},
        {"marker \tTab\x01\x7f", Refusal::None, "Tab"},
        {"marker a\nb\n", Refusal::None, "ab"},
        {"markers x\n", Refusal::Malformed, nullptr},
        {"Marker x\n", Refusal::Malformed, nullptr},
        {"hello\n", Refusal::Malformed, nullptr},
        {"", Refusal::Malformed, nullptr},
    };
    for (const Row& row : rows) {
        const LinkInput::Outcome out = LinkInput::parse(QByteArrayView(row.datagram));
        EXPECT_EQ(out.refusal, row.refusal) << row.datagram;
        if (row.label) {
            ASSERT_EQ(out.markers.size(), 1u) << row.datagram;
            EXPECT_EQ(out.markers[0], QString::fromUtf8(row.label)) << row.datagram;
        } else {
            EXPECT_TRUE(out.markers.empty()) << row.datagram;
        }
    }
}

TEST(LinkInput, RefusesWhatIsNotAMarker) {
    const QByteArray marker = QByteArrayLiteral("/aurivo/marker");
    const std::pair<OscMessage, Refusal> rows[] = {
        {{QByteArrayLiteral("/aurivo/other"), {QStringLiteral("x")}}, Refusal::UnknownAddress},
        {{marker, {int32_t(3)}}, Refusal::WrongArguments},
        {{marker, {}}, Refusal::WrongArguments},
        {{marker, {QStringLiteral("a"), QStringLiteral("b")}}, Refusal::WrongArguments},
    };
    for (const auto& [message, refusal] : rows)
        EXPECT_EQ(LinkInput::parse(message.encode()).refusal, refusal) << message.address.constData();
    // One foreign message refuses its whole bundle.
    QByteArray bundle = OscBundle::wrap(1, markerMessage(QStringLiteral("a")));
    bundle.append(OscBundle::wrap(1, OscMessage{QByteArrayLiteral("/x"), {}}.encode()).sliced(16));
    const LinkInput::Outcome mixed = LinkInput::parse(bundle);
    EXPECT_EQ(mixed.refusal, Refusal::UnknownAddress);
    EXPECT_TRUE(mixed.markers.empty());
}

TEST(LinkInput, OversizedDatagramsAreRefusedAtTheLimit) {
    const QString label(2000, QLatin1Char('x'));
    QByteArray text = "marker " + label.toUtf8();
    EXPECT_EQ(LinkInput::parse(QByteArrayView(text).first(LinkInput::kMaxDatagram)).refusal, Refusal::None);
    EXPECT_EQ(LinkInput::parse(QByteArrayView(text).first(LinkInput::kMaxDatagram + 1)).refusal,
              Refusal::Oversized);
    EXPECT_EQ(LinkInput::parse(markerMessage(label)).refusal, Refusal::Oversized);
}

TEST(LinkInput, LabelsAreCleanedAndCut) {
    EXPECT_EQ(LinkInput::cleanLabel(QStringLiteral("a\tb\u0000c\u009fd\re")), QStringLiteral("abcde"));
    const QString cut = LinkInput::cleanLabel(QString(300, QLatin1Char('y')));
    EXPECT_EQ(cut.size(), LinkInput::kMaxLabel);
    // A character outside the basic plane is never cut in half.
    QString wide =
        QString(199, QLatin1Char('z')) + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("tail");
    const QString cleaned = LinkInput::cleanLabel(wide);
    EXPECT_EQ(cleaned, QString(199, QLatin1Char('z')));
    const LinkInput::Outcome out = LinkInput::parse(markerMessage(QStringLiteral("x\u0007y")));
    EXPECT_EQ(out.markers, std::vector<QString>{QStringLiteral("xy")});
}

TEST(MarkerRateLimit, AHundredASecondPass) {
    MarkerRateLimit limit;
    for (int i = 0; i < MarkerRateLimit::kPerSecond; ++i)
        EXPECT_TRUE(limit.admit(500 + i)) << i;
    EXPECT_FALSE(limit.admit(700));
    EXPECT_FALSE(limit.admit(1499)); // still within the second of the first
    EXPECT_EQ(limit.dropped(), 2);
    EXPECT_TRUE(limit.admit(1500)); // the first has left the window
    EXPECT_FALSE(limit.admit(1500));
    EXPECT_EQ(limit.dropped(), 3);
}

} // namespace
} // namespace aurivo
