#pragma once
// The session comment box TxtSeshnComnts: its text (line breaks as CR LF) and whether it is locked
// (read-only while a replay is shown). The user types into it; the session start and stop, the replay
// and the file manager change it through these methods only.

#include "core/ChangeSignal.h"

#include <QString>

namespace aurivo {

class CommentBox {
  public:
    const QString& text() const { return text_; }
    bool locked() const { return locked_; }

    void setText(const QString& text) {
        if (text == text_) return;
        text_ = text;
        changed.notify();
    }
    void setLocked(bool locked) {
        if (locked == locked_) return;
        locked_ = locked;
        changed.notify();
    }

    ChangeSignal changed;

  private:
    QString text_ = QStringLiteral("Place session comments here.");
    bool locked_ = false;
};

} // namespace aurivo
