#pragma once

#include "Services/HostedAIReviewService.h"
#include "Services/SecretBackend.h"

#include <functional>
#include <memory>

namespace orvana {

// One text secret of this app in the secret store. Read failures are absorbed
// (absent); a failed save or removal is reported so the caller can tell the
// user their key was not kept or is still there.
class KeychainService {
public:
    static constexpr const char* service = "app.orvana.Orvana.aiApiKey";

    KeychainService(SecretBackend& backend, QString account);
    // The user's own AI provider key.
    static KeychainService shared(SecretBackend& backend);

    const QString& account() const { return account_; }

    // Absent when there is no item, the store fails, or the bytes are not UTF-8.
    QCoro::Task<std::optional<QString>> read() const;
    QCoro::Task<Result<void>> save(QString value) const; // stored as given, untrimmed
    QCoro::Task<Result<void>> remove() const;            // removing a missing item succeeds
    QCoro::Task<bool> hasValue() const;                  // a stored empty text counts as none

private:
    SecretBackend* backend_;
    QString account_;
};

// The identity the review proxy issued to this installation: two items of
// the secret store. Half an identity counts as none.
namespace DeviceIdentityService {

QCoro::Task<std::optional<QString>> deviceID(SecretBackend& backend);
QCoro::Task<std::optional<QString>> deviceToken(SecretBackend& backend);
// The identifier first, then the token.
QCoro::Task<Result<void>> store(SecretBackend& backend, QString deviceID, QString token);
QCoro::Task<void> clear(SecretBackend& backend);

// The hosted client asks for the identity synchronously, so it is read once
// before a review and then kept here; stores and clears go to this copy at
// once and to the secret store in the background.
struct Snapshot {
    std::optional<QString> deviceID;
    std::optional<QString> token;
    // The last store sent to the secret store, so a failure can be told.
    std::optional<QCoro::Task<Result<void>>> lastStore;
};
QCoro::Task<std::shared_ptr<Snapshot>> load(SecretBackend& backend);
// How the last store ended, once it has (success when there was none).
QCoro::Task<Result<void>> lastStoreOutcome(std::shared_ptr<Snapshot> snapshot);
HostedAIReviewService::Dependencies dependencies(SecretBackend& backend,
                                                 std::shared_ptr<Snapshot> snapshot,
                                                 std::function<QString()> baseURLProvider);

} // namespace DeviceIdentityService

} // namespace orvana
