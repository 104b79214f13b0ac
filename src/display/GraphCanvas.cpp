#include "display/GraphCanvas.h"

#include "app/Colors.h"

#include <QPainter>
#include <algorithm>

GraphCanvas::GraphCanvas(int width, int height, uint32_t backColor)
    : image_(std::max(1, width), std::max(1, height), QImage::Format_RGB32), backColor_(backColor) {
    Cls();
}

void GraphCanvas::Resize(int width, int height) {
    width = std::max(1, width);
    height = std::max(1, height);
    if (width == image_.width() && height == image_.height()) return;
    QImage resized(width, height, QImage::Format_RGB32);
    resized.fill(Colors::ToRgb(backColor_));
    QPainter painter(&resized);
    painter.drawImage(0, 0, image_);
    painter.end();
    image_ = std::move(resized);
    ++revision_;
}

void GraphCanvas::Cls() {
    image_.fill(Colors::ToRgb(backColor_));
    currentX_ = 0;
    currentY_ = 0;
    ++revision_;
}

void GraphCanvas::PSet(int x, int y, uint32_t colour) {
    currentX_ = x;
    currentY_ = y;
    if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height())
        image_.setPixel(x, y, Colors::ToRgb(colour));
    ++revision_;
}

void GraphCanvas::LineTo(int x, int y, uint32_t colour) {
    // Far-off coordinates (an off-scale point) are clamped before drawing so the painter never sees
    // numbers near the integer limits; the clipped line still leaves the picture in the right direction.
    const auto clampCoord = [](int v) { return std::clamp(v, -100000, 100000); };
    QPainter painter(&image_);
    painter.setPen(QPen(Colors::ToQColor(colour), drawWidth_));
    painter.drawLine(clampCoord(currentX_), clampCoord(currentY_), clampCoord(x), clampCoord(y));
    currentX_ = x;
    currentY_ = y;
    ++revision_;
}

uint32_t GraphCanvas::PixelColour(int x, int y) const {
    const QRgb rgb = image_.pixel(x, y);
    return uint32_t(qRed(rgb)) | (uint32_t(qGreen(rgb)) << 8) | (uint32_t(qBlue(rgb)) << 16);
}
