#include "core/MonitorState.h"

#include "core/Colors.h"

namespace aurivo {

namespace {
MenuItemModel item(const char* caption, bool enabled = true, bool checked = false) {
    MenuItemModel m;
    m.caption = QString::fromLatin1(caption);
    m.enabled = enabled;
    m.checked = checked;
    return m;
}
LabelModel label(const QString& caption, uint32_t back = colors::kButtonFace, bool visible = true) {
    LabelModel l;
    l.caption = caption;
    l.backColor = back;
    l.visible = visible;
    return l;
}
} // namespace

MonitorState::MonitorState() {
    mnuFile = item("File");
    mnuSession = item("Session");
    mnuDisplay = item("Display");
    mnuSerlPort = item("Serial Port");
    mnuHelp = item("&Help");

    mnuSaveFile = item("Save session");
    mnuDisplayOld = item("Display saved session");
    mnuCancel = item("Cancel");
    mnuExit = item("Exit");
    mnuRestart = item("Restart", false);
    mnuStart = item("Start");
    mnuStartAs = item("Start and save as");
    mnuStop = item("Stop", false);
    mnuSetSense = item("Set Sensitivity");
    mnuSetFSize = item("Set Filter Size");
    mnuSetSSF = item("Adjust Jitter Rejection");
    mnuPixGraf = item("Picture Graph", true, true);
    mnuBarGrf = item("Color Bar Graph", true, true);
    mnuSmlGraf = item("BarGraph", true, true);
    mnuInternStatus = item("Internal Status", true, true);
    mnuComments = item("Session comments", true, true);
    mnuTimnStuf = item("Display Time etc.", true, true);
    mnuShowInput = item("ShowDataInput", false);
    mnuSetComPort = item("Set Comm Port");
    mnuAboutHelp = item("About");

    // The six panels are hidden until the first arrangement lays them out.
    for (FrameModel* f :
         {&frmPixGraf, &frameLEDdisp, &frameBarGraf, &frameSesshnStuff, &fraSeshnComnts, &frameParams})
        f->visible = false;

    for (auto& l : lbl4Graf)
        l = label(QString());
    lblGrafError = label(QStringLiteral("Readjusting  graph "), colors::kRed, false);
    lblGrafError.font = FontSpec{QStringLiteral("MS Sans Serif"), 8.25, true};
    for (auto& l : lblLED)
        l = label(QString());
    for (auto& l : lblBarGraf)
        l = label(QString());

    const char* shnStf[10] = {"% Change ", "0 %", "Res.", "0", "Cond.", "0", "Data", "", "Battery", ""};
    for (int i = 0; i < 10; ++i) {
        lblShnStf[i] = label(QString::fromLatin1(shnStf[i]));
        lblShnStf[i].font = FontSpec{QStringLiteral("Lucida Sans Unicode"), 7.5, true};
    }
    lblShnStf[8].visible = false;
    lblShnStf[9].visible = false;
    lblSysADCstart = label(QStringLiteral("0"), 0x00E0E0E0, false);

    txtSeshnComnts.text = QStringLiteral("Place session comments here.");
    txtSeshnComnts.font = FontSpec{QStringLiteral("Lucida Sans Unicode"), 7.5, true};
    txtSeshnComnts.rect = TwipsRect{120, 120, 0, 0}; // design left and top; the arrangement sizes it

    const char* params[7] = {"Time", "", "Sens.%", "25", "Port #", "2", "Examiming Ports"};
    for (int i = 0; i < 7; ++i) {
        lblParams[i] = label(QString::fromLatin1(params[i]));
        lblParams[i].font = FontSpec{QStringLiteral("Lucida Sans Unicode"), 7.5, true};
    }
    lblParams[3].backColor = colors::kWindowBackground;
    lblParams[3].toolTip = QStringLiteral("Click here to adjust sensitivity");
    lblParams[5].backColor = colors::kWindowBackground;
    lblParams[5].toolTip = QStringLiteral("Click here to select port number");
    lblParams[6].backColor = colors::kRed;

    fraAdjSens.caption = QStringLiteral("Set Sensitivity");
    fraAdjSens.rect = TwipsRect{480, 840, 3975, 1695};
    lblSenseValu = label(QStringLiteral("1000"));
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

} // namespace aurivo
