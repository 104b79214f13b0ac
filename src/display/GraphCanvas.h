#pragma once
// The graph picture: a persistent image that keeps what was drawn, like a canvas. Coordinates are
// pixels; scaleWidth and scaleHeight are its client size. Setting a pixel and drawing a line share one
// current drawing position, so a trace is drawn point after point with lineTo.

#include "core/Colors.h"

#include <QImage>
#include <QRect>
#include <cstdint>
#include <utility>

namespace aurivo {

class GraphCanvas {
  public:
    explicit GraphCanvas(int width = 489, int height = 300, uint32_t backColor = colors::kBlack);

    int scaleWidth() const { return image_.width(); }
    int scaleHeight() const { return image_.height(); }

    // Changes the picture size, keeping what was drawn where it still fits (like a picture that keeps
    // its drawing); new area takes the background colour.
    void resize(int width, int height);
    // Clears to the background colour; the drawing position goes to (0, 0).
    void clear();
    // Sets one pixel and makes it the current drawing position. Points outside the picture are clipped.
    void setPixel(int x, int y, uint32_t colour);
    // Draws a one-pixel line from the current drawing position to (x, y), which becomes the new position.
    void lineTo(int x, int y, uint32_t colour);

    const QImage& image() const { return image_; }
    uint32_t pixelColour(int x, int y) const; // 0x00BBGGRR, for tests
    // Incremented on every change, so the widget knows when to repaint.
    uint64_t revision() const { return revision_; }
    // The area drawn on since the last call: the window repaints only that. (Asking changes nothing
    // of the picture.)
    QRect takeChangedArea() const { return std::exchange(changed_, QRect()); }

  private:
    QImage image_;
    uint32_t backColor_;
    int currentX_ = 0;
    int currentY_ = 0;
    uint64_t revision_ = 0;
    mutable QRect changed_;
};

} // namespace aurivo
