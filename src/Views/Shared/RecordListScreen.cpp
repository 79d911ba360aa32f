#include "Views/Shared/RecordListScreen.h"

#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RowListModel.h"
#include "Views/Shared/ScreenParts.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Shared/UndoBanner.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace orvana {

RecordListScreen::RecordListScreen(QWidget* parent) : QWidget(parent), list_(new RecordListView) {}

void RecordListScreen::assemble(Parts parts) {
    auto* header = new QHBoxLayout;
    header->addWidget(screenTitle(parts.title));
    header->addStretch(1);
    for (QWidget* control : parts.controls)
        header->addWidget(control);

    rows_ = parts.rows;
    list_->setAccessibleName(parts.title);
    list_->setModel(rows_);
    list_->setUniformItemSizes(true);
    list_->setItemDelegate(parts.delegate);
    empty_ = parts.emptyState;

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(list_, 1);
    layout->addWidget(empty_, 1);

    delete_ = list_->addRowAction(tr("Delete"), QKeySequence::Delete);
    delete_->setIcon(symbolIcon(QStringLiteral("trash")));
    connect(delete_, &QAction::triggered, this, std::move(parts.deleteRecordsAtHand));
    connect(list_, &RecordListView::aboutToShowRowMenu, this,
            [this](int row) { updateRowActions(row); });
    connect(list_, &QAbstractItemView::activated, parts.onActivate, &QAction::trigger);

    banner_ = new UndoBanner(this);
    banner_->bind(parts.undo);

    QWidget* previous = nullptr;
    for (QWidget* control : parts.controls) {
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }
    if (previous)
        setTabOrder(previous, list_);
}

void RecordListScreen::focusListOr(QWidget* instead, bool listHadFocus, const QWidget* typing) {
    const bool hasRows = rows_->rowCount() > 0;
    setFocusProxy(hasRows ? static_cast<QWidget*>(list_) : instead);
    if (listHadFocus && !hasRows && !(typing && typing->hasFocus()))
        instead->setFocus(Qt::OtherFocusReason);
}

void RecordListScreen::followCurrentRow() {
    if (!list_->currentIndex().isValid() && rows_->rowCount() > 0)
        list_->selectionModel()->setCurrentIndex(rows_->index(0), QItemSelectionModel::NoUpdate);
    updateRowActions(list_->currentIndex().isValid() ? list_->currentIndex().row() : -1);
}

} // namespace orvana
