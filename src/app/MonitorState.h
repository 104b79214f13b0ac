#pragma once
// The main window's state: its fields, the program-wide flags, and the records of every control the
// routines read or write (captions double as state where the program relies on them: the sensitivity
// in LblParams(3), the port in LblParams(5), the start reading in lblSysADCstart, the replay state in
// the File menu's captions). Owned by the monitor; the window mirrors the control records.

#include "display/GraphCanvas.h"
#include "ui/ControlModels.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>

struct MonitorState {
    MonitorState();

    // ---- Menus -------------------------------------------------------------------------------------
    MenuItemModel mnuFile, mnuSession, mnuDisplay, mnuSerlPort, mnuHelp;
    MenuItemModel mnuSaveFile, mnuDisplayOld, mnuCancel, mnuExit;
    MenuItemModel mnuRestart, mnuStart, mnuStartAs, mnuStop, mnuSetSense, mnuSetFSize, mnuSetSSF;
    MenuItemModel mnuPixGraf, mnuBarGrf, mnuSmlGraf, mnuInternStatus, mnuComments, mnuTimnStuf, mnuShowInput;
    MenuItemModel mnuSetComPort, mnuAboutHelp;

    // ---- Display panels ----------------------------------------------------------------------------
    FrameModel frmPixGraf, frameLEDdisp, frameBarGraf, frameSesshnStuff, fraSeshnComnts, FrameParams;
    GraphCanvas pixXYgraf;
    TwipsRect pixXYgrafRect;
    std::array<LabelModel, 10> lbl4Graf;
    LabelModel lblGrafError;
    double lblGrafErrorWidth = 0; // 150 or 300 while a notice is shown
    std::array<LabelModel, 8> lblLED;
    std::array<LabelModel, 32> lblBarGraf;
    std::array<LabelModel, 10> LblShnStf;
    LabelModel lblSysADCstart;
    TextBoxModel TxtSeshnComnts;
    std::array<LabelModel, 7> LblParams;

    // ---- Entry frames ------------------------------------------------------------------------------
    FrameModel fraAdjSens, fraSelctPort, fraSetStuff;
    SliderModel Slider1;
    LabelModel lblSenseValu;
    std::array<OptionButtonModel, 16> optPortNum;
    TextBoxModel txtSS;

    // ---- Main-form fields --------------------------------------------------------------------------
    int32_t RawReading = 0;
    int32_t StatusByte = 0;
    int32_t NoDataTicks = 0;
    int32_t TickCountdown = 0;
    bool AwaitingStartValue = false;
    int32_t StartCandidate = 0;
    int32_t StableCount = 0;
    float SessionStartSeconds = 0;
    QDateTime SessionStartDate;
    int FilterSize = 3;
    int JitterRejection = 100;
    QString SensitivityText = QStringLiteral("25");
    float LevelTarget = 0;
    float LevelShown = 0;
    int32_t FilteredReading = 0;
    std::array<int32_t, 9> FilterBuffer{};
    int32_t GraphStartReading = 0;
    int32_t GraphSpanPercent = 0;
    float GraphMaxOhms = 0;
    float GraphScale = 0;
    int32_t RecordCount = 1;
    int32_t yCompress = 1;
    int32_t ComprshnCounter = 0;
    float OhmsAccumulator = 0;
    bool RedrawRequested = false;
    int LayoutState = 0;
    bool LayoutPending = false;
    int32_t WindowWidth = 0, WindowHeight = 0, WindowLeft = 0, WindowTop = 0;
    int32_t PanelWeightSum = 28;
    QString PictureGraphVisible = QStringLiteral("True");
    QString ColorGraphVisible = QStringLiteral("True");
    QString BarGraphVisible = QStringLiteral("True");
    QString InternalStatusVisible = QStringLiteral("True");
    QString SessionCommentsVisible = QStringLiteral("True");
    QString TimeEtcVisible = QStringLiteral("True");
    int32_t PreReplayHeight = 0, PreReplayWidth = 0;
    bool PreReplayBarGrf = false, PreReplayPixGraf = false, PreReplaySmlGraf = false;
    bool PreReplayInternStatus = false, PreReplayComments = false, PreReplayTimnStuf = false;

    // ---- Program-wide flags and values -------------------------------------------------------------
    bool DataSeen = false;
    float LastDataTime = 0;
    double MinADC = 16383;
    double MaxADC = 0;
    int32_t RecordTime = 25;
    int32_t CommPortNumber = 2;
    bool CancelRequested = false;  // ends the port chooser's pauses (File > Cancel, Okay, file manager)
    bool ClosingRequested = false; // the window is closing: ends any pause still spinning
    bool PortScanActive = false;   // a scan runs: option-button presses are ignored
    bool SaveAsFlag = false;
    QString SaveAsName;
    int MsgBoxAnswer = 0;
    QString FileManagerFolder;
    QString SessionTstPath, SessionHdrPath, SessionTxtPath;
    int ChosenSessionCount = 0;
    std::array<QString, 6> ChosenTstPaths, ChosenHdrPaths;
    bool ReplayActive = false;
    uint32_t ReplayColour = 0;

    // A session runs exactly while "Start" is disabled.
    bool SessionRunning() const { return !mnuStart.enabled; }
};
