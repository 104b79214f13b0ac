#pragma once
// Keeps two programs from replacing saved sessions in one folder at the same time: a save, and the
// finishing of a save that was cut off, hold the folder for as long as they run, so neither finishes or
// sweeps away the other's half-placed files. It is an advisory lock (flock) on the folder itself: nothing
// is written, and the lock ends with the process however it ends. Where the system offers no such lock
// (some network file systems), the folder goes unguarded.

#include <QString>

namespace aurivo {

class FolderLock {
  public:
    // Waits up to waitMs for another holder to let go.
    explicit FolderLock(const QString& folder, int waitMs = 2000);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    // Another program held the folder for longer than the wait.
    bool busy() const { return busy_; }

  private:
    int fd_ = -1;
    bool busy_ = false;
};

} // namespace aurivo
