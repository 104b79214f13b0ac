#pragma once
// The main window's state: its fields, the program-wide flags, and the records of every control the
// routines read or write (captions double as state where the program relies on them: the sensitivity
// in LblParams(3), the port in LblParams(5), the start reading in lblSysADCstart, the replay state in
// the File menu's captions). Owned by the monitor; the window mirrors the control records.

#include "core/ControlModels.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>

namespace aurivo {

struct MonitorState {
    MonitorState();

    // ---- Menus -------------------------------------------------------------------------------------
    MenuItemModel mnuFile, mnuSession, mnuDisplay, mnuSerlPort, mnuHelp;
    MenuItemModel mnuSaveFile, mnuDisplayOld, mnuCancel, mnuExit;
    MenuItemModel mnuRestart, mnuStart, mnuStartAs, mnuStop, mnuSetSense, mnuSetFSize, mnuSetSSF;
    MenuItemModel mnuPixGraf, mnuBarGrf, mnuSmlGraf, mnuInternStatus, mnuComments, mnuTimnStuf, mnuShowInput;
    MenuItemModel mnuSetComPort, mnuAboutHelp;

    // ---- Display panels ----------------------------------------------------------------------------
    FrameModel frmPixGraf, frameLEDdisp, frameBarGraf, frameSesshnStuff, fraSeshnComnts, frameParams;
    TwipsRect pixXYgrafRect;
    std::array<LabelModel, 10> lbl4Graf;
    LabelModel lblGrafError;
    double lblGrafErrorWidth = 0; // 150 or 300 while a notice is shown
    std::array<LabelModel, 8> lblLED;
    std::array<LabelModel, 32> lblBarGraf;
    std::array<LabelModel, 10> lblShnStf;
    LabelModel lblSysADCstart;
    TextBoxModel txtSeshnComnts;
    std::array<LabelModel, 7> lblParams;

    // ---- Entry frames ------------------------------------------------------------------------------
    FrameModel fraAdjSens, fraSelctPort, fraSetStuff;
    SliderModel slider1;
    LabelModel lblSenseValu;
    std::array<OptionButtonModel, 16> optPortNum;
    TextBoxModel txtSS;

    // ---- Main-form fields --------------------------------------------------------------------------
    int32_t rawReading = 0;
    int32_t statusByte = 0;
    int32_t noDataTicks = 0;
    int32_t tickCountdown = 0;
    bool awaitingStartValue = false;
    int32_t startCandidate = 0;
    int32_t stableCount = 0;
    float sessionStartSeconds = 0;
    QDateTime sessionStartDate;
    int filterSize = 3;
    int jitterRejection = 100;
    QString sensitivityText = QStringLiteral("25");
    float levelTarget = 0;
    float levelShown = 0;
    int32_t filteredReading = 0;
    std::array<int32_t, 9> filterBuffer{};
    int32_t graphStartReading = 0;
    int32_t graphSpanPercent = 0;
    float graphMaxOhms = 0;
    float graphScale = 0;
    int32_t recordCount = 1;
    int32_t yCompress = 1;
    int32_t compressionCounter = 0;
    float ohmsAccumulator = 0;
    bool redrawRequested = false;
    int layoutState = 0;
    bool layoutPending = false;
    int32_t windowWidth = 0, windowHeight = 0, windowLeft = 0, windowTop = 0;
    int32_t panelWeightSum = 28;
    QString pictureGraphVisible = QStringLiteral("True");
    QString colorGraphVisible = QStringLiteral("True");
    QString barGraphVisible = QStringLiteral("True");
    QString internalStatusVisible = QStringLiteral("True");
    QString sessionCommentsVisible = QStringLiteral("True");
    QString timeEtcVisible = QStringLiteral("True");
    int32_t preReplayHeight = 0, preReplayWidth = 0;
    bool preReplayBarGrf = false, preReplayPixGraf = false, preReplaySmlGraf = false;
    bool preReplayInternStatus = false, preReplayComments = false, preReplayTimnStuf = false;

    // ---- Program-wide flags and values -------------------------------------------------------------
    bool dataSeen = false;
    float lastDataTime = 0;
    double minADC = 16383;
    double maxADC = 0;
    int32_t recordTime = 25;
    int32_t commPortNumber = 2;
    bool cancelRequested = false;  // ends the port chooser's pauses (File > Cancel, Okay, file manager)
    bool closingRequested = false; // the window is closing: ends any pause still spinning
    bool portScanActive = false;   // a scan runs: option-button presses are ignored
    bool saveAsFlag = false;
    QString saveAsName;
    QString fileManagerFolder;
    QString sessionTstPath, sessionHdrPath, sessionTxtPath;
    int chosenSessionCount = 0;
    std::array<QString, 6> chosenTstPaths, chosenHdrPaths;
    bool replayActive = false;
    uint32_t replayColour = 0;

    // A session runs exactly while "Start" is disabled.
    bool sessionRunning() const { return !mnuStart.enabled; }
};

} // namespace aurivo
