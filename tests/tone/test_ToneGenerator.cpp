// The tone's samples as a unit: pitch by the formula, glides, phase continuity, fades, silence and the
// settings that drive them.

#include "ToneAnalysis.h"
#include "sound/ToneGenerator.h"
#include "sound/TonePitch.h"
#include "sound/ToneSettings.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aurivo {

namespace {

constexpr int kRate = ToneGenerator::kDefaultRate;
constexpr size_t ms(double milliseconds) {
    return size_t(milliseconds * kRate / 1000.0);
}

// Renders samples and keeps them, with the pitch each sample was made at.
struct Recorder {
    ToneGenerator gen;
    std::vector<int16_t> samples;
    std::vector<double> pitches, amplitudes;
    void run(size_t count) {
        for (size_t i = 0; i < count; ++i) {
            pitches.push_back(gen.frequency());
            amplitudes.push_back(gen.amplitude());
            int16_t s = 0;
            gen.render(&s, 1);
            samples.push_back(s);
        }
    }
    // One reading every 50 ms for `milliseconds`, as the device sends them.
    void hold(double hz, double milliseconds) {
        for (double t = 0; t < milliseconds; t += 50) {
            gen.setPitch(hz);
            run(ms(50));
        }
    }
};

} // namespace

struct PitchRow {
    double g, g0;
    ToneSettings::Direction direction;
    double span, base;
    std::optional<double> hz;
};

TEST(TonePitch, FollowsBaseTimesRatioToTheSpanWithinItsLimits) {
    using D = ToneSettings::Direction;
    const PitchRow rows[] = {
        {5, 5, D::Rises, 1, 440, 440},
        {10, 5, D::Rises, 1, 440, 880},
        {2.5, 5, D::Rises, 1, 440, 220},
        {10, 5, D::Falls, 1, 440, 220},
        {2.5, 5, D::Falls, 1, 440, 880},
        {10, 5, D::Rises, 2, 440, 1760},
        {20, 5, D::Rises, 0.5, 440, 880},
        {80, 5, D::Rises, 0.25, 440, 880},
        {7.5, 5, D::Rises, 1, 300, 450},
        {5 * std::sqrt(2.0), 5, D::Rises, 1, 200, 200 * std::sqrt(2.0)},
        {500, 5, D::Rises, 1, 440, 1760},
        {0.05, 5, D::Rises, 1, 440, 110},
        {1e300, 1e-300, D::Rises, 4, 440, 1760},
        {0, 5, D::Rises, 1, 440, std::nullopt},
        {5, 0, D::Rises, 1, 440, std::nullopt},
        {-5, 5, D::Rises, 1, 440, std::nullopt},
        {std::nan(""), 5, D::Rises, 1, 440, std::nullopt},
        {5, std::numeric_limits<double>::infinity(), D::Rises, 1, 440, std::nullopt},
    };
    for (const PitchRow& r : rows) {
        ToneSettings s;
        s.direction = r.direction;
        s.span = r.span;
        s.basePitch = r.base;
        const std::optional<double> hz = TonePitch::frequency(r.g, r.g0, s);
        ASSERT_EQ(hz.has_value(), r.hz.has_value()) << r.g << " " << r.g0;
        if (hz) {
            EXPECT_NEAR(*hz, *r.hz, 1e-9 * *r.hz) << r.g << " " << r.g0 << " span " << r.span;
        }
    }
}

TEST(ToneSettings, KeptInTheirOwnGroupBesideTheSettingsFileAndHeldInRange) {
    QTemporaryDir dir;
    EXPECT_EQ(ToneSettings::load(dir.path()), ToneSettings{}); // no file: the defaults

    ToneSettings s;
    s.enabled = true;
    s.volumePercent = 35;
    s.direction = ToneSettings::Direction::Falls;
    s.span = 2.5;
    s.basePitch = 330;
    ASSERT_TRUE(s.save(dir.path()));
    EXPECT_EQ(ToneSettings::load(dir.path()), s);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("Aurivo_USB.ini"))));

    // Another feature's group in the same file stays; values out of range are held at the limits.
    QFile file(ToneSettings::filePath(dir.path()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[other]\nkept=yes\n[tone]\nenabled=true\nvolume=250\nspan=9\nbase=20\ndirection=up\n");
    file.close();
    const ToneSettings loaded = ToneSettings::load(dir.path());
    EXPECT_EQ(loaded.volumePercent, 100);
    EXPECT_EQ(loaded.span, 4.0);
    EXPECT_EQ(loaded.basePitch, 110.0);
    EXPECT_EQ(loaded.direction, ToneSettings::Direction::Rises);
    ASSERT_TRUE(loaded.save(dir.path()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("kept=yes"));
}

TEST(ToneGenerator, PitchFollowsTheFormulaForASequenceOfConductances) {
    // A session's readings: the start value, then a rise and a fall of the conductance.
    const double g0 = conductanceOf(8000);
    const double readings[] = {8000, 8300, 8900, 9700, 11000, 12500, 10400, 7600, 6000, 4200, 8000};
    for (const auto direction : {ToneSettings::Direction::Rises, ToneSettings::Direction::Falls}) {
        ToneSettings s;
        s.direction = direction;
        s.span = direction == ToneSettings::Direction::Rises ? 1.5 : 0.75;
        s.basePitch = 392;
        Recorder r;
        r.gen.setVolume(0.7);
        for (double reading : readings) {
            const double expected = *TonePitch::frequency(conductanceOf(reading), g0, s);
            const size_t from = r.samples.size();
            r.hold(expected, 300);
            // After the glide (50 ms) the pitch is the formula's, measured over the rest of the step.
            const std::optional<double> heard = pitchOf(r.samples, from + ms(60), r.samples.size(), kRate);
            ASSERT_TRUE(heard.has_value()) << reading;
            EXPECT_NEAR(*heard, expected, 0.01 * expected) << "reading " << reading;
        }
    }
}

TEST(ToneGenerator, GlidesToANewPitchOverFiftyMilliseconds) {
    Recorder r;
    r.gen.setVolume(1);
    r.hold(440, 200);
    const size_t change = r.samples.size();
    r.hold(880, 300);
    // Half-way through the glide the pitch lies between the two, an even step in octaves: 622 Hz.
    const std::optional<double> middle = pitchOf(r.samples, change + ms(20), change + ms(30), kRate);
    ASSERT_TRUE(middle.has_value());
    EXPECT_GT(*middle, 560);
    EXPECT_LT(*middle, 690);
    // Before the change it was the old pitch; 55 ms after it, the new.
    EXPECT_NEAR(*pitchOf(r.samples, change - ms(40), change, kRate), 440, 4.4);
    EXPECT_NEAR(*pitchOf(r.samples, change + ms(55), change + ms(100), kRate), 880, 8.8);
    EXPECT_NEAR(r.pitches[change + ms(25)], 440 * std::sqrt(2.0), 1.0);
}

TEST(ToneGenerator, NoStepLargerThanAPureSineOfThatPitchAndVolume) {
    // Large and sudden changes of pitch, a change of volume, fades out and in, a mute: no click anywhere.
    Recorder r;
    const double volume = 0.8;
    r.gen.setVolume(volume);
    const double pitches[] = {440, 1760, 110, 1760, 523, 117, 1500, 300};
    for (double hz : pitches)
        r.hold(hz, 100);
    r.gen.setVolume(0.3);
    r.hold(1000, 100);
    r.gen.setVolume(volume);
    r.hold(700, 100);
    r.gen.fadeOut();
    r.run(ms(30));
    r.hold(1200, 100);
    r.gen.setMuted(true);
    r.run(ms(30));
    r.gen.setMuted(false);
    r.hold(200, 100);
    // Each step against a sine of the pitch and amplitude the sample was made at, plus what the fade can
    // add within one sample (full scale over 20 ms) and one for rounding.
    const double fadeStep = ToneGenerator::kFullScale / double(ms(20));
    for (size_t i = 1; i < r.samples.size(); ++i) {
        const double hz = std::max(r.pitches[i], r.pitches[i - 1]);
        const double amplitude = std::max(r.amplitudes[i], r.amplitudes[i - 1]) * ToneGenerator::kFullScale;
        const double bound = sineStep(amplitude, hz, kRate) + fadeStep + 1.0;
        ASSERT_LE(std::abs(int(r.samples[i]) - int(r.samples[i - 1])), bound) << "sample " << i;
    }
    // And against the loudest, highest sine of the whole run.
    EXPECT_LE(largestStep(r.samples, 0, r.samples.size()),
              sineStep(volume * ToneGenerator::kFullScale, 1760, kRate) + fadeStep + 1.0);
}

TEST(ToneGenerator, FadesInAndOutOverTwentyMilliseconds) {
    Recorder r;
    r.gen.setVolume(0.5);
    const int full = int(0.5 * ToneGenerator::kFullScale);
    r.hold(1000, 200);
    // Fade-in: the first millisecond is nearly silent, half-way it is about half loud, then full.
    EXPECT_LT(peakOf(r.samples, 0, ms(1)), full / 15);
    EXPECT_NEAR(peakOf(r.samples, ms(9), ms(11)), full / 2, full / 10);
    EXPECT_NEAR(peakOf(r.samples, ms(21), ms(40)), full, full / 100);
    // Fade-out: half loud after 10 ms, silent from 20 ms on.
    const size_t out = r.samples.size();
    r.gen.fadeOut();
    r.run(ms(100));
    EXPECT_NEAR(peakOf(r.samples, out + ms(9), out + ms(11)), full / 2, full / 10);
    EXPECT_EQ(peakOf(r.samples, out + ms(20) + 1, r.samples.size()), 0);
    EXPECT_TRUE(r.gen.silent());
    // A new reading fades back in at its own pitch, without gliding from the old one.
    const size_t back = r.samples.size();
    r.hold(600, 200);
    EXPECT_NEAR(*pitchOf(r.samples, back, back + ms(40), kRate), 600, 6);
    EXPECT_NEAR(peakOf(r.samples, back + ms(21), back + ms(200)), full, full / 100);
}

TEST(ToneGenerator, SilentUntilTheFirstPitchAndFadesOutWhenNoPitchCameForHalfASecond) {
    Recorder r;
    r.gen.setVolume(1);
    r.run(ms(700));
    EXPECT_EQ(peakOf(r.samples, 0, r.samples.size()), 0);
    EXPECT_TRUE(r.gen.silent());
    QSignalSpy faded(&r.gen, &ToneGenerator::fadedOut);
    r.hold(500, 200);
    const size_t last = r.samples.size() - ms(50); // the last reading's pitch was set here
    r.run(ms(600));
    EXPECT_GT(peakOf(r.samples, last + ms(480), last + ms(500)), 30000);
    EXPECT_EQ(peakOf(r.samples, last + ms(520) + 1, r.samples.size()), 0);
    EXPECT_EQ(faded.count(), 1);
}

TEST(ToneGenerator, MuteAndVolumeChangeTheLoudnessOnly) {
    Recorder r;
    r.gen.setVolume(0.25);
    r.hold(800, 100);
    EXPECT_NEAR(peakOf(r.samples, ms(50), ms(100)), 0.25 * 32767, 0.0025 * 32767);
    r.gen.setMuted(true);
    const size_t muted = r.samples.size();
    r.hold(800, 200);
    EXPECT_EQ(peakOf(r.samples, muted + ms(20) + 1, r.samples.size()), 0);
    r.gen.setMuted(false);
    r.gen.setVolume(0.9);
    const size_t loud = r.samples.size();
    r.hold(800, 100);
    EXPECT_NEAR(peakOf(r.samples, loud + ms(25), r.samples.size()), 0.9 * 32767, 0.009 * 32767);
    EXPECT_NEAR(*pitchOf(r.samples, loud + ms(25), r.samples.size(), kRate), 800, 8);
}

TEST(ToneGenerator, ReadAsADeviceGivesWholeSamplesEndlessly) {
    ToneGenerator gen;
    gen.setVolume(1);
    gen.setPitch(440);
    EXPECT_TRUE(gen.isOpen());
    EXPECT_TRUE(gen.isSequential());
    EXPECT_GT(gen.bytesAvailable(), 0);
    char buffer[4801];
    EXPECT_EQ(gen.read(buffer + 1, 4800), 4800);
    EXPECT_EQ(gen.read(buffer, 4801), 4800);
    EXPECT_EQ(gen.samplesMade(), 4800);
}

} // namespace aurivo
