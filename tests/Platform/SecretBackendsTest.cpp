#include "Platform/SecretBackends.h"

#include "Services/KeychainService.h"

#include "support/TestSupport.h"

#include <QDBusConnection>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <gtest/gtest.h>
#include <qcoro/qcorotask.h>

#include <sys/stat.h>

using namespace orvana;

namespace {

const QString kService = QString::fromLatin1(KeychainService::service);

std::optional<QByteArray> readValue(SecretBackend& backend, const QString& service,
                                    const QString& account) {
    auto result = QCoro::waitFor(backend.read(service, account));
    EXPECT_TRUE(result.ok()) << result.error().message.toStdString();
    return result.ok() ? result.value() : std::nullopt;
}

TEST(FileSecrets, ADamagedFileIsReportedAndNeverOverwritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("secrets.json"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\"app.orvana.Orvana.aiApiKey\": {\"openrouter\": \"sk");
    file.close();
    FileSecretBackend backend(path);
    EXPECT_FALSE(QCoro::waitFor(backend.read(kService, QStringLiteral("openrouter"))).ok());
    EXPECT_FALSE(QCoro::waitFor(backend.write(kService, QStringLiteral("openrouter"), "n")).ok());
    EXPECT_EQ(test::fileBytes(path), "{\"app.orvana.Orvana.aiApiKey\": {\"openrouter\": \"sk");
}

// Read, write, remove and the proxy identity's clear, through the backend the
// app builds (the choice between keyring and file) and the services above it;
// `fresh`, another backend on the same secrets, reads what they keep, keyed
// by service and account. Removal once crashed the optimised build in both
// backends.
void roundTripThroughTheServices(SystemSecretBackend& backend, SecretBackend& fresh,
                                 const QString& account) {
    const KeychainService key(backend, account);
    EXPECT_EQ(QCoro::waitFor(key.read()), std::nullopt);
    ASSERT_TRUE(QCoro::waitFor(key.remove()).ok()) << "removing a missing item succeeds";
    ASSERT_TRUE(QCoro::waitFor(backend.write(QStringLiteral("other"), account, "x")).ok());
    ASSERT_TRUE(QCoro::waitFor(key.save(QStringLiteral("sk-1"))).ok());
    ASSERT_TRUE(QCoro::waitFor(key.save(QStringLiteral("sk-ü2"))).ok());
    EXPECT_EQ(QCoro::waitFor(key.read()), QStringLiteral("sk-ü2"));
    EXPECT_EQ(readValue(fresh, kService, account), QByteArray("sk-\xc3\xbc"
                                                              "2"));
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(QCoro::waitFor(key.remove()).ok());
        EXPECT_EQ(QCoro::waitFor(key.read()), std::nullopt);
        ASSERT_TRUE(QCoro::waitFor(key.save(QStringLiteral("sk-again"))).ok());
    }

    ASSERT_TRUE(QCoro::waitFor(DeviceIdentityService::store(backend, QStringLiteral("dev"),
                                                            QStringLiteral("tok")))
                    .ok());
    QCoro::waitFor(DeviceIdentityService::clear(backend));
    EXPECT_EQ(QCoro::waitFor(DeviceIdentityService::deviceID(backend)), std::nullopt);
    EXPECT_EQ(QCoro::waitFor(DeviceIdentityService::deviceToken(backend)), std::nullopt);
    EXPECT_EQ(readValue(fresh, kService, account), QByteArray("sk-again"));
    ASSERT_TRUE(QCoro::waitFor(key.remove()).ok());
    EXPECT_EQ(readValue(fresh, kService, account), std::nullopt);
    EXPECT_EQ(readValue(fresh, QStringLiteral("other"), account), QByteArray("x"));

    // The hosted client's 401: the clear starts from a plain call and runs
    // on while the caller goes on.
    ASSERT_TRUE(QCoro::waitFor(DeviceIdentityService::store(backend, QStringLiteral("dev"),
                                                            QStringLiteral("tok")))
                    .ok());
    auto snapshot = QCoro::waitFor(DeviceIdentityService::load(backend));
    auto deps = DeviceIdentityService::dependencies(backend, snapshot, [] { return QString(); });
    deps.clearDeviceIdentity();
    EXPECT_EQ(deps.deviceIDProvider(), std::nullopt);
    // QTRY_* would return from the test on a time-out without failing it.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return !QCoro::waitFor(DeviceIdentityService::deviceToken(backend)); }, 10000));
    EXPECT_EQ(QCoro::waitFor(DeviceIdentityService::deviceID(backend)), std::nullopt);
}

// Without a keyring on the bus the file is used: private even under a
// permissive umask, and no temporary file left beside it.
TEST(SystemSecrets, ServicesRoundTripThroughThePrivateFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Orvana/secrets.json"));
    const mode_t oldMask = ::umask(0);
    SystemSecretBackend backend(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent"),
                                      QStringLiteral("orvana-no-bus-services")),
        path);
    int changes = 0;
    QObject::connect(&backend, &SecretBackend::changed, [&] { ++changes; });
    FileSecretBackend fresh(path);
    roundTripThroughTheServices(backend, fresh, QStringLiteral("openrouter"));
    ::umask(oldMask);
    EXPECT_GT(changes, 0);
    EXPECT_EQ(backend.fallbackFilePath(), path);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("Orvana"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("secrets.json")});
}

// Only against the private keyring that scripts/test unlocks on its own
// session bus, never a developer's real one.
TEST(KeyringSecrets, ServicesRoundTripThroughTheSecretService) {
    if (qEnvironmentVariable("ORVANA_TEST_KEYRING") != QLatin1String("1"))
        GTEST_SKIP() << "needs the private keyring of scripts/test";
    QTemporaryDir dir;
    SystemSecretBackend backend(QDBusConnection::sessionBus(),
                                dir.filePath(QStringLiteral("secrets.json")));
    KeyringSecretBackend fresh;
    // A test account, so a developer's own key in this session is never touched.
    roundTripThroughTheServices(backend, fresh,
                                QStringLiteral("test-") +
                                    QUuid::createUuid().toString(QUuid::WithoutBraces));
    EXPECT_EQ(backend.fallbackFilePath(), std::nullopt) << "the keyring, not the file";
}

} // namespace
