#pragma once

namespace aurivo {

// The modal dialogs the monitor opens from its menus. The window passes real dialogs; tests pass a
// scripted fake that acts on the same models and returns without blocking.

class FileManager;

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // "Save Session As": leaves the typed name in the state's saveAsName (empty after Cancel).
    virtual void showSaveAs() = 0;
    // The session file manager, already configured by the caller; returns when it has hidden itself
    // or was closed.
    virtual void showFileManager(FileManager& manager) = 0;
    virtual void showAbout() = 0;
};

} // namespace aurivo
