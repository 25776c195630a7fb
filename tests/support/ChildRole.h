#pragma once

// A process test re-runs its own test program as a child in a named role: the
// child does the one thing the role says and ends before any test runs, so
// no test of the child shows in the normal run.
//
// A test file registers its roles once, at namespace scope:
//   const ChildRole kSaver("settings-save", [](const QStringList& args) { ...; return 0; });
// and starts a child with RunChildRole(childEnvironment(), "settings-save", {...}).
// A role answers the child's exit code; a failed EXPECT inside a role makes
// the exit code 1 (when the role itself answered 0).

#include "TestEnv.h"

#include <QProcess>
#include <QStringList>
#include <functional>

class ChildRole
{
public:
    using Body = std::function<int(const QStringList& args)>;
    ChildRole(const char* name, Body body);
};

// The environment that makes this test program run as a child in the role,
// with the arguments handed to it.
QProcessEnvironment ChildRoleEnvironment(QProcessEnvironment env, const QString& role, const QStringList& args = {});

// Runs this test program as a child in the role and waits for it.
ProcessResult RunChildRole(const QProcessEnvironment& env, const QString& role, const QStringList& args = {},
                           int timeoutMs = 60000);

// Starts the child without waiting (program: another path to this test
// program, for example a link under another name). False when it did not start.
bool StartChildRole(QProcess& child, const QProcessEnvironment& env, const QString& role,
                    const QStringList& args = {}, const QString& program = {});

// Called by the test main after the application object exists: runs the role
// this process was started in and answers its exit code, or -1 when the
// process is no child.
int RunChildRoleIfAsked();
