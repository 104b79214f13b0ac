#pragma once
// The main window frmAurivo: menus, the six display panels, the three entry frames and the 200 ms
// timer. It forwards every user action to the monitor and follows the parts' change signals, updating
// only the widgets of the part that changed; it computes nothing itself. It is also the monitor's window
// host and dialog opener.

#include "app/Dialogs.h"
#include "app/Monitor.h"
#include "core/WindowHost.h"
#include "layout/LiveThrottle.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <memory>

class QAction;
class QMenu;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace aurivo {

class ModelLabel;
class EntryFrame;
class FocusRing;
class GraphView;
class IndicatorFrame;
class LegendOverlay;
class MarkerPrompt;
class PortOption;
class SaveAsDialog;
class MessageBoxes;
class SerialComm;
class Clock;
class ToneOutput;
class ResponsesWindow;

class MainWindow : public QMainWindow, public WindowHost, public Dialogs {
    Q_OBJECT
  public:
    MainWindow(SerialComm& comm, Clock& clock, MessageBoxes& boxes, const QString& programFolder,
               std::function<QString(int)> deviceName, QWidget* parent = nullptr);
    ~MainWindow() override;

    Monitor& monitor() { return *monitor_; }
    ToneOutput& tone() { return *tone_; }
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
    QAction* addItem(QMenu* menu, const char* name, const std::function<void()>& handler);
    QMenu* addMenu(const char* name, MenuItem item);
    void buildMenus();
    void buildPanels();
    void buildEntryFrames();
    // Runs one user action; closes the window when the action asked for exit.
    void act(const std::function<void()>& action);
    int px(double twips) const;
    QRect pxRect(const TwipsRect& r) const;
    // The parts whose widgets must be updated, and the updating itself.
    enum : unsigned {
        kMenus = 1,
        kLayout = 2,
        kPicture = 4,
        kGraphLabels = 8,
        kIndicators = 16,
        kReadings = 32,
        kSession = 64,
        kParameters = 128,
        kPorts = 256,
        kComments = 512,
        kOverlay = 1024, // the markers over the picture
    };
    void markChanged(unsigned part);
    void showChanged();
    // Each shows one part's state on its widgets.
    void showMenus();
    void showLayout();
    void showGraphLabels();
    void showIndicators();
    void showReadings();
    void showSession();
    void showParameterStrip();
    void showParameters();
    void showPorts();
    void showPortStatus();
    void showComments();
    void placeGraphNotice();
    void showLegend();
    // Keyboard and screen reader: F10, the shortcuts, the Tab chain.
    void buildKeyboard();
    void openFirstMenu();
    // Shows or hides an entry frame; an opened frame takes the focus (to `first`), a closed one gives it
    // back to where it was.
    void showBox(QWidget* box, bool shown, QWidget* first);
    void restoreFocus();
    // Gives the keyboard back to `from` when an action left it on the menu bar or nowhere.
    void returnFocus(QWidget* from);
    // The port option that Tab reaches and a freshly scanned chooser focuses: the chosen port when it
    // can be used, else the first usable one; null when none can be used.
    PortOption* focusOption() const;
    void stepPortOption(int from, int key);
    // Tells assistive technology the live values (readings, lamps, bar, clock, graph), at most about
    // once a second; liveChanged() is called whenever one of them may have changed.
    void liveChanged();
    void publishLive();
    // The graph's description: the readings now, then what the graph shows.
    QString graphText() const;
    // Session > "Add marker", F9 or M on the graph: sets the marker and opens its prompt beside its line.
    void addMarker();
    // Display > "Responses...": the Responses window, beside this one.
    void showResponses();

    Clock& clock_;
    std::unique_ptr<Monitor> monitor_;
    std::unique_ptr<ToneOutput> tone_; // listens to the monitor: goes before it
    QTimer timer_;
    bool closing_ = false;

    std::vector<std::pair<QAction*, MenuItem>> items_;
    std::vector<std::pair<QMenu*, MenuItem>> menus_;

    QWidget* client_ = nullptr;
    QFrame *frmPixGraf_ = nullptr, *frameSesshnStuff_ = nullptr, *fraSeshnComnts_ = nullptr;
    QFrame* frameParams_ = nullptr;
    IndicatorFrame *frameLEDdisp_ = nullptr, *frameBarGraf_ = nullptr;
    GraphView* pixXYgraf_ = nullptr;
    MarkerPrompt* markerPrompt_ = nullptr;
    std::array<ModelLabel*, 10> lbl4Graf_{};
    ModelLabel* lblGrafError_ = nullptr;
    std::array<ModelLabel*, 8> lblLED_{};
    std::array<ModelLabel*, 32> lblBarGraf_{};
    std::array<ModelLabel*, 10> lblShnStf_{};
    ModelLabel* lblSysADCstart_ = nullptr;
    QPlainTextEdit* txtSeshnComnts_ = nullptr;
    std::array<ModelLabel*, 7> lblParams_{};

    EntryFrame *fraAdjSens_ = nullptr, *fraSelctPort_ = nullptr, *fraSetStuff_ = nullptr;
    QSlider* slider1_ = nullptr;
    ModelLabel* lblSenseValu_ = nullptr;
    std::array<PortOption*, 16> optPortNum_{};
    QPushButton* command2_ = nullptr;
    QLabel* lblPortStatus_ = nullptr;
    QLineEdit* txtSS_ = nullptr;
    LegendOverlay* legend_ = nullptr;
    FocusRing* focusRing_ = nullptr;

    QPointer<ResponsesWindow> responses_; // made when first asked for
    QPointer<SaveAsDialog> saveAs_;       // the save-as box while it is open
    QString saveAsTyped_;                 // what its name box held when it last closed
    bool syncing_ = false;
    LiveThrottle live_;
    // The graph's description, repeated by a screen reader while the graph has the focus, changes at
    // most this often (R on the graph says it at once).
    static constexpr int64_t kGraphPaceMs = 10000;
    LiveThrottle graphPace_{kGraphPaceMs};
    bool sessionSeen_ = false;      // a session has run since start-up
    QPointer<QWidget> focusBefore_; // where the focus was when an entry frame took it
    QPointer<QWidget> lastFocus_;   // the control the keyboard was last on, menus aside
    unsigned dialogFocus_ = 0;      // counts the keyboard going to a dialog or message box
    bool portScanShown_ = false;    // the chooser showed a running scan at its last update
    unsigned changed_ = 0;
    bool showPosted_ = false;
};

} // namespace aurivo
