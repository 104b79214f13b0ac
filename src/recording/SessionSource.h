#pragma once
// The files of one recorded session, found from the path of any of them (usually its reading file): the
// reading file <base>.tst, the header <base>.hdr, when the session has markers <base>.mrk, and when it was
// recorded with the times of its readings <base>.tim, and when responses were found in it <base>.scr. Names
// are matched without regard to case: a running session writes ".tst", a saved one ".Tst".

#include <QString>

namespace aurivo {

struct SessionSource {
    QString readingPath;  // the file found, or the expected name when there is none (for the error message)
    QString headerPath;   // likewise
    QString markerPath;   // empty when the session has no marker file
    QString timingPath;   // empty when the session has no timing file (recorded before there was one)
    QString responsePath; // empty when the session has no response file

    // path: a session file, or folder and base name without an extension.
    static SessionSource fromPath(const QString& path);
};

} // namespace aurivo
