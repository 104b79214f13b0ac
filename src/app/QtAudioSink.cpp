#include "app/QtAudioSink.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace aurivo {

namespace {
QString errorText(QAudio::Error error) {
    switch (error) {
    case QAudio::NoError:
        return QString();
    case QAudio::OpenError:
        return QStringLiteral("the sound output could not be opened");
    case QAudio::IOError:
        return QStringLiteral("the sound output stopped taking samples");
    case QAudio::UnderrunError:
        return QStringLiteral("the sound output ran out of samples");
    case QAudio::FatalError:
        return QStringLiteral("the sound output is no longer usable");
    }
    return QStringLiteral("the sound output failed");
}
} // namespace

QtAudioSink::QtAudioSink() = default;

QtAudioSink::~QtAudioSink() {
    stop();
}

QString QtAudioSink::start(QIODevice& source, int sampleRate) {
    stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return QStringLiteral("the system offers no sound output (no sound server such as PulseAudio or "
                              "PipeWire is running, or it has no output device)");
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return QStringLiteral("the output \"%1\" cannot play 16-bit mono sound at %2 Hz")
            .arg(device.description())
            .arg(sampleRate);
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->setBufferSize(qsizetype(format.bytesForDuration(qint64(kBufferMs) * 1000)));
    QAudioSink* sink = sink_.get();
    QObject::connect(sink, &QAudioSink::stateChanged, sink, [this, sink](QAudio::State state) {
        if (sink_.get() != sink) return; // one already given up
        if (state == QAudio::IdleState && sink->error() == QAudio::UnderrunError) ++underruns_;
        if (state == QAudio::StoppedState && sink->error() != QAudio::NoError) {
            const QString why = errorText(sink->error());
            // The sink is deleted later: this runs inside its own signal.
            sink_.release()->deleteLater();
            if (failed) failed(why);
        }
    });
    sink_->start(&source);
    if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
        const QString why = errorText(sink_->error());
        sink_.reset();
        return why.isEmpty() ? QStringLiteral("the sound output did not start") : why;
    }
    return QString();
}

void QtAudioSink::stop() {
    if (!sink_) return;
    sink_->disconnect();
    sink_->stop();
    sink_.reset();
}

bool QtAudioSink::playing() const {
    return sink_ != nullptr;
}

} // namespace aurivo
