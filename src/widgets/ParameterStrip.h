#pragma once
// The parameters strip FrameParams ("Display Time etc."): the session clock, the sensitivity and the
// port number with their headings, and the scan notice (LblParams). A click on the sensitivity opens its
// box, one on the port number the port chooser; during a session the port cannot change, and its greyed
// number is then text, not a button. It follows the session, the parameters and the port chooser.

#include "widgets/PanelFrame.h"

#include <array>

namespace aurivo {

class ParameterStrip : public PanelFrame {
    Q_OBJECT
  public:
    ParameterStrip(PanelContext& context, QWidget* parent);

    ModelLabel* sensitivityCell() const { return labels_[3]; }
    ModelLabel* portCell() const { return labels_[5]; }
    // Tells the session clock with its heading.
    void tellLive();

  private:
    void showLayout();
    void showStrip();

    std::array<ModelLabel*, 7> labels_{};
};

} // namespace aurivo
