#include "Services/AppEnvironment.h"

#include "Services/EngagementNudgeService.h"
#include "Services/NotificationService.h"
#include "Services/RecordNotificationKeeper.h"
#include "Store/ModelContext.h"

namespace orvana {

AppEnvironment::AppEnvironment(Services services, QObject* parent)
    : QObject(parent), s_(std::move(services)),
      keeper_(std::make_unique<RecordNotificationKeeper>(s_.context, s_.notifications)),
      nudges_(std::make_unique<EngagementNudgeService>(s_.context, s_.preferences, s_.notifications,
                                                       s_.calendar)) {}

AppEnvironment::~AppEnvironment() = default;

Timestamp AppEnvironment::now() const {
    return s_.context.now();
}

void AppEnvironment::setCalendar(const Calendar& calendar) {
    if (calendar == s_.calendar)
        return;
    s_.calendar = calendar;
    s_.notifications.setCalendar(calendar);
    nudges_->setCalendar(calendar);
    emit calendarChanged();
}

Clock AppEnvironment::clock() const {
    return [context = &s_.context] { return context->now(); };
}

} // namespace orvana
