#pragma once
// The main window frmAurivo: menus, the six display panels, the three entry frames and the 200 ms
// timer. It forwards every user action to the monitor and then mirrors the monitor's control records
// onto its widgets; it computes nothing itself. It is also the monitor's window host and dialog opener.

#include "app/Dialogs.h"
#include "app/Monitor.h"
#include "app/WindowHost.h"

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>

class QAction;
class QMenu;
class QFrame;
class QGroupBox;
class QPlainTextEdit;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class ModelLabel;
class GraphView;
class SaveAsDialog;
class MessageBoxes;
class SerialComm;
class Clock;

class MainWindow : public QMainWindow, public WindowHost, public Dialogs {
    Q_OBJECT
public:
    MainWindow(SerialComm& comm, Clock& clock, MessageBoxes& boxes, const QString& programFolder,
               std::function<QString(int)> deviceName, QWidget* parent = nullptr);
    ~MainWindow() override;

    Monitor& Logic() { return *monitor_; }
    // Runs start-up (the settings, the port chooser when there is no settings file) and starts the tick.
    void Start();
    // Mirrors the monitor's control records onto the widgets.
    void Sync();
    QTimer& Timer1() { return timer_; }

    // WindowHost
    double ScreenWidthTwips() const override;
    double ScreenHeightTwips() const override;
    TwipsRect WindowGeometry() const override;
    WindowState State() const override;
    void SetWindowWidth(double twips) override;
    void SetWindowHeight(double twips) override;
    void SetWindowLeft(double twips) override;
    void SetWindowTop(double twips) override;
    void ProcessEvents() override;
    double TwipsPerPixel() const override;

    // Dialogs
    void ShowSaveAs() override;
    void ShowFileManager(FileManager& manager) override;
    void ShowAbout() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QAction* AddItem(QMenu* menu, const char* name, const std::function<void()>& handler);
    QMenu* AddMenu(const char* name, const QString& caption);
    void BuildMenus();
    void BuildPanels();
    void BuildEntryFrames();
    // Runs one user action and mirrors the result; closes the window when the action asked for exit.
    void Act(const std::function<void()>& action);
    int Px(double twips) const;
    QRect PxRect(const TwipsRect& r) const;

    std::unique_ptr<Monitor> monitor_;
    QTimer timer_;
    bool closing_ = false;

    std::vector<std::pair<QAction*, MenuItemModel*>> items_;
    std::vector<std::pair<QMenu*, MenuItemModel*>> menus_;

    QWidget* client_ = nullptr;
    QFrame *frmPixGraf_ = nullptr, *frameLEDdisp_ = nullptr, *frameBarGraf_ = nullptr;
    QFrame *frameSesshnStuff_ = nullptr, *fraSeshnComnts_ = nullptr, *FrameParams_ = nullptr;
    GraphView* pixXYgraf_ = nullptr;
    std::array<ModelLabel*, 10> lbl4Graf_{};
    ModelLabel* lblGrafError_ = nullptr;
    std::array<ModelLabel*, 8> lblLED_{};
    std::array<ModelLabel*, 32> lblBarGraf_{};
    std::array<ModelLabel*, 10> LblShnStf_{};
    ModelLabel* lblSysADCstart_ = nullptr;
    QPlainTextEdit* TxtSeshnComnts_ = nullptr;
    std::array<ModelLabel*, 7> LblParams_{};

    QGroupBox *fraAdjSens_ = nullptr, *fraSelctPort_ = nullptr, *fraSetStuff_ = nullptr;
    QSlider* Slider1_ = nullptr;
    ModelLabel* lblSenseValu_ = nullptr;
    std::array<QRadioButton*, 16> optPortNum_{};
    QPushButton* Command2_ = nullptr;
    QLineEdit* txtSS_ = nullptr;

    std::unique_ptr<SaveAsDialog> saveAs_;
    bool syncing_ = false;
};
