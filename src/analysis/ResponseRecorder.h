#pragma once
// Scores the running session's responses as it records: a listener at the end of the reading pipeline
// that gives each session a detector of its own, feeds it every recorded reading and each marker the
// moment it is set (a marker set at reading r comes right after reading r, as the saved session gives it
// to the offline table), and writes the response file <base>.scr beside the session's other files.
//
// The response file holds ResponseTable's header line and one line per response, written the moment the
// response is complete (its half recovery decided), so the file of a finished session equals the offline
// table of its saved readings and markers, line for line; a marker renamed before the line is written goes
// in under its new name. Like the marker file it is created with its
// first line: a session without responses has none (the file an earlier session left under the name is
// deleted with the session's first stored reading). Each line reaches the system in one write (no buffer
// in the program): a crash of the program loses no complete response. A write that fails is taken back,
// so the file never holds half a line; the first failure of a session is told, later ones are not. Once
// the session's recording has stopped (a full disk, told by the session's files), or when it records
// nothing (a folder that cannot hold files), no response file is written. Restart, which begins the
// session again under its name, begins its detector and its file again.

#include "analysis/ResponseDetector.h"
#include "core/ChangeSignal.h"
#include "core/ReadingListener.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace aurivo {

class SessionFiles;
class SessionMarkers;

class ResponseRecorder : public ReadingListener {
  public:
    ResponseRecorder(const SessionFiles& files, SessionMarkers& markers);
    ~ResponseRecorder() override;
    ResponseRecorder(const ResponseRecorder&) = delete;
    ResponseRecorder& operator=(const ResponseRecorder&) = delete;

    // The response file of the session whose files share basePath (folder and base name, no extension).
    static QString pathForBase(const QString& basePath);

    // The settings the next session is scored with; the running one keeps its own.
    void setSettings(const ResponseDetector::Settings& settings) { settings_ = settings; }
    const ResponseDetector::Settings& settings() const { return settings_; }
    // Where a failed write is told: "The responses could not be written.\r\npath: reason".
    void setTell(std::function<void(const QString&)> tell) { tell_ = std::move(tell); }

    void sessionStarted(const QString& baseName) override;
    void readingRecorded(const RecordedReading& reading) override;
    void sessionStopped() override;

    // Called with each response the moment its peak is certain (its half recovery not known yet).
    void setConfirmedListener(std::function<void(const SkinResponse&)> listener) {
        confirmedListener_ = std::move(listener);
    }

    // The running (or last) session's detector; none before the first session.
    const ResponseDetector* detector() const { return detector_.get(); }
    // The reading numbers of the running (or last) session's response peaks, in the order confirmed,
    // which is their order (each response peaks after the one before).
    const std::vector<int64_t>& peakReadings() const { return peaks_; }
    // A marker's answer as far as it is known: not decided while a response may still begin in its window.
    struct MarkerAnswer {
        bool decided = false;
        std::optional<SkinResponse> response; // none: "no response" (once decided)
    };
    // The answers of the running (or last) session's markers, in the order of the session's markers; a
    // marker set after the session stopped has none.
    const std::vector<MarkerAnswer>& markerAnswers() const { return answers_; }
    // A response was confirmed, a marker answered, or a new session began.
    ChangeSignal changed;
    // The running (or last) session's response file; empty when it has none.
    const QString& filePath() const { return path_; }

    // Appends `bytes` to the file at `path`, with the header line first when the file is new or empty,
    // in one write; a write that fails is taken back. Returns false with "path: reason".
    static bool append(const QString& path, const QByteArray& bytes, QString& reason);

  private:
    // A detector for the session from now on; the first markersBefore markers listed are not its own.
    void newDetector(size_t markersBefore);
    void startFile();
    void feedNewMarkers();
    void write(const QByteArray& bytes);
    void confirm(const SkinResponse& response);
    void complete(SkinResponse response);
    void answer(const MarkerResponse& answer);

    const SessionFiles& files_;
    SessionMarkers& markers_;
    ResponseDetector::Settings settings_;
    std::function<void(const QString&)> tell_;
    std::function<void(const SkinResponse&)> confirmedListener_;
    std::vector<int64_t> peaks_;
    std::vector<MarkerAnswer> answers_;
    std::vector<int64_t> answerReadings_; // the reading of each marker fed, for matching its answer
    std::unique_ptr<ResponseDetector> detector_;
    QString baseName_;
    bool running_ = false;
    int32_t lastRecord_ = 0;
    size_t markersFed_ = 0;
    QString path_;
    bool told_ = false;
};

} // namespace aurivo
