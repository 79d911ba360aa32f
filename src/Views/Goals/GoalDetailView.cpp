#include "Views/Goals/GoalDetailView.h"

#include "Models/Goal.h"
#include "Services/AppEnvironment.h"
#include "Views/AI/AIReviewSectionView.h"
#include "Views/Goals/GoalBadges.h"
#include "Views/Goals/GoalColorTagPicker.h"
#include "Views/Goals/GoalDetailModel.h"
#include "Views/Goals/GoalTrailSection.h"
#include "Views/Navigation/NavigationStack.h"
#include "Views/Navigation/SectionScreenFactory.h"
#include "Views/Shared/SymbolIconLabel.h"
#include "Views/Shared/TagColors.h"
#include "Views/Shared/TimestampFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

namespace orvana {

namespace {

// The goal's colour as a small dot (the faded secondary colour untagged).
class ColorDot : public QWidget {
public:
    ColorDot() { setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed); }
    void setColor(const QColor& color) {
        color_ = color;
        update();
    }
    QSize sizeHint() const override {
        const int d = fontMetrics().height() * 3 / 5;
        return {d, d};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(color_);
        const int d = std::min(width(), height());
        p.drawEllipse(QRectF((width() - d) / 2.0, (height() - d) / 2.0, d, d));
    }

private:
    QColor color_;
};

QGroupBox* section(const QString& title, QLayout* content) {
    auto* box = new QGroupBox(title);
    box->setLayout(content);
    return box;
}

} // namespace

GoalDetailView::GoalDetailView(AppEnvironment& environment, Goal& goal, QWidget* parent)
    : QWidget(parent), env_(environment), model_(new GoalDetailModel(environment, goal, this)) {
    setObjectName(QStringLiteral("GoalDetailView"));
    // Header.
    dot_ = new ColorDot;
    statusPill_ = new BadgeLabel;
    flame_ = new SymbolIconLabel(QStringLiteral("flame"), 1.0);
    minutes_ = new QLabel;
    minutes_->setTextFormat(Qt::PlainText);
    targetBadge_ = new BadgeLabel;
    auto* header = new QHBoxLayout;
    header->addWidget(dot_);
    header->addWidget(statusPill_);
    header->addSpacing(4);
    header->addWidget(flame_);
    header->addWidget(minutes_);
    header->addStretch(1);
    header->addWidget(targetBadge_);

    // "Goal".
    title_ = new QLineEdit;
    title_->setAccessibleName(tr("Title"));
    title_->setPlaceholderText(tr("Title"));
    title_->installEventFilter(this);
    connect(title_, &QLineEdit::textEdited, model_, &GoalDetailModel::setTitle);
    description_ = new QPlainTextEdit;
    description_->setAccessibleName(tr("Description"));
    description_->setPlaceholderText(tr("Description"));
    description_->setTabChangesFocus(true);
    description_->setFixedHeight(description_->fontMetrics().lineSpacing() * 4 + 12);
    description_->installEventFilter(this);
    connect(description_, &QPlainTextEdit::textChanged, this, [this] {
        if (description_->signalsBlocked())
            return;
        shownDescription_ = description_->toPlainText();
        model_->setGoalDescription(shownDescription_);
    });
    status_ = new QComboBox;
    status_->setAccessibleName(tr("Status"));
    for (GoalStatus s : {GoalStatus::active, GoalStatus::completed, GoalStatus::archived})
        status_->addItem(statusLabel(s), int(s));
    connect(status_, &QComboBox::activated, this,
            [this](int index) { model_->setStatus(GoalStatus(status_->itemData(index).toInt())); });
    color_ = new GoalColorTagPicker;
    connect(color_, &GoalColorTagPicker::picked, model_, &GoalDetailModel::setColorTag);
    auto* fields = new QFormLayout;
    fields->addRow(tr("T&itle"), title_);
    fields->addRow(tr("&Description"), description_);
    fields->addRow(tr("&Status"), status_);
    auto* colorLabel = new QLabel(tr("&Color"));
    colorLabel->setBuddy(color_);
    fields->addRow(colorLabel, color_);

    // "Target date".
    hasTarget_ = new QCheckBox(tr("Set a &target date"));
    connect(hasTarget_, &QCheckBox::toggled, model_, &GoalDetailModel::setHasTargetDate);
    target_ = new QDateEdit;
    target_->setCalendarPopup(true);
    target_->setAccessibleName(tr("Target date"));
    // A date typed digit by digit is stored once, when it is complete.
    target_->setKeyboardTracking(false);
    connect(target_, &QDateEdit::dateChanged, this, [this](QDate day) {
        if (!target_->signalsBlocked())
            model_->setTargetDate(onDay(day, model_->targetDate(), env_.calendar()));
    });
    auto* targetForm = new QFormLayout;
    targetForm->addRow(QString(), hasTarget_);
    targetLabel_ = new QLabel(tr("Tar&get date"));
    targetLabel_->setBuddy(target_);
    targetForm->addRow(targetLabel_, target_);

    trail_ = new GoalTrailSection(env_, goal);
    auto* trailLayout = new QVBoxLayout;
    trailLayout->addWidget(trail_);

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->addLayout(header);
    column->addWidget(section(tr("Goal"), fields));
    column->addWidget(section(tr("Target date"), targetForm));
    column->addWidget(section(tr("Goal Trail"), trailLayout));
    if (env_.http() && env_.secrets()) {
        review_ = new AIReviewSectionView(model_->reviewText(),
                                          {env_.http(), env_.secrets(), &env_.preferences()});
        auto* reviewLayout = new QVBoxLayout;
        reviewLayout->addWidget(review_);
        column->addWidget(section(tr("AI Review"), reviewLayout));
    }
    column->addStretch(1);

    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    connect(model_, &GoalDetailModel::changed, this, &GoalDetailView::render);
    connect(model_, &GoalDetailModel::goalRemoved, this, [this] {
        // Off the stack once the current event is over (the page may be in
        // the middle of handling a key).
        QTimer::singleShot(0, this, [this] {
            if (NavigationStack* stack = navigationStackOf(this);
                stack && stack->currentPage() == this)
                stack->pop();
        });
    });
    setFocusProxy(title_);
    render();
}

void GoalDetailView::render() {
    if (!model_->goal())
        return;
    renderTint();
    statusPill_->setText(model_->statusPillText());
    statusPill_->setVisible(!model_->statusPillText().isEmpty());
    const QString minutes = model_->minutesLoggedText();
    minutes_->setText(minutes);
    minutes_->setVisible(!minutes.isEmpty());
    flame_->setVisible(!minutes.isEmpty());
    const auto badge = model_->targetBadge();
    targetBadge_->setVisible(badge.has_value());
    if (badge) {
        targetBadge_->setText(badge->text);
        targetBadge_->setColor(targetBadgeColor(badge->tone, palette()));
    }

    // Fields follow the goal (undo, another window) without echoing back.
    if (title_->text() != model_->title())
        title_->setText(model_->title());
    // Compared with what was shown last: the editor reads some characters
    // back differently (line ends, non-breaking spaces).
    if (model_->goalDescription() != shownDescription_) {
        shownDescription_ = model_->goalDescription();
        if (description_->toPlainText() != shownDescription_) {
            const QSignalBlocker block(description_);
            description_->setPlainText(shownDescription_);
        }
    }
    status_->setCurrentIndex(status_->findData(int(model_->status())));
    color_->setSelection(model_->colorTag());
    {
        const QSignalBlocker block(hasTarget_);
        hasTarget_->setChecked(model_->hasTargetDate());
    }
    targetLabel_->setVisible(model_->hasTargetDate());
    target_->setVisible(model_->hasTargetDate());
    if (model_->hasTargetDate()) {
        const QSignalBlocker block(target_);
        target_->setDate(dateOf(model_->targetDate(), env_.calendar()));
    }
    if (review_)
        review_->model()->setText(model_->reviewText());
    if (model_->title() != shownTitle_) {
        shownTitle_ = model_->title();
        emit titleChanged(shownTitle_);
    }
}

void GoalDetailView::renderTint() {
    const QString raw = model_->rawColorTag();
    static_cast<ColorDot*>(dot_)->setColor(tagColor(raw, palette(), 0.30));
    // The trail's bars: the tag's colour, or the accent without one.
    trail_->setTint(model_->colorTag() ? tagColor(raw, palette())
                                       : palette().color(QPalette::Highlight));
}

bool GoalDetailView::eventFilter(QObject* watched, QEvent* event) {
    // Leaving a field ends its burst of typing: the next edit is a new step.
    if ((watched == title_ || watched == description_) && event->type() == QEvent::FocusOut)
        model_->endTypingBurst();
    return QWidget::eventFilter(watched, event);
}

void GoalDetailView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && model_->goal())
        render();
}

} // namespace orvana
