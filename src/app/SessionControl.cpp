#include "app/SessionControl.h"

#include "app/Dialogs.h"
#include "core/Clock.h"
#include "core/Colors.h"
#include "core/MessageBoxes.h"
#include "core/MonitorState.h"
#include "core/NumberRules.h"
#include "device/PortMessages.h"
#include "device/SerialComm.h"
#include "display/GraphPlotter.h"
#include "display/Indicators.h"
#include "files/SessionNameRule.h"
#include "recording/SessionFiles.h"

#include <QLocale>

namespace aurivo {

using namespace numbers;

SessionControl::SessionControl(MonitorState& state, SerialComm& comm, Clock& clock, MessageBoxes& boxes,
                               Dialogs& dialogs, SessionFiles& files, Indicators& indicators,
                               GraphPlotter& graph)
    : s_(state), comm_(comm), clock_(clock), boxes_(boxes), dialogs_(dialogs), files_(files),
      indicators_(indicators), graph_(graph) {}

QString SessionControl::sessionBaseName() const {
    return s_.saveAsFlag ? s_.saveAsName : QStringLiteral("tempdata");
}

QString SessionControl::generalDateText(const QDateTime& when) {
    const QLocale locale;
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           when.time().toString(QStringLiteral("HH:mm:ss"));
}

void SessionControl::startSession() {
    s_.saveAsFlag = false;
    beginSession();
}

void SessionControl::startSessionAs() {
    dialogs_.showSaveAs();
    if (!s_.saveAsName.isEmpty() && SessionNameRule::acceptForStart(s_.saveAsName, files_.folder(), boxes_)) {
        s_.saveAsFlag = true;
        beginSession();
    }
}

void SessionControl::beginSession() {
    s_.minADC = 16383;
    s_.maxADC = 0;
    s_.mnuSaveFile.enabled = false;
    s_.mnuDisplayOld.enabled = false;
    s_.redrawRequested = false;
    s_.recordCount = 1;
    s_.yCompress = 1;
    graph_.picture().clear();
    // A new session starts its plotted points afresh: nothing of the previous session's partial
    // point may leak into the first point of this one.
    graph_.resetForNewSession();
    s_.mnuStart.enabled = false;
    s_.mnuStartAs.enabled = false;
    s_.mnuSetComPort.enabled = false;
    s_.lblParams[5].backColor = colors::kInactiveCaptionText;
    s_.lblParams[5].toolTip.clear();
    s_.mnuStop.enabled = true;
    s_.mnuRestart.enabled = true;
    indicators_.resetToNeutral();
    s_.stableCount = 0;
    s_.awaitingStartValue = true;
    s_.lblSysADCstart.caption = QStringLiteral(" ");

    const QStringList failures = files_.open(sessionBaseName());

    s_.levelTarget = 255;
    s_.levelShown = 255;
    s_.sessionStartSeconds = clock_.secondsSinceMidnight();
    s_.recordTime = 25;
    s_.sessionStartDate = clock_.now();
    s_.txtSeshnComnts.text.clear();

    if (valueOf(s_.lblParams[5].caption) == 0) s_.lblParams[5].caption = QStringLiteral("2");
    const int port = toLong(valueOf(s_.lblParams[5].caption));
    comm_.setCommPort(port);
    comm_.setSettings(QStringLiteral("19200,N,8,1"));
    comm_.setInputLen(1);
    comm_.setInBufferSize(4096);
    const int portError = comm_.setPortOpen(true);

    s_.mnuSetFSize.enabled = false;
    s_.mnuSetSSF.enabled = false;

    // A port that cannot be opened is said at once, with its device and why, and the session ends as
    // by Stop instead of waiting for the no-data timeout to blame the wrong cause.
    if (portError != 0) {
        stopSession();
        boxes_.show(PortMessages::openFailed(port, comm_.lastDevicePath(), comm_.lastErrorText()),
                    QStringLiteral("Aurivo USB"), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
        return;
    }
    // The session runs and shows live data even when its files could not be created; the user is told
    // once, now, which file and why, instead of finding an empty recording later.
    if (!failures.isEmpty()) {
        boxes_.show(QStringLiteral("The session is shown but not recorded:\r\n") +
                        failures.join(QStringLiteral("\r\n")),
                    QStringLiteral("Aurivo USB"), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
}

void SessionControl::stopSession() {
    s_.mnuStart.enabled = true;
    s_.mnuStartAs.enabled = true;
    s_.mnuSetComPort.enabled = true;
    s_.lblParams[5].backColor = colors::kWindowBackground;
    s_.lblParams[5].toolTip = QStringLiteral("Click here to select port number");
    s_.mnuStop.enabled = false;
    s_.mnuRestart.enabled = false;
    s_.mnuSetFSize.enabled = true;
    s_.mnuSetSSF.enabled = true;
    s_.lblShnStf[7].backColor = colors::kButtonFace;
    s_.lblShnStf[7].toolTip.clear();
    indicators_.showLevel();
    if (comm_.portOpen()) comm_.setPortOpen(false);

    s_.txtSeshnComnts.text = QStringLiteral("Start of Session : ") + generalDateText(s_.sessionStartDate) +
                             QStringLiteral("\r\n") + s_.txtSeshnComnts.text;
    files_.writeHeaderClosing(s_.minADC, s_.maxADC, s_.txtSeshnComnts.text);
    files_.closeAll();

    s_.mnuSaveFile.enabled = !s_.saveAsFlag;
    s_.mnuDisplayOld.enabled = true;
    // A recording that could not be completed (the header included) is told now, once.
    const QString stopped = files_.takeRecordingStopped();
    if (!stopped.isEmpty())
        boxes_.show(stopped, QStringLiteral("Aurivo USB"), MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::Warning);
}

void SessionControl::stopAfterPortFailure() {
    const bool wasRunning = s_.sessionRunning();
    stopSession();
    if (wasRunning)
        boxes_.show(
            PortMessages::disconnected(comm_.commPort(), clock_.now().time(), files_.recordedReadings()),
            QStringLiteral("Aurivo USB"), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
}

void SessionControl::restartSession() {
    comm_.setPortOpen(false);
    files_.closeForRestart();
    files_.deleteSessionFiles(sessionBaseName());
    beginSession();
}

void SessionControl::requestCancel() {
    s_.cancelRequested = true;
}

} // namespace aurivo
