#pragma once

#include "Models/DayTask.h"
#include "Platform/NetworkRequestPerformer.h"
#include "Services/AppEnvironment.h"
#include "Services/NotificationService.h"
#include "Services/Preferences.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Sync/CalDavServers.h"
#include "Sync/SyncController.h"
#include "support/FakeNotificationCenter.h"
#include "support/FakeSecretBackend.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <qcoro/qcorotask.h>

namespace orvana::test {

// The app's parts around one store on disk, as a device that syncs: the
// controller with real HTTP and a fake secret store.
struct SyncHome {
    SyncHome() {
        auto opened = openModelContext(dir.filePath("Orvana.sqlite"));
        EXPECT_TRUE(opened.ok());
        ctx = std::move(opened.value());
        env = std::make_unique<AppEnvironment>(
            AppEnvironment::Services{*ctx, preferences, notifications, calendar,
                                     AppPaths::under(dir.path()), &http, &secrets, nullptr});
    }
    SyncController& sync() { return SyncController::of(*env); }
    Result<void> signIn(const CalDavServer& server, const QString& password) {
        return QCoro::waitFor(sync().signIn(server.url().toString(), server.user, password, false));
    }
    // Signed in with the right password and the first cycle done.
    bool join(const CalDavServer& server) {
        return signIn(server, server.password).ok() && settled();
    }
    // Every task of this device deleted here, and the deletions sent.
    bool deleteAllTasksAndSync() {
        for (DayTask* t : ctx->fetch<DayTask>())
            ctx->remove(t);
        sync().syncNow();
        return settled();
    }
    bool settled() {
        return QTest::qWaitFor(
            [&] {
                return sync().phase() != SyncController::Phase::syncing &&
                       sync().nextIn().value_or(1) > 0;
            },
            30'000);
    }

    QTemporaryDir dir;
    std::unique_ptr<ModelContext> ctx;
    Calendar calendar{QTimeZone("Europe/Berlin"), 2};
    Preferences preferences{dir.filePath("preferences.json")};
    FakeNotificationCenter center;
    NotificationService notifications{center, [] { return systemNow(); }, calendar};
    NetworkRequestPerformer http;
    FakeSecretBackend secrets;
    std::unique_ptr<AppEnvironment> env;
};

} // namespace orvana::test
