#include "Views/Focus/FocusTimerView.h"

#include "Services/AppEnvironment.h"

#include "Views/Focus/FocusTimerController.h"
#include "Views/Shared/GuidedFooterText.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orvana {

namespace {

QPushButton* button(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAccessibleName(text);
    b->setAutoDefault(false);
    return b;
}

// Titles come from the user: "<b>" in one is shown, not obeyed.
QLabel* plainLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

FocusTimerView::FocusTimerView(FocusTimerController* controller, Preferences& preferences,
                               QWidget* parent)
    : QDialog(parent), controller_(controller) {
    controller_->setParent(this);
    setWindowTitle(tr("Focus Timer"));
    setMinimumWidth(380);

    auto* layout = new QVBoxLayout(this);
    title_ = plainLabel(this);
    QFont titleFont = title_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    title_->setFont(titleFont);
    title_->setAlignment(Qt::AlignCenter);
    title_->setWordWrap(true);
    layout->addWidget(title_);

    // Pages and panels are shown and hidden rather than stacked, so the
    // window takes the size of what is visible (wrapped texts included).
    // --- idle: choose and start -------------------------------------------
    auto* idle = idlePage_ = new QWidget(this);
    auto* idleLayout = new QVBoxLayout(idle);
    pomodoroSwitch_ = new QCheckBox(tr("Pomodoro Mode"), idle);
    pomodoroSwitch_->setAccessibleName(tr("Pomodoro Mode"));
    idleLayout->addWidget(pomodoroSwitch_);
    pomodoroText_ = plainLabel(idle);
    pomodoroText_->setWordWrap(true);
    idleLayout->addWidget(pomodoroText_);
    durationRow_ = new QWidget(idle);
    auto* durationLayout = new QHBoxLayout(durationRow_);
    durationLayout->setContentsMargins(0, 0, 0, 0);
    duration_ = new QSpinBox(durationRow_);
    duration_->setSingleStep(FocusTimerController::durationStep);
    // Typed digits count once the field is left (or Return starts), so that
    // "120" is not taken for 12 on the way.
    duration_->setKeyboardTracking(false);
    duration_->setPrefix(tr("Duration: "));
    duration_->setSuffix(tr(" min"));
    duration_->setAccessibleName(tr("Duration"));
    durationLayout->addWidget(duration_);
    durationLayout->addStretch();
    idleLayout->addWidget(durationRow_);
    startPlain_ = button(tr("Start Focus Session"), idle);
    startPomodoro_ = button(tr("Start Pomodoro"), idle);
    idleLayout->addWidget(startPlain_);
    idleLayout->addWidget(startPomodoro_);
    idleLayout->addWidget(
        new GuidedFooterText(FocusTimerController::guidanceFooter(), preferences, idle));
    layout->addWidget(idle);

    // --- a session: countdown and what can be done with it -----------------
    auto* running = sessionPage_ = new QWidget(this);
    auto* runningLayout = new QVBoxLayout(running);
    caption_ = plainLabel(running);
    caption_->setAlignment(Qt::AlignCenter);
    runningLayout->addWidget(caption_);
    countdown_ = plainLabel(running);
    QFont digits = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    digits.setPointSizeF(QFontInfo(font()).pointSizeF() * 3.2);
    countdown_->setFont(digits);
    countdown_->setAlignment(Qt::AlignCenter);
    // Read as "Time remaining" with the time in words as its description;
    // see announce().
    countdown_->setAccessibleName(tr("Time remaining"));
    runningLayout->addWidget(countdown_);

    auto* active = activeControls_ = new QWidget(running);
    auto* activeLayout = new QHBoxLayout(active);
    pauseResume_ = button(tr("Pause", "the timer"), active);
    stop_ = button(tr("Stop", "the timer"), active);
    activeLayout->addStretch();
    activeLayout->addWidget(pauseResume_);
    activeLayout->addWidget(stop_);
    activeLayout->addStretch();
    runningLayout->addWidget(active);

    auto* transition = transitionPanel_ = new QWidget(running);
    auto* transitionLayout = new QVBoxLayout(transition);
    transitionText_ = plainLabel(transition);
    transitionText_->setAlignment(Qt::AlignCenter);
    transitionLayout->addWidget(transitionText_);
    auto* transitionButtons = new QHBoxLayout;
    next_ = button(QString(), transition);
    auto* transitionClose = button(tr("Close"), transition);
    transitionButtons->addStretch();
    transitionButtons->addWidget(next_);
    transitionButtons->addWidget(transitionClose);
    transitionButtons->addStretch();
    transitionLayout->addLayout(transitionButtons);
    runningLayout->addWidget(transition);

    auto* ended = endedPanel_ = new QWidget(running);
    auto* endedLayout = new QVBoxLayout(ended);
    endedText_ = plainLabel(ended);
    endedText_->setAlignment(Qt::AlignCenter);
    endedLayout->addWidget(endedText_);
    endedClose_ = button(tr("Close"), ended);
    auto* endedButtons = new QHBoxLayout;
    endedButtons->addStretch();
    endedButtons->addWidget(endedClose_);
    endedButtons->addStretch();
    endedLayout->addLayout(endedButtons);
    runningLayout->addWidget(ended);
    layout->addWidget(running);
    layout->addStretch();

    // --- wiring ----------------------------------------------------------
    connect(pomodoroSwitch_, &QCheckBox::toggled, controller_,
            &FocusTimerController::setPomodoroMode);
    connect(duration_, &QSpinBox::valueChanged, controller_, [this](int minutes) {
        controller_->setPlannedMinutes(minutes);
        render(); // shows where it landed, also when that is unchanged
    });
    connect(startPlain_, &QPushButton::clicked, controller_, [this] { controller_->start(); });
    connect(startPomodoro_, &QPushButton::clicked, controller_, [this] { controller_->start(); });
    connect(pauseResume_, &QPushButton::clicked, controller_,
            [this] { controller_->togglePause(); });
    connect(stop_, &QPushButton::clicked, controller_, &FocusTimerController::stop);
    connect(next_, &QPushButton::clicked, controller_, [this] { controller_->startNextSegment(); });
    connect(transitionClose, &QPushButton::clicked, this, &QDialog::close);
    connect(endedClose_, &QPushButton::clicked, this, &QDialog::close);
    connect(controller_, &FocusTimerController::changed, this, &FocusTimerView::render);
    connect(controller_, &FocusTimerController::announcementDue, this, &FocusTimerView::announce);
    render();
}

void FocusTimerView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    controller_->resumeExistingSessionIfAny();
    controller_->setTicking(true);
    render();
}

void FocusTimerView::hideEvent(QHideEvent* event) {
    // Minimising hides the window too (a spontaneous hide): the session goes
    // on, and so does the tick that ends it on time.
    if (event->spontaneous()) {
        QDialog::hideEvent(event);
        return;
    }
    controller_->setTicking(false);
    controller_->pauseIfRunning();
    QDialog::hideEvent(event);
}

void FocusTimerView::render() {
    const FocusTimerController& c = *controller_;
    title_->setText(c.title());
    title_->setVisible(!c.title().isEmpty());

    const auto phase = c.phase();
    idlePage_->setVisible(phase == FocusTimerController::Phase::idle);
    sessionPage_->setVisible(phase != FocusTimerController::Phase::idle);
    if (int(phase) != shownPhase_) {
        // Once the pages below are laid out for it.
        shownPhase_ = int(phase);
        QMetaObject::invokeMethod(this, &FocusTimerView::focusPhase, Qt::QueuedConnection);
    }
    if (phase == FocusTimerController::Phase::idle) {
        const bool pomodoro = c.isPomodoroMode();
        const QSignalBlocker blockSwitch(pomodoroSwitch_);
        pomodoroSwitch_->setChecked(pomodoro);
        pomodoroText_->setText(c.pomodoroDescription());
        pomodoroText_->setVisible(pomodoro);
        startPomodoro_->setVisible(pomodoro);
        durationRow_->setVisible(!pomodoro);
        startPlain_->setVisible(!pomodoro);
        const QSignalBlocker blockDuration(duration_);
        auto inSpinBox = [](qint64 m) { return int(std::clamp<qint64>(m, 1, 100000)); };
        const int minutes = inSpinBox(c.plannedMinutes());
        duration_->setRange(inSpinBox(c.minimumMinutes()), inSpinBox(c.maximumMinutes()));
        if (duration_->value() != minutes) // don't disturb a value being typed
            duration_->setValue(minutes);
        (pomodoro ? startPomodoro_ : startPlain_)->setDefault(true);
        return;
    }

    caption_->setText(c.pomodoroCaption());
    caption_->setVisible(!c.pomodoroCaption().isEmpty());
    countdown_->setText(c.countdownText());
    activeControls_->setVisible(phase == FocusTimerController::Phase::running ||
                                phase == FocusTimerController::Phase::paused);
    transitionPanel_->setVisible(phase == FocusTimerController::Phase::transition);
    endedPanel_->setVisible(phase == FocusTimerController::Phase::ended);
    switch (phase) {
    case FocusTimerController::Phase::running:
    case FocusTimerController::Phase::paused:
        pauseResume_->setText(c.pauseButtonText());
        pauseResume_->setAccessibleName(c.pauseButtonText());
        break;
    case FocusTimerController::Phase::transition:
        transitionText_->setText(c.transitionMessage());
        next_->setText(c.nextSegmentButtonText());
        next_->setAccessibleName(c.nextSegmentButtonText());
        next_->setDefault(true);
        break;
    default:
        endedText_->setText(c.endedMessage());
        endedClose_->setDefault(true);
        break;
    }
}

void FocusTimerView::announce() {
    // Qt 6.4 has no live regions, and a label's text is not read once it has
    // a name: the time goes into the description, and the change is posted
    // (the AT-SPI bridge passes it on as the description's change).
    countdown_->setAccessibleDescription(controller_->spokenStatus());
    QAccessibleEvent event(countdown_, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void FocusTimerView::focusPhase() {
    const FocusTimerController& c = *controller_;
    QWidget* target = nullptr;
    switch (c.phase()) {
    case FocusTimerController::Phase::idle:
        return; // the window's own first focus stays
    case FocusTimerController::Phase::running:
    case FocusTimerController::Phase::paused:
        target = pauseResume_;
        break;
    case FocusTimerController::Phase::transition:
        target = next_;
        break;
    default:
        target = endedClose_;
        break;
    }
    if (target && isVisible())
        target->setFocus(Qt::OtherFocusReason);
}

FocusTimerView* presentFocusTimer(AppEnvironment& env, QWidget* parent, DayTask* task, Goal* goal) {
    // One timer at a time: a request while one is open brings it forward. A
    // quick timer takes the new goal while nothing has started in it.
    const auto open = parent ? parent->findChildren<FocusTimerView*>(Qt::FindDirectChildrenOnly)
                             : QList<FocusTimerView*>();
    for (FocusTimerView* timer : open) {
        if (!timer->isVisible())
            continue;
        if (!task && goal)
            timer->controller().setGoal(goal);
        timer->raise();
        timer->activateWindow();
        return timer;
    }
    auto* controller = new FocusTimerController(env.context(), env.preferences(),
                                                env.notifications(), task, goal, env.clock());
    auto* timer = new FocusTimerView(controller, env.preferences(), parent);
    timer->setAttribute(Qt::WA_DeleteOnClose);
    timer->setWindowModality(Qt::WindowModal);
    timer->show();
    return timer;
}

} // namespace orvana
