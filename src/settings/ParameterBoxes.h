#pragma once
// The two in-window boxes for the signal parameters: the slider box for the sensitivity (kept as the
// caption of LblParams(3)) and the entry box that sets either the filter size or the jitter rejection,
// its mode being the caption of fraSetStuff.

#include "core/MessageBoxes.h"

#include <QString>

namespace aurivo {

struct MonitorState;

class ParameterBoxes {
  public:
    static constexpr int kSensitivityMin = 20;
    static constexpr int kSensitivityMax = 1000;

    // Modifier state of key and mouse presses on the slider, summed.
    static constexpr int kShift = 1;
    static constexpr int kCtrl = 2;
    static constexpr int kAlt = 4;

    // Captions of fraSetStuff; the jitter one is also how acceptEntry tells the modes apart.
    static const QString kFilterSizeCaption;
    static const QString kJitterCaption;

    ParameterBoxes(MonitorState& state, MessageBoxes& boxes);

    // Sensitivity box.
    void openSensitivityBox();
    void onSliderChange(); // change and scroll notifications alike
    void onSliderKeyDown(int shiftState);
    void onSliderMouseDown(int shiftState);
    void acceptSensitivity();
    void cancelSensitivity();

    // Filter-size and jitter entry box.
    void openFilterSizeBox();
    void openJitterBox();
    void acceptEntry();
    void cancelEntry();

  private:
    bool jitterMode() const;

    MonitorState& state_;
    MessageBoxes& boxes_;
};

} // namespace aurivo
