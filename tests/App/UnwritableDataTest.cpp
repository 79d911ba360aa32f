// A data folder the app cannot write: the real binary, started as the
// window and as `orvana import`, must stop with a message that names the
// folder, exit 1 and change nothing.
#include "Services/DataExportService.h"
#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"
#include "support/AppProcess.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <optional>
#include <unistd.h>

using namespace orvana;
using test::Outcome;
using test::Sandbox;

namespace {

// `folder` bound read-only onto itself in a mount namespace of the app's
// own, which binds root too. Without the privilege for that, the folder's
// mode is taken away instead (root ignores that).
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : folder_(folder) {
        // Root may make the namespace; anyone else needs a user namespace.
        unshare_ = {::geteuid() == 0 ? QStringLiteral("-m") : QStringLiteral("-rm"),
                    QStringLiteral("sh"),
                    QStringLiteral("-c"),
                    QStringLiteral("mount --bind \"$1\" \"$1\" && "
                                   "mount -o remount,bind,ro \"$1\" && shift && exec \"$@\""),
                    QStringLiteral("sh"),
                    folder};
        QProcess probe;
        probe.start(QStringLiteral("unshare"), unshare_ + QStringList{QStringLiteral("true")});
        mounted_ = probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit &&
                   probe.exitCode() == 0;
        if (!mounted_)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
    }
    ~ReadOnlyFolder() {
        if (!mounted_)
            QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // Whether the folder really is read-only for the app.
    bool binds() const { return mounted_ || ::geteuid() != 0; }

    Outcome run(const QStringList& args, const QProcessEnvironment& env) const {
        if (!mounted_)
            return test::runOrvana(args, env);
        return test::OrvanaProcess(env,
                                   unshare_ + QStringList{QStringLiteral(ORVANA_BINARY)} + args,
                                   QStringLiteral("unshare"))
            .outcome();
    }

private:
    QString folder_;
    QStringList unshare_;
    bool mounted_ = false;
};

TEST(UnwritableData, StartAndImportStopWithAMessageNamingTheFolderAndChangeNothing) {
    // (A skip ends the test: the read-only case comes last.)
    for (const bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only folder" : "a file in the folder's place");
        Sandbox sandbox(Sandbox::Bus::none);
        const QString folder = sandbox.storeFolder();
        const QString document = sandbox.path(QStringLiteral("import.json"));
        {
            // A store in use, with its lock file, and a document to merge.
            auto ctx = openModelContext(sandbox.storePath());
            ASSERT_TRUE(ctx.ok());
            test::fillEveryKind(*ctx.value());
            ASSERT_TRUE(ctx.value()->save().ok());
            auto json = DataExportService::exportJSON(*ctx.value(), 1.8e9);
            ASSERT_TRUE(json.ok());
            test::writeFile(document, json.value().replace("\"Run\"", "\"Run far\""));
        }
        std::optional<ReadOnlyFolder> locked;
        if (readOnly) {
            locked.emplace(folder);
            if (!locked->binds())
                GTEST_SKIP() << "no mount namespace here, and root ignores file modes";
        } else {
            ASSERT_TRUE(QDir(folder).removeRecursively());
            test::writeFile(folder, "the user's own notes\n");
        }
        auto run = [&](const QStringList& args, const QProcessEnvironment& env) {
            return locked ? locked->run(args, env) : test::runOrvana(args, env);
        };
        const QByteArray before = test::fingerprint(sandbox.path(QStringLiteral("data")));
        // The message says this about the folder.
        const QString problem = folder + (readOnly ? QStringLiteral(" cannot be written")
                                                   : QStringLiteral(" is a file, not a folder"));

        const Outcome window = run({}, sandbox.env());
        test::expectExit(window, 1);
        EXPECT_TRUE(window.err.contains(QLatin1String("could not set up its data store")))
            << window;
        EXPECT_TRUE(window.err.contains(problem)) << window;

        const Outcome import = run({QStringLiteral("import"), document}, sandbox.env(true));
        test::expectExit(import, 1);
        EXPECT_TRUE(import.err.startsWith(QLatin1String("Import failed: "))) << import;
        EXPECT_TRUE(import.err.contains(problem)) << import;

        locked.reset();
        EXPECT_TRUE(test::fingerprint(sandbox.path(QStringLiteral("data"))) == before)
            << "the data folder changed";
    }
}

} // namespace
