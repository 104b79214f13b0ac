#pragma once
// A countdown that every tick decrements while it is positive: a handler that wants the window to be
// arranged and shown before it goes on starts it and waits until it has run out.

namespace aurivo {

class TickCountdown {
  public:
    void start(int ticks) { remaining_ = ticks; }
    void tick() {
        if (remaining_ > 0) --remaining_;
    }
    int remaining() const { return remaining_; }
    bool expired() const { return remaining_ <= 0; }

  private:
    int remaining_ = 0;
};

} // namespace aurivo
