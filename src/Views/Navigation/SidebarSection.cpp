#include "Views/Navigation/SidebarSection.h"

#include <QCoreApplication>

namespace orvana {

QString rawValue(SidebarSection section) {
    switch (section) {
    case SidebarSection::today:
        return QStringLiteral("today");
    case SidebarSection::goals:
        return QStringLiteral("goals");
    case SidebarSection::weeks:
        return QStringLiteral("weeks");
    case SidebarSection::focusBlocks:
        return QStringLiteral("focusBlocks");
    case SidebarSection::overview:
        return QStringLiteral("overview");
    }
    return {};
}

QString title(SidebarSection section) {
    switch (section) {
    case SidebarSection::today:
        return QCoreApplication::translate("SidebarSection", "Today");
    case SidebarSection::goals:
        return QCoreApplication::translate("SidebarSection", "Goals");
    case SidebarSection::weeks:
        return QCoreApplication::translate("SidebarSection", "Weeks");
    case SidebarSection::focusBlocks:
        return QCoreApplication::translate("SidebarSection", "Focus Blocks");
    case SidebarSection::overview:
        return QCoreApplication::translate("SidebarSection", "Overview");
    }
    return {};
}

QString symbolName(SidebarSection section) {
    switch (section) {
    case SidebarSection::today:
        return QStringLiteral("sun.max");
    case SidebarSection::goals:
        return QStringLiteral("target");
    case SidebarSection::weeks:
        return QStringLiteral("calendar");
    case SidebarSection::focusBlocks:
        return QStringLiteral("repeat");
    case SidebarSection::overview:
        return QStringLiteral("chart.bar.xaxis");
    }
    return {};
}

} // namespace orvana
