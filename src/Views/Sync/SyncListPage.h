#pragma once

#include <QStyledItemDelegate>
#include <QWidget>
#include <functional>

class QAction;
class QLabel;
class QPushButton;

namespace orvana {

class GuidedEmptyState;
class RecordListView;
class RowListModel;

// Paints a sync list's row: the record's name, and beneath it the lines of
// its detail role in the secondary colour.
class SyncRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    SyncRowDelegate(int detailRole, QObject* parent)
        : QStyledItemDelegate(parent), detailRole_(detailRole) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int detailRole_;
};

// What both sync pages share: the title, the list of the model's rows (or
// an empty state), the one action on the current row as a button beneath
// the list and as a row action in the list's menu, and the last failure in
// words.
class SyncListPage : public QWidget {
    Q_OBJECT
public:
    RecordListView* list() const { return list_; }
    QPushButton* actionButton() const { return button_; }
    QAction* rowAction() const { return action_; }
    GuidedEmptyState* emptyState() const { return empty_; }
    QLabel* problemLabel() const { return problem_; }

protected:
    struct Parts {
        QString title; // also the list's accessible name
        RowListModel* rows = nullptr;
        int detailRole = 0;
        GuidedEmptyState* emptyState = nullptr;
        QString actionText;
        std::function<bool(int row)> canAct;
        std::function<void(int row)> act;
    };
    explicit SyncListPage(QWidget* parent = nullptr) : QWidget(parent) {}
    // Lays the page out; once, in the page's constructor.
    void assemble(Parts parts);

    // After every change of the rows.
    void render(bool empty, const QString& problem);

private:
    void updateAction();

    Parts parts_;
    RecordListView* list_ = nullptr;
    GuidedEmptyState* empty_ = nullptr;
    QPushButton* button_ = nullptr;
    QAction* action_ = nullptr;
    QLabel* problem_ = nullptr;
};

} // namespace orvana
