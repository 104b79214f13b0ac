#pragma once
// The readings panel's values: resistance and conductance of the filtered reading, the percentage change
// since the session's start reading, and the data cell (the raw reading, whether data arrives, the probe
// state). Showing a reading also yields the indicator target level that follows from it. The captions
// are the program's own number forms, made where the values are shown.

#include "core/ChangeSignal.h"
#include "core/Reading.h"

#include <QString>
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

    // Whether data comes in: idle outside a session, good while it arrives and the probe is fine, bad
    // when none came for a while or the probe reports an error.
    enum class DataLight { Idle, Good, Bad };
    enum class Probe { Unknown, Ok, Error };
    struct DataCell {
        enum class Text { Empty, Reading, NoData } text = Text::Empty;
        int32_t reading = 0; // the raw reading shown while text is Reading
        DataLight light = DataLight::Idle;
        Probe probe = Probe::Unknown;
        bool operator==(const DataCell&) const = default;
    };
    // Each value stays empty until a reading first gives it.
    struct Shown {
        std::optional<double> percentChange;
        std::optional<double> ohms;
        std::optional<double> microsiemens;
        DataCell data;
        bool operator==(const Shown&) const = default;
    };

    const Shown& shown() const { return shown_; }

    // Runs for every valid packet before the graph takes the reading, so it shows the filtered reading
    // the previous packet left (the one-packet lag is intended). Returns the indicator target level when
    // it could be worked out. A failing calculation skips only its own step.
    std::optional<float> showReading(const Reading& reading, const Context& context);

    // The data cell: good when data arrived since the last tick, bad with "No Data" when none came for a
    // while, idle again (and the probe unknown) when the session stops.
    void markDataArrived();
    void markNoData();
    void resetDataLabel();

    // The captions of the values: "0 %", "0" and "0" until a reading gives them.
    static QString percentCaption(const std::optional<double>& percent);
    static QString ohmsCaption(const std::optional<double>& ohms);
    static QString conductanceCaption(const std::optional<double>& microsiemens);
    // The raw reading, "No Data", or nothing.
    static QString dataCaption(const DataCell& data);
    // "Probe OK", "Probe error", or nothing while the probe is unknown.
    static QString probeText(Probe probe);
    // Conductance caption for a conductance in microsiemens: number cut to 4 characters (a trailing
    // point dropped) and the unit "  S", " mS" or " uS".
    static QString conductanceText(double microsiemens);
    // Percentage caption body: the number cut one digit behind the point, "0" for whole numbers and
    // exponent forms (without the trailing " %").
    static QString percentText(double percent);

    ChangeSignal changed;

  private:
    // Takes the new values and tells the change, if any.
    void show(const Shown& next);

    Shown shown_;
};

} // namespace aurivo
