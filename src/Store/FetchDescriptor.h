#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace orvana {

enum class SortOrder { forward, reverse };

// One sort key: a three-way comparison of two records on a field.
template <class T> struct SortDescriptor {
    std::function<int(const T&, const T&)> compare;
    SortOrder order = SortOrder::forward;

    // Sort by the value a getter returns (anything with operator<).
    template <class Getter>
    static SortDescriptor by(Getter getter, SortOrder order = SortOrder::forward) {
        return {[getter](const T& a, const T& b) {
                    const auto& x = std::invoke(getter, a);
                    const auto& y = std::invoke(getter, b);
                    return x < y ? -1 : (y < x ? 1 : 0);
                },
                order};
    }
};

// What to fetch: records of T matching the predicate (all when empty), in the
// order of the sort keys (ties keep insertion order), at most `limit` of them.
template <class T> struct FetchDescriptor {
    std::function<bool(const T&)> predicate;
    std::vector<SortDescriptor<T>> sortBy;
    std::optional<std::size_t> limit;
    // Only records whose date() lies in [from, to) (types with a date: day
    // tasks, found through the context's date index, and trail entries).
    // The predicate still applies.
    std::optional<std::pair<double, double>> dateRange;

    static FetchDescriptor where(std::function<bool(const T&)> predicate) {
        FetchDescriptor d;
        d.predicate = std::move(predicate);
        return d;
    }
    FetchDescriptor& sortedBy(SortDescriptor<T> key) {
        sortBy.push_back(std::move(key));
        return *this;
    }
    FetchDescriptor& onDates(double from, double to) requires requires(const T& t) { t.date(); }
    {
        dateRange = std::make_pair(from, to);
        return *this;
    }
    FetchDescriptor& limitedTo(std::size_t count) {
        limit = count;
        return *this;
    }
};

} // namespace orvana
