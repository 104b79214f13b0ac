#include "widgets/LegendOverlay.h"

#include "widgets/SystemColours.h"

namespace aurivo {

LegendOverlay::LegendOverlay(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("replayLegend"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setTextFormat(Qt::RichText);
    setStyleSheet(QStringLiteral("QLabel { background-color: black; color: white; border: 1px solid #808080; "
                                 "padding: 2px; }"));
    hide();
}

void LegendOverlay::showEntries(const std::vector<ReplayLegend::Entry>& entries, const QRect& graph) {
    const bool same =
        entries.size() == shown_.size() &&
        std::equal(entries.begin(), entries.end(), shown_.begin(),
                   [](const auto& a, const auto& b) { return a.name == b.name && a.colour == b.colour; });
    if (!same) {
        shown_ = entries;
        QString html;
        for (const ReplayLegend::Entry& e : entries) {
            if (!html.isEmpty()) html += QStringLiteral("<br>");
            html += QStringLiteral("<span style=\"color:%1\">&#9632;&#9632;</span> %2 <span "
                                   "style=\"color:#c0c0c0\">(%3)</span>")
                        .arg(colors::toQColor(e.colour).name(), e.name.toHtmlEscaped(), e.colourName);
        }
        setText(html);
        setAccessibleName(ReplayLegend::text(entries));
        adjustSize();
    }
    if (entries.empty() || graph.isEmpty()) {
        hide();
        return;
    }
    move(graph.right() - width() - 3, graph.top() + 3);
    raise();
    show();
}

} // namespace aurivo
