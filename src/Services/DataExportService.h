#pragma once

#include "Core/Result.h"
#include "Core/Timestamp.h"

#include <QByteArray>

namespace orvana {

class ModelContext;

// Writes every record of the store as one JSON document (schema version 1):
// keys sorted, "key" : value, two-space indentation, no trailing newline,
// whole-second UTC timestamps, upper-case ids, absent optionals left out,
// the solidus escaped. Nothing in the store changes.
class DataExportService {
public:
    static constexpr int schemaVersion = 1;

    // Fails only when a value cannot be written as JSON (a duration that is
    // not a finite number).
    static Result<QByteArray> exportJSON(const ModelContext& context, Timestamp exportedAt);

    // "2026-03-05T14:07:00Z": UTC, whole seconds (the fraction is dropped),
    // years kept within 0001...9999.
    static QByteArray timestampText(Timestamp t);
};

} // namespace orvana
