#include "app/ResearchTools.h"

#include "analysis/ResponseRecorder.h"
#include "analysis/ResponseTable.h"
#include "app/Dialogs.h"
#include "app/SessionControl.h"
#include "core/MessageBoxes.h"
#include "display/GraphPlotter.h"
#include "export/ExportJob.h"
#include "files/FileManager.h"
#include "recording/SessionColours.h"
#include "recording/SessionFiles.h"
#include "recording/SessionMarkers.h"
#include "recording/SessionRecorder.h"
#include "recording/SessionReplay.h"
#include "recording/SessionSource.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace aurivo {

namespace {
// Longest wait for a cancelled export to end after its progress window closed: it stops at its next
// progress report, a fraction of a second away.
constexpr int64_t kCancelWaitMs = 60000;
} // namespace

ResearchTools::ResearchTools(Parts parts) : p_(parts) {
    p_.markers.changed.subscribe([this] {
        liveMarkers_ = MarkerOverlay(p_.markers.markers(), MarkerOverlay::kLiveColour);
        overlayChanged.notify();
    });
    p_.responses.changed.subscribe([this] {
        if (!replayShown_) overlayChanged.notify();
    });
}

void ResearchTools::setTicksShown(bool shown) {
    if (shown == ticksShown_) return;
    ticksShown_ = shown;
    overlayChanged.notify();
}

std::optional<size_t> ResearchTools::addMarker() {
    if (!p_.sessions.running()) return std::nullopt;
    QString failure;
    const int64_t reading = int64_t(p_.recorder.recordCount()) - 1;
    if (!p_.markers.add(p_.sessions.elapsedSeconds(), reading, failure)) {
        p_.boxes.show(QStringLiteral("The marker could not be written.\r\n") + failure, MessageBoxes::title(),
                      MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
    return p_.markers.markers().size() - 1;
}

void ResearchTools::renameMarker(size_t index, const QString& label) {
    QString failure;
    if (!p_.markers.rename(index, label, failure)) {
        p_.boxes.show(QStringLiteral("The marker could not be renamed.\r\n") + failure, MessageBoxes::title(),
                      MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
}

QString ResearchTools::currentReadingPath() const {
    return p_.files.filePath(p_.sessions.sessionBaseName() + QStringLiteral(".tst"));
}

bool ResearchTools::exportEnabled() const {
    if (p_.sessions.running() || exporting_) return false;
    return replayShown_ || QFileInfo(currentReadingPath()).size() > 0;
}

void ResearchTools::exportSession() {
    if (!exportEnabled()) return;
    ExportChoices choices;
    choices.browseFolder = p_.fileManager.rememberedFolder();
    if (replayShown_) {
        for (int k = 0; k < std::clamp(replayList_.count, 0, 6); ++k) {
            const QString& tst = replayList_.tstPaths[size_t(k)];
            const QFileInfo info(tst);
            choices.sessions.push_back({SessionReplay::sessionName(replayList_.hdrPaths[size_t(k)]), tst,
                                        info.dir().filePath(info.completeBaseName())});
        }
    } else {
        // The recorded session is named by its start, since "tempdata" is the same for every session.
        const QString name = p_.sessions.savedAs()
                                 ? p_.sessions.saveAsName()
                                 : QStringLiteral("session-") + p_.sessions.sessionStartDate().toString(
                                                                    QStringLiteral("yyyyMMdd-HHmmss"));
        choices.sessions.push_back(
            {QStringLiteral("The session just recorded"), currentReadingPath(), QDir::home().filePath(name)});
    }
    const std::optional<ExportRequest> request = p_.dialogs.askExport(choices);
    if (!request) return;

    ExportJob job(request->sessionPath, request->outPath, request->format);
    // The window answers during the export: a second one waits until this one has ended.
    exporting_ = true;
    exportChanged.notify();
    p_.dialogs.showExportProgress(job);
    exporting_ = false;
    exportChanged.notify();
    if (!job.finished()) {
        job.cancel();
        job.waitFinished(kCancelWaitMs);
    }
    if (!job.finished()) return; // the job's end is awaited when it is destroyed
    const ExportResult& result = job.result();
    if (result.status == ExportStatus::Failed) {
        p_.boxes.show(QStringLiteral("The session could not be exported.\r\n") + result.error,
                      MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    } else if (result.status == ExportStatus::Done && !result.warnings.isEmpty()) {
        p_.boxes.show(QDir::toNativeSeparators(request->outPath) + QStringLiteral(" was written.\r\n") +
                          result.warnings.join(QStringLiteral("\r\n")),
                      MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Information);
    }
}

void ResearchTools::leaveReplay() {
    replayShown_ = false;
    overlayChanged.notify();
}

void ResearchTools::showReplay(const DisplayList& list, std::vector<ReplayTrace> traces) {
    replayShown_ = true;
    replayList_ = list;
    replayTraces_ = std::move(traces);
    replayMarkers_.clear();
    replayTicks_.clear();
    QString unreadable;
    for (ReplayTrace& trace : replayTraces_) {
        const auto k = size_t(std::find(kSessionColours.begin(), kSessionColours.end(), trace.colour) -
                              kSessionColours.begin());
        if (k >= size_t(std::clamp(list.count, 0, 6))) continue;
        trace.name = SessionReplay::sessionName(list.hdrPaths[k]);
        readReplayedMarkers(list.tstPaths[k], trace.colour, unreadable);
        readReplayedTicks(list.tstPaths[k], trace.colour, unreadable);
    }
    p_.markers.leavePicture();
    overlayChanged.notify();
    if (!unreadable.isEmpty()) {
        p_.boxes.show(QStringLiteral("The markers or responses of these sessions cannot be shown in full:") +
                          unreadable,
                      MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
}

void ResearchTools::readReplayedMarkers(const QString& tstPath, uint32_t colour, QString& unreadable) {
    const QString markerPath = SessionSource::fromPath(tstPath).markerPath;
    if (markerPath.isEmpty()) return;
    // Markers past the last reading drawn (the reading file holds 4 bytes a reading) are skipped.
    const int64_t readings = QFileInfo(tstPath).size() / 4;
    MarkerFile::Contents contents;
    QString reason;
    if (!MarkerFile::read(markerPath, contents, reason, readings)) {
        unreadable += QStringLiteral("\r\n") + reason;
        return;
    }
    if (contents.skippedLines > 0) unreadable += QStringLiteral("\r\n") + contents.skippedNote(markerPath);
    if (!contents.markers.empty()) replayMarkers_.emplace_back(contents.markers, colour);
}

void ResearchTools::readReplayedTicks(const QString& tstPath, uint32_t colour, QString& unreadable) {
    const QString responsePath = SessionSource::fromPath(tstPath).responsePath;
    if (responsePath.isEmpty()) return;
    std::vector<int64_t> peaks;
    int skipped = 0;
    QString reason;
    if (!ResponseTable::readPeaks(responsePath, QFileInfo(tstPath).size() / 4, peaks, skipped, reason)) {
        unreadable += QStringLiteral("\r\n") + reason;
        return;
    }
    if (skipped > 0) {
        unreadable += QStringLiteral("\r\n%1: %2 damaged lines, or responses past the last reading, left out")
                          .arg(QDir::toNativeSeparators(responsePath))
                          .arg(skipped);
    }
    if (!peaks.empty()) replayTicks_.emplace_back(std::move(peaks), colour);
}

int32_t ResearchTools::compression() const {
    return p_.graph.state().yCompress;
}

std::vector<ResponseTick> ResearchTools::responseTicks(int firstColumn, int lastColumn) const {
    if (!ticksShown_) return {};
    lastColumn = std::min(lastColumn, p_.graph.picture().scaleWidth() - 1);
    if (replayShown_) {
        std::vector<ResponseTick> ticks;
        for (const ResponseTicks& session : replayTicks_) {
            const std::vector<ResponseTick> more = session.ticks(compression(), firstColumn, lastColumn);
            ticks.insert(ticks.end(), more.begin(), more.end());
        }
        return ticks;
    }
    if (!p_.markers.onPicture()) return {};
    return ResponseTicks::ticksOf(p_.responses.peakReadings(), ResponseTicks::kLiveColour, compression(),
                                  firstColumn, lastColumn);
}

std::vector<MarkerLine> ResearchTools::markerLines(int firstColumn, int lastColumn) const {
    const GraphPlotter& graph = p_.graph;
    // Markers beyond the picture are left out.
    lastColumn = std::min(lastColumn, graph.picture().scaleWidth() - 1);
    const int32_t compress = graph.state().yCompress;
    if (replayShown_) {
        std::vector<MarkerLine> lines;
        for (const MarkerOverlay& session : replayMarkers_) {
            const std::vector<MarkerLine> more = session.lines(compress, firstColumn, lastColumn);
            lines.insert(lines.end(), more.begin(), more.end());
        }
        return lines;
    }
    if (!p_.markers.onPicture()) return {};
    return liveMarkers_.lines(compress, firstColumn, lastColumn);
}

QString ResearchTools::readoutAt(int column, std::optional<int> y) const {
    const GraphState& s = p_.graph.state();
    if (replayShown_) return GraphReadout::text(GraphReadout::replay(column, y, replayTraces_, s.yCompress));
    if (!p_.markers.onPicture()) return QString();
    const std::optional<ReadoutPoint> point = GraphReadout::live(
        column, p_.recorder.storedReadings(), int64_t(p_.recorder.recordCount()) - 1, s.yCompress);
    return point ? GraphReadout::text({*point}) : QString();
}

int ResearchTools::lastColumn() const {
    const GraphState& s = p_.graph.state();
    if (replayShown_) {
        size_t longest = 0;
        for (const ReplayTrace& trace : replayTraces_)
            longest = std::max(longest, trace.ohms.size());
        return int(longest);
    }
    if (!p_.markers.onPicture()) return 0;
    return int((int64_t(p_.recorder.recordCount()) - 1) / std::max<int32_t>(1, s.yCompress));
}

} // namespace aurivo
