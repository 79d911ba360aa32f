#include "Services/Preferences.h"

#include "Core/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QJsonValue>
#include <QSaveFile>
#include <QStandardPaths>

#include <optional>
#include <utility>

namespace orvana {

namespace {

// The typed views of a stored JSON value: empty when the value is absent or of
// another type, so that callers can tell "wrong type" from "equals default".

std::optional<bool> boolOf(const QJsonValue& stored) {
    if (!stored.isBool())
        return std::nullopt;
    return stored.toBool();
}

std::optional<qint64> integerOf(const QJsonValue& stored) {
    if (!stored.isDouble())
        return std::nullopt;
    // Qt 6 keeps integral JSON numbers as exact 64-bit integers, and toInteger()
    // returns its fallback for fractional or out-of-range numbers. Zero is the one
    // fallback that a genuine integer can also produce, hence the second check.
    // (Literals just below INT64_MIN are rounded to it by the parser before we see
    // them; that is accepted.)
    const qint64 integer = stored.toInteger(0);
    if (integer == 0 && stored.toDouble() != 0.0)
        return std::nullopt;
    return integer;
}

std::optional<QString> stringOf(const QJsonValue& stored) {
    if (!stored.isString())
        return std::nullopt;
    return stored.toString();
}

QJsonObject readObject(const QString& filePath) {
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return {};
    return document.object();
}

} // namespace

Preferences::Preferences(QString filePath, QObject* parent)
    : QObject(parent), filePath_(std::move(filePath)), values_(readObject(filePath_)) {}

QString Preferences::defaultFilePath() {
    return AppPaths::standard().preferencesFile;
}

bool Preferences::value(const BoolPreference& key) const {
    return boolOf(values_.value(QLatin1String(key.name))).value_or(key.defaultValue);
}

qint64 Preferences::value(const IntPreference& key) const {
    return integerOf(values_.value(QLatin1String(key.name))).value_or(key.defaultValue);
}

QString Preferences::value(const StringPreference& key) const {
    return stringOf(values_.value(QLatin1String(key.name)))
        .value_or(QString::fromUtf8(key.defaultValue));
}

// "Changed" compares what is stored, not what readers saw: replacing an absent
// or wrong-typed entry is a change even when the new value equals the default.
// The value is stored and signalled even when the file cannot be written, since
// it is in effect for this process either way.

bool Preferences::setValue(const BoolPreference& key, bool value) {
    const bool changed = boolOf(values_.value(QLatin1String(key.name))) != value;
    const bool written = store(key.name, QJsonValue(value));
    if (changed)
        emit valueChanged(QString::fromLatin1(key.name));
    return written;
}

bool Preferences::setValue(const IntPreference& key, qint64 value) {
    const bool changed = integerOf(values_.value(QLatin1String(key.name))) != value;
    const bool written = store(key.name, QJsonValue(value));
    if (changed)
        emit valueChanged(QString::fromLatin1(key.name));
    return written;
}

bool Preferences::setValue(const StringPreference& key, const QString& value) {
    const bool changed = stringOf(values_.value(QLatin1String(key.name))) != value;
    const bool written = store(key.name, QJsonValue(value));
    if (changed)
        emit valueChanged(QString::fromLatin1(key.name));
    return written;
}

bool Preferences::contains(const char* name) const {
    return values_.contains(QLatin1String(name));
}

// Writes the whole object, including keys this version does not know, so that
// a newer or hand-edited file loses nothing when an older build saves it.
bool Preferences::store(const char* name, const QJsonValue& value) {
    values_.insert(QLatin1String(name), value);

    const QFileInfo info(filePath_);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    QSaveFile file(filePath_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray json = QJsonDocument(values_).toJson(QJsonDocument::Indented);
    if (file.write(json) != json.size())
        return false; // QSaveFile discards the partial write on destruction.
    return file.commit();
}

} // namespace orvana
