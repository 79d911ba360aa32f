#include "Views/Focus/FocusBlockRowDelegate.h"

#include "Views/Focus/FocusBlockListModel.h"
#include "Views/Shared/Badge.h"
#include "Views/Shared/RowPainting.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Shared/TagColors.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace orvana {

void FocusBlockRowDelegate::initStyleOption(QStyleOptionViewItem* option,
                                            const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    // The texts are painted by hand; the base draws selection and focus.
    option->text.clear();
}

QRect FocusBlockRowDelegate::toggleButtonRect(const QStyleOptionViewItem& option) const {
    const int m = rowMargin(option);
    const int h = option.fontMetrics.height() + m;
    return QRect(option.rect.right() - m - h + 1,
                 option.rect.top() + (option.rect.height() - h) / 2, h, h);
}

void FocusBlockRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QStyle* style = styleOf(option);
    painter->save();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const int m = rowMargin(opt);
    const int line = opt.fontMetrics.height();
    const RowColors colors = rowColors(opt);
    const QColor& text = colors.text;
    const QColor& secondary = colors.secondary;

    // The goal's colour mark: a bar as tall as both lines; without a goal
    // (or a tag), a faint one in the secondary colour.
    const QRect content = opt.rect.adjusted(m, m / 2, -m, -m / 2);
    const QRect mark(content.left(), content.center().y() - line + 2, qMax(3, line / 4),
                     2 * line - 4);
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(
        tagColor(index.data(FocusBlockListModel::ColorTagRole).toString(), opt.palette, 0.25));
    painter->drawRoundedRect(mark, 2, 2);

    const QRect button = toggleButtonRect(opt);
    QRect textRect(mark.right() + m + 1, content.top(), 0, content.height());
    textRect.setRight(button.left() - m);
    const QRect titleRect(textRect.left(), content.center().y() - line, textRect.width(), line);
    const QRect detailRect(textRect.left(), content.center().y(), textRect.width(), line);

    // Title, then the badge right after it (the title gives way when short
    // of room, so the badge always shows).
    const bool paused = index.data(FocusBlockListModel::PausedRole).toBool();
    const QString badge = paused ? FocusBlockListModel::pausedBadge() : QString();
    const BadgeStyle badgeStyle(opt.font);
    const int badgeWidth = paused ? badgeStyle.width(badge) : 0;
    const int titleRoom = qMax(0, titleRect.width() - (paused ? badgeWidth + m / 2 : 0));
    const QString title = opt.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                     Qt::ElideRight, titleRoom);
    painter->setFont(opt.font);
    painter->setPen(text);
    painter->drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter, title);
    if (paused) {
        badgeStyle.paint(painter,
                         titleRect.left() + opt.fontMetrics.horizontalAdvance(title) + m / 2,
                         titleRect.center().y(), badge, secondary);
    }

    painter->setFont(opt.font);
    painter->setPen(secondary);
    painter->drawText(
        detailRect, Qt::AlignLeft | Qt::AlignVCenter,
        opt.fontMetrics.elidedText(index.data(FocusBlockListModel::DetailRole).toString(),
                                   Qt::ElideRight, detailRect.width()));

    const int icon = button.height() - m / 2;
    symbolIcon(paused ? QStringLiteral("play.fill") : QStringLiteral("pause.fill"))
        .paint(painter,
               QRect(button.center().x() - icon / 2, button.center().y() - icon / 2, icon, icon));
    painter->restore();
}

QSize FocusBlockRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                      const QModelIndex&) const {
    const int line = option.fontMetrics.height();
    return {line * 12, line * 2 + rowMargin(option) * 2};
}

bool FocusBlockRowDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                        const QStyleOptionViewItem& option,
                                        const QModelIndex& index) {
    if (event->type() == QEvent::MouseButtonRelease ||
        event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            toggleButtonRect(option).contains(mouse->position().toPoint())) {
            // A double click on the button is two clicks, not "Edit".
            if (event->type() == QEvent::MouseButtonRelease)
                emit toggleClicked(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool FocusBlockRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                      const QStyleOptionViewItem& option,
                                      const QModelIndex& index) {
    if (event->type() == QEvent::ToolTip && toggleButtonRect(option).contains(event->pos())) {
        QToolTip::showText(event->globalPos(),
                           index.data(FocusBlockListModel::ToggleTextRole).toString(), view);
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

} // namespace orvana
