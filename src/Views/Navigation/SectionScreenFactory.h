#pragma once

#include "Views/Navigation/SidebarSection.h"

class QWidget;

namespace orvana {

class AppEnvironment;
class NavigationStack;

// Makes a section's screen, inside a navigation stack of its own. Called
// each time the section is selected, so a screen starts afresh (its day
// boundaries taken at that moment).
NavigationStack* makeSectionScreen(SidebarSection section, AppEnvironment& environment);

// The stack a screen or page lives in, or null.
NavigationStack* navigationStackOf(QWidget* widget);

} // namespace orvana
