#include "device/SessionControl.h"

#include "app/Clock.h"
#include "app/Colors.h"
#include "app/Dialogs.h"
#include "app/MessageBoxes.h"
#include "app/MonitorState.h"
#include "app/NumberRules.h"
#include "device/SerialComm.h"
#include "display/GraphPlotter.h"
#include "display/Indicators.h"
#include "recording/SessionFiles.h"

#include <QLocale>

using namespace NumberRules;

SessionControl::SessionControl(MonitorState& state, SerialComm& comm, Clock& clock, MessageBoxes& boxes,
                               Dialogs& dialogs, SessionFiles& files, Indicators& indicators, GraphPlotter& graph)
    : s_(state), comm_(comm), clock_(clock), boxes_(boxes), dialogs_(dialogs), files_(files),
      indicators_(indicators), graph_(graph) {}

QString SessionControl::SessionBaseName() const {
    return s_.SaveAsFlag ? s_.SaveAsName : QStringLiteral("tempdata");
}

QString SessionControl::GeneralDateText(const QDateTime& when) {
    const QLocale locale;
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           when.time().toString(QStringLiteral("HH:mm:ss"));
}

void SessionControl::mnuStart_Click() {
    s_.SaveAsFlag = false;
    StartSession();
}

void SessionControl::mnuStartAs_Click() {
    dialogs_.ShowSaveAs();
    if (!s_.SaveAsName.isEmpty()) {
        s_.SaveAsFlag = true;
        StartSession();
    }
}

void SessionControl::StartSession() {
    s_.MinADC = 16383;
    s_.MaxADC = 0;
    s_.mnuSaveFile.enabled = false;
    s_.mnuDisplayOld.enabled = false;
    s_.RedrawRequested = false;
    s_.RecordCount = 1;
    s_.yCompress = 1;
    s_.pixXYgraf.Cls();
    // A new session starts its plotted points afresh: nothing of the previous session's partial
    // point may leak into the first point of this one.
    graph_.ResetForNewSession();
    s_.mnuStart.enabled = false;
    s_.mnuStartAs.enabled = false;
    s_.mnuSetComPort.enabled = false;
    s_.LblParams[5].backColor = Colors::kInactiveCaptionText;
    s_.LblParams[5].toolTip.clear();
    s_.mnuStop.enabled = true;
    s_.mnuRestart.enabled = true;
    indicators_.DisplayInit();
    s_.StableCount = 0;
    s_.AwaitingStartValue = true;
    s_.lblSysADCstart.caption = QStringLiteral(" ");

    const QStringList failures = files_.Open(SessionBaseName());

    s_.LevelTarget = 255;
    s_.LevelShown = 255;
    s_.SessionStartSeconds = clock_.SecondsSinceMidnight();
    s_.RecordTime = 25;
    s_.SessionStartDate = clock_.Now();
    s_.TxtSeshnComnts.text.clear();

    if (ValueOf(s_.LblParams[5].caption) == 0) s_.LblParams[5].caption = QStringLiteral("2");
    const int port = ToLong(ValueOf(s_.LblParams[5].caption));
    comm_.SetCommPort(port);
    comm_.SetSettings(QStringLiteral("19200,N,8,1"));
    comm_.SetInputLen(1);
    comm_.SetRThreshold(0);
    comm_.SetInputMode(1);
    comm_.SetInBufferSize(4096);
    comm_.SetPortOpen(true); // a port that does not open is noticed by the no-data timeout

    s_.mnuSetFSize.enabled = false;
    s_.mnuSetSSF.enabled = false;

    // The session runs and shows live data even when its files could not be created; the user is told
    // once, now, which file and why, instead of finding an empty recording later.
    if (!failures.isEmpty()) {
        boxes_.Show(QStringLiteral("The session is shown but not recorded:\r\n") + failures.join(QStringLiteral("\r\n")),
                    QStringLiteral("Aurivo USB"), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
}

void SessionControl::mnuStop_Click() {
    s_.mnuStart.enabled = true;
    s_.mnuStartAs.enabled = true;
    s_.mnuSetComPort.enabled = true;
    s_.LblParams[5].backColor = Colors::kWindowBackground;
    s_.LblParams[5].toolTip = QStringLiteral("Click here to select port number");
    s_.mnuStop.enabled = false;
    s_.mnuRestart.enabled = false;
    s_.mnuSetFSize.enabled = true;
    s_.mnuSetSSF.enabled = true;
    s_.LblShnStf[7].backColor = Colors::kButtonFace;
    s_.LblShnStf[7].toolTip.clear();
    indicators_.ShowLevelIndicators();
    if (comm_.PortOpen()) comm_.SetPortOpen(false);

    s_.TxtSeshnComnts.text = QStringLiteral("Start of Session : ") + GeneralDateText(s_.SessionStartDate) +
                             QStringLiteral("\r\n") + s_.TxtSeshnComnts.text;
    files_.WriteHeaderClosing(s_.MinADC, s_.MaxADC, s_.TxtSeshnComnts.text);
    files_.CloseAll();

    s_.mnuSaveFile.enabled = !s_.SaveAsFlag;
    s_.mnuDisplayOld.enabled = true;
}

void SessionControl::mnuRestart_Click() {
    comm_.SetPortOpen(false);
    files_.CloseForRestart();
    files_.DeleteSessionFiles(SessionBaseName());
    StartSession();
}

void SessionControl::mnuCancel_Click() { s_.CancelRequested = true; }
