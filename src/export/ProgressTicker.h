#pragma once
// How an export reports its progress and ends. The progress function is called on the thread that runs the
// export with the readings done so far and their total; returning false cancels the export.

#include <QDir>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <functional>

namespace aurivo {

using ExportProgress = std::function<bool(int64_t done, int64_t total)>;

enum class ExportStatus { Done, Failed, Cancelled };

// The text of an export's failure: the file as the user typed it, then why.
inline QString exportFailure(const QString& path, const QString& reason) {
    return QDir::toNativeSeparators(path) + QStringLiteral(": ") + reason;
}

// Calls the progress function about 200 times over an export however long it is, so a window that shows
// the progress is not flooded, and always at the total.
class ProgressTicker {
  public:
    ProgressTicker(const ExportProgress& progress, int64_t total)
        : progress_(progress), total_(total), step_(std::max<int64_t>(1, total / 200)) {}

    // False when the caller asked to cancel.
    bool report(int64_t done) {
        if (!progress_ || done < next_ || last_ == total_) return true;
        last_ = std::min(done, total_);
        next_ = std::min(done + step_, total_);
        return progress_(last_, total_);
    }

  private:
    const ExportProgress& progress_;
    int64_t total_;
    int64_t step_;
    int64_t next_ = 0;
    int64_t last_ = -1;
};

} // namespace aurivo
