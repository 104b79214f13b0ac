#include "settings/ParameterBoxes.h"

#include "core/NumberRules.h"

#include <algorithm>

namespace aurivo {

using numbers::toLong;
using numbers::valueOf;

namespace {
struct StepSizes {
    int large;
    int small;
};

StepSizes stepsFor(int shiftState) {
    switch (shiftState) {
    case ParameterBoxes::kShift:
        return {50, 5};
    case ParameterBoxes::kCtrl:
        return {100, 10};
    case ParameterBoxes::kAlt:
        return {1, 1};
    case ParameterBoxes::kShift | ParameterBoxes::kAlt:
        return {5, 1};
    default:
        return {10, 1};
    }
}
} // namespace

void ParameterBoxes::setSensitivity(const Sensitivity& sensitivity) {
    // The text tells the value and its form, so the same text is no change.
    if (sensitivity.text() == sensitivity_.text()) return;
    sensitivity_ = sensitivity;
    changed.notify();
}

void ParameterBoxes::setFilterSize(int size) {
    filterSize_ = size;
    changed.notify();
}

void ParameterBoxes::setJitterRejection(int jitter) {
    jitterRejection_ = jitter;
    changed.notify();
}

void ParameterBoxes::openSensitivityBox() {
    slider_.largeChange = 10;
    slider_.smallChange = 1;

    // An out-of-range sensitivity is replaced for good, even if the box is then cancelled.
    const double stored = sensitivity_.span();
    if (stored < kSensitivityMin || stored > kSensitivityMax)
        sensitivity_ = Sensitivity::chosen(kSensitivityMin);

    sliderValue_ = sensitivity_;
    const int position = std::clamp(sensitivity_.percent(), slider_.min, slider_.max);
    // The slider reports a change only when its position actually moves; the window shows the new
    // position without forwarding this move a second time.
    if (position != slider_.value) {
        slider_.value = position;
        showSliderValue();
    }
    sensitivityBoxShown_ = true;
    changed.notify();
}

void ParameterBoxes::showSliderValue() {
    sliderValue_ = Sensitivity::chosen(slider_.value);
}

void ParameterBoxes::moveSlider(int value) {
    slider_.value = value;
    showSliderValue();
    changed.notify();
}

void ParameterBoxes::onSliderKeyDown(int shiftState) {
    const StepSizes steps = stepsFor(shiftState);
    slider_.largeChange = steps.large;
    slider_.smallChange = steps.small;
    changed.notify();
}

void ParameterBoxes::onSliderMouseDown(int shiftState) {
    slider_.largeChange = stepsFor(shiftState).large;
    changed.notify();
}

void ParameterBoxes::acceptSensitivity() {
    Sensitivity& shown = sliderValue_;
    if (shown.span() < kSensitivityMin) shown = Sensitivity::chosen(kSensitivityMin);
    if (shown.span() > kSensitivityMax) shown = Sensitivity::chosen(kSensitivityMax);
    sensitivity_ = shown;
    sensitivityBoxShown_ = false;
    changed.notify();
}

void ParameterBoxes::cancelSensitivity() {
    // The slider keeps its position; the next opening sets it from the stored sensitivity.
    sliderValue_ = sensitivity_;
    sensitivityBoxShown_ = false;
    changed.notify();
}

void ParameterBoxes::openFilterSizeBox() {
    entryMode_ = EntryMode::FilterSize;
    entryBoxShown_ = true;
    entryText_ = QString::number(filterSize_);
    changed.notify();
}

void ParameterBoxes::openJitterBox() {
    entryMode_ = EntryMode::JitterRejection;
    entryBoxShown_ = true;
    entryText_ = QString::number(jitterRejection_);
    changed.notify();
}

void ParameterBoxes::setEntryText(const QString& text) {
    entryText_ = text;
}

QString ParameterBoxes::entryCaption() const {
    switch (entryMode_) {
    case EntryMode::FilterSize:
        return QStringLiteral("Set Filter Size : Value 1 to 8");
    case EntryMode::JitterRejection:
        return QStringLiteral("Adjust Jitter Rejection : Value 50 to 255");
    case EntryMode::None:
        break;
    }
    return QString();
}

void ParameterBoxes::acceptEntry() {
    struct Mode {
        const char* name;
        int lower;
        int upper;
    };
    // A box never opened takes the filter size's range and message.
    const Mode mode = entryMode_ == EntryMode::JitterRejection ? Mode{"Jitter rejection", 50, 255}
                                                               : Mode{"Buffer size", 1, 8};
    auto store = [this](int value) {
        // The mode in force when the value is stored, after any question, decides where it goes.
        if (entryMode_ == EntryMode::JitterRejection)
            jitterRejection_ = value;
        else
            filterSize_ = value;
    };

    const double v = valueOf(entryText_);
    if (v >= mode.lower && v <= mode.upper) {
        store(int(toLong(v)));
        entryBoxShown_ = false;
        changed.notify();
        return;
    }

    const bool low = v < mode.lower;
    const QString side = low ? QStringLiteral("low") : QStringLiteral("high");
    const int limit = low ? mode.lower : mode.upper;
    const QString text = QString::fromLatin1(mode.name) + QStringLiteral(" too ") + side +
                         QStringLiteral("\r\n") + QStringLiteral("Do you want to use ") + side +
                         QStringLiteral(" value of ") + QString::number(limit) + QStringLiteral("?");
    const MessageBoxes::Answer answer =
        boxes_.show(text, QStringLiteral("Value out of range!"), MessageBoxes::Buttons::YesNoCancel,
                    MessageBoxes::Icon::None);

    if (answer == MessageBoxes::Answer::Yes) {
        store(limit);
        entryBoxShown_ = false;
    } else if (answer == MessageBoxes::Answer::Cancel) {
        entryBoxShown_ = false;
    }
    // No: the box stays open with the rejected text, for the user to correct.
    changed.notify();
}

void ParameterBoxes::cancelEntry() {
    hideEntryBox();
}

void ParameterBoxes::hideEntryBox() {
    if (!entryBoxShown_) return;
    entryBoxShown_ = false;
    changed.notify();
}

} // namespace aurivo
