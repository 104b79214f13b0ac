#include "app/MenuItems.h"

namespace aurivo {

MenuItemModel MenuItems::model(MenuItem item, const MenuState& state) {
    const bool running = state.running;
    const PanelViews& v = state.views;
    const auto plain = [](const char* caption, bool enabled = true) {
        return MenuItemModel{QString::fromLatin1(caption), enabled, false, true};
    };
    const auto check = [](const char* caption, bool checked, bool enabled = true) {
        return MenuItemModel{QString::fromLatin1(caption), enabled, checked, true};
    };
    switch (item) {
    case MenuItem::File:
        return plain("File");
    case MenuItem::Session:
        return MenuItemModel{QStringLiteral("Session"), true, false, !state.replayShown};
    case MenuItem::Display:
        return MenuItemModel{QStringLiteral("Display"), true, false, !state.replayShown};
    case MenuItem::SerialPort:
        return MenuItemModel{QStringLiteral("Serial Port"), true, false, !state.replayShown};
    case MenuItem::Help:
        return plain("&Help");
    case MenuItem::SaveSession:
        // A session started with a name is saved already; its files have nothing to save.
        return plain(state.replayShown ? "Resume normal display" : "Save session",
                     !running && !state.savedAs);
    case MenuItem::DisplaySavedSessions:
        return plain(state.replayShown ? "Display another session" : "Display saved session", !running);
    case MenuItem::Cancel:
        return plain("Cancel");
    case MenuItem::Exit:
        return plain("Exit");
    case MenuItem::Restart:
        return plain("Restart", running);
    case MenuItem::Start:
        return plain("Start", !running);
    case MenuItem::StartAs:
        return plain("Start and save as", !running);
    case MenuItem::Stop:
        return plain("Stop", running);
    case MenuItem::SetSensitivity:
        return plain("Set Sensitivity");
    case MenuItem::SetFilterSize:
        return plain("Set Filter Size", !running);
    case MenuItem::SetJitterRejection:
        return plain("Adjust Jitter Rejection", !running);
    case MenuItem::ShowPictureGraph:
        return check("Picture Graph", v.pictureGraph);
    case MenuItem::ShowLamps:
        return check("Color Bar Graph", v.colorGraph);
    case MenuItem::ShowBar:
        return check("BarGraph", v.barGraph);
    case MenuItem::ShowReadings:
        return check("Internal Status", v.internalStatus);
    case MenuItem::ShowComments:
        return check("Session comments", v.sessionComments);
    case MenuItem::ShowParameterStrip:
        return check("Display Time etc.", v.timeEtc);
    case MenuItem::ShowInput:
        return check("ShowDataInput", state.showInputChecked, false);
    case MenuItem::ChoosePort:
        return plain("Set Comm Port", !running && !state.probing);
    case MenuItem::About:
        return plain("About");
    case MenuItem::Export:
        return plain("Export session...", state.exportEnabled);
    case MenuItem::AddMarker:
        return plain("Add marker", running);
    case MenuItem::ResponseTicks:
        return check("Response ticks", state.ticksShown);
    case MenuItem::Responses:
        return plain("Responses...");
    }
    return MenuItemModel{};
}

} // namespace aurivo
