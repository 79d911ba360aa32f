#pragma once

#include "Core/AppPaths.h"
#include "Services/AppEnvironment.h"
#include "Services/LauncherBadge.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "support/FakeNotificationCenter.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <memory>
#include <vector>

namespace orvana::test {

struct FakeLauncherBadge final : LauncherBadge {
    std::vector<qint64> counts; // every count set, in order
    void setCount(qint64 count) override { counts.push_back(count); }
};

// A whole app environment on an in-memory store, with the clock pinned at
// `now` (move it with `now = ...`), Berlin's Monday-first calendar, a fake
// notification centre and every file in a temporary folder.
//
//     TestEnvironment t;                 // 2026-03-02 (a Monday) 10:00 Berlin
//     TodayModel today(t.env);
struct TestEnvironment {
    explicit TestEnvironment(Timestamp start = at(QTimeZone("Europe/Berlin"), 2026, 3, 2, 10, 0))
        : now(start) {
        context.setClock([this] { return now; });
    }

    Timestamp now;
    QTemporaryDir dir;
    ModelContext context;
    Calendar calendar = berlinMondayFirst();
    Preferences preferences{dir.filePath(QStringLiteral("config/preferences.json"))};
    FakeNotificationCenter center;
    NotificationService notifications{center, [this] { return now; }, calendar};
    FakeLauncherBadge badge;
    AppEnvironment env{{context, preferences, notifications, calendar, AppPaths::under(dir.path()),
                        nullptr, nullptr, &badge}};

    // Local time on the test calendar.
    Timestamp local(int year, int month, int day, int hour = 0, int minute = 0) const {
        return at(calendar.timeZone(), year, month, day, hour, minute);
    }
};

} // namespace orvana::test
