#pragma once

#include "Views/Goals/GoalLabels.h"
#include "Views/Shared/Badge.h"

#include <QColor>
#include <QPalette>

namespace orvana {

// The colour of a target badge: red when overdue, orange within a week,
// the secondary text colour beyond (the selection's text colour on a
// selected row).
QColor targetBadgeColor(TargetBadge::Tone tone, const QPalette& palette, bool selected = false);

} // namespace orvana
