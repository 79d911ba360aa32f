#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace orvana {

enum class GoalStatus { active, completed, archived };

QString rawValue(GoalStatus status);
// Absent for any text that is not one of the raw strings.
std::optional<GoalStatus> goalStatusFromRaw(QStringView raw);

enum class GoalColorTag { red, orange, yellow, green, blue, purple, pink, gray };

inline constexpr std::array<GoalColorTag, 8> allGoalColorTags{
    GoalColorTag::red,  GoalColorTag::orange, GoalColorTag::yellow, GoalColorTag::green,
    GoalColorTag::blue, GoalColorTag::purple, GoalColorTag::pink,   GoalColorTag::gray};

QString rawValue(GoalColorTag tag);
std::optional<GoalColorTag> goalColorTagFromRaw(QStringView raw);

enum class FocusSessionKind { work, shortBreak, longBreak };

QString rawValue(FocusSessionKind kind);
std::optional<FocusSessionKind> focusSessionKindFromRaw(QStringView raw);

} // namespace orvana
