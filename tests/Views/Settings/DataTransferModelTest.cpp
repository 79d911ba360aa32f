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

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

TEST(DataTransfer, TheExportedFileImportsIntoAnotherStoreRecordForRecord) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("mine.json"));
    test::TestEnvironment source;
    test::fillEveryKind(source.context);
    DataTransferModel exporter(source.env);
    exporter.beginExport();
    EXPECT_TRUE(exporter.isBusy()) << "busy from the start of the copy";
    exporter.exportTo(path);
    waitUntilDone(exporter);
    EXPECT_EQ(exporter.message(), QStringLiteral("Exported to mine.json"));
    EXPECT_FALSE(exporter.isBusy());
    EXPECT_TRUE(exporter.activity().isEmpty());
    EXPECT_EQ(contents(path), DataExportService::exportJSON(source.context, source.now).value())
        << "the document as of the export's start";

    test::TestEnvironment target;
    DataTransferModel importer(target.env);
    importer.importFrom(path);
    EXPECT_EQ(importer.activity(), QStringLiteral("Reading mine.json…"));
    waitUntilDone(importer);
    EXPECT_EQ(importer.message(), QStringLiteral("Imported from mine.json"));
    EXPECT_EQ(everything(target.context), everything(source.context));
}

TEST(DataTransfer, AnImportIsOneUndoStepOverTheStoreItCameFrom) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("back.json"));
    test::TestEnvironment t;
    UndoManager* undo = t.context.ensureUndoManager();
    test::fillEveryKind(t.context);
    drainEvents();
    DataTransferModel model(t.env);
    model.exportTo(path); // without a separate first step
    waitUntilDone(model);
    const QByteArray exported = everything(t.context);

    Goal* goal = t.context.fetch<Goal>().front();
    goal->setTitle(QStringLiteral("Renamed since"));
    drainEvents();
    const QByteArray renamed = everything(t.context);
    const auto steps = undo->undoCount();

    model.importFrom(path);
    waitUntilDone(model);
    EXPECT_EQ(model.message(), QStringLiteral("Imported from back.json"));
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

    const QString otherVersion = dir.filePath(QStringLiteral("v2.json"));
    write(otherVersion, QByteArrayLiteral(
                            R"({"schemaVersion": 2, "exportedAt": "2026-03-05T14:07:00Z",
        "goals": [], "weeks": [], "weekItems": [], "dayTasks": [], "focusSessions": [],
        "focusBlockTemplates": [], "trailEntries": []})"));
    model.importFrom(otherVersion);
    waitUntilDone(model);
    EXPECT_EQ(model.message(),
              QStringLiteral("Import failed: This file uses export format 2, which this version "
                             "of Orvana doesn't understand."));

    model.importFrom(dir.filePath(QStringLiteral("missing.json")));
    waitUntilDone(model);
    ASSERT_TRUE(model.message());
    EXPECT_TRUE(model.message()->startsWith(QStringLiteral("Import failed: ")));
    EXPECT_GT(model.message()->size(), 16) << "with the reason";

    const QString garbage = dir.filePath(QStringLiteral("notes.json"));
    write(garbage, QByteArrayLiteral("{\"schemaVersion\": 1"));
    model.importFrom(garbage);
    waitUntilDone(model);
    EXPECT_TRUE(model.message()->startsWith(QStringLiteral("Import failed: The file is not")));
    EXPECT_FALSE(model.message()->contains(QLatin1String(".)"))) << qPrintable(*model.message());

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
    EXPECT_EQ(contents(existing), QByteArrayLiteral("what was there"));
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
