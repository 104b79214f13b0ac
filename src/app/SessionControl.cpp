#include "app/SessionControl.h"

#include "app/Dialogs.h"
#include "core/Clock.h"
#include "core/CommentBox.h"
#include "core/MessageBoxes.h"
#include "core/NumberRules.h"
#include "device/PortMessages.h"
#include "device/SerialComm.h"
#include "display/GraphPlotter.h"
#include "display/Indicators.h"
#include "display/ReadingStatus.h"
#include "files/SessionNameRule.h"
#include "recording/CrashRecovery.h"
#include "recording/SessionFiles.h"
#include "recording/SessionHeaderFile.h"
#include "recording/SessionMarkers.h"
#include "recording/SessionRecorder.h"
#include "recording/UnsavedSessions.h"
#include "settings/PortChooser.h"

#include <QDir>
#include <QLocale>
#include <cstdlib>

namespace aurivo {

using namespace numbers;

SessionControl::SessionControl(Parts parts) : p_(parts) {}

QString SessionControl::sessionBaseName() const {
    return saveAsFlag_ ? saveAsName_ : QStringLiteral("tempdata");
}

QString SessionControl::startText() const {
    switch (start_) {
    case StartValue::BeforeFirstSession:
        return QStringLiteral("0");
    case StartValue::Awaited:
        return QStringLiteral(" ");
    case StartValue::Settled:
        break;
    }
    return numberText(startCandidate_);
}

QString SessionControl::generalDateText(const QDateTime& when) {
    return SessionHeaderFile::generalDateText(when);
}

void SessionControl::startSession() {
    if (const QString failure = keepUnsavedSession(); !failure.isEmpty()) {
        p_.boxes.show(QStringLiteral("The last session was not saved and could not be kept, so no new "
                                     "session was started:\r\n") +
                          failure + QStringLiteral("\r\nSave it with File > Save session first."),
                      MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
        return;
    }
    saveAsFlag_ = false;
    beginSession();
}

QString SessionControl::keepUnsavedSession() {
    if (!unsavedTemporary_ || running_) return QString();
    // The comments typed since the stop belong to the session when it was the last one shown.
    if (!saveAsFlag_) {
        QString reason;
        const QString header = p_.files.filePath(QStringLiteral("tempdata.hdr"));
        if (!SessionHeaderFile::replaceComments(header, p_.comments.text(), reason))
            return QDir::toNativeSeparators(header) + QStringLiteral(": ") + reason;
    }
    const UnsavedSessions::Outcome kept = UnsavedSessions::keep(p_.files.folder(), unsavedStart_);
    if (!kept.ok()) return kept.error;
    unsavedTemporary_ = false;
    return QString();
}

void SessionControl::startSessionAs() {
    // The dialog shows the name typed last; the last session keeps its own name and files until a new
    // name is accepted, so a cancelled or refused name leaves it as it was.
    typedName_ = p_.dialogs.showSaveAs(typedName_);
    if (typedName_.isEmpty() || !SessionNameRule::acceptForStart(typedName_, p_.files.folder(), p_.boxes))
        return;
    saveAsName_ = typedName_;
    saveAsFlag_ = true;
    beginSession();
}

void SessionControl::beginSession() {
    // A new session starts its plotted points afresh: nothing of the previous session's partial point
    // may leak into the first point of this one.
    p_.graph.startSession();
    p_.recorder.startSession();
    running_ = true;
    p_.indicators.resetToNeutral();
    stableCount_ = 0;
    start_ = StartValue::Awaited;
    changed.notify();

    QStringList failures = p_.files.open(sessionBaseName());
    // Start-up completes a named session that the end of the program cut off: this record names it.
    if (saveAsFlag_) failures << CrashRecovery::namedSessionStarted(p_.files.folder(), saveAsName_);
    failures.removeAll(QString());
    QString markerFailure;
    const bool markersCleared = p_.markers.startSession(p_.files.filePath(sessionBaseName()), markerFailure);

    p_.indicators.setTarget(255);
    p_.indicators.setShown(255);
    startSeconds_ = p_.clock.secondsSinceMidnight();
    startDate_ = p_.clock.now();
    p_.comments.setText(QString());

    const int port = p_.ports.commPortNumber();
    p_.comm.setCommPort(port);
    p_.comm.setSettings(QStringLiteral("19200,N,8,1"));
    p_.comm.setInBufferSize(4096);
    const int portError = p_.comm.setPortOpen(true);

    // A port that cannot be opened is said at once, with its device and why, and the session ends as
    // by Stop instead of waiting for the no-data timeout to blame the wrong cause.
    if (portError != 0) {
        stopSession();
        p_.boxes.show(PortMessages::openFailed(port, p_.comm.lastDevicePath(), p_.comm.lastErrorText()),
                      MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
        return;
    }

    // The session runs and shows live data even when some of its files could not be created; the user is
    // told once, now, which file and why, instead of finding an empty recording later. Markers of this
    // session would otherwise follow those of an earlier session under the same name: that is told too.
    if (!failures.isEmpty()) {
        const QString what = p_.files.recordingReadings()
                                 ? QStringLiteral("Some files of this session are not recorded:\r\n")
                                 : QStringLiteral("The session is shown but not recorded:\r\n");
        const QStringList lines = markersCleared ? failures : failures + QStringList{markerFailure};
        p_.boxes.show(what + lines.join(QStringLiteral("\r\n")), MessageBoxes::title(),
                      MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    } else if (!markersCleared) {
        p_.boxes.show(QStringLiteral("The markers of an earlier session could not be deleted:\r\n") +
                          markerFailure,
                      MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
}

void SessionControl::stopSession() {
    running_ = false;
    changed.notify();
    p_.panel.resetDataLabel();
    p_.indicators.showLevel(awaitingStartValue());
    if (p_.comm.portOpen()) p_.comm.setPortOpen(false);

    const QString comments = QStringLiteral("Start of Session : ") + generalDateText(startDate_) +
                             QStringLiteral("\r\n") + p_.comments.text();
    p_.comments.setText(comments + p_.markers.commentLines(comments));
    p_.files.writeHeaderClosing(p_.recorder.minADC(), p_.recorder.maxADC(), p_.comments.text());
    p_.files.closeAll();
    CrashRecovery::sessionStopped(p_.files.folder());
    if (!saveAsFlag_) {
        unsavedTemporary_ = true;
        unsavedStart_ = startDate_;
    }
    // A recording that could not be completed (the header included) is told now, once.
    const QString stopped = p_.files.takeRecordingStopped();
    if (!stopped.isEmpty()) p_.boxes.notify(stopped, MessageBoxes::title(), MessageBoxes::Icon::Warning);
}

void SessionControl::stopAfterPortFailure() {
    const bool wasRunning = running_;
    stopSession();
    if (wasRunning)
        p_.boxes.show(PortMessages::disconnected(p_.comm.commPort(), p_.clock.now().time(),
                                                 p_.files.recordedReadings()),
                      MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
}

void SessionControl::restartSession() {
    p_.comm.setPortOpen(false);
    p_.files.closeForRestart();
    p_.files.deleteSessionFiles(sessionBaseName());
    beginSession();
}

void SessionControl::noteReading() {
    dataSeen_ = true;
    noDataTicks_ = 0;
}

void SessionControl::showDataPresence() {
    // One reading of the clock serves both the time of day and the date (each asks for the time zone).
    const QDateTime current = p_.clock.now();
    const float now = Clock::secondsOfDay(current);
    if (dataSeen_) {
        dataSeen_ = false;
        lastDataTime_ = now;
        p_.panel.markDataArrived();
    } else {
        // Across midnight the clock restarts at 0; the last data time is then a day earlier.
        const float last = now < lastDataTime_ ? lastDataTime_ - 86400.0f : lastDataTime_;
        if (now > last + 0.5f) p_.panel.markNoData();
    }
    // Elapsed time keeps counting past midnight: whole days between the start date and now are added to
    // the difference of the two time-of-day readings.
    const qint64 days = startDate_.isValid() ? startDate_.date().daysTo(current.date()) : 0;
    const double elapsed = double(now) - double(startSeconds_) + 86400.0 * double(days);
    const QString text = formatSessionTime(elapsed);
    if (text != clockText_) {
        clockText_ = text;
        changed.notify();
    }
}

double SessionControl::elapsedSeconds() const {
    return startDate_.isValid() ? double(startDate_.msecsTo(p_.clock.now())) / 1000.0 : 0.0;
}

void SessionControl::captureStartValue(const Reading& last, int jitter, int filterSize) {
    if (!last.valid() || !awaitingStartValue()) return;
    if (std::abs(startCandidate_ - last.raw) > jitter) {
        startCandidate_ = last.raw;
    } else {
        stableCount_ += 1;
        if (stableCount_ > 2 * filterSize) {
            start_ = StartValue::Settled;
            changed.notify();
        }
    }
}

} // namespace aurivo
