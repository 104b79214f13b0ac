#pragma once
// Collects which views of the main window have something new to show and updates them together, once
// per user action or once the event loop runs again (many packets of one tick change the readings many
// times). A view follows the change signals of the parts it shows; the views are updated in the order
// they were added, and a change made while they are updated is shown in a further round.

#include "core/ChangeSignal.h"

#include <QObject>
#include <functional>
#include <initializer_list>
#include <vector>

namespace aurivo {

class ChangeQueue : public QObject {
    Q_OBJECT
  public:
    // Whether a view's update also runs when the window first shows the parts' state.
    enum class AtStart { Show, Skip };

    explicit ChangeQueue(QObject* parent = nullptr) : QObject(parent) {}

    // Adds a view's update, run after any of `sources` has fired.
    void follow(std::initializer_list<const ChangeSignal*> sources, std::function<void()> show,
                AtStart atStart = AtStart::Show);
    // Runs the updates of every view whose parts changed.
    void flush();
    // Runs every view's update that shows the parts' state at start.
    void showAll();
    // The window is closing: nothing is updated any more.
    void stop() { stopped_ = true; }

  private:
    struct View {
        std::function<void()> show;
        bool atStart = true;
        bool changed = false;
    };
    void mark(size_t view);

    std::vector<View> views_;
    bool posted_ = false;
    bool stopped_ = false;
};

} // namespace aurivo
