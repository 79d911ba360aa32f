#include "Views/Shared/StatusColors.h"

namespace orvana {

namespace {

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

} // namespace

QColor cautionColor(const QPalette& palette) {
    return isDark(palette) ? QColor(0xf5, 0xa6, 0x23) : QColor(0xa8, 0x4b, 0x00);
}

QColor successColor(const QPalette& palette) {
    return isDark(palette) ? QColor(0x4c, 0xc3, 0x6a) : QColor(0x1a, 0x7f, 0x37);
}

} // namespace orvana
