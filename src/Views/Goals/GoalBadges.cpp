#include "Views/Goals/GoalBadges.h"

#include "Views/Shared/TagColors.h"

namespace orvana {

QColor targetBadgeColor(TargetBadge::Tone tone, const QPalette& palette, bool selected) {
    if (selected)
        return palette.color(QPalette::HighlightedText);
    switch (tone) {
    case TargetBadge::Tone::overdue:
        return tagColor(QStringLiteral("red"), palette);
    case TargetBadge::Tone::soon:
        return tagColor(QStringLiteral("orange"), palette);
    case TargetBadge::Tone::later:
        break;
    }
    return palette.color(QPalette::PlaceholderText);
}

} // namespace orvana
