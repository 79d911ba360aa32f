#pragma once

#include <QString>
#include <array>

namespace orvana {

// The sections of the main window, in sidebar order.
enum class SidebarSection { today, goals, weeks, focusBlocks, overview };

inline constexpr std::array<SidebarSection, 5> allSidebarSections{
    SidebarSection::today, SidebarSection::goals, SidebarSection::weeks,
    SidebarSection::focusBlocks, SidebarSection::overview};

QString rawValue(SidebarSection section);
QString title(SidebarSection section);
// The symbol shown beside the title (see symbolIcon).
QString symbolName(SidebarSection section);

} // namespace orvana
