#include "Views/Today/TodayRowDelegate.h"

#include "Views/Shared/RowPainting.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Shared/TagColors.h"
#include "Views/Today/TodayModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace orvana {

namespace {

int kindOf(const QModelIndex& index) {
    return index.data(TodayModel::KindRole).toInt();
}

bool isTask(int kind) {
    return kind == TodayModel::overdueRow || kind == TodayModel::oneThingRow ||
           kind == TodayModel::taskRow;
}

} // namespace

void TodayRowDelegate::initStyleOption(QStyleOptionViewItem* option,
                                       const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    // The title is painted by hand (with the goal beside it); the base draws
    // the selection, focus and the check box.
    option->text.clear();
}

QRect TodayRowDelegate::buttonRect(const QStyleOptionViewItem& option, const QModelIndex& index,
                                   Button button) const {
    const int kind = kindOf(index);
    const int m = rowMargin(option);
    const int h = option.fontMetrics.height() + m;
    const int top = option.rect.top() + (option.rect.height() - h) / 2;
    int right = option.rect.right() - m;
    QRect timer;
    if (kind == TodayModel::oneThingRow || kind == TodayModel::taskRow ||
        kind == TodayModel::overdueRow) {
        timer = QRect(right - h + 1, top, h, h);
        right = timer.left() - m / 2;
    }
    if (button == Button::timer)
        return timer;
    if (button == Button::primary) {
        const QString text = index.data(TodayModel::ButtonTextRole).toString();
        if (text.isEmpty())
            return {};
        const int w = option.fontMetrics.horizontalAdvance(text) + 2 * m;
        return QRect(right - w + 1, top, w, h);
    }
    return {};
}

void TodayRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const int kind = kindOf(index);
    const QString text = index.data(Qt::DisplayRole).toString();
    const int m = rowMargin(option);
    painter->save();
    if (kind == TodayModel::headerRow || kind == TodayModel::footerRow) {
        QFont font = option.font;
        QRect r = option.rect.adjusted(m, 0, -m, 0);
        if (kind == TodayModel::headerRow) {
            font.setBold(true);
            r.setTop(r.top() + m / 2);
            painter->setPen(option.palette.color(QPalette::WindowText));
        } else {
            if (font.pointSizeF() > 0)
                font.setPointSizeF(font.pointSizeF() * 0.9);
            painter->setPen(option.palette.color(QPalette::PlaceholderText));
        }
        painter->setFont(font);
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text);
        painter->restore();
        return;
    }

    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QStyle* style = styleOf(option);
    // Where the base would put its check box (and takes clicks on it); the
    // completion circle is drawn there instead.
    const QRect check =
        isTask(kind)
            ? style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, opt.widget)
            : QRect(opt.rect.left() + m, opt.rect.top(), 0, opt.rect.height());
    opt.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group =
        opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    painter->setRenderHint(QPainter::Antialiasing);
    if (isTask(kind)) {
        const int d = qMin(check.width(), check.height()) + 2;
        const QRectF circle(check.center().x() - d / 2.0 + 0.5, check.center().y() - d / 2.0 + 0.5,
                            d - 1, d - 1);
        const QColor ink = opt.palette.color(group, selected ? QPalette::HighlightedText
                                                             : QPalette::PlaceholderText);
        if (index.data(TodayModel::CompleteRole).toBool()) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(selected ? opt.palette.color(group, QPalette::HighlightedText)
                                       : opt.palette.color(group, QPalette::Highlight));
            painter->drawEllipse(circle);
            QPen tick(selected ? opt.palette.color(group, QPalette::Highlight)
                               : opt.palette.color(group, QPalette::HighlightedText),
                      qMax(1.5, d / 8.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            painter->setPen(tick);
            const QPointF c = circle.center();
            const double r = circle.width() / 2;
            painter->drawPolyline(QPolygonF{c + QPointF(-r * 0.45, 0),
                                            c + QPointF(-r * 0.1, r * 0.35),
                                            c + QPointF(r * 0.45, -r * 0.35)});
        } else {
            painter->setPen(QPen(ink, 1.5));
            painter->setBrush(Qt::NoBrush);
            painter->drawEllipse(circle);
        }
    }
    // The goal's colour mark, between the circle and the title.
    const int dot = qMax(6, opt.fontMetrics.height() / 2);
    QRect mark(check.right() + m, opt.rect.center().y() - dot / 2, dot, dot);
    painter->setPen(Qt::NoPen);
    painter->setBrush(tagColor(index.data(TodayModel::ColorTagRole).toString(), opt.palette));
    painter->drawEllipse(mark);

    const QRect primary = buttonRect(option, index, Button::primary);
    const QRect timer = buttonRect(option, index, Button::timer);
    int textRight = opt.rect.right() - m;
    if (primary.isValid())
        textRight = primary.left() - m;
    else if (timer.isValid())
        textRight = timer.left() - m;
    QRect textRect(mark.right() + m, opt.rect.top(), 0, opt.rect.height());
    textRect.setRight(textRight);

    QFont font = opt.font;
    font.setStrikeOut(index.data(TodayModel::CompleteRole).toBool());
    painter->setFont(font);
    painter->setPen(
        opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    const QString goal = index.data(TodayModel::GoalTitleRole).toString();
    const QString date = index.data(TodayModel::DateTextRole).toString();
    QString secondary = goal;
    if (!date.isEmpty())
        secondary = secondary.isEmpty() ? date : date + QStringLiteral(" · ") + secondary;
    const QFontMetrics fm(font);
    const int secondaryWidth =
        secondary.isEmpty()
            ? 0
            : qMin(textRect.width() / 2, opt.fontMetrics.horizontalAdvance(secondary) + m);
    const QRect titleRect = textRect.adjusted(0, 0, -secondaryWidth, 0);
    painter->drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter,
                      fm.elidedText(text, Qt::ElideRight, titleRect.width()));
    if (!secondary.isEmpty()) {
        painter->setFont(opt.font);
        painter->setPen(selected ? opt.palette.color(group, QPalette::HighlightedText)
                                 : opt.palette.color(group, QPalette::PlaceholderText));
        const QRect secondaryRect(titleRect.right() + 1, textRect.top(), secondaryWidth,
                                  textRect.height());
        painter->drawText(
            secondaryRect, Qt::AlignRight | Qt::AlignVCenter,
            opt.fontMetrics.elidedText(secondary, Qt::ElideRight, secondaryRect.width()));
    }

    painter->setRenderHint(QPainter::Antialiasing, false);
    if (primary.isValid()) {
        QStyleOptionButton button;
        button.initFrom(opt.widget);
        button.rect = primary;
        button.text = index.data(TodayModel::ButtonTextRole).toString();
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        button.palette = opt.palette;
        style->drawControl(QStyle::CE_PushButton, &button, painter, opt.widget);
    }
    if (timer.isValid()) {
        const int icon = timer.height() - m / 2;
        symbolIcon(QStringLiteral("timer"))
            .paint(painter,
                   QRect(timer.center().x() - icon / 2, timer.center().y() - icon / 2, icon, icon));
    }
    painter->restore();
}

QSize TodayRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const int kind = kindOf(index);
    const int m = rowMargin(option);
    const int line = option.fontMetrics.height();
    if (kind == TodayModel::headerRow)
        return {line * 10, line + m * 2};
    if (kind == TodayModel::footerRow) {
        const int width = qMax(line * 10, (option.widget ? option.widget->width() : 400) - 3 * m);
        const QRect bounds = option.fontMetrics.boundingRect(
            QRect(0, 0, width, 10000), Qt::TextWordWrap, index.data(Qt::DisplayRole).toString());
        return {width, bounds.height() + m};
    }
    return {line * 10, line * 2 + m};
}

bool TodayRowDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                   const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            for (Button b : {Button::primary, Button::timer}) {
                if (buttonRect(option, index, b).contains(mouse->position().toPoint())) {
                    emit buttonClicked(index, b);
                    return true;
                }
            }
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

bool TodayRowDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                                 const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() == QEvent::ToolTip &&
        buttonRect(option, index, Button::timer).contains(event->pos())) {
        QToolTip::showText(event->globalPos(), tr("Start a focus session"), view);
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

} // namespace orvana
