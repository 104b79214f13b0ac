#include "settings/SettingsFile.h"

#include "app/NumberRules.h"
#include "app/TextItemReader.h"
#include "app/TextItemWriter.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>

using NumberRules::ToInteger;
using NumberRules::ToLong;
using NumberRules::ValueOf;

namespace {

const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

// The six visibility lines in file order with their labels and start-up weights.
struct VisibilityLine {
    QString Settings::*field;
    const char* label;
    int32_t weight;
};
const VisibilityLine kVisibilityLines[] = {
    {&Settings::PictureGraphVisible, "Picture graph visibilty = ", 16},
    {&Settings::ColorGraphVisible, "Color graph visibilty = ", 2},
    {&Settings::BarGraphVisible, "Bar graph visibilty = ", 2},
    {&Settings::InternalStatusVisible, "Internal status visibilty = ", 3},
    {&Settings::SessionCommentsVisible, "Session comments visibilty = ", 3},
    {&Settings::TimeEtcVisible, "Time etc. visibilty = ", 2},
};

} // namespace

SettingsFile::SettingsFile(const QString& programFolder)
    : path_(QDir(programFolder).filePath(QString::fromLatin1(kFileName))) {}

Settings SettingsFile::Defaults(double screenWidthTwips, double screenHeightTwips) {
    Settings s;
    s.CommPortNumber = 2;
    s.SensitivityText = QStringLiteral("25");
    for (const auto& line : kVisibilityLines)
        s.*line.field = kTrue;
    s.WindowWidth = ToLong(screenWidthTwips * 0.55);
    s.WindowHeight = ToLong(screenHeightTwips * 0.75);
    s.WindowTop = ToLong((screenHeightTwips - s.WindowHeight) / 2);
    s.WindowLeft = ToLong((screenWidthTwips - s.WindowWidth) / 2);
    s.FilterSize = 3;
    s.JitterRejection = 100;
    s.PanelWeightSum = 28;
    return s;
}

SettingsFile::ReadResult SettingsFile::Read(Settings& s) const {
    QFile file(path_);
    if (!file.exists()) return {ReadResult::Status::Missing, QString()};
    if (!file.open(QIODevice::ReadOnly)) return {ReadResult::Status::Failed, file.errorString()};
    // Once open, read errors are ignored like every other reading step: what could not be read counts
    // as missing items.
    TextItemReader items(file.readAll());
    file.close();

    const auto number = [&items](auto& field) {
        if (const auto item = items.Next()) field = ToLong(ValueOf(*item));
    };

    items.Next(); // "Port # "
    number(s.CommPortNumber);
    if (s.CommPortNumber < 1 || s.CommPortNumber > 16) s.CommPortNumber = 2;

    items.Next(); // "Sensitivty = "
    if (const auto item = items.Next()) s.SensitivityText = *item;
    const double sensitivity = ValueOf(s.SensitivityText);
    if (!(sensitivity >= 20 && sensitivity <= 1000)) s.SensitivityText = QStringLiteral("20");

    s.PanelWeightSum = 0;
    for (const auto& line : kVisibilityLines) {
        items.Next(); // label
        QString& field = s.*line.field;
        if (const auto item = items.Next()) field = *item;
        if (field == kTrue)
            s.PanelWeightSum += line.weight;
        else
            field = kFalse;
    }

    // Geometry in the file's order: width, height, top, left.
    for (int32_t Settings::*field :
         {&Settings::WindowWidth, &Settings::WindowHeight, &Settings::WindowTop, &Settings::WindowLeft}) {
        items.Next(); // label
        number(s.*field);
    }

    const auto clamped = [&items](int current, double low, double high) {
        double value = current;
        if (const auto item = items.Next()) value = ValueOf(*item);
        return static_cast<int>(ToInteger(std::clamp(value, low, high)));
    };
    items.Next(); // "Filter Size = "
    s.FilterSize = clamped(s.FilterSize, 1, 8);
    items.Next(); // "Jitter = "
    s.JitterRejection = clamped(s.JitterRejection, 50, 255);

    return {ReadResult::Status::Ok, QString()};
}

bool SettingsFile::Write(const Settings& s, QString* error) const {
    TextItemWriter w;
    w.WriteText(QStringLiteral("Port # "));
    w.WriteNumber(s.CommPortNumber);
    w.WriteText(QStringLiteral("Sensitivty = "));
    w.WriteText(s.SensitivityText);
    for (const auto& line : kVisibilityLines) {
        w.WriteText(QString::fromLatin1(line.label));
        w.WriteText(s.*line.field == kTrue ? kTrue : kFalse);
    }
    w.WriteText(QStringLiteral("Form Width = "));
    w.WriteNumber(s.WindowWidth);
    w.WriteText(QStringLiteral("Form Height = "));
    w.WriteNumber(s.WindowHeight);
    w.WriteText(QStringLiteral("Form Top = "));
    w.WriteNumber(s.WindowTop);
    w.WriteText(QStringLiteral("Form Left = "));
    w.WriteNumber(s.WindowLeft);
    w.WriteText(QStringLiteral("Filter Size = "));
    w.WriteNumber(s.FilterSize);
    w.WriteText(QStringLiteral("Jitter = "));
    w.WriteNumber(s.JitterRejection);

    // The save file only replaces the old file once everything is written.
    QSaveFile file(path_);
    const auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    if (file.write(w.Data()) != w.Data().size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit()) return fail(file.errorString());
    return true;
}
