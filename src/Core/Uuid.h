#pragma once

#include <QString>
#include <QUuid>

namespace orvana {

// Canonical text form used wherever an id leaves the store: upper case,
// hyphenated, 36 characters, no braces.
inline QString uuidText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

// Accepts either case; an invalid text yields a null QUuid.
inline QUuid uuidFromText(QStringView text) {
    if (text.size() != 36)
        return {};
    return QUuid::fromString(text);
}

} // namespace orvana
