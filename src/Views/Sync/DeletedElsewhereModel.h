#pragma once

#include "Store/SyncState.h"
#include "Views/Shared/RowListModel.h"

#include <QObject>
#include <vector>

namespace orvana {

class AppEnvironment;

// The "Deleted on Another Device" page without widgets: the records a sync
// removed here in the last 30 days, newest first, each with what it was,
// when it went and how many records went with it; "Restore" brings one back
// with them (one undo step, sent again at the next sync).
class DeletedElsewhereModel : public QObject {
    Q_OBJECT
public:
    enum Role {
        DetailRole = Qt::UserRole + 1, // QStringList: the lines under the record's name
    };

    static constexpr Timestamp keptFor = 30 * 24 * 3600.0;

    explicit DeletedElsewhereModel(AppEnvironment& environment, QObject* parent = nullptr);

    RowListModel* list() const { return list_; }
    const std::vector<SyncDeletedRecord>& records() const { return records_; }

    static QString title();
    static QString restoreButtonText();
    bool showsEmptyState() const { return records_.empty(); }
    static QString emptyTitle();
    static QString emptySymbol();
    static QString emptyDescription();

    // "2 week items and 5 tasks went with it", empty when none did.
    static QString withItText(const std::vector<std::pair<EntityType, int>>& counts);

    // Restores the row's record; false with problem() set when that failed.
    bool restore(int row);
    // Why the last restore failed; empty when it did not.
    const QString& problem() const { return problem_; }

    // Reads the list again.
    void refresh();

signals:
    // After every refresh of the rows.
    void changed();
    // A record was restored here: the sync's counts are read again.
    void restored();

private:
    AppEnvironment& env_;
    RowListModel* list_;
    std::vector<SyncDeletedRecord> records_;
    QString problem_;
};

} // namespace orvana
