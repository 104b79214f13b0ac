#include "settings/ParameterBoxes.h"

#include "app/MonitorState.h"
#include "app/NumberRules.h"

#include <algorithm>

using NumberRules::ToLong;
using NumberRules::ValueOf;

const QString ParameterBoxes::kFilterSizeCaption = QStringLiteral("Set Filter Size : Value 1 to 8");
const QString ParameterBoxes::kJitterCaption = QStringLiteral("Adjust Jitter Rejection : Value 50 to 255");

namespace {
struct StepSizes {
    int large;
    int small;
};

StepSizes StepsFor(int shiftState) {
    switch (shiftState) {
    case ParameterBoxes::kShift: return {50, 5};
    case ParameterBoxes::kCtrl: return {100, 10};
    case ParameterBoxes::kAlt: return {1, 1};
    case ParameterBoxes::kShift | ParameterBoxes::kAlt: return {5, 1};
    default: return {10, 1};
    }
}
} // namespace

int ParameterBoxes::AnswerCode(MessageBoxes::Answer answer) {
    switch (answer) {
    case MessageBoxes::Answer::Ok: return kAnswerOk;
    case MessageBoxes::Answer::Cancel: return kAnswerCancel;
    case MessageBoxes::Answer::Yes: return kAnswerYes;
    case MessageBoxes::Answer::No: return kAnswerNo;
    }
    return 0;
}

ParameterBoxes::ParameterBoxes(MonitorState& state, MessageBoxes& boxes) : state_(state), boxes_(boxes) {}

void ParameterBoxes::mnuSetSense_Click() {
    SliderModel& slider = state_.Slider1;
    slider.largeChange = 10;
    slider.smallChange = 1;

    // An out-of-range sensitivity is replaced for good, even if the box is then cancelled.
    LabelModel& sensitivity = state_.LblParams[3];
    const double stored = ValueOf(sensitivity.caption);
    if (stored < kSensitivityMin || stored > kSensitivityMax) sensitivity.caption = QStringLiteral("20");

    state_.lblSenseValu.caption = sensitivity.caption;
    const int32_t position = std::clamp<int32_t>(ToLong(ValueOf(sensitivity.caption)), slider.min, slider.max);
    // The slider reports a change only when its position actually moves; the window mirrors the model
    // without forwarding this programmatic move a second time.
    if (position != slider.value) {
        slider.value = position;
        Slider1_Change();
    }
    state_.fraAdjSens.visible = true;
}

void ParameterBoxes::Slider1_Change() {
    state_.lblSenseValu.caption = QString::number(state_.Slider1.value);
}

void ParameterBoxes::Slider1_KeyDown(int shiftState) {
    const StepSizes steps = StepsFor(shiftState);
    state_.Slider1.largeChange = steps.large;
    state_.Slider1.smallChange = steps.small;
}

void ParameterBoxes::Slider1_MouseDown(int shiftState) {
    state_.Slider1.largeChange = StepsFor(shiftState).large;
}

void ParameterBoxes::cmdOkay_Click() {
    LabelModel& shown = state_.lblSenseValu;
    if (ValueOf(shown.caption) < kSensitivityMin) shown.caption = QString::number(kSensitivityMin);
    if (ValueOf(shown.caption) > kSensitivityMax) shown.caption = QString::number(kSensitivityMax);
    state_.LblParams[3].caption = shown.caption;
    state_.fraAdjSens.visible = false;
}

void ParameterBoxes::cmdCancel_Click() {
    // The slider keeps its position; the next opening sets it from the stored sensitivity.
    state_.lblSenseValu.caption = state_.LblParams[3].caption;
    state_.fraAdjSens.visible = false;
}

void ParameterBoxes::mnuSetFSize_Click() {
    state_.fraSetStuff.caption = kFilterSizeCaption;
    state_.fraSetStuff.visible = true;
    state_.txtSS.text = QString::number(state_.FilterSize);
}

void ParameterBoxes::mnuSetSSF_Click() {
    state_.fraSetStuff.caption = kJitterCaption;
    state_.fraSetStuff.visible = true;
    state_.txtSS.text = QString::number(state_.JitterRejection);
}

bool ParameterBoxes::JitterMode() const { return state_.fraSetStuff.caption == kJitterCaption; }

void ParameterBoxes::cmdSS_Click() {
    struct Mode {
        const char* name;
        int lower;
        int upper;
    };
    const Mode mode = JitterMode() ? Mode{"Jitter rejection", 50, 255} : Mode{"Buffer size", 1, 8};
    auto store = [this](int value) {
        // The mode is read from the caption each time a value is stored.
        if (JitterMode())
            state_.JitterRejection = value;
        else
            state_.FilterSize = value;
    };

    const double v = ValueOf(state_.txtSS.text);
    if (v >= mode.lower && v <= mode.upper) {
        store(int(ToLong(v)));
        state_.fraSetStuff.visible = false;
        return;
    }

    const bool low = v < mode.lower;
    const QString side = low ? QStringLiteral("low") : QStringLiteral("high");
    const int limit = low ? mode.lower : mode.upper;
    const QString text = QString::fromLatin1(mode.name) + QStringLiteral(" too ") + side + QStringLiteral("\r\n") +
                         QStringLiteral("Do you want to use ") + side + QStringLiteral(" value of ") +
                         QString::number(limit) + QStringLiteral("?");
    const MessageBoxes::Answer answer = boxes_.Show(text, QStringLiteral("Value out of range!"),
                                                    MessageBoxes::Buttons::YesNoCancel, MessageBoxes::Icon::None);
    state_.MsgBoxAnswer = AnswerCode(answer);

    if (answer == MessageBoxes::Answer::Yes) {
        store(limit);
        state_.fraSetStuff.visible = false;
    } else if (answer == MessageBoxes::Answer::Cancel) {
        state_.fraSetStuff.visible = false;
    }
    // No: the box stays open with the rejected text, for the user to correct.
}

void ParameterBoxes::cmdCan_Click() { state_.fraSetStuff.visible = false; }
