#include "CComboBoxData.h"

#include "engine/QXPgmrControl.h"

#include <iterator>

namespace {

using Setter = void (CComboBoxData::*)(bool);
using Test = bool (CComboBoxData::*)();

// The option pairs reached by name.
struct OptionMembers
{
    const char* name;
    Setter set;
    Test supports;
};

// clang-format off
#define OPTION(name) {#name, &CComboBoxData::Set##name, &CComboBoxData::Supports##name}
// clang-format on
const OptionMembers kOptionMembers[] = {
    OPTION(Continuity),
    OPTION(ContinuityInReadTab),
    OPTION(AutoContinuity),
    OPTION(IdCheck),
    OPTION(IdCheckInReadTab),
    OPTION(AutoSelection),
    OPTION(ContAndId),
    OPTION(ContAndIdInReadTab),
    OPTION(ContAndAutoSelection),
    OPTION(AutoContinuityAndId),
    OPTION(AutoContinuityAndAutoSelection),
    OPTION(Erase),
    OPTION(BlankCheck),
    OPTION(IllegalBit),
    OPTION(EraseAndBlankCheck),
    OPTION(VerifyOnce),
    OPTION(VerifyOnceInVerifyTab),
    OPTION(VerifyTwice),
    OPTION(VerifyTwiceInVerifyTab),
    OPTION(VfyTestOnce),
    OPTION(VfyTestTwice),
    OPTION(VfyOnceTestOnce),
    OPTION(VfyOnceTestTwice),
    OPTION(VfyTwiceTestOnce),
    OPTION(VfyTwiceTestTwice),
    OPTION(Secure),
    OPTION(SecureAfterVerify),
    OPTION(TestOnce),
    OPTION(TestTwice),
    OPTION(TestOnceSecureAfterVerify),
    OPTION(TestTwiceSecureAfterVerify),
    OPTION(SecureTestTwiceAfterVerify),
    OPTION(SecureTestOnce),
    OPTION(SecureTestTwice),
    OPTION(ClearBuffer00),
    OPTION(ClearBufferFF),
    OPTION(CombinedEncrypt),
    OPTION(Decrypt),
};
#undef OPTION

struct CodeName
{
    qint32 code;
    const char* name;
};

// Operation code -> option name, in the order the dictionary is filled.
// SecureTestOnceAfterVerify, TestOnceSecure and TestTwiceSecure have names
// but no members: no list offers them, and they stay unsupported.
const CodeName kDictionary[] = {
    {0, "Continuity"},
    {1, "ContinuityInReadTab"},
    {35, "AutoContinuity"},
    {2, "IdCheck"},
    {4, "AutoSelection"},
    {6, "ContAndId"},
    {7, "ContAndIdInReadTab"},
    {8, "ContAndAutoSelection"},
    {36, "AutoContinuityAndId"},
    {37, "AutoContinuityAndAutoSelection"},
    {10, "Erase"},
    {11, "BlankCheck"},
    {46, "IllegalBit"},
    {43, "EraseAndBlankCheck"},
    {13, "VerifyOnce"},
    {15, "VerifyTwice"},
    {14, "VerifyOnceInVerifyTab"},
    {16, "VerifyTwiceInVerifyTab"},
    {17, "VfyTestOnce"},
    {18, "VfyTestTwice"},
    {19, "VfyOnceTestOnce"},
    {20, "VfyOnceTestTwice"},
    {21, "VfyTwiceTestOnce"},
    {22, "VfyTwiceTestTwice"},
    {23, "Secure"},
    {26, "SecureAfterVerify"},
    {24, "TestOnce"},
    {25, "TestTwice"},
    {31, "TestOnceSecureAfterVerify"},
    {44, "TestTwiceSecureAfterVerify"},
    {28, "SecureTestTwiceAfterVerify"},
    {41, "SecureTestOnce"},
    {42, "SecureTestTwice"},
    {32, "ClearBuffer00"},
    {33, "ClearBufferFF"},
    {27, "SecureTestOnceAfterVerify"},
    {29, "TestOnceSecure"},
    {30, "TestTwiceSecure"},
};
static_assert(std::size(kDictionary) == 38);

const char* NameOf(qint32 code)
{
    for (const CodeName& entry : kDictionary) {
        if (entry.code == code)
            return entry.name;
    }
    return nullptr;
}

const OptionMembers* MembersOf(const QString& name)
{
    for (const OptionMembers& option : kOptionMembers) {
        if (name == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

// The secure variant families: the code's second hexadecimal digit, the
// variant number in its low byte. The twice family is matched on all bits
// from 8 up, as the lists only ever give 768 to 1023 for it.
bool IsSecureFamily(qint32 code)
{
    return (code & 0xF00) == 0x100;
}
bool IsSecureTestOnceFamily(qint32 code)
{
    return (code & 0xF00) == 0x200;
}
bool IsSecureTestTwiceFamily(qint32 code)
{
    return (code & 0xFF00) == 0x300;
}

qint32 VariantOf(qint32 code)
{
    return code & 0xFF;
}

// "k if V": k when the option is chosen, 0 when it is not.
qint32 IfOn(bool value, qint32 k)
{
    return value ? k : 0;
}

// Boolean options written as numbers go as -1 or 0.
qint32 VbNumber(bool value)
{
    return value ? VbTrue : VbFalse;
}

constexpr qint16 kEncryptIndex = 1;
constexpr qint16 kDecryptIndex = 2;

} // namespace

CComboBoxData::CComboBoxData(QXPgmrControl& engine)
    : m_engine(engine)
{
}

QList<QPair<qint32, QString>> CComboBoxData::Dictionary()
{
    QList<QPair<qint32, QString>> entries;
    for (const CodeName& entry : kDictionary)
        entries.append({entry.code, QString::fromLatin1(entry.name)});
    return entries;
}

QString CComboBoxData::OptionName(qint32 code)
{
    const char* name = NameOf(code);
    return name ? QString::fromLatin1(name) : QString();
}

bool CComboBoxData::HasMembers(const QString& name)
{
    return MembersOf(name) != nullptr;
}

bool CComboBoxData::Supported(qint32 code)
{
    if (const char* name = NameOf(code)) {
        const OptionMembers* option = MembersOf(QString::fromLatin1(name));
        return option && (this->*option->supports)();
    }
    if (IsSecureFamily(code))
        return SupportsSecureSpecial(code);
    if (IsSecureTestOnceFamily(code))
        return SupportsSecureSpecialTestOnce(code);
    if (IsSecureTestTwiceFamily(code))
        return SupportsSecureSpecialTestTwice(code);
    return false;
}

void CComboBoxData::Commit(qint32 code, bool value)
{
    if (const char* name = NameOf(code)) {
        if (const OptionMembers* option = MembersOf(QString::fromLatin1(name)))
            (this->*option->set)(value);
        return;
    }
    // A variant entry in an option row is the chosen variant, checked or not.
    if (IsSecureFamily(code))
        SetSecureSpecial(true, code);
    if (IsSecureTestOnceFamily(code))
        SetSecureSpecialTestOnce(true, code);
    if (IsSecureTestTwiceFamily(code))
        SetSecureSpecialTestTwice(true, code);
}

// --- device checks ---

void CComboBoxData::SetContinuity(bool value)
{
    SetContinuityInReadTab(value);
    m_engine.AutoContinuityCheck(false);
}

bool CComboBoxData::SupportsContinuity()
{
    const bool inReadTab = SupportsContinuityInReadTab();
    const bool autoContinuity = m_engine.AutoContinuityCheck();
    return inReadTab && !autoContinuity;
}

void CComboBoxData::SetContinuityInReadTab(bool value)
{
    m_engine.ContinuityCheck(value);
    m_engine.AutoSelection(0);
}

bool CComboBoxData::SupportsContinuityInReadTab()
{
    const bool continuity = m_engine.ContinuityCheck();
    const qint32 autoSelection = m_engine.AutoSelection();
    const bool idCapable = m_engine.DeviceSupportsIdCheck();
    return continuity && (autoSelection == 0 || !idCapable);
}

void CComboBoxData::SetAutoContinuity(bool value)
{
    m_engine.ContinuityCheck(value);
    m_engine.AutoContinuityCheck(value);
    m_engine.AutoSelection(0);
}

bool CComboBoxData::SupportsAutoContinuity()
{
    const bool continuity = m_engine.ContinuityCheck();
    const bool autoContinuity = m_engine.AutoContinuityCheck();
    const qint32 autoSelection = m_engine.AutoSelection();
    const bool idCapable = m_engine.DeviceSupportsIdCheck();
    return continuity && autoContinuity && (autoSelection == 0 || !idCapable);
}

// The engine reports AutoSelection 1 once an ID check is on, although 0 is
// what is written.
void CComboBoxData::SetIdCheck(bool value)
{
    m_engine.ContinuityCheck(false);
    m_engine.AutoSelection(0);
    m_engine.IdCheck(value);
}

bool CComboBoxData::SupportsIdCheck()
{
    const bool idCheck = m_engine.IdCheck();
    const qint32 autoSelection = m_engine.AutoSelection();
    const bool continuity = m_engine.ContinuityCheck();
    return idCheck && autoSelection == 1 && !continuity;
}

void CComboBoxData::SetIdCheckInReadTab(bool value)
{
    SetIdCheck(value);
}

bool CComboBoxData::SupportsIdCheckInReadTab()
{
    return SupportsIdCheck();
}

void CComboBoxData::SetAutoSelection(bool value)
{
    m_engine.ContinuityCheck(false);
    m_engine.IdCheck(false);
    m_engine.AutoSelection(IfOn(value, 2));
}

bool CComboBoxData::SupportsAutoSelection()
{
    const qint32 autoSelection = m_engine.AutoSelection();
    const bool continuity = m_engine.ContinuityCheck();
    const bool continuityCapable = m_engine.DeviceSupportsContinuity();
    return autoSelection == 2 && (!continuity || !continuityCapable);
}

void CComboBoxData::SetContAndId(bool value)
{
    m_engine.ContinuityCheck(value);
    m_engine.AutoContinuityCheck(false);
    m_engine.AutoSelection(0);
    m_engine.IdCheck(value);
}

bool CComboBoxData::SupportsContAndId()
{
    const bool inReadTab = SupportsContAndIdInReadTab();
    const bool autoContinuity = m_engine.AutoContinuityCheck();
    return inReadTab && !autoContinuity;
}

// The read tab's entry leaves the automatic continuity check as it was.
void CComboBoxData::SetContAndIdInReadTab(bool value)
{
    const bool autoContinuity = m_engine.AutoContinuityCheck();
    SetContAndId(value);
    m_engine.AutoContinuityCheck(autoContinuity);
}

bool CComboBoxData::SupportsContAndIdInReadTab()
{
    const bool idCheck = m_engine.IdCheck();
    const qint32 autoSelection = m_engine.AutoSelection();
    const bool continuity = m_engine.ContinuityCheck();
    return idCheck && autoSelection == 1 && continuity;
}

// The engine reports the ID check on under auto selection, although False
// is what is written.
void CComboBoxData::SetContAndAutoSelection(bool value)
{
    m_engine.ContinuityCheck(value);
    m_engine.AutoContinuityCheck(false);
    m_engine.IdCheck(false);
    m_engine.AutoSelection(IfOn(value, 2));
}

bool CComboBoxData::SupportsContAndAutoSelection()
{
    const bool idCheck = m_engine.IdCheck();
    const qint32 autoSelection = m_engine.AutoSelection();
    const bool autoContinuity = m_engine.AutoContinuityCheck();
    const bool continuity = m_engine.ContinuityCheck();
    return idCheck && autoSelection == 2 && !autoContinuity && continuity;
}

void CComboBoxData::SetAutoContinuityAndId(bool value)
{
    m_engine.ContinuityCheck(value);
    m_engine.AutoContinuityCheck(value);
    m_engine.AutoSelection(0);
    m_engine.IdCheck(value);
}

bool CComboBoxData::SupportsAutoContinuityAndId()
{
    const bool idCheck = m_engine.IdCheck();
    const qint32 autoSelection = m_engine.AutoSelection();
    const bool autoContinuity = m_engine.AutoContinuityCheck();
    const bool continuity = m_engine.ContinuityCheck();
    return idCheck && autoSelection == 1 && autoContinuity && continuity;
}

void CComboBoxData::SetAutoContinuityAndAutoSelection(bool value)
{
    m_engine.ContinuityCheck(value);
    m_engine.AutoContinuityCheck(value);
    m_engine.IdCheck(false);
    m_engine.AutoSelection(IfOn(value, 2));
}

bool CComboBoxData::SupportsAutoContinuityAndAutoSelection()
{
    const bool continuity = m_engine.ContinuityCheck();
    const bool autoContinuity = m_engine.AutoContinuityCheck();
    const qint32 autoSelection = m_engine.AutoSelection();
    return continuity && autoContinuity && autoSelection == 2;
}

// --- erase, blank check, illegal bit ---

void CComboBoxData::SetErase(bool value)
{
    m_engine.BlankCheckOption(false);
    m_engine.EraseOption(value);
}

bool CComboBoxData::SupportsErase()
{
    const bool erase = m_engine.EraseOption();
    const bool blank = m_engine.BlankCheckOption();
    const bool blankCapable = m_engine.DeviceSupportsBlankCheck();
    return erase && (!blank || !blankCapable);
}

void CComboBoxData::SetBlankCheck(bool value)
{
    m_engine.BlankCheckOption(value);
    m_engine.EraseOption(false);
}

bool CComboBoxData::SupportsBlankCheck()
{
    const bool blank = m_engine.BlankCheckOption();
    const bool erase = m_engine.EraseOption();
    const bool eraseCapable = m_engine.DeviceSupportsErase();
    return blank && (!erase || !eraseCapable);
}

void CComboBoxData::SetIllegalBit(bool value)
{
    m_engine.SetIllegalBit(VbNumber(value));
    m_engine.EraseOption(false);
}

bool CComboBoxData::SupportsIllegalBit()
{
    const bool illegalBit = m_engine.DeviceSupportsIllegalBitAlt();
    const bool erase = m_engine.EraseOption();
    const bool eraseCapable = m_engine.DeviceSupportsErase();
    return illegalBit && (!erase || !eraseCapable);
}

void CComboBoxData::SetEraseAndBlankCheck(bool value)
{
    m_engine.EraseOption(value);
    m_engine.BlankCheckOption(value);
}

bool CComboBoxData::SupportsEraseAndBlankCheck()
{
    const bool blank = m_engine.BlankCheckOption();
    const bool erase = m_engine.EraseOption();
    return blank && erase;
}

// --- verify and verify with test ---

void CComboBoxData::SetVerifyOnce(bool value)
{
    m_engine.VerifyMode(IfOn(value, 1));
    m_engine.TestMode(0);
}

bool CComboBoxData::SupportsVerifyOnce()
{
    const qint32 verify = m_engine.VerifyMode();
    const qint32 test = m_engine.TestMode();
    const bool vectors = m_engine.DeviceSupportsTestVectors();
    return verify == 1 && (test == 0 || !vectors);
}

void CComboBoxData::SetVerifyOnceInVerifyTab(bool value)
{
    m_engine.VerifyMode(IfOn(value, 1));
}

bool CComboBoxData::SupportsVerifyOnceInVerifyTab()
{
    return m_engine.VerifyMode() == 1;
}

void CComboBoxData::SetVerifyTwice(bool value)
{
    m_engine.VerifyMode(IfOn(value, 2));
    m_engine.TestMode(0);
}

bool CComboBoxData::SupportsVerifyTwice()
{
    const qint32 verify = m_engine.VerifyMode();
    const qint32 test = m_engine.TestMode();
    const bool vectors = m_engine.DeviceSupportsTestVectors();
    return verify == 2 && (test == 0 || !vectors);
}

void CComboBoxData::SetVerifyTwiceInVerifyTab(bool value)
{
    m_engine.VerifyMode(IfOn(value, 2));
}

bool CComboBoxData::SupportsVerifyTwiceInVerifyTab()
{
    return m_engine.VerifyMode() == 2;
}

namespace {
void WriteVerifyAndTest(QXPgmrControl& engine, bool value, qint32 verify, qint32 test)
{
    engine.VerifyMode(IfOn(value, verify));
    engine.TestMode(IfOn(value, test));
}

bool ReadsVerifyAndTest(QXPgmrControl& engine, qint32 verify, qint32 test)
{
    const qint32 verifyMode = engine.VerifyMode();
    const qint32 testMode = engine.TestMode();
    return verifyMode == verify && testMode == test;
}
} // namespace

void CComboBoxData::SetVfyTestOnce(bool value)
{
    WriteVerifyAndTest(m_engine, value, 1, 1);
}
bool CComboBoxData::SupportsVfyTestOnce()
{
    return ReadsVerifyAndTest(m_engine, 1, 1);
}
void CComboBoxData::SetVfyTestTwice(bool value)
{
    WriteVerifyAndTest(m_engine, value, 2, 2);
}
bool CComboBoxData::SupportsVfyTestTwice()
{
    return ReadsVerifyAndTest(m_engine, 2, 2);
}
void CComboBoxData::SetVfyOnceTestOnce(bool value)
{
    WriteVerifyAndTest(m_engine, value, 1, 1);
}
bool CComboBoxData::SupportsVfyOnceTestOnce()
{
    return ReadsVerifyAndTest(m_engine, 1, 1);
}
void CComboBoxData::SetVfyOnceTestTwice(bool value)
{
    WriteVerifyAndTest(m_engine, value, 1, 2);
}
bool CComboBoxData::SupportsVfyOnceTestTwice()
{
    return ReadsVerifyAndTest(m_engine, 1, 2);
}
void CComboBoxData::SetVfyTwiceTestOnce(bool value)
{
    WriteVerifyAndTest(m_engine, value, 2, 1);
}
bool CComboBoxData::SupportsVfyTwiceTestOnce()
{
    return ReadsVerifyAndTest(m_engine, 2, 1);
}
void CComboBoxData::SetVfyTwiceTestTwice(bool value)
{
    WriteVerifyAndTest(m_engine, value, 2, 2);
}
bool CComboBoxData::SupportsVfyTwiceTestTwice()
{
    return ReadsVerifyAndTest(m_engine, 2, 2);
}

// --- secure and test ---

void CComboBoxData::SetSecure(bool value)
{
    m_engine.SecureMode(value);
    m_engine.SecureWithTest(0);
}

bool CComboBoxData::SupportsSecure()
{
    const bool secure = m_engine.SecureMode();
    const qint32 withTest = m_engine.SecureWithTest();
    const bool vectors = m_engine.DeviceSupportsTestVectors();
    return secure && (withTest == 0 || !vectors);
}

void CComboBoxData::SetSecureAfterVerify(bool value)
{
    m_engine.SecureAfterVerify(VbNumber(value));
}

bool CComboBoxData::SupportsSecureAfterVerify()
{
    return m_engine.SecureAfterVerify() != 0;
}

namespace {
void WriteTestOnly(QXPgmrControl& engine, bool value, qint32 test)
{
    engine.SecureMode(false);
    engine.SecureAfterVerify(0);
    engine.TestMode(IfOn(value, test));
}

// The engine answers DeviceSupportsTestAndSecure as a number: only -1 makes
// the secure-after-verify state count.
bool ReadsTestOnly(QXPgmrControl& engine, qint32 test)
{
    const qint32 testMode = engine.TestMode();
    const bool secure = engine.SecureMode();
    const bool secureCapable = engine.DeviceSupportsSecure();
    const qint32 afterVerify = engine.SecureAfterVerify();
    const qint32 testAndSecure = engine.DeviceSupportsTestAndSecure();
    return testMode == test && (!secure || !secureCapable) && (afterVerify == 0 || testAndSecure != VbTrue);
}

void WriteTestAfterVerify(QXPgmrControl& engine, bool value, qint32 test)
{
    engine.SecureAfterVerify(VbNumber(value));
    engine.TestMode(IfOn(value, test));
}

bool ReadsTestAfterVerify(QXPgmrControl& engine, qint32 test)
{
    const qint32 afterVerify = engine.SecureAfterVerify();
    const qint32 testMode = engine.TestMode();
    return afterVerify == VbTrue && testMode == test;
}

void WriteSecureWithTest(QXPgmrControl& engine, bool value, qint32 withTest)
{
    engine.SecureMode(value);
    engine.SecureAfterVerify(0);
    engine.SecureWithTest(IfOn(value, withTest));
}

bool ReadsSecureWithTest(QXPgmrControl& engine, qint32 withTest)
{
    const bool secure = engine.SecureMode();
    const qint32 afterVerify = engine.SecureAfterVerify();
    const qint32 secureWithTest = engine.SecureWithTest();
    return secure && afterVerify == 0 && secureWithTest == withTest;
}
} // namespace

void CComboBoxData::SetTestOnce(bool value)
{
    WriteTestOnly(m_engine, value, 1);
}
bool CComboBoxData::SupportsTestOnce()
{
    return ReadsTestOnly(m_engine, 1);
}
void CComboBoxData::SetTestTwice(bool value)
{
    WriteTestOnly(m_engine, value, 2);
}
bool CComboBoxData::SupportsTestTwice()
{
    return ReadsTestOnly(m_engine, 2);
}
void CComboBoxData::SetTestOnceSecureAfterVerify(bool value)
{
    WriteTestAfterVerify(m_engine, value, 1);
}
bool CComboBoxData::SupportsTestOnceSecureAfterVerify()
{
    return ReadsTestAfterVerify(m_engine, 1);
}
void CComboBoxData::SetTestTwiceSecureAfterVerify(bool value)
{
    WriteTestAfterVerify(m_engine, value, 2);
}
bool CComboBoxData::SupportsTestTwiceSecureAfterVerify()
{
    return ReadsTestAfterVerify(m_engine, 2);
}
void CComboBoxData::SetSecureTestTwiceAfterVerify(bool value)
{
    WriteTestAfterVerify(m_engine, value, 2);
}
bool CComboBoxData::SupportsSecureTestTwiceAfterVerify()
{
    return ReadsTestAfterVerify(m_engine, 2);
}
void CComboBoxData::SetSecureTestOnce(bool value)
{
    WriteSecureWithTest(m_engine, value, 1);
}
bool CComboBoxData::SupportsSecureTestOnce()
{
    return ReadsSecureWithTest(m_engine, 1);
}
void CComboBoxData::SetSecureTestTwice(bool value)
{
    WriteSecureWithTest(m_engine, value, 2);
}
bool CComboBoxData::SupportsSecureTestTwice()
{
    return ReadsSecureWithTest(m_engine, 2);
}

// --- clear buffer (both entries share the one property) ---

void CComboBoxData::SetClearBuffer00(bool value)
{
    m_engine.ClearBufferMode(value);
}
bool CComboBoxData::SupportsClearBuffer00()
{
    return m_engine.ClearBufferMode();
}
void CComboBoxData::SetClearBufferFF(bool value)
{
    m_engine.ClearBufferMode(value);
}
bool CComboBoxData::SupportsClearBufferFF()
{
    return m_engine.ClearBufferMode();
}

// --- encryption and decryption ---

void CComboBoxData::SetCombinedEncrypt(bool value)
{
    m_engine.CombinedEncryptDecrypt(kEncryptIndex, qint16(VbNumber(value)));
}

bool CComboBoxData::SupportsCombinedEncrypt()
{
    return m_engine.CombinedEncryptDecrypt(kEncryptIndex) == VbTrue;
}

void CComboBoxData::SetDecrypt(bool value)
{
    m_engine.CombinedEncryptDecrypt(kDecryptIndex, qint16(IfOn(value, 1)));
}

bool CComboBoxData::SupportsDecrypt()
{
    return m_engine.CombinedEncryptDecrypt(kDecryptIndex) == 1;
}

bool CComboBoxData::SupportsVerifyAndTestOff()
{
    return ReadsVerifyAndTest(m_engine, 0, 0);
}

// --- the engine-named secure variants ---

// The plain variant also secures after verify with the variant the engine
// took.
void CComboBoxData::SetSecureSpecial(bool value, qint32 code)
{
    m_engine.SecureSpecialOption(qint16(IfOn(value, VariantOf(code))));
    const qint16 taken = m_engine.SecureSpecialOption();
    m_engine.SecureAfterVerify(qint32(taken));
    m_engine.SecureMode(value);
    m_engine.SecureWithTest(0);
}

// The secure-after-verify state decides only on an engine that answers
// VerifySupport with -1.
bool CComboBoxData::SupportsSecureSpecial(qint32 code)
{
    const qint32 variant = VariantOf(code);
    const qint16 option = m_engine.SecureSpecialOption();
    const bool secure = m_engine.SecureMode();
    const qint32 withTest = m_engine.SecureWithTest();
    const bool vectors = m_engine.DeviceSupportsTestVectors();
    const qint32 afterVerify = m_engine.SecureAfterVerify();
    const qint16 verifySupport = m_engine.VerifySupport();
    return option == variant && secure && (withTest == 0 || !vectors)
        && (afterVerify == variant || verifySupport != VbTrue);
}

void CComboBoxData::SetSecureSpecialTestOnce(bool value, qint32 code)
{
    SetSecureSpecialWithTest(value, code, 1);
}

bool CComboBoxData::SupportsSecureSpecialTestOnce(qint32 code)
{
    return SupportsSecureSpecialWithTest(code, 1);
}

void CComboBoxData::SetSecureSpecialTestTwice(bool value, qint32 code)
{
    SetSecureSpecialWithTest(value, code, 2);
}

bool CComboBoxData::SupportsSecureSpecialTestTwice(qint32 code)
{
    return SupportsSecureSpecialWithTest(code, 2);
}

void CComboBoxData::SetSecureSpecialWithTest(bool value, qint32 code, qint32 withTest)
{
    if (!value)
        m_engine.SecureAfterVerify(0);
    m_engine.SecureSpecialOption(qint16(IfOn(value, VariantOf(code))));
    m_engine.SecureMode(value);
    m_engine.SecureWithTest(IfOn(value, withTest));
}

bool CComboBoxData::SupportsSecureSpecialWithTest(qint32 code, qint32 withTest)
{
    const qint32 variant = VariantOf(code);
    const qint16 option = m_engine.SecureSpecialOption();
    const bool secure = m_engine.SecureMode();
    const qint32 secureWithTest = m_engine.SecureWithTest();
    const qint32 afterVerify = m_engine.SecureAfterVerify();
    const qint16 verifySupport = m_engine.VerifySupport();
    return option == variant && secure && secureWithTest == withTest && (afterVerify == 0 || verifySupport != VbTrue);
}
