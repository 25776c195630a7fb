#include "OperationLists.h"

#include "ActionTabs.h"

#include "engine/EngineCodes.h"
#include "engine/QXPgmrControl.h"
#include "platform/EngineCall.h"

bool gbFlashBiosRun = false;

namespace OperationLists {

namespace {

namespace op = OperationCode;

// The rows each tab's lists use.
constexpr int kCheckRow = 0;
constexpr int kBlankEraseRow = 1;
constexpr int kProgramRow = 2;
constexpr int kVerifyRow = 3;
constexpr int kSecureTestRow = 4;

Built Empty(const Context& context)
{
    Built built;
    built.rows.resize(qMax(context.rowCount, kSecureTestRow + 1));
    return built;
}

void Add(Row& row, const char* text, qint32 code)
{
    row.entries.append(Entry{QString::fromLatin1(text), code});
}

void Add(Row& row, const QString& text, qint32 code)
{
    row.entries.append(Entry{text, code});
}

bool ManualHandler(const Context& context)
{
    return context.handlerType != 1 && context.handlerType != 2;
}

// Row 0 of the Program, Verify, Blank, Test, Secure and Erase tabs: the
// device checks before the step, with "Continuity & ID" as the default
// whenever both checks exist (True then).
bool DeviceChecks(QXPgmrControl& e, const Context& context, Row& row)
{
    int singles = 0;
    if (e.DeviceSupportsContinuity()) {
        Add(row, "Continuity", op::Continuity);
        singles = 1;
        if (ManualHandler(context) && e.DeviceSupportsAutoContinuity()) {
            Add(row, "Auto Continuity", op::AutoContinuity);
            ++singles;
        }
    }
    if (e.DeviceSupportsIdCheck()) {
        Add(row, "ID Check", op::IdCheck);
        Add(row, "Auto Selection", op::AutoSelection);
        singles += 2;
    }
    if (e.DeviceSupportsIdCheck() && e.DeviceSupportsContinuity()) {
        Add(row, "Continuity & ID", op::ContAndId);
        Add(row, "Continuity & Auto Selection", op::ContAndAutoSelection);
        if (ManualHandler(context) && e.DeviceSupportsAutoContinuity()) {
            Add(row, "Auto Continuity & ID", op::AutoContinuityAndId);
            Add(row, "Auto Continuity & Auto Selection", op::AutoContinuityAndAutoSelection);
        }
        // A device that selects itself needs no plain continuity step.
        if (e.DeviceSupportsAutoSelection()) {
            row.entries.removeFirst();
            --singles;
        }
        row.selected = singles;
        return true;
    }
    return false;
}

QString SecureName(QXPgmrControl& e, qint32 i)
{
    return QStringLiteral("Secure(") + e.SecureVariantNameAt(i) + QLatin1Char(')');
}

// Row 1 of the Program tab: blank check and erase.
void BlankEraseList(QXPgmrControl& e, const Context& context, Row& row)
{
    int n = 0;
    if (e.DeviceSupportsBlankCheck() || (context.vexalMode && e.BlankCheckOption())) {
        Add(row, "Blank Check", op::BlankCheck);
        n = 1;
        AddIllegalBitItem(e, row);
    }
    if (e.DeviceSupportsErase()) {
        Add(row, "Erase", op::Erase);
        ++n;
    }
    if (n == 2)
        Add(row, "Erase & Blank Check", op::EraseAndBlankCheck);
}

void ProgramVariants(QXPgmrControl& e, const Context& context, Built& built)
{
    Row& row = built.rows[kProgramRow];
    if (e.DeviceSupportsProgram())
        Add(row, "Program", op::Program);
    const qint32 count = e.ExecuteVariantCount();
    if (count == 0)
        return;
    bool flash = context.flashBiosRun;
    for (qint32 i = 0; i < count; ++i) {
        // A test-first station offers only its first variant, unless the
        // BIOS flash runs.
        if (!(!e.TestOnlyStation() || flash || i == 0))
            continue;
        const QString name = e.ExecuteVariantNameAt(i);
        if (name.isEmpty())
            continue;
        if (name == QLatin1String("Flash") && flash) {
            // The BIOS flash runs this variant: it is selected and stored,
            // so that it is the one restored whatever follows it.
            Add(row, name, op::ProgramVariantBase + i);
            row.selected = int(row.entries.size()) - 1;
            built.alwaysStoreRows << kProgramRow;
            flash = false;
        } else if (name != QLatin1String("P_Check")) {
            Add(row, name, op::ProgramVariantBase + i);
        } else if (context.vexalMode) {
            Add(row, name, op::ProgramVariantBase + i);
        }
    }
}

void ProgramVerify(QXPgmrControl& e, Row& row)
{
    const bool encrypt = e.DeviceSupportsEncrypt();
    if (e.VerifySupport() > 0) {
        if (e.DeviceSupportsVerifyTwice()) {
            Add(row, "Verify Once", op::VerifyOnce);
            Add(row, "Verify Twice", op::VerifyTwice);
            if (encrypt) {
                Add(row, "Verify Once & Encrypt", op::VerifyOnce + op::EncryptFlag);
                Add(row, "Verify Twice & Encrypt", op::VerifyTwice + op::EncryptFlag);
            }
            if (e.DeviceSupportsTestVectors()) {
                Add(row, "Verify Once & Test Once", op::VfyOnceTestOnce);
                Add(row, "Verify Once & Test Twice", op::VfyOnceTestTwice);
                Add(row, "Verify Twice & Test Once", op::VfyTwiceTestOnce);
                Add(row, "Verify Twice & Test Twice", op::VfyTwiceTestTwice);
            }
        } else {
            Add(row, "Verify", op::VerifyOnce);
            if (encrypt)
                Add(row, "Verify & Encrypt", op::VerifyOnce + op::EncryptFlag);
            if (e.DeviceSupportsTestVectors()) {
                if (e.DeviceSupportsTestTwice()) {
                    Add(row, "Verify & Test Once", op::VfyTestOnce);
                    Add(row, "Verify & Test Twice", op::VfyTestTwice);
                } else {
                    Add(row, "Verify & Test", op::VfyTestOnce);
                }
            }
        }
    }
    if (encrypt)
        Add(row, "Encrypt", op::EncryptFlag);
}

// The secure entries: one per engine-named variant, else plain "Secure".
void AddSecureEntries(QXPgmrControl& e, Row& row)
{
    const qint32 count = e.SecureVariantCount();
    if (count == 0) {
        Add(row, "Secure", op::Secure);
        return;
    }
    for (qint32 i = 1; i <= count; ++i)
        Add(row, SecureName(e, i), op::SecureVariantBase + i);
}

// The test entries: once and twice where the device can, else one "Test".
void AddTestEntries(QXPgmrControl& e, Row& row)
{
    if (e.DeviceSupportsTestTwice()) {
        Add(row, "Test Once", op::TestOnce);
        Add(row, "Test Twice", op::TestTwice);
    } else {
        Add(row, "Test", op::TestOnce);
    }
}

void ProgramSecureAndTest(QXPgmrControl& e, Row& row)
{
    // Securing.
    if (e.DeviceSupportsSecure())
        AddSecureEntries(e, row);
    // Testing alone, on a device that cannot be read back.
    if (!e.DeviceSupportsRead() && e.DeviceSupportsTestVectors())
        AddTestEntries(e, row);
    // Securing with testing.
    if (e.DeviceSupportsSecure() && e.DeviceSupportsTestVectors()) {
        const bool twice = e.DeviceSupportsTestTwice();
        const qint32 count = e.SecureVariantCount();
        if (twice && count != 0) {
            for (qint32 i = 1; i <= count; ++i)
                Add(row, SecureName(e, i) + QStringLiteral(" & Test Once"), op::SecureVariantTestOnceBase + i);
            for (qint32 i = 1; i <= count; ++i)
                Add(row, SecureName(e, i) + QStringLiteral(" & Test Twice"), op::SecureVariantTestTwiceBase + i);
        } else if (twice) {
            Add(row, "Secure & Test Once", op::SecureTestOnce);
            Add(row, "Secure & Test Twice", op::SecureTestTwice);
        } else if (count != 0) {
            for (qint32 i = 1; i <= count; ++i)
                Add(row, SecureName(e, i) + QStringLiteral(" & Test"), op::SecureVariantTestOnceBase + i);
        } else {
            Add(row, "Secure & Test", op::SecureTestOnce);
        }
    }
}

// The end of the Blank, Test, Secure and Erase builders.
Built StoreAllOnce(Built built, const Context& context)
{
    built.storeAll = context.storeOnce;
    return built;
}

} // namespace

void AddIllegalBitItem(QXPgmrControl& engine, Row& row)
{
    if (engine.DeviceSupportsIllegalBitCheck() != 0)
        Add(row, "Illegal Bit", op::IllegalBit);
}

Built Program(QXPgmrControl& e, const Context& context)
{
    Built built = Empty(context);
    if (DeviceChecks(e, context, built.rows[kCheckRow]) && context.storeOnce)
        built.storeRows << kCheckRow;
    BlankEraseList(e, context, built.rows[kBlankEraseRow]);
    ProgramVariants(e, context, built);
    ProgramVerify(e, built.rows[kVerifyRow]);
    ProgramSecureAndTest(e, built.rows[kSecureTestRow]);
    return built;
}

Built Verify(QXPgmrControl& e, const Context& context)
{
    Built built = Empty(context);
    DeviceChecks(e, context, built.rows[kCheckRow]);

    Row& verify = built.rows[kVerifyRow];
    if (e.EncryptCompareKind()) {
        Add(verify, "Compare", op::VerifyByCompare);
        if (e.DeviceSupportsEncrypt())
            Add(verify, "Decrypt & Compare", op::VerifyByCompare + op::DecryptFlag);
    }
    if (e.DeviceSupportsEncrypt())
        Add(verify, "Encrypt", op::EncryptFlag);
    if (e.ProgramTabFlag59())
        Add(verify, "Sum", op::VerifyBySum);
    built.storeAll = context.storeOnce;

    if (e.VerifySupport() > 0) {
        if (e.DeviceSupportsVerifyTwice()) {
            Add(verify, "Verify Once", op::VerifyOnceInVerifyTab);
            Add(verify, "Verify Twice", op::VerifyTwiceInVerifyTab);
            if (e.DeviceSupportsEncrypt()) {
                Add(verify, "Decrypt & Verify Once", op::VerifyOnceInVerifyTab + op::DecryptFlag);
                Add(verify, "Decrypt & Verify Twice", op::VerifyTwiceInVerifyTab + op::DecryptFlag);
            }
        } else {
            Add(verify, "Verify", op::VerifyOnce);
            if (e.DeviceSupportsEncrypt())
                Add(verify, "Decrypt & Verify", op::VerifyOnceInVerifyTab + op::DecryptFlag);
        }
    }

    Row& secureTest = built.rows[kSecureTestRow];
    const qint32 vbTrue = -1;
    if (e.DeviceSupportsTestAndSecure() == vbTrue) {
        const qint32 count = e.SecureVariantCount();
        if (count == 0) {
            Add(secureTest, "Secure", op::SecureAfterVerify);
        } else {
            for (qint32 i = 1; i <= count; ++i)
                Add(secureTest, SecureName(e, i), op::SecureVariantBase + i);
        }
    }
    if (!e.DeviceSupportsTestVectors())
        return built;
    if (!e.DeviceSupportsTestTwice()) {
        Add(secureTest, "Test", op::TestOnce);
        return built;
    }
    Add(secureTest, "Test Once", op::TestOnce);
    Add(secureTest, "Test Twice", op::TestTwice);
    if (e.DeviceSupportsTestAndSecure() == vbTrue) {
        Add(secureTest, "Test Once & Secure", op::TestOnceSecureAfterVerify);
        Add(secureTest, "Test Twice & Secure", op::TestTwiceSecureAfterVerify);
    }
    return built;
}

Built Read(QXPgmrControl& e, const Context& context)
{
    Built built = Empty(context);
    Add(built.rows[kCheckRow], "Clear Buffer First", op::ClearBuffer00);

    // The Read tab's own device checks: no automatic continuity, and codes
    // of its own for the continuity entries.
    Row& checks = built.rows[kBlankEraseRow];
    int singles = 0;
    if (e.DeviceSupportsContinuity()) {
        Add(checks, "Continuity", op::ContinuityInReadTab);
        singles = 1;
    }
    if (e.DeviceSupportsIdCheck()) {
        Add(checks, "ID Check", op::IdCheck);
        Add(checks, "Auto Selection", op::AutoSelection);
        singles += 2;
    }
    if (e.DeviceSupportsIdCheck() && e.DeviceSupportsContinuity()) {
        Add(checks, "Continuity & ID", op::ContAndIdInReadTab);
        Add(checks, "Continuity & Auto Selection", op::ContAndAutoSelection);
        if (e.DeviceSupportsAutoSelection()) {
            checks.entries.removeFirst();
            --singles;
        }
        checks.selected = singles;
        if (context.storeOnce)
            built.storeRows << kBlankEraseRow;
    }

    Row& read = built.rows[kProgramRow];
    Add(read, "Read", op::Read);
    if (e.DeviceSupportsEncrypt())
        Add(read, "Decrypt & Read", op::Read + op::DecryptFlag);
    return built;
}

Built BlankCheck(QXPgmrControl& e, const Context& context)
{
    Built built = Empty(context);
    DeviceChecks(e, context, built.rows[kCheckRow]);
    Add(built.rows[kProgramRow], "Blank Check", op::BlankCheck);
    AddIllegalBitItem(e, built.rows[kProgramRow]);
    return StoreAllOnce(built, context);
}

Built Test(QXPgmrControl& e, const Context& context)
{
    Built built = Empty(context);
    DeviceChecks(e, context, built.rows[kCheckRow]);
    Row& row = built.rows[kSecureTestRow];
    if (e.DeviceSupportsTestVectors())
        AddTestEntries(e, row);
    return StoreAllOnce(built, context);
}

Built Secure(QXPgmrControl& e, const Context& context)
{
    Built built = Empty(context);
    DeviceChecks(e, context, built.rows[kCheckRow]);
    Row& row = built.rows[kSecureTestRow];
    if (e.DeviceSupportsSecure())
        AddSecureEntries(e, row);
    if (e.DeviceSupportsSecure() && e.DeviceSupportsTestVectors()) {
        if (e.DeviceSupportsTestTwice()) {
            Add(row, "Secure & Test Once", op::SecureTestOnce);
            Add(row, "Secure & Test Twice", op::SecureTestTwice);
        } else {
            Add(row, "Secure & Test", op::SecureTestOnce);
        }
    }
    return StoreAllOnce(built, context);
}

Built Erase(QXPgmrControl& e, const Context& context)
{
    Built built = Empty(context);
    DeviceChecks(e, context, built.rows[kCheckRow]);
    Add(built.rows[kBlankEraseRow], "Erase", op::Erase);
    return StoreAllOnce(built, context);
}

Builder BuilderFor(qint32 action)
{
    switch (action) {
    case ActionTabs::kProgram: return &Program;
    case ActionTabs::kVerify: return &Verify;
    case ActionTabs::kRead: return &Read;
    case ActionTabs::kBlankCheck: return &BlankCheck;
    case ActionTabs::kTest: return &Test;
    case ActionTabs::kSecure: return &Secure;
    case ActionTabs::kErase: return &Erase;
    default: return nullptr;
    }
}

QList<Effect> Rules(QXPgmrControl& e, qint32 action, const QList<int>& entryCounts)
{
    const auto has = [&](int row) { return row < entryCounts.size() && entryCounts.at(row) > 0; };
    QList<Effect> effects;
    const auto forceAndShow = [&](int row) {
        if (has(row))
            effects << Effect{Effect::Force, row} << Effect{Effect::Show, row};
    };
    // Each rule reads the engine on its own: a capability the engine cannot
    // report drops that rule only, never the ones after it (the Program step
    // must stay forced).
    using enginecall::Try;
    switch (action) {
    case ActionTabs::kProgram:
        Try([&] {
            if (has(kSecureTestRow) && e.DeviceSupportsAutoSelection())
                effects << Effect{Effect::Show, kSecureTestRow};
        });
        Try([&] {
            if (e.DeviceFlag8())
                effects << Effect{Effect::Force, kVerifyRow};
        });
        Try([&] {
            if (e.DeviceValue271())
                effects << Effect{Effect::Force, kBlankEraseRow};
        });
        // Programming cannot be switched off on the Program tab.
        forceAndShow(kProgramRow);
        // A STAPL file on a STAPL device runs its blank/erase and verify
        // steps whatever the operator chooses.
        Try([&] {
            if (e.DataFileTypeCode() == FileTypes::FT_STAPL && e.DeviceIsVexal()
                && e.DeviceName().startsWith(QLatin1String("STAPL")))
                effects << Effect{Effect::Force, kBlankEraseRow} << Effect{Effect::Force, kVerifyRow};
        });
        break;
    case ActionTabs::kVerify:
        forceAndShow(kVerifyRow);
        Try([&] {
            if (e.DeviceIsVexal())
                effects << Effect{Effect::UncheckAndHide, kSecureTestRow};
        });
        break;
    case ActionTabs::kRead:
    case ActionTabs::kBlankCheck: forceAndShow(kProgramRow); break;
    case ActionTabs::kTest:
    case ActionTabs::kSecure: forceAndShow(kSecureTestRow); break;
    case ActionTabs::kErase: forceAndShow(kBlankEraseRow); break;
    default: break;
    }
    return effects;
}

} // namespace OperationLists
