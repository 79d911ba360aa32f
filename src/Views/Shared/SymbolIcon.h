#pragma once

#include <QIcon>
#include <QString>

namespace orvana {

// The icon for one of the app's symbol names ("sun.max", "target",
// "calendar", "repeat", "chart.bar.xaxis", "sidebar.left",
// "checkmark.circle.fill", "sparkles", "exclamationmark.triangle.fill", "timer", "trash",
// "plus", "pause.fill", "play.fill", "chevron.left"): the desktop theme's icon
// where the theme has one, else the bundled drawing, so every icon shows even without an icon
// theme.
QIcon symbolIcon(const QString& symbol);

} // namespace orvana
