#include "RunSteps.h"

#include "RunResults.h"

namespace runsteps {
namespace {

struct StepInfo
{
    RunStep::Kind kind;
    const char* name;
    qint32 failureCode;
};

constexpr StepInfo kSteps[] = {
    {RunStep::Continuity, "continuity", 14}, {RunStep::IdCheck, "id", 23},
    {RunStep::Erase, "erase", 22},           {RunStep::BlankCheck, "blank", 26},
    {RunStep::IllegalBit, "illegalbit", 37}, {RunStep::Program, "program", 21},
    {RunStep::Verify, "verify", 28},         {RunStep::Test, "test", 38},
    {RunStep::Secure, "secure", 27},         {RunStep::Read, "read", RunResult::UnexpectedResponse},
    {RunStep::Custom, "custom", RunResult::UnexpectedResponse},
};

struct CommandInfo
{
    qint32 command;
    const char* name;
};

constexpr CommandInfo kCommands[] = {
    {0, "Program options"}, {1, "Blank check"}, {2, "Verify by compare"}, {3, "Erase"},
    {4, "Program"},         {5, "Read"},        {6, "Secure"},            {7, "Verify by sum"},
    {8, "Test"},            {9, "Verify"},      {CustomCommand, "Custom action"},
    {15, "Verify with encryption"},
};

void AddChecks(RunSteps& steps, const RunOptions& o)
{
    if (o.continuity)
        steps.Add(RunStep::Continuity, 1);
    if (o.idCheck)
        steps.Add(RunStep::IdCheck, 2);
}

void AddVerifies(RunSteps& steps, int passes)
{
    if (passes >= 1)
        steps.Add(RunStep::Verify, 8);
    if (passes >= 2)
        steps.Add(RunStep::Verify, 7);
}

void AddTests(RunSteps& steps, int passes)
{
    if (passes >= 1)
        steps.Add(RunStep::Test, 12);
    if (passes >= 2)
        steps.Add(RunStep::Test, 11);
}

// Secure with its tests after it, or the tests with securing after them
// (secure after verify), as the options ask.
void AddSecurity(RunSteps& steps, const RunOptions& o)
{
    if (o.secureMode && o.secureWithTest > 0) {
        steps.Add(RunStep::Secure, 9);
        AddTests(steps, o.secureWithTest);
        return;
    }
    AddTests(steps, o.testMode);
    if (o.secureMode || o.secureAfterVerify != 0)
        steps.Add(RunStep::Secure, 9);
}

} // namespace

QString CommandName(qint32 command)
{
    for (const CommandInfo& c : kCommands) {
        if (c.command == command)
            return QString::fromLatin1(c.name);
    }
    return {};
}

RunSteps For(qint32 command, const RunOptions& o)
{
    RunSteps steps;
    if (command != CustomCommand)
        AddChecks(steps, o);
    switch (command) {
    case 0:
    case 4:
        if (o.erase)
            steps.Add(RunStep::Erase, 4);
        if (o.blankCheck)
            steps.Add(RunStep::BlankCheck, 3);
        if (command == 4)
            steps.Add(RunStep::Program, 5);
        AddVerifies(steps, o.verifyMode);
        AddSecurity(steps, o);
        break;
    case 1:
        if (o.illegalBit)
            steps.Add(RunStep::IllegalBit, 3);
        else
            steps.Add(RunStep::BlankCheck, 3);
        break;
    case 2:
        steps.Add(RunStep::Verify, 14);
        break;
    case 3:
        steps.Add(RunStep::Erase, 4);
        if (o.blankCheck)
            steps.Add(RunStep::BlankCheck, 3);
        break;
    case 5:
        steps.Add(RunStep::Read, 24);
        break;
    case 6:
        steps.Add(RunStep::Secure, 9);
        AddTests(steps, o.secureWithTest);
        break;
    case 7:
        steps.Add(RunStep::Verify, 15);
        break;
    case 8:
        AddTests(steps, qMax(1, o.testMode));
        break;
    case 9:
        AddVerifies(steps, qMax(1, o.verifyMode));
        break;
    case 15:
        steps.Add(RunStep::Verify, 8);
        break;
    default:
        break;
    }
    return steps;
}

QString StepName(RunStep::Kind kind)
{
    for (const StepInfo& s : kSteps) {
        if (s.kind == kind)
            return QString::fromLatin1(s.name);
    }
    return {};
}

bool StepFromName(const QString& name, RunStep::Kind& kind)
{
    for (const StepInfo& s : kSteps) {
        if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) {
            kind = s.kind;
            return true;
        }
    }
    return false;
}

qint32 FailureCodeOf(RunStep::Kind kind)
{
    for (const StepInfo& s : kSteps) {
        if (s.kind == kind)
            return s.failureCode;
    }
    return RunResult::UnexpectedResponse;
}

} // namespace runsteps
