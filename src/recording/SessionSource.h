#pragma once
// The files of one recorded session, found from the path of any of them (usually its reading file): the
// reading file <base>.tst, the header <base>.hdr and, when the session has markers, <base>.mrk. Names are
// matched without regard to case: a running session writes ".tst", a saved one ".Tst".

#include <QString>

namespace aurivo {

struct SessionSource {
    QString readingPath; // the file found, or the expected name when there is none (for the error message)
    QString headerPath;  // likewise
    QString markerPath;  // empty when the session has no marker file

    // path: a session file, or folder and base name without an extension.
    static SessionSource fromPath(const QString& path);
};

} // namespace aurivo
