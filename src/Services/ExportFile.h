#pragma once

#include "Core/Result.h"

#include <QIODevice>
#include <QString>
#include <memory>

class QFileDevice;

namespace orvana {

// Where an export document is written. A new or regular file is replaced
// atomically, so a failure leaves the old one whole (through a symbolic
// link: the file it points to; the link stays). A FIFO, a terminal or
// another character device is written where it is: a file put in its place
// would leave the reader with nothing and the device gone. Anything else (a
// folder, a socket, a block device) is refused before anything is created.
// Every error names the file.
class ExportFile : public QIODevice {
    Q_OBJECT
public:
    explicit ExportFile(const QString& path);
    ~ExportFile() override;

    // Write-only; a FIFO waits here for its reader, as any writer does.
    bool open(OpenMode mode) override;
    bool isSequential() const override { return true; }

    // Puts the written bytes in place (a stream has them already). False,
    // with the reason in errorString(), when they did not all arrive.
    bool commit();
    // A file to be replaced is left as it was; what a stream took stays sent.
    void cancelWriting();
    // Opening or a write failed; errorString() says why.
    bool failed() const { return failed_; }
    // The last failure: errorString() and what kind of failure it was.
    Error failure() const { return {errorString(), kind_}; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 length) override;

private:
    bool fail(const QString& reason, ErrorKind kind);
    bool failSystem(int error);
    bool failFile(const QFileDevice& file);

    QString path_;
    std::unique_ptr<QFileDevice> file_; // a QSaveFile, or a QFile on a stream
    bool stream_ = false;
    bool failed_ = false;
    ErrorKind kind_ = ErrorKind::general;
};

} // namespace orvana
