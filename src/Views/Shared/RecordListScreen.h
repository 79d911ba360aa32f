#pragma once

#include "Views/Shared/RecordListView.h"

#include <QWidget>
#include <functional>
#include <vector>

class QAbstractItemDelegate;

namespace orvana {

class GuidedEmptyState;
class RowListModel;
class UndoBanner;
class UndoBannerModel;

// What the Goals, Weeks and Focus Blocks screens share: a title with the
// screen's buttons beside it, a RecordListView of the screen model's rows
// with a guided empty state in its place, Delete as the last row action, an
// undo banner, and a keyboard user kept on a row.
class RecordListScreen : public QWidget {
    Q_OBJECT
public:
    RecordListView* list() const { return list_; }
    GuidedEmptyState* emptyState() const { return empty_; }
    UndoBanner* undoBanner() const { return banner_; }
    QAction* deleteAction() const { return delete_; }

protected:
    explicit RecordListScreen(QWidget* parent = nullptr);

    struct Parts {
        QString title;                  // also the list's accessible name
        std::vector<QWidget*> controls; // beside the title, before the list in tab order
        RowListModel* rows = nullptr;
        QAbstractItemDelegate* delegate = nullptr; // made with list() as its parent
        GuidedEmptyState* emptyState = nullptr;
        UndoBannerModel* undo = nullptr;
        QAction* onActivate = nullptr; // Return or a double click on a row
        std::function<void()> deleteRecordsAtHand;
    };
    // Lays the screen out and adds Delete after the row actions added so far.
    void assemble(Parts parts);

    // Before the row menu shows, and after every render: the row actions for
    // `row` (-1: none).
    virtual void updateRowActions(int row) = 0;

    // Focus on the screen means the list, or `instead` while nothing is
    // listed; a list that had the focus hands it on unless `typing` has it.
    void focusListOr(QWidget* instead, bool listHadFocus, const QWidget* typing = nullptr);
    // Keyboard users land on a row; the row actions follow the current row.
    void followCurrentRow();

    // What Delete acts on: the records of the selected rows, or the current one.
    template <class RecordAt> auto recordsAtHand(RecordAt recordAt) const {
        std::vector<decltype(recordAt(0))> records;
        for (int row : list_->rowsAtHand()) {
            if (auto* record = recordAt(row))
                records.push_back(record);
        }
        return records;
    }

private:
    RecordListView* list_;
    RowListModel* rows_ = nullptr;
    GuidedEmptyState* empty_ = nullptr;
    UndoBanner* banner_ = nullptr;
    QAction* delete_ = nullptr;
};

} // namespace orvana
