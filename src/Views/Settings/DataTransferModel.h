#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>

namespace orvana {

class AppEnvironment;
class SlicedSnapshot;
struct OrvanaExport;

namespace transfer {
// What a worker shares with the model: progress and the cancel request.
struct ExportJob;
struct ImportJob;
} // namespace transfer

// Export to and import from a file, off the interface thread, so that the
// window stays responsive even on a store of hundreds of megabytes. One
// operation at a time: a start while another runs is ignored.
//
// Export: the records are copied on the main thread in short slices (the
// store is read there only), the copy is encoded and written on a worker.
// Import: the file is read and decoded on a worker; the merge runs on the
// main thread in one go, as one undo step.
class DataTransferModel : public QObject {
    Q_OBJECT
public:
    explicit DataTransferModel(AppEnvironment& environment, QObject* parent = nullptr);
    // Cancels what runs. A worker still running finishes on its own, writes
    // no file and reaches nothing of this object.
    ~DataTransferModel() override;

    // "Orvana-Export-{yyyy-MM-dd}.json" for today's local date.
    QString proposedExportFileName() const;

    // Step 1 of an export: starts copying the records (exportedAt = now)
    // while the save dialog is open.
    void beginExport();
    // Step 2: the chosen file. Waits for the copy, then encodes and writes
    // on a worker, atomically, replacing an existing file. Without step 1
    // the copy starts here.
    void exportTo(const QString& path);
    // The save dialog was cancelled: the copy is dropped and the message
    // stays as it is.
    void abandonExport();

    // Reads and decodes `path` on a worker (the schema version is checked
    // there too), then merges it on the main thread: one undo step.
    void importFrom(const QString& path);

    // Stops an export (no file is written; a file already at the path stays
    // as it was) or an import before its merge (the store is untouched).
    // The message becomes "Export cancelled" or "Import cancelled". Ignored
    // once the file is being put in place or the merge runs: that operation
    // ends as it would have.
    void cancel();

    bool isBusy() const { return phase_ != Phase::idle; }
    // What runs, for the progress line ("Exporting…", "Reading {file}…");
    // empty when idle.
    QString activity() const { return activity_; }
    // 0…1 where known (bytes written of an estimate, bytes read), -1 while
    // indeterminate (copying, decoding, merging).
    double progress() const { return progress_; }
    // The one line under the data section, shared by export and import:
    // "Exported to {file}", "Export failed: {error}", "Imported from {file}",
    // "Import failed: {error}", "Export cancelled", "Import cancelled".
    std::optional<QString> message() const { return message_; }
    // The last operation wrote its file or merged its document.
    bool succeeded() const { return succeeded_; }

signals:
    // busy, activity, progress or message moved. Progress moves at most a
    // few times a second.
    void changed();
    // An operation ended: done, failed, cancelled or abandoned.
    void finished();

private:
    enum class Phase {
        idle,
        copying, // the records are being copied, or the copy waits for a file
        writing, // a worker encodes and writes
        reading, // a worker reads and decodes
        merging  // the decoded document waits for its turn on the main thread
    };

    void copied(std::optional<OrvanaExport> document);
    void startWriting();
    void merge();
    void dropExport();
    void dropImport();
    void pollProgress();
    void setProgress(double progress);
    void finish(std::optional<QString> message, bool succeeded = false);

    AppEnvironment& env_;
    Phase phase_ = Phase::idle;
    QString activity_;
    double progress_ = -1;
    std::optional<QString> message_;
    bool succeeded_ = false;
    QTimer progressTimer_;

    SlicedSnapshot* snapshot_ = nullptr; // a child, while copying
    std::shared_ptr<OrvanaExport> copy_; // the finished copy, until a file is chosen
    QString path_;                       // export target or import source
    std::shared_ptr<transfer::ExportJob> exportJob_;
    std::shared_ptr<transfer::ImportJob> importJob_;
    std::shared_ptr<OrvanaExport> decoded_; // waiting for the merge
};

} // namespace orvana
