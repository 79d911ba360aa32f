#pragma once

#include "Core/Result.h"
#include "Core/Timestamp.h"

#include "Services/ExportRecords.h"

#include <QByteArray>

class QIODevice;

namespace orvana {

class ModelContext;

// Writes every record of the store as one JSON document (schema version 1):
// keys sorted, "key" : value, two-space indentation, no trailing newline,
// whole-second UTC timestamps, upper-case ids, absent optionals left out,
// the solidus escaped. Nothing in the store changes.
class DataExportService {
public:
    static constexpr int schemaVersion = 1;

    // Every record as the document's records, in store order.
    static OrvanaExport exportDocument(const ModelContext& context, Timestamp exportedAt);

    // The document's bytes. Touches no record, so it may run on any thread
    // over a snapshot taken by exportDocument. Fails only when a value cannot
    // be written as JSON (a duration that is not a finite number).
    static Result<QByteArray> encode(const OrvanaExport& document);
    // The same bytes handed to `device` in pieces as they are made, so that
    // writing even a large store to a file needs little memory besides the
    // snapshot. Fails also when the device takes less than it is given.
    static Result<void> encode(const OrvanaExport& document, QIODevice& device);

    // encode(exportDocument(context, exportedAt)).
    static Result<QByteArray> exportJSON(const ModelContext& context, Timestamp exportedAt);

    // "2026-03-05T14:07:00Z": UTC, whole seconds (the fraction is dropped),
    // years kept within 0001...9999.
    static QByteArray timestampText(Timestamp t);
    // The reverse, accepting exactly that form.
    static std::optional<Timestamp> parseTimestamp(QStringView text);

    // Strict reading of a document: every required key with its type, ids in
    // either case, optional keys missing or null, timestamps in whole seconds.
    // The error says what is wrong and where (record kind, position, key).
    static Result<OrvanaExport> decode(const QByteArray& json);

    // Merges a document into the store: records with a known id are
    // overwritten, others added, nothing deleted; relationships point only
    // into the same document. One undo step; saved at the end. A document
    // that does not decode, or has another schema version, changes nothing.
    static Result<void> importJSON(const QByteArray& json, ModelContext& context);

    // "This file uses export format {version}, which this version of Orvana
    // doesn't understand."
    static QString unsupportedSchemaVersionMessage(qint64 version);
};

} // namespace orvana
