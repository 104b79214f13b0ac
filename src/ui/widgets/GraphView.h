#pragma once
// The graph picture on screen: paints the persistent graph image and repaints it on expose. A button
// underneath, so a click or a screen reader's "press" reaches the graph's click handler.
//
// Over the picture it draws the markers and, while the graph has the keyboard focus and an arrow key
// has been pressed, a cursor column. The readout of the column under the mouse or the cursor is shown in
// a tooltip and given as the graph's accessible description. The M key asks for a marker.

#include "display/MarkerOverlay.h"

#include <QAbstractButton>
#include <functional>
#include <optional>
#include <vector>

namespace aurivo {

class GraphCanvas;

class GraphView : public QAbstractButton {
    Q_OBJECT
  public:
    // What the view asks for the picture as it is: the marker lines in a range of columns, the readout at
    // a column (with the pointer's height, none for the keyboard cursor) and the rightmost column with a
    // point.
    struct Overlay {
        std::function<std::vector<MarkerLine>(int firstColumn, int lastColumn)> markerLines;
        std::function<QString(int column, std::optional<int> y)> readout;
        std::function<int()> lastColumn;
    };

    GraphView(const GraphCanvas& canvas, QWidget* parent = nullptr);
    void setOverlay(Overlay overlay) { overlay_ = std::move(overlay); }
    void refresh();
    // The markers changed: repaints, and renews a readout on show.
    void refreshOverlay();
    // The description when no readout is shown.
    void setDescription(const QString& description);
    // The keyboard cursor's column; none while it is not shown.
    std::optional<int> cursorColumn() const { return cursor_; }
    // The readout on show, empty when none.
    const QString& readout() const { return readout_; }

  signals:
    void addMarkerRequested();

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void showReadout(int column, std::optional<int> y, const QPoint& globalPos);
    void hideReadout();

    const GraphCanvas& canvas_;
    uint64_t shownRevision_ = ~uint64_t(0);
    Overlay overlay_;
    std::optional<int> cursor_;
    QString readout_;
    QString description_;
};

} // namespace aurivo
