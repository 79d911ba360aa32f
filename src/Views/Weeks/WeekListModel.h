#pragma once

#include "Core/Timestamp.h"
#include "Views/Shared/RowListModel.h"
#include "Views/Shared/UndoBannerModel.h"

#include <QDate>
#include <QHash>
#include <QLocale>
#include <QObject>
#include <QTimer>
#include <memory>
#include <utility>
#include <vector>

namespace orvana {

class AppEnvironment;
class Calendar;
class Week;
template <typename T> class LiveQuery;

// What a week's row, its detail and the ritual read about a week.
namespace weeks {

// A locale's medium dates for a week's range, worked out once for many weeks.
class RangeFormat {
public:
    explicit RangeFormat(const QLocale& locale = QLocale());
    const QLocale& locale() const { return locale_; }
    // "Jun 8 – Jun 15, 2026", "2026年6月8日 – 6月15日": within one year the
    // year is written once, at the end where the locale writes it last and
    // at the start where it writes it first.
    QString text(QDate start, QDate end) const;

private:
    QLocale locale_;
    QString format_;
    QString withoutYear_; // empty where the year sits mid-date
    bool yearFirst_ = false;
};

// The week's dates, start to end, in the locale's medium style.
QString rangeText(const Week& week, const Calendar& calendar, const QLocale& locale = QLocale());
qsizetype doneCount(const Week& week);
// "No items yet" or "{done}/{total} items done".
QString itemsSummary(const Week& week);
// The week has items and every one is done.
bool allItemsDone(const Week& week);

} // namespace weeks

// The "Weeks" list without widgets: every week newest first, the row's
// status, badges and ritual mark, planning a week for a picked date, the week
// the ritual runs on, and delete with undo.
class WeekListModel : public QObject {
    Q_OBJECT
public:
    // The row's status bar.
    enum class Status { empty, inProgress, allDone };
    enum Role {
        StatusRole = Qt::UserRole + 1, // int(Status)
        CurrentWeekRole,               // bool: the "This Week" badge
        SummaryRole,                   // itemsSummary
        RitualDoneRole,                // bool: the "Ritual" label
    };

    explicit WeekListModel(AppEnvironment& environment, QObject* parent = nullptr);
    ~WeekListModel() override;

    RowListModel* list() const { return list_; }
    UndoBannerModel* undoBanner() const { return undoBanner_; }

    static QString title();
    static QString planButtonText();
    static QString ritualButtonText();
    static QString currentWeekBadgeText();
    static QString ritualLabelText();
    static QString ritualToolTip();
    static QString deletedMessage();
    bool showsEmptyState() const { return showsEmptyState_; }
    static QString emptyTitle();
    static QString emptySymbol();
    static QString emptyDescription();

    const std::vector<Week*>& weeks() const;
    Week* weekAt(int row) const;
    int rowOf(const Week* week) const;

    // The plan-a-week date: the moment the screen was made until one is
    // picked, then the last one picked.
    Timestamp pickedPlanDate() const { return pickedPlanDate_; }
    void setPickedPlanDate(Timestamp date) { pickedPlanDate_ = date; }
    // The week of the picked date, made when there is none yet; null only
    // when the calendar cannot place the date.
    Week* planPickedWeek();
    // The week of now for the ritual, made when there is none yet.
    Week* ritualWeek();

    // Deletes the weeks (their items and tasks go with them, their pending
    // reminders withdrawn) as one undo step; the banner says "Week deleted".
    void deleteWeeks(const std::vector<Week*>& weeks);

    // Re-reads the clock: "This Week" moves at the week's turn.
    void checkDay();

signals:
    void changed();

private:
    void rebuild();
    QString rangeText(const Week& week);

    AppEnvironment& env_;
    RowListModel* list_;
    UndoBannerModel* undoBanner_;
    std::unique_ptr<LiveQuery<Week>> weeks_;
    bool showsEmptyState_ = false;
    Timestamp pickedPlanDate_;
    Timestamp startOfToday_ = 0;
    QTimer dayCheck_;
    // The list lives on under a week's page and the ritual, so every
    // keystroke there rebuilds it: the texts of a week's dates are kept.
    weeks::RangeFormat rangeFormat_;
    QHash<std::pair<Timestamp, Timestamp>, QString> ranges_;
};

} // namespace orvana
