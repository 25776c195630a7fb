#include "ChildRole.h"

#include <QCoreApplication>
#include <QHash>
#include <cstdio>

namespace {
const char kRoleVariable[] = "TARVO_CHILD_ROLE";
const char kArgsVariable[] = "TARVO_CHILD_ARGS";
// Arguments travel in one variable, separated by a character no argument of
// a test holds.
const QChar kSeparator = QChar(0x1f);

QHash<QString, ChildRole::Body>& Roles()
{
    static QHash<QString, ChildRole::Body> roles;
    return roles;
}
} // namespace

ChildRole::ChildRole(const char* name, Body body)
{
    Roles().insert(QString::fromLatin1(name), std::move(body));
}

QProcessEnvironment ChildRoleEnvironment(QProcessEnvironment env, const QString& role, const QStringList& args)
{
    env.insert(QString::fromLatin1(kRoleVariable), role);
    env.insert(QString::fromLatin1(kArgsVariable), args.join(kSeparator));
    return env;
}

ProcessResult RunChildRole(const QProcessEnvironment& env, const QString& role, const QStringList& args, int timeoutMs)
{
    return RunProgram(QCoreApplication::applicationFilePath(), {}, ChildRoleEnvironment(env, role, args), timeoutMs);
}

bool StartChildRole(QProcess& child, const QProcessEnvironment& env, const QString& role, const QStringList& args,
                    const QString& program)
{
    child.setProcessEnvironment(ChildRoleEnvironment(env, role, args));
    child.start(program.isEmpty() ? QCoreApplication::applicationFilePath() : program, {});
    return child.waitForStarted(10000);
}

int RunChildRoleIfAsked()
{
    if (!qEnvironmentVariableIsSet(kRoleVariable))
        return -1;
    const QString name = qEnvironmentVariable(kRoleVariable);
    const auto it = Roles().constFind(name);
    if (it == Roles().constEnd()) {
        std::fprintf(stderr, "no child role \"%s\" in this test program\n", qPrintable(name));
        return 2;
    }
    const QString packed = qEnvironmentVariable(kArgsVariable);
    const QStringList args = packed.isEmpty() ? QStringList() : packed.split(kSeparator);
    const int code = (*it)(args);
    std::fflush(stdout);
    if (code == 0 && ::testing::UnitTest::GetInstance()->ad_hoc_test_result().Failed())
        return 1;
    return code;
}
