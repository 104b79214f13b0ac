// The tone as a listener of a whole monitor, over a fake sound output: which pitch each recorded reading
// asks for, when the output plays, fades and stops, and what happens when there is no output at all.

#include "../session/MonitorRig.h"
#include "ToneAnalysis.h"
#include "app/ToneOutput.h"
#include "sound/TonePitch.h"

#include <QCoreApplication>
#include <QFile>
#include <QIODevice>
#include <QTest>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

// A sound output that plays nothing: the test pulls the samples it would play.
struct FakeSink : AudioSink {
    struct State {
        QString refuse; // why start() fails; empty: it starts
        int queuedMs = 0;
        int starts = 0, stops = 0;
        bool playing = false;
        QIODevice* source = nullptr;
        int rate = 0;
    };
    State& state;
    explicit FakeSink(State& s) : state(s) {}
    QString start(QIODevice& source, int sampleRate) override {
        ++state.starts;
        if (!state.refuse.isEmpty()) return state.refuse;
        state.playing = true;
        state.source = &source;
        state.rate = sampleRate;
        return QString();
    }
    void stop() override {
        if (state.playing) ++state.stops;
        state.playing = false;
    }
    bool playing() const override { return state.playing; }
    int queuedMs() const override { return state.queuedMs; }
    int underruns() const override { return 0; }
    // What the output would play next.
    std::vector<int16_t> pull(double milliseconds) {
        std::vector<int16_t> samples(size_t(milliseconds * state.rate / 1000.0));
        const qint64 bytes = qint64(samples.size() * sizeof(int16_t));
        if (state.source->read(reinterpret_cast<char*>(samples.data()), bytes) != bytes) samples.clear();
        QCoreApplication::processEvents(); // the output's own events: a fade-out's end
        return samples;
    }
};

// Every reading the pipeline records, as the tone hears it.
struct Heard : ReadingListener {
    std::vector<RecordedReading> readings;
    void readingRecorded(const RecordedReading& r) override { readings.push_back(r); }
};

struct ToneRig : MonitorRig {
    FakeSink::State sink;
    FakeSink* fake = nullptr;
    std::unique_ptr<ToneOutput> tone;
    Heard heard;
    explicit ToneRig(bool on = true) {
        ToneSettings s;
        s.enabled = on;
        s.volumePercent = 60;
        EXPECT_TRUE(s.save(dir.path()));
        auto owned = std::make_unique<FakeSink>(sink);
        fake = owned.get();
        tone = std::make_unique<ToneOutput>(m().sessions(), m().programFolder(), boxes, std::move(owned));
        m().addListener(*tone);
        m().addListener(heard);
    }
    ~ToneRig() {
        m().removeListener(heard);
        m().removeListener(*tone);
    }
    int noOutputNotices() const {
        return int(std::count_if(boxes.notices.begin(), boxes.notices.end(), [](const auto& n) {
            return n.text.startsWith(QStringLiteral("No sound output was found"));
        }));
    }
};

} // namespace

TEST(ToneOutput, EachRecordedReadingAsksForThePitchOfItsConductanceAgainstTheStartValue) {
    ToneRig rig;
    // The start value settles on 8000 (the last packet of each round) while the readings recorded
    // average 8000 and 8090: the reference is the start value, not the first reading recorded.
    rig.m().choose(MenuItem::Start);
    rig.tick(10, {8090, 8000});
    ASSERT_TRUE(rig.sink.playing);
    ASSERT_FALSE(rig.m().sessions().awaitingStartValue());
    ASSERT_EQ(rig.m().sessions().startReading(), 8000);
    ASSERT_FALSE(rig.heard.readings.empty());
    ASSERT_NE(rig.heard.readings.front().filtered, 8000);
    EXPECT_NEAR(*rig.tone->startConductance(), conductanceOf(8000), 1e-12);
    for (int reading : {8000, 8400, 9000, 9800, 9800, 9800, 7000, 6500, 6500, 6500}) {
        rig.tick(1, {reading, reading});
        ASSERT_FALSE(rig.heard.readings.empty());
        const double g = conductanceOf(rig.heard.readings.back().filtered);
        EXPECT_NEAR(*rig.tone->pitch(), 440.0 * g / conductanceOf(8000), 1e-9) << reading;
        EXPECT_EQ(rig.tone->generator().targetFrequency(), *rig.tone->pitch());
    }
    // The output plays that pitch, at the chosen volume.
    // (Past the glide to the last pitch: the output pulled no samples while the readings came.)
    const std::vector<int16_t> played = rig.fake->pull(200);
    EXPECT_NEAR(*pitchOf(played, size_t(rig.sink.rate / 16), played.size(), rig.sink.rate),
                *rig.tone->pitch(), 0.01 * *rig.tone->pitch());
    EXPECT_NEAR(peakOf(played, 0, played.size()), 0.6 * 32767, 0.01 * 32767);

    // Falling with conductance, two octaves per doubling, from 300 Hz: the next reading uses them.
    ToneSettings s = rig.tone->settings();
    s.direction = ToneSettings::Direction::Falls;
    s.span = 2;
    s.basePitch = 300;
    rig.tone->applySettings(s);
    rig.tick(1, {6500});
    const double g = conductanceOf(rig.heard.readings.back().filtered);
    EXPECT_NEAR(*rig.tone->pitch(),
                std::clamp(300.0 * std::pow(g / conductanceOf(8000), -2.0), 110.0, 1760.0), 1e-9);
}

TEST(ToneOutput, BeforeTheStartValueSettlesTheFirstReadingIsTheReference) {
    ToneRig rig;
    rig.m().choose(MenuItem::Start);
    EXPECT_TRUE(rig.m().sessions().awaitingStartValue());
    RecordedReading first;
    first.reading = {9000, 4};
    first.filtered = 9000;
    first.microsiemens = conductanceOf(9000);
    rig.tone->readingRecorded(first);
    EXPECT_NEAR(*rig.tone->pitch(), 440, 1e-9);
    RecordedReading next = first;
    next.microsiemens = 2 * first.microsiemens;
    rig.tone->readingRecorded(next);
    EXPECT_NEAR(*rig.tone->pitch(), 880, 1e-9);
}

TEST(ToneOutput, ProbeErrorAndStopFadeOutAndStopStopsTheOutputAfterTheFade) {
    ToneRig rig;
    rig.startAndSettle(8000);
    rig.tick(1, {8200, 8200});
    std::vector<int16_t> played = rig.fake->pull(100);
    EXPECT_GT(peakOf(played, 0, played.size()), 15000);
    // A probe error: silent within 20 ms, the session going on; the next good reading sounds again.
    rig.comm.deliver(PacketDecoder::makePacket(8200, 5));
    rig.clock.advance(200);
    rig.m().onTick();
    played = rig.fake->pull(100);
    EXPECT_EQ(peakOf(played, size_t(rig.sink.rate / 50) + 1, played.size()), 0);
    EXPECT_TRUE(rig.sink.playing);
    rig.tick(1, {8200});
    played = rig.fake->pull(100);
    EXPECT_GT(peakOf(played, played.size() / 2, played.size()), 15000);
    // Stop: the fade plays out, then the output stops.
    rig.m().choose(MenuItem::Stop);
    EXPECT_TRUE(rig.sink.playing);
    played = rig.fake->pull(50);
    EXPECT_EQ(peakOf(played, size_t(rig.sink.rate / 50) + 1, played.size()), 0);
    EXPECT_FALSE(rig.sink.playing);
    EXPECT_EQ(rig.sink.stops, 1);
    // A new session plays again, starting from its own first pitch.
    rig.startAndSettle(7000);
    EXPECT_TRUE(rig.sink.playing);
    EXPECT_NEAR(*rig.tone->pitch(), 440, 1e-9);
}

TEST(ToneOutput, TheOutputStopsOnlyAfterItHasPlayedTheEndOfTheFade) {
    ToneRig rig;
    rig.sink.queuedMs = 100;
    rig.startAndSettle(8000);
    rig.tick(1, {8000});
    rig.fake->pull(100);
    rig.m().choose(MenuItem::Stop);
    rig.fake->pull(50); // the fade-out is made; the output still holds it
    EXPECT_TRUE(rig.sink.playing);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !rig.sink.playing; }, 5000));
    // A session started while the end plays keeps the output.
    rig.startAndSettle(8000);
    rig.m().choose(MenuItem::Stop);
    rig.fake->pull(50);
    rig.startAndSettle(8000);
    const int stops = rig.sink.stops;
    // Past the time the output holds, nothing has stopped it.
    EXPECT_FALSE(QTest::qWaitFor([&] { return !rig.sink.playing; }, 400));
    EXPECT_EQ(rig.sink.stops, stops);
}

TEST(ToneOutput, OffMeansNoOutputAndTurningItOnDuringASessionPlays) {
    ToneRig rig(false);
    rig.startAndSettle(8000);
    EXPECT_EQ(rig.sink.starts, 0);
    rig.tone->setEnabled(true);
    EXPECT_TRUE(rig.sink.playing);
    rig.tick(1, {8000});
    EXPECT_GT(peakOf(rig.fake->pull(100), 0, 4800), 15000);
    rig.tone->setEnabled(false);
    rig.fake->pull(50);
    EXPECT_FALSE(rig.sink.playing);
    rig.tick(3, {8000});
    EXPECT_FALSE(rig.sink.playing);
}

TEST(ToneOutput, MuteSilencesWithoutStoppingAndIsNotKept) {
    ToneRig rig;
    int changes = 0;
    rig.tone->changed.subscribe([&] { ++changes; });
    rig.startAndSettle(8000);
    rig.tone->setMuted(true);
    rig.tick(1, {8000});
    const std::vector<int16_t> played = rig.fake->pull(100);
    EXPECT_EQ(peakOf(played, played.size() / 2, played.size()), 0);
    EXPECT_TRUE(rig.sink.playing);
    rig.tone->setMuted(false);
    rig.tick(1, {8000});
    EXPECT_GT(peakOf(rig.fake->pull(100), 2400, 4800), 15000);
    EXPECT_EQ(changes, 2);
    EXPECT_FALSE(ToneOutput(rig.m().sessions(), rig.m().programFolder(), rig.boxes,
                            std::make_unique<FakeSink>(rig.sink))
                     .muted());
}

TEST(ToneOutput, NoOutputIsToldOnceAndTheSessionIsRecordedAsBefore) {
    ToneRig rig;
    rig.sink.refuse = QStringLiteral("the system offers no sound output");
    rig.tone->startUp();
    EXPECT_EQ(rig.noOutputNotices(), 1);
    EXPECT_TRUE(rig.boxes.notices.back().text.contains(QStringLiteral("the system offers no sound output")));
    rig.startAndSettle(8000);
    const int triesInSession = rig.sink.starts;
    rig.tick(20, {8000, 8100});
    EXPECT_EQ(rig.sink.starts, triesInSession); // not tried again for every reading
    EXPECT_GT(rig.m().recorder().recordCount(), 40);
    EXPECT_EQ(rig.read("tempdata.tst").size() / 4, rig.m().recorder().recordCount() - 1);
    rig.m().choose(MenuItem::Stop);
    rig.startAndSettle(8000);
    rig.m().choose(MenuItem::Stop);
    EXPECT_EQ(rig.noOutputNotices(), 1);
    EXPECT_TRUE(rig.boxes.shown.empty()); // nothing waited for an answer
    // The item stays usable: turning the tone off and on again tries again, and tells again.
    rig.tone->setEnabled(false);
    rig.tone->setEnabled(true);
    rig.startAndSettle(8000);
    EXPECT_EQ(rig.noOutputNotices(), 2);
    // Once there is an output, it plays.
    rig.sink.refuse.clear();
    rig.m().choose(MenuItem::Stop);
    rig.startAndSettle(8000);
    EXPECT_TRUE(rig.sink.playing);
}

TEST(ToneOutput, AnOutputFailingWhilePlayingIsToldOnceAndLeftAloneForTheSession) {
    ToneRig rig;
    rig.startAndSettle(8000);
    ASSERT_TRUE(rig.sink.playing);
    const int starts = rig.sink.starts;
    const int records = rig.m().recorder().recordCount();
    rig.sink.playing = false;
    rig.fake->failed(QStringLiteral("the sound output is no longer usable"));
    rig.tick(10, {8000});
    EXPECT_EQ(rig.sink.starts, starts);
    EXPECT_EQ(rig.noOutputNotices(), 1);
    EXPECT_TRUE(rig.m().sessions().running());
    EXPECT_EQ(rig.m().recorder().recordCount(), records + 10);
}

TEST(ToneOutput, SettingsGoBesideTheSettingsFileWhichStaysByteForByte) {
    ToneRig rig;
    const QByteArray ini = rig.read("Aurivo_USB.ini");
    ToneSettings s;
    s.volumePercent = 15;
    s.span = 0.25;
    s.basePitch = 1000;
    s.direction = ToneSettings::Direction::Falls;
    rig.tone->applySettings(s);
    rig.tone->setEnabled(false);
    EXPECT_EQ(rig.read("Aurivo_USB.ini"), ini);
    s.enabled = false;
    EXPECT_EQ(ToneSettings::load(rig.dir.path()), s);
    EXPECT_EQ(rig.tone->generator().volume(), 0.15);
    EXPECT_TRUE(rig.read("aurivo-usb.conf").contains("[tone]"));
}

} // namespace aurivo
