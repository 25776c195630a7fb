#include "OperationLists.h"

#include "engine/QXPgmrControl.h"

bool gbFlashBiosRun = false;

namespace OperationLists {

namespace {

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
        Add(row, "Continuity", 0);
        singles = 1;
        if (ManualHandler(context) && e.DeviceSupportsAutoContinuity()) {
            Add(row, "Auto Continuity", 35);
            ++singles;
        }
    }
    if (e.DeviceSupportsIdCheck()) {
        Add(row, "ID Check", 2);
        Add(row, "Auto Selection", 4);
        singles += 2;
    }
    if (e.DeviceSupportsIdCheck() && e.DeviceSupportsContinuity()) {
        Add(row, "Continuity & ID", 6);
        Add(row, "Continuity & Auto Selection", 8);
        if (ManualHandler(context) && e.DeviceSupportsAutoContinuity()) {
            Add(row, "Auto Continuity & ID", 36);
            Add(row, "Auto Continuity & Auto Selection", 37);
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
        Add(row, "Blank Check", 11);
        n = 1;
        AddIllegalBitItem(e, row);
    }
    if (e.DeviceSupportsErase()) {
        Add(row, "Erase", 10);
        ++n;
    }
    if (n == 2)
        Add(row, "Erase & Blank Check", 43);
}

void ProgramVariants(QXPgmrControl& e, const Context& context, Built& built)
{
    Row& row = built.rows[kProgramRow];
    if (e.DeviceSupportsProgram())
        Add(row, "Program", 12);
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
            Add(row, name, kProgramVariantBase + i);
            row.selected = int(row.entries.size()) - 1;
            built.alwaysStoreRows << kProgramRow;
            flash = false;
        } else if (name != QLatin1String("P_Check")) {
            Add(row, name, kProgramVariantBase + i);
        } else if (context.vexalMode) {
            Add(row, name, kProgramVariantBase + i);
        }
    }
}

void ProgramVerify(QXPgmrControl& e, Row& row)
{
    const bool encrypt = e.DeviceSupportsEncrypt();
    if (e.VerifySupport() > 0) {
        if (e.DeviceSupportsVerifyTwice()) {
            Add(row, "Verify Once", 13);
            Add(row, "Verify Twice", 15);
            if (encrypt) {
                Add(row, "Verify Once & Encrypt", 4109);
                Add(row, "Verify Twice & Encrypt", 4111);
            }
            if (e.DeviceSupportsTestVectors()) {
                Add(row, "Verify Once & Test Once", 19);
                Add(row, "Verify Once & Test Twice", 20);
                Add(row, "Verify Twice & Test Once", 21);
                Add(row, "Verify Twice & Test Twice", 22);
            }
        } else {
            Add(row, "Verify", 13);
            if (encrypt)
                Add(row, "Verify & Encrypt", 4109);
            if (e.DeviceSupportsTestVectors()) {
                if (e.DeviceSupportsTestTwice()) {
                    Add(row, "Verify & Test Once", 17);
                    Add(row, "Verify & Test Twice", 18);
                } else {
                    Add(row, "Verify & Test", 17);
                }
            }
        }
    }
    if (encrypt)
        Add(row, "Encrypt", 4096);
}

// The secure entries: one per engine-named variant, else plain "Secure".
void AddSecureEntries(QXPgmrControl& e, Row& row)
{
    const qint32 count = e.SecureVariantCount();
    if (count == 0) {
        Add(row, "Secure", kSecureCode);
        return;
    }
    for (qint32 i = 1; i <= count; ++i)
        Add(row, SecureName(e, i), kSecureVariantBase + i);
}

// The test entries: once and twice where the device can, else one "Test".
void AddTestEntries(QXPgmrControl& e, Row& row)
{
    if (e.DeviceSupportsTestTwice()) {
        Add(row, "Test Once", 24);
        Add(row, "Test Twice", 25);
    } else {
        Add(row, "Test", 24);
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
                Add(row, SecureName(e, i) + QStringLiteral(" & Test Once"), 512 + i);
            for (qint32 i = 1; i <= count; ++i)
                Add(row, SecureName(e, i) + QStringLiteral(" & Test Twice"), 768 + i);
        } else if (twice) {
            Add(row, "Secure & Test Once", 41);
            Add(row, "Secure & Test Twice", 42);
        } else if (count != 0) {
            for (qint32 i = 1; i <= count; ++i)
                Add(row, SecureName(e, i) + QStringLiteral(" & Test"), 512 + i);
        } else {
            Add(row, "Secure & Test", 41);
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
        Add(row, "Illegal Bit", 46);
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
        Add(verify, "Compare", 38);
        if (e.DeviceSupportsEncrypt())
            Add(verify, "Decrypt & Compare", 8230);
    }
    if (e.DeviceSupportsEncrypt())
        Add(verify, "Encrypt", 4096);
    if (e.ProgramTabFlag59())
        Add(verify, "Sum", 39);
    built.storeAll = context.storeOnce;

    if (e.VerifySupport() > 0) {
        if (e.DeviceSupportsVerifyTwice()) {
            Add(verify, "Verify Once", 14);
            Add(verify, "Verify Twice", 16);
            if (e.DeviceSupportsEncrypt()) {
                Add(verify, "Decrypt & Verify Once", 8206);
                Add(verify, "Decrypt & Verify Twice", 8208);
            }
        } else {
            Add(verify, "Verify", 13);
            if (e.DeviceSupportsEncrypt())
                Add(verify, "Decrypt & Verify", 8206);
        }
    }

    Row& secureTest = built.rows[kSecureTestRow];
    const qint32 vbTrue = -1;
    if (e.DeviceSupportsTestAndSecure() == vbTrue) {
        const qint32 count = e.SecureVariantCount();
        if (count == 0) {
            Add(secureTest, "Secure", 26);
        } else {
            for (qint32 i = 1; i <= count; ++i)
                Add(secureTest, SecureName(e, i), kSecureVariantBase + i);
        }
    }
    if (!e.DeviceSupportsTestVectors())
        return built;
    if (!e.DeviceSupportsTestTwice()) {
        Add(secureTest, "Test", 24);
        return built;
    }
    Add(secureTest, "Test Once", 24);
    Add(secureTest, "Test Twice", 25);
    if (e.DeviceSupportsTestAndSecure() == vbTrue) {
        Add(secureTest, "Test Once & Secure", 31);
        Add(secureTest, "Test Twice & Secure", 44);
    }
    return built;
}

Built Read(QXPgmrControl& e, const Context& context)
{
    Built built = Empty(context);
    Add(built.rows[kCheckRow], "Clear Buffer First", 32);

    // The Read tab's own device checks: no automatic continuity, and codes
    // of its own for the continuity entries.
    Row& checks = built.rows[kBlankEraseRow];
    int singles = 0;
    if (e.DeviceSupportsContinuity()) {
        Add(checks, "Continuity", 1);
        singles = 1;
    }
    if (e.DeviceSupportsIdCheck()) {
        Add(checks, "ID Check", 2);
        Add(checks, "Auto Selection", 4);
        singles += 2;
    }
    if (e.DeviceSupportsIdCheck() && e.DeviceSupportsContinuity()) {
        Add(checks, "Continuity & ID", 7);
        Add(checks, "Continuity & Auto Selection", 8);
        if (e.DeviceSupportsAutoSelection()) {
            checks.entries.removeFirst();
            --singles;
        }
        checks.selected = singles;
        if (context.storeOnce)
            built.storeRows << kBlankEraseRow;
    }

    Row& read = built.rows[kProgramRow];
    Add(read, "Read", 34);
    if (e.DeviceSupportsEncrypt())
        Add(read, "Decrypt & Read", 8226);
    return built;
}

Built BlankCheck(QXPgmrControl& e, const Context& context)
{
    Built built = Empty(context);
    DeviceChecks(e, context, built.rows[kCheckRow]);
    Add(built.rows[kProgramRow], "Blank Check", 11);
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
            Add(row, "Secure & Test Once", 41);
            Add(row, "Secure & Test Twice", 42);
        } else {
            Add(row, "Secure & Test", 41);
        }
    }
    return StoreAllOnce(built, context);
}

Built Erase(QXPgmrControl& e, const Context& context)
{
    Built built = Empty(context);
    DeviceChecks(e, context, built.rows[kCheckRow]);
    Add(built.rows[kBlankEraseRow], "Erase", 10);
    return StoreAllOnce(built, context);
}

Builder BuilderFor(qint32 action)
{
    switch (action) {
    case 1: return &Program;
    case 2: return &Verify;
    case 3: return &Read;
    case 4: return &BlankCheck;
    case 5: return &Test;
    case 6: return &Secure;
    case 7: return &Erase;
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
    switch (action) {
    case 1:
        if (has(kSecureTestRow) && e.DeviceSupportsAutoSelection())
            effects << Effect{Effect::Show, kSecureTestRow};
        if (e.DeviceFlag8())
            effects << Effect{Effect::Force, kVerifyRow};
        if (e.DeviceValue271())
            effects << Effect{Effect::Force, kBlankEraseRow};
        // Programming cannot be switched off on the Program tab.
        forceAndShow(kProgramRow);
        // A STAPL file on a STAPL device runs its blank/erase and verify
        // steps whatever the operator chooses.
        if (e.DataFileTypeCode() == 16 && e.DeviceIsVexal()
            && e.DeviceName().startsWith(QLatin1String("STAPL")))
            effects << Effect{Effect::Force, kBlankEraseRow} << Effect{Effect::Force, kVerifyRow};
        break;
    case 2:
        forceAndShow(kVerifyRow);
        if (e.DeviceIsVexal())
            effects << Effect{Effect::UncheckAndHide, kSecureTestRow};
        break;
    case 3:
    case 4: forceAndShow(kProgramRow); break;
    case 5:
    case 6: forceAndShow(kSecureTestRow); break;
    case 7: forceAndShow(kBlankEraseRow); break;
    default: break;
    }
    return effects;
}

} // namespace OperationLists
