#include "app/ResearchTools.h"

#include "app/Dialogs.h"
#include "app/Monitor.h"
#include "core/MessageBoxes.h"
#include "export/ExportJob.h"
#include "recording/SessionColours.h"
#include "recording/SessionReplay.h"
#include "recording/SessionSource.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace aurivo {

namespace {
const QString kTitle = QStringLiteral("Aurivo USB");
// Longest wait for a cancelled export to end after its progress window closed: it stops at its next
// progress report, a fraction of a second away.
constexpr int64_t kCancelWaitMs = 60000;
} // namespace

ResearchTools::ResearchTools(Monitor& monitor, MessageBoxes& boxes, Dialogs& dialogs)
    : m_(monitor), boxes_(boxes), dialogs_(dialogs) {
    m_.markers().changed.subscribe([this] {
        liveMarkers_ = MarkerOverlay(m_.markers().markers(), MarkerOverlay::kLiveColour);
        overlayChanged.notify();
    });
}

std::optional<size_t> ResearchTools::addMarker() {
    if (!m_.sessions().running()) return std::nullopt;
    QString failure;
    const int64_t reading = int64_t(m_.recorder().recordCount()) - 1;
    if (!m_.markers().add(m_.sessions().elapsedSeconds(), reading, failure)) {
        boxes_.show(QStringLiteral("The marker could not be written.\r\n") + failure, kTitle,
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
    return m_.markers().markers().size() - 1;
}

void ResearchTools::renameMarker(size_t index, const QString& label) {
    QString failure;
    if (!m_.markers().rename(index, label, failure)) {
        boxes_.show(QStringLiteral("The marker could not be renamed.\r\n") + failure, kTitle,
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
}

QString ResearchTools::currentReadingPath() const {
    return m_.files().filePath(m_.sessions().sessionBaseName() + QStringLiteral(".tst"));
}

bool ResearchTools::exportEnabled() const {
    if (m_.sessions().running() || exporting_) return false;
    return m_.replayShown() || QFileInfo(currentReadingPath()).size() > 0;
}

void ResearchTools::exportSession() {
    if (!exportEnabled()) return;
    ExportChoices choices;
    choices.browseFolder = m_.fileManager().rememberedFolder();
    if (m_.replayShown()) {
        for (int k = 0; k < std::clamp(replayList_.count, 0, 6); ++k) {
            const QString& tst = replayList_.tstPaths[size_t(k)];
            const QFileInfo info(tst);
            choices.sessions.push_back({SessionReplay::sessionName(replayList_.hdrPaths[size_t(k)]), tst,
                                        info.dir().filePath(info.completeBaseName())});
        }
    } else {
        // The recorded session is named by its start, since "tempdata" is the same for every session.
        const QString name = m_.sessions().savedAs()
                                 ? m_.sessions().saveAsName()
                                 : QStringLiteral("session-") + m_.sessions().sessionStartDate().toString(
                                                                    QStringLiteral("yyyyMMdd-HHmmss"));
        choices.sessions.push_back(
            {QStringLiteral("The session just recorded"), currentReadingPath(), QDir::home().filePath(name)});
    }
    const std::optional<ExportRequest> request = dialogs_.askExport(choices);
    if (!request) return;

    ExportJob job(request->sessionPath, request->outPath, request->format);
    // The window answers during the export: a second one waits until this one has ended.
    exporting_ = true;
    m_.menusChanged.notify();
    dialogs_.showExportProgress(job);
    exporting_ = false;
    m_.menusChanged.notify();
    if (!job.finished()) {
        job.cancel();
        job.waitFinished(kCancelWaitMs);
    }
    if (!job.finished()) return; // the job's end is awaited when it is destroyed
    const ExportResult& result = job.result();
    if (result.status == ExportStatus::Failed) {
        boxes_.show(QStringLiteral("The session could not be exported.\r\n") + result.error, kTitle,
                    MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    } else if (result.status == ExportStatus::Done && !result.warnings.isEmpty()) {
        boxes_.show(QDir::toNativeSeparators(request->outPath) + QStringLiteral(" was written.\r\n") +
                        result.warnings.join(QStringLiteral("\r\n")),
                    kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Information);
    }
}

void ResearchTools::showReplay(const DisplayList& list, std::vector<ReplayTrace> traces) {
    replayList_ = list;
    replayTraces_ = std::move(traces);
    replayMarkers_.clear();
    QString unreadable;
    for (ReplayTrace& trace : replayTraces_) {
        const auto k = size_t(std::find(kSessionColours.begin(), kSessionColours.end(), trace.colour) -
                              kSessionColours.begin());
        if (k >= size_t(std::clamp(list.count, 0, 6))) continue;
        trace.name = SessionReplay::sessionName(list.hdrPaths[k]);
        const QString markerPath = SessionSource::fromPath(list.tstPaths[k]).markerPath;
        if (markerPath.isEmpty()) continue;
        // Markers past the last reading drawn (the reading file holds 4 bytes a reading) are skipped.
        const int64_t readings = QFileInfo(list.tstPaths[k]).size() / 4;
        MarkerFile::Contents contents;
        QString reason;
        if (!MarkerFile::read(markerPath, contents, reason, readings)) {
            unreadable += QStringLiteral("\r\n") + reason;
            continue;
        }
        if (contents.skippedLines > 0)
            unreadable += QStringLiteral("\r\n") + contents.skippedNote(markerPath);
        if (!contents.markers.empty()) replayMarkers_.emplace_back(contents.markers, trace.colour);
    }
    m_.markers().leavePicture();
    overlayChanged.notify();
    if (!unreadable.isEmpty()) {
        boxes_.show(QStringLiteral("The markers of these sessions cannot be shown in full:") + unreadable,
                    kTitle, MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
}

std::vector<MarkerLine> ResearchTools::markerLines(int firstColumn, int lastColumn) const {
    const GraphPlotter& graph = m_.graph();
    // Markers beyond the picture are left out.
    lastColumn = std::min(lastColumn, graph.picture().scaleWidth() - 1);
    const int32_t compress = graph.state().yCompress;
    if (m_.replayShown()) {
        std::vector<MarkerLine> lines;
        for (const MarkerOverlay& session : replayMarkers_) {
            const std::vector<MarkerLine> more = session.lines(compress, firstColumn, lastColumn);
            lines.insert(lines.end(), more.begin(), more.end());
        }
        return lines;
    }
    if (!m_.markers().onPicture()) return {};
    return liveMarkers_.lines(compress, firstColumn, lastColumn);
}

QString ResearchTools::readoutAt(int column, std::optional<int> y) const {
    const GraphState& s = m_.graph().state();
    if (m_.replayShown())
        return GraphReadout::text(GraphReadout::replay(column, y, replayTraces_, s.yCompress));
    if (!m_.markers().onPicture()) return QString();
    const std::optional<ReadoutPoint> point = GraphReadout::live(
        column, m_.recorder().storedReadings(), int64_t(m_.recorder().recordCount()) - 1, s.yCompress);
    return point ? GraphReadout::text({*point}) : QString();
}

int ResearchTools::lastColumn() const {
    const GraphState& s = m_.graph().state();
    if (m_.replayShown()) {
        size_t longest = 0;
        for (const ReplayTrace& trace : replayTraces_)
            longest = std::max(longest, trace.ohms.size());
        return int(longest);
    }
    if (!m_.markers().onPicture()) return 0;
    return int((int64_t(m_.recorder().recordCount()) - 1) / std::max<int32_t>(1, s.yCompress));
}

} // namespace aurivo
