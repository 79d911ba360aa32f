#include "Sync/Merge.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>
#include <tuple>

namespace orvana::sync {

namespace {

template <class R, class T> struct Field {
    const char* name;
    T R::*member;
};

template <class R, class T> constexpr Field<R, T> field(const char* name, T R::*member) {
    return {name, member};
}

// The fields that merge, per record type; the id and creation time do not.
constexpr auto fieldsOf(const GoalExport*) {
    using R = GoalExport;
    return std::tuple{
        field("title", &R::title),           field("goalDescription", &R::goalDescription),
        field("targetDate", &R::targetDate), field("status", &R::status),
        field("colorTag", &R::colorTag),     field("sortOrder", &R::sortOrder)};
}
constexpr auto fieldsOf(const WeekExport*) {
    using R = WeekExport;
    return std::tuple{field("startDate", &R::startDate), field("endDate", &R::endDate),
                      field("intention", &R::intention), field("reflection", &R::reflection),
                      field("ritualCompletedAt", &R::ritualCompletedAt)};
}
constexpr auto fieldsOf(const WeekItemExport*) {
    using R = WeekItemExport;
    return std::tuple{field("title", &R::title),           field("notes", &R::notes),
                      field("isComplete", &R::isComplete), field("sortOrder", &R::sortOrder),
                      field("weekID", &R::weekID),         field("goalID", &R::goalID)};
}
constexpr auto fieldsOf(const DayTaskExport*) {
    using R = DayTaskExport;
    return std::tuple{field("title", &R::title),
                      field("notes", &R::notes),
                      field("date", &R::date),
                      field("isComplete", &R::isComplete),
                      field("isTodaysOneThing", &R::isTodaysOneThing),
                      field("sortOrder", &R::sortOrder),
                      field("sourceTemplateID", &R::sourceTemplateID),
                      field("weekItemID", &R::weekItemID),
                      field("goalID", &R::goalID),
                      field("reminderAt", &R::reminderAt)};
}
constexpr auto fieldsOf(const FocusBlockTemplateExport*) {
    using R = FocusBlockTemplateExport;
    return std::tuple{
        field("title", &R::title),       field("isActive", &R::isActive),
        field("weekdays", &R::weekdays), field("hour", &R::hour),
        field("minute", &R::minute),     field("durationMinutes", &R::durationMinutes),
        field("goalID", &R::goalID)};
}

QJsonValue json(const QString& v) {
    return v;
}
QJsonValue json(bool v) {
    return v;
}
QJsonValue json(qint64 v) {
    return double(v);
}
QJsonValue json(double v) {
    return v;
}
QJsonValue json(const QUuid& v) {
    return v.toString(QUuid::WithoutBraces);
}
QJsonValue json(const std::vector<qint64>& v) {
    QJsonArray a;
    for (qint64 n : v)
        a.append(double(n));
    return a;
}
template <class T> QJsonValue json(const std::optional<T>& v) {
    return v ? json(*v) : QJsonValue(QJsonValue::Null);
}

// An order every device agrees on, for edits made in the same second.
QByteArray orderText(const QJsonValue& v) {
    return QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
}

template <class R>
Merged<R> mergeFields(const std::optional<R>& base, const R& local, Timestamp localAt,
                      const R& remote, Timestamp remoteAt) {
    Merged<R> out{local, {}};
    const double localSecond = std::floor(localAt);
    const double remoteSecond = std::floor(remoteAt);
    std::apply(
        [&](const auto&... f) {
            auto one = [&](const auto& f) {
                const auto& l = local.*(f.member);
                const auto& r = remote.*(f.member);
                if (l == r || (base && r == (*base).*(f.member)))
                    return; // same, or only this device changed it
                if (base && l == (*base).*(f.member)) {
                    out.value.*(f.member) = r; // only the other device changed it
                    return;
                }
                const QJsonValue lj = json(l);
                const QJsonValue rj = json(r);
                const bool remoteWins =
                    remoteSecond > localSecond ||
                    (remoteSecond == localSecond && orderText(rj) > orderText(lj));
                if (remoteWins)
                    out.value.*(f.member) = r;
                out.conflicts.push_back(Conflict{QString::fromLatin1(f.name), remoteWins ? rj : lj,
                                                 remoteWins ? lj : rj, remoteWins});
            };
            (one(f), ...);
        },
        fieldsOf(static_cast<const R*>(nullptr)));
    return out;
}

} // namespace

Merged<GoalExport> merge(const std::optional<GoalExport>& base, const GoalExport& local,
                         Timestamp localAt, const GoalExport& remote, Timestamp remoteAt) {
    return mergeFields(base, local, localAt, remote, remoteAt);
}
Merged<WeekExport> merge(const std::optional<WeekExport>& base, const WeekExport& local,
                         Timestamp localAt, const WeekExport& remote, Timestamp remoteAt) {
    return mergeFields(base, local, localAt, remote, remoteAt);
}
Merged<WeekItemExport> merge(const std::optional<WeekItemExport>& base, const WeekItemExport& local,
                             Timestamp localAt, const WeekItemExport& remote, Timestamp remoteAt) {
    return mergeFields(base, local, localAt, remote, remoteAt);
}
Merged<DayTaskExport> merge(const std::optional<DayTaskExport>& base, const DayTaskExport& local,
                            Timestamp localAt, const DayTaskExport& remote, Timestamp remoteAt) {
    return mergeFields(base, local, localAt, remote, remoteAt);
}
Merged<FocusBlockTemplateExport> merge(const std::optional<FocusBlockTemplateExport>& base,
                                       const FocusBlockTemplateExport& local, Timestamp localAt,
                                       const FocusBlockTemplateExport& remote, Timestamp remoteAt) {
    return mergeFields(base, local, localAt, remote, remoteAt);
}

} // namespace orvana::sync
