#include "Views/Shared/RowListModel.h"

#include <QDataStream>
#include <QHash>
#include <QIODevice>
#include <QMimeData>
#include <QSet>

namespace orvana {

namespace {

// Past this many moves a refresh is a reorder of the whole list, cheaper to
// announce as a reset than row by row.
constexpr int maxMovesPerRefresh = 64;

const QString internalMimeType = QStringLiteral("application/x-qabstractitemmodeldatalist");

} // namespace

RowListModel::RowListModel(QObject* parent) : QAbstractListModel(parent) {}

const ListRow* RowListModel::rowAt(int row) const {
    return row >= 0 && row < int(rows_.size()) ? &rows_[std::size_t(row)] : nullptr;
}

int RowListModel::rowOf(const QString& key) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].key == key)
            return int(i);
    }
    return -1;
}

void RowListModel::setRows(std::vector<ListRow> next) {
    QHash<QString, int> wanted;
    wanted.reserve(qsizetype(next.size()));
    for (std::size_t i = 0; i < next.size(); ++i)
        wanted.insert(next[i].key, int(i));
    // Keys name rows; should two rows share one (two records with one id, as
    // a damaged import may leave), nothing can be said row by row.
    if (std::size_t(wanted.size()) != next.size()) {
        beginResetModel();
        rows_ = std::move(next);
        endResetModel();
        return;
    }

    // Removals, from the back so positions stay valid, in contiguous runs.
    for (int i = int(rows_.size()) - 1; i >= 0;) {
        if (wanted.contains(rows_[std::size_t(i)].key)) {
            --i;
            continue;
        }
        int first = i;
        while (first > 0 && !wanted.contains(rows_[std::size_t(first - 1)].key))
            --first;
        beginRemoveRows({}, first, i);
        rows_.erase(rows_.begin() + first, rows_.begin() + i + 1);
        endRemoveRows();
        i = first - 1;
    }

    QSet<QString> present;
    present.reserve(qsizetype(rows_.size()));
    for (const ListRow& row : rows_)
        present.insert(row.key);
    std::vector<int> changed;
    int moves = 0;
    for (std::size_t i = 0; i < next.size(); ++i) {
        const int at = int(i);
        if (at < int(rows_.size()) && rows_[i].key == next[i].key) {
            if (!(rows_[i] == next[i])) {
                rows_[i] = std::move(next[i]);
                changed.push_back(at);
            }
            continue;
        }
        if (!present.contains(next[i].key)) {
            // New rows in a run go in with one announcement (a whole list on
            // first show).
            std::size_t end = i + 1;
            while (end < next.size() && !present.contains(next[end].key))
                ++end;
            beginInsertRows({}, at, at + int(end - i) - 1);
            rows_.insert(rows_.begin() + at, std::make_move_iterator(next.begin() + qsizetype(i)),
                         std::make_move_iterator(next.begin() + qsizetype(end)));
            endInsertRows();
            i = end - 1;
            continue;
        }
        int from = -1;
        for (std::size_t j = i + 1; j < rows_.size(); ++j) {
            if (rows_[j].key == next[i].key) {
                from = int(j);
                break;
            }
        }
        // A wholesale reorder is cheaper announced as a reset than row by
        // row; the rows before i already are as wanted.
        if (from < 0 || ++moves > maxMovesPerRefresh) {
            beginResetModel();
            rows_.resize(i);
            rows_.insert(rows_.end(), std::make_move_iterator(next.begin() + qsizetype(i)),
                         std::make_move_iterator(next.end()));
            endResetModel();
            return;
        }
        beginMoveRows({}, from, from, {}, at);
        ListRow moved = std::move(rows_[std::size_t(from)]);
        rows_.erase(rows_.begin() + from);
        rows_.insert(rows_.begin() + at, std::move(moved));
        endMoveRows();
        if (!(rows_[i] == next[i])) {
            rows_[i] = std::move(next[i]);
            changed.push_back(at);
        }
    }
    // Changes in contiguous runs.
    for (std::size_t k = 0; k < changed.size();) {
        std::size_t end = k;
        while (end + 1 < changed.size() && changed[end + 1] == changed[end] + 1)
            ++end;
        emit dataChanged(index(changed[k]), index(changed[end]));
        k = end + 1;
    }
}

int RowListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

QVariant RowListModel::data(const QModelIndex& index, int role) const {
    const ListRow* row = index.isValid() ? rowAt(index.row()) : nullptr;
    if (!row)
        return {};
    if (row->derived)
        return derive ? derive(*row, role) : QVariant();
    if (role == Qt::AccessibleTextRole && !row->data.contains(role))
        return row->data.value(Qt::DisplayRole);
    return row->data.value(role);
}

bool RowListModel::setData(const QModelIndex& index, const QVariant&, int role) {
    const ListRow* row = index.isValid() ? rowAt(index.row()) : nullptr;
    if (!row || role != Qt::CheckStateRole || !(row->flags & Qt::ItemIsUserCheckable) || !onToggle)
        return false;
    // The row itself changes when the screen model's queries catch up.
    onToggle(index.row());
    return true;
}

Qt::ItemFlags RowListModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::ItemIsDropEnabled; // drops go between rows, never onto one
    const ListRow* row = rowAt(index.row());
    return row ? row->flags : Qt::NoItemFlags;
}

bool RowListModel::moveRows(const QModelIndex& sourceParent, int source, int count,
                            const QModelIndex& destinationParent, int destination) {
    if (sourceParent.isValid() || destinationParent.isValid() || count < 1 || source < 0 ||
        source + count > int(rows_.size()) || destination < 0 || destination > int(rows_.size()) ||
        (destination >= source && destination <= source + count))
        return false;
    if (!canMove || !canMove(source, count, destination))
        return false;
    beginMoveRows({}, source, source + count - 1, {}, destination);
    std::vector<ListRow> block(std::make_move_iterator(rows_.begin() + source),
                               std::make_move_iterator(rows_.begin() + source + count));
    rows_.erase(rows_.begin() + source, rows_.begin() + source + count);
    const int at = destination > source ? destination - count : destination;
    rows_.insert(rows_.begin() + at, std::make_move_iterator(block.begin()),
                 std::make_move_iterator(block.end()));
    endMoveRows();
    if (onMove)
        onMove(source, count, destination);
    return true;
}

Qt::DropActions RowListModel::supportedDropActions() const {
    return Qt::MoveAction;
}

QList<int> RowListModel::draggedRows(const QMimeData* data) const {
    QList<int> rows;
    if (!data || !data->hasFormat(internalMimeType))
        return rows;
    QByteArray encoded = data->data(internalMimeType);
    QDataStream stream(&encoded, QIODevice::ReadOnly);
    while (!stream.atEnd()) {
        int r = -1, c = -1;
        QMap<int, QVariant> values;
        stream >> r >> c >> values;
        if (stream.status() != QDataStream::Ok)
            break;
        if (!rows.contains(r))
            rows << r;
    }
    return rows;
}

bool RowListModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                   const QModelIndex& parent) const {
    if (action != Qt::MoveAction || parent.isValid() || !canMove)
        return false;
    const int destination = row < 0 ? int(rows_.size()) : row;
    const QList<int> dragged = draggedRows(data);
    if (dragged.isEmpty())
        return false;
    for (int source : dragged) {
        if (!canMove(source, 1, destination))
            return false;
    }
    return true;
}

bool RowListModel::dropMimeData(const QMimeData*, Qt::DropAction, int, int, const QModelIndex&) {
    // The list view moves rows itself through moveRows; anything else is refused.
    return false;
}

} // namespace orvana
