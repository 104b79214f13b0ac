#pragma once
// The parameters strip FrameParams ("Display Time etc."): the session clock, the sensitivity and the
// port number with their headings, and the scan notice (LblParams). A click on the sensitivity opens its
// box, one on the port number the port chooser; during a session the port cannot change, and its greyed
// number is then text, not a button. It follows the session, the parameters and the port chooser.

#include "core/ControlModels.h"
#include "widgets/LabelModel.h"
#include "widgets/PanelFrame.h"

#include <array>

namespace aurivo {

class ParameterStrip : public PanelFrame {
    Q_OBJECT
  public:
    ParameterStrip(PanelContext& context, QWidget* parent);

    // The places of the labels that show a part's value; each heading stands just before its value.
    static constexpr size_t kClock = 1;
    static constexpr size_t kSensitivity = 3;
    static constexpr size_t kPortNumber = 5;
    static constexpr size_t kScanNotice = 6;

    ModelLabel* sensitivityCell() const { return labels_[kSensitivity]; }
    ModelLabel* portCell() const { return labels_[kPortNumber]; }
    // Tells the session clock with its heading.
    void tellLive();

  private:
    // What the labels LblParams(0..6) show: the headings, the session clock, the sensitivity, the port
    // number (greyed during a session) and the scan notice.
    std::array<LabelModel, 7> cells() const;
    void showLayout();
    void showStrip();

    std::array<ModelLabel*, 7> labels_{};
};

} // namespace aurivo
