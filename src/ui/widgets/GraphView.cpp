#include "ui/widgets/GraphView.h"

#include "display/GraphCanvas.h"

#include <QPainter>

namespace aurivo {

GraphView::GraphView(const GraphCanvas& canvas, QWidget* parent) : QAbstractButton(parent), canvas_(canvas) {
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Graph"));
}

void GraphView::refresh() {
    if (canvas_.revision() == shownRevision_) return;
    shownRevision_ = canvas_.revision();
    update();
}

void GraphView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, canvas_.image());
}

} // namespace aurivo
