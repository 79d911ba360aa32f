#pragma once

#include "Core/AppPaths.h"
#include "Core/Calendar.h"
#include "Core/Clock.h"

#include <QObject>
#include <QUuid>
#include <memory>
#include <optional>

namespace orvana {

class EngagementNudgeService;
class LauncherBadge;
class ModelContext;
class NotificationService;
class Preferences;
class RecordNotificationKeeper;
class SecretBackend;
class URLRequestPerforming;

// Everything a screen or service of the app may need, built once where the
// app is wired and handed down by reference: the store's one context, the
// preferences, the notification service, the calendar, HTTP, secrets, the
// launcher badge and the data folders. "Now" is the context's clock, so a
// test that sets it moves the whole app in time.
//
// Also the app-wide object that carries outside requests to start a focus
// session. Main thread only; every referenced object outlives it.
class AppEnvironment : public QObject {
    Q_OBJECT
public:
    struct Services {
        ModelContext& context;
        Preferences& preferences;
        NotificationService& notifications;
        Calendar calendar;
        AppPaths paths;
        URLRequestPerforming* http = nullptr; // null: no AI review
        SecretBackend* secrets = nullptr;
        LauncherBadge* badge = nullptr; // null: no launcher badge
    };

    explicit AppEnvironment(Services services, QObject* parent = nullptr);
    ~AppEnvironment() override;

    ModelContext& context() const { return s_.context; }
    Preferences& preferences() const { return s_.preferences; }
    NotificationService& notifications() const { return s_.notifications; }
    const Calendar& calendar() const { return s_.calendar; }
    const AppPaths& paths() const { return s_.paths; }
    URLRequestPerforming* http() const { return s_.http; }
    SecretBackend* secrets() const { return s_.secrets; }
    LauncherBadge* badge() const { return s_.badge; }
    // The daily planning and weekly ritual nudges, kept in step with the
    // preferences and the records once the main window has started them.
    EngagementNudgeService& nudges() const { return *nudges_; }

    Timestamp now() const;
    Clock clock() const;

    // The user's time zone or first weekday changed while the app runs:
    // every calendar question from now on uses `calendar`, the nudges are
    // planned again and calendarChanged() tells the screens. Nothing
    // happens for the same calendar.
    void setCalendar(const Calendar& calendar);

    // Posts the request (from the desktop intents, the command line or a test).
    void requestFocusSession(std::optional<QUuid> goalID = std::nullopt) {
        emit startFocusSessionRequested(goalID);
    }

signals:
    void startFocusSessionRequested(std::optional<QUuid> goalID);
    void calendarChanged();

private:
    Services s_;
    std::unique_ptr<RecordNotificationKeeper> keeper_;
    std::unique_ptr<EngagementNudgeService> nudges_;
};

} // namespace orvana
