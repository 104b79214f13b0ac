#pragma once
// The road of one reading after the readings panel has shown it: the filter, the recorder, the graph and
// the further listeners, in this order, each taking the reading once. The filter decides whether there
// is a filtered reading; every filtered reading counts for the session's range; the graph decides
// whether it may be stored (a rebuild with no start reading stores nothing); the recorder stores it as
// the next record; the graph draws it; the listeners receive it as one value.

#include "core/Reading.h"
#include "core/ReadingListener.h"
#include "display/GraphPlotter.h"
#include "recording/ReadingFilter.h"
#include "recording/SessionRecorder.h"

#include <optional>
#include <vector>

namespace aurivo {

class SessionFiles;

class ReadingPipeline {
  public:
    // What the reading is taken against: the start reading, the sensitivity percent the graph spans, the
    // filter size, whether a replay is shown, and the session's time now.
    struct Context {
        double startReading = 0;
        double spanPercent = 0;
        int filterSize = 3;
        bool replayShown = false;
        double sessionSeconds = 0;
    };
    struct Outcome {
        Reading reading;                           // the packet's reading after the step limit
        std::optional<int32_t> widenedSensitivity; // the auto-range widened the sensitivity to this
        bool recorded = false;
    };

    explicit ReadingPipeline(SessionFiles& files) : recorder_(files), graph_(recorder_) {}
    ReadingPipeline(const ReadingPipeline&) = delete;
    ReadingPipeline& operator=(const ReadingPipeline&) = delete;

    Outcome take(const Reading& reading, const Context& context);

    void addListener(ReadingListener& listener) { listeners_.push_back(&listener); }
    void removeListener(ReadingListener& listener) { std::erase(listeners_, &listener); }
    const std::vector<ReadingListener*>& listeners() const { return listeners_; }

    const ReadingFilter& filter() const { return filter_; }
    const SessionRecorder& recorder() const { return recorder_; }
    SessionRecorder& recorder() { return recorder_; }
    const GraphPlotter& graph() const { return graph_; }
    GraphPlotter& graph() { return graph_; }

  private:
    ReadingFilter filter_;
    SessionRecorder recorder_;
    GraphPlotter graph_;
    std::vector<ReadingListener*> listeners_;
};

} // namespace aurivo
