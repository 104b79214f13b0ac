#pragma once
// What the monitor offers for research beside the original program: markers set during a session,
// drawn over the graph (with the replayed sessions' own markers during a replay), the ticks of the
// responses found (the running session's as they are confirmed, or each replayed session's from its
// response file, in its colour; Display > "Response ticks" hides them), the export of a
// session to EDF+ or CSV on a worker thread, and the readout of the graph under the mouse or the
// keyboard cursor. It reads the session's parts it is given and adds nothing to their files but the
// marker file; the monitor tells it when a replay is shown and left.

#include "core/ChangeSignal.h"
#include "display/GraphReadout.h"
#include "display/MarkerOverlay.h"
#include "display/ResponseTicks.h"
#include "recording/DisplayList.h"

#include <QString>
#include <climits>
#include <optional>
#include <vector>

namespace aurivo {

class MessageBoxes;
class Dialogs;
class SessionMarkers;
class SessionControl;
class SessionRecorder;
class GraphPlotter;
class SessionFiles;
class FileManager;
class ResponseRecorder;

class ResearchTools {
  public:
    struct Parts {
        SessionMarkers& markers;
        const SessionControl& sessions;
        const SessionRecorder& recorder;
        const GraphPlotter& graph;
        const SessionFiles& files;
        const FileManager& fileManager;
        ResponseRecorder& responses; // only followed
        MessageBoxes& boxes;
        Dialogs& dialogs;
    };

    explicit ResearchTools(Parts parts);

    // Session > "Add marker" (F9, or M on the graph): a marker at the latest stored reading of the running
    // session. Returns its index, none when no session runs. A marker that could not be written is still
    // drawn and listed; the user is told which file and why.
    std::optional<size_t> addMarker();
    void renameMarker(size_t index, const QString& label);

    // File > "Export session...": there is a recorded session and none runs, or a replay is shown; and no
    // export is running.
    bool exportEnabled() const;
    void exportSession();

    // A replay has drawn the display list: takes its traces for the readout and reads its markers.
    void showReplay(const DisplayList& list, std::vector<ReplayTrace> traces);
    // The replay view was left: the live session's markers and readout again.
    void leaveReplay();

    // What the overlay and the readout show for the picture as it is: the marker lines in the columns
    // firstColumn..lastColumn of the picture (all of it by default).
    std::vector<MarkerLine> markerLines(int firstColumn = 0, int lastColumn = INT_MAX) const;
    // The response ticks in the columns firstColumn..lastColumn; none while they are hidden.
    std::vector<ResponseTick> responseTicks(int firstColumn = 0, int lastColumn = INT_MAX) const;
    bool ticksShown() const { return ticksShown_; }
    void setTicksShown(bool shown);
    // The readout at a picture column; with the pointer's height during a replay it names the nearest
    // session, without it every session there. Empty where nothing is drawn.
    QString readoutAt(int column, std::optional<int> y) const;
    // The rightmost column that holds a point, 0 when none.
    int lastColumn() const;

    ChangeSignal overlayChanged; // the marker lines or response ticks may have changed
    ChangeSignal exportChanged;  // an export began or ended: exportEnabled() may have changed

  private:
    QString currentReadingPath() const;
    // The replayed session's markers and response ticks, in its colour; what could not be read is added
    // to `unreadable`.
    void readReplayedMarkers(const QString& tstPath, uint32_t colour, QString& unreadable);
    void readReplayedTicks(const QString& tstPath, uint32_t colour, QString& unreadable);
    int32_t compression() const;

    Parts p_;
    bool replayShown_ = false;
    DisplayList replayList_;
    std::vector<ReplayTrace> replayTraces_;
    std::vector<MarkerOverlay> replayMarkers_; // one per replayed session with markers
    MarkerOverlay liveMarkers_;                // the running (or last) session's, renewed as they change
    std::vector<ResponseTicks> replayTicks_;   // one per replayed session with responses
    bool ticksShown_ = true;
    bool exporting_ = false;
};

} // namespace aurivo
