#include "Views/Settings/DataTransferModel.h"

#include "Services/DataExportService.h"
#include "Store/UndoManager.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>
#include <gtest/gtest.h>

using namespace orvana;
using orvana::test::drainEvents;

namespace {

void waitUntilDone(DataTransferModel& model) {
    if (model.isBusy()) {
        QSignalSpy finished(&model, &DataTransferModel::finished);
        ASSERT_TRUE(finished.wait(20'000));
    }
    // Whatever a cancelled worker still does has ended, and its answer is in.
    QThreadPool::globalInstance()->waitForDone();
    drainEvents();
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray everything(const ModelContext& ctx) {
    return DataExportService::exportJSON(ctx, 0).value();
}

// Holds every worker of the global pool, so that what the model hands to a
// worker waits until `release()`: a cancel lands before the worker starts.
class HeldPool {
public:
    HeldPool() {
        const int n = QThreadPool::globalInstance()->maxThreadCount();
        for (int i = 0; i < n; ++i)
            QThreadPool::globalInstance()->start([this] { gate_.acquire(); });
        held_ = n;
    }
    ~HeldPool() { release(); }
    void release() {
        gate_.release(held_);
        held_ = 0;
    }

private:
    QSemaphore gate_;
    int held_ = 0;
};

// The record-for-record round trip is DataImport's test; here the busy state,
// the messages, the document as of the export's start, and the import as one
// undo step over the store it came from.
TEST(DataTransfer, AnExportImportsBackAsOneUndoStep) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mine.json"));
    test::TestEnvironment t;
    UndoManager* undo = t.context.ensureUndoManager();
    test::fillEveryKind(t.context);
    drainEvents();
    DataTransferModel model(t.env);
    model.beginExport();
    EXPECT_TRUE(model.isBusy()) << "busy from the start of the copy";
    model.exportTo(path);
    waitUntilDone(model);
    EXPECT_EQ(model.message(), QStringLiteral("Exported to mine.json"));
    EXPECT_FALSE(model.isBusy());
    EXPECT_TRUE(model.activity().isEmpty());
    EXPECT_EQ(test::fileBytes(path), DataExportService::exportJSON(t.context, t.now).value())
        << "the document as of the export's start";
    const QByteArray exported = everything(t.context);

    t.context.fetch<Goal>().front()->setTitle(QStringLiteral("Renamed since"));
    drainEvents();
    const QByteArray renamed = everything(t.context);
    const auto steps = undo->undoCount();
    model.importFrom(path);
    EXPECT_EQ(model.activity(), QStringLiteral("Reading mine.json…"));
    waitUntilDone(model);
    EXPECT_EQ(model.message(), QStringLiteral("Imported from mine.json"));
    EXPECT_EQ(everything(t.context), exported);
    EXPECT_EQ(undo->undoCount(), steps + 1);
    undo->undo();
    EXPECT_EQ(everything(t.context), renamed);
}

TEST(DataTransfer, FailuresSayWhichSideFailedAndChangeNothing) {
    QTemporaryDir dir;
    test::TestEnvironment t;
    UndoManager* undo = t.context.ensureUndoManager();
    test::fillEveryKind(t.context);
    drainEvents();
    const QByteArray before = everything(t.context);
    const auto steps = undo->undoCount();
    DataTransferModel model(t.env);

    model.importFrom(dir.filePath(QStringLiteral("missing.json")));
    waitUntilDone(model);
    ASSERT_TRUE(model.message());
    EXPECT_TRUE(model.message()->startsWith(QStringLiteral("Import failed: ")));
    EXPECT_GT(model.message()->size(), 16) << "with the reason";

    const QString garbage = dir.filePath(QStringLiteral("notes.json"));
    // The parser's own sentence is quoted without its full stop: one ends the line.
    write(garbage, QByteArrayLiteral("{\"schemaVersion\": 1, \"goals\": [{\"title\": \"Read"));
    model.importFrom(garbage);
    waitUntilDone(model);
    EXPECT_TRUE(model.message()->endsWith(QLatin1String("never closed).")))
        << qPrintable(*model.message());

    EXPECT_EQ(everything(t.context), before);
    EXPECT_EQ(undo->undoCount(), steps);

    model.exportTo(dir.filePath(QStringLiteral("no/such/folder/out.json")));
    waitUntilDone(model);
    ASSERT_TRUE(model.message());
    EXPECT_TRUE(model.message()->startsWith(QStringLiteral("Export failed: ")));
    EXPECT_GT(model.message()->size(), 16) << "with the reason";
}

TEST(DataTransfer, ACancelledImportLeavesTheStoreAlone) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("other.json"));
    {
        test::TestEnvironment source;
        test::fillEveryKind(source.context);
        write(path, DataExportService::exportJSON(source.context, source.now).value());
    }
    test::TestEnvironment t;
    t.context.ensureUndoManager();
    DataTransferModel model(t.env);

    {
        HeldPool pool; // cancelled while reading
        model.importFrom(path);
        EXPECT_TRUE(model.isBusy());
        model.cancel();
        EXPECT_FALSE(model.isBusy());
        EXPECT_EQ(model.message(), QStringLiteral("Import cancelled"));
    }
    waitUntilDone(model);
    EXPECT_EQ(t.context.count<Goal>(), 0u);

    // Cancelled once decoded, when the merge is about to start.
    QObject::connect(&model, &DataTransferModel::changed, &model, [&] {
        if (model.activity().startsWith(QStringLiteral("Importing")))
            model.cancel();
    });
    model.importFrom(path);
    waitUntilDone(model);
    EXPECT_EQ(model.message(), QStringLiteral("Import cancelled"));
    EXPECT_EQ(t.context.count<Goal>(), 0u);
    EXPECT_FALSE(t.context.undoManager()->canUndo());
}

TEST(DataTransfer, ACancelledExportWritesNothingAndADismissedDialogSaysNothing) {
    QTemporaryDir dir;
    test::TestEnvironment t;
    test::fillEveryKind(t.context);
    DataTransferModel model(t.env);
    QSignalSpy finished(&model, &DataTransferModel::finished);

    const QString existing = dir.filePath(QStringLiteral("existing.json"));
    write(existing, QByteArrayLiteral("what was there"));
    const QString fresh = dir.filePath(QStringLiteral("fresh.json"));
    for (const QString& path : {existing, fresh}) {
        HeldPool pool; // cancelled while the worker is to write
        model.beginExport();
        model.exportTo(path);
        model.cancel();
        EXPECT_FALSE(model.isBusy());
        EXPECT_EQ(model.message(), QStringLiteral("Export cancelled"));
        pool.release();
        waitUntilDone(model);
    }
    EXPECT_EQ(test::fileBytes(existing), QByteArrayLiteral("what was there"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("existing.json")})
        << "no new file, nothing half-written";

    model.beginExport();
    model.abandonExport();
    EXPECT_FALSE(model.isBusy());
    EXPECT_EQ(model.message(), QStringLiteral("Export cancelled")) << "as it was";
    EXPECT_EQ(finished.size(), 3);
}

TEST(DataTransfer, TheProposedFileNameCarriesTodaysLocalDate) {
    test::TestEnvironment t;
    t.now = t.local(2026, 3, 2, 0, 30); // still 1 March in UTC
    DataTransferModel model(t.env);
    EXPECT_EQ(model.proposedExportFileName(), QStringLiteral("Orvana-Export-2026-03-02.json"));
}

} // namespace
