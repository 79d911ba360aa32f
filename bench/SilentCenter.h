#pragma once

#include "Services/NotificationCenter.h"

namespace orvana::bench {

// Notifications go nowhere in a benchmark.
class SilentCenter final : public NotificationCenter {
public:
    QCoro::Task<NotificationAuthorization> authorizationStatus() override {
        co_return NotificationAuthorization::denied;
    }
    QCoro::Task<bool> requestAuthorization() override { co_return false; }
    QCoro::Task<> add(QString, QString, QString, double) override { co_return; }
    void removePendingNotificationRequests(const QStringList&) override {}
};

} // namespace orvana::bench
