#include "widgets/GraphView.h"

#include "display/GraphCanvas.h"
#include "layout/AccessibleTexts.h"

#include <QAccessible>
#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QToolTip>
#include <algorithm>

namespace aurivo {

GraphView::GraphView(const GraphCanvas& canvas, QWidget* parent) : QAbstractButton(parent), canvas_(canvas) {
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Graph"));
    setMouseTracking(true);
}

int GraphView::samplesPerColumn() const {
    return std::max(1, overlay_.samplesPerColumn ? overlay_.samplesPerColumn() : 1);
}

void GraphView::followCursorSample() {
    if (!cursor_) return;
    const int64_t per = samplesPerColumn();
    const int column =
        std::clamp(int((cursorSample_ + per - 1) / per), 1, std::max(1, canvas_.scaleWidth() - 1));
    if (column == *cursor_) return;
    cursor_ = column;
    update();
    showReadout(*cursor_, std::nullopt, mapToGlobal(QPoint(*cursor_, height() / 2)));
}

void GraphView::refresh() {
    followCursorSample();
    if (canvas_.revision() == shownRevision_) return;
    shownRevision_ = canvas_.revision();
    // Only the area drawn on is painted again: a live trace adds a few pixels per tick.
    const QRect changed = canvas_.takeChangedArea();
    if (!changed.isEmpty()) update(changed);
}

void GraphView::refreshOverlay() {
    update();
    followCursorSample();
    if (cursor_) showReadout(*cursor_, std::nullopt, mapToGlobal(QPoint(*cursor_, height() / 2)));
}

void GraphView::setDescription(const QString& description) {
    description_ = description;
    if (readout_.isEmpty() && accessibleDescription() != description_) setAccessibleDescription(description_);
}

void GraphView::announce(const QString& description) {
    description_ = description;
    if (accessibleDescription() != description) {
        setAccessibleDescription(description); // tells assistive technology of the change
        return;
    }
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
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
    // The response ticks, the markers and the cursor over it, clipped like the picture to the area painted:
    // only the markers whose lines or numbers reach into it are asked for.
    if (overlay_.responseTicks) {
        const int reach = ResponseTicks::kHalfWidth;
        ResponseTicks::paint(p, overlay_.responseTicks(area.left() - reach, area.right() + reach),
                             canvas_.scaleHeight());
    }
    if (overlay_.markerLines) {
        MarkerOverlay::paint(p, overlay_.markerLines(area.left() - MarkerOverlay::kNumberReach, area.right()),
                             canvas_.scaleHeight());
    }
    if (cursor_) {
        p.setPen(QPen(Qt::lightGray, 1, Qt::DotLine));
        p.drawLine(*cursor_, 0, *cursor_, canvas_.scaleHeight() - 1);
    }
}

void GraphView::showReadout(int column, std::optional<int> y, const QPoint& globalPos) {
    readout_ = overlay_.readout ? overlay_.readout(column, y) : QString();
    if (readout_.isEmpty()) {
        QToolTip::hideText();
        setAccessibleDescription(description_);
        return;
    }
    QToolTip::showText(globalPos, readout_, this);
    setAccessibleDescription(AccessibleTexts::spokenUnits(readout_));
}

void GraphView::hideReadout() {
    readout_.clear();
    QToolTip::hideText();
    setAccessibleDescription(description_);
}

void GraphView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    showReadout(at.x(), at.y(), event->globalPosition().toPoint());
    QAbstractButton::mouseMoveEvent(event);
}

void GraphView::leaveEvent(QEvent* event) {
    if (!cursor_) hideReadout();
    QAbstractButton::leaveEvent(event);
}

void GraphView::keyPressEvent(QKeyEvent* event) {
    const int last = std::max(1, overlay_.lastColumn ? overlay_.lastColumn() : 1);
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    std::optional<int> column;
    switch (event->key()) {
    case Qt::Key_Left:
        column = cursor_ ? *cursor_ - step : last;
        break;
    case Qt::Key_Right:
        column = cursor_ ? *cursor_ + step : 1;
        break;
    case Qt::Key_Home:
        column = 1;
        break;
    case Qt::Key_End:
        column = last;
        break;
    case Qt::Key_Escape:
        if (!cursor_) break;
        cursor_.reset();
        hideReadout();
        update();
        return;
    case Qt::Key_M:
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) break;
        emit addMarkerRequested();
        return;
    case Qt::Key_R:
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) break;
        emit readingsRequested();
        return;
    default:
        break;
    }
    if (!column) {
        QAbstractButton::keyPressEvent(event);
        return;
    }
    cursor_ = std::clamp(*column, 1, std::max(1, canvas_.scaleWidth() - 1));
    cursorSample_ = int64_t(*cursor_) * samplesPerColumn();
    update();
    showReadout(*cursor_, std::nullopt, mapToGlobal(QPoint(*cursor_, height() / 2)));
}

void GraphView::focusOutEvent(QFocusEvent* event) {
    if (cursor_) {
        cursor_.reset();
        hideReadout();
        update();
    }
    QAbstractButton::focusOutEvent(event);
}

bool GraphView::event(QEvent* event) {
    const bool handled = QAbstractButton::event(event);
    // The view paints every pixel of itself: a new point repaints the view alone, not its frame. (Set here
    // because the style's polish, when the widget is first shown, clears the attribute.)
    if (event->type() == QEvent::Polish) setAttribute(Qt::WA_OpaquePaintEvent);
    return handled;
}

} // namespace aurivo
