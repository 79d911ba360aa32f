#pragma once

#include "Store/SyncState.h"
#include "Sync/CalDavClient.h"

namespace orvana {

struct SyncCollectionSpec {
    const char* displayName; // what every client shows
    QByteArray component;    // what it holds, comma-separated
    const char* slug;        // its path under the calendar home, when Orvana makes it
};
const SyncCollectionSpec& specOf(SyncCollection collection);

// Signing in: finds the calendar home, takes Orvana's four calendars that
// are there (by their names) and makes the others, and reads the account's
// mark in "Orvana Plan" (a journal entry other clients ignore), or writes
// one: a second device joins the account the first one made, and a server
// that lost the mark (restored, reset, another account) shows it.
QCoro::Task<Result<SyncAccount>> signIn(CalDavClient& client, QString server, QString user,
                                        bool allowInsecure);

// What the user typed as a server's address: "dav.example.org" is taken as
// https://dav.example.org/. Empty when it is not one (or holds a password).
QUrl syncServerAddress(const QString& text);

// The mark's path in the plan calendar.
QString accountMarkPath(const SyncAccount& account);
// The mark's bytes.
QByteArray accountMark(const QString& accountID);

} // namespace orvana
