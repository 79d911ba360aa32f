#pragma once

#include <QWidget>
#include <array>

class QGridLayout;
class QLabel;
class QScrollArea;

namespace orvana {

class AcknowledgmentBanner;
class AppEnvironment;
class DailyBarChart;
class GuidedEmptyState;
class OverviewModel;
class RecordListView;

// The "Overview" screen: renders an OverviewModel. Four stat cards in as
// many columns as fit, the focus of the last 30 days as bars, the minutes per
// goal as a list, the empty state in place of all that when there are no
// records at all, and the acknowledgment banner each time the screen is
// shown.
class OverviewView : public QWidget {
    Q_OBJECT
public:
    explicit OverviewView(AppEnvironment& environment, QWidget* parent = nullptr);

    OverviewModel* model() const { return model_; }
    // The stat cards, in order: focus time, streak, goals, tasks.
    QWidget* card(int index) const { return cards_.at(size_t(index)).frame; }
    int cardColumns() const { return columns_; }
    QWidget* chartSection() const { return chartSection_; }
    DailyBarChart* chart() const { return chart_; }
    QWidget* goalSection() const { return goalSection_; }
    RecordListView* goalList() const { return list_; }
    GuidedEmptyState* emptyState() const { return empty_; }
    AcknowledgmentBanner* acknowledgmentBanner() const { return banner_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Card {
        QWidget* frame = nullptr;
        QLabel* icon = nullptr;
        QLabel* value = nullptr;
        QLabel* label = nullptr;
    };

    void renderModel();
    void renderCards();
    void layOutCards();

    OverviewModel* model_;
    QScrollArea* scroll_ = nullptr;
    QGridLayout* cardGrid_ = nullptr;
    std::array<Card, 4> cards_;
    int columns_ = 0;
    QWidget* chartSection_ = nullptr;
    DailyBarChart* chart_ = nullptr;
    QWidget* goalSection_ = nullptr;
    RecordListView* list_ = nullptr;
    GuidedEmptyState* empty_ = nullptr;
    AcknowledgmentBanner* banner_ = nullptr;
};

} // namespace orvana
