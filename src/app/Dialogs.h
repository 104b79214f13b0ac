#pragma once
// The modal dialogs the monitor opens from its menus. The window passes real dialogs; tests pass a
// scripted fake that acts on the same models and returns without blocking.

#include "app/ExportChoices.h"

#include <QString>
#include <optional>

namespace aurivo {

class FileManager;
class ExportJob;

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // "Save Session As", showing the name it was last left with: returns the name confirmed with OK, an
    // empty name after Cancel, or `current` unchanged when the box was closed without either.
    virtual QString showSaveAs(const QString& current) = 0;
    // The session file manager, already opened by the caller; returns when it has hidden itself or was
    // closed.
    virtual void showFileManager(FileManager& manager) = 0;
    virtual void showAbout() = 0;
    // "Export session": which session, into which file and in which format; none when cancelled.
    virtual std::optional<ExportRequest> askExport(const ExportChoices& choices) = 0;
    // Starts the export and shows its progress with a Cancel button (which cancels the job); returns when
    // the job has finished.
    virtual void showExportProgress(ExportJob& job) = 0;
};

} // namespace aurivo
