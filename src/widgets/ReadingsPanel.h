#pragma once
// The readings panel frameSesshnStuff ("Internal Status"): five headings with their values (LblShnStf)
// and the session's start time, kept hidden (lblSysADCstart). It follows the readings, the session and
// the arrangement; a screen reader hears each value with its heading.

#include "core/ControlModels.h"
#include "display/ReadingStatus.h"
#include "widgets/LabelModel.h"
#include "widgets/PanelFrame.h"

#include <array>

namespace aurivo {

class ReadingsPanel : public PanelFrame {
    Q_OBJECT
  public:
    ReadingsPanel(PanelContext& context, QWidget* parent);

    // Tells each value with its heading; `stale` follows the values of a stopped session.
    void tellLive(const QString& stale);

    // What the ten cells show for the readings: headings at even places, their values after them; the
    // data cell is light green while data arrives, light red without data or with a probe error. The
    // battery cells stay hidden.
    static std::array<LabelModel, 10> cells(const ReadingStatus::Shown& shown);

  private:
    void showLayout();
    void showReadings();
    void showSessionStart();

    std::array<ModelLabel*, 10> labels_{}; // headings at even places, their values after them
    ModelLabel* sessionStart_ = nullptr;
};

} // namespace aurivo
