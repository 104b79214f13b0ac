#include "display/GraphPlotter.h"

#include "core/ReadingSums.h"

#include "core/Colors.h"
#include "core/NumberRules.h"
#include "recording/TraceSink.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace aurivo {

using numbers::numberText;
using numbers::ohmsFromReading;
using numbers::toLong;

namespace {
constexpr uint32_t kTraceColour = colors::kWhite;
constexpr int32_t kMaxPercent = 1000;
constexpr int32_t kLongMax = std::numeric_limits<int32_t>::max();

// A Single field takes a value only when it fits; an overflowing or undefined result fails the step.
bool storeSingle(float& field, double value) {
    if (!std::isfinite(value) || std::fabs(value) > double(std::numeric_limits<float>::max())) return false;
    field = static_cast<float>(value);
    return true;
}

bool fitsLong(double value) {
    return std::isfinite(value) && value >= -2147483648.0 && value <= 2147483647.0;
}

} // namespace

void GraphPlotter::startSession() {
    s_.redrawRequested = false;
    s_.yCompress = 1;
    picture_.clear();
    s_.ohmsAccumulator = 0;
    s_.compressionCounter = 1; // in step with record 1: record 1 at yCompress 1 is the point x = 1
    notifyPicture();
}

void GraphPlotter::leaveReplay() {
    const GraphState fresh;
    s_.graphStartReading = fresh.graphStartReading;
    s_.graphSpanPercent = fresh.graphSpanPercent;
    s_.graphMaxOhms = fresh.graphMaxOhms;
    s_.graphScale = fresh.graphScale;
    s_.yCompress = fresh.yCompress;
    s_.ohmsAccumulator = fresh.ohmsAccumulator;
    clearPicture();
}

void GraphPlotter::notifyPicture() {
    if (picture_.revision() == notifiedRevision_) return;
    notifiedRevision_ = picture_.revision();
    pictureChanged.notify();
}

void GraphPlotter::resizePicture(int width, int height) {
    picture_.resize(width, height);
    notifyPicture();
}

void GraphPlotter::clearPicture() {
    picture_.clear();
    notifyPicture();
}

void GraphPlotter::clearAxisLabels() {
    for (int k = 0; k < 10; ++k)
        setAxisLabel(k, QString());
}

void GraphPlotter::setAxisLabel(int k, const QString& caption) {
    if (axisLabels_[size_t(k)] == caption) return;
    axisLabels_[size_t(k)] = caption;
    labelsChanged.notify();
}

void GraphPlotter::setNotice(const GraphNotice& notice) {
    if (notice.caption == notice_.caption && notice.visible == notice_.visible &&
        notice.width == notice_.width)
        return;
    notice_ = notice;
    labelsChanged.notify();
}

bool GraphPlotter::admit(const Inputs& inputs, const std::vector<int32_t>& stored, int32_t recordCount) {
    if (inputs.startReading != s_.graphStartReading || inputs.spanPercent != s_.graphSpanPercent ||
        s_.redrawRequested)
        return rebuild(inputs.startReading, inputs.spanPercent, inputs.replayShown, stored, recordCount);
    return true;
}

std::optional<int32_t> GraphPlotter::plot(int32_t record, int32_t filtered, double spanPercent) {
    GraphState& s = s_;
    std::optional<int32_t> widened;
    storeSingle(s.ohmsAccumulator, double(s.ohmsAccumulator) + ohmsFromReading(filtered));

    const int32_t compress = std::max(1, s.yCompress);
    if (s.compressionCounter % compress == 0) {
        const double ohms = double(s.ohmsAccumulator) / compress;
        const int32_t x = toLong(double(record) / compress);
        widened = checkRange(drawPoint(x, ohms, kTraceColour), spanPercent);
        s.ohmsAccumulator = 0;
    } else {
        trace_.appendTraceEmptyLine();
    }
    if (s.compressionCounter < kLongMax) ++s.compressionCounter;

    // Reaching the right edge: one more reading per point, and the whole session drawn again.
    const int32_t recordCount = record < kLongMax ? record + 1 : record;
    const int32_t width = toLong(picture_.scaleWidth());
    if (width != 0 && recordCount % width == 1) {
        s.yCompress = recordCount / width + 1;
        s.redrawRequested = true;
    }
    notifyPicture();
    return widened;
}

std::optional<int32_t> GraphPlotter::checkRange(int32_t y, double percent) {
    std::optional<int32_t> widened;
    GraphNotice notice = notice_;
    if (y > picture_.scaleHeight() || y < 0) {
        if (percent < kMaxPercent) {
            // Widen the sensitivity by a quarter; the changed caption rebuilds the graph on the next reading.
            notice.width = 150;
            notice.caption = QStringLiteral("Readjusting  graph");
            int32_t wider = toLong(percent);
            wider = toLong(wider * 1.25);
            if (wider > kMaxPercent) wider = kMaxPercent;
            widened = wider;
        } else {
            notice.width = 300;
            notice.caption = QStringLiteral("Maximum Sensitivity!  Graph off scale!");
        }
        notice.visible = true;
    } else {
        notice.visible = false;
    }
    setNotice(notice);
    return widened;
}

bool GraphPlotter::rebuild(double startReading, double spanPercent, bool replayShown,
                           const std::vector<int32_t>& stored, int32_t recordCount) {
    GraphState& s = s_;
    const int32_t width = toLong(picture_.scaleWidth());
    if (width != 0) s.yCompress = recordCount / width + 1;
    if (s.yCompress < 1) s.yCompress = 1;

    s.graphStartReading = toLong(startReading);
    s.graphSpanPercent = toLong(spanPercent);
    if (s.graphStartReading == 0) return false; // no start reading yet: nothing drawn or stored

    computeScale();
    redrawStoredReadings(stored, recordCount, replayShown);
    s.redrawRequested = false;
    return true;
}

void GraphPlotter::computeScale() {
    GraphState& s = s_;
    const double height = picture_.scaleHeight();

    const double rs = ohmsFromReading(s.graphStartReading);
    storeSingle(s.graphMaxOhms, (s.graphSpanPercent / 100.0 + 1.0) * rs);
    if (2.0 * rs - double(s.graphMaxOhms) < 0) {
        // Spans above 100 %: the top edge is 0 ohms.
        if (s.graphMaxOhms != 0) storeSingle(s.graphScale, height / double(s.graphMaxOhms));
    } else {
        // The start resistance at mid-height, the picture spanning it plus and minus the span.
        const double half = double(s.graphMaxOhms) - rs;
        if (half != 0) storeSingle(s.graphScale, (height / 2.0) / half);
    }

    double minOhms = 0;
    if (s.graphScale != 0) {
        const double v = double(s.graphMaxOhms) - height / double(s.graphScale);
        if (std::isfinite(v)) minOhms = v;
    }

    for (int k = 0; k <= 4; ++k) {
        double v = (double(s.graphMaxOhms) - minOhms) / 4.0 * k + minOhms;
        if (!std::isfinite(v)) continue;
        if (v < 0) v = 0;
        setAxisLabel(k, numbers::formatOhms(v));
    }
    // The time axis assumes 20 readings per second.
    for (int k = 5; k <= 9; ++k)
        setAxisLabel(k, numbers::timeAxisCaption(k, picture_.scaleWidth(), s.yCompress));
}

void GraphPlotter::redrawStoredReadings(const std::vector<int32_t>& readings, int32_t recordCount,
                                        bool replayShown) {
    GraphState& s = s_;
    picture_.clear();
    drawDots(replayShown);
    s.ohmsAccumulator = 0;

    const int64_t compress = std::max(1, s.yCompress);
    const int64_t last = std::max<int64_t>(0, int64_t(recordCount) - 1); // records 1..last
    const int64_t available = std::min<int64_t>(last, int64_t(readings.size()));
    const int64_t groups = last / compress;
    const int32_t* data = readings.data();
    // Records never written (beyond `available`) read as 0 and are skipped like any reading below 1.
    const auto reading = [&](int64_t index) { return index < available ? data[index] : 0; };

    double ohms = 0; // kept when a group's average is unusable, as a failed step leaves it
    for (int64_t g = 0; g < groups; ++g) {
        const int64_t begin = g * compress;
        const int64_t stop = std::min(begin + compress, available);
        const int64_t sum = begin < stop ? sumOfValidReadings(data + begin, stop - begin) : 0;
        const double average = numbers::roundHalfEven(double(sum) / double(compress));
        if (average != 0 && fitsLong(average)) ohms = ohmsFromReading(average);
        drawPoint(int32_t(g + 1), ohms, kTraceColour);
    }

    // The readings behind the last point start the next live point, in ohms like the live sum, and the
    // counter follows the record number, so that point averages exactly yCompress readings and lands
    // one column after the last redrawn one.
    float trailing = 0;
    for (int64_t j = groups * compress; j < last; ++j) {
        const int32_t a = reading(j);
        if (a >= 1) storeSingle(trailing, double(trailing) + ohmsFromReading(a));
    }
    s.ohmsAccumulator = trailing;
    s.compressionCounter = recordCount;
    notifyPicture();
}

int32_t GraphPlotter::plotPoint(int32_t x, double ohms, uint32_t colour) {
    const int32_t y = drawPoint(x, ohms, colour);
    notifyPicture();
    return y;
}

int32_t GraphPlotter::drawPoint(int32_t x, double ohms, uint32_t colour) {
    const GraphState& s = s_;
    GraphCanvas& picture = picture_;
    // An undefined position (NaN) is 0, a position beyond the Long range is held at its limit.
    const int32_t y =
        toLong(double(picture.scaleHeight()) - (double(s.graphMaxOhms) - ohms) * double(s.graphScale));
    const int32_t width = toLong(picture.scaleWidth());
    const int32_t xm = width != 0 ? x % width : 0;
    if (x == 1)
        picture.setPixel(xm, y, colour);
    else
        picture.lineTo(xm, y, colour);

    if (trace_.traceOpen()) {
        const QString colourText = QString::number(colour, 16).toUpper();
        trace_.appendTraceLine(numberText(x) + QLatin1Char(':') + numberText(ohms) + QLatin1Char(':') +
                               colourText + QStringLiteral("::") + numberText(xm) + QLatin1Char(':') +
                               numberText(y));
    }
    return y;
}

void GraphPlotter::drawGrid(bool replayShown) {
    drawDots(replayShown);
    notifyPicture();
}

void GraphPlotter::drawDots(bool replayShown) {
    GraphCanvas& picture = picture_;
    const uint32_t colour = replayShown ? colors::kWhite : colors::kMagenta;
    // Picture sizes are singles; the dot positions are computed in single precision and rounded.
    const float width = static_cast<float>(picture.scaleWidth());
    const float height = static_cast<float>(picture.scaleHeight());
    const int16_t nx = numbers::toInteger(width / 10.0f);
    const int16_t ny = numbers::toInteger(height / 10.0f);

    // A picture too small for a dot spacing fails at its first dot; the rest of the grid is abandoned.
    if (nx == 0) return;
    for (int k = 0; k <= 4; ++k) {
        const int32_t y = std::max(0, toLong(float(k) * height / 4.0f - 1.0f));
        for (int j = 0; j <= nx; ++j)
            picture.setPixel(toLong(width / float(nx) * float(j)), y, colour);
    }
    if (ny == 0) return;
    for (int k = 5; k <= 9; ++k) {
        const int32_t x = std::max(0, toLong(float(k - 5) * width / 4.0f - 1.0f));
        for (int j = 0; j <= ny; ++j)
            picture.setPixel(x, toLong(height / float(ny) * float(j)), colour);
    }
}

void GraphPlotter::clearForReplay() {
    picture_.clear();
    drawDots(true);
    notifyPicture();
}

void GraphPlotter::setRange(double, double) {
    // The replay's range reaches the picture through its scale; the graph keeps nothing else of it.
}

void GraphPlotter::setReplayScale(const ReplayScale& scale, const std::array<QString, 10>& axisLabels) {
    s_.graphMaxOhms = scale.graphMaxOhms;
    s_.graphScale = scale.graphScale;
    s_.yCompress = scale.yCompress;
    for (int k = 0; k < 10; ++k)
        setAxisLabel(k, axisLabels[size_t(k)]);
}

} // namespace aurivo
