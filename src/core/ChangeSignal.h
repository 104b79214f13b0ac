#pragma once
// A small observer: a part notifies its subscribers when what it shows has changed, and the window
// updates only the widgets of that part. Subscribers are called in the order they subscribed.

#include <functional>
#include <utility>
#include <vector>

namespace aurivo {

class ChangeSignal {
  public:
    // Following a part does not change what it shows, so a read-only view of the part can be followed.
    void subscribe(std::function<void()> callback) const { callbacks_.push_back(std::move(callback)); }
    void notify() const {
        for (const auto& callback : callbacks_)
            callback();
    }

  private:
    mutable std::vector<std::function<void()>> callbacks_;
};

} // namespace aurivo
