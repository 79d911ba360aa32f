#pragma once

#include "Core/Calendar.h"
#include "Core/Result.h"
#include "Sync/CalDavClient.h"

#include <qcoro/qcorotask.h>

namespace orvana {

class ModelContext;

struct SyncReport {
    qint64 sent = 0;     // resources written to the server
    qint64 removed = 0;  // resources deleted on the server
    qint64 heldBack = 0; // changed on the server meanwhile: merged at the next pull
};

// One account's sync, on the main thread beside the context it syncs.
class SyncEngine {
public:
    SyncEngine(ModelContext& context, CalDavClient& client, Calendar calendar);

    // Sends what the journal holds: each changed record written over the
    // copy the server last confirmed (If-Match its ETag), a new one only if
    // it is still new there (If-None-Match), a deleted one removed. The
    // journal and the confirmed copies change in one transaction per batch,
    // after the server answered, so a sync that is killed resends at most a
    // batch, and never makes a second copy. Day tasks so far.
    QCoro::Task<Result<SyncReport>> push();

private:
    ModelContext& context_;
    CalDavClient& client_;
    Calendar calendar_;
};

} // namespace orvana
