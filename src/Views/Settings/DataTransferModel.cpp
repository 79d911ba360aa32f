#include "Views/Settings/DataTransferModel.h"

#include "Services/AppEnvironment.h"
#include "Services/BackupService.h"
#include "Services/DataExportService.h"
#include "Services/DataImport.h"
#include "Services/ExportFile.h"
#include "Store/ModelContext.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cmath>

namespace orvana {

namespace transfer {

struct ExportJob {
    enum State { running, cancelled, committing };
    std::atomic<int> state{running};
    std::atomic<qint64> written{0};
    qint64 estimate = 1; // bytes the document is expected to take
};

struct ImportJob {
    std::atomic<bool> cancelled{false};
    std::atomic<qint64> read{0};
    std::atomic<qint64> size{0};
    std::atomic<bool> decoding{false};
};

} // namespace transfer

namespace {

using transfer::ExportJob;
using transfer::ImportJob;

// How often the progress line may move.
constexpr int progressInterval = 100; // ms
// The smallest step of the progress worth a change.
constexpr double progressStep = 0.01;
// Read in pieces so that a cancel is seen soon and the progress moves.
constexpr qint64 readPiece = 4 * 1024 * 1024;

// The document's size from its record counts: bytes per record of each type
// as pretty-printed, typical titles and optionals included. Only for the
// progress line, which holds below 100 % until the file is in place.
qint64 estimatedSize(const OrvanaExport& d) {
    return 512 + qint64(d.goals.size()) * 330 + qint64(d.weeks.size()) * 300 +
           qint64(d.weekItems.size()) * 340 + qint64(d.dayTasks.size()) * 440 +
           qint64(d.focusSessions.size()) * 400 + qint64(d.focusBlockTemplates.size()) * 360 +
           qint64(d.trailEntries.size()) * 227;
}

// An export file that counts what it is given and refuses further writes
// once the export is cancelled, so the encoder stops at its next piece.
class JobFile : public ExportFile {
public:
    JobFile(const QString& path, ExportJob& job) : ExportFile(path), job_(job) {}

    bool wasCancelled() const { return job_.state.load() == ExportJob::cancelled; }

protected:
    qint64 writeData(const char* data, qint64 length) override {
        if (wasCancelled())
            return -1;
        const qint64 n = ExportFile::writeData(data, length);
        if (n > 0)
            job_.written.fetch_add(n, std::memory_order_relaxed);
        return n;
    }

private:
    ExportJob& job_;
};

struct WriteOutcome {
    enum Kind { written, cancelled, failed } kind = failed;
    QString error;
};

// On a worker.
WriteOutcome writeDocument(const OrvanaExport& document, const QString& path, ExportJob& job) {
    JobFile file(path, job);
    if (!file.open(QIODevice::WriteOnly))
        return {WriteOutcome::failed, file.errorString()};
    const Result<void> encoded = DataExportService::encode(document, file);
    // From here on a cancel is too late: the file is put in place.
    int expected = ExportJob::running;
    if (!job.state.compare_exchange_strong(expected, ExportJob::committing)) {
        file.cancelWriting();
        return {WriteOutcome::cancelled, {}};
    }
    if (!encoded.ok()) {
        const QString error = file.failed() ? file.errorString() : encoded.error().message;
        file.cancelWriting();
        return {WriteOutcome::failed, error};
    }
    if (!file.commit())
        return {WriteOutcome::failed, file.errorString()};
    return {WriteOutcome::written, {}};
}

struct ReadOutcome {
    std::shared_ptr<OrvanaExport> document; // none: failed or cancelled
    QString error;
};

// On a worker. A cancel stops the reading between pieces; the decoding runs
// to its end, and its result is dropped here.
ReadOutcome readDocument(const QString& path, ImportJob& job) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {nullptr, file.errorString()};
    QByteArray bytes;
    const qint64 size = file.size();
    job.size = size;
    if (size > 0) {
        bytes.resize(size);
        qint64 done = 0;
        while (done < size) {
            if (job.cancelled)
                return {};
            const qint64 n = file.read(bytes.data() + done, std::min(readPiece, size - done));
            if (n < 0)
                return {nullptr, file.errorString()};
            if (n == 0)
                break; // shorter than it said
            done += n;
            job.read = done;
        }
        bytes.resize(done);
    }
    if (!file.atEnd()) // longer than it said, or not a plain file
        bytes += file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {nullptr, file.errorString()};
    file.close();

    job.decoding = true;
    Result<OrvanaExport> decoded = DataImport::decode(bytes);
    bytes = {};
    if (job.cancelled)
        return {};
    if (!decoded.ok())
        return {nullptr, decoded.error().message};
    if (decoded.value().schemaVersion != DataExportService::schemaVersion)
        return {nullptr,
                DataImport::unsupportedSchemaVersionMessage(decoded.value().schemaVersion)};
    return {std::make_shared<OrvanaExport>(std::move(decoded.value())), {}};
}

// Frees a document that may be large off the interface's thread.
void drop(std::shared_ptr<OrvanaExport>& document) {
    if (document)
        dropOnWorker(std::move(*document));
    document.reset();
}

} // namespace

DataTransferModel::DataTransferModel(AppEnvironment& environment, QObject* parent)
    : QObject(parent), env_(environment) {
    progressTimer_.setInterval(progressInterval);
    connect(&progressTimer_, &QTimer::timeout, this, &DataTransferModel::pollProgress);
}

DataTransferModel::~DataTransferModel() {
    if (exportJob_) {
        int expected = ExportJob::running;
        exportJob_->state.compare_exchange_strong(expected, ExportJob::cancelled);
    }
    if (importJob_)
        importJob_->cancelled = true;
    delete snapshot_;
    drop(copy_);
    drop(decoded_);
}

QString DataTransferModel::proposedExportFileName() const {
    const DateComponents d = env_.calendar().components(env_.now());
    return QStringLiteral("Orvana-Export-%1-%2-%3.json")
        .arg(d.year, 4, 10, QLatin1Char('0'))
        .arg(d.month, 2, 10, QLatin1Char('0'))
        .arg(d.day, 2, 10, QLatin1Char('0'));
}

void DataTransferModel::beginExport() {
    if (isBusy())
        return;
    phase_ = Phase::copying;
    path_.clear();
    activity_ = tr("Exporting…");
    progress_ = -1;
    snapshot_ = new SlicedSnapshot(env_.context(), env_.now(), {}, this);
    emit changed();
    // A small store is copied within this call.
    snapshot_->start([this](std::optional<OrvanaExport> document) { copied(std::move(document)); });
}

void DataTransferModel::copied(std::optional<OrvanaExport> document) {
    snapshot_->deleteLater();
    snapshot_ = nullptr;
    if (!document)
        return finish(tr("Export failed: %1").arg(tr("The records are no longer open.")));
    copy_ = std::make_shared<OrvanaExport>(std::move(*document));
    if (!path_.isEmpty())
        startWriting();
}

void DataTransferModel::exportTo(const QString& path) {
    if (phase_ == Phase::idle)
        beginExport();
    if (phase_ != Phase::copying || !path_.isEmpty())
        return;
    path_ = path;
    activity_ = tr("Exporting to %1…").arg(QFileInfo(path).fileName());
    emit changed();
    if (copy_)
        startWriting();
}

void DataTransferModel::startWriting() {
    phase_ = Phase::writing;
    auto job = std::make_shared<ExportJob>();
    job->estimate = std::max<qint64>(estimatedSize(*copy_), 1);
    exportJob_ = job;
    progress_ = 0;
    progressTimer_.start();
    emit changed();
    runOnWorker(
        this,
        [job, path = path_, document = std::exchange(copy_, {})] {
            return writeDocument(*document, path, *job); // the copy is freed on the worker
        },
        [this, job](WriteOutcome outcome) {
            if (job != exportJob_) // cancelled meanwhile
                return;
            const QString fileName = QFileInfo(path_).fileName();
            switch (outcome.kind) {
            case WriteOutcome::written:
                return finish(tr("Exported to %1").arg(fileName), true);
            case WriteOutcome::failed:
                return finish(tr("Export failed: %1").arg(outcome.error));
            case WriteOutcome::cancelled:
                return finish(tr("Export cancelled"));
            }
        });
}

void DataTransferModel::abandonExport() {
    if (phase_ != Phase::copying || !path_.isEmpty())
        return;
    dropExport();
    finish(std::nullopt);
}

void DataTransferModel::importFrom(const QString& path) {
    if (isBusy())
        return;
    phase_ = Phase::reading;
    path_ = path;
    activity_ = tr("Reading %1…").arg(QFileInfo(path).fileName());
    progress_ = 0;
    auto job = std::make_shared<ImportJob>();
    importJob_ = job;
    progressTimer_.start();
    emit changed();
    runOnWorker(
        this, [job, path] { return readDocument(path, *job); },
        [this, job](ReadOutcome outcome) {
            if (job != importJob_) { // cancelled meanwhile
                drop(outcome.document);
                return;
            }
            if (!outcome.document)
                return finish(tr("Import failed: %1").arg(outcome.error));
            // The merge holds the interface; the line says so before it starts.
            phase_ = Phase::merging;
            progressTimer_.stop();
            activity_ = tr("Importing %1…").arg(QFileInfo(path_).fileName());
            progress_ = -1;
            decoded_ = std::move(outcome.document);
            emit changed();
            QMetaObject::invokeMethod(this, &DataTransferModel::merge, Qt::QueuedConnection);
        });
}

void DataTransferModel::merge() {
    if (phase_ != Phase::merging || !decoded_)
        return;
    const Result<void> merged = DataImport::importDocument(*decoded_, env_.context());
    drop(decoded_);
    const QString fileName = QFileInfo(path_).fileName();
    finish(merged.ok() ? tr("Imported from %1").arg(fileName)
                       : tr("Import failed: %1").arg(merged.error().message),
           merged.ok());
}

void DataTransferModel::cancel() {
    switch (phase_) {
    case Phase::idle:
        return;
    case Phase::copying:
    case Phase::writing:
        if (exportJob_) {
            int expected = ExportJob::running;
            if (!exportJob_->state.compare_exchange_strong(expected, ExportJob::cancelled))
                return; // the file is being put in place
        }
        dropExport();
        return finish(tr("Export cancelled"));
    case Phase::reading:
    case Phase::merging:
        dropImport();
        return finish(tr("Import cancelled"));
    }
}

void DataTransferModel::dropExport() {
    delete snapshot_; // what it copied goes to a worker
    snapshot_ = nullptr;
    drop(copy_);
    exportJob_.reset(); // its worker stops at its next piece
}

void DataTransferModel::dropImport() {
    if (importJob_)
        importJob_->cancelled = true;
    importJob_.reset();
    drop(decoded_);
}

void DataTransferModel::pollProgress() {
    if (exportJob_) {
        setProgress(std::min(0.99, double(exportJob_->written) / double(exportJob_->estimate)));
    } else if (importJob_) {
        const qint64 size = importJob_->size;
        setProgress(importJob_->decoding || size <= 0 ? -1.0
                                                      : double(importJob_->read) / double(size));
    }
}

void DataTransferModel::setProgress(double progress) {
    const bool crossed = (progress < 0) != (progress_ < 0);
    if (!crossed && std::abs(progress - progress_) < progressStep)
        return;
    progress_ = progress;
    emit changed();
}

void DataTransferModel::finish(std::optional<QString> message, bool succeeded) {
    phase_ = Phase::idle;
    succeeded_ = succeeded;
    activity_.clear();
    progress_ = -1;
    progressTimer_.stop();
    exportJob_.reset();
    importJob_.reset();
    if (message)
        message_ = std::move(message);
    emit changed();
    emit finished();
}

} // namespace orvana
