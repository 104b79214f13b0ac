#include "analysis/ResponseDetector.h"

#include "core/NumberRules.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

namespace aurivo {

namespace {

constexpr double kCutoffHz = 3.0;

// A low-pass biquad by the bilinear transform (cut-off pre-warped), quality q. A 4th-order Butterworth is
// two of them with q = 1 / (2 cos(pi/8)) and 1 / (2 cos(3 pi/8)).
template <typename Biquad> void designLowPass(Biquad& f, double q) {
    const double k = std::tan(std::numbers::pi * kCutoffHz / ResponseDetector::kSampleRate);
    const double norm = 1.0 / (1.0 + k / q + k * k);
    f.b0 = k * k * norm;
    f.b1 = 2.0 * f.b0;
    f.b2 = f.b0;
    f.a1 = 2.0 * (k * k - 1.0) * norm;
    f.a2 = (1.0 - k / q + k * k) * norm;
}

int64_t readingsOf(double seconds) {
    return int64_t(std::lround(seconds * ResponseDetector::kSampleRate));
}

} // namespace

// A rise is judged at most kPeakWait readings after its peak, its trough lies at most kRiseLongest +
// kPeakDelay readings before the peak, and the rates around the trough reach 8 readings further back.
static_assert(ResponseDetector::kRecent > ResponseDetector::kPeakWait + ResponseDetector::kRiseLongest +
                                              ResponseDetector::kPeakDelay + 8);

// Transposed direct form II; settle() puts the state where a constant input x has left it, so a stretch
// starts without the filter's step response.
void ResponseDetector::Biquad::settle(double x) {
    s2 = (b2 - a2) * x;
    s1 = (b1 - a1) * x + s2;
}

double ResponseDetector::Biquad::step(double x) {
    const double y = b0 * x + s1;
    s1 = b1 * x - a1 * y + s2;
    s2 = b2 * x - a2 * y;
    return y;
}

ResponseDetector::ResponseDetector(const Settings& settings, Listeners listeners)
    : settings_(settings), listeners_(std::move(listeners)) {
    double& amplitude = settings_.minAmplitudeUs;
    amplitude = std::isfinite(amplitude) ? std::clamp(amplitude, kMinAmplitudeLowest, kMinAmplitudeHighest)
                                         : kMinAmplitudeDefault;
    double& from = settings_.windowStartSeconds;
    double& to = settings_.windowEndSeconds;
    from = std::isfinite(from) ? std::clamp(from, 0.0, kWindowLongest) : 1.0;
    to = std::isfinite(to) ? std::clamp(to, from, kWindowLongest) : std::max(from, 4.0);
    windowStart_ = readingsOf(from);
    windowEnd_ = readingsOf(to);
    designLowPass(stage1_, 1.0 / (2.0 * std::cos(std::numbers::pi / 8)));
    designLowPass(stage2_, 1.0 / (2.0 * std::cos(3 * std::numbers::pi / 8)));
    Biquad first = stage1_, second = stage2_;
    for (double& s : stepResponse_)
        s = second.step(first.step(1.0));
}

std::optional<double> ResponseDetector::microsiemens(int32_t value) {
    if (value < 1 || value > 16382) return std::nullopt;
    return 1000000.0 / numbers::ohmsFromReading(value);
}

double ResponseDetector::stepAt(double microsiemens) {
    const double ohms = 1000000.0 / microsiemens;
    const double headroom = numbers::kFullScale * ohms / (ohms + numbers::kReferenceOhms); // 16383 - reading
    return 1000000.0 * numbers::kFullScale / (numbers::kReferenceOhms * headroom * headroom);
}

void ResponseDetector::addReading(int64_t index, int32_t value) {
    if (index <= lastIndex_) return;
    const bool follows = inStretch_ && index == lastIndex_ + 1;
    lastIndex_ = index;
    while (!nonSpecificOnsets_.empty() && nonSpecificOnsets_.front() <= index - kRateSpan)
        nonSpecificOnsets_.pop_front();
    const std::optional<double> conductance = microsiemens(value);
    if (!conductance) {
        endStretch();
        decideMarkers(index + 1);
        return;
    }
    if (!follows) {
        endStretch();
        startStretch(index, *conductance);
    }
    const double y = stage2_.step(stage1_.step(*conductance));
    tonic_ = y;
    track(index, y);
    beforePrevious_ = previous_;
    previous_ = y;
}

void ResponseDetector::addMarker(int64_t reading, const QString& label) {
    markers_.push_back({reading, label, false});
    // A marker added after its window has passed (not in a running session) is answered at once.
    decideMarkers(inStretch_ ? earliestOnset(lastIndex_) : lastIndex_ + 1);
}

void ResponseDetector::finish() {
    endStretch();
    decideMarkers(std::numeric_limits<int64_t>::max());
}

void ResponseDetector::startStretch(int64_t index, double conductance) {
    stage1_.settle(conductance);
    stage2_.settle(conductance);
    inStretch_ = true;
    stretchStart_ = index;
    previous_ = beforePrevious_ = conductance;
    phase_ = Phase::Falling;
    trough_ = {index, conductance};
}

void ResponseDetector::endStretch() {
    tonic_.reset();
    if (!inStretch_) return;
    inStretch_ = false;
    // No onset can follow within the stretch, so a half level already reached stands.
    if (waiting_) complete(waiting_->halfReading);
}

void ResponseDetector::track(int64_t n, double y) {
    recent_[size_t(n) % recent_.size()] = y;
    if (waiting_ && !waiting_->halfReading && y <= waiting_->halfLevel)
        waiting_->halfReading = n - kPeakDelay;

    if (phase_ == Phase::Falling) {
        if (y <= trough_.value) {
            trough_ = {n, y};
        } else {
            phase_ = Phase::Rising;
            peak_ = afterPeak_ = {n, y};
            rise_.clear();
            beforeWindow_.reset();
            afterPeakMinima_.clear();
            rise_.push_back(trough_); // a local minimum, unless the stretch began there (see judgePeak)
        }
    } else {
        // A local minimum found now lies after the peak; it joins the rise if the rise goes higher.
        if (n - 1 > stretchStart_ && beforePrevious_ >= previous_ && previous_ < y)
            afterPeakMinima_.push_back({n - 1, previous_});
        if (y > peak_.value) {
            for (const Point& m : afterPeakMinima_)
                addRiseMinimum(m);
            afterPeakMinima_.clear();
            peak_ = afterPeak_ = {n, y};
            moveRiseWindow(peak_.index);
        } else {
            if (y <= afterPeak_.value) afterPeak_ = {n, y};
            // A clear fall, or 1 s without a higher value: the peak is certain.
            if (peak_.value - y >= kPeakMargin || n - peak_.index >= kPeakWait) {
                judgePeak(n, y);
                endRise();
            } else if (y < trough_.value) { // the rise came to nothing: still falling
                phase_ = Phase::Falling;
                trough_ = {n, y};
            }
        }
    }

    const int64_t earliest = earliestOnset(n);
    // A half level reached before every onset still to come is final.
    if (waiting_ && waiting_->halfReading && earliest > *waiting_->halfReading)
        complete(waiting_->halfReading);
    decideMarkers(earliest);
}

void ResponseDetector::addRiseMinimum(const Point& m) {
    while (!rise_.empty() && rise_.back().value >= m.value)
        rise_.pop_back();
    if (rise_.empty() && beforeWindow_ && beforeWindow_->value >= m.value) beforeWindow_.reset();
    rise_.push_back(m);
}

void ResponseDetector::moveRiseWindow(int64_t peakIndex) {
    const int64_t peakReading = peakIndex - kPeakDelay;
    while (!rise_.empty() && peakReading - rise_.front().index > kRiseLongest) {
        beforeWindow_ = rise_.front();
        rise_.pop_front();
    }
}

// Whether the rise's local minimum `upper` stands clearly above the earlier `lower`: by kOnsetStep and by
// kOnsetShare of what remains of the rise above `lower`.
bool ResponseDetector::climbs(const Point& lower, const Point& upper) const {
    return upper.value - lower.value >= std::max(kOnsetStep, kOnsetShare * (peak_.value - lower.value));
}

// The onset: walking up the rise's local minima from the lowest, the last one before the first clear
// climb. Smaller steps are the noise and drift of the level the response rises from; the onset is where
// the signal leaves that level, not where the noise happened to be lowest.
std::optional<ResponseDetector::Point> ResponseDetector::onsetOfRise() const {
    if (rise_.empty()) return std::nullopt;
    // A climb that was already under way when the window began has taken longer than a response may.
    if (beforeWindow_ && climbs(*beforeWindow_, rise_.front())) return std::nullopt;
    size_t i = 0;
    while (i + 1 < rise_.size() && !climbs(rise_[i], rise_[i + 1]))
        ++i;
    return rise_[i];
}

// The earliest onset that a response confirmed from now on can have; `current` is the latest reading,
// which may still turn out to be a local minimum.
int64_t ResponseDetector::earliestOnset(int64_t current) const {
    int64_t index = current;
    if (phase_ == Phase::Falling)
        index = trough_.index;
    else if (!rise_.empty())
        index = rise_.front().index;
    else if (!afterPeakMinima_.empty())
        index = afterPeakMinima_.front().index;
    return std::max(index - kPeakDelay, stretchStart_ + 1); // an onset may be moved back by up to that
}

// How much later the smoothing shows the trough than it happened. Where the signal falls at a rate d
// into a rise at a rate u, the smoothed slope is -d + (d + u) S(t), S the filter's step response, so its
// minimum comes when S reaches d / (d + u): at once after a flat stretch, some readings late on the
// steep fall of an earlier response. The rates are taken away from the bend, where the smoothing has
// settled.
int ResponseDetector::onsetDelay(int64_t trough) const {
    const int64_t before = trough - 8, after = std::min(trough + 7, peak_.index);
    if (before <= stretchStart_ || after - 4 <= trough) return 0;
    const double fall = std::max(0.0, (valueAt(before) - valueAt(before + 4)) / 4);
    const double rise = std::max(0.0, (valueAt(after) - valueAt(after - 4)) / 4);
    if (fall <= 0 || rise <= 0) return 0;
    const double share = fall / (fall + rise);
    int delay = 0;
    while (delay < kPeakDelay && stepResponse_[size_t(delay) + 1] < share)
        ++delay;
    // The crossing lies between two readings: the nearer one.
    if (delay < kPeakDelay && share - stepResponse_[size_t(delay)] > stepResponse_[size_t(delay) + 1] - share)
        ++delay;
    return delay;
}

void ResponseDetector::endRise() {
    phase_ = Phase::Falling;
    trough_ = afterPeak_;
}

// Scores the rise up to the current peak and reports it when it is a response.
void ResponseDetector::judgePeak(int64_t n, double y) {
    const std::optional<Point> onset = onsetOfRise();
    if (!onset || onset->index <= stretchStart_) return; // no local minimum seen before the rise
    // The peak's level is the mean of the readings around it (0.25 s): the highest value alone would add
    // the noise at the top to the amplitude.
    double top = 0;
    int64_t count = 0;
    for (int64_t i = peak_.index - 2; i <= std::min(peak_.index + 2, n); ++i, ++count)
        top += valueAt(i);
    top /= double(count);
    SkinResponse r;
    r.amplitudeUs = top - onset->value;
    // The rise begins where the signal leaves the trough's level for good: noise may lift it a little
    // before the response does.
    const double level = onset->value + std::min(kPeakMargin, r.amplitudeUs / 10);
    int64_t departure = onset->index;
    while (departure + 1 < peak_.index && valueAt(departure + 1) <= level)
        ++departure;
    r.onsetReading = departure - onsetDelay(onset->index);
    r.peakReading = peak_.index - kPeakDelay;
    const int64_t rise = r.peakReading - r.onsetReading;
    if (r.amplitudeUs - stepAt(onset->value) < settings_.minAmplitudeUs || rise < kRiseShortest ||
        rise > kRiseLongest)
        return;
    r.onsetSeconds = secondsOf(r.onsetReading);
    r.peakSeconds = secondsOf(r.peakReading);
    r.riseSeconds = double(rise) / kSampleRate;

    // The earlier response's half level counts only when reached before this onset.
    if (waiting_)
        complete(waiting_->halfReading && *waiting_->halfReading < r.onsetReading ? waiting_->halfReading
                                                                                  : std::nullopt);
    bool inWindow = false;
    QStringList labels;
    std::vector<MarkerResponse> answers;
    for (PendingMarker& marker : markers_) {
        if (r.onsetReading < marker.reading + windowStart_ || r.onsetReading > marker.reading + windowEnd_)
            continue;
        inWindow = true;
        if (marker.answered) continue;
        marker.answered = true;
        labels << marker.label;
        answers.push_back({marker.reading, marker.label, std::nullopt});
    }
    r.marker = labels.join(QStringLiteral("; "));
    if (!inWindow) nonSpecificOnsets_.push_back(r.onsetReading);
    ++count_;
    last_ = r;
    const double halfLevel = onset->value + r.amplitudeUs / 2;
    waiting_ = Waiting{r, halfLevel, y <= halfLevel ? std::optional<int64_t>(n - kPeakDelay) : std::nullopt};
    if (listeners_.confirmed) listeners_.confirmed(r);
    for (MarkerResponse& answer : answers) {
        answer.response = r;
        if (listeners_.markerAnswered) listeners_.markerAnswered(answer);
    }
}

void ResponseDetector::complete(std::optional<int64_t> halfReading) {
    SkinResponse r = std::move(waiting_->response);
    if (halfReading) r.halfRecoverySeconds = double(*halfReading - r.peakReading) / kSampleRate;
    waiting_.reset();
    if (listeners_.completed) listeners_.completed(r);
}

void ResponseDetector::decideMarkers(int64_t earliestOnset) {
    if (markers_.empty()) return;
    // Taken out first and told after, so a listener may add a marker.
    std::vector<MarkerResponse> unanswered;
    std::erase_if(markers_, [&](const PendingMarker& marker) {
        if (marker.reading + windowEnd_ >= earliestOnset) return false;
        if (!marker.answered) unanswered.push_back({marker.reading, marker.label, std::nullopt});
        return true;
    });
    for (const MarkerResponse& answer : unanswered)
        if (listeners_.markerAnswered) listeners_.markerAnswered(answer);
}

} // namespace aurivo
