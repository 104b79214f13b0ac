#pragma once
// Sizes that let a text show whole in the fonts in use. The designs' lengths in twips were measured
// against another system's fonts: they stay the least sizes, and a box, window or label is widened
// where its text needs more room here.

#include <QString>

class QGroupBox;
class QWidget;

namespace aurivo {

class TextFit {
  public:
    // The width a top-level window needs for a window manager's title bar to show `title` whole: the
    // title in the bold title font, beside the window's icon and its three buttons.
    static int windowWidthForTitle(const QString& title);
    // The width a group box needs to show its caption whole, with the style's frame around it.
    static int groupBoxWidth(const QGroupBox* box);
    // The width a widget needs to show `text` on one line in its own font, with `margin` pixels at
    // either side.
    static int textWidth(const QWidget* widget, const QString& text, int margin);
};

} // namespace aurivo
