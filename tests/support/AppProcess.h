#pragma once

// The real `orvana` binary run as a person would, in a sandbox of its own:
// HOME and every XDG folder in a temporary directory, and a session bus of
// its own or none at all, so nothing reaches the user's files or a running
// app of theirs.
#include "support/PrivateBus.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <ostream>

namespace orvana::test {

// Generous: a sanitizer build on a loaded machine starts slowly, and a hang
// is the fault being looked for, not a slow start.
constexpr int exitTimeoutMs = 20000;

class Sandbox {
public:
    // `own`: a private dbus-daemon (the app claims its name there); `none`:
    // the session bus address names a socket that does not exist, so the
    // command line never finds a running app.
    enum class Bus { own, none };
    explicit Sandbox(Bus bus = Bus::own);

    QString storePath() const;
    // $XDG_DATA_HOME/Orvana
    QString storeFolder() const;
    QString backupsFolder() const;
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString busAddress() const { return bus_ ? bus_->address : QString(); }

    // Headless: no display at all, as over SSH or on a build machine.
    // Otherwise offscreen: the app runs, and fatal reports go to stderr only.
    QProcessEnvironment env(bool headless = false) const;

private:
    QTemporaryDir dir_;
    std::unique_ptr<PrivateBus> bus_;
};

struct Outcome {
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QString out;
    QString err;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o);

// The app in a process of its own; stopped (and reaped) on destruction.
class OrvanaProcess {
public:
    explicit OrvanaProcess(const QProcessEnvironment& env, const QStringList& args = {},
                           const QString& program = QStringLiteral(ORVANA_BINARY));
    ~OrvanaProcess();
    OrvanaProcess(const OrvanaProcess&) = delete;
    OrvanaProcess& operator=(const OrvanaProcess&) = delete;

    // True when the app is still up after `ms`. (waitForFinished() alone
    // cannot tell: it also returns false for a process that already ended.)
    bool staysUpFor(int ms);
    qint64 pid() const { return process_.processId(); }
    // Writes `bytes` to its standard input and closes it.
    void input(const QByteArray& bytes) {
        process_.write(bytes);
        process_.closeWriteChannel();
    }

    // Waits for the exit, killing the app after the timeout.
    Outcome outcome();

private:
    QProcess process_;
};

Outcome runOrvana(const QStringList& args, const QProcessEnvironment& env);

// An exit the program chose (not a crash, a hang or a sanitizer report) with
// status `code`, or any non-zero status for -1: a refusal.
void expectExit(const Outcome& o, int code);

// Writes `bytes` to `path`, making its folder.
void writeFile(const QString& path, const QByteArray& bytes);

// What "left exactly as it was" is compared on: the bytes of a file, or the
// names and bytes of everything in a folder.
QByteArray fingerprint(const QString& path);

} // namespace orvana::test
