#pragma once
// The legend of a replay, drawn over the graph's top right corner: for each replayed session a sample
// of its trace colour, its name and the colour's name, so the traces can be told apart without telling
// the colours apart. A screen reader reads it as one line of text. Mouse presses pass through to the
// graph below.

#include "recording/ReplayLegend.h"

#include <QLabel>
#include <vector>

namespace aurivo {

class LegendOverlay : public QLabel {
    Q_OBJECT
  public:
    explicit LegendOverlay(QWidget* parent = nullptr);

    // Shows the entries at the top right corner of `graph` (in the parent's coordinates); hidden when
    // there are none.
    void showEntries(const std::vector<ReplayLegend::Entry>& entries, const QRect& graph);

  private:
    std::vector<ReplayLegend::Entry> shown_;
};

} // namespace aurivo
