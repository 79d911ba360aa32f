#include "Views/Navigation/SectionScreenFactory.h"

#include "Views/Focus/FocusBlockListView.h"
#include "Views/Goals/GoalListView.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Today/TodayView.h"

#include <QLabel>
#include <QVBoxLayout>

namespace orvana {

namespace {

// Sections still to come.
QWidget* placeholderPage(SidebarSection section) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addStretch();
    auto* heading = new QLabel(title(section));
    QFont font = heading->font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    heading->setFont(font);
    heading->setAlignment(Qt::AlignCenter);
    auto* note = new QLabel(QObject::tr("This section is on its way."));
    note->setAlignment(Qt::AlignCenter);
    note->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(heading);
    layout->addWidget(note);
    layout->addStretch();
    return page;
}

} // namespace

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
    case SidebarSection::overview:
        screen = placeholderPage(section);
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
