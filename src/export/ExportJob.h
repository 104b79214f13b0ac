#pragma once
// One export running on a worker thread, so the window keeps responding however long the session is: the
// window starts it, shows its progress (readings done of their total) with a Cancel button, and takes the
// result once it has finished. Destroying a job that still runs cancels it and waits for its end, which
// then leaves no file behind.

#include "export/SessionExporter.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace aurivo {

class ExportJob {
  public:
    ExportJob(QString sessionPath, QString outPath, ExportFormat format);
    ~ExportJob();
    ExportJob(const ExportJob&) = delete;
    ExportJob& operator=(const ExportJob&) = delete;

    const QString& outPath() const { return outPath_; }

    void start();
    // Asks the export to stop at its next progress report.
    void cancel() { cancelRequested_ = true; }
    bool cancelRequested() const { return cancelRequested_; }
    bool finished() const { return finished_; }
    // Waits until the export has finished or `limitMs` milliseconds have passed; true when finished.
    bool waitFinished(int64_t limitMs);
    int64_t done() const { return done_; }
    int64_t total() const { return total_; }
    // The outcome, once finished.
    const ExportResult& result() const { return result_; }

  private:
    QString sessionPath_;
    QString outPath_;
    ExportFormat format_;
    std::thread worker_;
    std::atomic<bool> cancelRequested_{false};
    std::atomic<bool> finished_{false};
    std::atomic<int64_t> done_{0};
    std::atomic<int64_t> total_{0};
    ExportResult result_; // written by the worker before finished_ turns true
    std::mutex mutex_;
    std::condition_variable ended_;
};

} // namespace aurivo
