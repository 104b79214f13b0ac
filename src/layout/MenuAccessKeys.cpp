#include "layout/MenuAccessKeys.h"

#include <QHash>

namespace aurivo {

QString MenuAccessKeys::marked(const QString& caption) {
    static const QHash<QString, QString> keys = {
        // The menu bar.
        {QStringLiteral("File"), QStringLiteral("&File")},
        {QStringLiteral("Session"), QStringLiteral("&Session")},
        {QStringLiteral("Display"), QStringLiteral("&Display")},
        {QStringLiteral("Serial Port"), QStringLiteral("Serial &Port")},
        // File, in both of its states.
        {QStringLiteral("Save session"), QStringLiteral("&Save session")},
        {QStringLiteral("Resume normal display"), QStringLiteral("&Resume normal display")},
        {QStringLiteral("Display saved session"), QStringLiteral("&Display saved session")},
        {QStringLiteral("Display another session"), QStringLiteral("&Display another session")},
        {QStringLiteral("Export session..."), QStringLiteral("&Export session...")},
        {QStringLiteral("Cancel"), QStringLiteral("&Cancel")},
        {QStringLiteral("Exit"), QStringLiteral("E&xit")},
        // Session.
        {QStringLiteral("Restart"), QStringLiteral("&Restart")},
        {QStringLiteral("Start"), QStringLiteral("&Start")},
        {QStringLiteral("Start and save as"), QStringLiteral("Start &and save as")},
        {QStringLiteral("Stop"), QStringLiteral("S&top")},
        {QStringLiteral("Add marker"), QStringLiteral("Add &marker")},
        {QStringLiteral("Set Sensitivity"), QStringLiteral("Set S&ensitivity")},
        {QStringLiteral("Set Filter Size"), QStringLiteral("Set &Filter Size")},
        {QStringLiteral("Adjust Jitter Rejection"), QStringLiteral("Adjust &Jitter Rejection")},
        {QStringLiteral("Tone"), QStringLiteral("T&one")},
        {QStringLiteral("Mute tone"), QStringLiteral("M&ute tone")},
        {QStringLiteral("Tone settings..."), QStringLiteral("To&ne settings...")},
        // Display.
        {QStringLiteral("Picture Graph"), QStringLiteral("&Picture Graph")},
        {QStringLiteral("Color Bar Graph"), QStringLiteral("&Color Bar Graph")},
        {QStringLiteral("BarGraph"), QStringLiteral("&BarGraph")},
        {QStringLiteral("Internal Status"), QStringLiteral("&Internal Status")},
        {QStringLiteral("Session comments"), QStringLiteral("&Session comments")},
        {QStringLiteral("Display Time etc."), QStringLiteral("Display &Time etc.")},
        {QStringLiteral("ShowDataInput"), QStringLiteral("Show&DataInput")},
        {QStringLiteral("Response ticks"), QStringLiteral("&Response ticks")},
        {QStringLiteral("Responses..."), QStringLiteral("Respons&es...")},
        // Serial Port and Help.
        {QStringLiteral("Set Comm Port"), QStringLiteral("Set &Comm Port")},
        {QStringLiteral("About"), QStringLiteral("&About")},
    };
    if (caption.contains(QLatin1Char('&'))) return caption;
    return keys.value(caption, caption);
}

} // namespace aurivo
