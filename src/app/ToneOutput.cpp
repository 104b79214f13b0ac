#include "app/ToneOutput.h"

#include "app/SessionControl.h"
#include "core/MessageBoxes.h"
#include "core/NumberRules.h"
#include "sound/TonePitch.h"

#include <cmath>

namespace aurivo {

ToneOutput::ToneOutput(const SessionControl& sessions, const QString& folder, MessageBoxes& boxes,
                       std::unique_ptr<AudioSink> sink)
    : sessions_(sessions), folder_(folder), boxes_(boxes), sink_(std::move(sink)),
      settings_(ToneSettings::load(folder)) {
    generator_.setVolume(settings_.volumePercent / 100.0);
    // The output stops from the event loop, not from inside its own read of the samples.
    QObject::connect(
        &generator_, &ToneGenerator::fadedOut, &generator_, [this] { stopWhenQuiet(); },
        Qt::QueuedConnection);
    sink_->failed = [this](const QString& why) { giveUp(why); };
    drain_.setSingleShot(true);
    QObject::connect(&drain_, &QTimer::timeout, &generator_, [this] {
        if (!wanted() && generator_.silent()) sink_->stop();
    });
}

ToneOutput::~ToneOutput() {
    drain_.stop();
    sink_->failed = nullptr;
    sink_->stop();
}

void ToneOutput::startUp() {
    if (!settings_.enabled) return;
    // A short look: the output starts and stops again; the session starts it for real.
    if (sessions_.running()) {
        play();
        return;
    }
    const QString why = sink_->start(generator_, generator_.sampleRate());
    sink_->stop();
    if (!why.isEmpty()) giveUp(why);
}

void ToneOutput::applySettings(const ToneSettings& settings) {
    const bool on = settings_.enabled;
    settings_ = settings.limited();
    settings_.enabled = on;
    generator_.setVolume(settings_.volumePercent / 100.0);
    keep();
    changed.notify();
}

void ToneOutput::setEnabled(bool on) {
    if (settings_.enabled == on) return;
    settings_.enabled = on;
    keep();
    if (on) {
        // Turning the tone on is the user asking again: the output is tried again, and a missing one told.
        told_ = gaveUp_ = false;
        play();
    } else {
        generator_.fadeOut();
        stopWhenQuiet();
    }
    changed.notify();
}

void ToneOutput::setMuted(bool muted) {
    if (generator_.muted() == muted) return;
    generator_.setMuted(muted);
    changed.notify();
}

std::optional<double> ToneOutput::startConductance() const {
    if (!sessions_.awaitingStartValue()) {
        const double ohms = numbers::ohmsFromReading(sessions_.startReading());
        const double g = ohms != 0 ? 1000000.0 / ohms : 0.0;
        if (std::isfinite(g) && g > 0) return g;
    }
    return firstConductance_;
}

void ToneOutput::sessionStarted(const QString& baseName) {
    static_cast<void>(baseName);
    firstConductance_.reset();
    pitch_.reset();
    generator_.restart();
    gaveUp_ = false;
    play();
}

void ToneOutput::readingRecorded(const RecordedReading& reading) {
    if (!sessions_.running()) return;
    if (reading.reading.probeError()) {
        generator_.fadeOut();
        return;
    }
    const double g = reading.microsiemens;
    if (!(std::isfinite(g) && g > 0)) return;
    if (!firstConductance_) firstConductance_ = g;
    const std::optional<double> g0 = startConductance();
    pitch_ = g0 ? TonePitch::frequency(g, *g0, settings_) : std::nullopt;
    if (!pitch_ || !settings_.enabled) return;
    play();
    generator_.setPitch(*pitch_);
}

void ToneOutput::sessionStopped() {
    generator_.fadeOut();
    stopWhenQuiet();
}

bool ToneOutput::wanted() const {
    return settings_.enabled && sessions_.running();
}

void ToneOutput::play() {
    if (!wanted() || sink_->playing() || gaveUp_) return;
    const QString why = sink_->start(generator_, generator_.sampleRate());
    if (why.isEmpty())
        told_ = false;
    else
        giveUp(why);
}

void ToneOutput::stopWhenQuiet() {
    if (wanted() || !sink_->playing()) return;
    // Before the fade-out has been made, its end calls here again.
    if (!generator_.silent()) return;
    if (sink_->queuedMs() <= 0)
        sink_->stop();
    else
        drain_.start(sink_->queuedMs() + 50);
}

void ToneOutput::giveUp(const QString& why) {
    gaveUp_ = true;
    generator_.restart();
    if (told_) return;
    told_ = true;
    boxes_.notify(QStringLiteral("No sound output was found: %1.\r\nThe tone stays silent; sessions are "
                                 "shown and recorded as before.")
                      .arg(why),
                  MessageBoxes::title(), MessageBoxes::Icon::Warning);
}

void ToneOutput::keep() {
    // A folder that cannot hold files was told at start-up; the choice then lasts until the program ends.
    static_cast<void>(settings_.save(folder_));
}

} // namespace aurivo
