#pragma once
// An entry frame shown over the panels of the main window (the sensitivity box, the port chooser, the
// filter and jitter box). The keyboard works it like a small dialog: Enter presses the focused button,
// or else the frame's OK; Escape acts as the frame's Cancel. A press inside it is not a click on the
// window behind it.

#include <QGroupBox>
#include <functional>

namespace aurivo {

class EntryFrame : public QGroupBox {
    Q_OBJECT
  public:
    explicit EntryFrame(QWidget* parent = nullptr);

    void setAccept(std::function<void()> accept) { accept_ = std::move(accept); }
    void setCancel(std::function<void()> cancel) { cancel_ = std::move(cancel); }
    // Tab and Shift+Tab go round the frame's own controls instead of leaving it (the port chooser, which
    // asks for a choice before anything else is done).
    void setKeepsFocus(bool keeps) { keepsFocus_ = keeps; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    std::function<void()> accept_;
    std::function<void()> cancel_;
    bool keepsFocus_ = false;
};

} // namespace aurivo
