#include "Services/ExportFile.h"

#include "Core/FileErrors.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvana {

namespace {

bool isStream(mode_t mode) {
    return S_ISFIFO(mode) || S_ISCHR(mode);
}

} // namespace

ExportFile::ExportFile(const QString& path) : path_(path) {}

// An uncommitted QSaveFile removes its temporary.
ExportFile::~ExportFile() = default;

bool ExportFile::open(OpenMode mode) {
    if (isOpen() || !(mode & WriteOnly) || (mode & ReadOnly))
        return fail(tr("it can only be opened once, for writing"), ErrorKind::general);
    failed_ = false;
    const QByteArray native = QFile::encodeName(path_);
    struct stat st; // of the file a link leads to
    if (::stat(native.constData(), &st) != 0) {
        if (errno != ENOENT)
            return failSystem(errno);
    } else if (S_ISDIR(st.st_mode)) {
        return failSystem(EISDIR);
    } else if (isStream(st.st_mode)) {
        // Opened where it is: nothing is created, truncated or renamed. It
        // is looked at again once open, in case another took its name.
        const int fd = ::open(native.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return failSystem(errno);
        if (::fstat(fd, &st) != 0 || !isStream(st.st_mode)) {
            ::close(fd);
            return fail(tr("it changed while being opened"), ErrorKind::io);
        }
        auto file = std::make_unique<QFile>();
        if (!file->open(fd, WriteOnly | Unbuffered, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return failFile(*file);
        }
        file_ = std::move(file);
        stream_ = true;
        return QIODevice::open(WriteOnly | Unbuffered);
    } else if (!S_ISREG(st.st_mode)) {
        return fail(tr("not a file, a FIFO or a character device"), ErrorKind::invalidInput);
    } else if (::access(native.constData(), W_OK) != 0) {
        return failSystem(errno); // refused before a temporary is made
    }
    auto file = std::make_unique<QSaveFile>(path_);
    if (!file->open(WriteOnly)) {
        // Qt says only that it could not open; the system says why.
        const ErrorKind kind = errorKindOfErrno(errno);
        return fail(file->errorString(), kind);
    }
    file_ = std::move(file);
    stream_ = false;
    return QIODevice::open(WriteOnly | Unbuffered);
}

qint64 ExportFile::writeData(const char* data, qint64 length) {
    if (!file_ || failed_)
        return -1;
    if (file_->write(data, length) != length) {
        failFile(*file_);
        return -1;
    }
    return length;
}

bool ExportFile::commit() {
    if (!file_)
        return false;
    bool ok = !failed_;
    if (stream_) {
        file_->close();
        if (ok && file_->error() != QFileDevice::NoError)
            ok = failFile(*file_);
    } else if (auto& file = static_cast<QSaveFile&>(*file_); !ok) {
        file.cancelWriting();
    } else if (!file.commit()) {
        ok = failFile(file);
    }
    file_.reset(); // a QSaveFile that did not commit removes its temporary here
    QIODevice::close();
    return ok;
}

void ExportFile::cancelWriting() {
    if (file_ && !stream_)
        static_cast<QSaveFile&>(*file_).cancelWriting();
    file_.reset();
    QIODevice::close();
}

bool ExportFile::fail(const QString& reason, ErrorKind kind) {
    failed_ = true;
    kind_ = kind;
    setErrorString(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path_), reason));
    return false;
}

bool ExportFile::failSystem(int error) {
    // A folder is not somewhere an export can go, whatever the system calls it.
    return fail(QString::fromLocal8Bit(std::strerror(error)),
                error == EISDIR ? ErrorKind::invalidInput : errorKindOfErrno(error));
}

bool ExportFile::failFile(const QFileDevice& file) {
    return fail(file.errorString(), fileErrorKind(file));
}

} // namespace orvana
