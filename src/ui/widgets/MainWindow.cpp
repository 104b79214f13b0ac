#include "ui/widgets/MainWindow.h"

#include "app/Colors.h"
#include "app/MessageBoxes.h"
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

namespace {

// The window's own icon: a small probe trace on a dark face, drawn at 32 and 16 pixels.
QIcon MakeIcon() {
    QIcon icon;
    for (int size : {16, 32}) {
        QPixmap pm(size, size);
        pm.fill(QColor(20, 30, 60));
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(255, 255, 255), size / 12.0 + 1));
        const double s = size;
        QPolygonF trace{{0.08 * s, 0.55 * s}, {0.3 * s, 0.55 * s}, {0.42 * s, 0.25 * s},
                        {0.55 * s, 0.75 * s}, {0.68 * s, 0.45 * s}, {0.92 * s, 0.45 * s}};
        p.drawPolyline(trace);
        icon.addPixmap(pm);
    }
    return icon;
}

int ModifierState(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

void SyncFont(QWidget* w, const FontSpec& wanted) {
    if (wanted.name.isEmpty() || wanted.size <= 0) return;
    QFont f = w->font();
    if (f.family() == wanted.name && f.pointSizeF() == wanted.size && f.bold() == wanted.bold) return;
    f.setFamily(wanted.name);
    f.setPointSizeF(wanted.size);
    f.setBold(wanted.bold);
    w->setFont(f);
}

QString ToWidgetText(const QString& modelText) {
    QString t = modelText;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}

QString ToModelText(const QString& widgetText) {
    QString t = widgetText;
    t.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return t;
}

// Forwards a mouse press on a frame or text box (a click on the panel) to a handler.
class PressFilter : public QObject {
public:
    PressFilter(QObject* parent, std::function<void()> onPress) : QObject(parent), onPress_(std::move(onPress)) {}
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
    setWindowIcon(MakeIcon());
    monitor_ = std::make_unique<Monitor>(
        Monitor::Services{comm, clock, boxes, *this, *this, programFolder, std::move(deviceName)});
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    BuildMenus();
    BuildPanels();
    BuildEntryFrames();
    resize(Px(9900), Px(7140));
    timer_.setObjectName(QStringLiteral("Timer1"));
    timer_.setInterval(200);
    connect(&timer_, &QTimer::timeout, this, [this] { Act([this] { monitor_->Timer1_Timer(); }); });
}

MainWindow::~MainWindow() = default;

void MainWindow::Start() {
    timer_.start();
    Act([this] { monitor_->Form_Load(); });
}

void MainWindow::Act(const std::function<void()>& action) {
    if (closing_) return;
    action();
    if (closing_) return;
    Sync();
    if (monitor_->ExitRequested()) QTimer::singleShot(0, this, [this] { close(); });
}

int MainWindow::Px(double twips) const { return int(std::lround(twips / TwipsPerPixel())); }

QRect MainWindow::PxRect(const TwipsRect& r) const {
    return QRect(Px(r.left), Px(r.top), std::max(0, Px(r.width)), std::max(0, Px(r.height)));
}

QMenu* MainWindow::AddMenu(const char* name, const QString& caption) {
    QMenu* menu = menuBar()->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* MainWindow::AddItem(QMenu* menu, const char* name, const std::function<void()>& handler) {
    QAction* action = menu->addAction(QString());
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, handler] { Act(handler); });
    return action;
}

void MainWindow::BuildMenus() {
    MonitorState& s = monitor_->State();
    Monitor* m = monitor_.get();
    QMenu* file = AddMenu("mnuFile", s.mnuFile.caption);
    QMenu* session = AddMenu("mnuSession", s.mnuSession.caption);
    QMenu* display = AddMenu("mnuDisplay", s.mnuDisplay.caption);
    QMenu* serial = AddMenu("mnuSerlPort", s.mnuSerlPort.caption);
    QMenu* help = AddMenu("mnuHelp", s.mnuHelp.caption);
    menus_ = {{file, &s.mnuFile}, {session, &s.mnuSession}, {display, &s.mnuDisplay},
              {serial, &s.mnuSerlPort}, {help, &s.mnuHelp}};

    auto add = [&](QMenu* menu, const char* name, MenuItemModel& model, std::function<void()> handler) {
        QAction* a = AddItem(menu, name, handler);
        items_.push_back({a, &model});
        return a;
    };
    add(file, "mnuSaveFile", s.mnuSaveFile, [m] { m->mnuSaveFile_Click(); });
    add(file, "mnuDisplayOld", s.mnuDisplayOld, [m] { m->mnuDisplayOld_Click(); });
    add(file, "mnuCancel", s.mnuCancel, [m] { m->Sessions().mnuCancel_Click(); });
    file->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    QAction* exit = add(file, "mnuExit", s.mnuExit, [m] { m->mnuExit_Click(); });
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));

    add(session, "mnuRestart", s.mnuRestart, [m] { m->Sessions().mnuRestart_Click(); });
    add(session, "mnuStart", s.mnuStart, [m] { m->Sessions().mnuStart_Click(); });
    add(session, "mnuStartAs", s.mnuStartAs, [m] { m->Sessions().mnuStartAs_Click(); });
    add(session, "mnuStop", s.mnuStop, [m] { m->Sessions().mnuStop_Click(); });
    session->addSeparator()->setObjectName(QStringLiteral("mnuSep2"));
    add(session, "mnuSetSense", s.mnuSetSense, [m] { m->Parameters().mnuSetSense_Click(); });
    add(session, "mnuSetFSize", s.mnuSetFSize, [m] { m->Parameters().mnuSetFSize_Click(); });
    add(session, "mnuSetSSF", s.mnuSetSSF, [m] { m->Parameters().mnuSetSSF_Click(); });

    for (QAction* a : {add(display, "mnuPixGraf", s.mnuPixGraf, [m] { m->Views().mnuPixGraf_Click(); }),
                       add(display, "mnuBarGrf", s.mnuBarGrf, [m] { m->Views().mnuBarGrf_Click(); }),
                       add(display, "mnuSmlGraf", s.mnuSmlGraf, [m] { m->Views().mnuSmlGraf_Click(); }),
                       add(display, "mnuInternStatus", s.mnuInternStatus, [m] { m->Views().mnuInternStatus_Click(); }),
                       add(display, "mnuComments", s.mnuComments, [m] { m->Views().mnuComments_Click(); }),
                       add(display, "mnuTimnStuf", s.mnuTimnStuf, [m] { m->Views().mnuTimnStuf_Click(); }),
                       add(display, "mnuShowInput", s.mnuShowInput, [m] { m->mnuShowInput_Click(); })})
        a->setCheckable(true);

    add(serial, "mnuSetComPort", s.mnuSetComPort, [m] { m->Ports().mnuSetComPort_Click(); });
    add(help, "mnuAboutHelp", s.mnuAboutHelp, [m] { m->mnuAboutHelp_Click(); });
}

void MainWindow::BuildPanels() {
    MonitorState& s = monitor_->State();
    Monitor* m = monitor_.get();
    auto frame = [&](const char* name) {
        auto* f = new QFrame(client_);
        f->setObjectName(QString::fromLatin1(name));
        f->setFrameShape(QFrame::StyledPanel);
        f->hide();
        f->installEventFilter(new PressFilter(f, [this, m] { Act([m] { m->Views().HideEntryFrame(); }); }));
        return f;
    };
    frmPixGraf_ = frame("frmPixGraf");
    frameLEDdisp_ = frame("frameLEDdisp");
    frameBarGraf_ = frame("frameBarGraf");
    frameSesshnStuff_ = frame("frameSesshnStuff");
    fraSeshnComnts_ = frame("fraSeshnComnts");
    FrameParams_ = frame("FrameParams");

    auto label = [&](QWidget* parent, const QString& name, bool bordered, Qt::Alignment align,
                     std::function<void()> onClick) {
        auto* l = new ModelLabel(parent);
        l->setObjectName(name);
        l->SetBordered(bordered);
        l->SetAlignment(align);
        connect(l, &QAbstractButton::clicked, this, [this, onClick] { Act(onClick); });
        return l;
    };
    auto hide = [m] { m->Views().HideEntryFrame(); };

    pixXYgraf_ = new GraphView(s.pixXYgraf, frmPixGraf_);
    pixXYgraf_->setObjectName(QStringLiteral("pixXYgraf"));
    connect(pixXYgraf_, &QAbstractButton::clicked, this, [this, m] { Act([m] { m->pixXYgraf_Click(); }); });
    for (int i = 0; i < 10; ++i) {
        const Qt::Alignment align = i == 7 ? Qt::AlignCenter
                                    : (i == 8 || i == 9) ? (Qt::AlignRight | Qt::AlignVCenter)
                                                         : (Qt::AlignLeft | Qt::AlignVCenter);
        lbl4Graf_[i] = label(frmPixGraf_, QStringLiteral("lbl4Graf_%1").arg(i), false, align, hide);
    }
    lblGrafError_ = label(frmPixGraf_, QStringLiteral("lblGrafError"), false, Qt::AlignCenter, hide);
    for (int i = 0; i < 8; ++i)
        lblLED_[i] = label(frameLEDdisp_, QStringLiteral("lblLED_%1").arg(i), true, Qt::AlignCenter, hide);
    for (int i = 0; i < 32; ++i)
        lblBarGraf_[i] = label(frameBarGraf_, QStringLiteral("lblBarGraf_%1").arg(i), true, Qt::AlignCenter, hide);
    for (int i = 0; i < 10; ++i)
        LblShnStf_[i] = label(frameSesshnStuff_, QStringLiteral("LblShnStf_%1").arg(i), i % 2 == 1, Qt::AlignCenter, hide);
    lblSysADCstart_ = label(frameSesshnStuff_, QStringLiteral("lblSysADCstart"), true, Qt::AlignCenter, hide);

    TxtSeshnComnts_ = new QPlainTextEdit(fraSeshnComnts_);
    TxtSeshnComnts_->setObjectName(QStringLiteral("TxtSeshnComnts"));
    TxtSeshnComnts_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TxtSeshnComnts_->setAccessibleName(QStringLiteral("Session comments"));
    connect(TxtSeshnComnts_, &QPlainTextEdit::textChanged, this, [this] {
        if (syncing_) return;
        monitor_->State().TxtSeshnComnts.text = ToModelText(TxtSeshnComnts_->toPlainText());
    });
    TxtSeshnComnts_->viewport()->installEventFilter(
        new PressFilter(TxtSeshnComnts_, [this, m] { Act([m] { m->Views().HideEntryFrame(); }); }));

    for (int i = 0; i < 7; ++i) {
        LblParams_[i] = label(FrameParams_, QStringLiteral("LblParams_%1").arg(i), i == 1 || i == 3 || i == 5,
                              Qt::AlignCenter, [m, i] { m->LblParams_Click(i); });
    }
}

void MainWindow::BuildEntryFrames() {
    MonitorState& s = monitor_->State();
    Monitor* m = monitor_.get();
    auto group = [&](const char* name) {
        auto* g = new QGroupBox(client_);
        g->setObjectName(QString::fromLatin1(name));
        g->setAutoFillBackground(true);
        // A press inside an entry frame (its background or caption) is not a click on the form, which
        // would close the filter and jitter box.
        g->setAttribute(Qt::WA_NoMousePropagation);
        g->hide();
        return g;
    };
    auto button = [&](QWidget* parent, const char* name, const QString& caption, std::function<void()> onClick) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, [this, onClick] { Act(onClick); });
        return b;
    };

    fraAdjSens_ = group("fraAdjSens");
    Slider1_ = new QSlider(Qt::Horizontal, fraAdjSens_);
    Slider1_->setObjectName(QStringLiteral("Slider1"));
    Slider1_->setRange(s.Slider1.min, s.Slider1.max);
    Slider1_->setToolTip(QStringLiteral("Adjust Sensitivty"));
    Slider1_->setTickPosition(QSlider::TicksBelow);
    Slider1_->setTickInterval(50);
    Slider1_->setGeometry(PxRect({120, 360, 3660, 555}));
    connect(Slider1_, &QSlider::valueChanged, this, [this, m](int v) {
        if (syncing_) return;
        monitor_->State().Slider1.value = v;
        Act([m] { m->Parameters().Slider1_Change(); });
    });
    // The modifier keys held when a key or mouse button goes down choose the slider's step sizes
    // before the slider acts on that press.
    class StepFilter : public QObject {
    public:
        StepFilter(Monitor* m, QSlider* slider) : QObject(slider), m_(m), slider_(slider) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::KeyPress) {
                const int state = ModifierState(static_cast<QKeyEvent*>(e)->modifiers());
                m_->Parameters().Slider1_KeyDown(state);
            } else if (e->type() == QEvent::MouseButtonPress) {
                m_->Parameters().Slider1_MouseDown(ModifierState(QApplication::keyboardModifiers()));
            } else {
                return false;
            }
            slider_->setSingleStep(m_->State().Slider1.smallChange);
            slider_->setPageStep(m_->State().Slider1.largeChange);
            return false;
        }

    private:
        Monitor* m_;
        QSlider* slider_;
    };
    Slider1_->installEventFilter(new StepFilter(m, Slider1_));
    lblSenseValu_ = new ModelLabel(fraAdjSens_);
    lblSenseValu_->setObjectName(QStringLiteral("lblSenseValu"));
    lblSenseValu_->SetAlignment(Qt::AlignCenter);
    lblSenseValu_->setGeometry(PxRect({1680, 1215, 585, 210}));
    QPushButton* ok = button(fraAdjSens_, "cmdOkay", QStringLiteral("OK"), [m] { m->Parameters().cmdOkay_Click(); });
    ok->setToolTip(QStringLiteral("Accept displayed setting"));
    ok->setGeometry(PxRect({570, 1215, 795, 360}));
    QPushButton* cancel =
        button(fraAdjSens_, "cmdCancel", QStringLiteral("Cancel"), [m] { m->Parameters().cmdCancel_Click(); });
    cancel->setToolTip(QStringLiteral("Restore previous sensitivty "));
    cancel->setGeometry(PxRect({2370, 1215, 795, 360}));

    fraSelctPort_ = group("fraSelctPort");
    for (int i = 0; i < 16; ++i) {
        auto* opt = new QRadioButton(s.optPortNum[i].caption, fraSelctPort_);
        opt->setObjectName(QStringLiteral("optPortNum_%1").arg(i));
        opt->setAutoExclusive(false);
        opt->setAutoFillBackground(true);
        opt->setGeometry(PxRect(s.optPortNum[i].rect));
        connect(opt, &QRadioButton::clicked, this, [this, m, i] { Act([m, i] { m->Ports().optPortNum_MouseDown(i); }); });
        optPortNum_[i] = opt;
    }
    Command2_ = button(fraSelctPort_, "Command2", QStringLiteral("Okay"), [m] { m->Ports().Command2_Click(); });
    Command2_->setGeometry(PxRect({1440, 1560, 1305, 285}));

    fraSetStuff_ = group("fraSetStuff");
    txtSS_ = new QLineEdit(fraSetStuff_);
    txtSS_->setObjectName(QStringLiteral("txtSS"));
    txtSS_->setAlignment(Qt::AlignCenter);
    txtSS_->setGeometry(PxRect({240, 360, 495, 285}));
    connect(txtSS_, &QLineEdit::textEdited, this, [this](const QString& t) { monitor_->State().txtSS.text = t; });
    QPushButton* ss = button(fraSetStuff_, "cmdSS", QStringLiteral("Okay"), [m] { m->Parameters().cmdSS_Click(); });
    ss->setGeometry(PxRect({1080, 360, 615, 255}));
    connect(txtSS_, &QLineEdit::returnPressed, ss, &QPushButton::click);
    QPushButton* can = button(fraSetStuff_, "cmdCan", QStringLiteral("Cancel"), [m] { m->Parameters().cmdCan_Click(); });
    can->setGeometry(PxRect({2040, 360, 735, 255}));
}

namespace {
void SyncLabel(ModelLabel* w, const LabelModel& l, const std::function<QRect(const TwipsRect&)>& px) {
    if (w->text() != l.caption) w->setText(l.caption);
    w->SetBackColor(l.backColor);
    w->SetForeColor(l.foreColor);
    if (w->toolTip() != l.toolTip) w->setToolTip(l.toolTip);
    if (l.rect.width > 0 || l.rect.height > 0) {
        const QRect r = px(l.rect);
        if (w->geometry() != r) w->setGeometry(r);
    }
    SyncFont(w, l.font);
    if (w->isVisibleTo(w->parentWidget()) != l.visible) w->setVisible(l.visible);
}

void SyncFrame(QWidget* w, const FrameModel& f, const std::function<QRect(const TwipsRect&)>& px) {
    if (f.rect.width > 0 || f.rect.height > 0) {
        const QRect r = px(f.rect);
        if (w->geometry() != r) w->setGeometry(r);
    }
    // Stacking follows creation: the entry frames, made after the panels, always lie over them.
    if (w->isVisibleTo(w->parentWidget()) != f.visible) w->setVisible(f.visible);
}
} // namespace

void MainWindow::Sync() {
    syncing_ = true;
    MonitorState& s = monitor_->State();
    const auto px = [this](const TwipsRect& r) { return PxRect(r); };

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

    SyncFrame(frmPixGraf_, s.frmPixGraf, px);
    SyncFrame(frameLEDdisp_, s.frameLEDdisp, px);
    SyncFrame(frameBarGraf_, s.frameBarGraf, px);
    SyncFrame(frameSesshnStuff_, s.frameSesshnStuff, px);
    SyncFrame(fraSeshnComnts_, s.fraSeshnComnts, px);
    SyncFrame(FrameParams_, s.FrameParams, px);

    const QRect graphRect = PxRect(s.pixXYgrafRect);
    if (pixXYgraf_->geometry() != graphRect) pixXYgraf_->setGeometry(graphRect);
    pixXYgraf_->Refresh();
    for (int i = 0; i < 10; ++i) SyncLabel(lbl4Graf_[i], s.lbl4Graf[i], px);
    SyncLabel(lblGrafError_, s.lblGrafError, px);
    if (s.lblGrafError.visible) {
        const QSize hint = lblGrafError_->fontMetrics().size(0, s.lblGrafError.caption) + QSize(8, 4);
        lblGrafError_->setGeometry(QRect(graphRect.topLeft() + QPoint(4, 4), hint));
        lblGrafError_->raise();
    }
    for (int i = 0; i < 8; ++i) SyncLabel(lblLED_[i], s.lblLED[i], px);
    for (int i = 0; i < 32; ++i) SyncLabel(lblBarGraf_[i], s.lblBarGraf[i], px);
    for (int i = 0; i < 10; ++i) SyncLabel(LblShnStf_[i], s.LblShnStf[i], px);
    SyncLabel(lblSysADCstart_, s.lblSysADCstart, px);
    for (int i = 0; i < 7; ++i) SyncLabel(LblParams_[i], s.LblParams[i], px);
    LblParams_[6]->raise();

    const QString comments = ToWidgetText(s.TxtSeshnComnts.text);
    if (TxtSeshnComnts_->toPlainText() != comments) TxtSeshnComnts_->setPlainText(comments);
    TxtSeshnComnts_->setReadOnly(s.TxtSeshnComnts.locked);
    SyncFont(TxtSeshnComnts_, s.TxtSeshnComnts.font);
    if (s.TxtSeshnComnts.rect.width > 0) {
        const QRect r = PxRect(s.TxtSeshnComnts.rect);
        if (TxtSeshnComnts_->geometry() != r) TxtSeshnComnts_->setGeometry(r);
    }

    // Entry frames.
    SyncFrame(fraAdjSens_, s.fraAdjSens, px);
    if (fraAdjSens_->title() != s.fraAdjSens.caption) fraAdjSens_->setTitle(s.fraAdjSens.caption);
    if (Slider1_->value() != s.Slider1.value) Slider1_->setValue(s.Slider1.value);
    Slider1_->setSingleStep(s.Slider1.smallChange);
    Slider1_->setPageStep(s.Slider1.largeChange);
    SyncLabel(lblSenseValu_, s.lblSenseValu, px);

    SyncFrame(fraSelctPort_, s.fraSelctPort, px);
    if (fraSelctPort_->title() != s.fraSelctPort.caption) fraSelctPort_->setTitle(s.fraSelctPort.caption);
    const QColor captionColour = Colors::ToQColor(s.fraSelctPort.captionColor, palette());
    const QString captionStyle = QStringLiteral("QGroupBox#fraSelctPort::title { color: %1; }").arg(captionColour.name());
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
                                 .arg(Colors::ToQColor(o.backColor, palette()).name());
        if (opt->styleSheet() != back) opt->setStyleSheet(back);
    }

    SyncFrame(fraSetStuff_, s.fraSetStuff, px);
    if (fraSetStuff_->title() != s.fraSetStuff.caption) fraSetStuff_->setTitle(s.fraSetStuff.caption);
    if (txtSS_->text() != s.txtSS.text) txtSS_->setText(s.txtSS.text);
    syncing_ = false;
}

double MainWindow::TwipsPerPixel() const {
    const QScreen* sc = screen();
    const double dpi = sc ? sc->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

double MainWindow::ScreenWidthTwips() const {
    const QScreen* sc = screen();
    return (sc ? sc->geometry().width() : 1024) * TwipsPerPixel();
}

double MainWindow::ScreenHeightTwips() const {
    const QScreen* sc = screen();
    return (sc ? sc->geometry().height() : 768) * TwipsPerPixel();
}

TwipsRect MainWindow::WindowGeometry() const {
    const QRect g = frameGeometry();
    const double t = TwipsPerPixel();
    return TwipsRect{g.x() * t, g.y() * t, g.width() * t, g.height() * t};
}

WindowHost::WindowState MainWindow::State() const {
    if (isMinimized()) return WindowState::Minimized;
    if (isMaximized()) return WindowState::Maximized;
    return WindowState::Normal;
}

void MainWindow::SetWindowWidth(double twips) {
    const int extra = frameGeometry().width() - width();
    resize(std::max(1, Px(twips) - extra), height());
}

void MainWindow::SetWindowHeight(double twips) {
    const int extra = frameGeometry().height() - height();
    resize(width(), std::max(1, Px(twips) - extra));
}

void MainWindow::SetWindowLeft(double twips) { move(Px(twips), pos().y()); }
void MainWindow::SetWindowTop(double twips) { move(pos().x(), Px(twips)); }
void MainWindow::ProcessEvents() { QCoreApplication::processEvents(); }

void MainWindow::ShowSaveAs() {
    if (!saveAs_) saveAs_ = std::make_unique<SaveAsDialog>(monitor_->State(), this);
    saveAs_->exec();
}

void MainWindow::ShowFileManager(FileManager& manager) {
    FileManagerDialog dialog(manager, this);
    dialog.exec();
}

void MainWindow::ShowAbout() {
    AboutBox about(monitor_->ProgramFolder(), nullptr);
    about.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!closing_) {
        monitor_->Form_QueryUnload();
        closing_ = true;
        timer_.stop();
        if (saveAs_) saveAs_->close();
    }
    event->accept();
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    Act([this] { monitor_->Views().HideEntryFrame(); });
    QMainWindow::mousePressEvent(event);
}
