#include "Services/LaunchAtLogin.h"

#include "Core/FileErrors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QSaveFile>
#include <algorithm>

namespace orvana {

namespace {

// An Exec argument with a space or a reserved character goes in double
// quotes, with ", `, $ and \ escaped by a backslash.
QString quotedExecArgument(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (!std::any_of(argument.begin(), argument.end(),
                     [](QChar c) { return reserved.contains(c); }))
        return argument;
    QString quoted;
    for (QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return u'"' + quoted + u'"';
}

// Within a desktop entry's value a backslash is itself escaped once more, and
// a per cent sign, which would start a field code, is doubled.
QString escapedValue(const QString& value) {
    return QString(value)
        .replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'%', QStringLiteral("%%"));
}

} // namespace

LaunchAtLogin::LaunchAtLogin(QString autostartFile, QString command)
    : file_(std::move(autostartFile)), command_(std::move(command)) {}

QByteArray LaunchAtLogin::entry(const QString& command) {
    const QString exec = escapedValue(quotedExecArgument(command));
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Name=Orvana\n"
                          "Comment=Plan personal goals and focus on them\n"
                          "Exec=%1\n"
                          "Icon=app.orvana.Orvana\n"
                          "Terminal=false\n"
                          "X-GNOME-Autostart-enabled=true\n")
        .arg(exec)
        .toUtf8();
}

bool LaunchAtLogin::isEnabled() const {
    QFile file(file_);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Only the main group counts; actions' groups may have keys of their own.
    bool inMain = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (line.startsWith('['))
            inMain = line == "[Desktop Entry]";
        else if (inMain && line.startsWith("Hidden")) {
            const int equals = line.indexOf('=');
            if (equals > 0 && line.left(equals).trimmed() == "Hidden" &&
                line.mid(equals + 1).trimmed() == "true")
                return false;
        }
    }
    return true;
}

Result<void> LaunchAtLogin::setEnabled(bool enabled) const {
    if (!enabled) {
        QFile file(file_);
        if (file.exists() && !file.remove())
            return Error{file.errorString(), fileErrorKind(file)};
        return {};
    }
    const QString folder = QFileInfo(file_).absolutePath();
    if (!QDir().mkpath(folder))
        return Error{
            QCoreApplication::translate("LaunchAtLogin", "The folder %1 could not be made.")
                .arg(folder),
            ErrorKind::io};
    QSaveFile file(file_);
    if (!file.open(QIODevice::WriteOnly))
        return Error{file.errorString(), fileErrorKind(file)};
    const QByteArray text = entry(command_);
    if (file.write(text) != text.size() || !file.commit())
        return Error{file.errorString(), fileErrorKind(file)};
    return {};
}

} // namespace orvana
