#pragma once
// Where the graph's trace lines go: the trace file PlotData.txt of the running session, one line per
// stored reading and one per point a rebuild redraws.

#include <QString>

namespace aurivo {

class TraceSink {
  public:
    virtual ~TraceSink() = default;
    // One quoted trace item: '"' + content + '"' CR LF.
    virtual void appendTraceLine(const QString& content) = 0;
    // CR LF only: a stored reading that did not complete a plotted point.
    virtual void appendTraceEmptyLine() = 0;
    // False while no trace file is open (between sessions, during a replay): lines are then not made.
    virtual bool traceOpen() const = 0;
};

} // namespace aurivo
