#include "settings/ParameterBoxes.h"

#include "core/MonitorState.h"
#include "core/NumberRules.h"

#include <algorithm>

namespace aurivo {

using numbers::toLong;
using numbers::valueOf;

const QString ParameterBoxes::kFilterSizeCaption = QStringLiteral("Set Filter Size : Value 1 to 8");
const QString ParameterBoxes::kJitterCaption = QStringLiteral("Adjust Jitter Rejection : Value 50 to 255");

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

ParameterBoxes::ParameterBoxes(MonitorState& state, MessageBoxes& boxes) : state_(state), boxes_(boxes) {}

void ParameterBoxes::openSensitivityBox() {
    SliderModel& slider = state_.slider1;
    slider.largeChange = 10;
    slider.smallChange = 1;

    // An out-of-range sensitivity is replaced for good, even if the box is then cancelled.
    LabelModel& sensitivity = state_.lblParams[3];
    const double stored = valueOf(sensitivity.caption);
    if (stored < kSensitivityMin || stored > kSensitivityMax) sensitivity.caption = QStringLiteral("20");

    state_.lblSenseValu.caption = sensitivity.caption;
    const int32_t position =
        std::clamp<int32_t>(toLong(valueOf(sensitivity.caption)), slider.min, slider.max);
    // The slider reports a change only when its position actually moves; the window mirrors the model
    // without forwarding this programmatic move a second time.
    if (position != slider.value) {
        slider.value = position;
        onSliderChange();
    }
    state_.fraAdjSens.visible = true;
}

void ParameterBoxes::onSliderChange() {
    state_.lblSenseValu.caption = QString::number(state_.slider1.value);
}

void ParameterBoxes::onSliderKeyDown(int shiftState) {
    const StepSizes steps = stepsFor(shiftState);
    state_.slider1.largeChange = steps.large;
    state_.slider1.smallChange = steps.small;
}

void ParameterBoxes::onSliderMouseDown(int shiftState) {
    state_.slider1.largeChange = stepsFor(shiftState).large;
}

void ParameterBoxes::acceptSensitivity() {
    LabelModel& shown = state_.lblSenseValu;
    if (valueOf(shown.caption) < kSensitivityMin) shown.caption = QString::number(kSensitivityMin);
    if (valueOf(shown.caption) > kSensitivityMax) shown.caption = QString::number(kSensitivityMax);
    state_.lblParams[3].caption = shown.caption;
    state_.fraAdjSens.visible = false;
}

void ParameterBoxes::cancelSensitivity() {
    // The slider keeps its position; the next opening sets it from the stored sensitivity.
    state_.lblSenseValu.caption = state_.lblParams[3].caption;
    state_.fraAdjSens.visible = false;
}

void ParameterBoxes::openFilterSizeBox() {
    state_.fraSetStuff.caption = kFilterSizeCaption;
    state_.fraSetStuff.visible = true;
    state_.txtSS.text = QString::number(state_.filterSize);
}

void ParameterBoxes::openJitterBox() {
    state_.fraSetStuff.caption = kJitterCaption;
    state_.fraSetStuff.visible = true;
    state_.txtSS.text = QString::number(state_.jitterRejection);
}

bool ParameterBoxes::jitterMode() const {
    return state_.fraSetStuff.caption == kJitterCaption;
}

void ParameterBoxes::acceptEntry() {
    struct Mode {
        const char* name;
        int lower;
        int upper;
    };
    const Mode mode = jitterMode() ? Mode{"Jitter rejection", 50, 255} : Mode{"Buffer size", 1, 8};
    auto store = [this](int value) {
        // The mode is read from the caption each time a value is stored.
        if (jitterMode())
            state_.jitterRejection = value;
        else
            state_.filterSize = value;
    };

    const double v = valueOf(state_.txtSS.text);
    if (v >= mode.lower && v <= mode.upper) {
        store(int(toLong(v)));
        state_.fraSetStuff.visible = false;
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
        state_.fraSetStuff.visible = false;
    } else if (answer == MessageBoxes::Answer::Cancel) {
        state_.fraSetStuff.visible = false;
    }
    // No: the box stays open with the rejected text, for the user to correct.
}

void ParameterBoxes::cancelEntry() {
    state_.fraSetStuff.visible = false;
}

} // namespace aurivo
