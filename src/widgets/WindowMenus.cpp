#include "widgets/WindowMenus.h"

#include "layout/MenuAccessKeys.h"
#include "widgets/ChangeQueue.h"
#include "widgets/GraphPanel.h"
#include "widgets/LabLinkDialog.h"
#include "widgets/MainWindow.h"
#include "widgets/ResponsesWindow.h"
#include "widgets/ToneMenu.h"

#include <QMenu>
#include <QMenuBar>
#include <array>

namespace aurivo {

namespace {

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

WindowMenus::WindowMenus(MainWindow& window, PanelContext& context, ToneOutput& tone)
    : QObject(&window), window_(window), context_(context) {
    Monitor& m = context.monitor;
    context.changes.follow({&m.menusChanged, &m.ports().changed}, [this] { show(); });
    build(tone);
}

QMenu* WindowMenus::addMenu(const char* name, MenuItem item) {
    QMenu* menu = window_.menuBar()->addMenu(MenuAccessKeys::marked(context_.monitor.menuItem(item).caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    menus_.push_back({menu, item});
    return menu;
}

QAction* WindowMenus::addItem(QMenu* menu, const char* name, const std::function<void()>& handler) {
    QAction* action = menu->addAction(QString());
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, handler] { context_.act(handler); });
    return action;
}

QAction* WindowMenus::addEntry(QMenu* menu, const char* name, MenuItem item, std::function<void()> handler) {
    if (!handler) handler = [m = &context_.monitor, item] { m->choose(item); };
    QAction* action = addItem(menu, name, handler);
    items_.push_back({action, item});
    return action;
}

void WindowMenus::build(ToneOutput& tone) {
    std::array<QMenu*, 5> bar{};
    for (size_t i = 0; i < 5; ++i)
        bar[i] = addMenu(kMenuBar[i].name, kMenuBar[i].item);
    buildFileMenu(bar[0]);
    buildSessionMenu(bar[1], tone);
    buildDisplayMenu(bar[2]);
    addEntry(bar[3], "mnuSetComPort", MenuItem::ChoosePort);
    addItem(bar[3], "mnuLabLink", [this, m = &context_.monitor] {
        LabLinkDialog dialog(
            m->labLink(),
            [m](const LabLinkSettings& settings, QString& failure) {
                return m->applyLabLink(settings, failure);
            },
            &window_);
        dialog.exec();
    })->setText(QStringLiteral("&Lab link..."));
    addEntry(bar[4], "mnuAboutHelp", MenuItem::About);
}

void WindowMenus::buildFileMenu(QMenu* file) {
    addEntry(file, "mnuSaveFile", MenuItem::SaveSession);
    addEntry(file, "mnuDisplayOld", MenuItem::DisplaySavedSessions);
    addEntry(file, "mnuExport", MenuItem::Export);
    addEntry(file, "mnuCancel", MenuItem::Cancel);
    file->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    QAction* exit = addEntry(file, "mnuExit", MenuItem::Exit);
    // Ctrl+F4 as designed; Ctrl+Q as on every other program of the desktop.
    exit->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::Key_Q)});
}

void WindowMenus::buildSessionMenu(QMenu* session, ToneOutput& tone) {
    Monitor* m = &context_.monitor;
    // A marker name typed but not yet confirmed is kept before the session stops or starts again.
    addEntry(session, "mnuRestart", MenuItem::Restart, [this, m] {
        window_.graphPanel().commitMarkerName();
        m->choose(MenuItem::Restart);
    });
    addEntry(session, "mnuStart", MenuItem::Start)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    addEntry(session, "mnuStartAs", MenuItem::StartAs);
    addEntry(session, "mnuStop", MenuItem::Stop, [this, m] {
        window_.graphPanel().commitMarkerName();
        m->choose(MenuItem::Stop);
    })->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period));
    addEntry(session, "mnuAddMarker", MenuItem::AddMarker, [this] {
        window_.graphPanel().addMarker();
    })->setShortcut(Qt::Key_F9);
    session->addSeparator()->setObjectName(QStringLiteral("mnuSep2"));
    addEntry(session, "mnuSetSense", MenuItem::SetSensitivity);
    addEntry(session, "mnuSetFSize", MenuItem::SetFilterSize);
    addEntry(session, "mnuSetSSF", MenuItem::SetJitterRejection);
    new ToneMenu(session, tone, &window_);
}

void WindowMenus::buildDisplayMenu(QMenu* display) {
    // Each item shows or hides a panel (or the input readout) and carries a check mark while it is shown.
    for (QAction* a : {addEntry(display, "mnuPixGraf", MenuItem::ShowPictureGraph),
                       addEntry(display, "mnuBarGrf", MenuItem::ShowLamps),
                       addEntry(display, "mnuSmlGraf", MenuItem::ShowBar),
                       addEntry(display, "mnuInternStatus", MenuItem::ShowReadings),
                       addEntry(display, "mnuComments", MenuItem::ShowComments),
                       addEntry(display, "mnuTimnStuf", MenuItem::ShowParameterStrip),
                       addEntry(display, "mnuShowInput", MenuItem::ShowInput),
                       addEntry(display, "mnuResponseTicks", MenuItem::ResponseTicks)})
        a->setCheckable(true);
    addEntry(display, "mnuResponses", MenuItem::Responses, [this] { showResponses(); });
    // The Responses window follows the responses and the markers while it is shown.
    const Monitor& m = context_.monitor;
    for (const ChangeSignal* source : {&m.responses().changed, &m.markers().changed}) {
        source->subscribe([this] {
            if (responses_ && responses_->isVisible()) responses_->refresh();
        });
    }
}

void WindowMenus::showResponses() {
    if (!responses_) {
        Monitor* m = &context_.monitor;
        responses_ = new ResponsesWindow(
            m->responses(), m->markers(),
            [m](const ResponseDetector::Settings& settings, QString& failure) {
                return m->setResponseSettings(settings, failure);
            },
            &window_);
    }
    responses_->show();
    responses_->raise();
    responses_->activateWindow();
}

void WindowMenus::show() {
    // A hidden menu (the replay hides three) is taken off the bar, so that screen readers do not meet it.
    QList<QAction*> bar;
    for (auto& [menu, item] : menus_) {
        const MenuItemModel model = context_.monitor.menuItem(item);
        const QString title = MenuAccessKeys::marked(model.caption);
        if (menu->title() != title) menu->setTitle(title);
        menu->menuAction()->setVisible(model.visible);
        menu->menuAction()->setEnabled(model.enabled);
        if (model.visible) bar.append(menu->menuAction());
    }
    if (window_.menuBar()->actions() != bar) {
        for (QAction* a : window_.menuBar()->actions())
            window_.menuBar()->removeAction(a);
        window_.menuBar()->addActions(bar);
    }
    // While the port chooser waits for a choice no session starts behind it (the port is not chosen yet).
    const bool choosing = context_.monitor.ports().frameShown();
    for (auto& [action, item] : items_) {
        const MenuItemModel model = context_.monitor.menuItem(item);
        const QString text = MenuAccessKeys::marked(model.caption);
        if (action->text() != text) action->setText(text);
        const bool starts = item == MenuItem::Start || item == MenuItem::StartAs;
        action->setEnabled(model.enabled && !(choosing && starts));
        if (action->isCheckable()) action->setChecked(model.checked);
        action->setVisible(model.visible);
    }
}

void WindowMenus::openFirst() {
    for (auto& [menu, item] : menus_) {
        if (!menu->menuAction()->isVisible()) continue;
        window_.menuBar()->setActiveAction(menu->menuAction());
        for (QAction* a : menu->actions()) {
            if (a->isVisible() && a->isEnabled() && !a->isSeparator()) {
                menu->setActiveAction(a);
                break;
            }
        }
        return;
    }
}

} // namespace aurivo
