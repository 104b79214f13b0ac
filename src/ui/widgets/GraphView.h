#pragma once
// The graph picture on screen: paints the persistent graph image and repaints it on expose. A button
// underneath, so a click or a screen reader's "press" reaches the graph's click handler.

#include <QAbstractButton>

namespace aurivo {

class GraphCanvas;

class GraphView : public QAbstractButton {
    Q_OBJECT
  public:
    GraphView(const GraphCanvas& canvas, QWidget* parent = nullptr);
    void refresh();

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    const GraphCanvas& canvas_;
    uint64_t shownRevision_ = ~uint64_t(0);
};

} // namespace aurivo
