#pragma once

#include <QString>

class QWidget;

namespace orvana::test {

// With ORVANA_SHOTS_DIR set (scripts/screenshots), saves `widget` as
// NAME-light.png and NAME-dark.png there, rendered with the Fusion style in a
// light and a dark palette. Does nothing otherwise.
void saveShots(QWidget* widget, const QString& name);
bool shotsWanted();

} // namespace orvana::test
