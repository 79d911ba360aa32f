#include "Core/PrivateFiles.h"

#include "Core/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <sys/stat.h>

namespace orvana {

namespace {

void restrict(const QString& path, mode_t mode) {
    struct stat st {};
    const QByteArray native = QFile::encodeName(path);
    if (::lstat(native.constData(), &st) != 0 || S_ISLNK(st.st_mode))
        return; // not there, or a link the user made: left alone
    // Only takes access away: a folder the user made read-only stays so.
    if ((st.st_mode & 077) != 0)
        ::chmod(native.constData(), st.st_mode & mode);
}

void tightenFolder(const QString& folder) {
    if (!QFileInfo(folder).isDir())
        return;
    restrict(folder, 0700);
    const QDir dir(folder);
    for (const QFileInfo& entry :
         dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        restrict(entry.filePath(), 0600);
}

} // namespace

void keepNewFilesPrivate() {
    ::umask(077);
}

void tightenPrivateFiles(const AppPaths& paths) {
    for (const QString& file : {paths.storeFile, paths.preferencesFile, paths.pendingNotifications})
        tightenFolder(QFileInfo(file).absolutePath());
    tightenFolder(paths.backupsDirectory);
}

} // namespace orvana
