#include "Views/Weeks/WeeklyRitualView.h"

#include "Models/Goal.h"
#include "Models/Week.h"
#include "Services/AppEnvironment.h"
#include "Store/ModelContext.h"
#include "Views/AI/AIReviewSectionView.h"
#include "Views/Shared/GuidedEmptyState.h"
#include "Views/Shared/RecordListView.h"
#include "Views/Shared/RowPainting.h"
#include "Views/Shared/ScreenParts.h"
#include "Views/Shared/StatusColors.h"
#include "Views/Weeks/WeeklyRitualModel.h"

#include <QApplication>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace orvana {

namespace {

// A week item: the completion circle where the list shows it, the title
// (struck through when done there), the goal's title beneath in small print.
class RitualItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->text.clear(); // painted by hand; the base draws selection and focus
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        painter->save();
        styleOf(opt)->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
        painter->setRenderHint(QPainter::Antialiasing);

        const int m = rowMargin(opt);
        const int line = opt.fontMetrics.height();
        const RowColors colors = rowColors(opt);
        const QRect content = opt.rect.adjusted(m, m / 2, -m, -m / 2);
        const bool shows = index.data(WeeklyRitualModel::ShowsCompletionRole).toBool();
        const bool complete = shows && index.data(WeeklyRitualModel::CompleteRole).toBool();
        const QString goal = index.data(WeeklyRitualModel::GoalTitleRole).toString();
        const QFont small = smallerFont(opt.font);
        const int smallLine = QFontMetrics(small).height();
        const int top = content.center().y() - (line + (goal.isEmpty() ? 0 : smallLine)) / 2;

        int left = content.left();
        if (shows) {
            const qreal d = line * 0.9;
            const QRectF circle(left + 0.5, top + (line - d) / 2.0, d, d);
            if (complete) {
                painter->setPen(Qt::NoPen);
                painter->setBrush(successColor(opt.palette));
                painter->drawEllipse(circle);
                QPainterPath check;
                check.moveTo(circle.left() + d * 0.28, circle.top() + d * 0.52);
                check.lineTo(circle.left() + d * 0.44, circle.top() + d * 0.68);
                check.lineTo(circle.left() + d * 0.73, circle.top() + d * 0.35);
                painter->setPen(QPen(opt.palette.color(QPalette::Base), qMax(1.5, d / 9.0),
                                     Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                painter->setBrush(Qt::NoBrush);
                painter->drawPath(check);
            } else {
                painter->setPen(QPen(colors.secondary, qMax(1.0, d / 12.0)));
                painter->setBrush(Qt::NoBrush);
                painter->drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
            }
            left += line + m / 2;
        }
        const int width = qMax(0, content.right() - left);
        QFont titleFont = opt.font;
        titleFont.setStrikeOut(complete);
        painter->setFont(titleFont);
        painter->setPen(colors.text);
        painter->drawText(QRect(left, top, width, line), Qt::AlignLeft | Qt::AlignVCenter,
                          opt.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                     Qt::ElideRight, width));
        if (!goal.isEmpty()) {
            painter->setFont(small);
            painter->setPen(colors.secondary);
            painter->drawText(QRect(left, top + line, width, smallLine),
                              Qt::AlignLeft | Qt::AlignVCenter,
                              QFontMetrics(small).elidedText(goal, Qt::ElideRight, width));
        }
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int line = option.fontMetrics.height();
        const bool hasGoal = !index.data(WeeklyRitualModel::GoalTitleRole).toString().isEmpty();
        const int small = hasGoal ? QFontMetrics(smallerFont(option.font)).height() : 0;
        return {line * 16, line + small + rowMargin(option) * 2};
    }
};

RecordListView* itemList(const QString& name, QAbstractItemModel* rows) {
    auto* list = new RecordListView;
    list->setAccessibleName(name);
    list->setModel(rows);
    list->setItemDelegate(new RitualItemDelegate(list));
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return list;
}

// The page scrolls, not the list: the list is as tall as its rows.
void fitToRows(RecordListView* list) {
    int height = 2 * list->frameWidth();
    for (int row = 0; row < list->model()->rowCount(); ++row)
        height += list->sizeHintForRow(row);
    list->setFixedHeight(height);
    list->setVisible(list->model()->rowCount() > 0);
}

QLabel* secondaryLabel(const QString& text = {}) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QGroupBox* section(const QString& title, QLayout* content) {
    auto* box = new QGroupBox(title);
    box->setLayout(content);
    return box;
}

QPlainTextEdit* textField(const QString& name, const QString& placeholder) {
    auto* field = new QPlainTextEdit;
    field->setAccessibleName(name);
    field->setPlaceholderText(placeholder);
    field->setTabChangesFocus(true);
    field->setFixedHeight(field->fontMetrics().lineSpacing() * 5 + 12);
    return field;
}

QScrollArea* scrolled(QWidget* content) {
    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    return scroll;
}

// The page's column: the sections from the top, the room left below them.
QVBoxLayout* column(QWidget* page) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    return layout;
}

// Sections made at a time on the plan step; more follow as the page scrolls
// down or the focus reaches the last one, so hundreds of goals open at once.
constexpr std::size_t sectionBatch = 12;

} // namespace

WeeklyRitualView::WeeklyRitualView(AppEnvironment& environment, QWidget* parent)
    : WeeklyRitualView(
          environment,
          Week::forDate(environment.now(), environment.context(), environment.calendar(), true),
          parent) {}

WeeklyRitualView::WeeklyRitualView(AppEnvironment& environment, Week& week, QWidget* parent)
    : WeeklyRitualView(environment, &week, parent) {}

WeeklyRitualView::WeeklyRitualView(AppEnvironment& environment, Week* week, QWidget* parent)
    : QDialog(parent), env_(environment), model_(new WeeklyRitualModel(environment, week, this)) {
    setObjectName(QStringLiteral("WeeklyRitualView"));
    setWindowModality(Qt::WindowModal);
    setMinimumSize(540, 560);
    resize(580, 600);

    title_ = screenTitle(QString());
    pages_ = new QStackedWidget;
    retroPage_ = scrolled(buildRetroPage());
    intentionPage_ = scrolled(buildIntentionPage());
    planScroll_ = scrolled(buildPlanPage());
    planPage_ = planScroll_;
    finishPage_ = scrolled(buildFinishPage());
    for (QWidget* page : {retroPage_, intentionPage_, planPage_, finishPage_})
        pages_->addWidget(page);

    close_ = new QPushButton(tr("Close"));
    close_->setToolTip(tr("Close (Esc)"));
    back_ = new QPushButton(tr("Back"));
    next_ = new QPushButton(tr("Next"));
    finish_ = new QPushButton(tr("Finish"));
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(back_, &QPushButton::clicked, model_, &WeeklyRitualModel::back);
    connect(next_, &QPushButton::clicked, model_, &WeeklyRitualModel::next);
    connect(finish_, &QPushButton::clicked, model_, &WeeklyRitualModel::finish);
    // From inside a text field (where Return is a new line) straight on.
    auto* onward = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(onward, &QShortcut::activated, this,
            [this] { (model_->isFinishStep() ? finish_ : next_)->click(); });
    next_->setToolTip(tr("Next (Ctrl+Return)"));
    finish_->setToolTip(tr("Finish (Ctrl+Return)"));
    connect(model_, &WeeklyRitualModel::finished, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(close_);
    buttons->addStretch(1);
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    buttons->addWidget(finish_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title_);
    layout->addWidget(pages_, 1);
    layout->addLayout(buttons);

    connect(model_, &WeeklyRitualModel::changed, this, &WeeklyRitualView::render);
    connect(model_, &WeeklyRitualModel::newItemTitleChanged, this, &WeeklyRitualView::renderDraft);
    QScrollBar* bar = planScroll_->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, [this] { growSections(false); });
    connect(bar, &QScrollBar::rangeChanged, this, [this] { growSections(false); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        // Queued: the focus also moves while sections are being replaced.
        if (now && !sections_.empty() && sections_.back().box->isAncestorOf(now))
            QTimer::singleShot(0, this, [this] { growSections(true); });
    });
    // Its week deleted elsewhere (or its creation undone): nothing left to plan.
    connect(model_, &WeeklyRitualModel::weekRemoved, this,
            [this] { QTimer::singleShot(0, this, &QDialog::reject); });
    render();
}

QWidget* WeeklyRitualView::buildRetroPage() {
    retroEmpty_ = secondaryLabel(tr("Nothing was planned last week"));
    retroList_ = itemList(tr("What Moved"), model_->retroList());
    auto* moved = new QVBoxLayout;
    moved->addWidget(retroEmpty_);
    moved->addWidget(retroList_);

    reflection_ = textField(tr("Reflection"), tr("A short reflection on last week"));
    reflection_->installEventFilter(this);
    connect(reflection_, &QPlainTextEdit::textChanged, this, [this] {
        if (reflection_->signalsBlocked())
            return;
        shownReflection_ = reflection_->toPlainText();
        model_->setReflection(shownReflection_);
    });
    auto* reflect = new QVBoxLayout;
    reflect->addWidget(reflection_);

    auto* page = new QWidget;
    QVBoxLayout* layout = column(page);
    layout->addWidget(section(tr("What Moved"), moved));
    layout->addWidget(section(tr("What moved for you?"), reflect));
    layout->addStretch(1);
    return page;
}

QWidget* WeeklyRitualView::buildIntentionPage() {
    intention_ = textField(tr("Intention"), tr("e.g. Ship the onboarding flow"));
    intention_->installEventFilter(this);
    connect(intention_, &QPlainTextEdit::textChanged, this, [this] {
        if (intention_->signalsBlocked())
            return;
        shownIntention_ = intention_->toPlainText();
        model_->setIntention(shownIntention_);
    });
    auto* focus = new QVBoxLayout;
    focus->addWidget(intention_);

    auto* page = new QWidget;
    QVBoxLayout* layout = column(page);
    layout->addWidget(section(tr("What's the focus this week?"), focus));
    layout->addStretch(1);
    return page;
}

QWidget* WeeklyRitualView::buildPlanPage() {
    noGoals_ = new GuidedEmptyState(tr("No Active Goals"), QStringLiteral("target"),
                                    tr("Add a goal first, then come back to plan this week."),
                                    env_.preferences());
    auto* page = new QWidget;
    QVBoxLayout* layout = column(page);
    layout->addWidget(noGoals_, 1);
    goalSections_ = new QVBoxLayout;
    goalSections_->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(goalSections_);
    layout->addStretch(1);
    return page;
}

QWidget* WeeklyRitualView::buildFinishPage() {
    intentionSummary_ = new QLabel;
    intentionSummary_->setTextFormat(Qt::PlainText);
    intentionSummary_->setWordWrap(true);
    auto* intention = new QVBoxLayout;
    intention->addWidget(intentionSummary_);

    finishEmpty_ = secondaryLabel(tr("Nothing planned yet"));
    finishList_ = itemList(tr("This Week's Items"), model_->finishList());
    auto* items = new QVBoxLayout;
    items->addWidget(finishEmpty_);
    items->addWidget(finishList_);

    auto* page = new QWidget;
    QVBoxLayout* layout = column(page);
    layout->addWidget(section(tr("Intention"), intention));
    layout->addWidget(section(tr("This Week's Items"), items));
    if (env_.http() && env_.secrets()) {
        review_ = new AIReviewSectionView(model_->reviewText(),
                                          {env_.http(), env_.secrets(), &env_.preferences()});
        auto* review = new QVBoxLayout;
        review->addWidget(review_);
        layout->addWidget(section(tr("AI Review"), review));
    }
    layout->addStretch(1);
    return page;
}

WeeklyRitualView::GoalSection WeeklyRitualView::makeGoalSection(Goal& goal) {
    GoalSection s;
    s.id = goal.id();
    s.goal = &goal;
    s.list = itemList(goal.title(), model_->planList(goal));
    s.field = new QLineEdit;
    s.field->setPlaceholderText(tr("Add an item for this goal"));
    s.field->setAccessibleName(tr("Add an item for this goal"));
    s.field->setClearButtonEnabled(true);
    s.field->installEventFilter(this);
    s.add = new QPushButton(tr("Add"));
    s.add->setAutoDefault(false);
    s.add->setAccessibleName(tr("Add"));
    const QUuid id = goal.id();
    connect(s.field, &QLineEdit::textEdited, this, [this, id](const QString& text) {
        if (const GoalSection* shown = sectionOf(id))
            model_->setNewItemTitle(*shown->goal, text);
    });
    connect(s.add, &QPushButton::clicked, this, [this, id] {
        const GoalSection* shown = sectionOf(id);
        if (!shown)
            return;
        const bool hadFocus = shown->add->hasFocus();
        model_->addItem(*shown->goal);
        // The button is disabled now; typing goes on in the field.
        if (hadFocus && (shown = sectionOf(id)))
            shown->field->setFocus(Qt::OtherFocusReason);
    });
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(s.field, 1);
    addRow->addWidget(s.add);
    auto* content = new QVBoxLayout;
    content->addWidget(s.list);
    content->addLayout(addRow);
    s.box = section(QString(goal.title()).replace(u'&', QStringLiteral("&&")), content);
    return s;
}

const WeeklyRitualView::GoalSection* WeeklyRitualView::sectionOf(const QUuid& goal) const {
    for (const GoalSection& s : sections_) {
        if (s.id == goal)
            return &s;
    }
    return nullptr;
}

QGroupBox* WeeklyRitualView::goalSection(const Goal& goal) const {
    const GoalSection* s = sectionOf(goal.id());
    return s ? s->box : nullptr;
}

QLineEdit* WeeklyRitualView::addField(const Goal& goal) const {
    const GoalSection* s = sectionOf(goal.id());
    return s ? s->field : nullptr;
}

QPushButton* WeeklyRitualView::addButton(const Goal& goal) const {
    const GoalSection* s = sectionOf(goal.id());
    return s ? s->add : nullptr;
}

RecordListView* WeeklyRitualView::goalItemList(const Goal& goal) const {
    const GoalSection* s = sectionOf(goal.id());
    return s ? s->list : nullptr;
}

void WeeklyRitualView::render() {
    if (!model_->week())
        return;
    const RitualStep step = model_->step();
    setWindowTitle(model_->title());
    title_->setText(model_->title());
    QWidget* page = step == RitualStep::retro       ? retroPage_
                    : step == RitualStep::intention ? intentionPage_
                    : step == RitualStep::planItems ? planPage_
                                                    : finishPage_;
    pages_->setCurrentWidget(page);

    back_->setVisible(model_->canGoBack());
    next_->setVisible(!model_->isFinishStep());
    finish_->setVisible(model_->isFinishStep());
    // Return takes the step forward: Next, and Finish on the last step.
    next_->setDefault(!model_->isFinishStep());
    finish_->setDefault(model_->isFinishStep());

    // Retro.
    const bool nothingLastWeek = model_->retroList()->rowCount() == 0;
    retroEmpty_->setVisible(nothingLastWeek);
    fitToRows(retroList_);
    // The fields follow the records (undo, another window) without echoing
    // back; compared with what was shown last, as the editor reads some
    // characters back differently.
    if (model_->reflection() != shownReflection_) {
        shownReflection_ = model_->reflection();
        if (reflection_->toPlainText() != shownReflection_) {
            const QSignalBlocker block(reflection_);
            reflection_->setPlainText(shownReflection_);
        }
    }
    if (model_->intention() != shownIntention_) {
        shownIntention_ = model_->intention();
        if (intention_->toPlainText() != shownIntention_) {
            const QSignalBlocker block(intention_);
            intention_->setPlainText(shownIntention_);
        }
    }

    // The plan's sections follow only while they are shown.
    if (step == RitualStep::planItems)
        renderPlan();

    // Finish.
    intentionSummary_->setText(model_->hasIntention() ? model_->intention()
                                                      : tr("No intention set"));
    intentionSummary_->setForegroundRole(model_->hasIntention() ? QPalette::WindowText
                                                                : QPalette::PlaceholderText);
    finishEmpty_->setVisible(model_->finishList()->rowCount() == 0);
    fitToRows(finishList_);
    if (review_)
        review_->model()->setText(model_->reviewText());

    if (int(step) != shownStep_) {
        shownStep_ = int(step);
        focusStep();
    }
}

void WeeklyRitualView::renderPlan() {
    const std::vector<Goal*> goals = model_->activeGoals();
    noGoals_->setVisible(goals.empty());
    activeGoalCount_ = goals.size();
    sectionsWanted_ = std::max(sectionsWanted_, sectionBatch);
    const std::size_t count = std::min(goals.size(), sectionsWanted_);

    // Sections are kept per goal, so a field keeps its text, cursor and focus.
    bool same = count == sections_.size();
    for (std::size_t i = 0; same && i < count; ++i)
        same = goals[i]->id() == sections_[i].id && goals[i] == sections_[i].goal;
    if (!same) {
        std::vector<GoalSection> kept;
        for (std::size_t i = 0; i < count; ++i) {
            Goal* goal = goals[i];
            auto it = std::find_if(sections_.begin(), sections_.end(),
                                   [goal](const GoalSection& s) { return s.id == goal->id(); });
            if (it != sections_.end()) {
                kept.push_back(*it);
                kept.back().goal = goal; // an undone deletion brings a new record back
                sections_.erase(it);
            } else {
                kept.push_back(makeGoalSection(*goal));
            }
        }
        for (GoalSection& gone : sections_) {
            gone.box->hide();
            gone.box->deleteLater();
        }
        sections_ = std::move(kept);
        for (const GoalSection& s : sections_)
            goalSections_->removeWidget(s.box);
        for (const GoalSection& s : sections_)
            goalSections_->addWidget(s.box);
        // Tab follows the sections down the page.
        QWidget* previous = nullptr;
        for (const GoalSection& s : sections_) {
            if (previous)
                setTabOrder(previous, s.list);
            setTabOrder(s.list, s.field);
            setTabOrder(s.field, s.add);
            previous = s.add;
        }
    }
    for (const GoalSection& s : sections_)
        renderSection(s);
}

void WeeklyRitualView::renderSection(const GoalSection& s) {
    const QString title = s.goal->title();
    s.box->setTitle(QString(title).replace(u'&', QStringLiteral("&&")));
    s.list->setAccessibleName(title);
    // One field and button per goal: the goal tells them apart when read aloud.
    s.field->setAccessibleDescription(title);
    s.add->setAccessibleDescription(tr("Add an item to %1").arg(title));
    fitToRows(s.list);
    renderDraft(s.id);
}

void WeeklyRitualView::renderDraft(const QUuid& goal) {
    const GoalSection* s = sectionOf(goal);
    if (!s)
        return;
    const QString text = model_->newItemTitle(*s->goal);
    if (s->field->text() != text)
        s->field->setText(text);
    s->add->setEnabled(model_->canAddItem(*s->goal));
}

// More sections when the page is scrolled to within a screen of its end (or
// is not yet full), or at once when the focus reaches the last one.
void WeeklyRitualView::growSections(bool always) {
    if (!model_->week() || model_->step() != RitualStep::planItems ||
        sections_.size() >= activeGoalCount_)
        return;
    const QScrollBar* bar = planScroll_->verticalScrollBar();
    if (!always && bar->value() < bar->maximum() - bar->pageStep())
        return;
    sectionsWanted_ = sections_.size() + sectionBatch;
    renderPlan();
}

void WeeklyRitualView::focusStep() {
    switch (model_->step()) {
    case RitualStep::retro:
        reflection_->setFocus(Qt::OtherFocusReason);
        break;
    case RitualStep::intention:
        intention_->setFocus(Qt::OtherFocusReason);
        break;
    case RitualStep::planItems:
        if (!sections_.empty())
            sections_.front().field->setFocus(Qt::OtherFocusReason);
        else
            next_->setFocus(Qt::OtherFocusReason);
        break;
    case RitualStep::finish:
        finish_->setFocus(Qt::OtherFocusReason);
        break;
    }
}

bool WeeklyRitualView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == reflection_ || watched == intention_))
        model_->endTypingBurst();
    // Return in an add field neither adds nor moves on.
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void WeeklyRitualView::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && model_->week())
        render();
}

} // namespace orvana
