#include "app/Monitor.h"

#include "analysis/ResponseSettings.h"
#include "app/Dialogs.h"
#include "core/Clock.h"
#include "core/MessageBoxes.h"
#include "core/NumberRules.h"
#include "core/WindowHost.h"
#include "device/SerialComm.h"
#include "display/TraceRecorder.h"
#include "files/SessionCopier.h"
#include "recording/CrashRecovery.h"
#include "recording/SessionReplay.h"
#include "recording/UnsavedSessions.h"

#include <QDir>
#include <QFileInfo>

namespace aurivo {

using numbers::toLong;

Monitor::Monitor(Services services)
    : folder_(services.programFolder), comm_(services.comm), clock_(services.clock), boxes_(services.boxes),
      host_(services.host), dialogs_(services.dialogs), files_(folder_), reader_(comm_),
      arranger_(host_, boxes_), views_(arranger_, host_), params_(boxes_),
      ports_(comm_, host_, countdown_, services.deviceName),
      sessions_(SessionControl::Parts{comm_, clock_, boxes_, dialogs_, files_, pipeline_.recorder(),
                                      indicators_, graph_, panel_, ports_, comments_, markers_}),
      fileManager_(folder_, boxes_, comments_), settingsFile_(folder_),
      research_(ResearchTools::Parts{markers_, sessions_, pipeline_.recorder(), graph_, files_, fileManager_,
                                     responses_, boxes_, dialogs_}),
      // A marker from the lab link is set as Session > Add marker sets it, then named as the prompt names it.
      link_(clock_, markers_, [this](const QString& label) {
          const std::optional<size_t> index = research_.addMarker();
          if (index && !label.isEmpty()) research_.renameMarker(*index, label);
          return index;
      }) {
    pipeline_.addListener(link_);
    pipeline_.addListener(responses_);
    responses_.setConfirmedListener([this](const SkinResponse& response) {
        link_.sendResponse(response.onsetReading, response.peakReading, response.amplitudeUs);
    });
    responses_.setTell([this](const QString& text) {
        boxes_.notify(text, MessageBoxes::title(), MessageBoxes::Icon::Warning);
    });
    link_.setTell([this](const QString& text) {
        boxes_.notify(text, MessageBoxes::title(), MessageBoxes::Icon::Warning);
    });
    research_.exportChanged.subscribe([this] { notifyMenusIfChanged(); });
    views_.pictureGraphShown.subscribe([this] { graph_.requestRedraw(); });
    // The menus follow the session's running state, the views and the port chooser's probing; the
    // clock changing every second is no reason to look at them again.
    for (ChangeSignal* source : {&sessions_.changed, &views_.changed, &ports_.changed})
        source->subscribe([this] { notifyMenusIfChanged(); });
    // The listeners hear a session start and stop once each.
    sessions_.changed.subscribe([this] {
        if (sessions_.running() == listenersSawRunning_) return;
        listenersSawRunning_ = sessions_.running();
        for (ReadingListener* listener : std::vector<ReadingListener*>(pipeline_.listeners())) {
            if (listenersSawRunning_)
                listener->sessionStarted(sessions_.sessionBaseName());
            else
                listener->sessionStopped();
        }
    });
}

void Monitor::startUp() {
    // A save over a session that was cut off is finished (or undone) first, so each name in the folder
    // holds one whole session before anything else looks at it.
    // (A folder that cannot hold files has none to finish; its problem is told below.)
    const SessionCopier::Result unfinished = folderProblem_.isEmpty()
                                                 ? SessionCopier::finishInterrupted(folder_)
                                                 : SessionCopier::Result{true, {}};
    if (!unfinished.ok)
        boxes_.notify(QStringLiteral("A save that was cut off could not be finished.\r\n") +
                          unfinished.reason,
                      MessageBoxes::title(), MessageBoxes::Icon::Warning);
    // A session cut off by the end of the program is kept under a name of its own, not deleted. The
    // temporary files are deleted only when no recovery still needs them: one that could not be finished
    // leaves its journal, and its files are then part of the session it moves.
    // An unsaved session whose move into unsaved/ was cut off is completed before the temporary files
    // are looked at: its remaining files must not be taken for a crashed session or deleted.
    const QString unkept = folderProblem_.isEmpty() ? UnsavedSessions::finishInterrupted(folder_) : QString();
    if (!unkept.isEmpty())
        boxes_.notify(QStringLiteral("An unsaved session could not be moved whole into unsaved/:\r\n") +
                          unkept,
                      MessageBoxes::title(), MessageBoxes::Icon::Warning);
    const CrashRecovery::Outcome recovered = CrashRecovery::recover(folder_);
    if (!recovered.keepTemporaryFiles && !CrashRecovery::recoveryPending(folder_) && unkept.isEmpty())
        SessionFiles::deleteTemporaryFiles(folder_);
    if (!recovered.notice.isEmpty())
        boxes_.notify(recovered.notice, MessageBoxes::title(), MessageBoxes::Icon::Information);
    for (const QString& notice : startUpNotices_)
        boxes_.notify(notice, MessageBoxes::title(), MessageBoxes::Icon::Information);
    if (!folderProblem_.isEmpty()) {
        boxes_.notify(
            QStringLiteral("The program's folder %1 cannot hold files: %2\r\nSessions are shown but "
                           "not recorded, and the settings are not kept.")
                .arg(QDir::toNativeSeparators(folder_), folderProblem_),
            MessageBoxes::title(), MessageBoxes::Icon::Warning);
    }
    indicators_.setShown(255);
    indicators_.resetToNeutral();
    loadSettings();
    link_.apply(LabLinkSettings::load(folder_));
    responses_.setSettings(ResponseSettings::load(folder_));
    research_.setTicksShown(ResponseSettings::ticksShown(folder_));
    // The port and sensitivity captions show the values just read; the first tick arranges the window.
    arranger_.requestArrangement(LayoutState::FirstPlacement);
}

void Monitor::loadSettings() {
    Settings loaded; // the program's initial values: what a short file leaves unread
    SettingsFile::ReadResult result = settingsFile_.read(loaded);
    // A settings file beside an executable that cannot keep files is still the user's choice.
    if (result.status == SettingsFile::ReadResult::Status::Missing && !settingsFallbackFolder_.isEmpty() &&
        QDir(settingsFallbackFolder_) != QDir(folder_)) {
        loaded = Settings{};
        result = SettingsFile(settingsFallbackFolder_).read(loaded);
    }
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
        ports_.hideScanNotice();

    ports_.setCommPortNumber(loaded.commPortNumber);
    params_.setSensitivity(Sensitivity::asRead(loaded.sensitivityText));
    views_.load(loaded.views, loaded.panelWeightSum);
    arranger_.rememberGeometry(loaded.windowWidth, loaded.windowHeight, loaded.windowLeft, loaded.windowTop);
    params_.setFilterSize(loaded.filterSize);
    params_.setJitterRejection(loaded.jitterRejection);

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

    if (sessions_.running() && sessions_.countTickWithoutData() > 160) {
        boxes_.show(QStringLiteral("No data detected on serial port .") + QStringLiteral("\r\n") +
                        QStringLiteral("Session Stopped !!"),
                    QStringLiteral("Serial port timeout"), MessageBoxes::Buttons::Ok,
                    MessageBoxes::Icon::None);
        sessions_.resetNoDataTicks();
        sessions_.stopSession();
    }

    arranger_.watchSize();

    if (sessions_.running()) sessions_.showDataPresence();

    indicators_.stepLevel(last_, sessions_.running());
    indicators_.showLevel(sessions_.awaitingStartValue());

    countdown_.tick();

    const PanelArranger::Outcome arranged =
        arranger_.arrangeIfPending(views_.views(), views_.panelWeightSum());
    if (arranged.laidOut) {
        if (arranged.picturePixels) {
            const QSize size = *arranged.picturePixels;
            if (size.width() != graph_.picture().scaleWidth() ||
                size.height() != graph_.picture().scaleHeight())
                graph_.resizePicture(size.width(), size.height());
        }
        if (arranged.redrawGraph) graph_.requestRedraw();
        ports_.hideScanNotice();
    }

    // The readings this tick stores are recorded with the session time it runs at, so the export places
    // them on the session's clock however many packets were lost or late.
    // One reading of the session clock serves the tick: its readings share the time they were read at
    // (within the tick's read budget), and the clock is not asked once per packet.
    tickSeconds_ = sessions_.running() ? sessions_.elapsedSeconds() : 0.0;
    if (sessions_.running()) files_.beginTick(tickSeconds_);
    if (comm_.portOpen() && !readDevicePackets() && sessions_.running()) sessions_.stopAfterPortFailure();

    // What was recorded reaches the operating system once per tick; a write failure is told once, in a
    // notice that does not wait, so the clock, the data label and the timeout go on while it is open.
    files_.flush();
    const QString stopped = files_.takeRecordingStopped();
    if (!stopped.isEmpty()) boxes_.notify(stopped, MessageBoxes::title(), MessageBoxes::Icon::Warning);
}

bool Monitor::readDevicePackets() {
    const int64_t started = clock_.steadyMilliseconds();
    const auto mayGoOn = [&] { return clock_.steadyMilliseconds() - started < kReadBudgetMs; };
    const auto take = [this](const Reading& reading) { takeReading(reading); };
    bool portFailed = false;
    for (;;) {
        const int waiting = comm_.inBufferCount();
        if (waiting < 0) portFailed = true;
        if (waiting == 0) break;
        if (portFailed) {
            sessions_.stopAfterPortFailure();
            break;
        }
        const PacketReader::Outcome outcome = reader_.readWaiting(take, mayGoOn);
        if (outcome == PacketReader::Outcome::Failed) portFailed = true;
        // The capture works once per round, on the last packet that round decoded.
        sessions_.captureStartValue(last_, params_.jitterRejection(), params_.filterSize());
        if (outcome == PacketReader::Outcome::Paused || (!portFailed && !mayGoOn())) break;
    }
    return !portFailed;
}

void Monitor::takeReading(const Reading& reading) {
    sessions_.noteReading();
    // The panel shows the filtered reading as the previous packet left it (the one-packet lag is
    // intended), against the graph's span as its last rebuild set it.
    const std::optional<float> target = panel_.showReading(
        reading, ReadingStatus::Context{pipeline_.filter().filtered(), sessions_.running(),
                                        double(sessions_.startReading()), graph_.state().graphSpanPercent});
    if (target) indicators_.setTarget(*target);

    const ReadingPipeline::Outcome taken = pipeline_.take(
        reading, ReadingPipeline::Context{double(sessions_.startReading()), params_.sensitivity().span(),
                                          params_.filterSize(), replayShown_, tickSeconds_});
    last_ = taken.reading;
    if (taken.widenedSensitivity) params_.setSensitivity(Sensitivity::widened(*taken.widenedSensitivity));
}

void Monitor::exitProgram() {
    if (comm_.portOpen()) comm_.setPortOpen(false);
    exitRequested_ = true;
}

Settings Monitor::collectSettings() const {
    // The window's geometry is what it really is now; a view other than shown is written as "False".
    const TwipsRect g = host_.windowGeometry();
    Settings s;
    s.commPortNumber = ports_.commPortNumber();
    s.sensitivityText = params_.sensitivity().text();
    s.views = views_.views();
    s.windowWidth = toLong(g.width);
    s.windowHeight = toLong(g.height);
    s.windowTop = toLong(g.top);
    s.windowLeft = toLong(g.left);
    s.filterSize = params_.filterSize();
    s.jitterRejection = params_.jitterRejection();
    s.panelWeightSum = views_.panelWeightSum();
    return s;
}

void Monitor::prepareToClose() {
    ports_.requestClose();
    // Closing during a session stops it first, so the header gets its closing records and the
    // user's comments; nothing typed is lost.
    if (sessions_.running()) sessions_.stopSession();
    if (replayShown_) {
        comments_.setText(commentsBeforeReplay_);
        views_.leaveReplayView();
        // The settings keep the size in force before the replay: leaving the replay view nudges the
        // height for an arrangement that will not run any more.
        if (host_.showState() == WindowState::Normal) {
            host_.setWindowHeight(views_.preReplayHeight());
            host_.setWindowWidth(views_.preReplayWidth());
        }
    }
    // A stopped session that was never saved is kept in unsaved/ rather than deleted by the next start.
    if (const QString failure = sessions_.keepUnsavedSession(); !failure.isEmpty()) {
        boxes_.show(QStringLiteral("The last session was not saved and could not be kept:\r\n") + failure +
                        QStringLiteral("\r\nIts files stay as tempdata.* until the next start."),
                    MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
    QString error;
    if (!settingsFile_.write(collectSettings(), &error)) {
        // The previous settings file stays as it was; the user learns why the choices were not kept.
        boxes_.show(QStringLiteral("The settings could not be saved.\r\n") +
                        QDir::toNativeSeparators(settingsFile_.path()) + QStringLiteral(": ") + error,
                    MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
    if (comm_.portOpen()) comm_.setPortOpen(false);
}

void Monitor::toggleShowInput() {
    showInputChecked_ = !showInputChecked_;
    notifyMenusIfChanged();
}

void Monitor::toggleResponseTicks() {
    research_.setTicksShown(!research_.ticksShown());
    QString failure;
    if (!ResponseSettings::saveTicksShown(folder_, research_.ticksShown(), failure)) {
        boxes_.notify(QStringLiteral("The choice is not kept for the next start.\r\n") + failure,
                      MessageBoxes::title(), MessageBoxes::Icon::Warning);
    }
    notifyMenusIfChanged();
}

bool Monitor::setResponseSettings(const ResponseDetector::Settings& settings, QString& failure) {
    responses_.setSettings(settings);
    return ResponseSettings::save(folder_, settings, failure);
}

bool Monitor::applyLabLink(const LabLinkSettings& settings, QString& failure) {
    link_.apply(settings);
    return settings.save(folder_, failure);
}

MenuState Monitor::menuState() const {
    MenuState state;
    state.running = sessions_.running();
    state.savedAs = sessions_.savedAs();
    state.probing = ports_.probing();
    state.views = views_.views();
    state.replayShown = replayShown_;
    state.showInputChecked = showInputChecked_;
    state.ticksShown = research_.ticksShown();
    state.exportEnabled = research_.exportEnabled();
    return state;
}

void Monitor::notifyMenusIfChanged() {
    const MenuState now = menuState();
    if (now == menuState_) return;
    menuState_ = now;
    menusChanged.notify();
}

void Monitor::clickSensitivity() {
    params_.hideEntryBox();
    params_.openSensitivityBox();
}

void Monitor::clickPortNumber() {
    params_.hideEntryBox();
    // During a session the port cannot change.
    if (!sessions_.running()) ports_.scanFromPortLabel();
}

void Monitor::clickGraph() {
    if (replayShown_) displaySavedSessions();
    params_.hideEntryBox();
}

void Monitor::setReplayShown(bool shown) {
    replayShown_ = shown;
    notifyMenusIfChanged();
}

void Monitor::saveSessionOrResume() {
    if (replayShown_) {
        graph_.leaveReplay();
        setReplayShown(false);
        research_.leaveReplay();
        if (host_.showState() == WindowState::Normal) {
            host_.setWindowHeight(views_.preReplayHeight());
            host_.setWindowWidth(views_.preReplayWidth());
        }
        views_.leaveReplayView();
        // The stopped session's comments come back; the replay only lent the box.
        comments_.setText(commentsBeforeReplay_);
        comments_.setLocked(false);
        graph_.clearAxisLabels();
        return;
    }
    const QFileInfo data(QDir(folder_).filePath(QStringLiteral("tempdata.tst")));
    if (!data.exists() || !data.isReadable() || data.size() == 0) {
        boxes_.show(QStringLiteral("There is no session data to save!"), MessageBoxes::title(),
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::None);
        return;
    }
    fileManager_.load(FileManager::Purpose::Save);
    ports_.requestCancel(); // opening the file manager ends a port chooser's pause
    dialogs_.showFileManager(fileManager_);
    if (fileManager_.saved()) sessions_.temporarySessionSaved();
}

void Monitor::displaySavedSessions() {
    fileManager_.load(FileManager::Purpose::Display);
    ports_.requestCancel();
    dialogs_.showFileManager(fileManager_);
    if (fileManager_.displayList().count < 1) {
        if (replayShown_) saveSessionOrResume();
        return;
    }
    replayDisplayList();
}

void Monitor::displaySessionFiles(const QStringList& paths) {
    if (sessions_.running()) return;
    fileManager_.listSessionFiles(paths);
    if (fileManager_.displayList().count > 0) replayDisplayList();
}

void Monitor::replayDisplayList() {
    if (!replayShown_) {
        commentsBeforeReplay_ = comments_.text();
        setReplayShown(true);
        comments_.setLocked(true);
        if (host_.showState() == WindowState::Normal) {
            const TwipsRect g = host_.windowGeometry();
            views_.rememberPreReplaySize(toLong(g.height), toLong(g.width));
            host_.setWindowWidth(0.9 * host_.screenWidthTwips());
            host_.setWindowHeight(0.9 * host_.screenHeightTwips());
        }
        views_.enterReplayView();
        // Two ticks re-arrange the window before drawing. The wait also ends if the window closes or
        // after a few seconds, so it can never hang the program.
        countdown_.start(2);
        host_.waitUntil([this] { return countdown_.expired() || ports_.closingRequested(); }, 3000);
        arranger_.setCommentFontSize(8);
    }
    SessionReplay replay(boxes_);
    TraceRecorder recorder(graph_);
    replay.drawChosenSessions(fileManager_.displayList(), recorder, comments_);
    research_.showReplay(fileManager_.displayList(), recorder.takeTraces());
}

void Monitor::choose(MenuItem item) {
    switch (item) {
    case MenuItem::SaveSession:
        return saveSessionOrResume();
    case MenuItem::DisplaySavedSessions:
        return displaySavedSessions();
    case MenuItem::Cancel:
        return ports_.requestCancel();
    case MenuItem::Exit:
        return exitProgram();
    case MenuItem::Restart:
        return sessions_.restartSession();
    case MenuItem::Start:
        return sessions_.startSession();
    case MenuItem::StartAs:
        return sessions_.startSessionAs();
    case MenuItem::Stop:
        return sessions_.stopSession();
    case MenuItem::SetSensitivity:
        return params_.openSensitivityBox();
    case MenuItem::SetFilterSize:
        return params_.openFilterSizeBox();
    case MenuItem::SetJitterRejection:
        return params_.openJitterBox();
    case MenuItem::ShowPictureGraph:
        return views_.togglePictureGraph();
    case MenuItem::ShowLamps:
        return views_.toggleColorBar();
    case MenuItem::ShowBar:
        return views_.toggleBarGraph();
    case MenuItem::ShowReadings:
        return views_.toggleInternalStatus();
    case MenuItem::ShowComments:
        return views_.toggleComments();
    case MenuItem::ShowParameterStrip:
        return views_.toggleTimeEtc();
    case MenuItem::ShowInput:
        return toggleShowInput();
    case MenuItem::ResponseTicks:
        return toggleResponseTicks();
    case MenuItem::ChoosePort:
        return ports_.scanPorts();
    case MenuItem::About:
        return dialogs_.showAbout();
    case MenuItem::Export:
        return research_.exportSession();
    case MenuItem::AddMarker:
        research_.addMarker();
        return;
    case MenuItem::File:
    case MenuItem::Session:
    case MenuItem::Display:
    case MenuItem::SerialPort:
    case MenuItem::Help:
    case MenuItem::Responses:
        return; // menus, and the window's own Responses window
    }
}

} // namespace aurivo
