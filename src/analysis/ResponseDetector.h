#pragma once
// Finds skin-conductance responses (SCRs) in a session's recorded readings as they arrive, one reading at
// a time, and ties them to the session's markers. The same code scores a running session and a saved one,
// so both give the same responses; its state is a fixed handful of values (plus the markers and responses
// of the last minute), however long the session runs.
//
// The signal. Each recorded (filtered) reading becomes a conductance in microsiemens by the program's
// number rules (1,000,000 / ohms) and is smoothed causally by a 4th-order Butterworth low-pass at 3 Hz
// (two biquads at 20 readings a second). The smoothed value is the tonic level (SCL).
//
// A response is a rise of the smoothed conductance from a local minimum (its onset) to the next local
// maximum (its peak) of at least the minimum amplitude and with a rise time of 0.5 to 5 s. A rise that
// begins while an earlier response still falls is its own response, from its own trough. Noise makes
// many tiny extremes, and the level itself drifts, so:
// - A peak is certain once the smoothed signal has fallen kPeakMargin below it, or after 1 s without a
//   higher value: the rise is scored and ends there. A fall below the rise's trough ends it unscored.
// - The onset's trough is chosen among the rise's local minima that lie below everything after them up
//   to the peak: walking up from the lowest, it is the last one before the first clear climb
//   (kOnsetStep, and a fifth of what remains of the rise). Smaller steps are the noise and drift of the
//   level the response rises from, so a stretch of noise before a response does not pull its onset back
//   to wherever the noise was lowest. Only minima within 5 s before the peak count; a climb already
//   under way before then makes the rise too long. The onset is where the signal leaves that trough's
//   level for good (by kPeakMargin, or a tenth of the amplitude when less): noise may lift it a little
//   before the response does.
// - The amplitude runs from the trough to the peak's level, the mean of the 5 readings around the peak
//   (the highest value alone would add the noise at the top). It must reach the minimum amplitude plus
//   one reading step at the trough's level, since the readings cannot tell a rise of one step from
//   dither between two readings (at 20 uS one step is 0.014 uS, at 2 uS 0.0005 uS).
// A level that climbs by the minimum amplitude within 5 s (0.004 uS/s at the default) is no longer slow
// to this definition: stretches of such a climb can score as responses.
//
// The smoothing delays a peak, a smooth maximum, by its group delay at low frequencies (2.56 readings,
// 0.128 s): peaks (and the half-recovery points) are reported kPeakDelay readings earlier than they appear
// in the smoothed signal. A trough is a bend: after a flat stretch the smoothing rounds it without moving
// it, but on the fall of an earlier response it shows it up to 3 readings late (see onsetDelay), and the
// onset is moved back by that much. Rise times run from the reported onset to the reported peak.
//
// Half recovery: from the peak to the first smoothed value at or below trough + amplitude / 2, when that
// comes before the next response's onset; otherwise none.
//
// Markers: a marker answers with the first response whose onset falls within its event window (1 to 4 s
// after the reading the marker was set at, by default), or with no response once no later onset can fall
// in the window. The non-specific rate counts the responses of the last 60 s whose onset lies in no event
// window.
//
// Time base: reading n (counted from 1, as in the reading file) is at n / 20 s.
//
// What listeners hear, and when:
// - confirmed: the response, the moment its peak is certain: at most 1 s + kPeakDelay readings (1.15 s)
//   after the reported peak. Its half recovery is not known yet (empty).
// - completed: the same response with its half recovery decided (or none): once the signal has reached
//   the half level and no rise that began before that can still become a response, or when the next
//   response is confirmed, a gap comes, or the session ends (finish()). This is the response's final
//   form, the one a file line is written from; it may come long after the peak when the signal stays up.
// - markerAnswered: a marker with its response (from the confirmation, half recovery empty) or with none.
// A response's marker labels are known when it is confirmed: the window closes at most 4 s after the
// marker and the onset lies within it, so the marker was added before the onset was read.
//
// Gaps: a value outside 1..16382 (16383 is a resistance of 0, no conductance) or a reading number that
// does not follow the previous one ends the current stretch: a rise in progress is dropped, a response
// waiting for its half recovery is completed (with what was seen), and the smoothing starts again at the
// next valid reading. No response spans a gap. Reading numbers at or below the previous one are ignored.

#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace aurivo {

// One response as it is reported and written.
struct SkinResponse {
    int64_t onsetReading = 0; // reading number of the onset (from 1)
    int64_t peakReading = 0;
    double onsetSeconds = 0; // onsetReading / 20
    double peakSeconds = 0;
    double amplitudeUs = 0;                    // peak minus onset, microsiemens
    double riseSeconds = 0;                    // onset to peak
    std::optional<double> halfRecoverySeconds; // empty: none, or not known yet (see confirmed)
    QString marker; // labels of the markers this response answers ("; " between them), empty otherwise

    bool operator==(const SkinResponse&) const = default;
};

// A marker's answer: the response it got, or none.
struct MarkerResponse {
    int64_t markerReading = 0;
    QString label;
    std::optional<SkinResponse> response;

    bool operator==(const MarkerResponse&) const = default;
};

class ResponseDetector {
  public:
    static constexpr int kSampleRate = 20; // readings per second
    static constexpr double kMinAmplitudeLowest = 0.01;
    static constexpr double kMinAmplitudeHighest = 0.1;
    static constexpr double kMinAmplitudeDefault = 0.02;
    static constexpr double kWindowLongest = 10.0; // seconds after the marker
    // How far the smoothed signal must fall below a peak to make it certain, in microsiemens: about four
    // times the smoothed noise of a quiet recording. At most half the lowest minimum amplitude, so no
    // response can reach its half level before it is confirmed.
    static constexpr double kPeakMargin = 0.005;
    // A step up between two of a rise's local minima begins the response when it reaches kOnsetStep and
    // kOnsetShare of what remains of the rise; smaller steps belong to the level it rises from.
    static constexpr double kOnsetStep = kPeakMargin;
    static constexpr double kOnsetShare = 0.2;
    // What the smoothing delays a peak by: its group delay (2.56 readings), rounded.
    static constexpr int kPeakDelay = 3;
    static constexpr int kRiseShortest = kSampleRate / 2; // 0.5 s
    static constexpr int kRiseLongest = 5 * kSampleRate;
    static constexpr int kPeakWait = kSampleRate; // 1 s without a higher value
    static constexpr int kRateSpan = 60 * kSampleRate;
    static constexpr int kRecent = 160; // smoothed values kept

    struct Settings {
        double minAmplitudeUs = kMinAmplitudeDefault; // held within 0.01..0.1
        double windowStartSeconds = 1.0;              // event window after a marker, held within 0..10 s
        double windowEndSeconds = 4.0;

        bool operator==(const Settings&) const = default;
    };

    struct Listeners {
        std::function<void(const SkinResponse&)> confirmed;
        std::function<void(const SkinResponse&)> completed;
        std::function<void(const MarkerResponse&)> markerAnswered;
    };

    ResponseDetector() : ResponseDetector(Settings{}) {}
    explicit ResponseDetector(const Settings& settings) : ResponseDetector(settings, Listeners{}) {}
    ResponseDetector(const Settings& settings, Listeners listeners);

    // The settings as they are used: the minimum amplitude and the window held within their ranges.
    const Settings& settings() const { return settings_; }
    void setListeners(Listeners listeners) { listeners_ = std::move(listeners); }

    // One recorded reading: its number (from 1) and its value. Listeners are called from here.
    void addReading(int64_t index, int32_t value);
    // A marker set when `reading` readings had been stored (0 before the first), added before the next
    // reading. Its window is measured from that reading.
    void addMarker(int64_t reading, const QString& label);
    // The session ended: the response waiting for its half recovery is completed and every marker that
    // has no answer yet gets none. Later readings (numbered on) start a new stretch; a new session takes a
    // new detector.
    void finish();

    static double secondsOf(int64_t reading) { return double(reading) / kSampleRate; }
    // Conductance in microsiemens of a recorded value; none outside 1..16382.
    static std::optional<double> microsiemens(int32_t value);
    // The conductance one reading step is worth at this level (about 0.0005 uS at 2 uS, 0.014 at 20).
    static double stepAt(double microsiemens);

    // The smoothed conductance now; none before the first valid reading and during a gap.
    std::optional<double> tonicLevel() const { return tonic_; }
    // Responses per minute among the last 60 s (by onset) whose onset lies in no event window.
    int nonSpecificRate() const { return int(nonSpecificOnsets_.size()); }
    int64_t responseCount() const { return count_; }
    const std::optional<SkinResponse>& lastResponse() const { return last_; }

  private:
    struct Point {
        int64_t index = 0; // reading number on the smoothed signal
        double value = 0;
    };
    struct Biquad {
        double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double s1 = 0, s2 = 0;
        void settle(double x);
        double step(double x);
    };
    struct PendingMarker {
        int64_t reading = 0;
        QString label;
        bool answered = false;
    };
    struct Waiting { // a confirmed response whose half recovery is not decided yet
        SkinResponse response;
        double halfLevel = 0;
        std::optional<int64_t> halfReading; // first smoothed value at or below halfLevel, moved back
    };
    enum class Phase { Falling, Rising };

    void startStretch(int64_t index, double conductance);
    void endStretch();
    void track(int64_t n, double y);
    void addRiseMinimum(const Point& m);
    void moveRiseWindow(int64_t peakIndex);
    bool climbs(const Point& lower, const Point& upper) const;
    std::optional<Point> onsetOfRise() const;
    int64_t earliestOnset(int64_t current) const;
    int onsetDelay(int64_t trough) const;
    double valueAt(int64_t index) const { return recent_[size_t(index) % recent_.size()]; }
    void judgePeak(int64_t n, double y);
    void endRise();
    void complete(std::optional<int64_t> halfReading);
    void decideMarkers(int64_t earliestOnset);

    Settings settings_;
    Listeners listeners_;
    int64_t windowStart_ = 0; // readings after the marker
    int64_t windowEnd_ = 0;
    Biquad stage1_, stage2_;
    std::array<double, kPeakDelay + 2> stepResponse_{}; // the smoothing's response to a unit step, by reading

    int64_t lastIndex_ = 0;
    bool inStretch_ = false;
    int64_t stretchStart_ = 0;
    std::optional<double> tonic_;
    double previous_ = 0, beforePrevious_ = 0; // the two smoothed values before the current one

    Phase phase_ = Phase::Falling;
    Point trough_;    // lowest point since the last peak (Falling) or of the rise (Rising)
    Point peak_;      // Rising: highest point since trough_
    Point afterPeak_; // Rising: lowest point since peak_
    // Rising: the rise's local minima up to the peak that lie below everything after them, oldest (and
    // lowest) first, within the longest rise before the peak: where the onset is chosen; and the newest
    // of those that fell out of that window.
    std::deque<Point> rise_;
    std::optional<Point> beforeWindow_;
    std::vector<Point> afterPeakMinima_; // Rising: local minima since the peak (at most 1 s of them)
    // The latest smoothed values by reading number (modulo the size): back to a little before the
    // earliest trough a rise judged now can have.
    std::array<double, kRecent> recent_{};

    std::optional<Waiting> waiting_;
    std::deque<PendingMarker> markers_;     // markers whose window may still hold an onset
    std::deque<int64_t> nonSpecificOnsets_; // onsets of the last 60 s outside every event window
    int64_t count_ = 0;
    std::optional<SkinResponse> last_;
};

} // namespace aurivo
