#pragma once
// The sound output of the program: Qt Multimedia's QAudioSink on the system's default output (PulseAudio,
// or PipeWire through its PulseAudio service), pulling from the generator on the window's thread.

#include "app/AudioSink.h"

#include <memory>

class QAudioSink;

namespace aurivo {

class QtAudioSink : public AudioSink {
  public:
    // Samples queued in the output: enough to ride over a busy tick, few enough that the pitch follows a
    // reading within a fifth of a second.
    static constexpr int kBufferMs = 100;

    QtAudioSink();
    ~QtAudioSink() override;

    QString start(QIODevice& source, int sampleRate) override;
    void stop() override;
    bool playing() const override;
    int underruns() const override { return underruns_; }

  private:
    std::unique_ptr<QAudioSink> sink_;
    int underruns_ = 0;
};

} // namespace aurivo
