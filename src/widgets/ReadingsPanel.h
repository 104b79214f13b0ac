#pragma once
// The readings panel frameSesshnStuff ("Internal Status"): five headings with their values (LblShnStf)
// and the session's start time, kept hidden (lblSysADCstart). It follows the readings, the session and
// the arrangement; a screen reader hears each value with its heading.

#include "widgets/PanelFrame.h"

#include <array>

namespace aurivo {

class ReadingsPanel : public PanelFrame {
    Q_OBJECT
  public:
    ReadingsPanel(PanelContext& context, QWidget* parent);

    // Tells each value with its heading; `stale` follows the values of a stopped session.
    void tellLive(const QString& stale);

  private:
    void showLayout();
    void showReadings();
    void showSessionStart();

    std::array<ModelLabel*, 10> labels_{}; // headings at even places, their values after them
    ModelLabel* sessionStart_ = nullptr;
};

} // namespace aurivo
