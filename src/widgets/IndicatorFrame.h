#pragma once
// The frame of the lamp row (frameLEDdisp, lamps lblLED) or of the segment bar (frameBarGraf, segments
// lblBarGraf): its lamps or segments show the indicators' colours where the arrangement puts them.
// Assistive technology meets it as one read-only level meter, without actions, named by what the level
// means ("Level: 3.7 % above start") and described by its count ("5 of 8 lamps lit"); its lamps or
// segments, whose meaning is only their colours, are left out of the accessibility tree.

#include "widgets/PanelFrame.h"

#include <vector>

namespace aurivo {

class IndicatorFrame : public PanelFrame {
    Q_OBJECT
  public:
    enum class Kind { Lamps, Bar };

    IndicatorFrame(PanelContext& context, Kind kind, QWidget* parent);

    // Tells the level in words and the count; `stale` follows the words for a stopped session's level.
    void tellLive(const QString& stale);

  private:
    void showLayout();
    void showColours();

    Kind kind_;
    std::vector<ModelLabel*> units_;
};

} // namespace aurivo
