#pragma once
// The words a screen reader says for controls whose meaning the eye takes from their place or colour:
// a value with its heading, and what the graph shows. The widgets only pass these on.

#include <QString>
#include <array>

namespace aurivo {

class AccessibleTexts {
  public:
    // A value cell named with its heading: "Res.: 464.5 kOhms"; "Data: none" for an empty cell.
    static QString valueName(const QString& heading, const QString& value);
    // What the graph shows, from its axis captions (0 at the top edge .. 4 at the bottom, 9 at the right
    // end of the time axis) and the elapsed session time: "Resistance from 400.0 kOhms at the top to
    // 560.0 kOhms at the bottom; time axis 00:00 to 05:20; elapsed time 00:01:23". Before anything is
    // drawn it says so.
    static QString graphDescription(const std::array<QString, 10>& axisLabels, const QString& elapsed,
                                    bool replay);
};

} // namespace aurivo
