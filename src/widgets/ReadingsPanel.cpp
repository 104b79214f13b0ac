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

std::array<LabelModel, 10> ReadingsPanel::cells(const ReadingStatus::Shown& shown) {
    using Light = ReadingStatus::DataLight;
    const QString captions[10] = {
        QStringLiteral("% Change "), ReadingStatus::percentCaption(shown.percentChange),
        QStringLiteral("Res."),      ReadingStatus::ohmsCaption(shown.ohms),
        QStringLiteral("Cond."),     ReadingStatus::conductanceCaption(shown.microsiemens),
        QStringLiteral("Data"),      ReadingStatus::dataCaption(shown.data),
        QStringLiteral("Battery"),   QString()};
    std::array<LabelModel, 10> cells;
    for (size_t i = 0; i < cells.size(); ++i)
        cells[i] = WidgetUpdate::captioned(captions[i]);
    LabelModel& data = cells[7];
    data.backColor = shown.data.light == Light::Good  ? colors::kLightGreen
                     : shown.data.light == Light::Bad ? colors::kLightRed
                                                      : colors::kButtonFace;
    data.toolTip = ReadingStatus::probeText(shown.data.probe);
    cells[8].visible = false;
    cells[9].visible = false;
    return cells;
}

void ReadingsPanel::showReadings() {
    const std::array<LabelModel, 10> shown = cells(context().monitor.readings().shown());
    for (size_t i = 0; i < labels_.size(); ++i)
        WidgetUpdate::label(labels_[i], shown[i]);
}

void ReadingsPanel::showSessionStart() {
    LabelModel start = WidgetUpdate::captioned(context().monitor.sessions().startText(), colors::kLightGrey);
    start.visible = false;
    WidgetUpdate::label(sessionStart_, start);
}

void ReadingsPanel::tellLive(const QString& stale) {
    const std::array<LabelModel, 10> readings = cells(context().monitor.readings().shown());
    for (size_t i = 1; i < readings.size(); i += 2)
        WidgetUpdate::accessibleName(
            labels_[i], AccessibleTexts::valueName(readings[i - 1].caption, readings[i].caption) + stale);
}

} // namespace aurivo
