#pragma once
// The display list: up to six saved sessions chosen in the file manager, in the order they were added;
// the replay draws the session at position k in colour k.

#include <QString>
#include <array>

namespace aurivo {

struct DisplayList {
    int count = 0;
    std::array<QString, 6> tstPaths;
    std::array<QString, 6> hdrPaths;
};

} // namespace aurivo
