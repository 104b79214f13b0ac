#include "settings/SettingsFile.h"

#include "core/NumberRules.h"
#include "core/SafeFileWriter.h"
#include "core/TextItemReader.h"
#include "core/TextItemWriter.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace aurivo {

using numbers::toInteger;
using numbers::toLong;
using numbers::valueOf;

namespace {

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

// The six visibility lines in file order with their labels and start-up weights.
struct VisibilityLine {
    bool PanelViews::*field;
    const char* label;
    int32_t weight;
};
const VisibilityLine kVisibilityLines[] = {
    {&PanelViews::pictureGraph, "Picture graph visibilty = ", 16},
    {&PanelViews::colorGraph, "Color graph visibilty = ", 2},
    {&PanelViews::barGraph, "Bar graph visibilty = ", 2},
    {&PanelViews::internalStatus, "Internal status visibilty = ", 3},
    {&PanelViews::sessionComments, "Session comments visibilty = ", 3},
    {&PanelViews::timeEtc, "Time etc. visibilty = ", 2},
};

} // namespace

SettingsFile::SettingsFile(const QString& programFolder)
    : path_(QDir(programFolder).filePath(QString::fromLatin1(kFileName))) {}

Settings SettingsFile::defaults(double screenWidthTwips, double screenHeightTwips) {
    Settings s;
    s.commPortNumber = 2;
    s.sensitivityText = QStringLiteral("25");
    for (const auto& line : kVisibilityLines)
        s.views.*line.field = true;
    s.windowWidth = toLong(screenWidthTwips * 0.55);
    s.windowHeight = toLong(screenHeightTwips * 0.75);
    s.windowTop = toLong((screenHeightTwips - s.windowHeight) / 2);
    s.windowLeft = toLong((screenWidthTwips - s.windowWidth) / 2);
    s.filterSize = 3;
    s.jitterRejection = 100;
    s.panelWeightSum = 28;
    return s;
}

SettingsFile::ReadResult SettingsFile::read(Settings& s) const {
    QFile file(path_);
    if (!file.exists()) return {ReadResult::Status::Missing, QString()};
    if (!file.open(QIODevice::ReadOnly)) return {ReadResult::Status::Failed, file.errorString()};
    // Once open, read errors are ignored like every other reading step: what could not be read counts
    // as missing items.
    TextItemReader items(file.readAll());
    file.close();

    const auto number = [&items](auto& field) {
        if (const auto item = items.next()) field = toLong(valueOf(*item));
    };

    items.next(); // "Port # "
    number(s.commPortNumber);
    if (s.commPortNumber < 1 || s.commPortNumber > 16) s.commPortNumber = 2;

    items.next(); // "Sensitivty = "
    if (const auto item = items.next()) s.sensitivityText = *item;
    const double sensitivity = valueOf(s.sensitivityText);
    if (!(sensitivity >= 20 && sensitivity <= 1000)) s.sensitivityText = QStringLiteral("20");

    s.panelWeightSum = 0;
    for (const auto& line : kVisibilityLines) {
        items.next(); // label
        bool& shown = s.views.*line.field;
        // A visibility missing from a short file keeps the value passed in.
        if (const auto item = items.next()) shown = *item == kTrue;
        if (shown) s.panelWeightSum += line.weight;
    }

    // Geometry in the file's order: width, height, top, left.
    for (int32_t Settings::*field :
         {&Settings::windowWidth, &Settings::windowHeight, &Settings::windowTop, &Settings::windowLeft}) {
        items.next(); // label
        number(s.*field);
    }

    const auto clamped = [&items](int current, double low, double high) {
        double value = current;
        if (const auto item = items.next()) value = valueOf(*item);
        return static_cast<int>(toInteger(std::clamp(value, low, high)));
    };
    items.next(); // "Filter Size = "
    s.filterSize = clamped(s.filterSize, 1, 8);
    items.next(); // "Jitter = "
    s.jitterRejection = clamped(s.jitterRejection, 50, 255);

    return {ReadResult::Status::Ok, QString()};
}

bool SettingsFile::write(const Settings& s, QString* error) const {
    TextItemWriter w;
    w.writeText(QStringLiteral("Port # "));
    w.writeNumber(s.commPortNumber);
    w.writeText(QStringLiteral("Sensitivty = "));
    w.writeText(s.sensitivityText);
    for (const auto& line : kVisibilityLines) {
        w.writeText(QString::fromLatin1(line.label));
        w.writeText(s.views.*line.field ? kTrue : kFalse);
    }
    w.writeText(QStringLiteral("Form Width = "));
    w.writeNumber(s.windowWidth);
    w.writeText(QStringLiteral("Form Height = "));
    w.writeNumber(s.windowHeight);
    w.writeText(QStringLiteral("Form Top = "));
    w.writeNumber(s.windowTop);
    w.writeText(QStringLiteral("Form Left = "));
    w.writeNumber(s.windowLeft);
    w.writeText(QStringLiteral("Filter Size = "));
    w.writeNumber(s.filterSize);
    w.writeText(QStringLiteral("Jitter = "));
    w.writeNumber(s.jitterRejection);

    // The previous file is replaced only once the new one is complete (or, in a folder that refuses new
    // files, rewritten in place and restored on a failure).
    WriteFailure failure;
    if (SafeFileWriter::writeFile(path_, w.data(), failure)) return true;
    if (error) *error = failure.reason;
    return false;
}

} // namespace aurivo
