#pragma once

#include "Core/Result.h"

#include <QString>
#include <memory>

namespace orvana {

class ModelContext;

// Opens the one model store of the process and keeps it for the life of the
// process, saving automatically and once more when it is destroyed.
class PersistenceController {
public:
    PersistenceController();
    ~PersistenceController();

    // $XDG_DATA_HOME/Orvana/Orvana.sqlite
    static QString defaultStorePath();

    // Opens (or creates) the store at `path` and loads it. On failure the
    // message is a full report for the user: what failed, the file, why, and
    // whether the file was left unchanged.
    Result<void> open(const QString& path);

    ModelContext* context() const { return context_.get(); }
    const QString& path() const { return path_; }

    // Writes pending changes now (on quit).
    Result<void> saveNow();

private:
    QString path_;
    std::unique_ptr<ModelContext> context_;
};

} // namespace orvana
