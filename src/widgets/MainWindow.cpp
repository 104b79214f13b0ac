#include "widgets/MainWindow.h"

#include "app/QtAudioSink.h"
#include "app/ToneOutput.h"
#include "core/EventWait.h"
#include "core/MessageBoxes.h"
#include "export/ExportJob.h"
#include "files/FileManager.h"
#include "widgets/AboutBox.h"
#include "widgets/AccessibleControls.h"
#include "widgets/ChangeQueue.h"
#include "widgets/ClientArea.h"
#include "widgets/CommentsPanel.h"
#include "widgets/ExportDialog.h"
#include "widgets/ExportProgressDialog.h"
#include "widgets/FileManagerDialog.h"
#include "widgets/FocusRing.h"
#include "widgets/GraphPanel.h"
#include "widgets/GraphView.h"
#include "widgets/IndicatorFrame.h"
#include "widgets/LiveAnnouncer.h"
#include "widgets/ModelLabel.h"
#include "widgets/ParameterEntryBox.h"
#include "widgets/ParameterStrip.h"
#include "widgets/PortChooserBox.h"
#include "widgets/PortOption.h"
#include "widgets/ReadingsPanel.h"
#include "widgets/SaveAsDialog.h"
#include "widgets/SensitivityBox.h"
#include "widgets/WindowFocus.h"
#include "widgets/WindowMenus.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
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

// The local files a drag carries, empty when it carries none.
QStringList droppedFiles(const QMimeData* data) {
    QStringList paths;
    if (!data || !data->hasUrls()) return paths;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    return paths;
}

} // namespace

MainWindow::MainWindow(SerialComm& comm, Clock& clock, MessageBoxes& boxes, const QString& programFolder,
                       std::function<QString(int)> deviceName, QWidget* parent)
    : QMainWindow(parent) {
    AccessibleControls::install();
    setObjectName(QStringLiteral("frmAurivo"));
    setWindowTitle(QStringLiteral("Aurivo USB Interface"));
    setWindowIcon(makeIcon());
    setAcceptDrops(true);
    monitor_ = std::make_unique<Monitor>(
        Monitor::Services{comm, clock, boxes, *this, *this, programFolder, std::move(deviceName)});
    tone_ = std::make_unique<ToneOutput>(std::as_const(*monitor_).sessions(), monitor_->programFolder(),
                                         boxes, std::make_unique<QtAudioSink>());
    monitor_->addListener(*tone_);
    client_ = new ClientArea(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);
    // Every part tells the window when what it shows has changed; only the views of that part are
    // updated, once per action.
    changes_ = new ChangeQueue(this);
    focus_ = new WindowFocus(*this);
    live_ = std::make_unique<LiveAnnouncer>(clock, monitor_->sessions());
    context_ =
        std::make_unique<PanelContext>(PanelContext{*monitor_, clock, *this, *changes_, *live_, *focus_,
                                                    [this](const std::function<void()>& a) { act(a); }});
    // The menus are made first: they show a change before the panels do.
    menus_ = new WindowMenus(*this, *context_, *tone_);
    buildPanels();
    buildKeyboard();
    focusRing_ = new FocusRing(this);
    focusRing_->showMenuBarSelection(menuBar());
    resize(px(9900), px(7140));
    timer_.setObjectName(QStringLiteral("Timer1"));
    timer_.setInterval(200);
    connect(&timer_, &QTimer::timeout, this, [this] {
        act([this] { monitor_->onTick(); });
        live_->tick();
        graph_->tick();
    });

    // Everything as the parts start; the first change after start-up is told at once.
    changes_->showAll();
    live_->tellAll();
    live_->restart();
    graph_->restartPace();
}

MainWindow::~MainWindow() {
    monitor_->removeListener(*tone_);
}

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
    const QPointer<QWidget> from = focus_->last();
    const unsigned dialogsBefore = focus_->dialogCount();
    action();
    if (closing_) return;
    changes_->flush();
    if (focus_->dialogCount() != dialogsBefore) focus_->returnTo(from);
    if (monitor_->exitRequested()) QTimer::singleShot(0, this, [this] { close(); });
}

int MainWindow::px(double twips) const {
    return toPixels(twips, twipsPerPixel());
}

void MainWindow::buildPanels() {
    // Stacking follows creation: the entry frames, made after the panels, always lie over them.
    PanelContext& c = *context_;
    graph_ = new GraphPanel(c, client_);
    auto* lamps = new IndicatorFrame(c, IndicatorFrame::Kind::Lamps, client_);
    auto* bar = new IndicatorFrame(c, IndicatorFrame::Kind::Bar, client_);
    auto* readings = new ReadingsPanel(c, client_);
    comments_ = new CommentsPanel(c, client_);
    strip_ = new ParameterStrip(c, client_);
    new SensitivityBox(c, client_);
    ports_ = new PortChooserBox(c, client_);
    new ParameterEntryBox(c, client_);
    focus_->setFallback(graph_->view());

    // The live values are told after every view has shown the change.
    live_->add([readings](const QString& stale) { readings->tellLive(stale); });
    live_->add([this](const QString&) { strip_->tellLive(); });
    live_->add([lamps](const QString& stale) { lamps->tellLive(stale); });
    live_->add([bar](const QString& stale) { bar->tellLive(stale); });
    live_->add([this](const QString&) { graph_->tellLive(); });
    Monitor& m = *monitor_;
    changes_->follow(
        {&m.graph().labelsChanged, &m.indicators().changed, &m.readings().changed, &m.sessions().changed},
        [this] { live_->changed(); });
}

void MainWindow::buildKeyboard() {
    // F10 opens the first menu of the bar, as on other desktops.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    f10->setObjectName(QStringLiteral("keyF10"));
    connect(f10, &QShortcut::activated, menus_, &WindowMenus::openFirst);

    // Tab in reading order through the controls that act: the entry frames that open over the top of
    // the window, then the graph, the comment box, the sensitivity and the port number.
    std::vector<QWidget*> chain(ports_->options().begin(), ports_->options().end());
    for (const char* name : {"Command2", "txtSS", "cmdSS", "cmdCan", "Slider1", "cmdOkay", "cmdCancel"})
        chain.push_back(findChild<QWidget*>(QString::fromLatin1(name)));
    chain.insert(chain.end(),
                 {graph_->view(), comments_->textBox(), strip_->sensitivityCell(), strip_->portCell()});
    for (size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
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
        changes_->stop();
        timer_.stop();
        if (saveAs_) saveAs_->close();
    }
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    // Session files dropped on the window are replayed, as "Display saved session" would, when it could
    // be chosen now.
    if (!droppedFiles(event->mimeData()).isEmpty() &&
        monitor_->menuItem(MenuItem::DisplaySavedSessions).enabled)
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
