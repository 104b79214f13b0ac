#pragma once
// One monitor per program folder. Two monitors on one folder would destroy each other's sessions: the
// second one's start-up deletes the first one's temporary files, or takes its live recording for a
// crashed one and "recovers" it. The first monitor holds a lock file in the folder with its process id
// for as long as it runs; a second start finds it and learns who holds it. A lock file left by a monitor
// that died (killed, power loss) names a process that no longer runs and is taken over; a running owner
// is never taken over, however old its lock.

#include <QLockFile>
#include <QString>

namespace aurivo {

class InstanceLock {
  public:
    enum class Outcome {
        Taken,       // this process holds the folder now
        Held,        // another running process holds it: see ownerPid() and ownerHost()
        Unavailable, // no lock file can be made there (see problem()); the folder is not guarded
    };

    explicit InstanceLock(const QString& folder);
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock without waiting.
    Outcome acquire();

    qint64 ownerPid() const { return ownerPid_; }
    const QString& ownerHost() const { return ownerHost_; }
    const QString& problem() const { return problem_; }
    // "The folder <folder> is in use by another Aurivo USB monitor (process <pid> on <host>)."
    QString heldMessage() const;

    static inline const QString kFileName = QStringLiteral("aurivo-usb.lock");

  private:
    QString folder_;
    QLockFile file_;
    qint64 ownerPid_ = 0;
    QString ownerHost_;
    QString problem_;
};

} // namespace aurivo
