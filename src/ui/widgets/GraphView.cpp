#include "ui/widgets/GraphView.h"

#include "display/GraphCanvas.h"

#include <QPainter>

GraphView::GraphView(const GraphCanvas& canvas, QWidget* parent) : QAbstractButton(parent), canvas_(canvas) {
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Graph"));
}

void GraphView::Refresh() {
    if (canvas_.Revision() == shownRevision_) return;
    shownRevision_ = canvas_.Revision();
    update();
}

void GraphView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, canvas_.Image());
}
