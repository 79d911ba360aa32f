#include "Services/ExportFile.h"

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

QString systemError(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool isStream(mode_t mode) {
    return S_ISFIFO(mode) || S_ISCHR(mode);
}

} // namespace

ExportFile::ExportFile(const QString& path) : path_(path) {}

// An uncommitted QSaveFile removes its temporary.
ExportFile::~ExportFile() = default;

bool ExportFile::open(OpenMode mode) {
    if (isOpen() || !(mode & WriteOnly) || (mode & ReadOnly))
        return fail(tr("it can only be opened once, for writing"));
    failed_ = false;
    const QByteArray native = QFile::encodeName(path_);
    struct stat st; // of the file a link leads to
    if (::stat(native.constData(), &st) != 0) {
        if (errno != ENOENT)
            return fail(systemError(errno));
    } else if (S_ISDIR(st.st_mode)) {
        return fail(systemError(EISDIR));
    } else if (isStream(st.st_mode)) {
        // Opened where it is: nothing is created, truncated or renamed. It
        // is looked at again once open, in case another took its name.
        const int fd = ::open(native.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            return fail(systemError(errno));
        if (::fstat(fd, &st) != 0 || !isStream(st.st_mode)) {
            ::close(fd);
            return fail(tr("it changed while being opened"));
        }
        auto file = std::make_unique<QFile>();
        if (!file->open(fd, WriteOnly | Unbuffered, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            return fail(file->errorString());
        }
        file_ = std::move(file);
        stream_ = true;
        return QIODevice::open(WriteOnly | Unbuffered);
    } else if (!S_ISREG(st.st_mode)) {
        return fail(tr("not a file, a FIFO or a character device"));
    } else if (::access(native.constData(), W_OK) != 0) {
        return fail(systemError(errno)); // refused before a temporary is made
    }
    auto file = std::make_unique<QSaveFile>(path_);
    if (!file->open(WriteOnly))
        return fail(file->errorString());
    file_ = std::move(file);
    stream_ = false;
    return QIODevice::open(WriteOnly | Unbuffered);
}

qint64 ExportFile::writeData(const char* data, qint64 length) {
    if (!file_ || failed_)
        return -1;
    if (file_->write(data, length) != length) {
        fail(file_->errorString());
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
            ok = fail(file_->errorString());
    } else if (auto& file = static_cast<QSaveFile&>(*file_); !ok) {
        file.cancelWriting();
    } else if (!file.commit()) {
        ok = fail(file.errorString());
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

bool ExportFile::fail(const QString& reason) {
    failed_ = true;
    setErrorString(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path_), reason));
    return false;
}

} // namespace orvana
