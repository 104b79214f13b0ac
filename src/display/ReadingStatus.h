#pragma once
// The readings panel LblShnStf(0..9): resistance and conductance of the filtered reading, the raw reading
// with the probe state (the data label, 7), and the percentage change since the session's start reading;
// showing a reading also yields the indicator target level that follows from it. The panel owns its
// labels; the tick colours the data label through markDataArrived and markNoData.

#include "core/ChangeSignal.h"
#include "core/ControlModels.h"
#include "core/Reading.h"

#include <QString>
#include <array>
#include <optional>

namespace aurivo {

class ReadingStatus {
  public:
    // What the panel shows a reading against.
    struct Context {
        int32_t filteredReading = 0; // the filtered reading, as the previous packet left it
        bool sessionRunning = false;
        double startReading = 0; // the session's start reading, 0 while none
        int32_t graphSpanPercent = 0;
    };

    ReadingStatus();

    const std::array<LabelModel, 10>& labels() const;

    // Runs for every valid packet before the graph takes the reading, so it shows the filtered reading
    // the previous packet left (the one-packet lag is intended). Returns the indicator target level when
    // it could be worked out. A failing calculation skips only its own step.
    std::optional<float> showReading(const Reading& reading, const Context& context);

    // The data label: light green when data arrived since the last tick, light red with "No Data" when
    // none came for a while, the button face again when the session stops.
    void markDataArrived();
    void markNoData();
    void resetDataLabel();

    // Conductance caption for a conductance in microsiemens: number cut to 4 characters (a trailing
    // point dropped) and the unit "  S", " mS" or " uS".
    static QString conductanceText(double microsiemens);
    // Percentage caption body: the number cut one digit behind the point, "0" for whole numbers and
    // exponent forms (without the trailing " %").
    static QString percentText(double percent);

    ChangeSignal changed;

  private:
    // A caption kept as the number it shows until the labels are read: under a flood of packets only
    // the last of many readings is ever seen, so only that one is turned into text.
    struct PendingCaption {
        enum class Kind { None, Ohms, Conductance, Percent, Raw } kind = Kind::None;
        double value = 0;
    };

    void setCaption(int index, const QString& caption);
    void setPending(int index, PendingCaption::Kind kind, double value);
    void setLook(int index, uint32_t backColor, const QString& toolTip);

    mutable std::array<LabelModel, 10> labels_;
    mutable std::array<PendingCaption, 10> pending_{};
    bool dirty_ = false;
};

} // namespace aurivo
