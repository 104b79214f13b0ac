#include "widgets/ParameterStrip.h"

#include "app/Monitor.h"
#include "layout/AccessibleTexts.h"
#include "widgets/ChangeQueue.h"
#include "widgets/ModelLabel.h"
#include "widgets/SystemColours.h"
#include "widgets/WidgetUpdate.h"

#include <QAccessible>
#include <functional>

namespace aurivo {

ParameterStrip::ParameterStrip(PanelContext& context, QWidget* parent)
    : PanelFrame(context, QStringLiteral("FrameParams"), parent) {
    setAccessibleName(QStringLiteral("Time, sensitivity and port"));
    Monitor& m = context.monitor;
    // A click on the sensitivity opens its box, one on the port number the port chooser; a click on any
    // other label is a click on the panel.
    for (size_t i = 0; i < labels_.size(); ++i) {
        std::function<void()> click = [&m] { m.clickPanel(); };
        if (i == kSensitivity) click = [&m] { m.clickSensitivity(); };
        if (i == kPortNumber) click = [&m] { m.clickPortNumber(); };
        labels_[i] = addLabel(QStringLiteral("LblParams_%1").arg(i),
                              i == kClock || i == kSensitivity || i == kPortNumber, Qt::AlignCenter, click);
    }
    // The sensitivity and port number cells act on a click; the other labels only show.
    labels_[kSensitivity]->setAction(true);
    labels_[kPortNumber]->setAction(true);
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
    labels_[kScanNotice]->raise();
}

std::array<LabelModel, 7> ParameterStrip::cells() const {
    Monitor& m = context().monitor;
    const bool running = m.sessions().running();
    std::array<LabelModel, 7> cells;
    cells[0].caption = QStringLiteral("Time");
    cells[1].caption = m.sessions().clockText();
    cells[2].caption = QStringLiteral("Sens.%");
    cells[kSensitivity].caption = m.parameters().sensitivity().text();
    cells[kSensitivity].backColor = colors::kWindowBackground;
    cells[kSensitivity].toolTip = QStringLiteral("Click here to adjust sensitivity");
    cells[4].caption = QStringLiteral("Port #");
    LabelModel& port = cells[kPortNumber];
    port.caption = QString::number(m.ports().commPortNumber());
    // During a session the port cannot change: its number is greyed and offers no click.
    port.backColor = running ? colors::kInactiveCaptionText : colors::kWindowBackground;
    if (!running) port.toolTip = QStringLiteral("Click here to select port number");
    LabelModel& scan = cells[kScanNotice];
    scan.caption = QStringLiteral("Examiming Ports");
    scan.backColor = colors::kRed;
    scan.visible = m.ports().scanNoticeShown();
    return cells;
}

void ParameterStrip::showStrip() {
    Monitor& m = context().monitor;
    const std::array<LabelModel, 7> shown = cells();
    for (size_t i = 0; i < labels_.size(); ++i)
        WidgetUpdate::label(labels_[i], shown[i]);
    // The sensitivity and the port number are told with their headings as soon as they change; the
    // clock is told with the other live values.
    for (size_t i : {kSensitivity, kPortNumber})
        WidgetUpdate::accessibleName(labels_[i],
                                     AccessibleTexts::valueName(labels_[i - 1]->text(), labels_[i]->text()));
    ModelLabel* port = labels_[kPortNumber];
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
    WidgetUpdate::accessibleName(
        labels_[kClock], AccessibleTexts::valueName(labels_[kClock - 1]->text(), labels_[kClock]->text()));
}

} // namespace aurivo
