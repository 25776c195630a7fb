// The option table over an engine that records its writes: what each
// operation code writes, in order, and when the engine's state counts as the
// entry's current setting.

#include "RecordingEngine.h"

#include "operation/CComboBoxData.h"

#include <gtest/gtest.h>

namespace {

using namespace QXPgmrId;

class ComboBoxDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto recording = std::make_unique<RecordingEngine>();
        engine = recording.get();
        control.Attach(std::move(recording));
    }

    QXPgmrControl control;
    RecordingEngine* engine = nullptr;
    CComboBoxData options{control};
};

TEST_F(ComboBoxDataTest, DictionaryHoldsTheThirtyEightCodesInFillOrder)
{
    const QList<qint32> expected = {0,  1,  35, 2,  4,  6,  7,  8,  36, 37, 10, 11, 46, 43, 13, 15, 14, 16, 17,
                                    18, 19, 20, 21, 22, 23, 26, 24, 25, 31, 44, 28, 41, 42, 32, 33, 27, 29, 30};
    QList<qint32> codes;
    QStringList withoutMembers;
    for (const auto& [code, name] : CComboBoxData::Dictionary()) {
        codes << code;
        if (!CComboBoxData::HasMembers(name))
            withoutMembers << name;
    }
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(withoutMembers, QStringList({"SecureTestOnceAfterVerify", "TestOnceSecure", "TestTwiceSecure"}));
}

struct CommitCase
{
    qint32 code;
    bool value;
    const char* writes;
};

// The automatic continuity check is on before every commit, so the read
// tab's continuity-and-ID entry shows that it puts it back.
const CommitCase kCommits[] = {
    {0, true, "ContinuityCheck=-1|AutoSelection=0|AutoContinuityCheck=0"},
    {1, false, "ContinuityCheck=0|AutoSelection=0"},
    {35, true, "ContinuityCheck=-1|AutoContinuityCheck=-1|AutoSelection=0"},
    {2, true, "ContinuityCheck=0|AutoSelection=0|IdCheck=-1"},
    {4, true, "ContinuityCheck=0|IdCheck=0|AutoSelection=2"},
    {4, false, "ContinuityCheck=0|IdCheck=0|AutoSelection=0"},
    {6, true, "ContinuityCheck=-1|AutoContinuityCheck=0|AutoSelection=0|IdCheck=-1"},
    {7, true, "ContinuityCheck=-1|AutoContinuityCheck=0|AutoSelection=0|IdCheck=-1|AutoContinuityCheck=-1"},
    {8, true, "ContinuityCheck=-1|AutoContinuityCheck=0|IdCheck=0|AutoSelection=2"},
    {36, true, "ContinuityCheck=-1|AutoContinuityCheck=-1|AutoSelection=0|IdCheck=-1"},
    {37, false, "ContinuityCheck=0|AutoContinuityCheck=0|IdCheck=0|AutoSelection=0"},
    {10, true, "BlankCheckOption=0|EraseOption=-1"},
    {11, true, "BlankCheckOption=-1|EraseOption=0"},
    {46, true, "SetIllegalBit(-1)|EraseOption=0"},
    {46, false, "SetIllegalBit(0)|EraseOption=0"},
    {43, true, "EraseOption=-1|BlankCheckOption=-1"},
    {13, false, "VerifyMode=0|TestMode=0"},
    {15, true, "VerifyMode=2|TestMode=0"},
    {14, false, "VerifyMode=0"},
    {16, true, "VerifyMode=2"},
    {17, true, "VerifyMode=1|TestMode=1"},
    {18, true, "VerifyMode=2|TestMode=2"},
    {19, true, "VerifyMode=1|TestMode=1"},
    {20, true, "VerifyMode=1|TestMode=2"},
    {21, true, "VerifyMode=2|TestMode=1"},
    {22, false, "VerifyMode=0|TestMode=0"},
    {23, true, "SecureMode=-1|SecureWithTest=0"},
    {26, true, "SecureAfterVerify=-1"},
    {24, true, "SecureMode=0|SecureAfterVerify=0|TestMode=1"},
    {25, false, "SecureMode=0|SecureAfterVerify=0|TestMode=0"},
    {31, true, "SecureAfterVerify=-1|TestMode=1"},
    {44, true, "SecureAfterVerify=-1|TestMode=2"},
    {28, true, "SecureAfterVerify=-1|TestMode=2"},
    {41, true, "SecureMode=-1|SecureAfterVerify=0|SecureWithTest=1"},
    {42, false, "SecureMode=0|SecureAfterVerify=0|SecureWithTest=0"},
    {32, true, "ClearBufferMode=-1"},
    {33, false, "ClearBufferMode=0"},
    // The variant families are written as chosen whatever the value says.
    {0x105, true, "SecureSpecialOption=5|SecureAfterVerify=5|SecureMode=-1|SecureWithTest=0"},
    {0x203, false, "SecureSpecialOption=3|SecureMode=-1|SecureWithTest=1"},
    {0x302, false, "SecureSpecialOption=2|SecureMode=-1|SecureWithTest=2"},
    // No option: the program step, read, the flagged codes and the three
    // names without members.
    {12, true, ""},
    {34, true, ""},
    {4109, true, ""},
    {8206, true, ""},
    {27, true, ""},
    {29, true, ""},
    {30, true, ""},
};

TEST_F(ComboBoxDataTest, CommitWritesEachCodesOptionsInOrder)
{
    for (const CommitCase& c : kCommits) {
        SCOPED_TRACE(::testing::Message() << "code " << c.code << (c.value ? " on" : " off"));
        engine->Set(AutoContinuityCheck, true);
        engine->TakeWrites();
        options.Commit(c.code, c.value);
        EXPECT_EQ(engine->TakeWrites().join(QLatin1Char('|')), QString::fromLatin1(c.writes));
    }
}

TEST_F(ComboBoxDataTest, PlainSecureVariantSecuresAfterVerifyWithTheVariantTheEngineTook)
{
    // The engine takes a variant of its own choosing.
    engine->On(SecureSpecialOption, [](InvokeKind kind, QVariantList&) {
        return kind == InvokeKind::PropertyGet ? QVariant::fromValue<qint16>(7) : QVariant();
    });
    options.SetSecureSpecial(true, 0x105);
    EXPECT_EQ(engine->TakeWrites(),
              QStringList({"SecureSpecialOption=5", "SecureAfterVerify=7", "SecureMode=-1", "SecureWithTest=0"}));
}

TEST_F(ComboBoxDataTest, SecureVariantIsCurrentOnlyForItsOwnNumberAndFamily)
{
    options.SetSecureSpecial(true, 0x105);
    EXPECT_TRUE(options.Supported(0x105));
    EXPECT_FALSE(options.Supported(0x106));
    EXPECT_FALSE(options.Supported(0x205));
    EXPECT_FALSE(options.Supported(0x305));
}

struct StateCase
{
    const char* what;
    QList<QPair<int, qint32>> state;
    qint32 code;
    bool current;
};

QList<StateCase> StateCases()
{
    return {
        {"ID check expects the engine's derived selection 1", {{IdCheck, -1}, {AutoSelection, 1}}, 2, true},
        {"ID check with the selection written", {{IdCheck, -1}, {AutoSelection, 0}}, 2, false},
        {"ID check with continuity", {{IdCheck, -1}, {AutoSelection, 1}, {ContinuityCheck, -1}}, 2, false},
        {"continuity ignores the selection without ID check", {{ContinuityCheck, -1}, {AutoSelection, 2}}, 1, true},
        {"continuity with ID check and a selection",
         {{ContinuityCheck, -1}, {AutoSelection, 2}, {DeviceSupportsIdCheck, -1}},
         1,
         false},
        {"continuity (program tab) with the automatic check",
         {{ContinuityCheck, -1}, {AutoContinuityCheck, -1}},
         0,
         false},
        {"continuity and ID with the automatic check",
         {{IdCheck, -1}, {AutoSelection, 1}, {ContinuityCheck, -1}, {AutoContinuityCheck, -1}},
         6,
         false},
        {"continuity and ID in the read tab ignores the automatic check",
         {{IdCheck, -1}, {AutoSelection, 1}, {ContinuityCheck, -1}, {AutoContinuityCheck, -1}},
         7,
         true},
        {"continuity and auto selection expects the ID check on",
         {{IdCheck, -1}, {AutoSelection, 2}, {ContinuityCheck, -1}},
         8,
         true},
        {"erase with blank check on a device without blank check",
         {{EraseOption, -1}, {BlankCheckOption, -1}},
         10,
         true},
        {"erase with blank check on a device with it",
         {{EraseOption, -1}, {BlankCheckOption, -1}, {DeviceSupportsBlankCheck, -1}},
         10,
         false},
        {"illegal bit as the engine reports it", {{DeviceSupportsIllegalBitAlt, -1}}, 46, true},
        {"verify once ignores the test without test vectors", {{VerifyMode, 1}, {TestMode, 1}}, 13, true},
        {"verify once with a test on a device with test vectors",
         {{VerifyMode, 1}, {TestMode, 1}, {DeviceSupportsTestVectors, -1}},
         13,
         false},
        {"test once with secure after verify, test and secure -1",
         {{TestMode, 1}, {SecureAfterVerify, -1}, {DeviceSupportsTestAndSecure, -1}},
         24,
         false},
        {"test once with secure after verify, test and secure 1",
         {{TestMode, 1}, {SecureAfterVerify, -1}, {DeviceSupportsTestAndSecure, 1}},
         24,
         true},
        {"test twice while securing on a secure device",
         {{TestMode, 2}, {SecureMode, -1}, {DeviceSupportsSecure, -1}},
         25,
         false},
        {"secure after verify is any non-zero value", {{SecureAfterVerify, 3}}, 26, true},
        {"test once secure after verify needs -1", {{SecureAfterVerify, 1}, {TestMode, 1}}, 31, false},
        {"both clear-buffer entries", {{ClearBufferMode, -1}}, 33, true},
        {"variant: another secure-after-verify value with VerifySupport -1",
         {{SecureSpecialOption, 5}, {SecureMode, -1}, {SecureAfterVerify, 2}, {VerifySupport, -1}},
         0x105,
         false},
        {"variant: the same with VerifySupport 1",
         {{SecureSpecialOption, 5}, {SecureMode, -1}, {SecureAfterVerify, 2}, {VerifySupport, 1}},
         0x105,
         true},
        {"variant and test once",
         {{SecureSpecialOption, 5}, {SecureMode, -1}, {SecureWithTest, 1}, {VerifySupport, -1}},
         0x205,
         true},
        {"variant and test twice, all bits from 8 up",
         {{SecureSpecialOption, 255}, {SecureMode, -1}, {SecureWithTest, 2}},
         0x3FF,
         true},
    };
}

TEST_F(ComboBoxDataTest, SupportedReadsTheEnginesCurrentState)
{
    for (const StateCase& c : StateCases()) {
        SCOPED_TRACE(c.what);
        auto fresh = std::make_unique<RecordingEngine>();
        for (const auto& [dispid, value] : c.state) {
            if (dispid == SecureSpecialOption || dispid == VerifySupport)
                fresh->Set(dispid, qint16(value));
            else
                fresh->Set(dispid, int(value));
        }
        QXPgmrControl freshControl;
        freshControl.Attach(std::move(fresh));
        CComboBoxData freshOptions(freshControl);
        EXPECT_EQ(freshOptions.Supported(c.code), c.current);
    }
}

TEST_F(ComboBoxDataTest, CodesWithoutAnOptionAreNeverCurrent)
{
    for (int dispid : {ContinuityCheck, AutoContinuityCheck, IdCheck, BlankCheckOption, EraseOption, SecureMode,
                       ClearBufferMode, DeviceSupportsIllegalBitAlt})
        engine->Set(dispid, true);
    engine->Set(VerifyMode, 1);
    engine->Set(TestMode, 1);
    engine->Set(SecureAfterVerify, -1);
    control.CombinedEncryptDecrypt(qint16(1), qint16(-1));
    control.CombinedEncryptDecrypt(qint16(2), qint16(1));
    for (qint32 code : {12, 34, 4096, 4109, 8206, 27, 29, 30})
        EXPECT_FALSE(options.Supported(code)) << code;
}

TEST_F(ComboBoxDataTest, EncryptAndDecryptAreTheTwoIndexesOfOneProperty)
{
    options.SetCombinedEncrypt(true);
    options.SetDecrypt(true);
    EXPECT_EQ(engine->TakeWrites(), QStringList({"CombinedEncryptDecrypt(1)=-1", "CombinedEncryptDecrypt(2)=1"}));
    EXPECT_TRUE(options.SupportsCombinedEncrypt());
    EXPECT_TRUE(options.SupportsDecrypt());
    options.SetDecrypt(false);
    EXPECT_TRUE(options.SupportsCombinedEncrypt());
    EXPECT_FALSE(options.SupportsDecrypt());
}

} // namespace
