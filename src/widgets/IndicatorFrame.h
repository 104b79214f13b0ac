#pragma once
// The frame of the lamp row or of the segment bar. Assistive technology meets it as one read-only level
// meter, without actions, named by what the level means ("Level: 3.7 % above start") and described by
// its count ("5 of 8 lamps lit"); its lamps or segments, whose meaning is only their colours, are left
// out of the accessibility tree.

#include "widgets/PanelFrame.h"

namespace aurivo {

class IndicatorFrame : public PanelFrame {
    Q_OBJECT
  public:
    // units: 8 lamps or 32 segments, the meter's maximum.
    IndicatorFrame(int units, QWidget* parent = nullptr) : PanelFrame(parent), units_(units) {}

    int units() const { return units_; }
    // The level in words and the count, as a screen reader is told them.
    void setLevel(const QString& name, const QString& count);

  private:
    int units_;
};

} // namespace aurivo
