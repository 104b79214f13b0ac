#pragma once
// The modal dialogs the monitor opens from its menus. The window passes real dialogs; tests pass a
// scripted fake that acts on the same models and returns without blocking.

class FileManager;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // "Save Session As": leaves the typed name in the state's SaveAsName (empty after Cancel).
    virtual void ShowSaveAs() = 0;
    // The session file manager, already configured by the caller; returns when it has hidden itself
    // or was closed.
    virtual void ShowFileManager(FileManager& manager) = 0;
    virtual void ShowAbout() = 0;
};
