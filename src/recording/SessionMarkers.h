#pragma once
// The markers of the running (or last) session: each one its time since the start, the reading it was set
// at and its label, numbered from 1 in the order they were set. Every marker reaches the session's marker
// file (base name + ".mrk") the moment it is set; a session without markers has no marker file. At Stop
// the markers are listed after the comments, one line each.
//
// The markers are drawn on the picture while it shows their session: from the start of the session until
// a replay takes the picture over.

#include "core/ChangeSignal.h"
#include "recording/MarkerFile.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace aurivo {

class SessionMarkers {
  public:
    // A session starts with the files of basePath (folder and base name): no markers, and the marker file
    // an earlier session left under that name is deleted. Returns false with "path: reason" when it
    // could not be deleted.
    bool startSession(const QString& basePath, QString& failure);
    // Sets marker number count() + 1, labelled "Marker N". It is kept (drawn and listed) even when its
    // line could not be written; the return value says so, with "path: reason".
    bool add(double seconds, int64_t reading, QString& failure);
    // Renames marker `index` (from 0) and writes the marker file anew. An empty label keeps the old one.
    bool rename(size_t index, const QString& label, QString& failure);

    const std::vector<Marker>& markers() const { return markers_; }
    const QString& filePath() const { return file_.path(); }
    // The lines the Stop adds to the comments "1. 00:00:12.35 (reading 245) Marker 1", each on its own
    // line after `comments`; empty without markers.
    QString commentLines(const QString& comments) const;

    bool onPicture() const { return onPicture_; }
    // A replay has taken the picture over.
    void leavePicture();

    ChangeSignal changed; // a marker was set or renamed, or the markers left the picture

  private:
    MarkerFile file_{QString()};
    std::vector<Marker> markers_;
    bool onPicture_ = false;
};

} // namespace aurivo
