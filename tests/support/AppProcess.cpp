#include "support/AppProcess.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace orvana::test {

Sandbox::Sandbox(Bus bus) {
    for (const char* sub : {"home", "data", "config", "state", "cache", "runtime"})
        QDir().mkpath(dir_.filePath(QLatin1String(sub)));
    QFile::setPermissions(dir_.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (bus == Bus::own)
        bus_ = std::make_unique<PrivateBus>();
}

QString Sandbox::storePath() const {
    return dir_.filePath(QStringLiteral("data/Orvana/Orvana.sqlite"));
}

QString Sandbox::storeFolder() const {
    return dir_.filePath(QStringLiteral("data/Orvana"));
}

QString Sandbox::backupsFolder() const {
    return dir_.filePath(QStringLiteral("data/Orvana/Backups"));
}

QProcessEnvironment Sandbox::env(bool headless) const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir_.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.filePath(QStringLiteral("runtime")));
    for (const QString sub : {"data", "config", "state", "cache"})
        env.insert("XDG_" + sub.toUpper() + "_HOME", dir_.filePath(sub));
    if (bus_ && !bus_->address.isEmpty())
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus_->address);
    else if (bus_)
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    else
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                   QStringLiteral("unix:path=") + dir_.filePath(QStringLiteral("no-bus")));
    if (headless) {
        for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QLatin1String(variable));
    } else {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    }
    return env;
}

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << "finished=" << o.finished << " crashed=" << (o.status == QProcess::CrashExit)
              << " code=" << o.code << "\n--- stdout ---\n"
              << o.out.toStdString() << "--- stderr ---\n"
              << o.err.toStdString();
}

OrvanaProcess::OrvanaProcess(const QProcessEnvironment& env, const QStringList& args,
                             const QString& program) {
    process_.setProcessEnvironment(env);
    process_.start(program, args);
    process_.waitForStarted();
}

OrvanaProcess::~OrvanaProcess() {
    process_.terminate();
    if (!process_.waitForFinished(5000))
        process_.kill();
    process_.waitForFinished();
}

bool OrvanaProcess::staysUpFor(int ms) {
    process_.waitForFinished(ms);
    return process_.state() == QProcess::Running;
}

Outcome OrvanaProcess::outcome() {
    Outcome o;
    // (waitForFinished() says false for a process that has already ended.)
    o.finished =
        process_.state() == QProcess::NotRunning || process_.waitForFinished(exitTimeoutMs);
    if (!o.finished)
        process_.kill();
    process_.waitForFinished();
    o.status = process_.exitStatus();
    o.code = process_.exitCode();
    o.out = QString::fromLocal8Bit(process_.readAllStandardOutput());
    o.err = QString::fromLocal8Bit(process_.readAllStandardError()) +
            (o.finished ? QString() : process_.errorString());
    return o;
}

Outcome runOrvana(const QStringList& args, const QProcessEnvironment& env) {
    return OrvanaProcess(env, args).outcome();
}

void expectExit(const Outcome& o, int code) {
    EXPECT_TRUE(o.finished && o.status == QProcess::NormalExit &&
                (code < 0 ? o.code != 0 : o.code == code) &&
                !o.err.contains(QLatin1String("Sanitizer")) &&
                !o.err.contains(QLatin1String("runtime error:")))
        << "expected exit status " << code << "; " << o;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        << f.errorString().toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray fingerprint(const QString& path) {
    if (!QFileInfo(path).isDir())
        return fileBytes(path);
    QByteArray all = "folder:";
    const QDir dir(path);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        all += name.toUtf8() + '\0' + fingerprint(dir.filePath(name)) + '\0';
    return all;
}

} // namespace orvana::test
