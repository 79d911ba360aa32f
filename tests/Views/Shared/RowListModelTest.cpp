#include "Views/Shared/RowListModel.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <gtest/gtest.h>

namespace {

using namespace orvana;

std::vector<ListRow> rowsOf(const QStringList& keys) {
    std::vector<ListRow> rows;
    for (const QString& key : keys) {
        ListRow r;
        r.key = key;
        r.data = {{Qt::DisplayRole, key}};
        rows.push_back(r);
    }
    return rows;
}

QStringList keysOf(const RowListModel& model) {
    QStringList keys;
    for (const ListRow& r : model.rows())
        keys << r.key;
    return keys;
}

TEST(RowListModel, EveryRefreshEndsAsGivenAndARowKeepsItsIndexThroughMoves) {
    RowListModel model;
    QAbstractItemModelTester tester(&model);
    model.setRows(rowsOf({"a", "b", "c", "d", "e"}));
    const QPersistentModelIndex d = model.index(3);
    // Removal, insertion, a move and a change in one refresh.
    auto next = rowsOf({"d", "x", "a", "c", "y"});
    next[3].data.insert(Qt::DisplayRole, QStringLiteral("c, renamed"));
    model.setRows(next);
    EXPECT_EQ(keysOf(model), (QStringList{"d", "x", "a", "c", "y"}));
    EXPECT_EQ(d.row(), 0) << "the selection and focus follow their row";
    EXPECT_EQ(model.rowAt(3)->data.value(Qt::DisplayRole).toString(), QStringLiteral("c, renamed"));

    // A wholesale reorder and rows that share a key (a damaged store) still
    // end as given.
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << QString::number(i);
    model.setRows(rowsOf(many));
    QStringList rotated = many.mid(1) + many.mid(0, 1);
    std::reverse(rotated.begin(), rotated.end());
    model.setRows(rowsOf(rotated));
    EXPECT_EQ(keysOf(model), rotated);
    model.setRows(rowsOf({"same", "other", "same"}));
    EXPECT_EQ(keysOf(model), (QStringList{"same", "other", "same"}));
}

} // namespace
