#pragma once

#include "Core/Result.h"
#include "Core/Timestamp.h"
#include "Store/SyncState.h"
#include "Sync/SyncCycle.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <optional>
#include <qcoro/qcorotask.h>

namespace orvana {

class AppEnvironment;
class SyncSchedule;

// The app's sync: one cycle at a time on the main thread, by itself on the
// schedule (at start, after edits settle, every 5 minutes, after a wake or
// when the network returns, backing off after failures), and when asked
// (Sync Now, Retry, `orvana sync` through D-Bus). Signing in and out, the
// state every screen shows, and the deletion guard's question.
//
// One per environment, made on first use; it syncs by itself only once
// start() was called, so a screen's test drives it by hand.
class SyncController : public QObject {
    Q_OBJECT
public:
    enum class Phase {
        off,     // no account
        idle,    // signed in; `lastSynced()` says when it last went through
        syncing, // a cycle runs; `progress()` says how far the sending is
        failed,  // the last cycle failed: `error()` says why; Retry is syncNow()
        asking,  // the deletion guard stopped a pull: `question()` asks
    };

    // What the deletion guard asks: how many records would go, and from
    // which calendars; or the server lost this account's data.
    struct Question {
        qint64 records = 0;
        QStringList collections; // the calendars' names, as every client shows them
        bool accountLost = false;
    };

    struct Progress {
        qint64 sent = 0;
        qint64 of = 0; // 0: not sending yet
    };

    static SyncController& of(AppEnvironment& environment);
    ~SyncController() override;

    // From now on it syncs by itself, the first cycle at once.
    void start();

    Phase phase() const { return phase_; }
    bool signedIn() const { return account_.has_value(); }
    // The account as the store keeps it; nothing when signed out.
    const std::optional<SyncAccount>& account() const { return account_; }
    std::optional<Timestamp> lastSynced() const;
    // Why the last cycle failed, in words; empty when it did not.
    QString error() const { return error_; }
    Progress progress() const { return progress_; }
    // Seconds until the schedule's next cycle; nothing when none is planned
    // (not started, signed out, a cycle runs, or it waits for the user).
    std::optional<Timestamp> nextIn() const;
    // The same after a failure the connection or the server may mend.
    std::optional<Timestamp> retryIn() const;
    std::optional<Question> question() const { return question_; }
    // Open conflicts and records deleted on another device in the last 30
    // days, for the screens that list them.
    qint64 conflictCount() const { return conflicts_; }
    qint64 deletedCount() const { return deleted_; }

    // Finds the calendars (making those that are missing), keeps the
    // password in the secret store and the account in the store, then syncs.
    QCoro::Task<Result<void>> signIn(QString server, QString user, QString password,
                                     bool allowInsecure);
    // Forgets the account, the sync state and the password; the records on
    // this device stay. A running cycle ends first.
    QCoro::Task<Result<void>> signOut();

    // A cycle at once (Sync Now, Retry); one already waiting is enough.
    void syncNow();
    // A wake from suspend or a network that came back.
    void prompt();
    // The guard's answer: delete them here, or keep them and send them to
    // the server again (for a server that lost the account: send everything).
    void answer(bool deleteThem);
    // A cycle for the command line or D-Bus, queued behind the running one;
    // `done` gets its outcome in `orvana sync`'s words.
    void request(bool allowDeletions, std::function<void(const SyncCycleOutcome&)> done);

    // The store's lists changed outside a cycle (a restore, a conflict
    // resolved): the counts are read again.
    void refreshCounts();

    // For tests and the benchmark: the schedule's clock in seconds.
    Timestamp clockNow() const;

signals:
    // Phase, progress, last sync, error or counts changed.
    void changed();
    // The guard stopped a pull: the window asks.
    void questionAsked();
    // A cycle ended (successfully or not).
    void cycleFinished();
    // No cycle runs or waits any more.
    void settled();

private:
    explicit SyncController(AppEnvironment& environment);

    struct Waiting {
        SyncDeletions deletions;
        std::function<void(const SyncCycleOutcome&)> done;
    };

    void readAccount();
    void setPhase(Phase phase);
    void plan();
    void onSaved();
    QCoro::Task<> runWaiting();

    AppEnvironment& environment_;
    std::unique_ptr<SyncSchedule> schedule_;
    QElapsedTimer clock_;
    QTimer timer_;
    std::deque<Waiting> waiting_;
    bool running_ = false;
    bool started_ = false;
    Phase phase_ = Phase::off;
    std::optional<SyncAccount> account_;
    QString error_;
    Progress progress_;
    std::optional<Question> question_;
    qint64 conflicts_ = 0;
    qint64 deleted_ = 0;
};

} // namespace orvana
