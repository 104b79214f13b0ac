#pragma once
// The main window frmAurivo: assembles the display panels and the entry frames over them, owns the menu
// bar, the keyboard (F10, the Tab chain) and the 200 ms timer, and runs every user action, showing what
// it changed afterwards. It computes nothing itself. It is also the monitor's window host and dialog
// opener.

#include "app/Dialogs.h"
#include "app/Monitor.h"
#include "core/WindowHost.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace aurivo {

class ChangeQueue;
class Clock;
class CommentsPanel;
class FocusRing;
class GraphPanel;
class LiveAnnouncer;
class MessageBoxes;
class ParameterStrip;
class PortChooserBox;
class SaveAsDialog;
class SerialComm;
class ToneOutput;
class WindowFocus;
class WindowMenus;
struct PanelContext;

class MainWindow : public QMainWindow, public WindowHost, public Dialogs {
    Q_OBJECT
  public:
    MainWindow(SerialComm& comm, Clock& clock, MessageBoxes& boxes, const QString& programFolder,
               std::function<QString(int)> deviceName, QWidget* parent = nullptr);
    ~MainWindow() override;

    Monitor& monitor() { return *monitor_; }
    ToneOutput& tone() { return *tone_; }
    GraphPanel& graphPanel() { return *graph_; }
    // Runs start-up (the settings, the port chooser when there is no settings file) and starts the tick.
    void startUp();
    // Replays saved sessions named by their .Tst or .Hdr files (the command line, a drop on the window).
    void openSessionFiles(const QStringList& paths);
    QTimer& tickTimer() { return timer_; }

    // WindowHost
    double screenWidthTwips() const override;
    double screenHeightTwips() const override;
    TwipsRect windowGeometry() const override;
    WindowState showState() const override;
    void setWindowWidth(double twips) override;
    void setWindowHeight(double twips) override;
    void setWindowLeft(double twips) override;
    void setWindowTop(double twips) override;
    void processEvents() override;
    bool waitUntil(const std::function<bool()>& done, int64_t limitMs) override;
    double twipsPerPixel() const override;

    // Dialogs
    QString showSaveAs(const QString& current) override;
    void showFileManager(FileManager& manager) override;
    void showAbout() override;
    std::optional<ExportRequest> askExport(const ExportChoices& choices) override;
    void showExportProgress(ExportJob& job) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildPanels();
    // F10 and the Tab chain.
    void buildKeyboard();
    // Runs one user action and shows what it changed; gives the keyboard back when the action went
    // through a dialog; closes the window when the action asked for exit.
    void act(const std::function<void()>& action);
    int px(double twips) const;

    std::unique_ptr<Monitor> monitor_;
    std::unique_ptr<ToneOutput> tone_; // listens to the monitor: goes before it
    std::unique_ptr<LiveAnnouncer> live_;
    std::unique_ptr<PanelContext> context_;
    QTimer timer_;
    bool closing_ = false;

    ChangeQueue* changes_ = nullptr;
    WindowFocus* focus_ = nullptr;
    WindowMenus* menus_ = nullptr;
    QWidget* client_ = nullptr;
    GraphPanel* graph_ = nullptr;
    CommentsPanel* comments_ = nullptr;
    ParameterStrip* strip_ = nullptr;
    PortChooserBox* ports_ = nullptr;
    FocusRing* focusRing_ = nullptr;

    QPointer<SaveAsDialog> saveAs_; // the save-as box while it is open
    QString saveAsTyped_;           // what its name box held when it last closed
};

} // namespace aurivo
