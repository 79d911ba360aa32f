#include "Views/Weeks/WeekRowDelegate.h"

#include "Views/Shared/Badge.h"
#include "Views/Shared/RowPainting.h"
#include "Views/Shared/StatusColors.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Weeks/WeekDetailModel.h"
#include "Views/Weeks/WeekListModel.h"

#include <QAbstractItemView>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace orvana {

namespace {

void paintCheckCircle(QPainter* painter, const QStyleOptionViewItem& opt, const QRect& check,
                      bool complete) {
    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    const int d = qMin(check.width(), check.height()) + 2;
    const QRectF circle(check.center().x() - d / 2.0 + 0.5, check.center().y() - d / 2.0 + 0.5,
                        d - 1, d - 1);
    if (complete) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(selected ? opt.palette.color(group, QPalette::HighlightedText)
                                   : opt.palette.color(group, QPalette::Highlight));
        painter->drawEllipse(circle);
        painter->setPen(QPen(selected ? opt.palette.color(group, QPalette::Highlight)
                                      : opt.palette.color(group, QPalette::HighlightedText),
                             qMax(1.5, d / 8.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF c = circle.center();
        const double r = circle.width() / 2;
        painter->drawPolyline(QPolygonF{c + QPointF(-r * 0.45, 0), c + QPointF(-r * 0.1, r * 0.35),
                                        c + QPointF(r * 0.45, -r * 0.35)});
    } else {
        painter->setPen(QPen(opt.palette.color(group, selected ? QPalette::HighlightedText
                                                               : QPalette::PlaceholderText),
                             1.5));
        painter->setBrush(Qt::NoBrush);
        painter->drawEllipse(circle);
    }
}

} // namespace

// --- WeekRowDelegate -------------------------------------------------------

void WeekRowDelegate::initStyleOption(QStyleOptionViewItem* option,
                                      const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    option->text.clear(); // painted by hand; the base draws selection and focus
}

QRect WeekRowDelegate::ritualRect(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    if (!index.data(WeekListModel::RitualDoneRole).toBool())
        return {};
    const int m = rowMargin(option);
    const QFontMetrics small(smallerFont(option.font));
    const int icon = small.height();
    const int w = icon + 2 + small.horizontalAdvance(WeekListModel::ritualLabelText());
    const BadgeStyle badge(option.font);
    const int summaryLeft = option.rect.right() - m -
                            badge.width(index.data(WeekListModel::SummaryRole).toString()) + 1;
    return QRect(summaryLeft - m - w, option.rect.center().y() - icon / 2, w, icon);
}

void WeekRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
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

    const auto status = WeekListModel::Status(index.data(WeekListModel::StatusRole).toInt());
    QColor barColor;
    switch (status) {
    case WeekListModel::Status::empty:
        barColor = opt.palette.color(QPalette::PlaceholderText);
        barColor.setAlphaF(0.25);
        break;
    case WeekListModel::Status::allDone:
        barColor = successColor(opt.palette);
        break;
    case WeekListModel::Status::inProgress:
        // The accent would vanish into the selection.
        barColor = selected ? colors.text : opt.palette.color(QPalette::Highlight);
        break;
    }
    const QRect bar(content.left(), content.center().y() - line / 2 - 2, qMax(3, line / 4),
                    line + 4);
    painter->setPen(Qt::NoPen);
    painter->setBrush(barColor);
    painter->drawRoundedRect(bar, 2, 2);

    // From the right: the summary, then the ritual mark.
    const BadgeStyle badgeStyle(opt.font);
    const QColor green = selected ? colors.text : successColor(opt.palette);
    const QString summary = index.data(WeekListModel::SummaryRole).toString();
    int right = badgeStyle.paintRightAligned(
                    painter, content.right(), content.center().y(), summary,
                    status == WeekListModel::Status::allDone ? green : colors.secondary) -
                m;
    if (const QRect ritual = ritualRect(opt, index); ritual.isValid()) {
        const QFont small = smallerFont(opt.font);
        const int icon = ritual.height();
        symbolIcon(QStringLiteral("checkmark.circle.fill"))
            .paint(painter, QRect(ritual.left(), ritual.top(), icon, icon));
        painter->setFont(small);
        painter->setPen(green);
        painter->drawText(ritual.adjusted(icon + 2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          WeekListModel::ritualLabelText());
        right = ritual.left() - m;
    }

    // The dates, then "This Week" right after them; the dates give way.
    const bool current = index.data(WeekListModel::CurrentWeekRole).toBool();
    const QString thisWeek = WeekListModel::currentWeekBadgeText();
    const int badgeWidth = current ? badgeStyle.width(thisWeek) + m / 2 : 0;
    const int left = bar.right() + m + 1;
    const QString title = opt.fontMetrics.elidedText(
        index.data(Qt::DisplayRole).toString(), Qt::ElideRight, qMax(0, right - left - badgeWidth));
    painter->setFont(opt.font);
    painter->setPen(colors.text);
    painter->drawText(QRect(left, content.top(), qMax(0, right - left), content.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, title);
    if (current) {
        badgeStyle.paint(painter, left + opt.fontMetrics.horizontalAdvance(title) + m / 2,
                         content.center().y(), thisWeek,
                         selected ? colors.text : opt.palette.color(QPalette::Highlight));
    }
    painter->restore();
}

QSize WeekRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const int line = option.fontMetrics.height();
    return {line * 18, line + rowMargin(option) * 2 + 4};
}

bool WeekRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() == QEvent::ToolTip && ritualRect(option, index).contains(event->pos())) {
        QToolTip::showText(event->globalPos(), WeekListModel::ritualToolTip(), view);
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

// --- WeekItemRowDelegate ---------------------------------------------------

QString WeekItemRowDelegate::addToTodayText() {
    return tr("Add to Today");
}
QString WeekItemRowDelegate::onTodayText() {
    return tr("On Today");
}

void WeekItemRowDelegate::initStyleOption(QStyleOptionViewItem* option,
                                          const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    // The title is painted by hand (with the goal beneath); the base draws
    // the selection, focus and takes clicks on the check box.
    option->text.clear();
}

QRect WeekItemRowDelegate::addToTodayRect(const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
    if (index.data(WeekDetailModel::OnTodayRole).toBool())
        return {};
    const int m = rowMargin(option);
    const int h = option.fontMetrics.height() + m;
    const int w = option.fontMetrics.horizontalAdvance(addToTodayText()) + 2 * m;
    return QRect(option.rect.right() - m - w + 1,
                 option.rect.top() + (option.rect.height() - h) / 2, w, h);
}

void WeekItemRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QStyle* style = styleOf(option);
    const QRect check =
        style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, opt.widget);
    opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    painter->save();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const int m = rowMargin(opt);
    const bool complete = index.data(WeekDetailModel::CompleteRole).toBool();
    const RowColors colors = rowColors(opt);
    painter->setRenderHint(QPainter::Antialiasing);
    paintCheckCircle(painter, opt, check, complete);

    // At the right: "Add to Today", or the "On Today" mark.
    int right = opt.rect.right() - m;
    const QRect button = addToTodayRect(option, index);
    if (button.isValid()) {
        painter->setRenderHint(QPainter::Antialiasing, false);
        QStyleOptionButton b;
        b.initFrom(opt.widget);
        b.rect = button;
        b.text = addToTodayText();
        b.state = QStyle::State_Enabled | QStyle::State_Raised;
        b.palette = opt.palette;
        style->drawControl(QStyle::CE_PushButton, &b, painter, opt.widget);
        painter->setRenderHint(QPainter::Antialiasing);
        right = button.left() - m;
    } else {
        const QString text = onTodayText();
        const int w = opt.fontMetrics.horizontalAdvance(text);
        const int icon = opt.fontMetrics.height();
        const QRect textRect(right - w + 1, opt.rect.top(), w, opt.rect.height());
        painter->setFont(opt.font);
        painter->setPen(colors.secondary);
        painter->drawText(textRect, Qt::AlignRight | Qt::AlignVCenter, text);
        symbolIcon(QStringLiteral("checkmark.circle.fill"))
            .paint(painter,
                   QRect(textRect.left() - icon - 2, opt.rect.center().y() - icon / 2, icon, icon));
        right = textRect.left() - icon - 2 - m;
    }

    // The title, with the goal beneath it in small secondary print.
    const int left = check.right() + m;
    const QString goal = index.data(WeekDetailModel::GoalTitleRole).toString();
    QFont font = opt.font;
    font.setStrikeOut(complete);
    const QFontMetrics fm(font);
    const QFont small = smallerFont(opt.font);
    const QFontMetrics smallFm(small);
    const int width = qMax(0, right - left);
    const int textHeight = fm.height() + (goal.isEmpty() ? 0 : smallFm.height());
    const int top = opt.rect.top() + (opt.rect.height() - textHeight) / 2;
    painter->setFont(font);
    painter->setPen(colors.text);
    painter->drawText(QRect(left, top, width, fm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                      fm.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, width));
    if (!goal.isEmpty()) {
        painter->setFont(small);
        painter->setPen(colors.secondary);
        painter->drawText(QRect(left, top + fm.height(), width, smallFm.height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          smallFm.elidedText(goal, Qt::ElideRight, width));
    }
    painter->restore();
}

QSize WeekItemRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const int line = option.fontMetrics.height();
    return {line * 16, line * 2 + rowMargin(option) + 4};
}

bool WeekItemRowDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                      const QStyleOptionViewItem& option,
                                      const QModelIndex& index) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            addToTodayRect(option, index).contains(mouse->position().toPoint())) {
            emit addToTodayClicked(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

} // namespace orvana
