#pragma once
// Where the tone's samples go: the Qt sound output in the program, a fake in tests. The sink pulls
// 16-bit mono samples at the generator's rate from a QIODevice and never blocks the caller.

#include <QString>
#include <functional>

class QIODevice;

namespace aurivo {

class AudioSink {
  public:
    virtual ~AudioSink() = default;
    // Starts pulling from `source` (sampleRate samples a second); returns an empty text, or why no sound
    // can be played (no output device, the sound server refused the stream).
    virtual QString start(QIODevice& source, int sampleRate) = 0;
    // Stops at once: what is queued in the output is not played.
    virtual void stop() = 0;
    // How long the samples the output has queued take to play: a stop waits that long after the last
    // sound, so that the end of a fade-out is heard rather than cut off.
    virtual int queuedMs() const = 0;
    virtual bool playing() const = 0;
    // Times the output ran out of samples while playing (an underrun), since the program started.
    virtual int underruns() const = 0;

    // Set by the owner: the output failed while playing, and why. The sink has stopped itself.
    std::function<void(const QString&)> failed;
};

} // namespace aurivo
