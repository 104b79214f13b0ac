#pragma once
// What the graph shows at one picture column, for the readout under the mouse or the keyboard cursor:
// the elapsed time, the resistance and the conductance of the point drawn there, and during a replay the
// session it belongs to. Column x holds the point of readings (x - 1) * yCompress + 1 .. x * yCompress;
// the readout names the last of them and its time, reading n being taken at (n - 1) / 20 s as in the
// export.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace aurivo {

struct ReadoutPoint {
    int64_t reading = 0; // from 1
    double seconds = 0;
    double ohms = 0;
    QString session; // during a replay
    bool operator==(const ReadoutPoint&) const = default;
};

// One session's trace in a replay, as it was drawn: point x (from 1) at index x - 1.
struct ReplayTrace {
    QString name;
    uint32_t colour = 0;
    std::vector<double> ohms;
    std::vector<int32_t> y;
};

class GraphReadout {
  public:
    static constexpr int kReadingsPerSecond = 20;

    // The live graph: `readings` holds the stored readings (record n at n - 1), `stored` of them count.
    // A column whose point is not drawn yet (an incomplete group, or beyond the last) has none. The
    // value is the point's average reading (readings below 1 left out), as a rebuild draws it.
    static std::optional<ReadoutPoint> live(int column, const std::vector<int32_t>& readings, int64_t stored,
                                            int32_t yCompress);
    // A replay: with a pointer height y, the session whose point at the column lies nearest to it; without
    // (the keyboard cursor is a whole column), every session drawn there, in list order.
    static std::vector<ReadoutPoint> replay(int column, std::optional<int> y,
                                            const std::vector<ReplayTrace>& traces, int32_t yCompress);

    // "00:01:23.35, sample 1668: 464.5 kOhms, 2.15 uS", the session's name and ": " in front during a
    // replay; one line per point, empty for none.
    static QString text(const std::vector<ReadoutPoint>& points);
};

} // namespace aurivo
