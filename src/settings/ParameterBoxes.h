#pragma once
// The signal parameters and their two in-window boxes: the sensitivity (shown in LblParams(3)) with the
// slider box fraAdjSens, and the filter size and jitter rejection with the entry box fraSetStuff, which
// edits one of the two at a time (its mode, told by its caption). The parameters own these values and
// both boxes.

#include "core/ChangeSignal.h"
#include "core/ControlModels.h"
#include "core/MessageBoxes.h"
#include "settings/Sensitivity.h"

#include <QString>

namespace aurivo {

class ParameterBoxes {
  public:
    static constexpr int kSensitivityMin = 20;
    static constexpr int kSensitivityMax = 1000;

    // Modifier state of key and mouse presses on the slider, summed.
    static constexpr int kShift = 1;
    static constexpr int kCtrl = 2;
    static constexpr int kAlt = 4;

    // What the entry box edits: nothing until it is first opened, then the value it was last opened for.
    enum class EntryMode { None, FilterSize, JitterRejection };

    explicit ParameterBoxes(MessageBoxes& boxes) : boxes_(boxes) {}

    // 25 % until the settings file is read.
    const Sensitivity& sensitivity() const { return sensitivity_; }
    int filterSize() const { return filterSize_; }
    int jitterRejection() const { return jitterRejection_; }

    // The sensitivity box: shown or not, its slider and the value label lblSenseValu.
    bool sensitivityBoxShown() const { return sensitivityBoxShown_; }
    const SliderModel& slider() const { return slider_; }
    QString sliderValueText() const { return sliderValue_.text(); }
    // The entry box: shown or not, its mode with the caption that tells it, and its text txtSS.
    bool entryBoxShown() const { return entryBoxShown_; }
    EntryMode entryMode() const { return entryMode_; }
    QString entryCaption() const;
    const QString& entryText() const { return entryText_; }

    // Values read from the settings file, and the sensitivity the graph's auto-range widened to.
    void setSensitivity(const Sensitivity& sensitivity);
    void setFilterSize(int size);
    void setJitterRejection(int jitter);

    // Sensitivity box.
    void openSensitivityBox();
    void moveSlider(int value); // the user moved the slider (change and scroll notifications alike)
    void onSliderKeyDown(int shiftState);
    void onSliderMouseDown(int shiftState);
    void acceptSensitivity();
    void cancelSensitivity();

    // Filter-size and jitter entry box.
    void openFilterSizeBox();
    void openJitterBox();
    void setEntryText(const QString& text); // the user typed
    void acceptEntry();
    void cancelEntry();
    // Every click on the window background, a display panel or one of its labels closes the entry box.
    void hideEntryBox();

    ChangeSignal changed;

  private:
    void showSliderValue();

    MessageBoxes& boxes_;
    Sensitivity sensitivity_ = Sensitivity::chosen(25);
    int filterSize_ = 3;
    int jitterRejection_ = 100;
    bool sensitivityBoxShown_ = false;
    SliderModel slider_;
    // What lblSenseValu shows: the sensitivity as it was when the box opened, or the slider's position.
    Sensitivity sliderValue_ = Sensitivity::chosen(1000);
    bool entryBoxShown_ = false;
    EntryMode entryMode_ = EntryMode::None;
    QString entryText_ = QStringLiteral("0");
};

} // namespace aurivo
