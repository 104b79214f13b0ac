#pragma once
// A label of the main window drawn from its record: background colour, optional border, aligned text.
// Most labels only show something: a screen reader meets them as static text and Tab passes them by,
// while a mouse click still reaches clicked() (a click on a panel closes the entry box). A label made an
// action (the sensitivity and port number cells) is a button for the keyboard and assistive technology:
// it takes Tab focus, Space or Enter press it, and so does a screen reader's "press".
//
// What a screen reader calls the label is its accessible name when one is set (a value with its heading,
// "Res.: 464.5 kOhms", set at a pace the listener can follow), else its caption; its heading is the
// label that labels it.

#include <QPointer>
#include <QWidget>
#include <cstdint>

namespace aurivo {

class ModelLabel : public QWidget {
    Q_OBJECT
  public:
    explicit ModelLabel(QWidget* parent = nullptr);

    QString text() const { return text_; }
    // A caption change tells assistive technology only when the label has no accessible name of its own.
    void setText(const QString& text);
    void setBackColor(uint32_t colour);
    void setForeColor(uint32_t colour);
    void setBordered(bool bordered);
    void setAlignment(Qt::Alignment alignment);
    uint32_t backColor() const { return back_; }

    bool isAction() const { return action_; }
    void setAction(bool action);
    ModelLabel* heading() const { return heading_; }
    void setHeading(ModelLabel* heading) { heading_ = heading; }

  public slots:
    void click() { emit clicked(); }

  signals:
    void clicked();

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString text_;
    uint32_t back_ = 0x8000000F;
    uint32_t fore_ = 0x00000000;
    bool bordered_ = false;
    bool action_ = false;
    bool pressed_ = false;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    QPointer<ModelLabel> heading_;
};

} // namespace aurivo
