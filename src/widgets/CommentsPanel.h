#pragma once
// The session comments panel fraSeshnComnts with its text box TxtSeshnComnts. What is typed goes to the
// comment box of the session; the text shown follows it, and the box is read-only while the comments
// are locked. Tab and Shift+Tab move the focus on, as everywhere else; Ctrl+Tab types a tab.

#include "widgets/PanelFrame.h"

class QPlainTextEdit;

namespace aurivo {

class CommentsPanel : public PanelFrame {
    Q_OBJECT
  public:
    CommentsPanel(PanelContext& context, QWidget* parent);

    QPlainTextEdit* textBox() const { return box_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void showLayout();
    void showComments();

    QPlainTextEdit* box_ = nullptr;
    bool syncing_ = false; // the text box is being set from the comments
};

} // namespace aurivo
