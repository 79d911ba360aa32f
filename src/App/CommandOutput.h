#pragma once

#include <QCoreApplication>
#include <QString>
#include <cstdio>

namespace orvana::cli {

// One line of text to a stream, UTF-8.
inline void printLine(FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fputc('\n', stream);
}

// A failure: one line on standard error, exit status 1.
inline int fail(const QString& message) {
    printLine(stderr, message);
    return 1;
}

// A usage mistake: exit status 2.
inline int usage(const QString& message) {
    printLine(stderr, QCoreApplication::translate("CommandLine", "orvana: %1\nTry 'orvana --help'.")
                          .arg(message));
    return 2;
}

} // namespace orvana::cli
