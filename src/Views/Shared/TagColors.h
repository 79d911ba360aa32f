#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

namespace orvana {

// The colour of a goal's colour tag, readable on the palette's window
// background (light or dark). A missing or unknown tag gives the neutral
// mark: the secondary text colour at `neutralOpacity`.
QColor tagColor(const QString& rawTag, const QPalette& palette, qreal neutralOpacity = 0.45);

} // namespace orvana
