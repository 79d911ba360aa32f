#include "Views/AI/AIReviewSectionView.h"

#include "Views/Shared/BusyIndicator.h"
#include "Views/Shared/StatusColors.h"
#include "Views/Shared/SymbolIcon.h"
#include "Views/Shared/SymbolIconLabel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace orvana {

namespace {

QLabel* wrappingLabel(QWidget* parent = nullptr) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

} // namespace

AIReviewSectionView::AIReviewSectionView(QString text, AIReviewEnvironment environment,
                                         QWidget* parent)
    : QWidget(parent), model_(new AIReviewSectionModel(std::move(text), environment, this)),
      button_(new QPushButton(symbolIcon(QStringLiteral("sparkles")), tr("AI Review"))),
      busy_(new BusyIndicator), footnote_(wrappingLabel()), error_(wrappingLabel()),
      resultBox_(new QWidget), resultLayout_(new QVBoxLayout(resultBox_)) {
    // The spinner sits inside the button in place of its label; the button
    // keeps its labelled size so nothing jumps.
    button_->setMinimumSize(button_->sizeHint());
    button_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* inside = new QHBoxLayout(button_);
    inside->setContentsMargins(0, 0, 0, 0);
    inside->addWidget(busy_, 0, Qt::AlignCenter);
    busy_->hide();
    setFocusPolicy(Qt::ClickFocus);
    connect(button_, &QPushButton::clicked, model_, &AIReviewSectionModel::review);

    footnote_->setText(AIReviewSectionModel::hostedFootnote());
    footnote_->setForegroundRole(QPalette::PlaceholderText);
    resultLayout_->setContentsMargins(0, 0, 0, 0);
    resultLayout_->setSpacing(4);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(button_, 0, Qt::AlignLeft);
    layout->addWidget(footnote_);
    layout->addWidget(error_);
    layout->addWidget(resultBox_);

    connect(model_, &AIReviewSectionModel::changed, this, &AIReviewSectionView::render);
    render();
}

void AIReviewSectionView::render() {
    const bool loading = model_->isLoading();
    button_->setText(loading ? QString() : tr("AI Review"));
    button_->setIcon(loading ? QIcon() : symbolIcon(QStringLiteral("sparkles")));
    button_->setAccessibleName(loading ? tr("Reviewing…") : tr("AI Review"));
    busy_->setVisible(loading);
    // Disabling the focused button would pass focus on (to a dialog's Close
    // button, say, which the next Space would press). Hold it here instead
    // and give it back when the review ends.
    if (loading && button_->hasFocus()) {
        returnFocus_ = true;
        setFocus(Qt::OtherFocusReason);
    }
    button_->setEnabled(model_->canReview());
    if (!loading && returnFocus_) {
        returnFocus_ = false;
        if (hasFocus() && button_->isEnabled())
            button_->setFocus(Qt::OtherFocusReason);
    }

    footnote_->setVisible(model_->showsHostedFootnote());
    error_->setVisible(model_->errorMessage().has_value());
    error_->setText(model_->errorMessage().value_or(QString()));
    setTextColor(error_, cautionColor(palette()));
    renderResult();
}

void AIReviewSectionView::renderResult() {
    const QList<AIReviewSectionModel::Line> lines = model_->resultLines();
    resultBox_->setVisible(!lines.isEmpty());
    if (lines == shownLines_)
        return;
    shownLines_ = lines;
    while (QLayoutItem* item = resultLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    using Kind = AIReviewSectionModel::Line::Kind;
    for (const auto& line : lines) {
        QLabel* label = wrappingLabel();
        label->setText(line.text);
        if (line.kind == Kind::suggestion) {
            resultLayout_->addWidget(label);
            continue;
        }
        const bool solid = line.kind == Kind::solid;
        setTextColor(label, solid ? successColor(palette()) : cautionColor(palette()));
        auto* row = new QWidget;
        auto* rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        rowLayout->addWidget(
            new SymbolIconLabel(solid ? QStringLiteral("checkmark.circle.fill")
                                      : QStringLiteral("exclamationmark.triangle.fill"),
                                1.0));
        rowLayout->addWidget(label, 1);
        resultLayout_->addWidget(row);
    }
}

void AIReviewSectionView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Light and dark themes need other hues.
    if (event->type() == QEvent::PaletteChange) {
        shownLines_.clear();
        render();
    }
}

} // namespace orvana
