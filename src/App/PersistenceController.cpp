#include "App/PersistenceController.h"

#include "Core/AppPaths.h"

#include "Store/ModelContext.h"
#include "Store/SqliteStore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace orvana {

PersistenceController::PersistenceController() = default;

PersistenceController::~PersistenceController() {
    if (context_)
        (void)context_->save(); // nothing more can be done about a failure here
}

QString PersistenceController::defaultStorePath() {
    return AppPaths::standard().storeFile;
}

Result<void> PersistenceController::open(const QString& path) {
    path_ = path;
    const bool existed = QFileInfo::exists(path);
    auto opened = openModelContext(path);
    if (!opened.ok()) {
        // Whole texts, so a translation can put the sentence where it fits.
        const QString report =
            existed ? QCoreApplication::translate("PersistenceController",
                                                  "Orvana could not set up its data store.\n\n"
                                                  "Store file: %1\n%2\n\n"
                                                  "The file has not been changed.")
                    : QCoreApplication::translate("PersistenceController",
                                                  "Orvana could not set up its data store.\n\n"
                                                  "Store file: %1\n%2");
        return Error{report.arg(path, opened.error().message), opened.error().kind};
    }
    context_ = std::move(opened.value());
    context_->setAutosaveEnabled(true);
    return {};
}

Result<void> PersistenceController::saveNow() {
    if (!context_)
        return {};
    return context_->save();
}

} // namespace orvana
