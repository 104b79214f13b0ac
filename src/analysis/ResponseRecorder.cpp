#include "analysis/ResponseRecorder.h"

#include "analysis/ResponseTable.h"
#include "core/SafeFile.h"
#include "recording/SessionFiles.h"
#include "recording/SessionMarkers.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <cerrno>
#include <unistd.h>

namespace aurivo {

namespace {

QString scrFailure(const QString& path, const QString& reason) {
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
}

} // namespace

ResponseRecorder::ResponseRecorder(const SessionFiles& files, SessionMarkers& markers)
    : files_(files), markers_(markers) {
    markers_.changed.subscribe([this] { feedNewMarkers(); });
}

ResponseRecorder::~ResponseRecorder() = default;

QString ResponseRecorder::pathForBase(const QString& basePath) {
    return basePath + QStringLiteral(".scr");
}

bool ResponseRecorder::append(const QString& path, const QByteArray& bytes, QString& reason) {
    SafeFile file;
    const bool existed = file.open(path, SafeFile::Mode::Existing);
    if (!existed && (file.error() != ENOENT || !file.open(path, SafeFile::Mode::Exclusive))) {
        reason = scrFailure(path, file.reason());
        return false;
    }
    const qint64 size = existed ? file.size() : 0;
    if (size < 0) {
        reason = scrFailure(path, file.reason());
        return false;
    }
    QByteArray out;
    if (size == 0) {
        out = ResponseTable::header();
    } else {
        // An unfinished line left by a crash stays on its own, so the next line is not lost with it.
        char last = 0;
        if (file.readAt(size - 1, &last, 1) != 1) {
            reason = scrFailure(path, file.reason());
            return false;
        }
        if (last != '\n') out = "\r\n";
    }
    out += bytes;
    if (!file.writeAt(size, out)) {
        reason = scrFailure(path, file.reason());
        // What was written in part is taken back, so the file holds no half line.
        if (!file.truncate(size)) reason += QStringLiteral(" (an unfinished line remains)");
        return false;
    }
    if (!file.close()) {
        reason = scrFailure(path, file.reason());
        return false;
    }
    return true;
}

void ResponseRecorder::sessionStarted(const QString& baseName) {
    baseName_ = baseName;
    running_ = true;
    // The markers listed now are the last session's, until the new session's start clears them: they
    // have no window in this one.
    newDetector(markers_.markers().size());
}

void ResponseRecorder::newDetector(size_t markersBefore) {
    detector_ = std::make_unique<ResponseDetector>(settings_);
    detector_->setListeners({[this](const SkinResponse& response) { confirm(response); },
                             [this](const SkinResponse& response) { complete(response); },
                             [this](const MarkerResponse& marker) { answer(marker); }});
    lastRecord_ = 0;
    told_ = false;
    path_.clear();
    markersFed_ = markersBefore;
    peaks_.clear();
    answers_.clear();
    answerReadings_.clear();
    // Restart begins a new detector at the first reading after it: the markers set since then (at
    // reading 0) go to it.
    feedNewMarkers();
    changed.notify();
}

void ResponseRecorder::confirm(const SkinResponse& response) {
    peaks_.push_back(response.peakReading);
    if (confirmedListener_) confirmedListener_(response);
    changed.notify();
}

void ResponseRecorder::complete(SkinResponse response) {
    // The markers it answers under their names now: a marker named after it was set (from the prompt, or
    // by the lab link) is written as the marker file holds it, as the table of the saved session gives it.
    if (!response.marker.isEmpty()) {
        const std::vector<Marker>& markers = markers_.markers();
        QStringList labels;
        for (size_t i = 0; i < answers_.size() && i < markers.size(); ++i) {
            const std::optional<SkinResponse>& r = answers_[i].response;
            if (r && r->onsetReading == response.onsetReading) labels << markers[i].label;
        }
        if (!labels.isEmpty()) response.marker = labels.join(QStringLiteral("; "));
    }
    write(ResponseTable::line(response));
}

void ResponseRecorder::answer(const MarkerResponse& marker) {
    // Markers at one reading share their window and are answered in the order they were set.
    for (size_t i = 0; i < answers_.size(); ++i) {
        if (answers_[i].decided || answerReadings_[i] != marker.markerReading) continue;
        answers_[i] = MarkerAnswer{true, marker.response};
        changed.notify();
        return;
    }
}

void ResponseRecorder::startFile() {
    // The session's files are open once its first reading is stored; a session that records nothing
    // (its folder cannot hold files) has no response file.
    if (!files_.recordingReadings()) return;
    path_ = pathForBase(files_.filePath(baseName_));
    // The file an earlier session left under this name goes now, so it is never taken for this one's.
    const QByteArray name = QFile::encodeName(path_);
    if (::unlink(name.constData()) != 0 && errno != ENOENT) {
        const QString reason = scrFailure(path_, SafeFile::describe(errno));
        path_.clear();
        told_ = true;
        if (tell_) tell_(QStringLiteral("The responses could not be written.\r\n") + reason);
    }
}

void ResponseRecorder::readingRecorded(const RecordedReading& reading) {
    if (!running_) return;
    // Restart begins the session again under its name, its records from 1 and its markers anew.
    if (lastRecord_ > 0 && reading.record <= lastRecord_) newDetector(0);
    if (lastRecord_ == 0) startFile();
    lastRecord_ = reading.record;
    detector_->addReading(reading.record, reading.filtered);
}

void ResponseRecorder::sessionStopped() {
    if (!running_) return;
    running_ = false;
    detector_->finish();
}

void ResponseRecorder::feedNewMarkers() {
    const std::vector<Marker>& markers = markers_.markers();
    if (markers.size() < markersFed_) { // a new session's markers
        markersFed_ = 0;
        answers_.clear();
        answerReadings_.clear();
    }
    if (!running_) {
        markersFed_ = markers.size();
        return;
    }
    for (; markersFed_ < markers.size(); ++markersFed_) {
        answers_.emplace_back();
        answerReadings_.push_back(markers[markersFed_].reading);
        detector_->addMarker(markers[markersFed_].reading, markers[markersFed_].label);
    }
}

void ResponseRecorder::write(const QByteArray& bytes) {
    // Once the session's recording has stopped (and said why), its response file stops with it.
    if (path_.isEmpty() || !files_.recordingReadings()) return;
    QString reason;
    if (append(path_, bytes, reason) || told_) return;
    told_ = true;
    if (tell_) tell_(QStringLiteral("The responses could not be written.\r\n") + reason);
}

} // namespace aurivo
