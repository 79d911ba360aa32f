#pragma once

#include <QAbstractListModel>
#include <QMap>
#include <QString>
#include <QVariant>
#include <array>
#include <functional>
#include <vector>

namespace orvana {

class Record;

// One row of a screen's list: what the views read, keyed by a stable
// identity so that a refresh can tell a changed row from a new one.
struct ListRow {
    QString key;  // unique within the list, stable across refreshes
    int kind = 0; // the screen's own row kinds (header, task, ...)
    Record* record = nullptr;
    QMap<int, QVariant> data; // by role
    Qt::ItemFlags flags = Qt::ItemIsEnabled;
    // Rows of long lists leave `data` empty and have the list model's
    // `derive` answer from their record when asked; `version` then stands for
    // what they show (equal versions, equal values), so that a refresh still
    // tells a changed row.
    bool derived = false;
    std::array<quint64, 2> version{};

    friend bool operator==(const ListRow&, const ListRow&) = default;
};

// The list model every list screen uses. The screen model computes its rows
// from its live queries and hands them over whole; this model works out what
// changed and reports it row by row (removals, moves, inserts, changes; a
// reset only for a wholesale reorder), so a view keeps its selection, scroll
// position and keyboard focus across edits, undo and autosave.
//
// Editing goes back to the screen model: a check box toggle calls onToggle,
// a drag (moveRows) calls onMove once the rows have moved here, and canMove
// decides which drops are allowed.
class RowListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit RowListModel(QObject* parent = nullptr);

    void setRows(std::vector<ListRow> rows);
    const std::vector<ListRow>& rows() const { return rows_; }
    const ListRow* rowAt(int row) const;
    int rowOf(const QString& key) const; // -1 when absent

    // Moving `count` rows from `source` to before `destination` (a row
    // position before the move, as QAbstractItemModel::moveRows counts).
    std::function<bool(int source, int count, int destination)> canMove;
    std::function<void(int source, int count, int destination)> onMove;
    std::function<void(int row)> onToggle;
    // The values of derived rows, by role.
    std::function<QVariant(const ListRow& row, int role)> derive;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                  const QModelIndex& destinationParent, int destinationChild) override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    // Rows of an internal drag, from the model's own mime data.
    QList<int> draggedRows(const QMimeData* data) const;

private:
    std::vector<ListRow> rows_;
};

} // namespace orvana
