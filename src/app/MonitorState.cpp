#include "app/MonitorState.h"

#include "app/Colors.h"

namespace {
MenuItemModel Item(const char* caption, bool enabled = true, bool checked = false) {
    MenuItemModel m;
    m.caption = QString::fromLatin1(caption);
    m.enabled = enabled;
    m.checked = checked;
    return m;
}
LabelModel Label(const QString& caption, uint32_t back = Colors::kButtonFace, bool visible = true) {
    LabelModel l;
    l.caption = caption;
    l.backColor = back;
    l.visible = visible;
    return l;
}
} // namespace

MonitorState::MonitorState() {
    mnuFile = Item("File");
    mnuSession = Item("Session");
    mnuDisplay = Item("Display");
    mnuSerlPort = Item("Serial Port");
    mnuHelp = Item("&Help");

    mnuSaveFile = Item("Save session");
    mnuDisplayOld = Item("Display saved session");
    mnuCancel = Item("Cancel");
    mnuExit = Item("Exit");
    mnuRestart = Item("Restart", false);
    mnuStart = Item("Start");
    mnuStartAs = Item("Start and save as");
    mnuStop = Item("Stop", false);
    mnuSetSense = Item("Set Sensitivity");
    mnuSetFSize = Item("Set Filter Size");
    mnuSetSSF = Item("Adjust Jitter Rejection");
    mnuPixGraf = Item("Picture Graph", true, true);
    mnuBarGrf = Item("Color Bar Graph", true, true);
    mnuSmlGraf = Item("BarGraph", true, true);
    mnuInternStatus = Item("Internal Status", true, true);
    mnuComments = Item("Session comments", true, true);
    mnuTimnStuf = Item("Display Time etc.", true, true);
    mnuShowInput = Item("ShowDataInput", false);
    mnuSetComPort = Item("Set Comm Port");
    mnuAboutHelp = Item("About");

    // The six panels are hidden until the first arrangement lays them out.
    for (FrameModel* f : {&frmPixGraf, &frameLEDdisp, &frameBarGraf, &frameSesshnStuff, &fraSeshnComnts, &FrameParams})
        f->visible = false;

    for (auto& l : lbl4Graf) l = Label(QString());
    lblGrafError = Label(QStringLiteral("Readjusting  graph "), Colors::kRed, false);
    lblGrafError.font = FontSpec{QStringLiteral("MS Sans Serif"), 8.25, true};
    for (auto& l : lblLED) l = Label(QString());
    for (auto& l : lblBarGraf) l = Label(QString());

    const char* shnStf[10] = {"% Change ", "0 %", "Res.", "0", "Cond.", "0", "Data", "", "Battery", ""};
    for (int i = 0; i < 10; ++i) {
        LblShnStf[i] = Label(QString::fromLatin1(shnStf[i]));
        LblShnStf[i].font = FontSpec{QStringLiteral("Lucida Sans Unicode"), 7.5, true};
    }
    LblShnStf[8].visible = false;
    LblShnStf[9].visible = false;
    lblSysADCstart = Label(QStringLiteral("0"), 0x00E0E0E0, false);

    TxtSeshnComnts.text = QStringLiteral("Place session comments here.");
    TxtSeshnComnts.font = FontSpec{QStringLiteral("Lucida Sans Unicode"), 7.5, true};
    TxtSeshnComnts.rect = TwipsRect{120, 120, 0, 0}; // design left and top; the arrangement sizes it

    const char* params[7] = {"Time", "", "Sens.%", "25", "Port #", "2", "Examiming Ports"};
    for (int i = 0; i < 7; ++i) {
        LblParams[i] = Label(QString::fromLatin1(params[i]));
        LblParams[i].font = FontSpec{QStringLiteral("Lucida Sans Unicode"), 7.5, true};
    }
    LblParams[3].backColor = Colors::kWindowBackground;
    LblParams[3].toolTip = QStringLiteral("Click here to adjust sensitivity");
    LblParams[5].backColor = Colors::kWindowBackground;
    LblParams[5].toolTip = QStringLiteral("Click here to select port number");
    LblParams[6].backColor = Colors::kRed;

    fraAdjSens.caption = QStringLiteral("Set Sensitivity");
    fraAdjSens.rect = TwipsRect{480, 840, 3975, 1695};
    lblSenseValu = Label(QStringLiteral("1000"));
    fraSelctPort.caption = QStringLiteral("Available Ports");
    fraSelctPort.rect = TwipsRect{480, 0, 4245, 1980};
    const double columns[4] = {180, 1200, 2220, 3240};
    const double rows[4] = {270, 600, 930, 1260};
    for (int i = 0; i < 16; ++i) {
        optPortNum[i].caption = QStringLiteral("COM%1").arg(i + 1);
        optPortNum[i].rect = TwipsRect{columns[i / 4], rows[i % 4], 900, 195};
    }
    fraSetStuff.rect = TwipsRect{1680, 0, 3015, 735};
    txtSS.text = QStringLiteral("0");
}
