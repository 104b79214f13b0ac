#pragma once
// The words a screen reader says for controls whose meaning the eye takes from their place or colour:
// a value with its heading, the level the lamps and the bar show, and what the graph shows. Units are
// said in words ("464.5 kilohms", "2.03 microsiemens") where the captions abbreviate them. The widgets
// only pass these on.

#include <QString>
#include <array>

namespace aurivo {

class AccessibleTexts {
  public:
    // Said after the values of a session that has stopped, until the next one starts.
    static inline const QString kStopped = QStringLiteral(" (stopped)");

    // The captions' units in words: "464.5 kOhms" -> "464.5 kilohms", "2.03 uS" -> "2.03 microsiemens"
    // (MOhms, Ohms, mS and S alike); other text is left as it is.
    static QString spokenUnits(const QString& text);
    // A value cell named with its heading: "Res.: 464.5 kilohms"; "Data: none" for an empty cell.
    static QString valueName(const QString& heading, const QString& value);
    // The level the lamps and the bar show, by its meaning: the percentage change of the resistance
    // since the session's start as the readings panel shows it (" 3.7 %", "-1.2 %"): "Level: 3.7 %
    // above start", "Level: 1.2 % below start", "Level: at start"; "Level: no reading" while the
    // indicators show none.
    static QString levelName(const QString& percentCaption, bool anyLit);
    // The indicators' count, as their description: "5 of 8 lamps lit".
    static QString levelCount(int lit, int units, const QString& unitName);
    // The readings now, for the graph: "Now 464.5 kilohms, 2.15 microsiemens, 3.7 % above start",
    // from the readings panel's resistance, conductance and percentage captions; empty before the first.
    static QString readingsNow(const QString& resistance, const QString& conductance,
                               const QString& percentCaption);
    // What the graph shows, from its axis captions (0 at the top edge .. 4 at the bottom, 9 at the right
    // end of the time axis) and the elapsed session time: "Resistance from 400.0 kilohms at the top to
    // 560.0 kilohms at the bottom; time axis 00:00 to 05:20; elapsed time 00:01:23". Before anything
    // is drawn it says so.
    static QString graphDescription(const std::array<QString, 10>& axisLabels, const QString& elapsed,
                                    bool replay);
};

} // namespace aurivo
