#include "Models/Enums.h"

namespace orvana {

namespace {

template <class E, std::size_t N>
std::optional<E> fromRaw(QStringView raw, const std::array<const char16_t*, N>& names) {
    for (std::size_t i = 0; i < N; ++i) {
        if (raw == QStringView(names[i]))
            return static_cast<E>(i);
    }
    return std::nullopt;
}

constexpr std::array<const char16_t*, 3> statusNames{u"active", u"completed", u"archived"};
constexpr std::array<const char16_t*, 8> colorNames{u"red",  u"orange", u"yellow", u"green",
                                                    u"blue", u"purple", u"pink",   u"gray"};
constexpr std::array<const char16_t*, 3> kindNames{u"work", u"shortBreak", u"longBreak"};

} // namespace

QString rawValue(GoalStatus status) {
    return QString::fromUtf16(statusNames[static_cast<std::size_t>(status)]);
}

std::optional<GoalStatus> goalStatusFromRaw(QStringView raw) {
    return fromRaw<GoalStatus>(raw, statusNames);
}

QString rawValue(GoalColorTag tag) {
    return QString::fromUtf16(colorNames[static_cast<std::size_t>(tag)]);
}

std::optional<GoalColorTag> goalColorTagFromRaw(QStringView raw) {
    return fromRaw<GoalColorTag>(raw, colorNames);
}

QString rawValue(FocusSessionKind kind) {
    return QString::fromUtf16(kindNames[static_cast<std::size_t>(kind)]);
}

std::optional<FocusSessionKind> focusSessionKindFromRaw(QStringView raw) {
    return fromRaw<FocusSessionKind>(raw, kindNames);
}

} // namespace orvana
