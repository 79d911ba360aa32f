#pragma once

#include "Services/SecretBackend.h"

#include <QDBusConnection>
#include <chrono>
#include <memory>

namespace orvana {

// Secrets in the desktop's keyring (Secret Service or KWallet) through
// QtKeychain. Jobs run one after another in the order they were started.
class KeyringSecretBackend final : public SecretBackend {
    Q_OBJECT
public:
    using SecretBackend::SecretBackend;
    QCoro::Task<Result<std::optional<QByteArray>>> read(QString service, QString account) override;
    QCoro::Task<Result<void>> write(QString service, QString account, QByteArray value) override;
    QCoro::Task<Result<void>> remove(QString service, QString account) override;
    // The last job found no keyring that QtKeychain can use.
    bool noBackend() const { return noBackend_; }
    // How long a job may wait for the keyring (an unlock or create prompt
    // that nobody can see or answer would otherwise keep it for ever).
    void setPatience(std::chrono::milliseconds patience) { patience_ = patience; }

private:
    bool noBackend_ = false;
    std::chrono::milliseconds patience_ = std::chrono::seconds(30);
};

// Secrets in one JSON file, {service: {account: value}}, for desktops
// without a keyring. The file is only ever created with mode 0600 (a
// private temporary file renamed into place), so it is never readable by
// others, not even for an instant.
class FileSecretBackend final : public SecretBackend {
    Q_OBJECT
public:
    explicit FileSecretBackend(QString path, QObject* parent = nullptr);
    // $XDG_DATA_HOME/Orvana/secrets.json
    static QString defaultPath();

    QCoro::Task<Result<std::optional<QByteArray>>> read(QString service, QString account) override;
    QCoro::Task<Result<void>> write(QString service, QString account, QByteArray value) override;
    QCoro::Task<Result<void>> remove(QString service, QString account) override;
    std::optional<QString> fallbackFilePath() const override { return path_; }

private:
    Result<void> update(const QString& service, const QString& account,
                        const std::optional<QByteArray>& value);
    QString path_;
};

// The keyring when the session bus offers one, otherwise the file; decided
// at the first use, and changed to the file if QtKeychain then finds no
// keyring it can use. Removing also clears the file's copy, if any.
class SystemSecretBackend final : public SecretBackend {
    Q_OBJECT
public:
    explicit SystemSecretBackend(QDBusConnection bus = QDBusConnection::sessionBus(),
                                 QString fallbackPath = FileSecretBackend::defaultPath(),
                                 QObject* parent = nullptr);
    ~SystemSecretBackend() override;

    QCoro::Task<Result<std::optional<QByteArray>>> read(QString service, QString account) override;
    QCoro::Task<Result<void>> write(QString service, QString account, QByteArray value) override;
    QCoro::Task<Result<void>> remove(QString service, QString account) override;
    std::optional<QString> fallbackFilePath() const override;
    bool isSettled() const override { return chosen_ != nullptr; }
    QCoro::Task<> settle() override;

private:
    QCoro::Task<SecretBackend*> chosen();
    template <class T, class Operation> QCoro::Task<T> perform(Operation operation);

    QDBusConnection bus_;
    QString fallbackPath_;
    std::unique_ptr<KeyringSecretBackend> keyring_;
    std::unique_ptr<FileSecretBackend> file_;
    SecretBackend* chosen_ = nullptr;
};

} // namespace orvana
