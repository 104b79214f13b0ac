#include "recording/SessionReplay.h"

#include "core/ReadingSums.h"

#include "core/NumberRules.h"
#include "recording/ReplayScale.h"
#include "recording/SessionColours.h"

#include "core/SafeFile.h"

#include <QFileInfo>
#include <QtEndian>
#include <algorithm>

namespace aurivo {

QString SessionReplay::sessionName(const QString& hdrPath) {
    const QString name = QFileInfo(hdrPath).fileName();
    return name.left(std::max<qsizetype>(0, name.size() - 4));
}

void SessionReplay::drawChosenSessions(const DisplayList& list, ReplayCanvas& canvas, CommentBox& comments) {
    double minADC = 16383;
    double maxADC = 0;
    int64_t longest = 0;
    canvas.clearForReplay();
    QString text;

    const int count = std::clamp(list.count, 0, 6);
    std::vector<SavedSession> sessions;
    sessions.reserve(size_t(count));
    QString damaged;
    for (int k = 0; k < count; ++k) {
        const QString& hdrPath = list.hdrPaths[size_t(k)];
        sessions.push_back(SavedSession::load(list.tstPaths[size_t(k)], hdrPath, false));
        const SavedSession& session = sessions.back();
        const QString name = sessionName(hdrPath);
        if (!session.ok()) {
            damaged += QStringLiteral("\r\n") + name + QStringLiteral(" is left out: ") + session.error;
            continue;
        }
        if (!session.note.isEmpty())
            damaged += QStringLiteral("\r\n") + name + QStringLiteral(": ") + session.note;
        text += name + QStringLiteral("  Comments ...\r\n") + session.comments + QStringLiteral("\r\n");
        if (!session.hasRange) continue; // listed with its comments; it has no readings to draw
        longest = std::max(longest, session.lengthBytes);
        if (session.minADC < minADC) minADC = session.minADC;
        if (session.maxADC > maxADC) maxADC = session.maxADC;
    }
    canvas.setRange(minADC, maxADC);
    comments.setText(text);
    if (!damaged.isEmpty()) {
        boxes_.show(QStringLiteral("Some saved sessions cannot be displayed in full:") + damaged,
                    MessageBoxes::title(), MessageBoxes::Buttons::Ok, MessageBoxes::Icon::Warning);
    }
    const auto drawable = [](const SavedSession& s) { return s.ok() && s.hasRange; };
    const bool anyDrawn = std::any_of(sessions.begin(), sessions.end(), drawable);
    if (!anyDrawn) return; // no range to scale to: the picture keeps just its grid

    const int width = canvas.scaleWidth();
    const ReplayScale scale = ReplayScale::compute(minADC, maxADC, longest, width, canvas.scaleHeight());
    std::array<QString, 10> labels;
    for (int k = 0; k < 10; ++k)
        labels[size_t(k)] = scale.axisLabel(k, width);
    canvas.setReplayScale(scale, labels);

    for (int k = 0; k < count; ++k) {
        const SavedSession& session = sessions[size_t(k)];
        if (!drawable(session)) continue;
        drawTraceFromFile(list.tstPaths[size_t(k)], scale.yCompress, kSessionColours[size_t(k)], canvas);
    }
}

namespace {
// Averages consecutive groups of yCompress readings into plotted points, fed any number of readings at
// a time; the readings of an incomplete last group stay in the running sum.
class GroupAverager {
  public:
    GroupAverager(int64_t compress, uint32_t colour, ReplayCanvas& canvas)
        : compress_(compress), colour_(colour), canvas_(canvas) {}
    void add(const int32_t* readings, int64_t count) {
        int64_t i = 0;
        while (i < count) {
            const int64_t take = std::min(compress_ - inGroup_, count - i);
            sum_ += sumOfValidReadings(readings + i, take);
            inGroup_ += take;
            record_ += take;
            i += take;
            if (inGroup_ == compress_) {
                const double average = numbers::roundHalfEven(double(sum_) / double(compress_));
                canvas_.plotPoint(int32_t(record_ / compress_), numbers::ohmsFromReading(average), colour_);
                sum_ = 0;
                inGroup_ = 0;
            }
        }
    }
    int64_t remainder() const { return sum_; }

  private:
    int64_t compress_;
    uint32_t colour_;
    ReplayCanvas& canvas_;
    int64_t sum_ = 0, inGroup_ = 0, record_ = 0;
};
} // namespace

void SessionReplay::drawTrace(const std::vector<int32_t>& readings, int32_t yCompress, uint32_t colour,
                              ReplayCanvas& canvas) {
    GroupAverager points(std::max<int32_t>(1, yCompress), colour, canvas);
    points.add(readings.data(), int64_t(readings.size()));
    canvas.setRemainder(float(points.remainder()));
}

void SessionReplay::drawTraceFromFile(const QString& tstPath, int32_t yCompress, uint32_t colour,
                                      ReplayCanvas& canvas) {
    SafeFile file;
    if (!SavedSession::openSavedFile(file, tstPath)) return;
    // Only the whole records the file holds now: a file that grows meanwhile cannot keep the replay busy.
    const int64_t length = file.size() / 4 * 4;
    constexpr int64_t kBlockRecords = 1 << 18; // 1 MiB
    block_.resize(size_t(kBlockRecords));
    GroupAverager points(std::max<int32_t>(1, yCompress), colour, canvas);
    for (int64_t at = 0; at < length;) {
        const qint64 got =
            file.readAt(at, reinterpret_cast<char*>(block_.data()), std::min(kBlockRecords * 4, length - at));
        if (got <= 0) break;
        at += got;
        const int64_t records = got / 4;
        for (int64_t i = 0; i < records; ++i)
            block_[size_t(i)] = qFromLittleEndian(block_[size_t(i)]);
        points.add(block_.data(), records);
    }
    canvas.setRemainder(float(points.remainder()));
}

} // namespace aurivo
