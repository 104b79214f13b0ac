#pragma once
// The readings panel: resistance and conductance of the filtered reading, the raw reading with the probe
// state, the percentage change since the session's start reading, and the indicator target level that
// follows from it. Works on the window's state; keeps nothing of its own between packets.

#include <QString>

namespace aurivo {

struct MonitorState;

class ReadingStatus {
  public:
    explicit ReadingStatus(MonitorState& state) : state_(state) {}

    // Runs for every valid packet before the graph takes the reading, so it shows the filtered reading
    // the previous packet left (the one-packet lag is intended). A failing calculation skips only its
    // own step.
    void showReading();

    // Conductance caption for a conductance in microsiemens: number cut to 4 characters (a trailing
    // point dropped) and the unit "  S", " mS" or " uS".
    static QString conductanceText(double microsiemens);
    // Percentage caption body: the number cut one digit behind the point, "0" for whole numbers and
    // exponent forms (without the trailing " %").
    static QString percentText(double percent);

  private:
    MonitorState& state_;
};

} // namespace aurivo
