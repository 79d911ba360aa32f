#include "Views/Focus/FocusBlockFormView.h"

#include "Core/Calendar.h"
#include "Models/Goal.h"
#include "Services/AppEnvironment.h"
#include "Views/Focus/FocusBlockFormModel.h"
#include "Views/Focus/FocusBlockListModel.h"
#include "Views/Shared/GuidedFooterText.h"
#include "Views/Shared/ScreenParts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace orvana {

namespace {

// A round weekday toggle: filled in the accent colour while chosen, so the
// chosen days stand out in light and dark palettes alike (a plain checked
// tool button barely differs from an unchecked one in some styles).
class WeekdayToggle : public QToolButton {
public:
    explicit WeekdayToggle(const QString& letter) {
        setText(letter);
        setCheckable(true);
        setAttribute(Qt::WA_Hover);
        setCursor(Qt::PointingHandCursor);
    }

    QSize sizeHint() const override {
        const int side = fontMetrics().height() * 2 + 4;
        return {side, side};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QPalette& pal = palette();
        const QRectF area = QRectF(rect()).adjusted(3, 3, -3, -3);
        const qreal d = qMin(area.width(), area.height());
        const QRectF circle(area.center().x() - d / 2, area.center().y() - d / 2, d, d);
        if (isChecked()) {
            p.setPen(Qt::NoPen);
            p.setBrush(pal.color(QPalette::Highlight));
        } else {
            p.setPen(QPen(pal.color(QPalette::Mid), 1));
            p.setBrush(pal.color(underMouse() ? QPalette::Midlight : QPalette::Button));
        }
        p.drawEllipse(circle.adjusted(0.5, 0.5, -0.5, -0.5));
        if (hasFocus()) {
            p.setPen(QPen(pal.color(QPalette::Highlight), 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(circle.adjusted(-2, -2, 2, 2));
        }
        p.setPen(pal.color(isChecked() ? QPalette::HighlightedText : QPalette::ButtonText));
        p.drawText(circle, Qt::AlignCenter, text());
    }
};

} // namespace

FocusBlockFormView::FocusBlockFormView(FocusBlockFormModel* model, AppEnvironment& environment,
                                       QWidget* parent)
    : QDialog(parent), model_(model) {
    model_->setParent(this);
    setWindowTitle(model_->windowTitle());

    title_ = new QLineEdit(model_->title());
    title_->setAccessibleName(tr("Title"));
    title_->setPlaceholderText(tr("Title"));
    connect(title_, &QLineEdit::textChanged, model_, &FocusBlockFormModel::setTitle);

    auto* dayRow = new QHBoxLayout;
    dayRow->setSpacing(4);
    for (int day = 1; day <= 7; ++day) {
        auto* toggle = new WeekdayToggle(FocusBlockListModel::weekdayLetter(day));
        toggle->setAccessibleName(Calendar::weekdayName(day));
        toggle->setToolTip(Calendar::weekdayName(day));
        toggle->setChecked(model_->isWeekdaySelected(day));
        connect(toggle, &QToolButton::toggled, model_,
                [this, day](bool on) { model_->setWeekdaySelected(day, on); });
        dayRow->addWidget(toggle);
        days_[std::size_t(day - 1)] = toggle;
    }
    dayRow->addStretch(1);
    auto* repeatsOn = new QVBoxLayout;
    repeatsOn->addLayout(dayRow);
    repeatsOn->addWidget(
        new GuidedFooterText(FocusBlockFormModel::repeatsOnFooter(), environment.preferences()));

    time_ = new QTimeEdit(QTime(model_->hour(), model_->minute()));
    // The locale's hours and minutes; the C locale's short time has seconds.
    const QLocale locale;
    time_->setDisplayFormat(locale.language() == QLocale::C
                                ? QStringLiteral("HH:mm")
                                : locale.timeFormat(QLocale::ShortFormat));
    time_->setAccessibleName(tr("Time"));
    connect(time_, &QTimeEdit::timeChanged, this, [this](QTime t) {
        model_->setTime(t.isValid() ? t.hour() : -1, t.isValid() ? t.minute() : -1);
    });

    duration_ = new QSpinBox;
    duration_->setRange(int(model_->minimumDuration()), int(model_->maximumDuration()));
    duration_->setSingleStep(FocusBlockFormModel::durationStep);
    duration_->setValue(int(model_->durationMinutes()));
    duration_->setPrefix(tr("Duration: "));
    duration_->setSuffix(tr(" min"));
    duration_->setAccessibleName(tr("Duration"));
    // Typed digits count once the field is left (or Return saves), so that
    // "120" is not taken for 12 on the way.
    duration_->setKeyboardTracking(false);
    connect(duration_, &QSpinBox::valueChanged, model_, [this](int minutes) {
        model_->setDurationMinutes(minutes);
        render(); // shows where it landed, also when that is unchanged
    });

    goal_ = orvana::goalPicker([this](Goal* g) { model_->setGoal(g); });

    auto* form = new QFormLayout;
    form->addRow(tr("Title"), title_);
    form->addRow(tr("Repeats On"), repeatsOn);
    form->addRow(tr("Time"), time_);
    form->addRow(QString(), duration_);
    form->addRow(tr("Goal"), goal_);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Cancel);
    save_ = buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &FocusBlockFormView::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FocusBlockFormView::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch(1);
    layout->addWidget(buttons);
    setMinimumWidth(420);
    // Only once the button is inside the dialog: set earlier, the dialog
    // never learns of it and makes the first button (Cancel) the default.
    save_->setDefault(true);

    connect(model_, &FocusBlockFormModel::changed, this, &FocusBlockFormView::render);
    render();
    title_->setFocus();
}

void FocusBlockFormView::render() {
    if (duration_->value() != model_->durationMinutes()) {
        const QSignalBlocker block(duration_);
        duration_->setValue(int(model_->durationMinutes()));
    }
    showGoals(goal_, model_->goals(), model_->goal());
    save_->setEnabled(model_->canSave());
}

void FocusBlockFormView::accept() {
    if (model_->save())
        QDialog::accept();
}

} // namespace orvana
