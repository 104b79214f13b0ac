#include "ui/widgets/GraphView.h"

#include "display/GraphCanvas.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

namespace aurivo {

GraphView::GraphView(const GraphCanvas& canvas, QWidget* parent) : QAbstractButton(parent), canvas_(canvas) {
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Graph"));
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

bool GraphView::event(QEvent* event) {
    const bool handled = QAbstractButton::event(event);
    // The view paints every pixel of itself: a new point repaints the view alone, not its frame. (Set here
    // because the style's polish, when the widget is first shown, clears the attribute.)
    if (event->type() == QEvent::Polish) setAttribute(Qt::WA_OpaquePaintEvent);
    return handled;
}

} // namespace aurivo
