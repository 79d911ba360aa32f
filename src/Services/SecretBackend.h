#pragma once

#include "Core/Result.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <optional>
#include <qcoro/qcorotask.h>

namespace orvana {

// A store of small secrets keyed by (service, account), outside the model
// store and the preferences. Every operation is asynchronous: a locked
// keyring may wait for the user to unlock it. Values never reach a log.
class SecretBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Absent when no item exists; an error when the store could not answer.
    virtual QCoro::Task<Result<std::optional<QByteArray>>> read(QString service,
                                                                QString account) = 0;
    // Replaces any earlier value. Emits changed() on success.
    virtual QCoro::Task<Result<void>> write(QString service, QString account, QByteArray value) = 0;
    // Removing a missing item succeeds. Emits changed() on success.
    virtual QCoro::Task<Result<void>> remove(QString service, QString account) = 0;

    // The file the secrets are kept in when there is no keyring to use
    // (Settings says so); absent for a keyring or before that is known.
    virtual std::optional<QString> fallbackFilePath() const { return std::nullopt; }
    // Whether it is known where secrets go (so fallbackFilePath() answers
    // for good); settle() finds out without reading or writing a secret.
    virtual bool isSettled() const { return true; }
    virtual QCoro::Task<> settle() { co_return; }

signals:
    void changed(const QString& service, const QString& account);
};

} // namespace orvana
