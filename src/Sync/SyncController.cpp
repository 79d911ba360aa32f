#include "Sync/SyncController.h"

#include "Services/AppEnvironment.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "Sync/CalDavClient.h"
#include "Sync/SyncSchedule.h"
#include "Sync/SyncSetup.h"

#include <QCoreApplication>
#include <QNetworkInformation>
#include <QPointer>
#include <algorithm>
#include <qcoro/qcorosignal.h>

namespace orvana {

namespace {

constexpr Timestamp deletedListDays = 30;
constexpr Timestamp firstCycleDelay = 2;

SyncCycleOutcome failedWith(const QString& line) {
    SyncCycleOutcome outcome;
    outcome.exitCode = 1;
    outcome.line = line;
    return outcome;
}

} // namespace

SyncController& SyncController::of(AppEnvironment& environment) {
    if (auto* found = environment.findChild<SyncController*>(QString(), Qt::FindDirectChildrenOnly))
        return *found;
    return *new SyncController(environment);
}

SyncController::SyncController(AppEnvironment& environment)
    : QObject(&environment), environment_(environment) {
    clock_.start();
    schedule_ = std::make_unique<SyncSchedule>(clockNow());
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        const std::optional<Timestamp> due = schedule_->due();
        if (!due || running_ || !signedIn())
            return;
        if (*due > clockNow()) {
            plan(); // woken early
            return;
        }
        waiting_.push_back({SyncDeletions::ask, {}});
        (void)runWaiting();
    });
    connect(&environment_.context(), &ModelContext::saved, this, &SyncController::onSaved);
    readAccount();
    refreshCounts();
    if (account_ && !account_->lastError.isEmpty()) {
        error_ = account_->lastError;
        phase_ = Phase::failed;
    }
}

SyncController::~SyncController() = default;

Timestamp SyncController::clockNow() const {
    return Timestamp(clock_.elapsed()) / 1000.0;
}

void SyncController::start() {
    if (started_)
        return;
    started_ = true;
    // A network that comes back is a reason to sync at once rather than at
    // the next retry.
    if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        connect(QNetworkInformation::instance(), &QNetworkInformation::reachabilityChanged, this,
                [this](QNetworkInformation::Reachability reachability) {
                    if (reachability == QNetworkInformation::Reachability::Online)
                        prompt();
                });
    }
    // The first cycle waits for the window's first paint and the screens'
    // first reads, so that starting up stays as quick as without sync.
    schedule_->prompted(clockNow() + firstCycleDelay);
    plan();
}

std::optional<Timestamp> SyncController::lastSynced() const {
    return account_ ? account_->lastSync : std::nullopt;
}

std::optional<Timestamp> SyncController::nextIn() const {
    const std::optional<Timestamp> due = schedule_->due();
    if (!due || !started_ || !signedIn() || running_)
        return std::nullopt;
    return std::max<Timestamp>(0, *due - clockNow());
}

std::optional<Timestamp> SyncController::retryIn() const {
    return phase_ == Phase::failed ? nextIn() : std::nullopt;
}

void SyncController::readAccount() {
    account_.reset();
    SqliteStore* store = environment_.context().store();
    if (!store || !store->sync())
        return;
    Result<SyncAccount> read = store->sync()->account();
    if (read.ok())
        account_ = read.value();
}

void SyncController::refreshCounts() {
    SqliteStore* store = environment_.context().store();
    qint64 conflicts = 0, deleted = 0;
    if (store && store->sync()) {
        if (Result<qint64> n = store->sync()->conflictCount(); n.ok())
            conflicts = n.value();
        const Timestamp since = environment_.now() - deletedListDays * 86'400;
        if (Result<qint64> n = store->sync()->deletedCount(since); n.ok())
            deleted = n.value();
    }
    if (conflicts == conflicts_ && deleted == deleted_)
        return;
    conflicts_ = conflicts;
    deleted_ = deleted;
    emit changed();
}

void SyncController::setPhase(Phase phase) {
    phase_ = phase;
    emit changed();
}

void SyncController::plan() {
    if (!started_ || !signedIn() || running_) {
        timer_.stop();
        return;
    }
    const std::optional<Timestamp> due = schedule_->due();
    if (!due) {
        timer_.stop();
        return;
    }
    const Timestamp wait = std::max<Timestamp>(0, *due - clockNow());
    timer_.start(int(std::min<Timestamp>(wait, 24 * 3600) * 1000));
}

void SyncController::onSaved() {
    if (!signedIn() || running_)
        return;
    SqliteStore* store = environment_.context().store();
    if (!store || !store->sync())
        return;
    if (Result<qint64> pending = store->sync()->pendingCount();
        pending.ok() && pending.value() > 0) {
        schedule_->edited(clockNow());
        plan();
    }
}

void SyncController::syncNow() {
    if (!signedIn())
        return;
    schedule_->prompted(clockNow());
    const bool queued =
        std::any_of(waiting_.begin(), waiting_.end(), [](const Waiting& w) { return !w.done; });
    if (!queued)
        waiting_.push_back({SyncDeletions::ask, {}});
    if (!running_)
        (void)runWaiting();
}

void SyncController::prompt() {
    if (!signedIn() || phase_ == Phase::asking)
        return;
    schedule_->prompted(clockNow());
    plan();
}

void SyncController::answer(bool deleteThem) {
    if (!question_)
        return;
    question_.reset();
    schedule_->prompted(clockNow());
    waiting_.push_back({deleteThem ? SyncDeletions::apply : SyncDeletions::keep, {}});
    if (!running_)
        (void)runWaiting();
}

void SyncController::request(bool allowDeletions,
                             std::function<void(const SyncCycleOutcome&)> done) {
    waiting_.push_back(
        {allowDeletions ? SyncDeletions::apply : SyncDeletions::ask, std::move(done)});
    if (!running_)
        (void)runWaiting();
}

QCoro::Task<> SyncController::runWaiting() {
    running_ = true;
    timer_.stop();
    QPointer<SyncController> self(this);
    while (!waiting_.empty()) {
        Waiting call = std::move(waiting_.front());
        waiting_.pop_front();
        schedule_->started();
        progress_ = {};
        setPhase(Phase::syncing);
        SyncCycleOutcome outcome;
        if (!environment_.http() || !environment_.secrets()) {
            outcome = failedWith(QCoreApplication::translate(
                "SyncController", "Sync failed: this app has no network here."));
        } else {
            SyncProgress progress = [self](qint64 sent, qint64 of) {
                if (!self)
                    return;
                self->progress_ = {sent, of};
                emit self->changed();
            };
            outcome = co_await syncOnce(environment_.context(), *environment_.http(),
                                        *environment_.secrets(), environment_.calendar(),
                                        call.deletions, std::move(progress));
        }
        if (!self)
            co_return;
        schedule_->finished(clockNow(), outcome.exitCode == 0, outcome.retryable);
        readAccount();
        if (!signedIn()) {
            error_.clear();
            question_.reset();
            phase_ = Phase::off;
        } else if (outcome.exitCode == 0) {
            error_.clear();
            question_.reset();
            phase_ = Phase::idle;
        } else if (outcome.exitCode == 3) {
            error_.clear();
            question_ = Question{outcome.guarded, outcome.guardedIn, outcome.accountLost};
            phase_ = Phase::asking;
        } else {
            error_ = outcome.line;
            phase_ = Phase::failed;
        }
        refreshCounts();
        emit changed();
        if (phase_ == Phase::asking)
            emit questionAsked();
        if (call.done)
            call.done(outcome);
        emit cycleFinished();
        if (!self)
            co_return;
    }
    running_ = false;
    emit settled();
    if (!self)
        co_return;
    // What was saved while the cycle ran and is not on the server yet: a
    // pull's own saves leave nothing behind once the push confirmed them.
    onSaved();
    plan();
}

QCoro::Task<Result<void>> SyncController::signIn(QString server, QString user, QString password,
                                                 bool allowInsecure) {
    SqliteStore* store = environment_.context().store();
    if (!store || !environment_.http() || !environment_.secrets())
        co_return Error{QCoreApplication::translate("SyncController",
                                                    "This app cannot sync without its data store."),
                        ErrorKind::general};
    const QUrl url = syncServerAddress(server);
    if (url.isEmpty())
        co_return Error{
            QCoreApplication::translate("SyncController", "\u201c%1\u201d is not a server address.")
                .arg(server.trimmed()),
            ErrorKind::general};
    if (!CalDavClient::transportAllowed(url, allowInsecure))
        co_return Error{QCoreApplication::translate(
                            "SyncController",
                            "Plain http:// would send your password unencrypted. Use https://, or "
                            "allow an unencrypted connection for a server you trust on your own "
                            "network."),
                        ErrorKind::general};
    if (user.trimmed().isEmpty())
        co_return Error{QCoreApplication::translate("SyncController", "Enter your user name."),
                        ErrorKind::general};
    if (password.isEmpty())
        co_return Error{QCoreApplication::translate("SyncController", "Enter your password."),
                        ErrorKind::general};
    // What the user did so far is in the store when the account notes it.
    if (auto saved = environment_.context().save(); !saved.ok())
        co_return saved.error();
    const QString name = user.trimmed();
    Result<void> done = co_await setUpSync(*store, *environment_.http(), *environment_.secrets(),
                                           url, name, password, allowInsecure, environment_.now());
    if (!done.ok())
        co_return done;
    readAccount();
    schedule_ = std::make_unique<SyncSchedule>(clockNow());
    error_.clear();
    question_.reset();
    setPhase(Phase::idle);
    refreshCounts();
    syncNow();
    co_return Result<void>{};
}

QCoro::Task<Result<void>> SyncController::signOut() {
    QPointer<SyncController> self(this);
    // Callers that wait for a cycle hear that none will come.
    std::deque<Waiting> dropped;
    dropped.swap(waiting_);
    for (Waiting& w : dropped) {
        if (w.done)
            w.done(failedWith(QCoreApplication::translate(
                "SyncController", "Sync failed: signed out while the sync waited.")));
    }
    while (self && running_)
        co_await qCoro(this, &SyncController::settled);
    if (!self)
        co_return Result<void>{};
    SqliteStore* store = environment_.context().store();
    if (!store || !environment_.secrets())
        co_return Result<void>{};
    Result<void> stopped = co_await stopSyncing(*store, *environment_.secrets());
    if (!self)
        co_return stopped;
    readAccount();
    timer_.stop();
    error_.clear();
    question_.reset();
    progress_ = {};
    conflicts_ = deleted_ = 0;
    setPhase(signedIn() ? Phase::idle : Phase::off);
    co_return stopped;
}

} // namespace orvana
