#pragma once
// A label of the main window drawn from its record: background colour, optional border, aligned text.
// It is a button underneath, so a click, the keyboard (Space) and a screen reader's "press" all reach
// the same handler through clicked().

#include <QAbstractButton>
#include <cstdint>

namespace aurivo {

class ModelLabel : public QAbstractButton {
    Q_OBJECT
  public:
    explicit ModelLabel(QWidget* parent = nullptr);

    void setBackColor(uint32_t colour);
    void setForeColor(uint32_t colour);
    void setBordered(bool bordered);
    void setAlignment(Qt::Alignment alignment);
    uint32_t backColor() const { return back_; }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    uint32_t back_ = 0x8000000F;
    uint32_t fore_ = 0x00000000;
    bool bordered_ = false;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

} // namespace aurivo
