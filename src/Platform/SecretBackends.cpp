#include "Platform/SecretBackends.h"

#include "Core/AppPaths.h"

#include "Platform/DBusNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QStandardPaths>
#include <qcoro/qcorosignal.h>
#include <qt6keychain/keychain.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvana {

namespace {

// Named, so that lupdate files these texts under the context they are looked up in.
struct SecretText {
    Q_DECLARE_TR_FUNCTIONS(SecretBackend)
};

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

// Starts `job` and waits for it without blocking the event loop; a locked
// keyring may keep it waiting for the user, but not longer than `patience`.
// Null when the keyring did not answer in time: the job then goes on and
// deletes itself when it ends (deleting a running job would leave the
// keyring's callback a dangling pointer).
template <class Job>
QCoro::Task<std::unique_ptr<Job, DeleteLater>> run(Job* raw, std::chrono::milliseconds patience) {
    std::unique_ptr<Job, DeleteLater> job(raw);
    job->setAutoDelete(false);
    job->start();
    const auto finished = co_await qCoro(job.get(), &QKeychain::Job::finished, patience);
    if (!finished) {
        job.release()->setAutoDelete(true);
        co_return std::unique_ptr<Job, DeleteLater>();
    }
    co_return job;
}

Error noAnswer() {
    return Error{
        SecretText::tr("The system keyring did not answer. If it asks for a password, enter it "
                       "and try again."),
        ErrorKind::busy};
}

Error keyringError(const QKeychain::Job& job) {
    // The message names the failure only, never the value.
    const bool denied =
        job.error() == QKeychain::AccessDenied || job.error() == QKeychain::AccessDeniedByUser;
    return Error{
        SecretText::tr("The system keyring refused the request (%1).").arg(job.errorString()),
        denied ? ErrorKind::permission : ErrorKind::general};
}

} // namespace

// --- keyring ----------------------------------------------------------------

QCoro::Task<Result<std::optional<QByteArray>>> KeyringSecretBackend::read(QString service,
                                                                          QString account) {
    auto* raw = new QKeychain::ReadPasswordJob(service);
    raw->setKey(account);
    QPointer<KeyringSecretBackend> self(this);
    const auto job = co_await run(raw, patience_);
    if (!job)
        co_return noAnswer();
    if (self)
        noBackend_ = job->error() == QKeychain::NoBackendAvailable;
    if (job->error() == QKeychain::EntryNotFound)
        co_return std::optional<QByteArray>();
    if (job->error() != QKeychain::NoError)
        co_return keyringError(*job);
    co_return std::optional<QByteArray>(job->binaryData());
}

QCoro::Task<Result<void>> KeyringSecretBackend::write(QString service, QString account,
                                                      QByteArray value) {
    auto* raw = new QKeychain::WritePasswordJob(service);
    raw->setKey(account);
    // As text, so the keyring's own tools show the value as it was typed.
    raw->setTextData(QString::fromUtf8(value));
    QPointer<KeyringSecretBackend> self(this);
    const auto job = co_await run(raw, patience_);
    if (!job)
        co_return noAnswer();
    if (self)
        noBackend_ = job->error() == QKeychain::NoBackendAvailable;
    if (job->error() != QKeychain::NoError)
        co_return keyringError(*job);
    if (self)
        emit changed(service, account);
    co_return Result<void>();
}

QCoro::Task<Result<void>> KeyringSecretBackend::remove(QString service, QString account) {
    auto* raw = new QKeychain::DeletePasswordJob(service);
    raw->setKey(account);
    QPointer<KeyringSecretBackend> self(this);
    const auto job = co_await run(raw, patience_);
    if (!job)
        co_return noAnswer();
    if (self)
        noBackend_ = job->error() == QKeychain::NoBackendAvailable;
    if (job->error() != QKeychain::NoError && job->error() != QKeychain::EntryNotFound)
        co_return keyringError(*job);
    if (self)
        emit changed(service, account);
    co_return Result<void>();
}

// --- file -------------------------------------------------------------------

FileSecretBackend::FileSecretBackend(QString path, QObject* parent)
    : SecretBackend(parent), path_(std::move(path)) {}

QString FileSecretBackend::defaultPath() {
    return AppPaths::standard().secretsFile;
}

namespace {

// The whole file; absent when it does not exist.
Result<std::optional<QJsonObject>> loadSecrets(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return std::optional<QJsonObject>();
    if (!file.open(QIODevice::ReadOnly)) {
        const ErrorKind kind = errorKindOfErrno(errno);
        return Error{SecretText::tr("Couldn't read %1: %2").arg(path, file.errorString()), kind};
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return Error{
            SecretText::tr("%1 is damaged; move it away to store secrets again.").arg(path),
            ErrorKind::damaged};
    return std::optional<QJsonObject>(document.object());
}

Result<void> saveSecrets(const QString& path, const QJsonObject& secrets) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        const ErrorKind kind = errorKindOfErrno(errno);
        return Error{SecretText::tr("Couldn't create the folder %1.").arg(info.absolutePath()),
                     kind};
    }
    QByteArray tmpl = QFile::encodeName(info.absolutePath() + QStringLiteral("/.secrets-XXXXXX"));
    // mkstemp creates the file with mode 0600 whatever the umask.
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        const int error = errno;
        return Error{SecretText::tr("Couldn't write %1: %2")
                         .arg(path, QString::fromLocal8Bit(strerror(error))),
                     errorKindOfErrno(error)};
    }
    const QByteArray bytes = QJsonDocument(secrets).toJson(QJsonDocument::Indented);
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            break;
        }
        written += n;
    }
    const bool ok = written == bytes.size() && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!ok || ::rename(tmpl.constData(), QFile::encodeName(path).constData()) != 0) {
        const int err = ok ? errno : savedErrno;
        ::unlink(tmpl.constData());
        return Error{SecretText::tr("Couldn't write %1: %2")
                         .arg(path, QString::fromLocal8Bit(strerror(err))),
                     errorKindOfErrno(err)};
    }
    return Result<void>();
}

} // namespace

Result<void> FileSecretBackend::update(const QString& service, const QString& account,
                                       const std::optional<QByteArray>& value) {
    auto loaded = loadSecrets(path_);
    if (!loaded.ok())
        return loaded.error();
    QJsonObject secrets = loaded.value().value_or(QJsonObject());
    QJsonObject items = secrets.value(service).toObject();
    if (value)
        items.insert(account, QString::fromUtf8(*value));
    else if (!items.contains(account))
        return Result<void>();
    else
        items.remove(account);
    if (items.isEmpty())
        secrets.remove(service);
    else
        secrets.insert(service, items);
    return saveSecrets(path_, secrets);
}

QCoro::Task<Result<std::optional<QByteArray>>> FileSecretBackend::read(QString service,
                                                                       QString account) {
    auto loaded = loadSecrets(path_);
    if (!loaded.ok())
        co_return loaded.error();
    const QJsonValue value =
        loaded.value().value_or(QJsonObject()).value(service).toObject().value(account);
    if (!value.isString())
        co_return std::optional<QByteArray>();
    co_return std::optional<QByteArray>(value.toString().toUtf8());
}

QCoro::Task<Result<void>> FileSecretBackend::write(QString service, QString account,
                                                   QByteArray value) {
    auto result = update(service, account, value);
    if (result.ok())
        emit changed(service, account);
    co_return result;
}

QCoro::Task<Result<void>> FileSecretBackend::remove(QString service, QString account) {
    auto result = update(service, account, std::nullopt);
    if (result.ok())
        emit changed(service, account);
    co_return result;
}

// --- choice -----------------------------------------------------------------

SystemSecretBackend::SystemSecretBackend(QDBusConnection bus, QString fallbackPath, QObject* parent)
    : SecretBackend(parent), bus_(std::move(bus)), fallbackPath_(std::move(fallbackPath)),
      keyring_(std::make_unique<KeyringSecretBackend>()),
      file_(std::make_unique<FileSecretBackend>(fallbackPath_)) {
    connect(keyring_.get(), &SecretBackend::changed, this, &SecretBackend::changed);
    connect(file_.get(), &SecretBackend::changed, this, &SecretBackend::changed);
}

SystemSecretBackend::~SystemSecretBackend() = default;

QCoro::Task<SecretBackend*> SystemSecretBackend::chosen() {
    if (!chosen_) {
        QPointer<SystemSecretBackend> self(this);
        // (A named list: GCC 12 cannot take a braced list inside co_await.)
        const QStringList keyrings{QStringLiteral("org.freedesktop.secrets"),
                                   QStringLiteral("org.kde.kwalletd6"),
                                   QStringLiteral("org.kde.kwalletd5")};
        const bool keyring = co_await isAnyBusNameAvailable(bus_, keyrings);
        if (!self)
            co_return nullptr;
        if (!chosen_) // another first use may have decided meanwhile
            chosen_ = keyring ? static_cast<SecretBackend*>(keyring_.get()) : file_.get();
    }
    co_return chosen_;
}

template <class T, class Operation>
QCoro::Task<T> SystemSecretBackend::perform(Operation operation) {
    QPointer<SystemSecretBackend> self(this);
    SecretBackend* backend = co_await chosen();
    if (!self)
        co_return Error{SecretText::tr("The secret store was closed.")};
    T result = co_await operation(*backend);
    // The bus offered a keyring that QtKeychain cannot use after all.
    if (self && !result.ok() && backend == keyring_.get() && keyring_->noBackend()) {
        chosen_ = file_.get();
        result = co_await operation(*file_);
    }
    co_return result;
}

QCoro::Task<Result<std::optional<QByteArray>>> SystemSecretBackend::read(QString service,
                                                                         QString account) {
    return perform<Result<std::optional<QByteArray>>>(
        [service, account](SecretBackend& backend) { return backend.read(service, account); });
}

QCoro::Task<Result<void>> SystemSecretBackend::write(QString service, QString account,
                                                     QByteArray value) {
    return perform<Result<void>>([service, account, value](SecretBackend& backend) {
        return backend.write(service, account, value);
    });
}

QCoro::Task<Result<void>> SystemSecretBackend::remove(QString service, QString account) {
    // A copy kept in the file by an earlier session without a keyring goes
    // too, so "remove" leaves no secret behind anywhere.
    if (QFile::exists(fallbackPath_))
        (void)co_await file_->remove(service, account);
    // The operation is made before the co_await: GCC 12 destroys a closure
    // made inside a co_await expression twice, so its captured texts were
    // freed twice and the heap was corrupted.
    auto operation = [service, account](SecretBackend& backend) {
        return backend.remove(service, account);
    };
    co_return co_await perform<Result<void>>(std::move(operation));
}

QCoro::Task<> SystemSecretBackend::settle() {
    (void)co_await chosen();
}

std::optional<QString> SystemSecretBackend::fallbackFilePath() const {
    return chosen_ ? chosen_->fallbackFilePath() : std::nullopt;
}

} // namespace orvana
