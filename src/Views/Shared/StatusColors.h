#pragma once

#include <QColor>
#include <QPalette>

namespace orvana {

// Text colours for warnings and for good news that stay readable on both
// light and dark window backgrounds.
QColor cautionColor(const QPalette& palette);
QColor successColor(const QPalette& palette);

} // namespace orvana
