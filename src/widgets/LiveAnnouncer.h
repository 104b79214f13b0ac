#pragma once
// Tells assistive technology the live values of the window (the readings, the lamps and the bar, the
// session clock, the graph), at most about once a second: each panel that shows some of them adds a
// teller, and the tellers are asked in the order they were added. The values of a stopped session stay
// on show until the next one starts; they are told as such.

#include "layout/LiveThrottle.h"

#include <QString>
#include <functional>
#include <vector>

namespace aurivo {

class Clock;
class SessionControl;

class LiveAnnouncer {
  public:
    // Shows a panel's live values on its widgets' accessible names; `stale` is said after values of a
    // stopped session (empty while one runs, or before any has run).
    using Teller = std::function<void(const QString& stale)>;

    LiveAnnouncer(const Clock& clock, const SessionControl& sessions) : clock_(clock), sessions_(sessions) {}

    void add(Teller teller) { tellers_.push_back(std::move(teller)); }
    // One of the live values may have changed: told now, or when the pace allows.
    void changed();
    // Asked every tick: tells a change held back until now.
    void tick();
    // Tells every live value now.
    void tellAll();
    // The next change is told at once.
    void restart() { pace_ = LiveThrottle(); }
    // A session has run since start-up and is stopped: the values on show are those of that session.
    bool stopped() const;

  private:
    const Clock& clock_;
    const SessionControl& sessions_;
    std::vector<Teller> tellers_;
    LiveThrottle pace_;
    bool sessionSeen_ = false; // a session has run since start-up
};

} // namespace aurivo
