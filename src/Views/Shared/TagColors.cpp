#include "Views/Shared/TagColors.h"

#include "Models/Enums.h"

namespace orvana {

QColor tagColor(const QString& rawTag, const QPalette& palette, qreal neutralOpacity) {
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    const auto tag = goalColorTagFromRaw(rawTag);
    if (!tag) {
        QColor neutral = palette.color(QPalette::PlaceholderText);
        neutral.setAlphaF(float(neutralOpacity));
        return neutral;
    }
    // Lighter hues on dark backgrounds, deeper ones on light.
    switch (*tag) {
    case GoalColorTag::red:
        return dark ? QColor(0xff, 0x6b, 0x6b) : QColor(0xd0, 0x31, 0x2d);
    case GoalColorTag::orange:
        return dark ? QColor(0xff, 0xa2, 0x4c) : QColor(0xd4, 0x6b, 0x08);
    case GoalColorTag::yellow:
        return dark ? QColor(0xf5, 0xd0, 0x4c) : QColor(0xb0, 0x8a, 0x00);
    case GoalColorTag::green:
        return dark ? QColor(0x5c, 0xd6, 0x7d) : QColor(0x2b, 0x9a, 0x47);
    case GoalColorTag::blue:
        return dark ? QColor(0x5c, 0xa8, 0xff) : QColor(0x1f, 0x6f, 0xd1);
    case GoalColorTag::purple:
        return dark ? QColor(0xb4, 0x8c, 0xff) : QColor(0x7b, 0x4a, 0xd6);
    case GoalColorTag::pink:
        return dark ? QColor(0xff, 0x7e, 0xc0) : QColor(0xc7, 0x3a, 0x86);
    case GoalColorTag::gray:
        return dark ? QColor(0xa8, 0xaf, 0xb8) : QColor(0x6e, 0x76, 0x80);
    }
    return palette.color(QPalette::PlaceholderText);
}

} // namespace orvana
