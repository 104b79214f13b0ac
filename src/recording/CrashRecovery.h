#pragma once
// Start-up's look at the sessions a previous run left unfinished. A session that was stopped has a header
// with its closing records. One whose header lacks them while its reading file holds readings was cut
// off (the program was killed, the machine lost power): its files are consistent up to the last tick
// written, so it is kept: the files are cut to the same whole readings and the header is completed
// (MinADC and MaxADC from the readings; as comments the start of the session and "Recovered after the
// program ended unexpectedly").
//
// - The temporary session (tempdata.*) is moved, with its marker and timing files, to a free name
//   recovered-YYYYMMDD-HHMMSS (the time of the last reading) in the program's folder. The move is
//   journalled: the target name is written to recovery.jnl before anything is moved and the journal is
//   removed last, so a recovery cut off at any step is finished by the next start and the session ends up
//   whole under one name. While the journal is there the temporary files are part of that session.
// - A named session ("Start and save as") already has its name; its header is completed in place. The
//   session control leaves its name in session.run while it runs, which is how start-up knows of it. The
//   record also keeps any named session whose header could not be completed yet, until it is.

#include <QDateTime>
#include <QString>

namespace aurivo {

class CrashRecovery {
  public:
    struct Outcome {
        QString notice;                  // what to tell the user; empty when there was nothing to keep
        QString name;                    // the recovered temporary session's name, empty when none was made
        bool keepTemporaryFiles = false; // the temporary files still hold a session: they must not be deleted
    };

    static constexpr const char* kComment = "Recovered after the program ended unexpectedly";
    static constexpr const char* kJournalName = "recovery.jnl";
    static constexpr const char* kRunningName = "session.run";

    // Finishes a recovery that was cut off, then recovers the temporary session and the named session
    // that were running. stopAfterStep > 0 is for tests: the temporary session's recovery returns after
    // that step as if the program had been killed there (1 journal written, 2 header written, 3 reading
    // file moved, 4 text file moved, 5 marker file moved, 6 timing file moved, 7 response file moved,
    // 8 temporary header removed).
    [[nodiscard]] static Outcome recover(const QString& programFolder, int stopAfterStep = 0);

    // A recovery journal is in the folder: the temporary files belong to a session still being moved.
    static bool recoveryPending(const QString& programFolder);

    // A named session starts (or restarts): session.run records its base name, beside the names of
    // sessions still waiting for their header. Returns why it could not be written ("<file> in <folder>:
    // <reason>"), empty when it was.
    [[nodiscard]] static QString namedSessionStarted(const QString& programFolder, const QString& baseName);
    // The session stopped: the names whose headers are whole leave the record, and the record goes with the
    // last one. A name that stays is harmless: the next start completes its header or finds it whole.
    static void sessionStopped(const QString& programFolder);

    // When the session whose reading file this is started: the file's birth time when the system tells
    // it and it fits the session, else its last change less `readings` at 20 a second.
    static QDateTime estimatedStart(const QString& tstPath, int64_t readings);
};

} // namespace aurivo
