#include "ui/widgets/MainWindow.h"

#include "core/Colors.h"
#include "core/MessageBoxes.h"
#include "files/FileManager.h"
#include "ui/widgets/AboutBox.h"
#include "ui/widgets/FileManagerDialog.h"
#include "ui/widgets/GraphView.h"
#include "ui/widgets/ModelLabel.h"
#include "ui/widgets/SaveAsDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QToolTip>

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

void syncFont(QWidget* w, const FontSpec& wanted) {
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

} // namespace

MainWindow::MainWindow(SerialComm& comm, Clock& clock, MessageBoxes& boxes, const QString& programFolder,
                       std::function<QString(int)> deviceName, QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmAurivo"));
    setWindowTitle(QStringLiteral("Aurivo USB Interface"));
    setWindowIcon(makeIcon());
    monitor_ = std::make_unique<Monitor>(
        Monitor::Services{comm, clock, boxes, *this, *this, programFolder, std::move(deviceName)});
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    buildMenus();
    buildPanels();
    buildEntryFrames();
    resize(px(9900), px(7140));
    timer_.setObjectName(QStringLiteral("Timer1"));
    timer_.setInterval(200);
    connect(&timer_, &QTimer::timeout, this, [this] { act([this] { monitor_->onTick(); }); });
}

MainWindow::~MainWindow() = default;

void MainWindow::startUp() {
    timer_.start();
    act([this] { monitor_->startUp(); });
}

void MainWindow::act(const std::function<void()>& action) {
    if (closing_) return;
    action();
    if (closing_) return;
    syncAll();
    if (monitor_->exitRequested()) QTimer::singleShot(0, this, [this] { close(); });
}

int MainWindow::px(double twips) const {
    return toPixels(twips, twipsPerPixel());
}

QRect MainWindow::pxRect(const TwipsRect& r) const {
    return toPixelRect(r, twipsPerPixel());
}

QMenu* MainWindow::addMenu(const char* name, const QString& caption) {
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* MainWindow::addItem(QMenu* menu, const char* name, const std::function<void()>& handler) {
    QAction* action = menu->addAction(QString());
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, handler] { act(handler); });
    return action;
}

void MainWindow::buildMenus() {
    MonitorState& s = monitor_->state();
    Monitor* m = monitor_.get();
    QMenu* file = addMenu("mnuFile", s.mnuFile.caption);
    QMenu* session = addMenu("mnuSession", s.mnuSession.caption);
    QMenu* display = addMenu("mnuDisplay", s.mnuDisplay.caption);
    QMenu* serial = addMenu("mnuSerlPort", s.mnuSerlPort.caption);
    QMenu* help = addMenu("mnuHelp", s.mnuHelp.caption);
    menus_ = {{file, &s.mnuFile},
              {session, &s.mnuSession},
              {display, &s.mnuDisplay},
              {serial, &s.mnuSerlPort},
              {help, &s.mnuHelp}};

    auto add = [&](QMenu* menu, const char* name, MenuItemModel& model, std::function<void()> handler) {
        QAction* a = addItem(menu, name, handler);
        items_.push_back({a, &model});
        return a;
    };
    add(file, "mnuSaveFile", s.mnuSaveFile, [m] { m->saveSessionOrResume(); });
    add(file, "mnuDisplayOld", s.mnuDisplayOld, [m] { m->displaySavedSessions(); });
    add(file, "mnuCancel", s.mnuCancel, [m] { m->sessions().requestCancel(); });
    file->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    QAction* exit = add(file, "mnuExit", s.mnuExit, [m] { m->exitProgram(); });
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));

    add(session, "mnuRestart", s.mnuRestart, [m] { m->sessions().restartSession(); });
    add(session, "mnuStart", s.mnuStart, [m] { m->sessions().startSession(); });
    add(session, "mnuStartAs", s.mnuStartAs, [m] { m->sessions().startSessionAs(); });
    add(session, "mnuStop", s.mnuStop, [m] { m->sessions().stopSession(); });
    session->addSeparator()->setObjectName(QStringLiteral("mnuSep2"));
    add(session, "mnuSetSense", s.mnuSetSense, [m] { m->parameters().openSensitivityBox(); });
    add(session, "mnuSetFSize", s.mnuSetFSize, [m] { m->parameters().openFilterSizeBox(); });
    add(session, "mnuSetSSF", s.mnuSetSSF, [m] { m->parameters().openJitterBox(); });

    for (QAction* a :
         {add(display, "mnuPixGraf", s.mnuPixGraf, [m] { m->views().togglePictureGraph(); }),
          add(display, "mnuBarGrf", s.mnuBarGrf, [m] { m->views().toggleColorBar(); }),
          add(display, "mnuSmlGraf", s.mnuSmlGraf, [m] { m->views().toggleBarGraph(); }),
          add(display, "mnuInternStatus", s.mnuInternStatus, [m] { m->views().toggleInternalStatus(); }),
          add(display, "mnuComments", s.mnuComments, [m] { m->views().toggleComments(); }),
          add(display, "mnuTimnStuf", s.mnuTimnStuf, [m] { m->views().toggleTimeEtc(); }),
          add(display, "mnuShowInput", s.mnuShowInput, [m] { m->toggleShowInput(); })})
        a->setCheckable(true);

    add(serial, "mnuSetComPort", s.mnuSetComPort, [m] { m->ports().scanPorts(); });
    add(help, "mnuAboutHelp", s.mnuAboutHelp, [m] { m->showAbout(); });
}

void MainWindow::buildPanels() {
    Monitor* m = monitor_.get();
    auto frame = [&](const char* name) {
        auto* f = new QFrame(client_);
        f->setObjectName(QString::fromLatin1(name));
        f->setFrameShape(QFrame::StyledPanel);
        f->hide();
        f->installEventFilter(new PressFilter(f, [this, m] { act([m] { m->views().hideEntryFrame(); }); }));
        return f;
    };
    frmPixGraf_ = frame("frmPixGraf");
    frameLEDdisp_ = frame("frameLEDdisp");
    frameBarGraf_ = frame("frameBarGraf");
    frameSesshnStuff_ = frame("frameSesshnStuff");
    fraSeshnComnts_ = frame("fraSeshnComnts");
    frameParams_ = frame("FrameParams");

    auto label = [&](QWidget* parent, const QString& name, bool bordered, Qt::Alignment align,
                     std::function<void()> onClick) {
        auto* l = new ModelLabel(parent);
        l->setObjectName(name);
        l->setBordered(bordered);
        l->setAlignment(align);
        connect(l, &QAbstractButton::clicked, this, [this, onClick] { act(onClick); });
        return l;
    };
    auto hide = [m] { m->views().hideEntryFrame(); };

    pixXYgraf_ = new GraphView(m->graph().picture(), frmPixGraf_);
    pixXYgraf_->setObjectName(QStringLiteral("pixXYgraf"));
    connect(pixXYgraf_, &QAbstractButton::clicked, this, [this, m] { act([m] { m->clickGraph(); }); });
    for (int i = 0; i < 10; ++i) {
        const Qt::Alignment align = i == 7               ? Qt::AlignCenter
                                    : (i == 8 || i == 9) ? (Qt::AlignRight | Qt::AlignVCenter)
                                                         : (Qt::AlignLeft | Qt::AlignVCenter);
        lbl4Graf_[i] = label(frmPixGraf_, QStringLiteral("lbl4Graf_%1").arg(i), false, align, hide);
    }
    lblGrafError_ = label(frmPixGraf_, QStringLiteral("lblGrafError"), false, Qt::AlignCenter, hide);
    for (int i = 0; i < 8; ++i)
        lblLED_[i] = label(frameLEDdisp_, QStringLiteral("lblLED_%1").arg(i), true, Qt::AlignCenter, hide);
    for (int i = 0; i < 32; ++i)
        lblBarGraf_[i] =
            label(frameBarGraf_, QStringLiteral("lblBarGraf_%1").arg(i), true, Qt::AlignCenter, hide);
    for (int i = 0; i < 10; ++i)
        lblShnStf_[i] = label(frameSesshnStuff_, QStringLiteral("LblShnStf_%1").arg(i), i % 2 == 1,
                              Qt::AlignCenter, hide);
    lblSysADCstart_ = label(frameSesshnStuff_, QStringLiteral("lblSysADCstart"), true, Qt::AlignCenter, hide);

    txtSeshnComnts_ = new QPlainTextEdit(fraSeshnComnts_);
    txtSeshnComnts_->setObjectName(QStringLiteral("TxtSeshnComnts"));
    txtSeshnComnts_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtSeshnComnts_->setAccessibleName(QStringLiteral("Session comments"));
    connect(txtSeshnComnts_, &QPlainTextEdit::textChanged, this, [this] {
        if (syncing_) return;
        monitor_->state().txtSeshnComnts.text = toModelText(txtSeshnComnts_->toPlainText());
    });
    txtSeshnComnts_->viewport()->installEventFilter(
        new PressFilter(txtSeshnComnts_, [this, m] { act([m] { m->views().hideEntryFrame(); }); }));

    for (int i = 0; i < 7; ++i) {
        lblParams_[i] = label(frameParams_, QStringLiteral("LblParams_%1").arg(i), i == 1 || i == 3 || i == 5,
                              Qt::AlignCenter, [m, i] { m->clickParameterLabel(i); });
    }
}

void MainWindow::buildEntryFrames() {
    MonitorState& s = monitor_->state();
    Monitor* m = monitor_.get();
    auto group = [&](const char* name) {
        auto* g = new QGroupBox(client_);
        g->setObjectName(QString::fromLatin1(name));
        g->setAutoFillBackground(true);
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

    fraAdjSens_ = group("fraAdjSens");
    slider1_ = new QSlider(Qt::Horizontal, fraAdjSens_);
    slider1_->setObjectName(QStringLiteral("Slider1"));
    slider1_->setRange(s.slider1.min, s.slider1.max);
    slider1_->setToolTip(QStringLiteral("Adjust Sensitivty"));
    slider1_->setTickPosition(QSlider::TicksBelow);
    slider1_->setTickInterval(50);
    slider1_->setGeometry(pxRect({120, 360, 3660, 555}));
    connect(slider1_, &QSlider::valueChanged, this, [this, m](int v) {
        if (syncing_) return;
        monitor_->state().slider1.value = v;
        act([m] { m->parameters().onSliderChange(); });
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
            slider_->setSingleStep(m_->state().slider1.smallChange);
            slider_->setPageStep(m_->state().slider1.largeChange);
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

    fraSelctPort_ = group("fraSelctPort");
    for (int i = 0; i < 16; ++i) {
        auto* opt = new QRadioButton(s.optPortNum[i].caption, fraSelctPort_);
        opt->setObjectName(QStringLiteral("optPortNum_%1").arg(i));
        opt->setAutoExclusive(false);
        opt->setAutoFillBackground(true);
        opt->setGeometry(pxRect(s.optPortNum[i].rect));
        connect(opt, &QRadioButton::clicked, this,
                [this, m, i] { act([m, i] { m->ports().choosePort(i); }); });
        optPortNum_[i] = opt;
    }
    command2_ = button(fraSelctPort_, "Command2", QStringLiteral("Okay"), [m] { m->ports().closeChooser(); });
    command2_->setGeometry(pxRect({1440, 1560, 1305, 285}));

    fraSetStuff_ = group("fraSetStuff");
    txtSS_ = new QLineEdit(fraSetStuff_);
    txtSS_->setObjectName(QStringLiteral("txtSS"));
    txtSS_->setAlignment(Qt::AlignCenter);
    txtSS_->setGeometry(pxRect({240, 360, 495, 285}));
    connect(txtSS_, &QLineEdit::textEdited, this,
            [this](const QString& t) { monitor_->state().txtSS.text = t; });
    QPushButton* ss =
        button(fraSetStuff_, "cmdSS", QStringLiteral("Okay"), [m] { m->parameters().acceptEntry(); });
    ss->setGeometry(pxRect({1080, 360, 615, 255}));
    connect(txtSS_, &QLineEdit::returnPressed, ss, &QPushButton::click);
    QPushButton* can =
        button(fraSetStuff_, "cmdCan", QStringLiteral("Cancel"), [m] { m->parameters().cancelEntry(); });
    can->setGeometry(pxRect({2040, 360, 735, 255}));
}

namespace {
void syncLabel(ModelLabel* w, const LabelModel& l, const std::function<QRect(const TwipsRect&)>& px) {
    if (w->text() != l.caption) w->setText(l.caption);
    w->setBackColor(l.backColor);
    w->setForeColor(l.foreColor);
    if (w->toolTip() != l.toolTip) w->setToolTip(l.toolTip);
    if (l.rect.width > 0 || l.rect.height > 0) {
        const QRect r = px(l.rect);
        if (w->geometry() != r) w->setGeometry(r);
    }
    syncFont(w, l.font);
    if (w->isVisibleTo(w->parentWidget()) != l.visible) w->setVisible(l.visible);
}

void syncFrame(QWidget* w, const FrameModel& f, const std::function<QRect(const TwipsRect&)>& px) {
    if (f.rect.width > 0 || f.rect.height > 0) {
        const QRect r = px(f.rect);
        if (w->geometry() != r) w->setGeometry(r);
    }
    // Stacking follows creation: the entry frames, made after the panels, always lie over them.
    if (w->isVisibleTo(w->parentWidget()) != f.visible) w->setVisible(f.visible);
}
} // namespace

void MainWindow::syncAll() {
    syncing_ = true;
    MonitorState& s = monitor_->state();
    const auto px = [this](const TwipsRect& r) { return pxRect(r); };

    for (auto& [menu, model] : menus_) {
        if (menu->title() != model->caption) menu->setTitle(model->caption);
        menu->menuAction()->setVisible(model->visible);
        menu->menuAction()->setEnabled(model->enabled);
    }
    for (auto& [action, model] : items_) {
        if (action->text() != model->caption) action->setText(model->caption);
        action->setEnabled(model->enabled);
        if (action->isCheckable()) action->setChecked(model->checked);
        action->setVisible(model->visible);
    }

    syncFrame(frmPixGraf_, s.frmPixGraf, px);
    syncFrame(frameLEDdisp_, s.frameLEDdisp, px);
    syncFrame(frameBarGraf_, s.frameBarGraf, px);
    syncFrame(frameSesshnStuff_, s.frameSesshnStuff, px);
    syncFrame(fraSeshnComnts_, s.fraSeshnComnts, px);
    syncFrame(frameParams_, s.frameParams, px);

    const QRect graphRect = pxRect(s.pixXYgrafRect);
    if (pixXYgraf_->geometry() != graphRect) pixXYgraf_->setGeometry(graphRect);
    pixXYgraf_->refresh();
    for (int i = 0; i < 10; ++i)
        syncLabel(lbl4Graf_[i], s.lbl4Graf[i], px);
    syncLabel(lblGrafError_, s.lblGrafError, px);
    if (s.lblGrafError.visible) {
        const QSize hint = lblGrafError_->fontMetrics().size(0, s.lblGrafError.caption) + QSize(8, 4);
        lblGrafError_->setGeometry(QRect(graphRect.topLeft() + QPoint(4, 4), hint));
        lblGrafError_->raise();
    }
    for (int i = 0; i < 8; ++i)
        syncLabel(lblLED_[i], s.lblLED[i], px);
    for (int i = 0; i < 32; ++i)
        syncLabel(lblBarGraf_[i], s.lblBarGraf[i], px);
    for (int i = 0; i < 10; ++i)
        syncLabel(lblShnStf_[i], s.lblShnStf[i], px);
    syncLabel(lblSysADCstart_, s.lblSysADCstart, px);
    for (int i = 0; i < 7; ++i)
        syncLabel(lblParams_[i], s.lblParams[i], px);
    lblParams_[6]->raise();

    const QString comments = toWidgetText(s.txtSeshnComnts.text);
    if (txtSeshnComnts_->toPlainText() != comments) txtSeshnComnts_->setPlainText(comments);
    txtSeshnComnts_->setReadOnly(s.txtSeshnComnts.locked);
    syncFont(txtSeshnComnts_, s.txtSeshnComnts.font);
    if (s.txtSeshnComnts.rect.width > 0) {
        const QRect r = pxRect(s.txtSeshnComnts.rect);
        if (txtSeshnComnts_->geometry() != r) txtSeshnComnts_->setGeometry(r);
    }

    // Entry frames.
    syncFrame(fraAdjSens_, s.fraAdjSens, px);
    if (fraAdjSens_->title() != s.fraAdjSens.caption) fraAdjSens_->setTitle(s.fraAdjSens.caption);
    if (slider1_->value() != s.slider1.value) slider1_->setValue(s.slider1.value);
    slider1_->setSingleStep(s.slider1.smallChange);
    slider1_->setPageStep(s.slider1.largeChange);
    syncLabel(lblSenseValu_, s.lblSenseValu, px);

    syncFrame(fraSelctPort_, s.fraSelctPort, px);
    if (fraSelctPort_->title() != s.fraSelctPort.caption) fraSelctPort_->setTitle(s.fraSelctPort.caption);
    const QColor captionColour = colors::toQColor(s.fraSelctPort.captionColor, palette());
    const QString captionStyle =
        QStringLiteral("QGroupBox#fraSelctPort::title { color: %1; }").arg(captionColour.name());
    if (fraSelctPort_->styleSheet() != captionStyle) fraSelctPort_->setStyleSheet(captionStyle);
    for (int i = 0; i < 16; ++i) {
        QRadioButton* opt = optPortNum_[i];
        const OptionButtonModel& o = s.optPortNum[i];
        if (opt->isVisibleTo(fraSelctPort_) != o.visible) opt->setVisible(o.visible);
        opt->setEnabled(o.enabled);
        if (opt->isChecked() != o.value) opt->setChecked(o.value);
        if (opt->toolTip() != o.toolTip) opt->setToolTip(o.toolTip);
        // The frame carries a style sheet (its caption colour), so the buttons' colours are style sheets too;
        // the small font lets "COM16" fit the 900-twip width of its button.
        const QString back = QStringLiteral("QRadioButton { background-color: %1; font-size: 7pt; }")
                                 .arg(colors::toQColor(o.backColor, palette()).name());
        if (opt->styleSheet() != back) opt->setStyleSheet(back);
    }

    syncFrame(fraSetStuff_, s.fraSetStuff, px);
    if (fraSetStuff_->title() != s.fraSetStuff.caption) fraSetStuff_->setTitle(s.fraSetStuff.caption);
    if (txtSS_->text() != s.txtSS.text) txtSS_->setText(s.txtSS.text);
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

void MainWindow::showSaveAs() {
    if (!saveAs_) saveAs_ = std::make_unique<SaveAsDialog>(monitor_->state(), this);
    saveAs_->exec();
}

void MainWindow::showFileManager(FileManager& manager) {
    FileManagerDialog dialog(manager, this);
    dialog.exec();
}

void MainWindow::showAbout() {
    AboutBox about(nullptr);
    about.exec();
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

void MainWindow::mousePressEvent(QMouseEvent* event) {
    act([this] { monitor_->views().hideEntryFrame(); });
    QMainWindow::mousePressEvent(event);
}

} // namespace aurivo
