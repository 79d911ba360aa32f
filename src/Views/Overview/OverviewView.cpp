#include "Views/Overview/OverviewView.h"

#include "Services/AppEnvironment.h"
#include "Views/Overview/OverviewModel.h"
#include "Views/Shared/AcknowledgmentBanner.h"
#include "Views/Shared/DailyBarChart.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/RowPainting.h"
#include "Views/Shared/ScreenParts.h"
#include "Views/Shared/StatusColors.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Shared/TagColors.h"

#include <QAccessibleWidget>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace orvana {

namespace {

// Cards narrower than this move onto another line.
constexpr int cardMinWidthEm = 11;

QColor tintColor(OverviewModel::Tint tint, const QPalette& palette) {
    switch (tint) {
    case OverviewModel::Tint::orange:
        return tagColor(QStringLiteral("orange"), palette);
    case OverviewModel::Tint::secondary:
        return palette.color(QPalette::PlaceholderText);
    case OverviewModel::Tint::accent:
        return palette.color(QPalette::Highlight);
    case OverviewModel::Tint::green:
        return successColor(palette);
    }
    return palette.color(QPalette::PlaceholderText);
}

// The symbol in one flat colour, as the card's tint asks.
QPixmap tintedSymbol(const QString& symbol, const QColor& color, int size, qreal dpr) {
    QPixmap pixmap = symbolIcon(symbol).pixmap(QSize(size, size), dpr);
    if (pixmap.isNull())
        return pixmap;
    QPainter p(&pixmap);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(pixmap.rect(), color);
    return pixmap;
}

// A stat card: an icon and two labels that say one thing together.
class StatCardFrame : public QFrame {
public:
    using QFrame::QFrame;
};

// A card reads as one line of text, its name ("3 active goals"); its labels
// are left out, or a screen reader would read the value and the label apart
// after the card itself.
class StatCardAccessible : public QAccessibleWidget {
public:
    explicit StatCardAccessible(QWidget* card) : QAccessibleWidget(card, QAccessible::StaticText) {}
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
};

QAccessibleInterface* statCardAccessible(const QString&, QObject* object) {
    if (auto* card = dynamic_cast<StatCardFrame*>(object))
        return new StatCardAccessible(card);
    return nullptr;
}

QLabel* sectionHeading(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.15);
    font.setBold(true);
    label->setFont(font);
    return label;
}

// A row of "Focus by Goal": the goal's colour mark, its title and, at the
// right, its minutes in the secondary colour; light green while just logged.
class GoalMinutesDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        opt.text.clear(); // painted by hand; the base draws selection and focus
        painter->save();
        if (index.data(OverviewModel::JustLoggedRole).toBool()) {
            QColor green = successColor(opt.palette);
            green.setAlphaF(0.12f);
            painter->fillRect(opt.rect, green);
        }
        styleOf(opt)->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        const int m = rowMargin(opt);
        const int line = opt.fontMetrics.height();
        const RowColors colors = rowColors(opt);
        const QRect content = opt.rect.adjusted(m, m / 2, -m, -m / 2);
        painter->setRenderHint(QPainter::Antialiasing);

        const int dot = qMax(8, line * 2 / 3);
        const QRect mark(content.left(), content.center().y() - dot / 2, dot, dot);
        painter->setPen(Qt::NoPen);
        painter->setBrush(
            tagColor(index.data(OverviewModel::ColorTagRole).toString(), opt.palette, 0.25));
        painter->drawEllipse(mark);

        const QString duration = index.data(OverviewModel::DurationTextRole).toString();
        const int durationWidth = opt.fontMetrics.horizontalAdvance(duration);
        painter->setFont(opt.font);
        painter->setPen(colors.secondary);
        painter->drawText(QRect(content.right() - durationWidth + 1, content.top(), durationWidth,
                                content.height()),
                          Qt::AlignRight | Qt::AlignVCenter, duration);

        const int left = mark.right() + m + 1;
        const int right = content.right() - durationWidth - m;
        painter->setPen(colors.text);
        painter->drawText(QRect(left, content.top(), qMax(0, right - left), content.height()),
                          Qt::AlignLeft | Qt::AlignVCenter,
                          opt.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                     Qt::ElideRight, qMax(0, right - left)));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        const int line = option.fontMetrics.height();
        return {line * 16, line + rowMargin(option) * 2 + 4};
    }
};

} // namespace

OverviewView::OverviewView(AppEnvironment& environment, QWidget* parent)
    : QWidget(parent), model_(new OverviewModel(environment, this)) {
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("overviewContent"));
    auto* page = new QVBoxLayout(content);
    page->setContentsMargins(0, 0, 0, 0);

    static const bool cardsAccessible = [] {
        QAccessible::installFactory(statCardAccessible);
        return true;
    }();
    Q_UNUSED(cardsAccessible);
    cardGrid_ = new QGridLayout;
    for (Card& card : cards_) {
        auto* frame = new StatCardFrame;
        frame->setFrameShape(QFrame::StyledPanel);
        frame->setObjectName(QStringLiteral("statCard"));
        frame->setAttribute(Qt::WA_StyledBackground);
        frame->setBackgroundRole(QPalette::Base);
        frame->setAutoFillBackground(true);
        card.frame = frame;
        card.icon = new QLabel;
        card.value = new QLabel;
        card.label = new QLabel;
        card.value->setTextFormat(Qt::PlainText);
        card.label->setTextFormat(Qt::PlainText);
        card.label->setForegroundRole(QPalette::PlaceholderText);
        card.label->setWordWrap(true);
        QFont big = card.value->font();
        if (big.pointSizeF() > 0)
            big.setPointSizeF(big.pointSizeF() * 1.6);
        big.setBold(true);
        card.value->setFont(big);
        auto* box = new QVBoxLayout(frame);
        box->addWidget(card.icon);
        box->addWidget(card.value);
        box->addWidget(card.label);
        box->addStretch(1);
    }
    page->addLayout(cardGrid_);

    chartSection_ = new QWidget;
    chart_ = new DailyBarChart;
    auto* chartBox = new QVBoxLayout(chartSection_);
    chartBox->setContentsMargins(0, 0, 0, 0);
    chartBox->addWidget(sectionHeading(OverviewModel::chartTitle()));
    chartBox->addWidget(chart_);
    page->addWidget(chartSection_);

    goalSection_ = new QWidget;
    list_ = new RecordListView;
    list_->setAccessibleName(OverviewModel::goalsTitle());
    list_->setModel(model_->goalRows());
    list_->setUniformItemSizes(true);
    list_->setItemDelegate(new GoalMinutesDelegate(list_));
    // The page scrolls, not the list: it is as tall as its rows.
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* goalBox = new QVBoxLayout(goalSection_);
    goalBox->setContentsMargins(0, 0, 0, 0);
    goalBox->addWidget(sectionHeading(OverviewModel::goalsTitle()));
    goalBox->addWidget(list_);
    page->addWidget(goalSection_);
    page->addStretch(1);

    scroll_ = new QScrollArea;
    scroll_->setAccessibleName(OverviewModel::title());
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidget(content);
    content->setAutoFillBackground(false);
    scroll_->viewport()->setAutoFillBackground(false);

    empty_ = new GuidedEmptyState(OverviewModel::emptyTitle(), OverviewModel::emptySymbol(),
                                  OverviewModel::emptyDescription(), environment.preferences());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(screenTitle(OverviewModel::title()));
    layout->addWidget(scroll_, 1);
    layout->addWidget(empty_, 1);

    // The page scrolls to the row the keyboard moves to.
    connect(list_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, content](const QModelIndex& current) {
                if (!current.isValid() || !list_->hasFocus())
                    return;
                // Back at the first row, the cards and the chart above it
                // come back into view as far as the row allows.
                if (current.row() == 0)
                    scroll_->verticalScrollBar()->setValue(0);
                const QRect row = list_->visualRect(current);
                const QPoint centre = list_->viewport()->mapTo(content, row.center());
                scroll_->ensureVisible(centre.x(), centre.y(), 0, row.height());
            });

    banner_ = new AcknowledgmentBanner(this);
    banner_->setTimeoutInterval(0); // the model's acknowledgment times the message
    connect(model_, &OverviewModel::acknowledgmentChanged, banner_,
            &AcknowledgmentBanner::showMessage);
    connect(model_, &OverviewModel::changed, this, &OverviewView::renderModel);
    layOutCards();
    renderModel();
}

void OverviewView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window coming back from the task bar is no new visit.
    if (!event->spontaneous())
        model_->setShown(true);
}

void OverviewView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        model_->setShown(false);
}

void OverviewView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOutCards();
}

void OverviewView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        renderCards();
}

void OverviewView::layOutCards() {
    const int em = fontMetrics().horizontalAdvance(u'M');
    const int room = qMax(1, width() - 2 * layout()->contentsMargins().left());
    // Four, two or one a line: three would leave one card alone below.
    const int fit = room / (cardMinWidthEm * em);
    const int columns = fit >= 4 ? 4 : fit >= 2 ? 2 : 1;
    if (columns == columns_)
        return;
    columns_ = columns;
    for (const Card& card : cards_)
        cardGrid_->removeWidget(card.frame);
    for (int i = 0; i < int(cards_.size()); ++i)
        cardGrid_->addWidget(cards_[size_t(i)].frame, i / columns, i % columns);
    for (int c = 0; c < int(cards_.size()); ++c)
        cardGrid_->setColumnStretch(c, c < columns ? 1 : 0);
}

void OverviewView::renderCards() {
    const int iconSize = fontMetrics().height() * 3 / 2;
    for (size_t i = 0; i < cards_.size(); ++i) {
        const OverviewModel::StatCard& data = model_->cards()[i];
        const Card& card = cards_[i];
        card.icon->setFixedSize(iconSize, iconSize); // cards line up, with or without an icon
        card.icon->setPixmap(tintedSymbol(data.symbol, tintColor(data.tint, palette()), iconSize,
                                          devicePixelRatioF()));
        card.value->setText(data.value);
        card.label->setText(data.label);
        card.frame->setAccessibleName(data.accessibleName);
    }
}

void OverviewView::renderModel() {
    const bool empty = model_->showsEmptyState();
    empty_->setVisible(empty);
    scroll_->setVisible(!empty);
    renderCards();

    chartSection_->setVisible(model_->showsChart());
    chart_->setTotals(model_->chartSeries(), model_->calendar());
    if (model_->windowStart())
        chart_->setDayRange(*model_->windowStart(), model_->windowEnd());
    else
        chart_->clearDayRange();

    goalSection_->setVisible(model_->showsGoalBreakdown());
    const int rows = model_->goalRows()->rowCount();
    const int rowHeight = rows > 0 ? list_->sizeHintForRow(0) : 0;
    list_->setFixedHeight(rows * rowHeight + 2 * list_->frameWidth());
    // The goal rows take the keyboard and the page follows them; without
    // rows the page itself is the one stop, so that keys still scroll it.
    scroll_->setFocusPolicy(rows > 0 ? Qt::NoFocus : Qt::StrongFocus);
    setFocusProxy(rows > 0 ? static_cast<QWidget*>(list_) : scroll_);
    if (rows > 0 && !list_->currentIndex().isValid())
        list_->selectionModel()->setCurrentIndex(model_->goalRows()->index(0),
                                                 QItemSelectionModel::NoUpdate);
}

} // namespace orvana
