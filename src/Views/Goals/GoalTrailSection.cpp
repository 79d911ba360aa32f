#include "Views/Goals/GoalTrailSection.h"

#include "Services/AppEnvironment.h"
#include "Views/Goals/GoalTrailModel.h"
#include "Views/Shared/DailyBarChart.h"
#include "Views/Shared/GuidedEmptyState.h"

#include <QLabel>
#include <QVBoxLayout>

namespace orvana {

GoalTrailSection::GoalTrailSection(AppEnvironment& environment, Goal& goal, QWidget* parent)
    : QWidget(parent), model_(new GoalTrailModel(environment, goal, this)),
      empty_(new GuidedEmptyState(GoalTrailModel::emptyTitle(), GoalTrailModel::emptySymbol(),
                                  GoalTrailModel::emptyDescription(), environment.preferences())),
      summary_(new QLabel), chart_(new DailyBarChart) {
    setObjectName(QStringLiteral("GoalTrailSection"));
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setTextFormat(Qt::PlainText);
    summary_->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(empty_);
    layout->addWidget(summary_);
    layout->addWidget(chart_);

    connect(model_, &GoalTrailModel::changed, this, &GoalTrailSection::render);
    render();
}

void GoalTrailSection::setTint(const QColor& tint) {
    chart_->setTint(tint);
}

void GoalTrailSection::render() {
    const bool empty = model_->isEmpty();
    empty_->setVisible(empty);
    summary_->setVisible(!empty);
    chart_->setVisible(!empty);
    summary_->setText(empty ? QString() : model_->summary());
    chart_->setTotals(model_->dailyTotals(), model_->calendar());
}

} // namespace orvana
