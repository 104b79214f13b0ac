#include "widgets/LiveAnnouncer.h"

#include "app/SessionControl.h"
#include "core/Clock.h"
#include "layout/AccessibleTexts.h"

namespace aurivo {

void LiveAnnouncer::changed() {
    if (pace_.changed(clock_.steadyMilliseconds())) tellAll();
}

void LiveAnnouncer::tick() {
    if (pace_.due(clock_.steadyMilliseconds())) tellAll();
}

void LiveAnnouncer::tellAll() {
    sessionSeen_ = sessionSeen_ || sessions_.running();
    const QString stale = stopped() ? AccessibleTexts::kStopped : QString();
    for (const Teller& tell : tellers_)
        tell(stale);
}

bool LiveAnnouncer::stopped() const {
    return sessionSeen_ && !sessions_.running();
}

} // namespace aurivo
