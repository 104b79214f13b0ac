// The response detector against synthetic sessions whose responses are known: every clear response found
// where it happened and as large as it was, nothing found in drift and noise, markers answered with the
// right response or none, each response confirmed within 2 s of its peak; and the rules one by one on
// noise-free signals.

#include "SkinSignal.h"
#include "analysis/ResponseDetector.h"
#include "recording/MarkerFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <numbers>

using namespace aurivo;
using namespace aurivo::testing;

namespace {

constexpr int64_t kOnsetTolerance = 8; // readings: 0.4 s

// What the listeners heard over a session fed reading by reading, markers added after their reading.
struct Heard {
    std::vector<SkinResponse> confirmed;
    std::vector<int64_t> confirmedAt; // the reading that confirmed each
    std::vector<int> rateAt;          // the non-specific rate right after each
    std::vector<SkinResponse> completed;
    std::vector<MarkerResponse> answers;
    int nonSpecificRate = 0;
};

Heard listen(const std::vector<int32_t>& readings, const std::vector<Marker>& markers = {},
             const ResponseDetector::Settings& settings = {}) {
    Heard heard;
    int64_t now = 0;
    ResponseDetector* self = nullptr;
    ResponseDetector detector(settings, {[&](const SkinResponse& r) {
                                             heard.confirmed.push_back(r);
                                             heard.confirmedAt.push_back(now);
                                             heard.rateAt.push_back(self->nonSpecificRate());
                                         },
                                         [&](const SkinResponse& r) { heard.completed.push_back(r); },
                                         [&](const MarkerResponse& a) { heard.answers.push_back(a); }});
    self = &detector;
    size_t next = 0;
    for (; next < markers.size() && markers[next].reading == 0; ++next)
        detector.addMarker(0, markers[next].label);
    for (size_t i = 0; i < readings.size(); ++i) {
        now = int64_t(i) + 1;
        detector.addReading(now, readings[i]);
        for (; next < markers.size() && markers[next].reading == now; ++next)
            detector.addMarker(now, markers[next].label);
    }
    heard.nonSpecificRate = detector.nonSpecificRate();
    detector.finish();
    return heard;
}

// A response clearly within the definition that the readings resolve: at least 0.03 uS and 20 reading
// steps at its level, rising for 0.7 to 4.5 s, its peak certain (1 s passes before the next begins).
bool judged(const SkinSession& s, const TrueResponse& t) {
    const double rise = double(t.peakReading - t.onsetReading) / kRate;
    const bool certain = std::none_of(s.responses.begin(), s.responses.end(), [&](const TrueResponse& u) {
        return u.startSeconds > t.startSeconds && u.startSeconds * kRate < double(t.peakReading) + kRate;
    });
    return t.scoredAmplitude >= 0.03 && t.scoredAmplitude >= 20 * SkinSession::stepAt(t.level) &&
           rise >= 0.7 && rise <= 4.5 && certain;
}

const SkinResponse* nearest(const std::vector<SkinResponse>& found, int64_t onset) {
    const SkinResponse* best = nullptr;
    for (const SkinResponse& r : found)
        if (!best || std::abs(r.onsetReading - onset) < std::abs(best->onsetReading - onset)) best = &r;
    return best;
}

SkinSession session(double level, double drift, uint64_t seed, bool responses = true) {
    SkinSession s;
    s.baseLevel = level;
    s.drifts = {{drift, 240, 0.3 * double(seed)}, {drift / 4, 67, 1.1 * double(seed)}};
    if (responses) s.responses = randomResponses(5, 475, seed * 7 + 1);
    s.render(480, seed); // 8 minutes
    return s;
}

// Checks what the detector heard against the session's truth.
void expectTruth(const SkinSession& s, const Heard& heard) {
    int resolved = 0;
    for (const TrueResponse& t : s.responses) {
        if (!judged(s, t)) continue;
        ++resolved;
        const SkinResponse* r = nearest(heard.confirmed, t.onsetReading);
        ASSERT_NE(r, nullptr);
        SCOPED_TRACE(::testing::Message()
                     << "response at " << t.startSeconds << " s, " << t.scoredAmplitude << " uS");
        EXPECT_LE(std::abs(r->onsetReading - t.onsetReading), kOnsetTolerance);
        EXPECT_NEAR(r->amplitudeUs, t.scoredAmplitude, std::max(0.1 * t.scoredAmplitude, 0.005));
        const size_t k = size_t(r - heard.confirmed.data());
        EXPECT_LE(heard.confirmedAt[k] - t.peakReading, 2 * 20) << "confirmed more than 2 s after the peak";
    }
    EXPECT_GE(resolved, 6); // the session holds enough to judge
    for (size_t k = 0; k < heard.confirmed.size(); ++k) {
        const SkinResponse& r = heard.confirmed[k];
        // Without its noise the conductance rises by at least 0.01 uS from the onset to the peak.
        EXPECT_GE(s.at(r.peakReading) - s.at(r.onsetReading), 0.01)
            << "reported at " << r.onsetSeconds << " s, " << r.amplitudeUs << " uS";
        EXPECT_GE(r.amplitudeUs, 0.02);
        EXPECT_GE(r.riseSeconds, 0.5);
        EXPECT_LE(r.riseSeconds, 5.0);
        EXPECT_LE(heard.confirmedAt[k] - r.peakReading, 2 * 20);
        EXPECT_FALSE(r.halfRecoverySeconds); // not known at the confirmation
    }
    // Each confirmed response is completed once, in the same order, with nothing else changed.
    ASSERT_EQ(heard.completed.size(), heard.confirmed.size());
    for (size_t k = 0; k < heard.completed.size(); ++k) {
        SkinResponse r = heard.completed[k];
        r.halfRecoverySeconds.reset();
        EXPECT_EQ(r, heard.confirmed[k]);
    }
}

} // namespace

TEST(ResponseDetector, FindsEveryClearResponseWhereItHappenedAndAsLargeAsItWas) {
    struct Row {
        double level, drift;
        uint64_t seed;
    };
    for (const Row& row : {Row{1.5, 0.05, 11}, Row{3, 0.1, 12}, Row{6, 0.1, 13}, Row{10, 0.1, 14},
                           Row{15, 0.08, 15}, Row{19, 0.1, 16}}) {
        SCOPED_TRACE(::testing::Message() << row.level << " uS, seed " << row.seed);
        const SkinSession s = session(row.level, row.drift, row.seed);
        expectTruth(s, listen(s.readings));
    }
}

TEST(ResponseDetector, DriftAndNoiseAloneGiveNoResponse) {
    // A slow level: it climbs by at most 0.003 uS/s, so within the longest rise (5 s) it does not gain the
    // minimum amplitude by itself.
    uint64_t seed = 40;
    for (const double level : {1.0, 2.0, 5.0, 9.0, 14.0, 20.0}) {
        const SkinSession s = session(level, 0.06, ++seed, false);
        const Heard heard = listen(s.readings);
        EXPECT_TRUE(heard.confirmed.empty())
            << level << " uS: first at " << heard.confirmed.front().onsetSeconds;
    }
}

TEST(ResponseDetector, ResponsesBelowTheMinimumAmplitudeAreNotReported) {
    // Only responses under 0.01 uS, on a level where a reading step is 0.0007 uS.
    SkinSession s;
    s.baseLevel = 2.5;
    s.drifts = {{0.05, 200, 0.5}};
    for (double t = 5; t < 295; t += 6)
        s.responses.push_back({t, 0.005 + 0.0045 * std::fmod(t, 7.0) / 7.0, 3});
    s.render(300, 77);
    EXPECT_TRUE(listen(s.readings).confirmed.empty());
}

TEST(ResponseDetector, MarkersGetTheirResponseOrNone) {
    const SkinSession s = session(4, 0.08, 21);
    // A marker 1.5 to 3 s before every other clear response that has no other response near it; another
    // in each quiet stretch, with no response starting from 0.5 s to 4.5 s after it.
    std::vector<Marker> markers;
    std::vector<const TrueResponse*> expected;
    bool marked = false;
    const auto quiet = [&s](double from, double to, const TrueResponse* except) {
        return std::none_of(s.responses.begin(), s.responses.end(), [&](const TrueResponse& t) {
            return &t != except && t.amplitude >= 0.005 && t.startSeconds >= from && t.startSeconds <= to;
        });
    };
    for (const TrueResponse& t : s.responses) {
        const double at = t.startSeconds - 1.5 - std::fmod(t.startSeconds, 1.5);
        if (judged(s, t) && quiet(at, at + 5, &t) && (marked = !marked)) {
            markers.push_back(
                {at, int64_t(std::lround(at * 20)), QStringLiteral("tone %1").arg(markers.size())});
            expected.push_back(&t);
        }
    }
    for (double at = 3; at < 290; at += 0.5) {
        if (!quiet(at - 0.5, at + 5, nullptr) ||
            std::any_of(markers.begin(), markers.end(),
                        [at](const Marker& m) { return std::abs(m.timeSeconds - at) < 6; }))
            continue;
        markers.push_back(
            {at, int64_t(std::lround(at * 20)), QStringLiteral("quiet %1").arg(markers.size())});
        expected.push_back(nullptr);
    }
    ASSERT_GE(std::count(expected.begin(), expected.end(), nullptr), 5);
    ASSERT_GE(std::count_if(expected.begin(), expected.end(), [](auto* t) { return t != nullptr; }), 8);
    std::vector<size_t> order(markers.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return markers[a].reading < markers[b].reading; });
    std::vector<Marker> sorted;
    for (size_t i : order)
        sorted.push_back(markers[i]);

    const Heard heard = listen(s.readings, sorted);
    ASSERT_EQ(heard.answers.size(), markers.size()); // each answered once
    for (size_t i = 0; i < markers.size(); ++i) {
        const auto answer =
            std::find_if(heard.answers.begin(), heard.answers.end(),
                         [&](const MarkerResponse& a) { return a.label == markers[i].label; });
        ASSERT_NE(answer, heard.answers.end());
        SCOPED_TRACE(markers[i].label.toStdString());
        EXPECT_EQ(answer->markerReading, markers[i].reading);
        if (!expected[i]) {
            EXPECT_FALSE(answer->response);
            continue;
        }
        ASSERT_TRUE(answer->response);
        EXPECT_LE(std::abs(answer->response->onsetReading - expected[i]->onsetReading), kOnsetTolerance);
        EXPECT_EQ(answer->response->marker, markers[i].label);
        // The response's own line names the marker too.
        const SkinResponse* r = nearest(heard.completed, expected[i]->onsetReading);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->marker, markers[i].label);
    }
    // The responses that answer no marker are the non-specific ones; the rate counts those of the last
    // minute.
    for (size_t k = 0; k < heard.confirmed.size(); ++k) {
        int lastMinute = 0;
        for (size_t j = 0; j <= k; ++j)
            if (heard.confirmed[j].marker.isEmpty() &&
                heard.confirmed[j].onsetReading > heard.confirmedAt[k] - 1200)
                ++lastMinute;
        EXPECT_EQ(heard.rateAt[k], lastMinute) << "after the response at " << heard.confirmed[k].onsetSeconds;
    }
    EXPECT_GE(*std::max_element(heard.rateAt.begin(), heard.rateAt.end()), 2);
}

namespace {

// A noise-free session at 5 uS (a reading step is 0.0015 uS) with the given responses.
SkinSession cleanSession(std::vector<TrueResponse> responses, double seconds, double level = 5.0) {
    SkinSession s;
    s.baseLevel = level;
    s.noise = 0;
    s.responses = std::move(responses);
    s.render(seconds, 1);
    return s;
}
std::vector<int32_t> clean(std::vector<TrueResponse> responses, double seconds, double level = 5.0) {
    return cleanSession(std::move(responses), seconds, level).readings;
}

} // namespace

TEST(ResponseDetector, OneResponseIsMeasuredFromItsTroughToItsPeakWithItsHalfRecovery) {
    // 0.5 uS from 10 s with a decay of 3 s: its own curve peaks 1.386 s after it starts and is back at
    // half its height 3.12 s after the peak.
    const SkinSession s = cleanSession({{10.0, 0.5, 3}}, 40);
    const Heard heard = listen(s.readings);
    ASSERT_EQ(heard.confirmed.size(), 1u);
    const SkinResponse& r = heard.completed.at(0);
    EXPECT_NEAR(r.onsetSeconds, 10.0, 0.1);
    EXPECT_NEAR(r.peakSeconds, 11.386, 0.1);
    EXPECT_EQ(r.onsetSeconds, r.onsetReading / 20.0);
    EXPECT_EQ(r.peakSeconds, r.peakReading / 20.0);
    EXPECT_NEAR(r.riseSeconds, 1.386, 0.1);
    EXPECT_DOUBLE_EQ(r.riseSeconds, (r.peakReading - r.onsetReading) / 20.0);
    EXPECT_NEAR(r.amplitudeUs, 0.5, 0.01);
    ASSERT_TRUE(r.halfRecoverySeconds);
    int64_t half = s.responses[0].peakReading;
    while (s.at(half) > s.at(s.responses[0].onsetReading) + s.responses[0].scoredAmplitude / 2)
        ++half;
    EXPECT_NEAR(*r.halfRecoverySeconds, (half - s.responses[0].peakReading) / 20.0, 0.1);
    EXPECT_TRUE(r.marker.isEmpty());
    // Confirmed by the fall, long before 1 s after the peak.
    EXPECT_LE(heard.confirmedAt[0] - r.peakReading, 10);
}

TEST(ResponseDetector, ARiseOnTheDecayOfAnotherIsItsOwnResponseFromItsOwnTrough) {
    // The second starts 2.5 s after the first, before the first is back at its half level.
    const std::vector<int32_t> readings = clean({{10.0, 0.4, 4}, {12.5, 0.3, 3}}, 40);
    const Heard heard = listen(readings);
    ASSERT_EQ(heard.completed.size(), 2u);
    EXPECT_NEAR(heard.completed[0].onsetSeconds, 10.0, 0.1);
    EXPECT_NEAR(heard.completed[1].onsetSeconds, 12.5, 0.15);
    EXPECT_FALSE(heard.completed[0].halfRecoverySeconds); // the next onset came first
    EXPECT_TRUE(heard.completed[1].halfRecoverySeconds);
    // Measured from its trough, high on the first one's decay: less than its own height.
    EXPECT_LT(heard.completed[1].amplitudeUs, 0.3);
    EXPECT_GT(heard.completed[1].amplitudeUs, 0.2);
}

TEST(ResponseDetector, AnOnsetOnTheFallOfAnEarlierResponseIsWhereTheFallTurned) {
    // The second starts 2 s after the first, while the first still falls steeply; the smoothing shows the
    // turn readings late, and the onset is put back where the noise-free signal turns.
    const SkinSession s = cleanSession({{10.0, 1.0, 2}, {12.0, 0.5, 3}}, 30, 3.0);
    const Heard heard = listen(s.readings);
    ASSERT_EQ(heard.completed.size(), 2u);
    EXPECT_LE(std::abs(heard.completed[1].onsetReading - s.responses[1].onsetReading), 1);
    EXPECT_LE(std::abs(heard.completed[0].onsetReading - s.responses[0].onsetReading), 1);
}

TEST(ResponseDetector, NoiseJustBeforeAResponseDoesNotPullItsOnsetBack) {
    // At 1 uS, where a reading step is 0.0001 uS: a response at 10 s, 0.3 uS.
    const auto session = [](double dip, double lift) {
        SkinSession s = cleanSession({{10.0, 0.3, 3}}, 30, 1.0);
        // A single low reading 0.6 s before it; or a lift of the level over the 0.6 s before it.
        for (int64_t n = 189; n <= 200; ++n)
            s.readings[size_t(n - 1)] = SkinSession::readingFor(s.at(n) + lift * double(n - 188) / 12);
        s.readings[size_t(188)] = SkinSession::readingFor(1 - dip);
        return s.readings;
    };
    for (const auto& [dip, lift] : {std::pair{0.03, 0.0}, std::pair{0.0, 0.004}}) {
        const Heard heard = listen(session(dip, lift));
        ASSERT_EQ(heard.completed.size(), 1u);
        EXPECT_NEAR(heard.completed[0].onsetSeconds, 10.0, 0.1) << dip << " " << lift;
        EXPECT_NEAR(heard.completed[0].amplitudeUs, 0.3, 0.01);
    }
}

TEST(ResponseDetector, NoiseAtTheTopDoesNotAddToTheAmplitude) {
    // Small responses in noise: their amplitudes scatter around the truth, not above it.
    SkinSession s;
    s.baseLevel = 2;
    for (double t = 5; t < 595; t += 8)
        s.responses.push_back({t, 0.04, 3});
    s.render(600, 3);
    const Heard heard = listen(s.readings);
    ASSERT_EQ(heard.confirmed.size(), s.responses.size());
    double error = 0;
    for (size_t k = 0; k < s.responses.size(); ++k)
        error += heard.confirmed[k].amplitudeUs - s.responses[k].scoredAmplitude;
    EXPECT_LT(std::abs(error / double(s.responses.size())), 0.001);
}

TEST(ResponseDetector, RisesTooFastOrTooSlowAreNoResponses) {
    std::vector<int32_t> readings(600, SkinSession::readingFor(5.0));
    // A step of 0.3 uS at 10 s, back at 15 s: it rises within 0.2 s after smoothing.
    for (size_t i = 200; i < 300; ++i)
        readings[i] = SkinSession::readingFor(5.3);
    EXPECT_TRUE(listen(readings).confirmed.empty());
    // A steady climb of 0.3 uS over 8 s, then a fall.
    for (size_t i = 200; i < 600; ++i) {
        const double t = double(i - 200) / 20;
        readings[i] = SkinSession::readingFor(t < 8 ? 5.0 + 0.3 * t / 8 : 5.3 - 0.1 * (t - 8));
    }
    EXPECT_TRUE(listen(readings).confirmed.empty());
}

TEST(ResponseDetector, NoResponseSpansAGap) {
    std::vector<int32_t> readings = clean({{10.0, 0.5, 3}, {30.0, 0.5, 3}}, 50);
    ASSERT_EQ(listen(readings).confirmed.size(), 2u);
    // An invalid value in the first one's rise; 16383 has no conductance either.
    readings[205] = 0;
    readings[606] = 16383;
    const Heard heard = listen(readings);
    EXPECT_TRUE(heard.confirmed.empty());

    // A reading number that skips ends the stretch as well; so does a rise at its very start.
    ResponseDetector detector(
        ResponseDetector::Settings{},
        {[](const SkinResponse& r) { ADD_FAILURE() << "at " << r.onsetSeconds; }, {}, {}});
    const std::vector<int32_t> again = clean({{10.0, 0.5, 3}}, 30);
    for (int64_t n = 1; n <= 205; ++n)
        detector.addReading(n, again[size_t(n - 1)]);
    for (int64_t n = 210; n <= 600; ++n)
        detector.addReading(n, again[size_t(n - 1)]);
    EXPECT_TRUE(detector.tonicLevel().has_value());
    detector.addReading(601, -5);
    EXPECT_FALSE(detector.tonicLevel().has_value());
}

TEST(ResponseDetector, AResponseWaitingForItsHalfRecoveryIsCompletedAtAGapOrTheEnd) {
    // The level stays up after this rise, so its half level never comes.
    std::vector<int32_t> readings(400, SkinSession::readingFor(5.0));
    for (size_t i = 200; i < 400; ++i)
        readings[i] = SkinSession::readingFor(5.0 + 0.2 * std::min(1.0, double(i - 200) / 30));
    std::vector<SkinResponse> completed;
    ResponseDetector detector(ResponseDetector::Settings{},
                              {{}, [&](const SkinResponse& r) { completed.push_back(r); }, {}});
    for (size_t i = 0; i < readings.size(); ++i)
        detector.addReading(int64_t(i) + 1, readings[i]);
    EXPECT_TRUE(completed.empty());
    EXPECT_EQ(detector.responseCount(), 1);
    ASSERT_TRUE(detector.lastResponse());
    EXPECT_NEAR(detector.lastResponse()->amplitudeUs, 0.2, 0.01);
    ASSERT_TRUE(detector.tonicLevel());
    EXPECT_NEAR(*detector.tonicLevel(), 5.2, 0.002);
    detector.finish();
    ASSERT_EQ(completed.size(), 1u);
    EXPECT_FALSE(completed[0].halfRecoverySeconds);
}

TEST(ResponseDetector, AMarkerWithoutAResponseIsAnsweredOnceItsWindowHasPassed) {
    std::vector<MarkerResponse> answers;
    int64_t answeredAt = 0, now = 0;
    ResponseDetector detector(ResponseDetector::Settings{}, {{}, {}, [&](const MarkerResponse& a) {
                                                                 answers.push_back(a);
                                                                 answeredAt = now;
                                                             }});
    const int32_t flat = SkinSession::readingFor(3.0);
    for (now = 1; now <= 400; ++now) {
        detector.addReading(now, flat);
        if (now == 100) detector.addMarker(100, QStringLiteral("bell"));
    }
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0], (MarkerResponse{100, QStringLiteral("bell"), std::nullopt}));
    EXPECT_GT(answeredAt, 100 + 80); // not before the window's end (4 s after the marker)
    EXPECT_LE(answeredAt,
              100 + 80 + ResponseDetector::kPeakDelay + 1); // an onset may be moved back that much

    // With a window of 1 to 3 s a response 3.5 s after the marker answers nothing.
    const std::vector<int32_t> readings = clean({{13.5, 0.3, 3}}, 30);
    const std::vector<Marker> marker{{10, 200, QStringLiteral("tone")}};
    Heard heard = listen(readings, marker, {0.02, 1, 3});
    ASSERT_EQ(heard.answers.size(), 1u);
    EXPECT_FALSE(heard.answers[0].response);
    EXPECT_TRUE(heard.completed.at(0).marker.isEmpty());
    heard = listen(readings, marker);
    ASSERT_EQ(heard.answers.size(), 1u);
    ASSERT_TRUE(heard.answers[0].response);
    EXPECT_EQ(heard.completed.at(0).marker, QStringLiteral("tone"));
    EXPECT_EQ(heard.nonSpecificRate, 0); // in an event window

    // A response 0.5 s after the marker is too early for it, and counts as non-specific.
    heard = listen(clean({{10.5, 0.3, 3}}, 30), marker);
    ASSERT_EQ(heard.answers.size(), 1u);
    EXPECT_FALSE(heard.answers[0].response);
    EXPECT_TRUE(heard.completed.at(0).marker.isEmpty());
    EXPECT_EQ(heard.nonSpecificRate, 1);
}

TEST(ResponseDetector, OneResponseAnswersEveryMarkerWhoseWindowItIsFirstIn) {
    // With windows of 1 to 8 s, a second response 3 s later is still in both windows, but both markers
    // have their answer.
    const std::vector<int32_t> readings = clean({{12.0, 0.3, 3}, {15.0, 0.3, 3}}, 30);
    const Heard heard =
        listen(readings, {{9, 180, QStringLiteral("a")}, {10, 200, QStringLiteral("b")}}, {0.02, 1, 8});
    ASSERT_EQ(heard.completed.size(), 2u);
    EXPECT_EQ(heard.completed[0].marker, QStringLiteral("a; b"));
    EXPECT_TRUE(heard.completed[1].marker.isEmpty());
    ASSERT_EQ(heard.answers.size(), 2u);
    EXPECT_TRUE(heard.answers[0].response && heard.answers[1].response);
    EXPECT_EQ(heard.answers[1].response->onsetReading, heard.completed[0].onsetReading);
    EXPECT_EQ(heard.nonSpecificRate, 0); // both lie in event windows
}

TEST(ResponseDetector, SettingsAreHeldWithinTheirRanges) {
    EXPECT_EQ(ResponseDetector({0.001, 3, 2}).settings(), (ResponseDetector::Settings{0.01, 3, 3}));
    EXPECT_EQ(ResponseDetector({0.5, -1, 99}).settings(), (ResponseDetector::Settings{0.1, 0, 10}));
    EXPECT_EQ(ResponseDetector({NAN, NAN, NAN}).settings(), (ResponseDetector::Settings{0.02, 1, 4}));
    // The minimum amplitude is used: 0.05 uS passes 0.02 and 0.04, not 0.06.
    const std::vector<int32_t> readings = clean({{10.0, 0.05, 3}}, 30, 2.0);
    EXPECT_EQ(listen(readings).confirmed.size(), 1u);
    EXPECT_EQ(listen(readings, {}, {0.04, 1, 4}).confirmed.size(), 1u);
    EXPECT_TRUE(listen(readings, {}, {0.06, 1, 4}).confirmed.empty());
}

TEST(ResponseDetector, ConductanceFollowsTheNumberRules) {
    EXPECT_FALSE(ResponseDetector::microsiemens(0));
    EXPECT_FALSE(ResponseDetector::microsiemens(16383));
    EXPECT_NEAR(ResponseDetector::stepAt(20.0), 0.014, 0.001);
    EXPECT_NEAR(ResponseDetector::stepAt(2.0), 0.0005, 0.0001);
}
