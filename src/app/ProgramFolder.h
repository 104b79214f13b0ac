#pragma once
// The program's folder, home of the settings file, the session files and the ports/ links. It is the
// folder named with --folder; else the executable's own folder when the user may write there (a build
// folder, an unpacked copy); else the user's data folder $XDG_DATA_HOME/aurivo-usb
// (~/.local/share/aurivo-usb). The folder the programs are installed into never counts as writable,
// so an installed monitor started by root does not write beside the system's programs either.

#include <QString>

namespace aurivo {

class ProgramFolder {
  public:
    struct Inputs {
        QString chosen; // from --folder; empty when not given
        QString executableFolder;
        bool executableFolderWritable = false;
        QString installFolder; // where installed programs live
        QString xdgDataHome;   // the environment's value, possibly empty
        QString home;
    };

    // The folder the rule picks, as an absolute path (not created here).
    static QString choose(const Inputs& in);
    // Where a settings file is read from when the chosen folder has none: the executable's folder when
    // the rule passed over it (not writable) and no folder was given; else empty.
    static QString settingsFallback(const Inputs& in);
    // What to tell the user when the executable's folder holds files of an earlier run (a settings file,
    // a session left behind) but can no longer be written, so that the program now keeps its files in the
    // data folder: both folders are named. Said once: empty once the chosen folder has settings of its
    // own, and empty when no folder was passed over.
    static QString movedNotice(const Inputs& in);
    // This process's inputs: its executable's folder, the environment and the build's install folder.
    static Inputs fromSystem(const QString& chosen);
    // Creates the folder when missing and checks that files can be made in it; returns why it cannot be
    // used, or an empty text.
    static QString prepare(const QString& folder);
};

} // namespace aurivo
