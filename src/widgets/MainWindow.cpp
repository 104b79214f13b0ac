#include "widgets/MainWindow.h"

#include "app/QtAudioSink.h"
#include "app/ToneOutput.h"
#include "core/Clock.h"
#include "core/Colors.h"
#include "core/EventWait.h"
#include "core/MessageBoxes.h"
#include "export/ExportJob.h"
#include "files/FileManager.h"
#include "layout/AccessibleTexts.h"
#include "layout/MenuAccessKeys.h"
#include "recording/ReplayLegend.h"
#include "widgets/AboutBox.h"
#include "widgets/AccessibleControls.h"
#include "widgets/EntryFrame.h"
#include "widgets/ExportDialog.h"
#include "widgets/ExportProgressDialog.h"
#include "widgets/FileManagerDialog.h"
#include "widgets/FocusRing.h"
#include "widgets/GraphView.h"
#include "widgets/IndicatorFrame.h"
#include "widgets/LabLinkDialog.h"
#include "widgets/LegendOverlay.h"
#include "widgets/MarkerPrompt.h"
#include "widgets/ModelLabel.h"
#include "widgets/PanelFrame.h"
#include "widgets/PortOption.h"
#include "widgets/ResponsesWindow.h"
#include "widgets/SaveAsDialog.h"
#include "widgets/TextFit.h"
#include "widgets/ToneMenu.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QToolTip>
#include <utility>

namespace aurivo {

namespace {

// The window's own icon: a small probe trace on a dark face, drawn at 32 and 16 pixels.
QIcon makeIcon() {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pm(size, size);
        pm.fill(QColor(20, 30, 60));
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(255, 255, 255), size / 12.0 + 1));
        const double s = size;
        QPolygonF trace{{0.08 * s, 0.55 * s}, {0.3 * s, 0.55 * s},  {0.42 * s, 0.25 * s},
                        {0.55 * s, 0.75 * s}, {0.68 * s, 0.45 * s}, {0.92 * s, 0.45 * s}};
        p.drawPolyline(trace);
        icon.addPixmap(pm);
    }
    return icon;
}

int modifierState(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
           (m & Qt::AltModifier ? 4 : 0);
}

void showFont(QWidget* w, const FontSpec& wanted) {
    if (wanted.name.isEmpty() || wanted.size <= 0) return;
    QFont f = w->font();
    if (f.family() == wanted.name && f.pointSizeF() == wanted.size && f.bold() == wanted.bold) return;
    f.setFamily(wanted.name);
    f.setPointSizeF(wanted.size);
    f.setBold(wanted.bold);
    w->setFont(f);
}

QString toWidgetText(const QString& modelText) {
    QString t = modelText;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

QString toModelText(const QString& widgetText) {
    QString t = widgetText;
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return t;
}

// Forwards a mouse press on a frame or text box (a click on the panel) to a handler.
class PressFilter : public QObject {
  public:
    PressFilter(QObject* parent, std::function<void()> onPress)
        : QObject(parent), onPress_(std::move(onPress)) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::MouseButtonPress) onPress_();
        return false;
    }

  private:
    std::function<void()> onPress_;
};

// Ctrl+Tab in the comment box types a tab; Tab and Shift+Tab move the focus on, as everywhere else.
class TabTyper : public QObject {
  public:
    explicit TabTyper(QPlainTextEdit* box) : QObject(box), box_(box) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() != Qt::Key_Tab || key->modifiers() != Qt::ControlModifier) return false;
        if (!box_->isReadOnly()) box_->insertPlainText(QStringLiteral("\t"));
        return true;
    }

  private:
    QPlainTextEdit* box_;
};

void setName(QWidget* w, const QString& name) {
    if (w->accessibleName() != name) w->setAccessibleName(name);
}

void showGeometry(QWidget* w, const QRect& r) {
    if (w->geometry() != r) w->setGeometry(r);
}

void showVisible(QWidget* w, bool visible) {
    if (w->isVisibleTo(w->parentWidget()) != visible) w->setVisible(visible);
}

void showLabel(ModelLabel* w, const LabelModel& l) {
    if (w->text() != l.caption) w->setText(l.caption);
    w->setBackColor(l.backColor);
    w->setForeColor(l.foreColor);
    if (w->toolTip() != l.toolTip) w->setToolTip(l.toolTip);
    showVisible(w, l.visible);
}

LabelModel label(const QString& caption, uint32_t backColor = colors::kButtonFace) {
    LabelModel l;
    l.caption = caption;
    l.backColor = backColor;
    return l;
}

// An entry frame's design rectangle, wider when its caption needs more room in the font in use.
QRect widenedToTitle(QRect design, const QGroupBox* box) {
    design.setWidth(std::max(design.width(), TextFit::groupBoxWidth(box)));
    return design;
}

// The design of the entry frames, in twips.
constexpr TwipsRect kSensitivityFrame{480, 840, 3975, 1695};
constexpr TwipsRect kEntryFrame{1680, 0, 3015, 735};

// The menus in menu-bar order with their object names.
struct MenuName {
    const char* name;
    MenuItem item;
};
constexpr MenuName kMenuBar[] = {{"mnuFile", MenuItem::File},
                                 {"mnuSession", MenuItem::Session},
                                 {"mnuDisplay", MenuItem::Display},
                                 {"mnuSerlPort", MenuItem::SerialPort},
                                 {"mnuHelp", MenuItem::Help}};

} // namespace

MainWindow::MainWindow(SerialComm& comm, Clock& clock, MessageBoxes& boxes, const QString& programFolder,
                       std::function<QString(int)> deviceName, QWidget* parent)
    : QMainWindow(parent), clock_(clock) {
    AccessibleControls::install();
    setObjectName(QStringLiteral("frmAurivo"));
    setWindowTitle(QStringLiteral("Aurivo USB Interface"));
    setWindowIcon(makeIcon());
    setAcceptDrops(true);
    monitor_ = std::make_unique<Monitor>(
        Monitor::Services{comm, clock, boxes, *this, *this, programFolder, std::move(deviceName)});
    tone_ = std::make_unique<ToneOutput>(*monitor_, boxes, std::make_unique<QtAudioSink>());
    client_ = new ClientArea(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    buildMenus();
    buildPanels();
    buildEntryFrames();
    buildKeyboard();
    focusRing_ = new FocusRing(this);
    focusRing_->showMenuBarSelection(menuBar());
    resize(px(9900), px(7140));
    timer_.setObjectName(QStringLiteral("Timer1"));
    timer_.setInterval(200);
    connect(&timer_, &QTimer::timeout, this, [this] {
        act([this] { monitor_->onTick(); });
        if (live_.due(clock_.steadyMilliseconds())) publishLive();
        if (graphPace_.due(clock_.steadyMilliseconds())) pixXYgraf_->setDescription(graphText());
    });

    // Every part tells the window when what it shows has changed; only those widgets are updated, once
    // per action (many packets of one tick change the readings panel many times).
    Monitor& m = *monitor_;
    m.menusChanged.subscribe([this] { markChanged(kMenus); });
    m.arranger().changed.subscribe([this] { markChanged(kLayout); });
    m.graph().pictureChanged.subscribe([this] { markChanged(kPicture); });
    m.research().overlayChanged.subscribe([this] { markChanged(kOverlay); });
    m.graph().labelsChanged.subscribe([this] { markChanged(kGraphLabels); });
    m.indicators().changed.subscribe([this] { markChanged(kIndicators); });
    m.readings().changed.subscribe([this] { markChanged(kReadings); });
    m.sessions().changed.subscribe([this] { markChanged(kSession); });
    m.parameters().changed.subscribe([this] { markChanged(kParameters); });
    m.ports().changed.subscribe([this] { markChanged(kPorts | kMenus); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        // The control the keyboard was last on in this window (not its menus), for the focus to go back
        // to when a dialog or box that was opened from there closes.
        if (now && now != menuBar() && isAncestorOf(now) && !qobject_cast<QMenu*>(now)) lastFocus_ = now;
        // The keyboard went to a dialog or message box of this window.
        if (now && qobject_cast<QDialog*>(now->window())) ++dialogFocus_;
        // The status line under the port chooser follows the focus from port to port.
        if (now && fraSelctPort_->isVisible() && fraSelctPort_->isAncestorOf(now)) showPortStatus();
    });
    m.comments().changed.subscribe([this] { markChanged(kComments); });
    for (ChangeSignal* source : {&m.responses().changed, &m.markers().changed}) {
        source->subscribe([this] {
            if (responses_ && responses_->isVisible()) responses_->refresh();
        });
    }

    // Everything as the parts start.
    lblGrafError_->setBackColor(colors::kRed);
    QFont noticeFont(QStringLiteral("MS Sans Serif"));
    noticeFont.setPointSizeF(8.25);
    noticeFont.setBold(true);
    lblGrafError_->setFont(noticeFont);
    showMenus();
    showLayout();
    showGraphLabels();
    showIndicators();
    showReadings();
    showSession();
    showParameters();
    showPorts();
    showComments();
    publishLive();
    live_ = LiveThrottle(); // the first change after start-up is told at once
    graphPace_ = LiveThrottle(kGraphPaceMs);
}

MainWindow::~MainWindow() = default;

void MainWindow::startUp() {
    timer_.start();
    act([this] {
        monitor_->startUp();
        tone_->startUp();
    });
}

void MainWindow::openSessionFiles(const QStringList& paths) {
    if (!paths.isEmpty()) act([this, paths] { monitor_->displaySessionFiles(paths); });
}

void MainWindow::act(const std::function<void()>& action) {
    if (closing_) return;
    const QPointer<QWidget> from = lastFocus_;
    const unsigned dialogsBefore = dialogFocus_;
    action();
    if (closing_) return;
    showChanged();
    if (dialogFocus_ != dialogsBefore) returnFocus(from);
    if (monitor_->exitRequested()) QTimer::singleShot(0, this, [this] { close(); });
}

void MainWindow::markChanged(unsigned part) {
    changed_ |= part;
    // A change made while a handler waits (a pause lets window events run) shows without waiting for
    // the handler to end.
    if (!showPosted_) {
        showPosted_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                showPosted_ = false;
                if (!closing_) showChanged();
            },
            Qt::QueuedConnection);
    }
}

void MainWindow::showChanged() {
    while (changed_ != 0) {
        const unsigned parts = std::exchange(changed_, 0u);
        if (parts & kMenus) showMenus();
        if (parts & kLayout) showLayout();
        if (parts & kPicture) pixXYgraf_->refresh();
        if (parts & kOverlay) pixXYgraf_->refreshOverlay();
        if (parts & kGraphLabels) showGraphLabels();
        if (parts & kIndicators) showIndicators();
        if (parts & kReadings) showReadings();
        if (parts & kSession) showSession();
        if (parts & kParameters) showParameters();
        if (parts & kPorts) showPorts();
        if (parts & kComments) showComments();
    }
}

int MainWindow::px(double twips) const {
    return toPixels(twips, twipsPerPixel());
}

QRect MainWindow::pxRect(const TwipsRect& r) const {
    return toPixelRect(r, twipsPerPixel());
}

QMenu* MainWindow::addMenu(const char* name, MenuItem item) {
    QMenu* menu = menuBar()->addMenu(MenuAccessKeys::marked(monitor_->menuItem(item).caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    menus_.push_back({menu, item});
    return menu;
}

QAction* MainWindow::addItem(QMenu* menu, const char* name, const std::function<void()>& handler) {
    QAction* action = menu->addAction(QString());
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, handler] { act(handler); });
    return action;
}

void MainWindow::buildMenus() {
    Monitor* m = monitor_.get();
    std::array<QMenu*, 5> bar{};
    for (size_t i = 0; i < 5; ++i)
        bar[i] = addMenu(kMenuBar[i].name, kMenuBar[i].item);
    QMenu *file = bar[0], *session = bar[1], *display = bar[2], *serial = bar[3], *help = bar[4];

    auto add = [&](QMenu* menu, const char* name, MenuItem item, std::function<void()> handler) {
        QAction* a = addItem(menu, name, handler);
        items_.push_back({a, item});
        return a;
    };
    add(file, "mnuSaveFile", MenuItem::SaveFile, [m] { m->saveSessionOrResume(); });
    add(file, "mnuDisplayOld", MenuItem::DisplayOld, [m] { m->displaySavedSessions(); });
    add(file, "mnuExport", MenuItem::Export, [m] { m->research().exportSession(); });
    add(file, "mnuCancel", MenuItem::Cancel, [m] { m->requestCancel(); });
    file->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    QAction* exit = add(file, "mnuExit", MenuItem::Exit, [m] { m->exitProgram(); });
    // Ctrl+F4 as designed; Ctrl+Q as on every other program of the desktop.
    exit->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::Key_Q)});

    // A marker name typed but not yet confirmed is kept before the session stops or starts again.
    add(session, "mnuRestart", MenuItem::Restart, [this, m] {
        markerPrompt_->commit();
        m->sessions().restartSession();
    });
    add(session, "mnuStart", MenuItem::Start, [m] {
        m->sessions().startSession();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    add(session, "mnuStartAs", MenuItem::StartAs, [m] { m->sessions().startSessionAs(); });
    add(session, "mnuStop", MenuItem::Stop, [this, m] {
        markerPrompt_->commit();
        m->sessions().stopSession();
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period));
    add(session, "mnuAddMarker", MenuItem::AddMarker, [this] { addMarker(); })->setShortcut(Qt::Key_F9);
    session->addSeparator()->setObjectName(QStringLiteral("mnuSep2"));
    add(session, "mnuSetSense", MenuItem::SetSense, [m] { m->parameters().openSensitivityBox(); });
    add(session, "mnuSetFSize", MenuItem::SetFSize, [m] { m->parameters().openFilterSizeBox(); });
    add(session, "mnuSetSSF", MenuItem::SetSSF, [m] { m->parameters().openJitterBox(); });
    new ToneMenu(session, *tone_, this);

    for (QAction* a :
         {add(display, "mnuPixGraf", MenuItem::PixGraf, [m] { m->views().togglePictureGraph(); }),
          add(display, "mnuBarGrf", MenuItem::BarGrf, [m] { m->views().toggleColorBar(); }),
          add(display, "mnuSmlGraf", MenuItem::SmlGraf, [m] { m->views().toggleBarGraph(); }),
          add(display, "mnuInternStatus", MenuItem::InternStatus, [m] { m->views().toggleInternalStatus(); }),
          add(display, "mnuComments", MenuItem::Comments, [m] { m->views().toggleComments(); }),
          add(display, "mnuTimnStuf", MenuItem::TimnStuf, [m] { m->views().toggleTimeEtc(); }),
          add(display, "mnuShowInput", MenuItem::ShowInput, [m] { m->toggleShowInput(); }),
          add(display, "mnuResponseTicks", MenuItem::ResponseTicks, [m] { m->toggleResponseTicks(); })})
        a->setCheckable(true);
    add(display, "mnuResponses", MenuItem::Responses, [this] { showResponses(); });

    add(serial, "mnuSetComPort", MenuItem::SetComPort, [m] { m->ports().scanPorts(); });
    addItem(serial, "mnuLabLink", [this, m] {
        LabLinkDialog dialog(m->labLink(), m->programFolder(), this);
        dialog.exec();
    })->setText(QStringLiteral("&Lab link..."));
    add(help, "mnuAboutHelp", MenuItem::AboutHelp, [m] { m->showAbout(); });
}

void MainWindow::buildPanels() {
    Monitor* m = monitor_.get();
    auto frame = [&](const char* name) {
        auto* f = new PanelFrame(client_);
        f->setObjectName(QString::fromLatin1(name));
        f->setFrameShape(QFrame::StyledPanel);
        f->hide();
        f->installEventFilter(new PressFilter(f, [this, m] { act([m] { m->clickPanel(); }); }));
        return f;
    };
    auto indicator = [&](const char* name, int units) {
        auto* f = new IndicatorFrame(units, client_);
        f->setObjectName(QString::fromLatin1(name));
        f->setFrameShape(QFrame::StyledPanel);
        f->hide();
        f->installEventFilter(new PressFilter(f, [this, m] { act([m] { m->clickPanel(); }); }));
        return f;
    };
    frmPixGraf_ = frame("frmPixGraf");
    frameLEDdisp_ = indicator("frameLEDdisp", 8);
    frameBarGraf_ = indicator("frameBarGraf", 32);
    frameSesshnStuff_ = frame("frameSesshnStuff");
    fraSeshnComnts_ = frame("fraSeshnComnts");
    frameParams_ = frame("FrameParams");
    // What a screen reader calls the panels; the lamp row and the bar are named by their level.
    frmPixGraf_->setAccessibleName(QStringLiteral("Picture graph"));
    frameLEDdisp_->setAccessibleDescription(QStringLiteral("Color bar graph: 8 lamps"));
    frameBarGraf_->setAccessibleDescription(QStringLiteral("Bar graph: 32 bars"));
    frameSesshnStuff_->setAccessibleName(QStringLiteral("Readings"));
    fraSeshnComnts_->setAccessibleName(QStringLiteral("Session comments"));
    frameParams_->setAccessibleName(QStringLiteral("Time, sensitivity and port"));

    auto label = [&](QWidget* parent, const QString& name, bool bordered, Qt::Alignment align,
                     std::function<void()> onClick) {
        auto* l = new ModelLabel(parent);
        l->setObjectName(name);
        l->setBordered(bordered);
        l->setAlignment(align);
        connect(l, &ModelLabel::clicked, this, [this, onClick] { act(onClick); });
        return l;
    };
    auto hide = [m] { m->clickPanel(); };

    pixXYgraf_ = new GraphView(m->graph().picture(), frmPixGraf_);
    pixXYgraf_->setObjectName(QStringLiteral("pixXYgraf"));
    pixXYgraf_->setAccessibleName(QStringLiteral("Resistance graph"));
    connect(pixXYgraf_, &QAbstractButton::clicked, this, [this, m] { act([m] { m->clickGraph(); }); });
    for (int i = 0; i < 10; ++i) {
        const Qt::Alignment align = i == 7               ? Qt::AlignCenter
                                    : (i == 8 || i == 9) ? (Qt::AlignRight | Qt::AlignVCenter)
                                                         : (Qt::AlignLeft | Qt::AlignVCenter);
        lbl4Graf_[i] = label(frmPixGraf_, QStringLiteral("lbl4Graf_%1").arg(i), false, align, hide);
    }
    lblGrafError_ = label(frmPixGraf_, QStringLiteral("lblGrafError"), false, Qt::AlignCenter, hide);
    ResearchTools& research = m->research();
    pixXYgraf_->setOverlay(GraphView::Overlay{
        [&research](int firstColumn, int lastColumn) {
            return research.markerLines(firstColumn, lastColumn);
        },
        [&research](int column, std::optional<int> y) { return research.readoutAt(column, y); },
        [&research] { return research.lastColumn(); }, [m] { return int(m->graph().state().yCompress); },
        [&research](int firstColumn, int lastColumn) {
            return research.responseTicks(firstColumn, lastColumn);
        }});
    connect(pixXYgraf_, &GraphView::addMarkerRequested, this, [this] { act([this] { addMarker(); }); });
    connect(pixXYgraf_, &GraphView::readingsRequested, this, [this] { pixXYgraf_->announce(graphText()); });
    markerPrompt_ = new MarkerPrompt(frmPixGraf_);
    connect(markerPrompt_, &MarkerPrompt::renamed, this, [this, m](int index, const QString& label) {
        act([m, index, label] { m->research().renameMarker(size_t(index), label); });
    });
    for (int i = 0; i < 8; ++i)
        lblLED_[i] = label(frameLEDdisp_, QStringLiteral("lblLED_%1").arg(i), true, Qt::AlignCenter, hide);
    for (int i = 0; i < 32; ++i)
        lblBarGraf_[i] =
            label(frameBarGraf_, QStringLiteral("lblBarGraf_%1").arg(i), true, Qt::AlignCenter, hide);
    for (int i = 0; i < 10; ++i)
        lblShnStf_[i] = label(frameSesshnStuff_, QStringLiteral("LblShnStf_%1").arg(i), i % 2 == 1,
                              Qt::AlignCenter, hide);
    lblSysADCstart_ = label(frameSesshnStuff_, QStringLiteral("lblSysADCstart"), true, Qt::AlignCenter, hide);
    for (int i = 1; i < 10; i += 2)
        lblShnStf_[i]->setHeading(lblShnStf_[i - 1]);
    legend_ = new LegendOverlay(frmPixGraf_);

    txtSeshnComnts_ = new QPlainTextEdit(fraSeshnComnts_);
    txtSeshnComnts_->setObjectName(QStringLiteral("TxtSeshnComnts"));
    txtSeshnComnts_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtSeshnComnts_->setAccessibleName(QStringLiteral("Session comments"));
    txtSeshnComnts_->setTabChangesFocus(true);
    txtSeshnComnts_->installEventFilter(new TabTyper(txtSeshnComnts_));
    connect(txtSeshnComnts_, &QPlainTextEdit::textChanged, this, [this] {
        if (syncing_) return;
        monitor_->comments().setText(toModelText(txtSeshnComnts_->toPlainText()));
    });
    txtSeshnComnts_->viewport()->installEventFilter(
        new PressFilter(txtSeshnComnts_, [this, m] { act([m] { m->clickPanel(); }); }));

    for (int i = 0; i < 7; ++i) {
        lblParams_[i] = label(frameParams_, QStringLiteral("LblParams_%1").arg(i), i == 1 || i == 3 || i == 5,
                              Qt::AlignCenter, [m, i] { m->clickParameterLabel(i); });
    }
    // The sensitivity and port number cells act on a click; the other labels only show.
    lblParams_[3]->setAction(true);
    lblParams_[5]->setAction(true);
    for (int i = 1; i < 6; i += 2)
        lblParams_[i]->setHeading(lblParams_[i - 1]);
}

void MainWindow::buildEntryFrames() {
    Monitor* m = monitor_.get();
    auto group = [&](const char* name, std::function<void()> accept, std::function<void()> cancel) {
        auto* g = new EntryFrame(client_);
        g->setObjectName(QString::fromLatin1(name));
        g->setAccept([this, accept] { act(accept); });
        g->setCancel([this, cancel] { act(cancel); });
        g->hide();
        return g;
    };
    auto button = [&](QWidget* parent, const char* name, const QString& caption,
                      std::function<void()> onClick) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, [this, onClick] { act(onClick); });
        return b;
    };

    fraAdjSens_ = group(
        "fraAdjSens", [m] { m->parameters().acceptSensitivity(); },
        [m] { m->parameters().cancelSensitivity(); });
    slider1_ = new QSlider(Qt::Horizontal, fraAdjSens_);
    slider1_->setObjectName(QStringLiteral("Slider1"));
    slider1_->setAccessibleName(QStringLiteral("Sensitivity"));
    const SliderModel& slider = m->parameters().slider();
    slider1_->setRange(slider.min, slider.max);
    slider1_->setToolTip(QStringLiteral("Adjust Sensitivty"));
    slider1_->setTickPosition(QSlider::TicksBelow);
    slider1_->setTickInterval(50);
    slider1_->setGeometry(pxRect({120, 360, 3660, 555}));
    connect(slider1_, &QSlider::valueChanged, this, [this, m](int v) {
        if (syncing_) return;
        act([m, v] { m->parameters().moveSlider(v); });
    });
    // The modifier keys held when a key or mouse button goes down choose the slider's step sizes
    // before the slider acts on that press.
    class StepFilter : public QObject {
      public:
        StepFilter(Monitor* m, QSlider* slider) : QObject(slider), m_(m), slider_(slider) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::KeyPress) {
                const int state = modifierState(static_cast<QKeyEvent*>(e)->modifiers());
                m_->parameters().onSliderKeyDown(state);
            } else if (e->type() == QEvent::MouseButtonPress) {
                m_->parameters().onSliderMouseDown(modifierState(QApplication::keyboardModifiers()));
            } else {
                return false;
            }
            slider_->setSingleStep(m_->parameters().slider().smallChange);
            slider_->setPageStep(m_->parameters().slider().largeChange);
            return false;
        }

      private:
        Monitor* m_;
        QSlider* slider_;
    };
    slider1_->installEventFilter(new StepFilter(m, slider1_));
    lblSenseValu_ = new ModelLabel(fraAdjSens_);
    lblSenseValu_->setObjectName(QStringLiteral("lblSenseValu"));
    lblSenseValu_->setAlignment(Qt::AlignCenter);
    lblSenseValu_->setGeometry(pxRect({1680, 1215, 585, 210}));
    QPushButton* ok =
        button(fraAdjSens_, "cmdOkay", QStringLiteral("OK"), [m] { m->parameters().acceptSensitivity(); });
    ok->setToolTip(QStringLiteral("Accept displayed setting"));
    ok->setGeometry(pxRect({570, 1215, 795, 360}));
    QPushButton* cancel = button(fraAdjSens_, "cmdCancel", QStringLiteral("Cancel"),
                                 [m] { m->parameters().cancelSensitivity(); });
    cancel->setToolTip(QStringLiteral("Restore previous sensitivty "));
    cancel->setGeometry(pxRect({2370, 1215, 795, 360}));

    // Enter on "Okay" and Escape close the chooser without a choice; Enter on a port chooses it.
    const auto closeChooser = [m] { m->ports().closeChooser(); };
    fraSelctPort_ = group("fraSelctPort", closeChooser, closeChooser);
    fraSelctPort_->setKeepsFocus(true);
    for (int i = 0; i < 16; ++i) {
        const OptionButtonModel& design = m->ports().options()[size_t(i)];
        auto* opt = new PortOption(design.caption, fraSelctPort_);
        opt->setObjectName(QStringLiteral("optPortNum_%1").arg(i));
        opt->setAutoFillBackground(true);
        opt->setGeometry(pxRect(design.rect));
        connect(opt, &PortOption::chosen, this, [this, m, i] { act([m, i] { m->ports().choosePort(i); }); });
        connect(opt, &PortOption::arrowPressed, this, [this, i](int key) { stepPortOption(i, key); });
        optPortNum_[i] = opt;
    }
    command2_ = button(fraSelctPort_, "Command2", QStringLiteral("Okay"), closeChooser);
    command2_->setGeometry(pxRect({1440, 1560, 1305, 285}));
    // Why ports cannot be used, in words, under the chooser.
    lblPortStatus_ = new QLabel(client_);
    lblPortStatus_->setObjectName(QStringLiteral("lblPortStatus"));
    lblPortStatus_->setWordWrap(true);
    lblPortStatus_->setAutoFillBackground(true);
    lblPortStatus_->setFrameShape(QFrame::Box);
    lblPortStatus_->setMargin(2);
    lblPortStatus_->hide();

    fraSetStuff_ = group(
        "fraSetStuff",
        [this, m] {
            m->parameters().setEntryText(txtSS_->text());
            m->parameters().acceptEntry();
        },
        [m] { m->parameters().cancelEntry(); });
    txtSS_ = new QLineEdit(fraSetStuff_);
    txtSS_->setObjectName(QStringLiteral("txtSS"));
    txtSS_->setAlignment(Qt::AlignCenter);
    txtSS_->setGeometry(pxRect({240, 360, 495, 285}));
    // Typed, pasted or set by assistive technology: every change of the text reaches the box.
    connect(txtSS_, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!syncing_) monitor_->parameters().setEntryText(t);
    });
    // "Okay" takes the text as it stands, whatever way it got there.
    QPushButton* ss = button(fraSetStuff_, "cmdSS", QStringLiteral("Okay"), [this, m] {
        m->parameters().setEntryText(txtSS_->text());
        m->parameters().acceptEntry();
    });
    ss->setGeometry(pxRect({1080, 360, 615, 255}));
    QPushButton* can =
        button(fraSetStuff_, "cmdCan", QStringLiteral("Cancel"), [m] { m->parameters().cancelEntry(); });
    can->setGeometry(pxRect({2040, 360, 735, 255}));
}

void MainWindow::showMenus() {
    // A hidden menu (the replay hides three) is taken off the bar, so that screen readers do not meet it.
    QList<QAction*> bar;
    for (auto& [menu, item] : menus_) {
        const MenuItemModel model = monitor_->menuItem(item);
        const QString title = MenuAccessKeys::marked(model.caption);
        if (menu->title() != title) menu->setTitle(title);
        menu->menuAction()->setVisible(model.visible);
        menu->menuAction()->setEnabled(model.enabled);
        if (model.visible) bar.append(menu->menuAction());
    }
    if (menuBar()->actions() != bar) {
        for (QAction* a : menuBar()->actions())
            menuBar()->removeAction(a);
        menuBar()->addActions(bar);
    }
    // During a replay a click on the graph chooses other sessions; only then is it a thing to press. A
    // replay beginning or ending changes what the graph shows: its description follows at once, and so
    // does the next change (the replay's drawing).
    if (pixXYgraf_->pressable() != monitor_->replayShown()) {
        pixXYgraf_->setPressable(monitor_->replayShown());
        pixXYgraf_->setDescription(graphText());
        graphPace_ = LiveThrottle(kGraphPaceMs);
    }
    // While the port chooser waits for a choice no session starts behind it (the port is not chosen yet).
    const bool choosing = monitor_->ports().frameShown();
    for (auto& [action, item] : items_) {
        const MenuItemModel model = monitor_->menuItem(item);
        const QString text = MenuAccessKeys::marked(model.caption);
        if (action->text() != text) action->setText(text);
        const bool starts = item == MenuItem::Start || item == MenuItem::StartAs;
        action->setEnabled(model.enabled && !(choosing && starts));
        if (action->isCheckable()) action->setChecked(model.checked);
        action->setVisible(model.visible);
    }
    showLegend();
}

void MainWindow::showLayout() {
    const LayoutGeometry& g = monitor_->arranger().geometry();
    // Stacking follows creation: the entry frames, made after the panels, always lie over them.
    QFrame* frames[6] = {frmPixGraf_,       frameLEDdisp_,   frameBarGraf_,
                         frameSesshnStuff_, fraSeshnComnts_, frameParams_};
    for (size_t i = 0; i < 6; ++i) {
        const FrameModel& f = g.frames[i];
        if (f.rect.width > 0 || f.rect.height > 0) showGeometry(frames[i], pxRect(f.rect));
        showVisible(frames[i], f.visible);
    }
    // A control with no rectangle yet keeps its place; a font without a name keeps the design font.
    const auto place = [this](QWidget* w, const TwipsRect& rect) {
        if (rect.width > 0 || rect.height > 0) showGeometry(w, pxRect(rect));
    };
    showGeometry(pixXYgraf_, pxRect(g.graph));
    for (size_t i = 0; i < 10; ++i) {
        place(lbl4Graf_[i], g.axisLabels[i].rect);
        showFont(lbl4Graf_[i], g.axisLabels[i].font);
    }
    for (size_t i = 0; i < 8; ++i)
        place(lblLED_[i], g.lamps[i]);
    for (size_t i = 0; i < 32; ++i)
        place(lblBarGraf_[i], g.bar[i]);
    for (size_t i = 0; i < 10; ++i) {
        place(lblShnStf_[i], g.readings[i].rect);
        showFont(lblShnStf_[i], g.readings[i].font);
    }
    for (size_t i = 0; i < 7; ++i) {
        place(lblParams_[i], g.params[i].rect);
        showFont(lblParams_[i], g.params[i].font);
    }
    lblParams_[6]->raise();
    showFont(txtSeshnComnts_, g.comments.font);
    if (g.comments.rect.width > 0) {
        // The box keeps its design place (120 twips in from the frame's corner); in a short frame (a
        // large scale factor shrinks the window in logical pixels) it ends at the frame's inner edge
        // instead of running under the strip below.
        QRect box = pxRect(g.comments.rect);
        const QRect inside = fraSeshnComnts_->contentsRect();
        box.setBottom(std::min(box.bottom(), inside.bottom()));
        box.setRight(std::min(box.right(), inside.right()));
        showGeometry(txtSeshnComnts_, box);
    }
    placeGraphNotice();
    showLegend();
}

void MainWindow::showLegend() {
    const bool replay = monitor_->replayShown();
    const std::vector<ReplayLegend::Entry> entries =
        replay ? ReplayLegend::entries(monitor_->fileManager().displayList())
               : std::vector<ReplayLegend::Entry>{};
    legend_->showEntries(entries, pixXYgraf_->geometry());
}

void MainWindow::placeGraphNotice() {
    const GraphNotice& notice = monitor_->graph().notice();
    if (!notice.visible) return;
    const QRect graphRect = pxRect(monitor_->arranger().geometry().graph);
    const QSize hint = lblGrafError_->fontMetrics().size(0, notice.caption) + QSize(8, 4);
    showGeometry(lblGrafError_, QRect(graphRect.topLeft() + QPoint(4, 4), hint));
    lblGrafError_->raise();
}

void MainWindow::showGraphLabels() {
    const GraphPlotter& graph = monitor_->graph();
    for (size_t i = 0; i < 10; ++i)
        showLabel(lbl4Graf_[i], label(graph.axisLabels()[i]));
    const GraphNotice& notice = graph.notice();
    LabelModel error = label(notice.caption, colors::kRed);
    error.visible = notice.visible;
    showLabel(lblGrafError_, error);
    placeGraphNotice();
    showLegend();
    liveChanged();
}

void MainWindow::showIndicators() {
    const Indicators& indicators = monitor_->indicators();
    for (size_t i = 0; i < 8; ++i)
        lblLED_[i]->setBackColor(indicators.lampColours()[i]);
    for (size_t i = 0; i < 32; ++i)
        lblBarGraf_[i]->setBackColor(indicators.barColours()[i]);
    liveChanged();
}

void MainWindow::showReadings() {
    const auto& labels = monitor_->readings().labels();
    for (size_t i = 0; i < 10; ++i)
        showLabel(lblShnStf_[i], labels[i]);
    liveChanged();
}

void MainWindow::showSession() {
    SessionControl& sessions = monitor_->sessions();
    showParameterStrip();
    LabelModel start = label(sessions.startText(), 0x00E0E0E0);
    start.visible = false;
    showLabel(lblSysADCstart_, start);
    liveChanged();
}

void MainWindow::showParameterStrip() {
    for (size_t i = 0; i < 7; ++i)
        showLabel(lblParams_[i], monitor_->parameterLabel(int(i)));
    // The sensitivity and the port number are told with their headings as soon as they change; the
    // clock is told with the other live values.
    for (size_t i : {3, 5})
        setName(lblParams_[i], AccessibleTexts::valueName(lblParams_[i - 1]->text(), lblParams_[i]->text()));
    // During a session the port cannot change: its greyed number is then text, not a button.
    const bool portAction = !monitor_->sessions().running();
    if (lblParams_[5]->isAction() != portAction) {
        if (!portAction && lblParams_[5]->hasFocus()) focusNextChild();
        lblParams_[5]->setAction(portAction);
        QAccessible::State changed;
        changed.focusable = true;
        QAccessibleStateChangeEvent event(lblParams_[5], changed);
        QAccessible::updateAccessibility(&event);
    }
}

void MainWindow::showParameters() {
    syncing_ = true;
    const ParameterBoxes& params = monitor_->parameters();
    showParameterStrip();

    if (fraAdjSens_->title() != QStringLiteral("Set Sensitivity"))
        fraAdjSens_->setTitle(QStringLiteral("Set Sensitivity"));
    showGeometry(fraAdjSens_, widenedToTitle(pxRect(kSensitivityFrame), fraAdjSens_));
    showBox(fraAdjSens_, params.sensitivityBoxShown(), slider1_);
    const SliderModel& slider = params.slider();
    if (slider1_->value() != slider.value) slider1_->setValue(slider.value);
    slider1_->setSingleStep(slider.smallChange);
    slider1_->setPageStep(slider.largeChange);
    showLabel(lblSenseValu_, label(params.sliderValueText()));

    if (fraSetStuff_->title() != params.entryCaption()) fraSetStuff_->setTitle(params.entryCaption());
    showGeometry(fraSetStuff_, widenedToTitle(pxRect(kEntryFrame), fraSetStuff_));
    setName(txtSS_, params.entryCaption());
    if (txtSS_->text() != params.entryText()) txtSS_->setText(params.entryText());
    const bool opening = params.entryBoxShown() && !fraSetStuff_->isVisibleTo(client_);
    showBox(fraSetStuff_, params.entryBoxShown(), txtSS_);
    if (opening) txtSS_->selectAll();
    syncing_ = false;
}

void MainWindow::showPorts() {
    const PortChooser& ports = monitor_->ports();
    showParameterStrip();

    if (fraSelctPort_->title() != ports.frameCaption()) fraSelctPort_->setTitle(ports.frameCaption());
    showGeometry(fraSelctPort_, widenedToTitle(pxRect(PortChooser::kFrameRect), fraSelctPort_));
    const QColor captionColour = colors::toQColor(ports.frameCaptionColour(), palette());
    const QString captionStyle =
        QStringLiteral("QGroupBox#fraSelctPort::title { color: %1; }").arg(captionColour.name());
    if (fraSelctPort_->styleSheet() != captionStyle) fraSelctPort_->setStyleSheet(captionStyle);
    for (size_t i = 0; i < 16; ++i) {
        QRadioButton* opt = optPortNum_[i];
        const OptionButtonModel& o = ports.options()[i];
        showVisible(opt, o.visible);
        opt->setEnabled(o.enabled);
        if (opt->isChecked() != o.value) opt->setChecked(o.value);
        if (opt->toolTip() != o.toolTip) opt->setToolTip(o.toolTip);
        const QString reason = ports.unusableReason(int(i));
        if (opt->accessibleDescription() != reason) opt->setAccessibleDescription(reason);
        // The frame carries a style sheet (its caption colour), so the buttons' colours are style sheets
        // too; the small font lets "COM16" fit the 900-twip width of its button. The caption of a port
        // that cannot be used stays readable on its pale colour.
        const QString back = QStringLiteral("QRadioButton { background-color: %1; font-size: 7pt; } "
                                            "QRadioButton:disabled { color: %2; }")
                                 .arg(colors::toQColor(o.backColor, palette()).name(),
                                      colors::toQColor(colors::kDisabledCaption).name());
        if (opt->styleSheet() != back) opt->setStyleSheet(back);
    }
    // Tab reaches the chooser's options as one stop: the chosen port, or the first usable one.
    PortOption* tabStop = focusOption();
    // A port that cannot be used takes no focus at all (and is not told as focusable).
    for (PortOption* opt : optPortNum_)
        opt->setFocusPolicy(opt == tabStop                    ? Qt::StrongFocus
                            : opt->isEnabledTo(fraSelctPort_) ? Qt::ClickFocus
                                                              : Qt::NoFocus);

    showPortStatus();

    // An opening chooser takes the focus to "Okay" while it scans, and to the port to choose once the
    // scan is done, unless the user has moved the focus elsewhere meanwhile.
    const bool scanning = ports.scanActive();
    const bool scanEnded = portScanShown_ && !scanning && ports.frameShown();
    portScanShown_ = scanning && ports.frameShown();
    showBox(fraSelctPort_, ports.frameShown(), tabStop ? static_cast<QWidget*>(tabStop) : command2_);
    if (scanEnded && tabStop) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus || focus == command2_ || !focus->isVisible()) tabStop->setFocus(Qt::OtherFocusReason);
    }
}

void MainWindow::showPortStatus() {
    // The port with the focus in words, its device or why it cannot be used, then every port that
    // cannot be used with the reason.
    const PortChooser& ports = monitor_->ports();
    QStringList lines;
    for (size_t i = 0; i < optPortNum_.size(); ++i)
        if (optPortNum_[i]->hasFocus() && !ports.scanActive()) lines << ports.portLine(int(i));
    if (!ports.statusText().isEmpty()) lines << ports.statusText();
    const QString status = lines.join(QLatin1Char('\n'));
    if (lblPortStatus_->text() != status) lblPortStatus_->setText(status);
    if (fraSelctPort_->accessibleDescription() != status) fraSelctPort_->setAccessibleDescription(status);
    const QRect frame = fraSelctPort_->geometry();
    lblPortStatus_->setGeometry(frame.left(), frame.bottom() + 1, frame.width(),
                                lblPortStatus_->heightForWidth(frame.width()));
    showVisible(lblPortStatus_, ports.frameShown() && !status.isEmpty());
    if (lblPortStatus_->isVisible()) lblPortStatus_->raise();
}

PortOption* MainWindow::focusOption() const {
    const PortChooser& ports = monitor_->ports();
    PortOption* first = nullptr;
    for (size_t i = 0; i < optPortNum_.size(); ++i) {
        const OptionButtonModel& o = ports.options()[i];
        if (!o.visible || !o.enabled) continue;
        if (o.value) return optPortNum_[i];
        if (!first) first = optPortNum_[i];
    }
    return first;
}

void MainWindow::stepPortOption(int from, int key) {
    // Up and Left go back, Down and Right forward, round the sixteen, to the next port that can be used;
    // Space or Enter then chooses it.
    const int step = (key == Qt::Key_Up || key == Qt::Key_Left) ? -1 : 1;
    const int count = int(optPortNum_.size());
    for (int k = 1; k < count; ++k) {
        PortOption* next = optPortNum_[size_t(((from + step * k) % count + count) % count)];
        if (!next->isEnabled() || !next->isVisibleTo(fraSelctPort_)) continue;
        next->setFocus(Qt::TabFocusReason);
        return;
    }
}

void MainWindow::showBox(QWidget* box, bool shown, QWidget* first) {
    if (box->isVisibleTo(client_) == shown) return;
    QWidget* focus = QApplication::focusWidget();
    const auto inABox = [this](QWidget* w) {
        return w && (fraAdjSens_->isAncestorOf(w) || fraSelctPort_->isAncestorOf(w) ||
                     fraSetStuff_->isAncestorOf(w));
    };
    if (shown) {
        // Opened from a menu, the box gives the keyboard back to the control it was on before the menu.
        if (!focus || focus == menuBar() || qobject_cast<QMenu*>(focus)) focus = lastFocus_;
        if (focus && !inABox(focus) && isAncestorOf(focus)) focusBefore_ = focus;
        box->show();
        box->raise();
        if (first) first->setFocus(Qt::OtherFocusReason);
        return;
    }
    const bool hadFocus = box->isAncestorOf(focus);
    box->hide();
    if (hadFocus) restoreFocus();
}

void MainWindow::returnFocus(QWidget* from) {
    // After an action that opened a dialog or message box (from a menu, which leaves the keyboard on the
    // menu bar), the keyboard goes back to the control it came from; an entry frame that opened keeps it.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return;
    // A dialog without an owner (the About box) leaves no window active when it closes.
    QWidget* active = QApplication::activeWindow();
    if (active && active != this) return;
    if (!active) activateWindow();
    QWidget* focus = focusWidget();
    if (focus && focus != menuBar() && !qobject_cast<QMenu*>(focus)) return;
    QWidget* back = from;
    if (!back || !back->isVisible() || !back->isEnabled() || back->focusPolicy() == Qt::NoFocus)
        back = pixXYgraf_;
    if (back->isVisible()) back->setFocus(Qt::OtherFocusReason);
}

void MainWindow::restoreFocus() {
    QWidget* back = focusBefore_;
    if (!back || !back->isVisible() || !back->isEnabled() || back->focusPolicy() == Qt::NoFocus)
        back = pixXYgraf_;
    if (back->isVisible()) back->setFocus(Qt::OtherFocusReason);
}

void MainWindow::buildKeyboard() {
    // F10 opens the first menu of the bar, as on other desktops.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    f10->setObjectName(QStringLiteral("keyF10"));
    connect(f10, &QShortcut::activated, this, &MainWindow::openFirstMenu);

    // Tab in reading order through the controls that act: the entry frames that open over the top of
    // the window, then the graph, the comment box, the sensitivity and the port number.
    std::vector<QWidget*> chain(optPortNum_.begin(), optPortNum_.end());
    for (const char* name : {"Command2", "txtSS", "cmdSS", "cmdCan", "Slider1", "cmdOkay", "cmdCancel"})
        chain.push_back(findChild<QWidget*>(QString::fromLatin1(name)));
    chain.insert(chain.end(), {pixXYgraf_, txtSeshnComnts_, lblParams_[3], lblParams_[5]});
    for (size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void MainWindow::openFirstMenu() {
    for (auto& [menu, item] : menus_) {
        if (!menu->menuAction()->isVisible()) continue;
        menuBar()->setActiveAction(menu->menuAction());
        for (QAction* a : menu->actions()) {
            if (a->isVisible() && a->isEnabled() && !a->isSeparator()) {
                menu->setActiveAction(a);
                break;
            }
        }
        return;
    }
}

void MainWindow::liveChanged() {
    if (live_.changed(clock_.steadyMilliseconds())) publishLive();
}

void MainWindow::publishLive() {
    // The values of a stopped session stay on show until the next one starts; they are said as such.
    const bool running = monitor_->sessions().running();
    sessionSeen_ = sessionSeen_ || running;
    const QString stale = sessionSeen_ && !running ? AccessibleTexts::kStopped : QString();
    const auto& readings = monitor_->readings().labels();
    for (size_t i = 1; i < readings.size(); i += 2)
        setName(lblShnStf_[i],
                AccessibleTexts::valueName(readings[i - 1].caption, readings[i].caption) + stale);
    setName(lblParams_[1], AccessibleTexts::valueName(lblParams_[0]->text(), lblParams_[1]->text()));
    const Indicators& indicators = monitor_->indicators();
    const QString& change = readings[1].caption;
    frameLEDdisp_->setLevel(AccessibleTexts::levelName(change, indicators.litLamps() > 0) + stale,
                            AccessibleTexts::levelCount(indicators.litLamps(), 8, QStringLiteral("lamps")));
    frameBarGraf_->setLevel(AccessibleTexts::levelName(change, indicators.litBars() > 0) + stale,
                            AccessibleTexts::levelCount(indicators.litBars(), 32, QStringLiteral("bars")));
    // The graph's description is what a screen reader repeats while the graph has the focus: it changes
    // at a slower pace, or at once when the user asks (R).
    if (graphPace_.changed(clock_.steadyMilliseconds())) pixXYgraf_->setDescription(graphText());
}

QString MainWindow::graphText() const {
    const auto& readings = monitor_->readings().labels();
    const QString graph = AccessibleTexts::graphDescription(
        monitor_->graph().axisLabels(), monitor_->sessions().clockText(), monitor_->replayShown());
    const QString now =
        monitor_->replayShown()
            ? QString()
            : AccessibleTexts::readingsNow(readings[3].caption, readings[5].caption, readings[1].caption);
    const bool stopped = sessionSeen_ && !monitor_->sessions().running();
    return now.isEmpty()
               ? graph
               : now + (stopped ? AccessibleTexts::kStopped : QString()) + QStringLiteral(". ") + graph;
}

void MainWindow::showComments() {
    syncing_ = true;
    const CommentBox& comments = monitor_->comments();
    const QString text = toWidgetText(comments.text());
    if (txtSeshnComnts_->toPlainText() != text) txtSeshnComnts_->setPlainText(text);
    txtSeshnComnts_->setReadOnly(comments.locked());
    syncing_ = false;
}

double MainWindow::twipsPerPixel() const {
    const QScreen* sc = screen();
    const double dpi = sc ? sc->logicalDotsPerInch() : 96.0;
    return twipsPerPixelAt(dpi);
}

double MainWindow::screenWidthTwips() const {
    const QScreen* sc = screen();
    return (sc ? sc->geometry().width() : 1024) * twipsPerPixel();
}

double MainWindow::screenHeightTwips() const {
    const QScreen* sc = screen();
    return (sc ? sc->geometry().height() : 768) * twipsPerPixel();
}

TwipsRect MainWindow::windowGeometry() const {
    return toTwipsRect(frameGeometry(), twipsPerPixel());
}

WindowState MainWindow::showState() const {
    if (isMinimized()) return WindowState::Minimized;
    if (isMaximized()) return WindowState::Maximized;
    return WindowState::Normal;
}

void MainWindow::setWindowWidth(double twips) {
    const int extra = frameGeometry().width() - width();
    resize(std::max(1, px(twips) - extra), height());
}

void MainWindow::setWindowHeight(double twips) {
    const int extra = frameGeometry().height() - height();
    resize(width(), std::max(1, px(twips) - extra));
}

void MainWindow::setWindowLeft(double twips) {
    move(px(twips), pos().y());
}
void MainWindow::setWindowTop(double twips) {
    move(pos().x(), px(twips));
}
void MainWindow::processEvents() {
    QCoreApplication::processEvents();
}

bool MainWindow::waitUntil(const std::function<bool()>& done, int64_t limitMs) {
    return EventWait::until(done, limitMs);
}

QString MainWindow::showSaveAs(const QString&) {
    // A box for each use, gone after it (a hidden window would still be met by screen readers); its name
    // box starts with the name typed last time.
    SaveAsDialog dialog(this);
    saveAs_ = &dialog;
    dialog.setTypedText(saveAsTyped_);
    const QString name = dialog.ask();
    saveAsTyped_ = dialog.typedText();
    return name;
}

void MainWindow::showFileManager(FileManager& manager) {
    FileManagerDialog dialog(manager, this);
    dialog.exec();
}

void MainWindow::showAbout() {
    AboutBox about(monitor_->programFolder(), nullptr);
    about.exec();
}

void MainWindow::addMarker() {
    const std::optional<size_t> index = monitor_->research().addMarker();
    if (!index) return;
    const std::vector<MarkerLine> lines = monitor_->research().markerLines();
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [&](const MarkerLine& l) { return l.number == int(*index) + 1; });
    const int x = line != lines.end() ? line->x : 0;
    // Set from the menu, the prompt gives the keyboard back to the control it was on before the menu.
    QWidget* focus = QApplication::focusWidget();
    if ((!focus || focus == menuBar() || qobject_cast<QMenu*>(focus)) && lastFocus_)
        lastFocus_->setFocus(Qt::OtherFocusReason);
    markerPrompt_->open(int(*index), monitor_->markers().markers()[*index].label,
                        pixXYgraf_->mapToParent(QPoint(x + 16, 2)));
}

void MainWindow::showResponses() {
    if (!responses_) {
        Monitor* m = monitor_.get();
        responses_ = new ResponsesWindow(
            m->responses(), m->markers(),
            [m](const ResponseDetector::Settings& settings, QString& failure) {
                return m->setResponseSettings(settings, failure);
            },
            this);
    }
    responses_->show();
    responses_->raise();
    responses_->activateWindow();
}

std::optional<ExportRequest> MainWindow::askExport(const ExportChoices& choices) {
    ExportDialog dialog(choices, this);
    return dialog.ask();
}

void MainWindow::showExportProgress(ExportJob& job) {
    ExportProgressDialog progress(job, this);
    progress.run();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        monitor_->prepareToClose();
        closing_ = true;
        timer_.stop();
        if (saveAs_) saveAs_->close();
    }
    event->accept();
}

namespace {
// The local files a drag carries, empty when it carries none.
QStringList droppedFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}
} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    // Session files dropped on the window are replayed, as "Display saved session" would, when it could
    // be chosen now.
    if (!droppedFiles(event->mimeData()).isEmpty() && monitor_->menuItem(MenuItem::DisplayOld).enabled)
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList paths = droppedFiles(event->mimeData());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    // Replayed once the drop has ended, so the source application is not kept waiting.
    QTimer::singleShot(0, this, [this, paths] { openSessionFiles(paths); });
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    act([this] { monitor_->clickPanel(); });
    QMainWindow::mousePressEvent(event);
}

} // namespace aurivo
