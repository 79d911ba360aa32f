#include "Views/Navigation/SectionScreenFactory.h"

#include "Views/Focus/FocusBlockListView.h"
#include "Views/Goals/GoalListView.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Overview/OverviewView.h"
#include "Views/Today/TodayView.h"
#include "Views/Weeks/WeekListView.h"

namespace orvana {

NavigationStack* makeSectionScreen(SidebarSection section, AppEnvironment& env) {
    QWidget* screen = nullptr;
    switch (section) {
    case SidebarSection::today:
        screen = new TodayView(env);
        break;
    case SidebarSection::focusBlocks:
        screen = new FocusBlockListView(env);
        break;
    case SidebarSection::goals:
        screen = new GoalListView(env);
        break;
    case SidebarSection::weeks:
        screen = new WeekListView(env);
        break;
    case SidebarSection::overview:
        screen = new OverviewView(env);
        break;
    }
    screen->setObjectName(rawValue(section));
    return new NavigationStack(screen);
}

NavigationStack* navigationStackOf(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (auto* stack = qobject_cast<NavigationStack*>(w))
            return stack;
    }
    return nullptr;
}

} // namespace orvana
