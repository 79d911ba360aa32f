#include "Services/KeychainService.h"

#include "support/FakeSecretBackend.h"

#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

using namespace orvana;
using orvana::test::FakeSecretBackend;

namespace {

// Reading, saving and removing through the real backends: SecretBackendsTest.
// Here the names the key is kept under, which a stored key must keep, and
// the empty key.
TEST(Keychain, OneItemUnderItsNamesAndAnEmptyKeyIsNoKey) {
    FakeSecretBackend backend;
    const auto key = KeychainService::shared(backend);
    ASSERT_TRUE(QCoro::waitFor(key.save(QStringLiteral(" sk-one "))).ok());
    ASSERT_TRUE(QCoro::waitFor(key.save(QStringLiteral("sk-two"))).ok());
    EXPECT_EQ(backend.items.size(), 1u);
    EXPECT_EQ(
        backend.items.begin()->first,
        std::make_pair(QStringLiteral("app.orvana.Orvana.aiApiKey"), QStringLiteral("openrouter")));
    EXPECT_TRUE(QCoro::waitFor(key.hasValue()));

    ASSERT_TRUE(QCoro::waitFor(key.save(QString())).ok());
    EXPECT_EQ(QCoro::waitFor(key.read()), QString());
    EXPECT_FALSE(QCoro::waitFor(key.hasValue()));
}

TEST(Keychain, FailuresReadAsAbsentButAFailedSaveIsReported) {
    FakeSecretBackend backend;
    const auto key = KeychainService::shared(backend);
    backend.items[{QLatin1String(KeychainService::service), key.account()}] = "\xff\xfe";
    EXPECT_EQ(QCoro::waitFor(key.read()), std::nullopt) << "not UTF-8";

    backend.items[{QLatin1String(KeychainService::service), key.account()}] = "sk";
    backend.failReads = true;
    EXPECT_EQ(QCoro::waitFor(key.read()), std::nullopt);
    EXPECT_FALSE(QCoro::waitFor(key.hasValue()));

    backend.failReads = false;
    backend.failWrites = true;
    const auto saved = QCoro::waitFor(key.save(QStringLiteral("new")));
    ASSERT_FALSE(saved.ok());
    EXPECT_FALSE(saved.error().message.isEmpty());
    EXPECT_FALSE(QCoro::waitFor(key.remove()).ok()) << "reported, so Settings can say so";
    EXPECT_EQ(QCoro::waitFor(key.read()), QStringLiteral("sk"));
}

TEST(DeviceIdentity, TheHostedClientsViewOfTheStoredIdentity) {
    FakeSecretBackend backend;
    // Half an identity is none: the client will register anew.
    ASSERT_TRUE(QCoro::waitFor(KeychainService(backend, QStringLiteral("device-identity-id"))
                                   .save(QStringLiteral("dev")))
                    .ok());
    auto snapshot = QCoro::waitFor(DeviceIdentityService::load(backend));
    auto deps = DeviceIdentityService::dependencies(backend, snapshot, [] { return QString(); });
    EXPECT_EQ(deps.deviceIDProvider(), QStringLiteral("dev"));
    EXPECT_EQ(deps.deviceTokenProvider(), std::nullopt);

    // What the client stores or clears is seen at once and reaches the store.
    deps.storeDeviceIdentity(QStringLiteral("dev2"), QStringLiteral("tok2"));
    EXPECT_EQ(deps.deviceTokenProvider(), QStringLiteral("tok2"));
    EXPECT_EQ(QCoro::waitFor(DeviceIdentityService::deviceToken(backend)), QStringLiteral("tok2"));
    deps.clearDeviceIdentity();
    EXPECT_EQ(deps.deviceIDProvider(), std::nullopt);
    EXPECT_TRUE(backend.items.empty());
}

} // namespace
