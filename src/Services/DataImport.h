#pragma once

#include "Core/Result.h"
#include "Core/Timestamp.h"
#include "Models/ExportRecords.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

namespace orvana {

class DayTask;
class Goal;
class ModelContext;
class WeekItem;

// Reads an export document back and merges it into the store.
class DataImport {
public:
    // Strict reading of a document: every required key with its type, ids in
    // either case, optional keys missing or null, timestamps in whole seconds.
    // The error says what is wrong and where (record kind, position, key).
    static Result<OrvanaExport> decode(const QByteArray& json);
    // Bytes of spare capacity after the end of `json` that let decode() read
    // it where it is rather than from a padded copy.
    static constexpr qsizetype decodePadding = 64;

    // Merges a document into the store: records with a known id are
    // overwritten, others added, nothing deleted; relationships point only
    // into the same document. One undo step; saved at the end. A document
    // that does not decode, or has another schema version, changes nothing.
    static Result<void> importJSON(const QByteArray& json, ModelContext& context);
    // The merge of importJSON for a document already decoded (on a worker,
    // say): the schema version is checked here, then the same single undo
    // step, upsert and save. Main thread only, like every store access.
    // With `resolveInStore`, references may also name records already in the
    // store (a record restored into the store it came from).
    static Result<void> importDocument(const OrvanaExport& document, ModelContext& context,
                                       bool resolveInStore = false);

    // Every record of `document` made or updated by id, without an undo
    // step of its own and unsaved (sync applies what it pulls the way an
    // import does). A reference names a record of the document or, with
    // `resolveInStore`, also one already in the store.
    static void merge(const OrvanaExport& document, ModelContext& context, bool resolveInStore);

    // "2026-03-05T14:07:00Z" and nothing else: UTC, whole seconds.
    static std::optional<Timestamp> parseTimestamp(QStringView text);

    // "This file uses export format {version}, which this version of Orvana
    // doesn't understand."
    static QString unsupportedSchemaVersionMessage(qint64 version);
};

} // namespace orvana
