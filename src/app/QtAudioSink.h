#pragma once
// The sound output of the program: Qt Multimedia's QAudioSink on the system's default output (PulseAudio,
// or PipeWire through its PulseAudio service), pulling from the generator on the window's thread.

#include "app/AudioSink.h"

#include <memory>

class QAudioSink;

namespace aurivo {

class QtAudioSink : public AudioSink {
  public:
    // Samples queued in the output: enough to ride over a busy tick (100 ms underran on a loaded 2-core
    // machine), few enough that the pitch follows a reading within a fifth of a second (160 ms measured
    // from a reading to its pitch, glide included).
    static constexpr int kBufferMs = 200;

    QtAudioSink();
    ~QtAudioSink() override;

    QString start(QIODevice& source, int sampleRate) override;
    void stop() override;
    bool playing() const override;
    int queuedMs() const override { return kBufferMs; }
    int underruns() const override { return underruns_; }

  private:
    std::unique_ptr<QAudioSink> sink_;
    int underruns_ = 0;
};

} // namespace aurivo
