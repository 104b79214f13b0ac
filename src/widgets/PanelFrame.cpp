#include "widgets/PanelFrame.h"

#include "app/Monitor.h"
#include "core/WindowHost.h"
#include "widgets/ModelLabel.h"
#include "widgets/PressFilter.h"
#include "widgets/WidgetUpdate.h"

namespace aurivo {

PanelFrame::PanelFrame(PanelContext& context, const QString& objectName, QWidget* parent)
    : QFrame(parent), context_(context) {
    setObjectName(objectName);
    setFrameShape(QFrame::StyledPanel);
    hide();
    Monitor* m = &context.monitor;
    installEventFilter(new PressFilter(this, [&context, m] { context.act([m] { m->clickPanel(); }); }));
}

QRect PanelFrame::pxRect(const TwipsRect& r) const {
    return toPixelRect(r, context_.host.twipsPerPixel());
}

void PanelFrame::showFrame(const FrameModel& frame) {
    if (frame.rect.width > 0 || frame.rect.height > 0) WidgetUpdate::geometry(this, pxRect(frame.rect));
    WidgetUpdate::visible(this, frame.visible);
}

void PanelFrame::place(QWidget* w, const TwipsRect& r) const {
    if (r.width > 0 || r.height > 0) WidgetUpdate::geometry(w, pxRect(r));
}

ModelLabel* PanelFrame::addLabel(const QString& objectName, bool bordered, Qt::Alignment alignment,
                                 std::function<void()> onClick) {
    if (!onClick) {
        Monitor* m = &context_.monitor;
        onClick = [m] { m->clickPanel(); };
    }
    auto* l = new ModelLabel(this);
    l->setObjectName(objectName);
    l->setBordered(bordered);
    l->setAlignment(alignment);
    connect(l, &ModelLabel::clicked, this, [this, onClick] { context_.act(onClick); });
    return l;
}

} // namespace aurivo
