#pragma once

#include "Store/SyncState.h"
#include "Views/Shared/RowListModel.h"

#include <QObject>
#include <vector>

namespace orvana {

class AppEnvironment;

// The "Sync Conflicts" page without widgets: every field two devices changed
// to different values, newest first, with the record as the user knows it,
// the field in words, both values written out and which one stayed; "Use
// This Value" takes the one that lost instead (one undo step, sent at the
// next sync).
class SyncConflictsModel : public QObject {
    Q_OBJECT
public:
    enum Role {
        DetailRole = Qt::UserRole + 1, // QStringList: the lines under the record's name
    };

    explicit SyncConflictsModel(AppEnvironment& environment, QObject* parent = nullptr);

    RowListModel* list() const { return list_; }
    const std::vector<SyncConflictEntry>& conflicts() const { return conflicts_; }

    static QString title();
    static QString useButtonText();
    bool showsEmptyState() const { return conflicts_.empty(); }
    static QString emptyTitle();
    static QString emptySymbol();
    static QString emptyDescription();

    // The record's title (a week's dates), or that it is no longer here.
    QString recordName(EntityType type, const QUuid& record) const;
    // The field as a form labels it ("Target date").
    static QString fieldText(const QString& field);
    // A value as the export writes it (a one-element JSON array), in words:
    // dates as dates, yes/no as words, a goal by its title.
    QString valueText(const QString& field, const QByteArray& json) const;
    static QString keptText(bool thisDeviceLost);

    // The lost value can be taken while the record is still here.
    bool canUse(int row) const;
    // Takes the lost value of the row's conflict; false with problem() set
    // when that failed.
    bool useLostValue(int row);
    // Why the last "Use This Value" failed; empty when it did not.
    const QString& problem() const { return problem_; }

    // Reads the list again (the store saves on its own; a sync settles).
    void refresh();

signals:
    // After every refresh of the rows.
    void changed();
    // A conflict was settled here: the sync's counts are read again.
    void settled();

private:
    AppEnvironment& env_;
    RowListModel* list_;
    std::vector<SyncConflictEntry> conflicts_;
    QString problem_;
};

} // namespace orvana
