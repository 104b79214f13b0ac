#pragma once
// The menu bar of the main window: the File, Session, Display, Serial Port and Help menus with their
// items and shortcuts, named as their controls. Each item runs as a user action of the window; captions,
// check marks and the enabled and visible states follow the monitor's menu records.

#include "app/Monitor.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <utility>
#include <vector>

class QAction;
class QMenu;

namespace aurivo {

class MainWindow;
class ResponsesWindow;
class ToneOutput;
struct PanelContext;

class WindowMenus : public QObject {
    Q_OBJECT
  public:
    WindowMenus(MainWindow& window, PanelContext& context, ToneOutput& tone);

    // F10: opens the first menu of the bar with its first item that can be chosen.
    void openFirst();

  private:
    QMenu* addMenu(const char* name, MenuItem item);
    // An item that runs `handler` as a user action.
    QAction* addItem(QMenu* menu, const char* name, const std::function<void()>& handler);
    // An item that also shows the monitor's record of `item`; it runs `handler`, or else the monitor's
    // command for `item`.
    QAction* addEntry(QMenu* menu, const char* name, MenuItem item, std::function<void()> handler = {});
    void build(ToneOutput& tone);
    void buildFileMenu(QMenu* file);
    void buildSessionMenu(QMenu* session, ToneOutput& tone);
    void buildDisplayMenu(QMenu* display);
    void show();
    // Display > "Responses...": the Responses window, beside the main one; made when first asked for.
    void showResponses();

    MainWindow& window_;
    PanelContext& context_;
    std::vector<std::pair<QMenu*, MenuItem>> menus_;
    std::vector<std::pair<QAction*, MenuItem>> items_;
    QPointer<ResponsesWindow> responses_;
};

} // namespace aurivo
