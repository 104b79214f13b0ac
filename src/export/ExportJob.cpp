#include "export/ExportJob.h"

#include <chrono>
#include <utility>

namespace aurivo {

ExportJob::ExportJob(QString sessionPath, QString outPath, ExportFormat format)
    : sessionPath_(std::move(sessionPath)), outPath_(std::move(outPath)), format_(format) {}

ExportJob::~ExportJob() {
    cancel();
    if (worker_.joinable()) worker_.join();
}

void ExportJob::start() {
    if (worker_.joinable()) return;
    worker_ = std::thread([this] {
        ExportResult result = SessionExporter::run(SessionSource::fromPath(sessionPath_), outPath_, format_,
                                                   [this](int64_t done, int64_t total) {
                                                       done_ = done;
                                                       total_ = total;
                                                       return !cancelRequested_;
                                                   });
        std::lock_guard<std::mutex> lock(mutex_);
        result_ = std::move(result);
        finished_ = true;
        ended_.notify_all();
    });
}

bool ExportJob::waitFinished(int64_t limitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return ended_.wait_for(lock, std::chrono::milliseconds(limitMs), [this] { return finished_.load(); });
}

} // namespace aurivo
