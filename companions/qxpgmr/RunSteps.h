#pragma once

// The steps the simulated engine runs on a device for one engine command,
// chosen from the options the station committed before the run (the engine's
// option properties). Each step reports its own progress code, the code the
// station's progress table maps to the option row and the step of the
// selected entry, so that each step moves its own bar:
//
//   step        progress code   failure code when it fails
//   continuity   1              14
//   id           2              23  (ID check or auto selection)
//   erase        4              22
//   blank        3              26  (blank check, or the illegal-bit check: 37)
//   program      5              21
//   verify       8, second 7    28  (compare 14, sum 15, with encryption 8)
//   test        12, second 11   38
//   secure       9              27
//   read        24              81
//   custom      24              81  (one per armed procedure)
//
// Commands (ExecuteDeviceCommand):
//   0  the program tab without programming: checks, erase and blank
//      options, verify passes, then secure and test options
//   1  blank check (or illegal-bit check)     2  verify by compare
//   3  erase (then blank check when on)       4  program, with every option
//   5  read                                    6  secure (with its tests)
//   7  verify by sum                           8  test (once or twice)
//   9  verify (once or twice)                 14  the armed custom action
//  15  verify with encryption
// The device checks (continuity, ID) come first for every command but 14.

#include <QString>
#include <QtGlobal>
#include <array>

struct RunOptions
{
    bool continuity = false;
    bool idCheck = false;
    bool erase = false;
    bool blankCheck = false;
    bool illegalBit = false; // the blank-check command runs the illegal-bit check
    int verifyMode = 0;     // 0, 1 or 2 passes
    int testMode = 0;       // 0, 1 or 2 passes
    bool secureMode = false;
    int secureWithTest = 0; // tests after securing
    qint32 secureAfterVerify = 0;
};

struct RunStep
{
    enum Kind { Continuity, IdCheck, Erase, BlankCheck, IllegalBit, Program, Verify, Test, Secure, Read, Custom };
    Kind kind = Program;
    qint32 progressCode = 0;
};

// A fixed-size list, so that a run allocates nothing per device.
class RunSteps
{
public:
    static constexpr int kMax = 24;
    void Add(RunStep::Kind kind, qint32 code)
    {
        if (m_count < kMax)
            m_steps[m_count++] = RunStep{kind, code};
    }
    int Count() const { return m_count; }
    const RunStep& At(int i) const { return m_steps[size_t(i)]; }
    const RunStep* begin() const { return m_steps.data(); }
    const RunStep* end() const { return m_steps.data() + m_count; }

private:
    std::array<RunStep, kMax> m_steps{};
    int m_count = 0;
};

namespace runsteps {
constexpr qint32 CustomCommand = 14;

// The command's name in status lines; "" for a command the engine has not.
QString CommandName(qint32 command);
// The steps of a command; a custom action adds its procedures itself.
RunSteps For(qint32 command, const RunOptions& options);
// The step's name as the fault plan writes it ("verify"); Kind from a name,
// False when there is none of that name.
QString StepName(RunStep::Kind kind);
bool StepFromName(const QString& name, RunStep::Kind& kind);
// The failure code a failing step reports.
qint32 FailureCodeOf(RunStep::Kind kind);
} // namespace runsteps
