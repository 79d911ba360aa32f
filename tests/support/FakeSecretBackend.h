#pragma once

#include "Services/SecretBackend.h"

#include <qcoro/qcorotimer.h>

#include <chrono>
#include <map>
#include <utility>

namespace orvana::test {

// Secrets in memory, answered at once or (deferred) on the next turn of the
// event loop, like a keyring; reads or writes can be made to fail.
class FakeSecretBackend final : public SecretBackend {
public:
    std::map<std::pair<QString, QString>, QByteArray> items;
    bool failReads = false;
    bool failWrites = false;
    bool deferred = false;

    QCoro::Task<Result<std::optional<QByteArray>>> read(QString service, QString account) override {
        if (deferred)
            co_await QCoro::sleepFor(std::chrono::milliseconds(0));
        if (failReads)
            co_return Error{QStringLiteral("keyring locked")};
        const auto it = items.find({service, account});
        co_return it == items.end() ? std::optional<QByteArray>()
                                    : std::optional<QByteArray>(it->second);
    }
    QCoro::Task<Result<void>> write(QString service, QString account, QByteArray value) override {
        if (deferred)
            co_await QCoro::sleepFor(std::chrono::milliseconds(0));
        if (failWrites)
            co_return Error{QStringLiteral("keyring locked")};
        items[{service, account}] = value;
        emit changed(service, account);
        co_return Result<void>();
    }
    QCoro::Task<Result<void>> remove(QString service, QString account) override {
        if (deferred)
            co_await QCoro::sleepFor(std::chrono::milliseconds(0));
        if (failWrites)
            co_return Error{QStringLiteral("keyring locked")};
        items.erase({service, account});
        emit changed(service, account);
        co_return Result<void>();
    }
};

} // namespace orvana::test
