#pragma once
// The frame of the lamp row or of the segment bar. Assistive technology meets it as one level meter
// named by the level in words ("Level: 5 of 8 lamps, green over cyan"); its lamps or segments, whose
// meaning is only their colours, are left out of the accessibility tree.

#include "ui/widgets/PanelFrame.h"

namespace aurivo {

class IndicatorFrame : public PanelFrame {
    Q_OBJECT
  public:
    // units: 8 lamps or 32 segments, the meter's maximum.
    IndicatorFrame(int units, QWidget* parent = nullptr) : PanelFrame(parent), units_(units) {}

    int units() const { return units_; }
    int lit() const { return lit_; }
    // The level in words and the number of lit units, as a screen reader is told them.
    void setLevel(const QString& words, int lit);

  private:
    int units_;
    int lit_ = 0;
};

} // namespace aurivo
