#include "recording/SessionMarkers.h"

#include "core/NumberRules.h"

namespace aurivo {

bool SessionMarkers::startSession(const QString& basePath, QString& failure) {
    file_ = MarkerFile(MarkerFile::pathForBase(basePath));
    markers_.clear();
    onPicture_ = true;
    changed.notify();
    return file_.remove(failure);
}

bool SessionMarkers::add(double seconds, int64_t reading, QString& failure) {
    markers_.push_back(Marker{seconds, reading, QStringLiteral("Marker %1").arg(markers_.size() + 1)});
    changed.notify();
    return file_.append(markers_.back(), failure);
}

bool SessionMarkers::rename(size_t index, const QString& label, QString& failure) {
    const QString wanted = label.trimmed();
    if (index >= markers_.size() || wanted.isEmpty() || wanted == markers_[index].label) return true;
    markers_[index].label = wanted;
    changed.notify();
    return file_.rewrite(markers_, failure);
}

QString SessionMarkers::commentLines(const QString& comments) const {
    QString lines;
    for (size_t i = 0; i < markers_.size(); ++i) {
        const Marker& m = markers_[i];
        if (i > 0 || !(comments.isEmpty() || comments.endsWith(QLatin1Char('\n'))))
            lines += QStringLiteral("\r\n");
        lines += QStringLiteral("%1. %2 (reading %3) %4")
                     .arg(i + 1)
                     .arg(numbers::formatElapsed(m.timeSeconds))
                     .arg(m.reading)
                     .arg(m.label);
    }
    return lines;
}

void SessionMarkers::leavePicture() {
    if (!onPicture_) return;
    onPicture_ = false;
    changed.notify();
}

} // namespace aurivo
