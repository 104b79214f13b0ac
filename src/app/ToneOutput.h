#pragma once
// The tone that follows the skin's conductance: a listener at the end of the reading pipeline that turns
// each recorded reading into a pitch for the generator, and plays the generator through a sound output
// while the tone is on and a session runs. No sound output, or one that fails, is told once and changes
// nothing else: the session and its files go on as without a tone.

#include "app/AudioSink.h"
#include "core/ChangeSignal.h"
#include "core/ReadingListener.h"
#include "sound/ToneGenerator.h"
#include "sound/ToneSettings.h"

#include <QTimer>
#include <memory>
#include <optional>

namespace aurivo {

class SessionControl;
class MessageBoxes;

class ToneOutput : public ReadingListener {
  public:
    // Reads its settings from the program's folder and keeps them there; follows the session's running
    // state. It hears the readings once added as a listener of the monitor.
    ToneOutput(const SessionControl& sessions, const QString& folder, MessageBoxes& boxes,
               std::unique_ptr<AudioSink> sink);
    ~ToneOutput() override;
    ToneOutput(const ToneOutput&) = delete;
    ToneOutput& operator=(const ToneOutput&) = delete;

    // Start-up: a tone left on finds out now whether there is a sound output, and says once if not.
    void startUp();

    const ToneSettings& settings() const { return settings_; }
    // The tone box's OK: the new settings (all but on or off) take effect at once and are kept.
    void applySettings(const ToneSettings& settings);
    bool enabled() const { return settings_.enabled; }
    // Session > Tone (Ctrl+T).
    void setEnabled(bool on);
    bool muted() const { return generator_.muted(); }
    // Session > Mute tone (Ctrl+M); not kept: every start of the program is unmuted.
    void setMuted(bool muted);

    // The pitch the last reading asked for (none before the first of a session).
    std::optional<double> pitch() const { return pitch_; }
    // The start value's conductance the pitches are relative to.
    std::optional<double> startConductance() const;
    bool playing() const { return sink_->playing(); }
    int underruns() const { return sink_->underruns(); }
    const ToneGenerator& generator() const { return generator_; }
    ToneGenerator& generator() { return generator_; }

    ChangeSignal changed; // on, muted or the settings changed

    // ReadingListener
    void sessionStarted(const QString& baseName) override;
    void readingRecorded(const RecordedReading& reading) override;
    void sessionStopped() override;

  private:
    bool wanted() const;
    // Starts the output when the tone is wanted and it is not playing, unless it failed in this session.
    void play();
    // Stops the output once the tone has faded out and the fade has been played, when it is no longer
    // wanted.
    void stopWhenQuiet();
    // No output, or it failed: silence until the next session or the tone turned on again; told once.
    void giveUp(const QString& why);
    void keep();

    const SessionControl& sessions_;
    QString folder_;
    MessageBoxes& boxes_;
    std::unique_ptr<AudioSink> sink_;
    ToneGenerator generator_;
    QTimer drain_; // the queued end of a fade-out plays before the output stops
    ToneSettings settings_;
    std::optional<double> firstConductance_; // of the session's first reading, until the start settles
    std::optional<double> pitch_;
    bool told_ = false;   // the user was told why there is no sound output
    bool gaveUp_ = false; // the output failed: not tried again in this session
};

} // namespace aurivo
