#pragma once
// The graph picture on screen: paints the persistent graph image and repaints it on expose. A button
// underneath, so a click reaches the graph's click handler; screen readers meet it as a chart, which
// offers "press" only while a click does something of its own (during a replay: choose again).
//
// Over the picture it draws the response ticks, the markers and, while the graph has the keyboard focus and
// an arrow key has been pressed, a cursor column. The readout of the column under the mouse or the cursor is
// shown in a tooltip and given as the graph's accessible description (units in words). The cursor stays on
// its sample when the graph compresses. The M key asks for a marker, R for the readings to be said now.

#include "display/MarkerOverlay.h"
#include "display/ResponseTicks.h"

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
        // How many samples one column holds now (the graph's compression).
        std::function<int()> samplesPerColumn;
        // The response ticks in a range of columns.
        std::function<std::vector<ResponseTick>(int firstColumn, int lastColumn)> responseTicks;
    };

    GraphView(const GraphCanvas& canvas, QWidget* parent = nullptr);
    void setOverlay(Overlay overlay) { overlay_ = std::move(overlay); }
    void refresh();
    // The markers changed: repaints, and renews a readout on show.
    void refreshOverlay();
    // The description when no readout is shown.
    void setDescription(const QString& description);
    // Sets the description and has it said now, even when it is the same words again.
    void announce(const QString& description);
    // A screen reader's "press" is offered (a click does something).
    bool pressable() const { return pressable_; }
    void setPressable(bool pressable) { pressable_ = pressable; }
    // The keyboard cursor's column; none while it is not shown.
    std::optional<int> cursorColumn() const { return cursor_; }
    // The readout on show, empty when none.
    const QString& readout() const { return readout_; }

  signals:
    void addMarkerRequested();
    // R: the user asks for the readings now.
    void readingsRequested();

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
    // Moves the cursor to the column that holds its sample now, after a compression.
    void followCursorSample();
    int samplesPerColumn() const;

    const GraphCanvas& canvas_;
    uint64_t shownRevision_ = ~uint64_t(0);
    Overlay overlay_;
    std::optional<int> cursor_;
    int64_t cursorSample_ = 0; // the last sample of the cursor's column when the keyboard put it there
    bool pressable_ = false;
    QString readout_;
    QString description_;
};

} // namespace aurivo
