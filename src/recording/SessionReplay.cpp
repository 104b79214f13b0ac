#include "recording/SessionReplay.h"

#include "display/ReadingSums.h"

#include "app/NumberRules.h"
#include "recording/ReplayScale.h"
#include "recording/SessionColours.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <algorithm>

SessionReplay::SessionReplay(MonitorState& state, MessageBoxes& boxes) : state_(state), boxes_(boxes) {}

QString SessionReplay::SessionName(const QString& hdrPath) {
    const QString name = QFileInfo(hdrPath).fileName();
    return name.left(std::max<qsizetype>(0, name.size() - 4));
}

void SessionReplay::DrawChosenSessions(PlotPointFn plotPoint, std::function<void()> drawGrid) {
    state_.MinADC = 16383;
    state_.MaxADC = 0;
    int64_t longest = 0;
    state_.pixXYgraf.Cls();
    if (drawGrid) drawGrid();
    state_.TxtSeshnComnts.text.clear();

    const int count = std::clamp(state_.ChosenSessionCount, 0, 6);
    std::vector<SavedSession> sessions;
    sessions.reserve(size_t(count));
    QString damaged;
    for (int k = 0; k < count; ++k) {
        const QString& hdrPath = state_.ChosenHdrPaths[size_t(k)];
        sessions.push_back(SavedSession::Load(state_.ChosenTstPaths[size_t(k)], hdrPath, false));
        const SavedSession& session = sessions.back();
        const QString name = SessionName(hdrPath);
        if (!session.Ok()) {
            damaged += QStringLiteral("\r\n") + name + QStringLiteral(": ") + session.error;
            continue;
        }
        state_.TxtSeshnComnts.text +=
            name + QStringLiteral("  Comments ...\r\n") + session.comments + QStringLiteral("\r\n");
        longest = std::max(longest, session.lengthBytes);
        if (session.minADC < state_.MinADC) state_.MinADC = session.minADC;
        if (session.maxADC > state_.MaxADC) state_.MaxADC = session.maxADC;
    }
    if (!damaged.isEmpty()) {
        boxes_.Show(QStringLiteral("These saved sessions cannot be displayed:") + damaged,
                    QStringLiteral("Aurivo USB"), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
    const bool anyDrawn =
        std::any_of(sessions.begin(), sessions.end(), [](const SavedSession& s) { return s.Ok(); });
    if (!anyDrawn) return; // no range to scale to: the picture keeps just its grid

    const int width = state_.pixXYgraf.ScaleWidth();
    const ReplayScale scale =
        ReplayScale::Compute(state_.MinADC, state_.MaxADC, longest, width, state_.pixXYgraf.ScaleHeight());
    state_.GraphMaxOhms = scale.graphMaxOhms;
    state_.GraphScale = scale.graphScale;
    state_.yCompress = scale.yCompress;
    for (int k = 0; k < 10; ++k)
        state_.lbl4Graf[size_t(k)].caption = scale.AxisLabel(k, width);

    for (int k = 0; k < count; ++k) {
        const SavedSession& session = sessions[size_t(k)];
        if (!session.Ok()) continue;
        state_.ReplayColour = kSessionColours[size_t(k)];
        DrawTraceFromFile(state_.ChosenTstPaths[size_t(k)], plotPoint);
    }
}

namespace {
// Averages consecutive groups of yCompress readings into plotted points, fed any number of readings at
// a time; the readings of an incomplete last group stay in the running sum.
class GroupAverager {
  public:
    GroupAverager(int64_t compress, uint32_t colour, const SessionReplay::PlotPointFn& plotPoint)
        : compress_(compress), colour_(colour), plotPoint_(plotPoint) {}
    void Add(const int32_t* readings, int64_t count) {
        int64_t i = 0;
        while (i < count) {
            const int64_t take = std::min(compress_ - inGroup_, count - i);
            sum_ += SumOfValidReadings(readings + i, take);
            inGroup_ += take;
            record_ += take;
            i += take;
            if (inGroup_ == compress_) {
                const double average = NumberRules::RoundHalfEven(double(sum_) / double(compress_));
                if (plotPoint_) plotPoint_(int32_t(record_ / compress_), NumberRules::OhmsFromReading(average), colour_);
                sum_ = 0;
                inGroup_ = 0;
            }
        }
    }
    int64_t Remainder() const { return sum_; }

  private:
    int64_t compress_;
    uint32_t colour_;
    const SessionReplay::PlotPointFn& plotPoint_;
    int64_t sum_ = 0, inGroup_ = 0, record_ = 0;
};
} // namespace

void SessionReplay::DrawTrace(const std::vector<int32_t>& readings, const PlotPointFn& plotPoint) {
    GroupAverager points(std::max<int32_t>(1, state_.yCompress), state_.ReplayColour, plotPoint);
    points.Add(readings.data(), int64_t(readings.size()));
    state_.OhmsAccumulator = float(points.Remainder());
}

bool SessionReplay::DrawTraceFromFile(const QString& tstPath, const PlotPointFn& plotPoint) {
    QFile file(tstPath);
    if (!file.open(QIODevice::ReadOnly)) return false;
    constexpr int64_t kBlockRecords = 1 << 18; // 1 MiB
    block_.resize(size_t(kBlockRecords));
    GroupAverager points(std::max<int32_t>(1, state_.yCompress), state_.ReplayColour, plotPoint);
    for (;;) {
        const qint64 got = file.read(reinterpret_cast<char*>(block_.data()), kBlockRecords * 4);
        if (got <= 0) break;
        const int64_t records = got / 4;
        for (int64_t i = 0; i < records; ++i) block_[size_t(i)] = qFromLittleEndian(block_[size_t(i)]);
        points.Add(block_.data(), records);
    }
    state_.OhmsAccumulator = float(points.Remainder());
    return true;
}
