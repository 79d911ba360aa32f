#pragma once

#include "Core/Result.h"

#include <QFileDevice>

namespace orvana {

// The kind of a QFile or QSaveFile failure. Qt reports a write that found no
// room as a resource error.
inline ErrorKind fileErrorKind(const QFileDevice& file) {
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return ErrorKind::diskFull;
    case QFileDevice::PermissionsError:
        return ErrorKind::permission;
    default:
        return ErrorKind::io;
    }
}

} // namespace orvana
