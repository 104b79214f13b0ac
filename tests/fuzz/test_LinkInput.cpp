// The lab link's receiver fed random and mutated datagrams (fixed seeds): it never reads outside a
// datagram, refuses what it does not understand without markers, and every label it lets through is clean.

#include "link/LinkInput.h"
#include "link/OscBundle.h"
#include "link/OscMessage.h"

#include <gtest/gtest.h>

#include <random>

namespace aurivo {
namespace {

void expectSound(QByteArrayView datagram, const LinkInput::Outcome& out) {
    if (datagram.size() > LinkInput::kMaxDatagram) {
        EXPECT_EQ(out.refusal, LinkInput::Refusal::Oversized);
    }
    if (out.refusal != LinkInput::Refusal::None) {
        EXPECT_TRUE(out.markers.empty());
    }
    for (const QString& label : out.markers) {
        EXPECT_LE(label.size(), LinkInput::kMaxLabel);
        for (const QChar c : label)
            EXPECT_NE(c.category(), QChar::Other_Control);
    }
}

std::vector<QByteArray> seeds() {
    const QByteArray marker =
        OscMessage{QByteArrayLiteral("/aurivo/marker"), {QStringLiteral("Cue")}}.encode();
    const QByteArray reading = OscMessage{
        QByteArrayLiteral("/aurivo/reading"),
        {int32_t(1), 0.05f, int32_t(8000), 1.0f, 2.0f,
         int32_t(4)}}.encode();
    QByteArray two = OscBundle::wrap(7, marker);
    two.append(OscBundle::wrap(7, OscBundle::wrap(8, marker)).sliced(16));
    const QByteArray blob = QByteArray("/aurivo/marker\0\0,b\0\0\0\0\0\x03"
                                       "abc\0",
                                       28);
    return {marker, reading, OscBundle::wrap(1, marker), two, blob, QByteArrayLiteral("marker Stimulus 4\n")};
}

TEST(LinkInputFuzz, RandomDatagrams) {
    std::mt19937 rng(20260126);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 1100);
    for (int i = 0; i < 20000; ++i) {
        QByteArray datagram(length(rng), '\0');
        for (char& c : datagram)
            c = char(byte(rng));
        // Some start like the things the receiver looks for, so the parsers behind the prefix get fuzzed.
        if (i % 3 == 1) datagram.prepend("#bundle\0", 8);
        if (i % 3 == 2) datagram.prepend("/aurivo/marker\0\0,s\0\0", 20);
        expectSound(datagram, LinkInput::parse(datagram));
    }
}

TEST(LinkInputFuzz, MutatedDatagrams) {
    std::mt19937 rng(4242);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::vector<QByteArray> base = seeds();
    int accepted = 0;
    for (int i = 0; i < 50000; ++i) {
        QByteArray datagram = base[size_t(i) % base.size()];
        const int edits = 1 + int(rng() % 4);
        for (int e = 0; e < edits && !datagram.isEmpty(); ++e) {
            const qsizetype at = qsizetype(rng() % uint32_t(datagram.size()));
            switch (rng() % 5) {
            case 0:
                datagram[at] = char(datagram[at] ^ char(1 << (rng() % 8)));
                break;
            case 1:
                datagram[at] = char(byte(rng));
                break;
            case 2:
                datagram.truncate(at);
                break;
            case 3:
                datagram.insert(at, char(byte(rng)));
                break;
            default:
                // A size or length field turned huge or negative.
                datagram.replace(at & ~qsizetype(3), 4, QByteArray("\x7f\xff\xff\xfc", 4));
                break;
            }
        }
        const LinkInput::Outcome out = LinkInput::parse(datagram);
        expectSound(datagram, out);
        if (out.refusal == LinkInput::Refusal::None) ++accepted;
    }
    // The mutations leave some datagrams whole enough to pass: the acceptance path is exercised too.
    EXPECT_GT(accepted, 100);
}

} // namespace
} // namespace aurivo
