#pragma once
// The small prompt that opens beside a new marker's line to rename it: it holds the marker's label,
// selected, and never blocks anything: the session records on, Enter or a click elsewhere keeps what was
// typed, Escape keeps the label as it was. Focus then goes back where it was.

#include <QLineEdit>
#include <QPointer>
#include <optional>

namespace aurivo {

class MarkerPrompt : public QLineEdit {
    Q_OBJECT
  public:
    explicit MarkerPrompt(QWidget* parent);
    // Opens for marker `index` with its label, its top left corner at `at` in the parent; a prompt still
    // open for another marker is closed first, keeping what was typed.
    void open(int index, const QString& label, QPoint at);
    // Closes the prompt keeping what was typed (the session is about to stop or restart).
    void commit() { finish(true); }

  signals:
    void renamed(int index, const QString& label);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void finish(bool keepTyped);

    std::optional<int> index_;
    QPointer<QWidget> returnFocus_;
};

} // namespace aurivo
