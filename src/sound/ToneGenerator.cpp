#include "sound/ToneGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace aurivo {

namespace {
constexpr double kTurn = 2.0 * std::numbers::pi;

int64_t samplesOf(double seconds, int rate) {
    return std::max<int64_t>(1, std::llround(seconds * rate));
}
} // namespace

ToneGenerator::ToneGenerator(int sampleRate, QObject* parent)
    : QIODevice(parent), rate_(std::max(sampleRate, 1000)), glideSamples_(samplesOf(kGlideSeconds, rate_)),
      fadeSamples_(samplesOf(kFadeSeconds, rate_)), quietAfterSamples_(samplesOf(kQuietAfterSeconds, rate_)) {
    // Unbuffered: a read makes just the samples asked for, so none wait ahead of the output's own buffer.
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

void ToneGenerator::setPitch(double hz) {
    if (!std::isfinite(hz) || hz <= 0) return;
    sincePitch_ = 0;
    wanted_ = true;
    if (!hasPitch_ || silent()) {
        // Nothing sounds: the tone starts at its pitch, and the fade-in hides the start.
        frequency_ = target_ = hz;
        glideLeft_ = 0;
    } else {
        // A glide even in the pitch's logarithm: every step of it is the same musical interval.
        target_ = hz;
        glideLeft_ = glideSamples_;
        glideRatio_ = std::pow(hz / frequency_, 1.0 / double(glideSamples_));
    }
    hasPitch_ = true;
    aimAmplitude();
}

void ToneGenerator::fadeOut() {
    wanted_ = false;
    aimAmplitude();
}

void ToneGenerator::restart() {
    wanted_ = hasPitch_ = false;
    frequency_ = target_ = 0;
    glideLeft_ = 0;
    amplitude_ = amplitudeTarget_ = amplitudeStep_ = 0;
    fadedOutPending_ = false;
}

void ToneGenerator::setVolume(double fraction) {
    volume_ = std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
    aimAmplitude();
}

void ToneGenerator::setMuted(bool muted) {
    muted_ = muted;
    aimAmplitude();
}

void ToneGenerator::aimAmplitude() {
    const double target = wanted_ && !muted_ ? volume_ : 0.0;
    if (target == amplitudeTarget_) return;
    if (target == 0 && amplitude_ > 0) fadedOutPending_ = true;
    amplitudeTarget_ = target;
    // Any change of amplitude takes the fade's time, whatever its size.
    amplitudeStep_ = (target - amplitude_) / double(fadeSamples_);
}

void ToneGenerator::render(int16_t* out, int64_t count) {
    for (int64_t i = 0; i < count; ++i) {
        ++made_;
        if (wanted_ && ++sincePitch_ >= quietAfterSamples_) {
            wanted_ = false;
            aimAmplitude();
        }
        if (amplitude_ == 0 && amplitudeTarget_ == 0) {
            out[i] = 0;
            continue;
        }
        out[i] = int16_t(std::lrint(amplitude_ * kFullScale * std::sin(phase_)));
        phase_ += kTurn * frequency_ / rate_;
        if (phase_ >= kTurn) phase_ -= kTurn;
        if (glideLeft_ > 0) frequency_ = --glideLeft_ == 0 ? target_ : frequency_ * glideRatio_;
        if (amplitude_ != amplitudeTarget_) {
            amplitude_ += amplitudeStep_;
            if ((amplitudeStep_ > 0 && amplitude_ >= amplitudeTarget_) ||
                (amplitudeStep_ <= 0 && amplitude_ <= amplitudeTarget_))
                amplitude_ = amplitudeTarget_;
        }
    }
    if (fadedOutPending_ && silent()) {
        fadedOutPending_ = false;
        emit fadedOut();
    }
}

qint64 ToneGenerator::bytesAvailable() const {
    // An endless source: there is always a whole buffer of samples to read.
    return QIODevice::bytesAvailable() + qint64(rate_) * qint64(sizeof(int16_t));
}

qint64 ToneGenerator::readData(char* data, qint64 maxSize) {
    // The caller's buffer need not be aligned for 16-bit samples: they are made in a buffer of our own.
    int16_t block[512];
    qint64 done = 0;
    const qint64 samples = maxSize / qint64(sizeof(int16_t));
    for (qint64 left = samples; left > 0;) {
        const qint64 n = std::min<qint64>(left, qint64(std::size(block)));
        render(block, n);
        std::memcpy(data + done, block, size_t(n) * sizeof(int16_t));
        done += n * qint64(sizeof(int16_t));
        left -= n;
    }
    return done;
}

qint64 ToneGenerator::writeData(const char* data, qint64 maxSize) {
    static_cast<void>(data);
    static_cast<void>(maxSize);
    return -1;
}

} // namespace aurivo
