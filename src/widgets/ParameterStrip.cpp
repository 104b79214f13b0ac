#include "widgets/ParameterStrip.h"

#include "app/Monitor.h"
#include "layout/AccessibleTexts.h"
#include "widgets/ChangeQueue.h"
#include "widgets/ModelLabel.h"
#include "widgets/WidgetUpdate.h"

#include <QAccessible>

namespace aurivo {

ParameterStrip::ParameterStrip(PanelContext& context, QWidget* parent)
    : PanelFrame(context, QStringLiteral("FrameParams"), parent) {
    setAccessibleName(QStringLiteral("Time, sensitivity and port"));
    Monitor& m = context.monitor;
    for (int i = 0; i < 7; ++i) {
        labels_[size_t(i)] = addLabel(QStringLiteral("LblParams_%1").arg(i), i == 1 || i == 3 || i == 5,
                                      Qt::AlignCenter, [&m, i] { m.clickParameterLabel(i); });
    }
    // The sensitivity and port number cells act on a click; the other labels only show.
    labels_[3]->setAction(true);
    labels_[5]->setAction(true);
    for (size_t i = 1; i < 6; i += 2)
        labels_[i]->setHeading(labels_[i - 1]);
    context.changes.follow({&m.arranger().changed}, [this] { showLayout(); });
    context.changes.follow({&m.sessions().changed, &m.parameters().changed, &m.ports().changed},
                           [this] { showStrip(); });
}

void ParameterStrip::showLayout() {
    const LayoutGeometry& g = context().monitor.arranger().geometry();
    showFrame(g.frames[5]);
    for (size_t i = 0; i < labels_.size(); ++i) {
        place(labels_[i], g.params[i].rect);
        WidgetUpdate::font(labels_[i], g.params[i].font);
    }
    labels_[6]->raise();
}

void ParameterStrip::showStrip() {
    Monitor& m = context().monitor;
    for (size_t i = 0; i < labels_.size(); ++i)
        WidgetUpdate::label(labels_[i], m.parameterLabel(int(i)));
    // The sensitivity and the port number are told with their headings as soon as they change; the
    // clock is told with the other live values.
    for (size_t i : {3, 5})
        WidgetUpdate::accessibleName(labels_[i],
                                     AccessibleTexts::valueName(labels_[i - 1]->text(), labels_[i]->text()));
    ModelLabel* port = labels_[5];
    const bool portAction = !m.sessions().running();
    if (port->isAction() != portAction) {
        if (!portAction && port->hasFocus()) focusNextChild();
        port->setAction(portAction);
        QAccessible::State changed;
        changed.focusable = true;
        QAccessibleStateChangeEvent event(port, changed);
        QAccessible::updateAccessibility(&event);
    }
}

void ParameterStrip::tellLive() {
    WidgetUpdate::accessibleName(labels_[1],
                                 AccessibleTexts::valueName(labels_[0]->text(), labels_[1]->text()));
}

} // namespace aurivo
