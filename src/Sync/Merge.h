#pragma once

#include "Core/Timestamp.h"
#include "Models/ExportRecords.h"

#include <QJsonValue>
#include <QString>
#include <optional>
#include <vector>

namespace orvana::sync {

// A field both devices changed, to different values. The later edit's value
// stays; the other is kept so that the user can take it instead.
struct Conflict {
    QString field;   // the field's name as the export document has it ("title")
    QJsonValue kept; // times as seconds since 1970, ids as text, nothing as null
    QJsonValue lost;
    bool thisDeviceLost = false;
    friend bool operator==(const Conflict&, const Conflict&) = default;
};

template <class R> struct Merged {
    R value;
    std::vector<Conflict> conflicts;
};

// A record merged field by field against `base`, the copy both sides last
// agreed on (none when each side made it on its own: then every difference
// is a conflict). A field one side changed takes that side's value; a field
// both changed takes the later edit's (`localAt` against `remoteAt`, whole
// seconds; on a tie the greater value, so that every device decides alike).
// The id and the creation time are the record's identity: they stay local.
Merged<GoalExport> merge(const std::optional<GoalExport>& base, const GoalExport& local,
                         Timestamp localAt, const GoalExport& remote, Timestamp remoteAt);
Merged<WeekExport> merge(const std::optional<WeekExport>& base, const WeekExport& local,
                         Timestamp localAt, const WeekExport& remote, Timestamp remoteAt);
Merged<WeekItemExport> merge(const std::optional<WeekItemExport>& base, const WeekItemExport& local,
                             Timestamp localAt, const WeekItemExport& remote, Timestamp remoteAt);
Merged<DayTaskExport> merge(const std::optional<DayTaskExport>& base, const DayTaskExport& local,
                            Timestamp localAt, const DayTaskExport& remote, Timestamp remoteAt);
Merged<FocusBlockTemplateExport> merge(const std::optional<FocusBlockTemplateExport>& base,
                                       const FocusBlockTemplateExport& local, Timestamp localAt,
                                       const FocusBlockTemplateExport& remote, Timestamp remoteAt);

} // namespace orvana::sync
