#include "recording/ReplayLegend.h"

#include "recording/SessionColours.h"
#include "recording/SessionReplay.h"

#include <QStringList>
#include <algorithm>

namespace aurivo {

namespace {
const char* const kColourNames[6] = {"cyan", "yellow", "green", "magenta", "blue", "red"};
} // namespace

std::vector<ReplayLegend::Entry> ReplayLegend::entries(const DisplayList& list) {
    std::vector<Entry> result;
    const int count = std::clamp(list.count, 0, int(kSessionColours.size()));
    for (int k = 0; k < count; ++k)
        result.push_back({SessionReplay::sessionName(list.hdrPaths[size_t(k)]), kSessionColours[size_t(k)],
                          QString::fromLatin1(kColourNames[k])});
    return result;
}

QString ReplayLegend::text(const std::vector<Entry>& entries) {
    if (entries.empty()) return QString();
    QStringList parts;
    for (const Entry& e : entries)
        parts.append(e.name + QStringLiteral(" in ") + e.colourName);
    return QStringLiteral("Sessions: ") + parts.join(QStringLiteral(", "));
}

} // namespace aurivo
