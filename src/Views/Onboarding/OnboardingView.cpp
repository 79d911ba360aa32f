#include "Views/Onboarding/OnboardingView.h"

#include "Views/Shared/SymbolIconLabel.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvana {

OnboardingView::OnboardingView(QWidget* parent) : QWidget(parent) {
    auto* icon = new SymbolIconLabel(QStringLiteral("target"), 4.0);
    auto* title = new QLabel(tr("Goals, Broken Down"));
    QFont font = title->font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 1.6);
    font.setBold(true);
    title->setFont(font);
    title->setAlignment(Qt::AlignCenter);
    auto* text = new QLabel(tr("Orvana starts from your goals, not a blank inbox. Each goal breaks "
                               "down into weeks, and each week breaks down into today's tasks."));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    // A wrapped label in a centred column reports a one-line height.
    text->setFixedWidth(460);
    text->setMinimumHeight(text->heightForWidth(460));
    skip_ = new QPushButton(tr("Skip Intro"));
    skip_->setDefault(true);
    skip_->setAutoDefault(true);
    connect(skip_, &QPushButton::clicked, this, &OnboardingView::skipRequested);

    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    layout->addWidget(title);
    layout->addWidget(text, 0, Qt::AlignHCenter);
    layout->addSpacing(16);
    layout->addWidget(skip_, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    setFocusProxy(skip_);
}

} // namespace orvana
