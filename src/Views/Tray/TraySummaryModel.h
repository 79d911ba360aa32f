#pragma once

#include "Core/Timestamp.h"

#include <QLocale>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

namespace orvana {

class AppEnvironment;
class DayTask;
class FocusBlockTemplate;
template <typename T> class LiveQuery;

// The tray's summary of the day without widgets: Today's One Thing with its
// completion toggle, the focus streak, the next recurring block still
// relevant today, and the way back to the main window.
//
// The day is taken afresh by refresh(), which the popup calls each time it
// opens; nothing is computed before the first refresh. While shown the
// summary follows changes to the records and the clock. The streak is
// FocusFigures', as the Overview shows it.
class TraySummaryModel : public QObject {
    Q_OBJECT
public:
    explicit TraySummaryModel(AppEnvironment& environment, QObject* parent = nullptr);
    ~TraySummaryModel() override;

    static QString heading();
    static QString nothingSetText();
    static QString guidanceText();
    static QString openButtonText();
    // "1 day streak", "2 days streak".
    static QString streakText(qint64 days);
    // The block's time of day in the locale's short time format; "%02d:%02d"
    // when the hour or minute is not a time of day, and in the C locale.
    static QString timeLabel(const FocusBlockTemplate& block, const QLocale& locale = QLocale());

    // Takes the day and the clock afresh and recomputes everything.
    void refresh();
    // Shown: refresh, then follow changes until hidden.
    void setShown(bool shown);
    bool isShown() const { return shown_; }

    Timestamp startOfToday() const { return startOfToday_; }

    // The first of today's tasks flagged as Today's One Thing, in the
    // store's order.
    DayTask* oneThingTask() const { return oneThing_; }
    // Ticks the one thing off or back on, as Today does (its week item
    // follows; ticking off withdraws its reminder). Nothing is saved.
    void toggleOneThing();

    qint64 streak() const { return streak_; }
    // Empty while the streak is 0.
    QString streakLine() const;

    // The active block still relevant now that starts first, if any.
    FocusBlockTemplate* upcomingBlock() const { return upcomingBlock_; }
    // "Deep work · 09:00", empty without a block.
    QString upcomingBlockLine() const;

    // "Open Orvana".
    void openMainWindow() { emit openRequested(); }

    // Re-reads the clock: the block that has just ended goes, the day moves
    // on at midnight. A timer calls it every half minute while shown.
    void checkTime();

signals:
    void changed();
    void openRequested();

private:
    void setDay();
    void rebuild();

    AppEnvironment& env_;
    std::unique_ptr<LiveQuery<DayTask>> todaysTasks_;
    std::unique_ptr<LiveQuery<FocusBlockTemplate>> activeTemplates_;
    Timestamp startOfToday_ = 0;
    Timestamp startOfTomorrow_ = 0;
    DayTask* oneThing_ = nullptr;
    FocusBlockTemplate* upcomingBlock_ = nullptr;
    qint64 streak_ = 0;
    bool shown_ = false;
    QTimer clockCheck_;
};

} // namespace orvana
