#pragma once
// Starting, stopping and restarting sessions: the Session menu's commands, the routine beginSession
// they share, the session clock, the data-present handshake with the packet reader, the no-data timeout
// count and the capture of the session's start reading. A session runs exactly while "Start" is
// disabled; starting opens the session files and the port, stopping writes the header's closing
// records and closes everything. The session control owns the session's state and drives the graph,
// the indicators, the readings panel and the files.

#include "core/ChangeSignal.h"
#include "core/Reading.h"

#include <QDateTime>
#include <QString>

namespace aurivo {

class SerialComm;
class Clock;
class MessageBoxes;
class Dialogs;
class SessionFiles;
class SessionRecorder;
class Indicators;
class GraphPlotter;
class ReadingStatus;
class PortChooser;
class CommentBox;
class SessionMarkers;

class SessionControl {
  public:
    struct Parts {
        SerialComm& comm;
        Clock& clock;
        MessageBoxes& boxes;
        Dialogs& dialogs;
        SessionFiles& files;
        SessionRecorder& recorder;
        Indicators& indicators;
        GraphPlotter& graph;
        ReadingStatus& panel;
        PortChooser& ports;
        CommentBox& comments;
        SessionMarkers& markers;
    };

    explicit SessionControl(Parts parts);

    bool running() const { return running_; }
    // The last session was started with a name (its files are already saved).
    bool savedAs() const { return saveAsFlag_; }
    const QString& saveAsName() const { return saveAsName_; }
    // Base name of the current session's files: "tempdata" or the save-as name.
    QString sessionBaseName() const;

    // The start reading: awaited from start-up and from each session start until it settles.
    bool awaitingStartValue() const { return start_ != StartValue::Settled; }
    // The settled start reading; 0 while none.
    int32_t startReading() const { return start_ == StartValue::Settled ? startCandidate_ : 0; }
    // The caption of lblSysADCstart: "0" before the first session, " " while awaited, then the reading
    // in the number-to-text form (leading blank).
    QString startText() const;

    // The session clock LblParams(1) and the session's start.
    const QString& clockText() const { return clockText_; }
    const QDateTime& sessionStartDate() const { return startDate_; }
    int32_t noDataTicks() const { return noDataTicks_; }
    // Seconds since the session started, to the millisecond (the session clock's seconds since midnight
    // are single precision, a few milliseconds apart at the end of the day).
    double elapsedSeconds() const;

    // Session > Start. A stopped temporary session that was never saved is first kept in unsaved/; when
    // that fails the user is told why and no session starts, so nothing is overwritten.
    void startSession();
    void startSessionAs();
    void beginSession();
    // Stops the session. Every step runs even if one before it failed, so a stop always leaves the
    // menus, the port and the files in the stopped state.
    void stopSession();
    // The tick found the port failing (the device hung up): the session is stopped, its header written,
    // and the user told when and how many readings were recorded.
    void stopAfterPortFailure();
    void restartSession();

    // The stopped temporary session was saved under a name: there is nothing left to keep.
    void temporarySessionSaved() { unsavedTemporary_ = false; }
    // Moves a stopped, never saved temporary session into unsaved/ (its header first takes the comment
    // box's text when it was the last session). Returns an empty text, or why it could not be kept.
    [[nodiscard]] QString keepUnsavedSession();

    // A valid packet arrived: data is present and the no-data count starts again.
    void noteReading();
    // One more tick of a running session; returns the count of ticks without data.
    int32_t countTickWithoutData() { return ++noDataTicks_; }
    void resetNoDataTicks() { noDataTicks_ = 0; }
    // The tick's data-present colour of the data label and the elapsed time, while a session runs.
    void showDataPresence();
    // The start-value capture after a receive round, on the last packet decoded: a reading further than
    // `jitter` from the candidate replaces it; otherwise the count grows, and beyond 2 x filterSize the
    // candidate settles as the start reading.
    void captureStartValue(const Reading& last, int jitter, int filterSize);

    // "Start of Session : " uses the system's general date-and-time form.
    static QString generalDateText(const QDateTime& when);

    ChangeSignal changed; // running, the start reading or the clock changed

  private:
    enum class StartValue { BeforeFirstSession, Awaited, Settled };

    Parts p_;
    bool running_ = false;
    bool saveAsFlag_ = false;
    QString saveAsName_; // the name of the last named session
    QString typedName_;  // what the save-as dialog holds: the name typed last
    StartValue start_ = StartValue::BeforeFirstSession;
    int32_t startCandidate_ = 0;
    int32_t stableCount_ = 0;
    float startSeconds_ = 0;
    QDateTime startDate_;
    int32_t noDataTicks_ = 0;
    bool dataSeen_ = false;
    float lastDataTime_ = 0;
    QString clockText_;
    bool unsavedTemporary_ = false; // the temporary files hold a stopped session never saved
    QDateTime unsavedStart_;        // its start, which names it when it is kept
};

} // namespace aurivo
