#include "widgets/TextFit.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGroupBox>

namespace aurivo {

int TextFit::windowWidthForTitle(const QString& title) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setBold(true);
    const QFontMetrics metrics(font);
    // The icon and each button of a title bar are about as wide as the bar is high.
    const int square = metrics.height() + 8;
    return metrics.horizontalAdvance(title) + 4 * square + 2 * metrics.averageCharWidth();
}

int TextFit::groupBoxWidth(const QGroupBox* box) {
    return box->minimumSizeHint().width();
}

int TextFit::textWidth(const QWidget* widget, const QString& text, int margin) {
    return widget->fontMetrics().horizontalAdvance(text) + 2 * margin;
}

} // namespace aurivo
