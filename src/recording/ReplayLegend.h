#pragma once
// The legend of a replay: the name of every session on the display list with the colour of its trace,
// so that the sessions can be told apart without telling the colours apart.

#include "recording/DisplayList.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace aurivo {

class ReplayLegend {
  public:
    struct Entry {
        QString name;       // as the comment box names it (the header's file name without extension)
        uint32_t colour;    // the trace colour, 0x00BBGGRR
        QString colourName; // "cyan", "yellow", ...
    };

    static std::vector<Entry> entries(const DisplayList& list);
    // The legend in words: "Sessions: s1 in cyan, s2 in yellow"; empty for an empty list.
    static QString text(const std::vector<Entry>& entries);
};

} // namespace aurivo
