#include "widgets/ChangeQueue.h"

#include <algorithm>
#include <utility>

namespace aurivo {

void ChangeQueue::follow(std::initializer_list<const ChangeSignal*> sources, std::function<void()> show,
                         AtStart atStart) {
    const size_t index = views_.size();
    views_.push_back(View{std::move(show), atStart == AtStart::Show, false});
    for (const ChangeSignal* source : sources)
        source->subscribe([this, index] { mark(index); });
}

void ChangeQueue::mark(size_t view) {
    views_[view].changed = true;
    // A change made while a handler waits (a pause lets window events run) shows without waiting for
    // the handler to end.
    if (posted_) return;
    posted_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            posted_ = false;
            if (!stopped_) flush();
        },
        Qt::QueuedConnection);
}

void ChangeQueue::flush() {
    const auto anyChanged = [this] {
        return std::any_of(views_.begin(), views_.end(), [](const View& v) { return v.changed; });
    };
    while (anyChanged()) {
        std::vector<bool> round(views_.size());
        for (size_t i = 0; i < views_.size(); ++i)
            round[i] = std::exchange(views_[i].changed, false);
        for (size_t i = 0; i < views_.size(); ++i)
            if (round[i]) views_[i].show();
    }
}

void ChangeQueue::showAll() {
    for (const View& view : views_)
        if (view.atStart) view.show();
}

} // namespace aurivo
