#include "app/Monitor.h"

#include "app/Dialogs.h"
#include "core/Clock.h"
#include "core/Colors.h"
#include "core/MessageBoxes.h"
#include "core/NumberRules.h"
#include "core/WindowHost.h"
#include "device/SerialComm.h"
#include "files/FileManager.h"
#include "recording/CrashRecovery.h"
#include "recording/SessionReplay.h"

#include <QDir>
#include <QFileInfo>

namespace aurivo {

using namespace numbers;

namespace {
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");
const QString kDisplayAnother = QStringLiteral("Display another session");
const QString kResume = QStringLiteral("Resume normal display");
} // namespace

Monitor::Monitor(Services services)
    : folder_(services.programFolder), comm_(services.comm), clock_(services.clock), boxes_(services.boxes),
      host_(services.host), dialogs_(services.dialogs), files_(folder_), indicators_(s_), status_(s_),
      graph_(s_, files_), sessions_(s_, comm_, clock_, boxes_, dialogs_, files_, indicators_, graph_),
      views_(s_, host_), params_(s_, boxes_), ports_(s_, comm_, clock_, host_, services.deviceName),
      arranger_(s_, graph_.picture(), host_, boxes_), settingsFile_(folder_) {}

Monitor::~Monitor() = default;

void Monitor::startUp() {
    // A session cut off by the end of the program is kept under a name of its own, not deleted.
    const CrashRecovery::Outcome recovered = CrashRecovery::recover(folder_);
    if (!recovered.keepTemporaryFiles) SessionFiles::deleteTemporaryFiles(folder_);
    if (!recovered.notice.isEmpty())
        boxes_.notify(recovered.notice, QStringLiteral("Aurivo USB"), MessageBoxes::Icon::Information);
    s_.fileManagerFolder = folder_;
    s_.levelShown = 255;
    s_.awaitingStartValue = true;
    indicators_.resetToNeutral();
    loadSettings();
    s_.lblParams[5].caption = QString::number(s_.commPortNumber);
    s_.lblParams[3].caption = s_.sensitivityText;
    s_.layoutState = 1;
    s_.layoutPending = true;
}

void Monitor::loadSettings() {
    Settings loaded; // the program's initial values: what a short file leaves unread
    const SettingsFile::ReadResult result = settingsFile_.read(loaded);
    if (result.status == SettingsFile::ReadResult::Status::Failed) {
        boxes_.show(result.error, QStringLiteral("Need to trap this error"), MessageBoxes::Buttons::OkCancel,
                    MessageBoxes::Icon::Warning);
        exitProgram();
        return;
    }
    const bool missing = result.status == SettingsFile::ReadResult::Status::Missing;
    if (missing)
        loaded = SettingsFile::defaults(host_.screenWidthTwips(), host_.screenHeightTwips());
    else
        s_.lblParams[6].visible = false;

    s_.commPortNumber = loaded.commPortNumber;
    s_.sensitivityText = loaded.sensitivityText;
    // A view is shown, and its menu item checked, only when its text reads exactly "True".
    const std::tuple<QString*, MenuItemModel*, const QString*> views[6] = {
        {&s_.pictureGraphVisible, &s_.mnuPixGraf, &loaded.pictureGraphVisible},
        {&s_.colorGraphVisible, &s_.mnuBarGrf, &loaded.colorGraphVisible},
        {&s_.barGraphVisible, &s_.mnuSmlGraf, &loaded.barGraphVisible},
        {&s_.internalStatusVisible, &s_.mnuInternStatus, &loaded.internalStatusVisible},
        {&s_.sessionCommentsVisible, &s_.mnuComments, &loaded.sessionCommentsVisible},
        {&s_.timeEtcVisible, &s_.mnuTimnStuf, &loaded.timeEtcVisible}};
    for (const auto& [field, item, value] : views) {
        *field = *value == kTrue ? kTrue : kFalse;
        item->checked = *value == kTrue;
    }
    s_.panelWeightSum = loaded.panelWeightSum;
    s_.windowWidth = loaded.windowWidth;
    s_.windowHeight = loaded.windowHeight;
    s_.windowTop = loaded.windowTop;
    s_.windowLeft = loaded.windowLeft;
    s_.filterSize = loaded.filterSize;
    s_.jitterRejection = loaded.jitterRejection;

    if (missing) {
        boxes_.show(QStringLiteral("Need to select Comm Port"), QStringLiteral("No initialzation file found"),
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
        ports_.scanPorts();
    }
}

void Monitor::onTick() {
    // A tick that starts while another is still running (inside a message box or a yield of the
    // arrangement) returns at once: one timeout shows one message and stops the session once.
    if (tickDepth_ > 0) return;
    ++tickDepth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{tickDepth_};

    bool portFailed = false;
    const QString timeoutText = QStringLiteral("No data detected on serial port .") + QStringLiteral("\r\n") +
                                QStringLiteral("Session Stopped !!");

    if (s_.sessionRunning()) {
        s_.noDataTicks += 1;
        if (s_.noDataTicks > 160) {
            boxes_.show(timeoutText, QStringLiteral("Serial port timeout"), MessageBoxes::Buttons::Ok,
                        MessageBoxes::Icon::None);
            s_.noDataTicks = 0;
            sessions_.stopSession();
        }
    }

    // The watch starts once the first arrangement has placed the window: while start-up is still
    // running (its port chooser yields to ticks) the design size must not replace the saved geometry.
    if (s_.layoutState != 1 && s_.layoutState != 0 && host_.showState() != WindowState::Minimized) {
        const TwipsRect g = host_.windowGeometry();
        if (g.width != s_.windowWidth || g.height != s_.windowHeight) {
            s_.layoutState =
                std::abs(g.height - s_.windowHeight) < std::abs(g.width - s_.windowWidth) ? 3 : 2;
            s_.layoutPending = true;
        }
    }

    if (s_.sessionRunning()) {
        const float now = clock_.secondsSinceMidnight();
        if (s_.dataSeen) {
            s_.dataSeen = false;
            s_.lastDataTime = now;
            s_.lblShnStf[7].backColor = colors::kLightGreen;
        } else {
            // Across midnight the clock restarts at 0; the last data time is then a day earlier.
            const float last = now < s_.lastDataTime ? s_.lastDataTime - 86400.0f : s_.lastDataTime;
            if (now > last + 0.5f) {
                s_.lblShnStf[7].backColor = colors::kLightRed;
                s_.lblShnStf[7].caption = QStringLiteral("No Data");
            }
        }
        // Elapsed time keeps counting past midnight: whole days between the start date and now are
        // added to the difference of the two time-of-day readings.
        const qint64 days =
            s_.sessionStartDate.isValid() ? s_.sessionStartDate.date().daysTo(clock_.now().date()) : 0;
        const double elapsed = double(now) - double(s_.sessionStartSeconds) + 86400.0 * double(days);
        s_.lblParams[1].caption = formatSessionTime(elapsed);
    }

    indicators_.stepLevel();
    indicators_.showLevel();

    if (s_.tickCountdown > 0) s_.tickCountdown -= 1;

    if (s_.layoutPending) {
        arranger_.arrangePanels();
        s_.layoutPending = false;
    }

    if (comm_.portOpen()) {
        for (;;) {
            const int waiting = comm_.inBufferCount();
            if (waiting < 0) portFailed = true;
            if (waiting == 0) break;
            if (portFailed) {
                sessions_.stopAfterPortFailure();
                break;
            }
            if (!readDevicePackets()) portFailed = true;
            if ((s_.statusByte & 4) && s_.awaitingStartValue) {
                if (std::abs(s_.startCandidate - s_.rawReading) > s_.jitterRejection) {
                    s_.startCandidate = s_.rawReading;
                } else {
                    s_.stableCount += 1;
                    if (s_.stableCount > 2 * s_.filterSize) {
                        s_.awaitingStartValue = false;
                        s_.lblSysADCstart.caption = numberText(s_.startCandidate);
                    }
                }
            }
        }
        if (portFailed && s_.sessionRunning()) sessions_.stopAfterPortFailure();
    }

    // What was recorded reaches the operating system once per tick; a write failure is told once.
    files_.flush();
    const QString stopped = files_.takeRecordingStopped();
    if (!stopped.isEmpty()) {
        boxes_.show(stopped, QStringLiteral("Aurivo USB"), MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::Warning);
    }
}

bool Monitor::readDevicePackets() {
    do {
        const QByteArray in = comm_.input();
        if (in.isEmpty()) return false;
        if (decoder_.feed(uint8_t(in[0]))) {
            s_.dataSeen = true;
            s_.noDataTicks = 0;
            s_.rawReading = decoder_.rawReading();
            s_.statusByte = decoder_.statusByte();
            status_.showReading();
            graph_.plotReading();
        }
        const int waiting = comm_.inBufferCount();
        if (waiting < 0) return false;
        if (waiting == 0) return true;
    } while (true);
}

void Monitor::exitProgram() {
    if (comm_.portOpen()) comm_.setPortOpen(false);
    exitRequested_ = true;
}

Settings Monitor::collectSettings() {
    // The captions are the authority for port and sensitivity; the window for its geometry. A view text
    // other than "True" is written as "False" by the settings file itself.
    bool ok = false;
    const double port = s_.lblParams[5].caption.trimmed().toDouble(&ok);
    if (ok) s_.commPortNumber = toLong(port);
    s_.sensitivityText = s_.lblParams[3].caption;
    const TwipsRect g = host_.windowGeometry();
    s_.windowWidth = toLong(g.width);
    s_.windowHeight = toLong(g.height);
    s_.windowTop = toLong(g.top);
    s_.windowLeft = toLong(g.left);
    return Settings{.commPortNumber = s_.commPortNumber,
                    .sensitivityText = s_.sensitivityText,
                    .pictureGraphVisible = s_.pictureGraphVisible,
                    .colorGraphVisible = s_.colorGraphVisible,
                    .barGraphVisible = s_.barGraphVisible,
                    .internalStatusVisible = s_.internalStatusVisible,
                    .sessionCommentsVisible = s_.sessionCommentsVisible,
                    .timeEtcVisible = s_.timeEtcVisible,
                    .windowWidth = s_.windowWidth,
                    .windowHeight = s_.windowHeight,
                    .windowTop = s_.windowTop,
                    .windowLeft = s_.windowLeft,
                    .filterSize = s_.filterSize,
                    .jitterRejection = s_.jitterRejection,
                    .panelWeightSum = s_.panelWeightSum};
}

void Monitor::prepareToClose() {
    s_.closingRequested = true;
    // Closing during a session stops it first, so the header gets its closing records and the
    // user's comments; nothing typed is lost.
    if (s_.sessionRunning()) sessions_.stopSession();
    if (s_.mnuSaveFile.caption == kResume) {
        if (host_.showState() == WindowState::Normal) {
            host_.setWindowHeight(s_.preReplayHeight);
            host_.setWindowWidth(s_.preReplayWidth);
        }
        views_.leaveReplayView();
    }
    QString error;
    if (!settingsFile_.write(collectSettings(), &error)) {
        // The previous settings file stays as it was; the user learns why the choices were not kept.
        boxes_.show(QStringLiteral("The settings could not be saved.\r\n") +
                        QDir::toNativeSeparators(settingsFile_.path()) + QStringLiteral(": ") + error,
                    QStringLiteral("Aurivo USB"), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
    if (comm_.portOpen()) comm_.setPortOpen(false);
}

void Monitor::clickParameterLabel(int index) {
    views_.hideEntryFrame();
    if (index == 3) params_.openSensitivityBox();
    if (index == 5) ports_.scanFromPortLabel();
}

void Monitor::clickGraph() {
    if (s_.mnuDisplayOld.caption == kDisplayAnother) displaySavedSessions();
    views_.hideEntryFrame();
}

void Monitor::saveSessionOrResume() {
    if (s_.mnuSaveFile.caption == kResume) {
        graph_.picture().clear();
        s_.mnuDisplayOld.caption = QStringLiteral("Display saved session");
        s_.mnuSaveFile.caption = QStringLiteral("Save session");
        if (host_.showState() == WindowState::Normal) {
            host_.setWindowHeight(s_.preReplayHeight);
            host_.setWindowWidth(s_.preReplayWidth);
        }
        s_.mnuSession.visible = true;
        s_.mnuDisplay.visible = true;
        s_.mnuSerlPort.visible = true;
        views_.leaveReplayView();
        s_.replayActive = false;
        s_.txtSeshnComnts.text.clear();
        s_.txtSeshnComnts.locked = false;
        for (auto& label : s_.lbl4Graf)
            label.caption.clear();
        return;
    }
    const QFileInfo data(QDir(folder_).filePath(QStringLiteral("tempdata.tst")));
    if (!data.exists() || !data.isReadable() || data.size() == 0) {
        boxes_.show(QStringLiteral("There is no session data to save!"), QStringLiteral("Aurivo USB"),
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
        return;
    }
    FileManager manager(s_, folder_, boxes_);
    manager.load();
    manager.cmdFileOptionCaption = QStringLiteral("Save");
    manager.caption = QStringLiteral("Save session file");
    manager.width = 4185; // hides the display list at the right
    manager.cmdAdd2ListVisible = false;
    dialogs_.showFileManager(manager);
}

void Monitor::displaySavedSessions() {
    {
        FileManager manager(s_, folder_, boxes_);
        manager.load();
        manager.cmdFileOptionCaption = QStringLiteral("Display");
        manager.caption = QStringLiteral("Display saved session file");
        manager.width = 6735;
        manager.cmdAdd2ListVisible = true;
        dialogs_.showFileManager(manager);
    }
    if (s_.chosenSessionCount < 1) {
        if (s_.replayActive) saveSessionOrResume();
        return;
    }
    if (s_.mnuDisplayOld.caption != kDisplayAnother) {
        s_.mnuDisplayOld.caption = kDisplayAnother;
        s_.mnuSaveFile.caption = kResume;
        s_.txtSeshnComnts.locked = true;
        if (host_.showState() == WindowState::Normal) {
            const TwipsRect g = host_.windowGeometry();
            s_.preReplayHeight = toLong(g.height);
            s_.preReplayWidth = toLong(g.width);
            host_.setWindowWidth(0.9 * host_.screenWidthTwips());
            host_.setWindowHeight(0.9 * host_.screenHeightTwips());
        }
        views_.enterReplayView();
        s_.mnuSession.visible = false;
        s_.mnuDisplay.visible = false;
        s_.mnuSerlPort.visible = false;
        s_.replayActive = true;
        // Two ticks re-arrange the window before drawing. The wait also ends if the window closes or
        // after a few seconds, so it can never hang the program.
        s_.tickCountdown = 2;
        const int64_t deadline = clock_.steadyMilliseconds() + 3000;
        while (s_.tickCountdown > 0 && !s_.closingRequested && clock_.steadyMilliseconds() < deadline)
            host_.processEvents();
        s_.txtSeshnComnts.font.size = 8;
    }
    SessionReplay replay(s_, boxes_);
    GraphCanvas& picture = graph_.picture();
    replay.drawChosenSessions(
        picture.scaleWidth(), picture.scaleHeight(),
        [this](int32_t x, double ohms, uint32_t colour) { return graph_.plotPoint(x, ohms, colour); },
        [this, &picture] {
            picture.clear();
            graph_.drawGrid();
        });
}

void Monitor::showAbout() {
    dialogs_.showAbout();
}

} // namespace aurivo
