#include "Views/Onboarding/OnboardingView.h"

#include "Views/Goals/GoalFormModel.h"
#include "Views/Goals/GoalFormView.h"
#include "Views/Onboarding/OnboardingModel.h"
#include "Views/Onboarding/PageDots.h"
#include "Views/Shared/SymbolIconLabel.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvana {

OnboardingView::OnboardingView(AppEnvironment& environment, QWidget* parent)
    : QWidget(parent), env_(environment), model_(new OnboardingModel(environment, this)) {
    // The column the page is laid out in, centred in whatever space the
    // window gives; about sixty characters wide, so the texts wrap alike.
    auto* column = new QWidget;
    column->setMaximumWidth(fontMetrics().averageCharWidth() * 64);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(fontMetrics().height() / 2);

    // The steps' pictograms, built once; the hidden ones take no space.
    for (OnboardingStep step : allOnboardingSteps) {
        auto* icon = new SymbolIconLabel(OnboardingModel::symbolName(step), 4.0);
        icon->setVisible(false);
        icons_.push_back(icon);
        layout->addWidget(icon, 0, Qt::AlignHCenter);
    }
    layout->addSpacing(fontMetrics().height() / 2);

    title_ = new QLabel;
    QFont font = title_->font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    title_->setFont(font);
    title_->setAlignment(Qt::AlignCenter);
    title_->setWordWrap(true);
    title_->setTextFormat(Qt::PlainText);
    layout->addWidget(title_);

    // Added without an alignment, so the layout gives it the column's width
    // and the height its wrapped lines need.
    text_ = new QLabel;
    text_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    text_->setWordWrap(true);
    text_->setTextFormat(Qt::PlainText);
    // Room for the longest text, so the dots and buttons stay put from page
    // to page.
    text_->setMinimumHeight(text_->fontMetrics().lineSpacing() * 3);
    layout->addWidget(text_);
    layout->addSpacing(fontMetrics().height());

    dots_ = new PageDots(int(allOnboardingSteps.size()));
    dots_->setAccessibleName(OnboardingModel::pageIndicatorName());
    layout->addWidget(dots_, 0, Qt::AlignHCenter);
    layout->addSpacing(fontMetrics().height());

    first_ = new QPushButton;
    // Return is the second button's, wherever the focus is on the page.
    first_->setAutoDefault(false);
    second_ = new QPushButton;
    second_->setAutoDefault(true);
    second_->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(first_);
    buttons->addStretch(1);
    buttons->addWidget(second_);
    layout->addLayout(buttons);

    auto* centred = new QHBoxLayout;
    centred->addStretch(1);
    centred->addWidget(column, 100);
    centred->addStretch(1);
    auto* outer = new QVBoxLayout(this);
    outer->addStretch(1);
    outer->addLayout(centred);
    outer->addStretch(1);

    // The buttons stay while the pages change, so the focus stays on the
    // second one and Return goes on from page to page.
    setFocusProxy(second_);
    connect(first_, &QPushButton::clicked, model_, &OnboardingModel::firstButton);
    connect(second_, &QPushButton::clicked, model_, &OnboardingModel::secondButton);
    connect(model_, &OnboardingModel::changed, this, &OnboardingView::render);
    connect(model_, &OnboardingModel::goalFormRequested, this, &OnboardingView::presentGoalForm);
    render();
}

void OnboardingView::render() {
    const int index = rawValue(model_->step());
    for (std::size_t i = 0; i < icons_.size(); ++i)
        icons_[i]->setVisible(int(i) == index);
    title_->setText(model_->title());
    text_->setText(model_->text());
    dots_->setCurrent(index);
    dots_->setAccessibleDescription(model_->pageDescription());
    first_->setText(model_->firstButtonText());
    second_->setText(model_->secondButtonText());
    // The focus stays on the second button from page to page; its
    // description lets a screen reader tell the new page.
    second_->setAccessibleDescription(model_->title() + QLatin1Char('\n') + model_->text());
    setAccessibleName(model_->title());
}

void OnboardingView::keyPressEvent(QKeyEvent* event) {
    // Return on the page or on the first button (which leaves it to us).
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        second_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void OnboardingView::presentGoalForm() {
    auto* form = new GoalFormView(new GoalFormModel(env_), env_, this);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setWindowModality(Qt::WindowModal);
    // Saved, cancelled, Escape or the window's close button: finished comes
    // once for each, after the form has gone.
    connect(form, &QDialog::finished, model_, &OnboardingModel::goalFormDismissed);
    form->show();
}

} // namespace orvana
