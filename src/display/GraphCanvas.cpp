#include "display/GraphCanvas.h"

#include "core/Colors.h"

#include <QPainter>
#include <algorithm>

namespace aurivo {

GraphCanvas::GraphCanvas(int width, int height, uint32_t backColor)
    : image_(std::max(1, width), std::max(1, height), QImage::Format_RGB32), backColor_(backColor) {
    clear();
}

void GraphCanvas::resize(int width, int height) {
    width = std::max(1, width);
    height = std::max(1, height);
    if (width == image_.width() && height == image_.height()) return;
    QImage resized(width, height, QImage::Format_RGB32);
    resized.fill(colors::toRgb(backColor_));
    QPainter painter(&resized);
    painter.drawImage(0, 0, image_);
    painter.end();
    image_ = std::move(resized);
    changed_ = image_.rect();
    ++revision_;
}

void GraphCanvas::clear() {
    image_.fill(colors::toRgb(backColor_));
    currentX_ = 0;
    currentY_ = 0;
    changed_ = image_.rect();
    ++revision_;
}

void GraphCanvas::setPixel(int x, int y, uint32_t colour) {
    currentX_ = x;
    currentY_ = y;
    if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height()) {
        image_.setPixel(x, y, colors::toRgb(colour));
        changed_ |= QRect(x, y, 1, 1);
    }
    ++revision_;
}

namespace {
// Cuts the line (x0,y0)-(x1,y1) to the rectangle 0..w-1 x 0..h-1; false when it misses it.
bool clipLine(double& x0, double& y0, double& x1, double& y1, double w, double h) {
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0, w - 1 - x0, y0, h - 1 - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = ax;
    y0 = ay;
    return true;
}
} // namespace

void GraphCanvas::lineTo(int x, int y, uint32_t colour) {
    double x0 = currentX_, y0 = currentY_, x1 = x, y1 = y;
    currentX_ = x;
    currentY_ = y;
    ++revision_;
    // Lines are drawn straight into the image (Bresenham), after cutting them to the picture,
    // so a line to a point far off the picture costs no more than one across it.
    if (!clipLine(x0, y0, x1, y1, image_.width(), image_.height())) return;
    int ax = int(std::lround(x0)), ay = int(std::lround(y0));
    const int bx = int(std::lround(x1)), by = int(std::lround(y1));
    const QRgb rgb = colors::toRgb(colour);
    changed_ |=
        QRect(QPoint(std::min(ax, bx), std::min(ay, by)), QPoint(std::max(ax, bx), std::max(ay, by))) &
        image_.rect();
    const int dx = std::abs(bx - ax), sx = ax < bx ? 1 : -1;
    const int dy = -std::abs(by - ay), sy = ay < by ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        if (ax >= 0 && ay >= 0 && ax < image_.width() && ay < image_.height())
            reinterpret_cast<QRgb*>(image_.scanLine(ay))[ax] = rgb;
        if (ax == bx && ay == by) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            ax += sx;
        }
        if (e2 <= dx) {
            err += dx;
            ay += sy;
        }
    }
}

uint32_t GraphCanvas::pixelColour(int x, int y) const {
    const QRgb rgb = image_.pixel(x, y);
    return uint32_t(qRed(rgb)) | (uint32_t(qGreen(rgb)) << 8) | (uint32_t(qBlue(rgb)) << 16);
}

} // namespace aurivo
