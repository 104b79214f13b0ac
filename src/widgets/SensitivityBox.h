#pragma once
// The sensitivity box fraAdjSens, opened over the panels by a click on the sensitivity: the slider
// Slider1, the value it would set (lblSenseValu), OK and Cancel. The modifier keys held when a key or
// mouse button goes down on the slider choose its step sizes before the slider acts on that press.

#include "widgets/EntryFrame.h"

class QSlider;

namespace aurivo {

class ModelLabel;

class SensitivityBox : public EntryFrame {
    Q_OBJECT
  public:
    SensitivityBox(PanelContext& context, QWidget* parent);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildSlider();
    void showBox();

    QSlider* slider_ = nullptr;
    ModelLabel* value_ = nullptr;
    bool syncing_ = false; // the slider is being set from the parameters
};

} // namespace aurivo
