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
// Freedesktop icon name shown beside the title.
QString iconName(SidebarSection section);

} // namespace orvana
