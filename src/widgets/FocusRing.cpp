#include "widgets/FocusRing.h"

#include "widgets/SystemColours.h"

#include <QApplication>
#include <QFocusFrame>
#include <QMenuBar>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace aurivo {

namespace {

// Draws the focus frame as a solid ring and masks the frame to that ring, so the control stays visible
// and clickable inside it.
class RingStyle : public QProxyStyle {
  public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_FocusFrameHMargin || metric == PM_FocusFrameVMargin) return FocusRing::kMargin;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_FocusFrame_AboveWidget) return 1;
        if (hint == SH_FocusFrame_Mask) {
            if (auto* mask = qstyleoption_cast<QStyleHintReturnMask*>(returnData); mask && option) {
                const QRect outer = option->rect;
                mask->region = QRegion(outer).subtracted(QRegion(outer.adjusted(
                    FocusRing::kWidth, FocusRing::kWidth, -FocusRing::kWidth, -FocusRing::kWidth)));
            }
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element != CE_FocusFrame) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const QRect r = option->rect;
        const QColor ring = colors::toQColor(colors::kFocusRing);
        for (int i = 0; i < FocusRing::kWidth; ++i) {
            const QRect edge = r.adjusted(i, i, -i, -i);
            painter->fillRect(QRect(edge.left(), edge.top(), edge.width(), 1), ring);
            painter->fillRect(QRect(edge.left(), edge.bottom(), edge.width(), 1), ring);
            painter->fillRect(QRect(edge.left(), edge.top(), 1, edge.height()), ring);
            painter->fillRect(QRect(edge.right(), edge.top(), 1, edge.height()), ring);
        }
    }
};

// The menu bar shows the item the keyboard (Alt, F10, the arrow keys) or the mouse is on, also while its
// menu is closed; the light desktop style highlights an item only while its menu is open.
class MenuBarStyle : public QProxyStyle {
  public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element == CE_MenuBarItem && (option->state & State_Selected) &&
            (option->state & State_Enabled)) {
            if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
                QStyleOptionMenuItem selected = *item;
                selected.state |= State_Sunken;
                QProxyStyle::drawControl(element, &selected, painter, widget);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

} // namespace

void FocusRing::showMenuBarSelection(QMenuBar* bar) {
    auto* style = new MenuBarStyle;
    style->setParent(this); // outlives the bar, which was made before this object
    bar->setStyle(style);
}

FocusRing::FocusRing(QObject* parent) : QObject(parent), style_(new RingStyle) {
    style_->setParent(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
    follow(QApplication::focusWidget());
}

FocusRing::~FocusRing() {
    delete frame_.data();
}

QWidget* FocusRing::ringed() const {
    return frame_ ? frame_->widget() : nullptr;
}

void FocusRing::follow(QWidget* widget) {
    // A window itself (a dialog with nothing focused inside) gets no ring; the focus frame would belong
    // to it and its parent would vanish with it.
    if (widget && (widget->isWindow() || !widget->parentWidget())) widget = nullptr;
    // The menu bar shows its selected item instead.
    if (qobject_cast<QMenuBar*>(widget)) widget = nullptr;
    if (!widget) {
        if (frame_) frame_->setWidget(nullptr);
        return;
    }
    if (!frame_) {
        frame_ = new QFocusFrame(widget->parentWidget());
        frame_->setObjectName(QStringLiteral("focusRing"));
        frame_->setStyle(style_);
    }
    frame_->setWidget(widget);
}

} // namespace aurivo
