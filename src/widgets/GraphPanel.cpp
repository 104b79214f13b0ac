#include "widgets/GraphPanel.h"

#include "app/Monitor.h"
#include "core/Clock.h"
#include "layout/AccessibleTexts.h"
#include "recording/ReplayLegend.h"
#include "widgets/ChangeQueue.h"
#include "widgets/GraphView.h"
#include "widgets/LegendOverlay.h"
#include "widgets/LiveAnnouncer.h"
#include "widgets/MarkerPrompt.h"
#include "widgets/ModelLabel.h"
#include "widgets/WidgetUpdate.h"
#include "widgets/WindowFocus.h"

#include <algorithm>

namespace aurivo {

GraphPanel::GraphPanel(PanelContext& context, QWidget* parent)
    : PanelFrame(context, QStringLiteral("frmPixGraf"), parent) {
    setAccessibleName(QStringLiteral("Picture graph"));
    buildGraph();
    for (int i = 0; i < 10; ++i) {
        const Qt::Alignment align = i == 7               ? Qt::AlignCenter
                                    : (i == 8 || i == 9) ? (Qt::AlignRight | Qt::AlignVCenter)
                                                         : (Qt::AlignLeft | Qt::AlignVCenter);
        axisLabels_[size_t(i)] = addLabel(QStringLiteral("lbl4Graf_%1").arg(i), false, align);
    }
    notice_ = addLabel(QStringLiteral("lblGrafError"), false, Qt::AlignCenter);
    notice_->setBackColor(colors::kRed);
    QFont noticeFont(QStringLiteral("MS Sans Serif"));
    noticeFont.setPointSizeF(8.25);
    noticeFont.setBold(true);
    notice_->setFont(noticeFont);
    markerPrompt_ = new MarkerPrompt(this);
    Monitor* m = &context.monitor;
    connect(markerPrompt_, &MarkerPrompt::renamed, this, [this, m](int index, const QString& label) {
        this->context().act([m, index, label] { m->renameMarker(size_t(index), label); });
    });
    legend_ = new LegendOverlay(this);

    ChangeQueue& changes = context.changes;
    changes.follow({&m->menusChanged, &m->ports().changed}, [this] { showReplay(); });
    changes.follow({&m->arranger().changed}, [this] { showLayout(); });
    changes.follow(
        {&m->graph().pictureChanged}, [this] { view_->refresh(); }, ChangeQueue::AtStart::Skip);
    changes.follow(
        {&m->research().overlayChanged}, [this] { view_->refreshOverlay(); }, ChangeQueue::AtStart::Skip);
    changes.follow({&m->graph().labelsChanged}, [this] { showLabels(); });
}

void GraphPanel::buildGraph() {
    Monitor* m = &context().monitor;
    view_ = new GraphView(m->graph().picture(), this);
    view_->setObjectName(QStringLiteral("pixXYgraf"));
    view_->setAccessibleName(QStringLiteral("Resistance graph"));
    connect(view_, &QAbstractButton::clicked, this, [this, m] { context().act([m] { m->clickGraph(); }); });
    const ResearchTools& research = m->research();
    view_->setOverlay(GraphView::Overlay{
        [&research](int firstColumn, int lastColumn) {
            return research.markerLines(firstColumn, lastColumn);
        },
        [&research](int column, std::optional<int> y) { return research.readoutAt(column, y); },
        [&research] { return research.lastColumn(); }, [m] { return int(m->graph().state().yCompress); },
        [&research](int firstColumn, int lastColumn) {
            return research.responseTicks(firstColumn, lastColumn);
        }});
    connect(view_, &GraphView::addMarkerRequested, this, [this] { context().act([this] { addMarker(); }); });
    connect(view_, &GraphView::readingsRequested, this, [this] { view_->announce(description()); });
}

void GraphPanel::addMarker() {
    Monitor& m = context().monitor;
    const std::optional<size_t> index = m.addMarker();
    if (!index) return;
    const std::vector<MarkerLine> lines = m.research().markerLines();
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [&](const MarkerLine& l) { return l.number == int(*index) + 1; });
    const int x = line != lines.end() ? line->x : 0;
    context().focus.leaveMenus();
    markerPrompt_->open(int(*index), m.markers().markers()[*index].label,
                        view_->mapToParent(QPoint(x + 16, 2)));
}

void GraphPanel::commitMarkerName() {
    markerPrompt_->commit();
}

void GraphPanel::tellLive() {
    if (pace_.changed(context().clock.steadyMilliseconds())) view_->setDescription(description());
}

void GraphPanel::tick() {
    if (pace_.due(context().clock.steadyMilliseconds())) view_->setDescription(description());
}

void GraphPanel::showReplay() {
    // During a replay a click on the graph chooses other sessions; only then is it a thing to press. A
    // replay beginning or ending changes what the graph shows: its description follows at once, and so
    // does the next change (the replay's drawing).
    const Monitor& m = context().monitor;
    if (view_->pressable() != m.replayShown()) {
        view_->setPressable(m.replayShown());
        view_->setDescription(description());
        restartPace();
    }
    showLegend();
}

void GraphPanel::showLayout() {
    const LayoutGeometry& g = context().monitor.arranger().geometry();
    showFrame(g.frames[0]);
    WidgetUpdate::geometry(view_, pxRect(g.graph));
    for (size_t i = 0; i < axisLabels_.size(); ++i) {
        place(axisLabels_[i], g.axisLabels[i].rect);
        WidgetUpdate::font(axisLabels_[i], g.axisLabels[i].font);
    }
    placeNotice();
    showLegend();
}

void GraphPanel::showLabels() {
    const GraphPlotter& graph = context().monitor.graph();
    for (size_t i = 0; i < axisLabels_.size(); ++i)
        WidgetUpdate::label(axisLabels_[i], WidgetUpdate::captioned(graph.axisLabels()[i]));
    const GraphNotice& notice = graph.notice();
    LabelModel error = WidgetUpdate::captioned(notice.caption, colors::kRed);
    error.visible = notice.visible;
    WidgetUpdate::label(notice_, error);
    placeNotice();
    showLegend();
}

void GraphPanel::placeNotice() {
    Monitor& m = context().monitor;
    const GraphNotice& notice = m.graph().notice();
    if (!notice.visible) return;
    const QRect graphRect = pxRect(m.arranger().geometry().graph);
    const QSize hint = notice_->fontMetrics().size(0, notice.caption) + QSize(8, 4);
    WidgetUpdate::geometry(notice_, QRect(graphRect.topLeft() + QPoint(4, 4), hint));
    notice_->raise();
}

void GraphPanel::showLegend() {
    const Monitor& m = context().monitor;
    const std::vector<ReplayLegend::Entry> entries =
        m.replayShown() ? ReplayLegend::entries(m.fileManager().displayList())
                        : std::vector<ReplayLegend::Entry>{};
    legend_->showEntries(entries, view_->geometry());
}

QString GraphPanel::description() const {
    Monitor& m = context().monitor;
    const ReadingStatus::Shown& readings = m.readings().shown();
    const QString graph =
        AccessibleTexts::graphDescription(m.graph().axisLabels(), m.sessions().clockText(), m.replayShown());
    const QString now =
        m.replayShown()
            ? QString()
            : AccessibleTexts::readingsNow(ReadingStatus::ohmsCaption(readings.ohms),
                                           ReadingStatus::conductanceCaption(readings.microsiemens),
                                           ReadingStatus::percentCaption(readings.percentChange));
    const bool stopped = context().live.stopped();
    return now.isEmpty()
               ? graph
               : now + (stopped ? AccessibleTexts::kStopped : QString()) + QStringLiteral(". ") + graph;
}

} // namespace aurivo
