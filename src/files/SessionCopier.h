#pragma once
// Copies the running program's temporary session files (tempdata.tst, tempdata.txt, tempdata.hdr in
// the program folder) to a saved session's reading, text and header paths, in that order, and the marker
// file tempdata.mrk, the timing file tempdata.tim and the response file tempdata.scr, when there are,
// beside them (name.Mrk, name.Tim, name.Scr).
// Each copy is written and checked under a
// temporary name beside its destination, and all are put in place together only when all are complete:
// a failed save leaves the previous session (or nothing) as it was. A save cut off while it puts the
// files in place (the program killed, the power lost) is finished by finishInterrupted() at the next
// start, the next opening of its folder or the next save there: each name then holds the whole previous
// session or the whole new one.

#include <QString>

namespace aurivo {

class SessionCopier {
  public:
    struct Result {
        bool ok = false;
        QString reason; // on failure: the file, its folder and the system's description
    };

    explicit SessionCopier(QString programFolder);

    // Existing destinations are replaced only when overwrite is true; otherwise an existing destination
    // is a failure and nothing is written.
    [[nodiscard]] Result copy(const QString& tstPath, const QString& txtPath, const QString& hdrPath,
                              bool overwrite) const;
    // Where the marker file of the session with this reading file is saved: its existing marker file in
    // any spelling, otherwise name.Mrk.
    static QString markerPathFor(const QString& tstPath);
    // Likewise for its timing file: the existing one in any spelling, otherwise name.Tim.
    static QString timingPathFor(const QString& tstPath);
    // Likewise for its response file: the existing one in any spelling, otherwise name.Scr.
    static QString responsePathFor(const QString& tstPath);
    // Finishes a save into this folder that was cut off, and removes what a save killed earlier left.
    // A folder in which another program is saving right now is left alone.
    [[nodiscard]] static Result finishInterrupted(const QString& folder);

    // For tests: the save stops after that many steps of putting the files in place and leaves them as
    // a kill there would.
    void stopAfterStep(int step) { stopAfterStep_ = step; }

  private:
    QString programFolder_;
    int stopAfterStep_ = -1;
};

} // namespace aurivo
