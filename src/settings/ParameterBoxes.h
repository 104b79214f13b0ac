#pragma once
// The two in-window boxes for the signal parameters: the slider box for the sensitivity (kept as the
// caption of LblParams(3)) and the entry box that sets either the filter size or the jitter rejection,
// its mode being the caption of fraSetStuff.

#include "app/MessageBoxes.h"

#include <QString>

struct MonitorState;

class ParameterBoxes {
public:
    static constexpr int kSensitivityMin = 20;
    static constexpr int kSensitivityMax = 1000;

    // Modifier state of key and mouse presses on the slider, summed.
    static constexpr int kShift = 1;
    static constexpr int kCtrl = 2;
    static constexpr int kAlt = 4;

    // Captions of fraSetStuff; the jitter one is also how cmdSS_Click tells the modes apart.
    static const QString kFilterSizeCaption;
    static const QString kJitterCaption;

    // Codes stored in MsgBoxAnswer, the classic message-box answer numbers: OK 1, Cancel 2, Yes 6, No 7.
    static constexpr int kAnswerOk = 1;
    static constexpr int kAnswerCancel = 2;
    static constexpr int kAnswerYes = 6;
    static constexpr int kAnswerNo = 7;
    static int AnswerCode(MessageBoxes::Answer answer);

    ParameterBoxes(MonitorState& state, MessageBoxes& boxes);

    // Sensitivity box.
    void mnuSetSense_Click();
    void Slider1_Change(); // change and scroll notifications alike
    void Slider1_KeyDown(int shiftState);
    void Slider1_MouseDown(int shiftState);
    void cmdOkay_Click();
    void cmdCancel_Click();

    // Filter-size and jitter entry box.
    void mnuSetFSize_Click();
    void mnuSetSSF_Click();
    void cmdSS_Click();
    void cmdCan_Click();

private:
    bool JitterMode() const;

    MonitorState& state_;
    MessageBoxes& boxes_;
};
