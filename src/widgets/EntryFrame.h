#pragma once
// An entry frame shown over the panels of the main window (the sensitivity box, the port chooser, the
// filter and jitter box). The keyboard works it like a small dialog: Enter presses the focused button,
// or else the frame's OK; Escape acts as the frame's Cancel. A press inside it is not a click on the
// window behind it. It is hidden until its part opens it.

#include "widgets/PanelContext.h"

#include <QGroupBox>
#include <functional>

class QPushButton;
struct TwipsRect;

namespace aurivo {

class EntryFrame : public QGroupBox {
    Q_OBJECT
  public:
    EntryFrame(PanelContext& context, const QString& objectName, QWidget* parent);

    void setAccept(std::function<void()> accept) { accept_ = std::move(accept); }
    void setCancel(std::function<void()> cancel) { cancel_ = std::move(cancel); }
    // Tab and Shift+Tab go round the frame's own controls instead of leaving it (the port chooser, which
    // asks for a choice before anything else is done).
    void setKeepsFocus(bool keeps) { keepsFocus_ = keeps; }

    // Shows `caption` as the frame's title.
    void showCaption(const QString& caption);
    // Places the frame on its design rectangle, wider when its caption needs more room in the font in use.
    void placeWidened(QRect design);
    // A button of the frame at `geometry`; a click runs `onClick`.
    QPushButton* addButton(const char* objectName, const QString& caption, const QRect& geometry,
                           std::function<void()> onClick);

  protected:
    PanelContext& context() const { return context_; }
    QRect pxRect(const TwipsRect& r) const;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

  private:
    PanelContext& context_;
    std::function<void()> accept_;
    std::function<void()> cancel_;
    bool keepsFocus_ = false;
};

} // namespace aurivo
