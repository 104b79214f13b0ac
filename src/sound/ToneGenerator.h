#pragma once
// The tone's samples: 16-bit mono PCM made sample by sample, pulled by the sound output as a QIODevice.
// A phase-continuous sine whose pitch glides to each new pitch over 50 ms, whose amplitude fades in and
// out over 20 ms (at a start, a stop, a mute or a change of volume), and which fades out by itself when
// no new pitch came for 0.5 s of samples. Everything happens in sample time, so a test reads exactly the
// samples the sound output would play.

#include <QIODevice>
#include <cstdint>

namespace aurivo {

class ToneGenerator : public QIODevice {
    Q_OBJECT
  public:
    static constexpr int kDefaultRate = 48000;
    static constexpr double kGlideSeconds = 0.050;
    static constexpr double kFadeSeconds = 0.020;
    static constexpr double kQuietAfterSeconds = 0.5; // without a new pitch
    static constexpr double kFullScale = 32767.0;

    explicit ToneGenerator(int sampleRate = kDefaultRate, QObject* parent = nullptr);

    int sampleRate() const { return rate_; }

    // A reading's pitch: a silent tone starts at it and fades in; a sounding one glides to it.
    void setPitch(double hz);
    // A probe error, a stop, the tone turned off: fade out now.
    void fadeOut();
    // Forgets the pitch and falls silent at once (a new session starts from its own first pitch).
    void restart();
    // 0 to 1 of full scale; a change fades to the new volume.
    void setVolume(double fraction);
    double volume() const { return volume_; }
    void setMuted(bool muted);
    bool muted() const { return muted_; }

    // The pitch and amplitude (0 to 1 of full scale) of the next sample, and where they are going.
    double frequency() const { return frequency_; }
    double targetFrequency() const { return target_; }
    double amplitude() const { return amplitude_; }
    // Silent now and staying so until a new pitch or an unmute.
    bool silent() const { return amplitude_ == 0 && amplitudeTarget_ == 0; }
    int64_t samplesMade() const { return made_; }

    void render(int16_t* out, int64_t count);

    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override;

  signals:
    // A fade-out has reached silence (from inside a read: connect queued to act on the output).
    void fadedOut();

  protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

  private:
    void aimAmplitude();

    const int rate_;
    const int64_t glideSamples_, fadeSamples_, quietAfterSamples_;
    double volume_ = 0.5;
    bool muted_ = false;
    bool wanted_ = false; // a pitch came less than 0.5 s of samples ago and was not faded out since
    bool hasPitch_ = false;
    double frequency_ = 0, target_ = 0, glideRatio_ = 1;
    int64_t glideLeft_ = 0;
    double phase_ = 0; // radians, kept within one turn
    double amplitude_ = 0, amplitudeTarget_ = 0, amplitudeStep_ = 0;
    int64_t sincePitch_ = 0;
    int64_t made_ = 0;
    bool fadedOutPending_ = false;
};

} // namespace aurivo
