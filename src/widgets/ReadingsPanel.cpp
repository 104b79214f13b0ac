#include "widgets/ReadingsPanel.h"

#include "app/Monitor.h"
#include "layout/AccessibleTexts.h"
#include "widgets/ChangeQueue.h"
#include "widgets/ModelLabel.h"
#include "widgets/WidgetUpdate.h"

namespace aurivo {

ReadingsPanel::ReadingsPanel(PanelContext& context, QWidget* parent)
    : PanelFrame(context, QStringLiteral("frameSesshnStuff"), parent) {
    setAccessibleName(QStringLiteral("Readings"));
    for (int i = 0; i < 10; ++i)
        labels_[size_t(i)] = addLabel(QStringLiteral("LblShnStf_%1").arg(i), i % 2 == 1, Qt::AlignCenter);
    sessionStart_ = addLabel(QStringLiteral("lblSysADCstart"), true, Qt::AlignCenter);
    for (size_t i = 1; i < labels_.size(); i += 2)
        labels_[i]->setHeading(labels_[i - 1]);
    Monitor& m = context.monitor;
    context.changes.follow({&m.arranger().changed}, [this] { showLayout(); });
    context.changes.follow({&m.readings().changed}, [this] { showReadings(); });
    context.changes.follow({&m.sessions().changed}, [this] { showSessionStart(); });
}

void ReadingsPanel::showLayout() {
    const LayoutGeometry& g = context().monitor.arranger().geometry();
    showFrame(g.frames[3]);
    for (size_t i = 0; i < labels_.size(); ++i) {
        place(labels_[i], g.readings[i].rect);
        WidgetUpdate::font(labels_[i], g.readings[i].font);
    }
}

void ReadingsPanel::showReadings() {
    const auto& labels = context().monitor.readings().labels();
    for (size_t i = 0; i < labels_.size(); ++i)
        WidgetUpdate::label(labels_[i], labels[i]);
}

void ReadingsPanel::showSessionStart() {
    LabelModel start = WidgetUpdate::captioned(context().monitor.sessions().startText(), 0x00E0E0E0);
    start.visible = false;
    WidgetUpdate::label(sessionStart_, start);
}

void ReadingsPanel::tellLive(const QString& stale) {
    const auto& readings = context().monitor.readings().labels();
    for (size_t i = 1; i < readings.size(); i += 2)
        WidgetUpdate::accessibleName(
            labels_[i], AccessibleTexts::valueName(readings[i - 1].caption, readings[i].caption) + stale);
}

} // namespace aurivo
