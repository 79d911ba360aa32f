#pragma once

#include "Services/NotificationCenter.h"

#include <QString>
#include <QStringList>
#include <QTimer>
#include <qcoro/qcorotimer.h>

#include <chrono>
#include <map>
#include <stdexcept>

namespace orvana::test {

// A notification centre that only records what it was asked. Every
// asynchronous operation completes at once, so `QCoro::waitFor(task)` (or a
// plain call, for a task nobody awaits) finishes in the same turn.
//
//     FakeNotificationCenter center;                 // authorised by default
//     NotificationService service(center, clock, calendar);
//     QCoro::waitFor(service.scheduleReminder(task));
//     EXPECT_EQ(center.pending.at(id).delaySeconds, 30.0);
//     EXPECT_EQ(center.log, (QStringList{"remove " + id, "status", "add " + id}));
//
// Fields are public: set `status`, `grantOnRequest` or `failing` before the
// code under test runs, read `pending`, `log` and `authorizationRequests`
// after.
class FakeNotificationCenter final : public NotificationCenter {
public:
    struct Request {
        QString title;
        QString body;
        double delaySeconds = 0;
        friend bool operator==(const Request&, const Request&) = default;
    };

    // What authorizationStatus() answers.
    NotificationAuthorization status = NotificationAuthorization::authorized;
    // What requestAuthorization() answers; a grant also turns `status` into
    // authorised, as a user's "Allow" does.
    bool grantOnRequest = true;
    // Makes add() and requestAuthorization() throw, like a platform error.
    bool failing = false;

    // Pending requests by identifier: add() inserts or replaces, removal erases.
    std::map<QString, Request> pending;
    // Every call in order: "status", "request", "add <id>", "remove <id>"
    // (one entry per identifier removed, known or not).
    QStringList log;
    int authorizationRequests = 0;
    // Above 0: the status answer arrives that much later (from the event loop),
    // so a test can change records while a job waits for it.
    int statusDelayMs = 0;
    // The status answer arrives on the next turn of the event loop, with no
    // wait on the clock.
    bool statusNextTurn = false;

    QCoro::Task<NotificationAuthorization> authorizationStatus() override {
        log << QStringLiteral("status");
        if (statusNextTurn)
            co_await QCoro::sleepFor(std::chrono::milliseconds(0));
        if (statusDelayMs > 0) {
            QTimer wait;
            wait.setSingleShot(true);
            wait.start(statusDelayMs);
            co_await wait;
        }
        co_return status;
    }

    QCoro::Task<bool> requestAuthorization() override {
        log << QStringLiteral("request");
        ++authorizationRequests;
        if (failing)
            throw std::runtime_error("fake platform error");
        if (grantOnRequest)
            status = NotificationAuthorization::authorized;
        co_return grantOnRequest;
    }

    QCoro::Task<> add(QString identifier, QString title, QString body,
                      double delaySeconds) override {
        log << QStringLiteral("add ") + identifier;
        if (failing)
            throw std::runtime_error("fake platform error");
        pending.insert_or_assign(std::move(identifier),
                                 Request{std::move(title), std::move(body), delaySeconds});
        co_return;
    }

    void removePendingNotificationRequests(const QStringList& identifiers) override {
        for (const QString& identifier : identifiers) {
            log << QStringLiteral("remove ") + identifier;
            pending.erase(identifier);
        }
    }
};

} // namespace orvana::test
