#pragma once

// What the program learns of its own process from the platform: who runs it,
// under which name, with which command line, and how it was started.

#include <QString>
#include <QStringList>
#include <memory>

// True while the program runs as its OEM edition (an application title that
// does not hold the program's own name); start-up sets it once.
extern bool gbChiseloEdition;
// The account that runs the program ("Unknown" when there is none); start-up
// sets it once.
extern QString gUserName;

namespace appinfo {

enum class StartMode { Standalone = 0, Automation = 1 };

// The account name, or "" when the system has none (the caller decides on
// a fallback).
QString UserName();

// The executable's base name ("tarvo", "chiselo").
QString ExeName();
// The base name with a capital first letter: "Tarvo", or "Chiselo" for a copy
// or link of the program under that name.
QString ApplicationTitle();
// The same, under the short name the settings calls use.
inline QString App()
{
    return ApplicationTitle();
}
// Makes ApplicationTitle answer this title instead (tests run as
// "test_<area>" but need the edition they test); empty removes the override.
void SetApplicationTitleForTests(const QString& title);
// The folder the running program lies in.
QString ProgramFolder();

// The arguments after the program's own name (arguments[0], as
// QCoreApplication::arguments gives them) joined by blanks; an argument that
// holds a blank, a double quote or nothing is put in double quotes (a double
// quote inside it written twice), so that the command-line parser gives back
// each argument as one token, as the shell passed it less its double quotes.
QString RawCommandLine(const QStringList& arguments);
QString RawCommandLine(); // of this process (QCoreApplication::arguments)

// Automation when the activation file started the process with -Embedding.
StartMode GetStartMode(const QStringList& arguments);
StartMode GetStartMode();

// The single-instance lock: a lock file in $XDG_RUNTIME_DIR (or the temp
// folder), or in the folder given. A lock left by a process that died is
// taken over.
class SingleInstance
{
public:
    explicit SingleInstance(const QString& name, const QString& folder = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    // True when this process now holds the lock, False when another live
    // process holds it.
    bool TryAcquire();
    // After a refused TryAcquire: True when a live process holds the lock,
    // False when the lock file could not be made at all.
    bool HeldElsewhere() const { return m_heldElsewhere; }
    QString LockFilePath() const;

private:
    int m_fd = -1;
    bool m_heldElsewhere = false;
    QString m_path;
};

} // namespace appinfo
