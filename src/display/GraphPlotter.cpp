#include "display/GraphPlotter.h"

#include "display/ReadingSums.h"

#include "app/Colors.h"
#include "app/MonitorState.h"
#include "app/NumberRules.h"
#include "recording/SessionFiles.h"

#include <algorithm>
#include <cmath>
#include <limits>

using NumberRules::NumberText;
using NumberRules::OhmsFromReading;
using NumberRules::ToLong;

namespace {
constexpr uint32_t kTraceColour = Colors::kWhite;
constexpr int32_t kWindowLow = 320;
constexpr int32_t kWindowHigh = 16000;
constexpr int32_t kStepLimit = 804;
constexpr int32_t kMaxPercent = 1000;
constexpr int32_t kLongMax = std::numeric_limits<int32_t>::max();

// A Single field takes a value only when it fits; an overflowing or undefined result fails the step.
bool StoreSingle(float& field, double value) {
    if (!std::isfinite(value) || std::fabs(value) > double(std::numeric_limits<float>::max())) return false;
    field = static_cast<float>(value);
    return true;
}

bool FitsLong(double value) { return std::isfinite(value) && value >= -2147483648.0 && value <= 2147483647.0; }

} // namespace

void GraphPlotter::ResetForNewSession() {
    state_.OhmsAccumulator = 0;
    state_.ComprshnCounter = 1; // in step with RecordCount = 1: record 1 at yCompress 1 is the point x = 1
}

void GraphPlotter::PlotReading() {
    MonitorState& s = state_;
    if (!(s.StatusByte & 4) || s.RawReading == 0) return;

    // Shift the window; it is judged as it was before this reading.
    const int n = std::clamp(s.FilterSize, 1, 8);
    auto& window = s.FilterBuffer;
    bool bad = false;
    for (int i = 1; i <= n; ++i) {
        window[i - 1] = window[i];
        if (window[i] < kWindowLow || window[i] > kWindowHigh) bad = true;
    }
    if (bad) {
        // The raw reading enters unchecked; nothing is drawn or stored until the window is clean again.
        window[n] = s.RawReading;
        return;
    }

    if (s.FilteredReading == 0) s.FilteredReading = window[1];

    const int64_t d = int64_t(s.RawReading) - s.FilteredReading;
    if (d > kStepLimit || d < -kStepLimit) {
        const int64_t limited = int64_t(s.FilteredReading) + (d > 0 ? kStepLimit : -kStepLimit);
        if (FitsLong(double(limited))) s.RawReading = int32_t(limited);
    }

    window[n] = s.RawReading;
    int64_t sum = 0;
    for (int i = 1; i <= n; ++i) sum += window[i];
    const double average = NumberRules::RoundHalfEven(double(sum) / n);
    if (FitsLong(average)) s.FilteredReading = int32_t(average);

    if (s.FilteredReading > s.MaxADC) s.MaxADC = s.FilteredReading;
    else if (s.FilteredReading < s.MinADC) s.MinADC = s.FilteredReading;

    const double start = NumberRules::ValueOf(s.lblSysADCstart.caption);
    const double percent = NumberRules::ValueOf(s.LblParams[3].caption);
    if (start != s.GraphStartReading || percent != s.GraphSpanPercent || s.RedrawRequested) {
        if (!RebuildGraph(start, percent)) return;
    }

    if (s.FilteredReading < 1) return;
    StoreSingle(s.OhmsAccumulator, double(s.OhmsAccumulator) + OhmsFromReading(s.FilteredReading));

    const int32_t compress = std::max(1, s.yCompress);
    if (s.ComprshnCounter % compress == 0) {
        const double ohms = double(s.OhmsAccumulator) / compress;
        const int32_t x = ToLong(double(s.RecordCount) / compress);
        CheckRange(PlotPoint(x, ohms, kTraceColour));
        s.OhmsAccumulator = 0;
    } else {
        files_.AppendTraceEmptyLine();
    }

    StoreReading();
}

void GraphPlotter::CheckRange(int32_t y) {
    MonitorState& s = state_;
    if (y > s.pixXYgraf.ScaleHeight() || y < 0) {
        const double percent = NumberRules::ValueOf(s.LblParams[3].caption);
        if (percent < kMaxPercent) {
            // Widen the sensitivity by a quarter; the changed caption rebuilds the graph on the next reading.
            s.lblGrafErrorWidth = 150;
            s.lblGrafError.caption = QStringLiteral("Readjusting  graph");
            int32_t widened = ToLong(percent);
            widened = ToLong(widened * 1.25);
            if (widened > kMaxPercent) widened = kMaxPercent;
            s.LblParams[3].caption = NumberText(widened);
        } else {
            s.lblGrafErrorWidth = 300;
            s.lblGrafError.caption = QStringLiteral("Maximum Sensitivity!  Graph off scale!");
        }
        s.lblGrafError.visible = true;
    } else {
        s.lblGrafError.visible = false;
    }
}

void GraphPlotter::StoreReading() {
    MonitorState& s = state_;
    files_.WriteReading(s.RecordCount, s.FilteredReading);
    if (s.RecordTime <= kLongMax - 5) s.RecordTime += 5;
    files_.AppendTextLine(s.FilteredReading, s.RecordTime);

    if (s.RecordCount < kLongMax) ++s.RecordCount;
    if (s.ComprshnCounter < kLongMax) ++s.ComprshnCounter;

    // Reaching the right edge: one more reading per point, and the whole session drawn again.
    const int32_t width = ToLong(s.pixXYgraf.ScaleWidth());
    if (width != 0 && s.RecordCount % width == 1) {
        s.yCompress = s.RecordCount / width + 1;
        s.RedrawRequested = true;
    }
}

bool GraphPlotter::RebuildGraph(double startReading, double spanPercent) {
    MonitorState& s = state_;
    const int32_t width = ToLong(s.pixXYgraf.ScaleWidth());
    if (width != 0) s.yCompress = s.RecordCount / width + 1;
    if (s.yCompress < 1) s.yCompress = 1;

    s.GraphStartReading = ToLong(startReading);
    s.GraphSpanPercent = ToLong(spanPercent);
    if (s.GraphStartReading == 0) return false; // no start reading yet: nothing drawn or stored

    ComputeScale();
    RedrawStoredReadings(files_.Readings());
    s.RedrawRequested = false;
    return true;
}

void GraphPlotter::ComputeScale() {
    MonitorState& s = state_;
    const double height = s.pixXYgraf.ScaleHeight();
    const float width = static_cast<float>(s.pixXYgraf.ScaleWidth());

    const double rs = OhmsFromReading(s.GraphStartReading);
    StoreSingle(s.GraphMaxOhms, (s.GraphSpanPercent / 100.0 + 1.0) * rs);
    if (2.0 * rs - double(s.GraphMaxOhms) < 0) {
        // Spans above 100 %: the top edge is 0 ohms.
        if (s.GraphMaxOhms != 0) StoreSingle(s.GraphScale, height / double(s.GraphMaxOhms));
    } else {
        // The start resistance at mid-height, the picture spanning it plus and minus the span.
        const double half = double(s.GraphMaxOhms) - rs;
        if (half != 0) StoreSingle(s.GraphScale, (height / 2.0) / half);
    }

    double minOhms = 0;
    if (s.GraphScale != 0) {
        const double v = double(s.GraphMaxOhms) - height / double(s.GraphScale);
        if (std::isfinite(v)) minOhms = v;
    }

    for (int k = 0; k <= 4; ++k) {
        double v = (double(s.GraphMaxOhms) - minOhms) / 4.0 * k + minOhms;
        if (!std::isfinite(v)) continue;
        if (v < 0) v = 0;
        s.lbl4Graf[k].caption = NumberRules::FormatOhms(v);
    }
    // The time axis assumes 20 readings per second.
    for (int k = 5; k <= 9; ++k) {
        double v = double(width / 2.0f) * s.yCompress * (k - 5) / 40.0;
        if (v < 0) v = 0;
        s.lbl4Graf[k].caption = NumberRules::FormatSessionTime(v).right(5);
    }
}

void GraphPlotter::RedrawStoredReadings(const std::vector<int32_t>& readings) {
    MonitorState& s = state_;
    s.pixXYgraf.Cls();
    DrawGraphGrid();
    s.OhmsAccumulator = 0;

    const int64_t compress = std::max(1, s.yCompress);
    const int64_t last = std::max<int64_t>(0, int64_t(s.RecordCount) - 1); // records 1..last
    const int64_t available = std::min<int64_t>(last, int64_t(readings.size()));
    const int64_t groups = last / compress;
    const int32_t* data = readings.data();
    // Records never written (beyond `available`) read as 0 and are skipped like any reading below 1.
    const auto reading = [&](int64_t index) { return index < available ? data[index] : 0; };

    double ohms = 0; // kept when a group's average is unusable, as a failed step leaves it
    for (int64_t g = 0; g < groups; ++g) {
        const int64_t begin = g * compress;
        const int64_t stop = std::min(begin + compress, available);
        const int64_t sum = begin < stop ? SumOfValidReadings(data + begin, stop - begin) : 0;
        const double average = NumberRules::RoundHalfEven(double(sum) / double(compress));
        if (average != 0 && FitsLong(average)) ohms = OhmsFromReading(average);
        PlotPoint(int32_t(g + 1), ohms, kTraceColour);
    }

    // The readings behind the last point start the next live point, in ohms like the live sum, and the
    // counter follows the record number, so that point averages exactly yCompress readings and lands
    // one column after the last redrawn one.
    float trailing = 0;
    for (int64_t j = groups * compress; j < last; ++j) {
        const int32_t a = reading(j);
        if (a >= 1) StoreSingle(trailing, double(trailing) + OhmsFromReading(a));
    }
    s.OhmsAccumulator = trailing;
    s.ComprshnCounter = s.RecordCount;
}

int32_t GraphPlotter::PlotPoint(int32_t x, double ohms, uint32_t colour) {
    MonitorState& s = state_;
    GraphCanvas& picture = s.pixXYgraf;
    // An undefined position (NaN) is 0, a position beyond the Long range is held at its limit.
    const int32_t y =
        ToLong(double(picture.ScaleHeight()) - (double(s.GraphMaxOhms) - ohms) * double(s.GraphScale));
    const int32_t width = ToLong(picture.ScaleWidth());
    const int32_t xm = width != 0 ? x % width : 0;
    if (x == 1) picture.PSet(xm, y, colour);
    else picture.LineTo(xm, y, colour);

    if (files_.TraceOpen()) {
        const QString colourText = QString::number(colour, 16).toUpper();
        files_.AppendTraceLine(NumberText(x) + QLatin1Char(':') + NumberText(ohms) + QLatin1Char(':') + colourText +
                               QStringLiteral("::") + NumberText(xm) + QLatin1Char(':') + NumberText(y));
    }
    return y;
}

void GraphPlotter::DrawGraphGrid() {
    MonitorState& s = state_;
    GraphCanvas& picture = s.pixXYgraf;
    const uint32_t colour =
        s.mnuDisplayOld.caption == QStringLiteral("Display another session") ? Colors::kWhite : Colors::kMagenta;
    // Picture sizes are singles; the dot positions are computed in single precision and rounded.
    const float width = static_cast<float>(picture.ScaleWidth());
    const float height = static_cast<float>(picture.ScaleHeight());
    const int16_t nx = NumberRules::ToInteger(width / 10.0f);
    const int16_t ny = NumberRules::ToInteger(height / 10.0f);

    // A picture too small for a dot spacing fails at its first dot; the rest of the grid is abandoned.
    if (nx == 0) return;
    for (int k = 0; k <= 4; ++k) {
        const int32_t y = std::max(0, ToLong(float(k) * height / 4.0f - 1.0f));
        for (int j = 0; j <= nx; ++j) picture.PSet(ToLong(width / float(nx) * float(j)), y, colour);
    }
    if (ny == 0) return;
    for (int k = 5; k <= 9; ++k) {
        const int32_t x = std::max(0, ToLong(float(k - 5) * width / 4.0f - 1.0f));
        for (int j = 0; j <= ny; ++j) picture.PSet(x, ToLong(height / float(ny) * float(j)), colour);
    }
    picture.SetDrawWidth(1);
}
