#include "ui/widgets/GraphView.h"

#include "display/GraphCanvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

namespace aurivo {

GraphView::GraphView(const GraphCanvas& canvas, QWidget* parent) : QAbstractButton(parent), canvas_(canvas) {
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Graph"));
    // The view paints every pixel of itself: a new point repaints the view alone, not its frame.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphView::refresh() {
    if (canvas_.revision() == shownRevision_) return;
    shownRevision_ = canvas_.revision();
    // Only the area drawn on is painted again: a live trace adds a few pixels per tick.
    const QRect changed = canvas_.takeChangedArea();
    if (!changed.isEmpty()) update(changed);
}

void GraphView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRect area = event->rect();
    const QRect drawn = area & canvas_.image().rect();
    p.drawImage(drawn.topLeft(), canvas_.image(), drawn);
    // Between a resize of the view and the picture's own resize the picture may not cover the view.
    const QRegion uncovered = QRegion(area) - drawn;
    for (const QRect& r : uncovered)
        p.fillRect(r, Qt::black);
}

} // namespace aurivo
