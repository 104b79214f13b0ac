#include "widgets/IndicatorFrame.h"

#include "app/Monitor.h"
#include "layout/AccessibleTexts.h"
#include "widgets/ChangeQueue.h"
#include "widgets/ModelLabel.h"
#include "widgets/WidgetUpdate.h"

namespace aurivo {

IndicatorFrame::IndicatorFrame(PanelContext& context, Kind kind, QWidget* parent)
    : PanelFrame(context,
                 kind == Kind::Lamps ? QStringLiteral("frameLEDdisp") : QStringLiteral("frameBarGraf"),
                 parent),
      kind_(kind) {
    const bool lamps = kind == Kind::Lamps;
    // The lamp row and the bar are named by their level; until it is told, by what they are.
    setAccessibleDescription(lamps ? QStringLiteral("Color bar graph: 8 lamps")
                                   : QStringLiteral("Bar graph: 32 bars"));
    const int count = lamps ? 8 : 32;
    const QString name = lamps ? QStringLiteral("lblLED_%1") : QStringLiteral("lblBarGraf_%1");
    for (int i = 0; i < count; ++i)
        units_.push_back(addLabel(name.arg(i), true, Qt::AlignCenter));
    Monitor& m = context.monitor;
    context.changes.follow({&m.arranger().changed}, [this] { showLayout(); });
    context.changes.follow({&m.indicators().changed}, [this] { showColours(); });
}

void IndicatorFrame::showLayout() {
    const LayoutGeometry& g = context().monitor.arranger().geometry();
    const bool lamps = kind_ == Kind::Lamps;
    showFrame(g.frames[lamps ? 1 : 2]);
    for (size_t i = 0; i < units_.size(); ++i)
        place(units_[i], lamps ? g.lamps[i] : g.bar[i]);
}

void IndicatorFrame::showColours() {
    const Indicators& indicators = context().monitor.indicators();
    for (size_t i = 0; i < units_.size(); ++i)
        units_[i]->setBackColor(
            (kind_ == Kind::Lamps ? indicators.lampColours()[i] : indicators.barColours()[i])
                .value_or(colors::kButtonFace));
}

void IndicatorFrame::tellLive(const QString& stale) {
    Monitor& m = context().monitor;
    const Indicators& indicators = m.indicators();
    const QString change = ReadingStatus::percentCaption(m.readings().shown().percentChange);
    const bool lamps = kind_ == Kind::Lamps;
    const int lit = lamps ? indicators.litLamps() : indicators.litBars();
    const QString name = AccessibleTexts::levelName(change, lit > 0) + stale;
    const QString count = AccessibleTexts::levelCount(
        lit, int(units_.size()), lamps ? QStringLiteral("lamps") : QStringLiteral("bars"));
    // Each change tells assistive technology itself.
    if (accessibleName() != name) setAccessibleName(name);
    if (accessibleDescription() != count) setAccessibleDescription(count);
}

} // namespace aurivo
