// The OSC encoding checked against liblo, the standard OSC library: what the link writes liblo reads with
// the same values, and what liblo writes the link reads.

#include "link/OscBundle.h"
#include "link/OscMessage.h"

#include <gtest/gtest.h>
#include <lo/lo.h>

#include <cstdlib>
#include <memory>

namespace aurivo {
namespace {

QByteArray serialise(lo_message message, const char* path) {
    size_t size = 0;
    void* data = lo_message_serialise(message, path, nullptr, &size);
    QByteArray bytes(static_cast<const char*>(data), qsizetype(size));
    std::free(data);
    return bytes;
}

TEST(Osc, ReadingMessageReadsBackThroughLiblo) {
    const OscMessage ours{QByteArrayLiteral("/aurivo/reading"),
                          {int32_t(245), 12.25f, int32_t(8123), 478123.5f, 2.0915f, int32_t(4)}};
    const QByteArray bytes = ours.encode();
    ASSERT_EQ(bytes.size() % 4, 0);
    int result = 0;
    lo_message theirs =
        lo_message_deserialise(const_cast<char*>(bytes.data()), size_t(bytes.size()), &result);
    ASSERT_NE(theirs, nullptr) << result;
    EXPECT_STREQ(lo_message_get_types(theirs), "ififfi");
    // What liblo read it writes back as the same bytes; built by liblo from the values, it is those bytes.
    EXPECT_EQ(serialise(theirs, "/aurivo/reading"), bytes);
    lo_message same = lo_message_new();
    lo_message_add_int32(same, 245);
    lo_message_add_float(same, 12.25f);
    lo_message_add_int32(same, 8123);
    lo_message_add_float(same, 478123.5f);
    lo_message_add_float(same, 2.0915f);
    lo_message_add_int32(same, 4);
    EXPECT_EQ(serialise(same, "/aurivo/reading"), bytes);
    lo_message_free(same);
    lo_message_free(theirs);
}

TEST(Osc, StringsOfEveryLengthPadToFourBytes) {
    for (int length = 0; length < 12; ++length) {
        const QString label(length, QLatin1Char('x'));
        const OscMessage ours{QByteArrayLiteral("/aurivo/marker"), {int32_t(7), label}};
        lo_message same = lo_message_new();
        lo_message_add_int32(same, 7);
        lo_message_add_string(same, label.toUtf8().constData());
        EXPECT_EQ(serialise(same, "/aurivo/marker"), ours.encode()) << length;
        lo_message_free(same);
        const std::optional<OscMessage> back = OscMessage::decode(ours.encode());
        ASSERT_TRUE(back.has_value()) << length;
        EXPECT_EQ(*back, ours);
    }
}

TEST(Osc, LibloMessagesWithBlobsDecode) {
    lo_message message = lo_message_new();
    const char payload[] = {1, 2, 3, 4, 5};
    lo_blob blob = lo_blob_new(5, payload);
    lo_message_add_blob(message, blob);
    lo_message_add_string(message, "Stimulus 3");
    const std::optional<OscMessage> ours = OscMessage::decode(serialise(message, "/x/y"));
    ASSERT_TRUE(ours.has_value());
    EXPECT_EQ(ours->address, QByteArrayLiteral("/x/y"));
    ASSERT_EQ(ours->arguments.size(), 2u);
    EXPECT_EQ(std::get<OscBlob>(ours->arguments[0]).bytes, QByteArray(payload, 5));
    EXPECT_EQ(std::get<QString>(ours->arguments[1]), QStringLiteral("Stimulus 3"));
    lo_blob_free(blob);
    lo_message_free(message);
}

TEST(Osc, DamagedMessagesAreRefused) {
    const QByteArray good = OscMessage{QByteArrayLiteral("/aurivo/marker"), {QStringLiteral("abc")}}.encode();
    ASSERT_TRUE(OscMessage::decode(good).has_value());
    for (qsizetype cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(OscMessage::decode(good.first(cut)).has_value()) << cut;
    QByteArray noNul = good, noAddress = good;
    noNul.replace(noNul.size() - 1, 1, "x");
    noAddress[0] = 'a';
    const QByteArray damaged[] = {
        noNul,
        noAddress,
        good + QByteArray(4, '\0'),                     // bytes after the last argument
        QByteArray("/b\0\0,b\0\0\x7f\xff\xff\xf0", 12), // a blob whose size reaches past the packet
        QByteArray("/d\0\0,d\0\0\0\0\0\0\0\0\0\0", 16), // a type the link does not know (a double)
    };
    for (const QByteArray& bytes : damaged)
        EXPECT_FALSE(OscMessage::decode(bytes).has_value()) << bytes.toHex().constData();
}

TEST(Osc, BundleIsLiblosBundleByteForByte) {
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(1765000000123LL, Qt::UTC);
    const uint64_t tag = OscBundle::timeTag(when);
    EXPECT_EQ(OscBundle::wallClock(tag), when);
    EXPECT_EQ(tag >> 32, uint64_t(1765000000LL + 2208988800LL));

    const OscMessage message{QByteArrayLiteral("/aurivo/session"),
                             {QStringLiteral("start"), QStringLiteral("tempdata")}};
    const QByteArray ours = OscBundle::wrap(tag, message.encode());

    lo_timetag tt{uint32_t(tag >> 32), uint32_t(tag & 0xFFFFFFFFu)};
    lo_bundle bundle = lo_bundle_new(tt);
    lo_message m = lo_message_new();
    lo_message_add_string(m, "start");
    lo_message_add_string(m, "tempdata");
    lo_bundle_add_message(bundle, "/aurivo/session", m);
    size_t size = 0;
    void* data = lo_bundle_serialise(bundle, nullptr, &size);
    EXPECT_EQ(QByteArray(static_cast<const char*>(data), qsizetype(size)), ours);
    std::free(data);
    lo_bundle_free_recursive(bundle);

    EXPECT_EQ(OscBundle::timeTagOf(ours), tag);
    const auto messages = OscBundle::messages(ours);
    ASSERT_TRUE(messages.has_value());
    ASSERT_EQ(messages->size(), 1u);
    EXPECT_EQ(OscMessage::decode(messages->front()), message);
}

TEST(Osc, NestedAndDamagedBundles) {
    const QByteArray inner = OscMessage{QByteArrayLiteral("/a"), {int32_t(1)}}.encode();
    QByteArray packet = inner;
    for (int depth = 0; depth < OscBundle::kMaxDepth; ++depth)
        packet = OscBundle::wrap(1, packet);
    ASSERT_TRUE(OscBundle::messages(packet).has_value());
    EXPECT_FALSE(OscBundle::messages(OscBundle::wrap(1, packet)).has_value()); // one level too deep
    const QByteArray one = OscBundle::wrap(1, inner);
    for (qsizetype cut = 9; cut < one.size(); ++cut) {
        if (cut == 16) continue; // the head and time tag alone are an empty bundle
        EXPECT_FALSE(OscBundle::messages(one.first(cut)).has_value()) << cut;
    }
    // An empty bundle holds no messages.
    const auto none = OscBundle::messages(one.first(16));
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->empty());
}

} // namespace
} // namespace aurivo
