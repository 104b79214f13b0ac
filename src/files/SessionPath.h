#pragma once
// The three file paths of one saved session, split from a typed path: the folder (with its trailing
// '/'), and the base name (the name up to its first ".") with the extensions ".Tst", ".Hdr", ".Txt".
// Whatever extension the typed name carries is dropped, so abc, abc.tst and abc.txt all name abc.

#include <QString>

namespace aurivo {

struct SessionPath {
    enum class Status {
        Ok,          // the three paths are set
        NotAbsolute, // the caller shows kNotAbsoluteMessage; nothing is set
        NoName,      // empty name, or a name beginning with "."; only the folder is set
    };

    Status status = Status::NoName;
    QString folder; // up to and including the last '/'
    QString tstPath, hdrPath, txtPath;

    bool usable() const { return status == Status::Ok; }
};

// Text of the message shown for a path that is not absolute (the program's title, an OK button).
inline const QString kNotAbsoluteMessage = QStringLiteral("Should have found a ':' at pos. # 3");

SessionPath splitSessionPath(const QString& path);

// Session file names are compared without regard to case ("abc.tst" written by a named session is the
// session abc whose reading file is "abc.Tst"): when the path names no entry but its folder holds one
// whose name differs only in case, that entry's path is returned; otherwise the path is unchanged.
QString resolveFileCase(const QString& path);

} // namespace aurivo
