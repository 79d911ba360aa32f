#include "Views/Goals/GoalRowDelegate.h"

#include "Views/Goals/GoalBadges.h"
#include "Views/Goals/GoalLabels.h"
#include "Views/Goals/GoalListModel.h"
#include "Views/Shared/RowPainting.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Shared/TagColors.h"

#include <QPainter>

namespace orvana {

void GoalRowDelegate::initStyleOption(QStyleOptionViewItem* option,
                                      const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->text.clear(); // painted by hand; the base draws selection and focus
}

void GoalRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QStyle* style = styleOf(opt);
    painter->save();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const int m = rowMargin(opt);
    const int line = opt.fontMetrics.height();
    const bool selected = opt.state & QStyle::State_Selected;
    const RowColors colors = rowColors(opt);
    const QRect content = opt.rect.adjusted(m, m / 2, -m, -m / 2);
    painter->setRenderHint(QPainter::Antialiasing);

    // The colour bar, as tall as the text line and a little more.
    const QRect bar(content.left(), content.center().y() - line / 2 - 2, qMax(3, line / 4),
                    line + 4);
    painter->setPen(Qt::NoPen);
    painter->setBrush(
        tagColor(index.data(GoalListModel::ColorTagRole).toString(), opt.palette, 0.25));
    painter->drawRoundedRect(bar, 2, 2);

    // From the right: the target badge, then the minutes.
    const BadgeStyle badgeStyle(opt.font);
    int right = content.right();
    const QString badge = index.data(GoalListModel::BadgeTextRole).toString();
    if (!badge.isEmpty()) {
        const auto tone = TargetBadge::Tone(index.data(GoalListModel::BadgeToneRole).toInt());
        right = badgeStyle.paintRightAligned(painter, right, content.center().y(), badge,
                                             targetBadgeColor(tone, opt.palette, selected)) -
                m;
    }
    const QString minutes = index.data(GoalListModel::MinutesTextRole).toString();
    if (!minutes.isEmpty()) {
        const int width = opt.fontMetrics.horizontalAdvance(minutes);
        const QRect textRect(right - width + 1, content.top(), width, content.height());
        painter->setFont(opt.font);
        painter->setPen(colors.text);
        painter->drawText(textRect, Qt::AlignRight | Qt::AlignVCenter, minutes);
        const int icon = line;
        symbolIcon(QStringLiteral("flame"))
            .paint(painter,
                   QRect(textRect.left() - icon - 2, content.center().y() - icon / 2, icon, icon));
        right = textRect.left() - icon - 2 - m;
    }

    // The title, then the status badge right after it; the title gives way.
    const QString status = index.data(GoalListModel::StatusTextRole).toString();
    const int statusWidth = status.isEmpty() ? 0 : badgeStyle.width(status) + m / 2;
    const int left = bar.right() + m + 1;
    const QString title =
        opt.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                   qMax(0, right - left - statusWidth));
    painter->setFont(opt.font);
    painter->setPen(colors.text);
    painter->drawText(QRect(left, content.top(), qMax(0, right - left), content.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, title);
    if (!status.isEmpty()) {
        badgeStyle.paint(painter, left + opt.fontMetrics.horizontalAdvance(title) + m / 2,
                         content.center().y(), status, colors.secondary);
    }
    painter->restore();
}

QSize GoalRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const int line = option.fontMetrics.height();
    return {line * 16, line + rowMargin(option) * 2 + 4};
}

} // namespace orvana
