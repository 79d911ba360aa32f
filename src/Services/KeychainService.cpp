#include "Services/KeychainService.h"

#include <QStringDecoder>

namespace orvana {

namespace {

const QString kIDAccount = QStringLiteral("device-identity-id");
const QString kTokenAccount = QStringLiteral("device-identity-token");

std::optional<QString> decodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace

KeychainService::KeychainService(SecretBackend& backend, QString account)
    : backend_(&backend), account_(std::move(account)) {}

KeychainService KeychainService::shared(SecretBackend& backend) {
    return KeychainService(backend, QStringLiteral("openrouter"));
}

QCoro::Task<std::optional<QString>> KeychainService::read() const {
    auto result = co_await backend_->read(QLatin1String(service), account_);
    if (!result.ok() || !result.value())
        co_return std::nullopt;
    co_return decodeUtf8(*result.value());
}

QCoro::Task<Result<void>> KeychainService::save(QString value) const {
    co_return co_await backend_->write(QLatin1String(service), account_, value.toUtf8());
}

QCoro::Task<Result<void>> KeychainService::remove() const {
    co_return co_await backend_->remove(QLatin1String(service), account_);
}

QCoro::Task<bool> KeychainService::hasValue() const {
    const auto value = co_await read();
    co_return value && !value->isEmpty();
}

namespace DeviceIdentityService {

QCoro::Task<std::optional<QString>> deviceID(SecretBackend& backend) {
    co_return co_await KeychainService(backend, kIDAccount).read();
}

QCoro::Task<std::optional<QString>> deviceToken(SecretBackend& backend) {
    co_return co_await KeychainService(backend, kTokenAccount).read();
}

QCoro::Task<Result<void>> store(SecretBackend& backend, QString deviceID, QString token) {
    if (auto saved = co_await KeychainService(backend, kIDAccount).save(deviceID); !saved.ok())
        co_return saved;
    co_return co_await KeychainService(backend, kTokenAccount).save(token);
}

QCoro::Task<void> clear(SecretBackend& backend) {
    (void)co_await KeychainService(backend, kIDAccount).remove();
    (void)co_await KeychainService(backend, kTokenAccount).remove();
}

QCoro::Task<std::shared_ptr<Snapshot>> load(SecretBackend& backend) {
    auto snapshot = std::make_shared<Snapshot>();
    snapshot->deviceID = co_await deviceID(backend);
    snapshot->token = co_await deviceToken(backend);
    co_return snapshot;
}

QCoro::Task<Result<void>> lastStoreOutcome(std::shared_ptr<Snapshot> snapshot) {
    if (!snapshot->lastStore)
        co_return Result<void>();
    auto outcome = co_await *snapshot->lastStore;
    co_return outcome;
}

HostedAIReviewService::Dependencies dependencies(SecretBackend& backend,
                                                 std::shared_ptr<Snapshot> snapshot,
                                                 std::function<QString()> baseURLProvider) {
    // The background tasks finish on their own; the backend outlives them.
    SecretBackend* store_ = &backend;
    return {
        std::move(baseURLProvider),
        [snapshot] { return snapshot->deviceID; },
        [snapshot] { return snapshot->token; },
        [snapshot, store_](const QString& id, const QString& token) {
            snapshot->deviceID = id;
            snapshot->token = token;
            snapshot->lastStore = store(*store_, id, token);
        },
        [snapshot, store_] {
            snapshot->deviceID.reset();
            snapshot->token.reset();
            (void)clear(*store_);
        },
    };
}

} // namespace DeviceIdentityService

} // namespace orvana
