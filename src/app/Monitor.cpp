#include "app/Monitor.h"

#include "app/Clock.h"
#include "app/Colors.h"
#include "app/Dialogs.h"
#include "app/MessageBoxes.h"
#include "app/NumberRules.h"
#include "app/WindowHost.h"
#include "device/SerialComm.h"
#include "files/FileManager.h"
#include "recording/SessionReplay.h"

#include <QDir>
#include <QFileInfo>

using namespace NumberRules;

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
      arranger_(s_, host_, boxes_), settingsFile_(folder_) {
    ports_.SetSensitivityBoxOpener([this] { params_.mnuSetSense_Click(); });
}

Monitor::~Monitor() = default;

void Monitor::Form_Load() {
    SessionFiles::DeleteTemporaryFiles(folder_);
    s_.FileManagerFolder = folder_;
    s_.LevelShown = 255;
    s_.AwaitingStartValue = true;
    indicators_.DisplayInit();
    LoadSettings();
    s_.LblParams[5].caption = QString::number(s_.CommPortNumber);
    s_.LblParams[3].caption = s_.SensitivityText;
    s_.LayoutState = 1;
    s_.LayoutPending = true;
}

void Monitor::LoadSettings() {
    Settings loaded; // the program's initial values: what a short file leaves unread
    const SettingsFile::ReadResult result = settingsFile_.Read(loaded);
    if (result.status == SettingsFile::ReadResult::Status::Failed) {
        boxes_.Show(result.Error, QStringLiteral("Need to trap this error"), MessageBoxes::Buttons::OkCancel,
                    MessageBoxes::Icon::Warning);
        mnuExit_Click();
        return;
    }
    const bool missing = result.status == SettingsFile::ReadResult::Status::Missing;
    if (missing) loaded = SettingsFile::Defaults(host_.ScreenWidthTwips(), host_.ScreenHeightTwips());
    else s_.LblParams[6].visible = false;

    s_.CommPortNumber = loaded.CommPortNumber;
    s_.SensitivityText = loaded.SensitivityText;
    // A view is shown, and its menu item checked, only when its text reads exactly "True".
    const std::tuple<QString*, MenuItemModel*, const QString*> views[6] = {
        {&s_.PictureGraphVisible, &s_.mnuPixGraf, &loaded.PictureGraphVisible},
        {&s_.ColorGraphVisible, &s_.mnuBarGrf, &loaded.ColorGraphVisible},
        {&s_.BarGraphVisible, &s_.mnuSmlGraf, &loaded.BarGraphVisible},
        {&s_.InternalStatusVisible, &s_.mnuInternStatus, &loaded.InternalStatusVisible},
        {&s_.SessionCommentsVisible, &s_.mnuComments, &loaded.SessionCommentsVisible},
        {&s_.TimeEtcVisible, &s_.mnuTimnStuf, &loaded.TimeEtcVisible}};
    for (const auto& [field, item, value] : views) {
        *field = *value == kTrue ? kTrue : kFalse;
        item->checked = *value == kTrue;
    }
    s_.PanelWeightSum = loaded.PanelWeightSum;
    s_.WindowWidth = loaded.WindowWidth;
    s_.WindowHeight = loaded.WindowHeight;
    s_.WindowTop = loaded.WindowTop;
    s_.WindowLeft = loaded.WindowLeft;
    s_.FilterSize = loaded.FilterSize;
    s_.JitterRejection = loaded.JitterRejection;

    if (missing) {
        boxes_.Show(QStringLiteral("Need to select Comm Port"), QStringLiteral("No initialzation file found"),
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
        ports_.mnuSetComPort_Click();
    }
}

void Monitor::Timer1_Timer() {
    // A tick that starts while another is still running (inside a message box or a yield of the
    // arrangement) returns at once: one timeout shows one message and stops the session once.
    if (tickDepth_ > 0) return;
    ++tickDepth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{tickDepth_};

    bool portFailed = false;
    const QString timeoutText =
        QStringLiteral("No data detected on serial port .") + QStringLiteral("\r\n") + QStringLiteral("Session Stopped !!");

    if (s_.SessionRunning()) {
        s_.NoDataTicks += 1;
        if (s_.NoDataTicks > 160) {
            boxes_.Show(timeoutText, QStringLiteral("Serial port timeout"), MessageBoxes::Buttons::Ok,
                        MessageBoxes::Icon::None);
            s_.NoDataTicks = 0;
            sessions_.mnuStop_Click();
        }
    }

    // The watch starts once the first arrangement has placed the window: while start-up is still
    // running (its port chooser yields to ticks) the design size must not replace the saved geometry.
    if (s_.LayoutState != 1 && s_.LayoutState != 0 && host_.State() != WindowHost::WindowState::Minimized) {
        const TwipsRect g = host_.WindowGeometry();
        if (g.width != s_.WindowWidth || g.height != s_.WindowHeight) {
            s_.LayoutState = std::abs(g.height - s_.WindowHeight) < std::abs(g.width - s_.WindowWidth) ? 3 : 2;
            s_.LayoutPending = true;
        }
    }

    if (s_.SessionRunning()) {
        const float now = clock_.SecondsSinceMidnight();
        if (s_.DataSeen) {
            s_.DataSeen = false;
            s_.LastDataTime = now;
            s_.LblShnStf[7].backColor = Colors::kLightGreen;
        } else {
            // Across midnight the clock restarts at 0; the last data time is then a day earlier.
            const float last = now < s_.LastDataTime ? s_.LastDataTime - 86400.0f : s_.LastDataTime;
            if (now > last + 0.5f) {
                s_.LblShnStf[7].backColor = Colors::kLightRed;
                s_.LblShnStf[7].caption = QStringLiteral("No Data");
            }
        }
        // Elapsed time keeps counting past midnight: whole days between the start date and now are
        // added to the difference of the two time-of-day readings.
        const qint64 days = s_.SessionStartDate.isValid() ? s_.SessionStartDate.date().daysTo(clock_.Now().date()) : 0;
        const double elapsed = double(now) - double(s_.SessionStartSeconds) + 86400.0 * double(days);
        s_.LblParams[1].caption = FormatSessionTime(elapsed);
    }

    indicators_.StepIndicatorLevel();
    indicators_.ShowLevelIndicators();

    if (s_.TickCountdown > 0) s_.TickCountdown -= 1;

    if (s_.LayoutPending) {
        arranger_.ArrangePanels();
        s_.LayoutPending = false;
    }

    if (comm_.PortOpen()) {
        for (;;) {
            const int waiting = comm_.InBufferCount();
            if (waiting < 0) portFailed = true;
            if (waiting == 0) break;
            if (portFailed) {
                sessions_.mnuStop_Click();
                break;
            }
            if (!ReadDevicePackets()) portFailed = true;
            if ((s_.StatusByte & 4) && s_.AwaitingStartValue) {
                if (std::abs(s_.StartCandidate - s_.RawReading) > s_.JitterRejection) {
                    s_.StartCandidate = s_.RawReading;
                } else {
                    s_.StableCount += 1;
                    if (s_.StableCount > 2 * s_.FilterSize) {
                        s_.AwaitingStartValue = false;
                        s_.lblSysADCstart.caption = NumberText(s_.StartCandidate);
                    }
                }
            }
        }
        if (portFailed && s_.SessionRunning()) sessions_.mnuStop_Click();
    }

    // What was recorded reaches the operating system once per tick; a write failure is told once.
    files_.Flush();
    const QString failure = files_.TakeWriteFailure();
    if (!failure.isEmpty()) {
        boxes_.Show(QStringLiteral("Recording failed: ") + failure, QStringLiteral("Aurivo USB"),
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
}

bool Monitor::ReadDevicePackets() {
    do {
        const QByteArray in = comm_.Input();
        if (in.isEmpty()) return false;
        if (decoder_.Feed(uint8_t(in[0]))) {
            s_.DataSeen = true;
            s_.NoDataTicks = 0;
            s_.RawReading = decoder_.RawReading();
            s_.StatusByte = decoder_.StatusByte();
            status_.ShowReadingStatus();
            graph_.PlotReading();
        }
        const int waiting = comm_.InBufferCount();
        if (waiting < 0) return false;
        if (waiting == 0) return true;
    } while (true);
}

void Monitor::mnuExit_Click() {
    if (comm_.PortOpen()) comm_.SetPortOpen(false);
    exitRequested_ = true;
}

Settings Monitor::CollectSettings() {
    // The captions are the authority for port and sensitivity; the window for its geometry. A view text
    // other than "True" is written as "False" by the settings file itself.
    bool ok = false;
    const double port = s_.LblParams[5].caption.trimmed().toDouble(&ok);
    if (ok) s_.CommPortNumber = ToLong(port);
    s_.SensitivityText = s_.LblParams[3].caption;
    const TwipsRect g = host_.WindowGeometry();
    s_.WindowWidth = ToLong(g.width);
    s_.WindowHeight = ToLong(g.height);
    s_.WindowTop = ToLong(g.top);
    s_.WindowLeft = ToLong(g.left);
    return Settings{.CommPortNumber = s_.CommPortNumber,
                    .SensitivityText = s_.SensitivityText,
                    .PictureGraphVisible = s_.PictureGraphVisible,
                    .ColorGraphVisible = s_.ColorGraphVisible,
                    .BarGraphVisible = s_.BarGraphVisible,
                    .InternalStatusVisible = s_.InternalStatusVisible,
                    .SessionCommentsVisible = s_.SessionCommentsVisible,
                    .TimeEtcVisible = s_.TimeEtcVisible,
                    .WindowWidth = s_.WindowWidth,
                    .WindowHeight = s_.WindowHeight,
                    .WindowTop = s_.WindowTop,
                    .WindowLeft = s_.WindowLeft,
                    .FilterSize = s_.FilterSize,
                    .JitterRejection = s_.JitterRejection,
                    .PanelWeightSum = s_.PanelWeightSum};
}

void Monitor::Form_QueryUnload() {
    s_.ClosingRequested = true;
    // Closing during a session stops it first, so the header gets its closing records and the
    // user's comments; nothing typed is lost.
    if (s_.SessionRunning()) sessions_.mnuStop_Click();
    if (s_.mnuSaveFile.caption == kResume) {
        if (host_.State() == WindowHost::WindowState::Normal) {
            host_.SetWindowHeight(s_.PreReplayHeight);
            host_.SetWindowWidth(s_.PreReplayWidth);
        }
        views_.LeaveReplayView();
    }
    settingsFile_.Write(CollectSettings());
    if (comm_.PortOpen()) comm_.SetPortOpen(false);
}

void Monitor::LblParams_Click(int index) {
    views_.HideEntryFrame();
    if (index == 3) params_.mnuSetSense_Click();
    if (index == 5) ports_.LblParams5_Click();
}

void Monitor::pixXYgraf_Click() {
    if (s_.mnuDisplayOld.caption == kDisplayAnother) mnuDisplayOld_Click();
    views_.HideEntryFrame();
}

void Monitor::mnuSaveFile_Click() {
    if (s_.mnuSaveFile.caption == kResume) {
        s_.pixXYgraf.Cls();
        s_.mnuDisplayOld.caption = QStringLiteral("Display saved session");
        s_.mnuSaveFile.caption = QStringLiteral("Save session");
        if (host_.State() == WindowHost::WindowState::Normal) {
            host_.SetWindowHeight(s_.PreReplayHeight);
            host_.SetWindowWidth(s_.PreReplayWidth);
        }
        s_.mnuSession.visible = true;
        s_.mnuDisplay.visible = true;
        s_.mnuSerlPort.visible = true;
        views_.LeaveReplayView();
        s_.ReplayActive = false;
        s_.TxtSeshnComnts.text.clear();
        s_.TxtSeshnComnts.locked = false;
        for (auto& label : s_.lbl4Graf) label.caption.clear();
        return;
    }
    const QFileInfo data(QDir(folder_).filePath(QStringLiteral("tempdata.tst")));
    if (!data.exists() || !data.isReadable() || data.size() == 0) {
        boxes_.Show(QStringLiteral("There is no session data to save!"), QStringLiteral("Aurivo USB"),
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
        return;
    }
    FileManager manager(s_, folder_, boxes_);
    manager.Form_Load();
    manager.cmdFileOptionCaption = QStringLiteral("Save");
    manager.caption = QStringLiteral("Save session file");
    manager.width = 4185; // hides the display list at the right
    manager.cmdAdd2ListVisible = false;
    dialogs_.ShowFileManager(manager);
}

void Monitor::mnuDisplayOld_Click() {
    {
        FileManager manager(s_, folder_, boxes_);
        manager.Form_Load();
        manager.cmdFileOptionCaption = QStringLiteral("Display");
        manager.caption = QStringLiteral("Display saved session file");
        manager.width = 6735;
        manager.cmdAdd2ListVisible = true;
        dialogs_.ShowFileManager(manager);
    }
    if (s_.ChosenSessionCount < 1) {
        if (s_.ReplayActive) mnuSaveFile_Click();
        return;
    }
    if (s_.mnuDisplayOld.caption != kDisplayAnother) {
        s_.mnuDisplayOld.caption = kDisplayAnother;
        s_.mnuSaveFile.caption = kResume;
        s_.TxtSeshnComnts.locked = true;
        if (host_.State() == WindowHost::WindowState::Normal) {
            const TwipsRect g = host_.WindowGeometry();
            s_.PreReplayHeight = ToLong(g.height);
            s_.PreReplayWidth = ToLong(g.width);
            host_.SetWindowWidth(0.9 * host_.ScreenWidthTwips());
            host_.SetWindowHeight(0.9 * host_.ScreenHeightTwips());
        }
        views_.EnterReplayView();
        s_.mnuSession.visible = false;
        s_.mnuDisplay.visible = false;
        s_.mnuSerlPort.visible = false;
        s_.ReplayActive = true;
        // Two ticks re-arrange the window before drawing. The wait also ends if the window closes or
        // after a few seconds, so it can never hang the program.
        s_.TickCountdown = 2;
        const int64_t deadline = clock_.SteadyMilliseconds() + 3000;
        while (s_.TickCountdown > 0 && !s_.ClosingRequested && clock_.SteadyMilliseconds() < deadline)
            host_.ProcessEvents();
        s_.TxtSeshnComnts.font.size = 8;
    }
    SessionReplay replay(s_, boxes_);
    replay.DrawChosenSessions([this](int32_t x, double ohms, uint32_t colour) { return graph_.PlotPoint(x, ohms, colour); },
                              [this] { graph_.DrawGraphGrid(); });
}

void Monitor::mnuAboutHelp_Click() { dialogs_.ShowAbout(); }
