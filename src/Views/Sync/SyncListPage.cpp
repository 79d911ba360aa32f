#include "Views/Sync/SyncListPage.h"

#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/RowListModel.h"
#include "Views/Shared/RowPainting.h"
#include "Views/Shared/ScreenParts.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvana {

void SyncRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString title = opt.text;
    opt.text.clear();
    QStyle* style = styleOf(opt);
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const RowColors colors = rowColors(opt);
    const int margin = rowMargin(opt);
    QRect r = opt.rect.adjusted(margin * 2, margin, -margin * 2, -margin);
    painter->save();
    QFont bold = opt.font;
    bold.setBold(true);
    painter->setFont(bold);
    painter->setPen(colors.text);
    const QFontMetrics boldMetrics(bold);
    painter->drawText(QRect(r.left(), r.top(), r.width(), boldMetrics.height()),
                      Qt::AlignLeft | Qt::AlignVCenter,
                      boldMetrics.elidedText(title, Qt::ElideRight, r.width()));
    int y = r.top() + boldMetrics.height();
    const QFont small = smallerFont(opt.font);
    const QFontMetrics smallMetrics(small);
    painter->setFont(small);
    painter->setPen(colors.secondary);
    for (const QString& line : index.data(detailRole_).toStringList()) {
        painter->drawText(QRect(r.left(), y, r.width(), smallMetrics.height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          smallMetrics.elidedText(line, Qt::ElideRight, r.width()));
        y += smallMetrics.height();
    }
    painter->restore();
}

QSize SyncRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QFont bold = option.font;
    bold.setBold(true);
    const int lines = int(index.data(detailRole_).toStringList().size());
    const int height = QFontMetrics(bold).height() +
                       lines * QFontMetrics(smallerFont(option.font)).height() +
                       2 * rowMargin(option);
    return {200, height};
}

void SyncListPage::assemble(Parts parts) {
    parts_ = std::move(parts);
    list_ = new RecordListView;
    list_->setAccessibleName(parts_.title);
    list_->setModel(parts_.rows);
    list_->setItemDelegate(new SyncRowDelegate(parts_.detailRole, list_));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setUniformItemSizes(false);
    empty_ = parts_.emptyState;

    action_ = list_->addRowAction(parts_.actionText);
    button_ = new QPushButton(parts_.actionText);
    button_->setAccessibleName(parts_.actionText);
    auto act = [this] {
        const int row = list_->currentIndex().row();
        if (parts_.canAct(row))
            parts_.act(row);
    };
    connect(action_, &QAction::triggered, this, act);
    connect(button_, &QPushButton::clicked, this, act);
    connect(list_, &RecordListView::aboutToShowRowMenu, this, [this] { updateAction(); });
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { updateAction(); });

    problem_ = new QLabel;
    problem_->setTextFormat(Qt::PlainText);
    problem_->setWordWrap(true);
    problem_->setAccessibleName(tr("Problem"));
    problem_->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(problem_, 1);
    buttons->addStretch();
    buttons->addWidget(button_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(screenTitle(parts_.title));
    layout->addWidget(list_, 1);
    layout->addWidget(empty_, 1);
    layout->addLayout(buttons);
    setFocusProxy(list_);
}

void SyncListPage::render(bool empty, const QString& problem) {
    list_->setVisible(!empty);
    empty_->setVisible(empty);
    button_->setVisible(!empty);
    problem_->setText(problem);
    problem_->setVisible(!problem.isEmpty());
    // A keyboard user lands on a row, and stays on one after a row goes.
    if (!empty && !list_->currentIndex().isValid())
        list_->setCurrentIndex(parts_.rows->index(0));
    updateAction();
}

void SyncListPage::updateAction() {
    const bool can = parts_.canAct(list_->currentIndex().row());
    action_->setEnabled(can);
    button_->setEnabled(can);
}

} // namespace orvana
