// The option commit before a run, the engine's set-up requests (options,
// data position and bank; the special command of row 2), through the
// operation window over an engine that records its writes.

#include "RecordingEngine.h"

#include "operation/TabStrip.h"
#include "platform/AutomationError.h"

#include <QCheckBox>
#include <QComboBox>
#include <gtest/gtest.h>

namespace {

using namespace QXPgmrId;

struct Entry
{
    const char* text;
    qint32 code;
};

// A device with the Program (tab 1), Verify (2) and Read (3) actions; each
// test fills the option rows of the tab it needs by hand.
class OptionCommitTest : public OperationWindowFixture
{
protected:
    bool AttachEngine() override
    {
        engine = new RecordingEngine;
        station->AttachEngine(std::unique_ptr<IDispatchControl>(engine));
        return true;
    }

    void SetUp() override
    {
        OperationWindowFixture::SetUp();
        engine->Set(DeviceName, "PART");
        engine->Set(DeviceSupportsProgram, true);
        engine->Set(VerifySupport, qint16(1));
        engine->Set(DeviceSupportsRead, true);
        LoadAndShow();
        ASSERT_EQ(window->tabOperation->Count(), 3);
    }

    // Shows the tab with every option row emptied.
    void ShowTab(int tab)
    {
        window->SelectTab(tab);
        ASSERT_EQ(window->WhichAction(qint16(tab)), tab);
        for (int row = 0; row < window->cboOperation.size(); ++row) {
            window->cboOperation[row]->clear();
            frmProgram::SetCheckValue(window->Check1[row], 0);
        }
    }

    void FillRow(int row, const QList<Entry>& entries, int selected, qint16 check)
    {
        QComboBox* combo = window->cboOperation[row];
        combo->clear();
        for (const Entry& entry : entries)
            combo->addItem(QString::fromLatin1(entry.text), entry.code);
        combo->setCurrentIndex(selected);
        combo->setVisible(true);
        frmProgram::SetCheckValue(window->Check1[row], check);
    }

    QString Writes() { return engine->TakeWrites().join(QLatin1Char('|')); }

    RecordingEngine* engine = nullptr;
};

TEST_F(OptionCommitTest, CommitsEveryRowWithASelectionAndPacksTheCheckedTexts)
{
    ShowTab(1);
    FillRow(0, {{"Continuity", 0}, {"ID Check", 2}}, 0, 1);
    FillRow(2, {{"Erase", 10}}, 0, 0);
    FillRow(3, {{"Verify Once", 13}}, 0, 1);
    FillRow(4, {{"Secure", 23}}, 0, 2);       // greyed: runs
    FillRow(5, {{"Blank Check", 11}}, -1, 1); // nothing selected: skipped
    engine->TakeWrites();

    window->SetOperationOptions();

    EXPECT_EQ(Writes(),
              "ContinuityCheck=-1|AutoSelection=0|AutoContinuityCheck=0"
              "|BlankCheckOption=0|EraseOption=0"
              "|VerifyMode=1|TestMode=0"
              "|SecureMode=-1|SecureWithTest=0"
              // the verify row holds no encryption
              "|CombinedEncryptDecrypt(1)=0");
    QStringList texts(18);
    texts[0] = "Continuity";
    texts[1] = "Verify Once";
    texts[2] = "Secure";
    EXPECT_EQ(window->GetOperationsLog(), texts);

    // A later commit with fewer checked rows leaves no stale text behind.
    frmProgram::SetCheckValue(window->Check1[0], 0);
    window->SetOperationOptions();
    texts[0] = "Verify Once";
    texts[1] = "Secure";
    texts[2].clear();
    EXPECT_EQ(window->GetOperationsLog(), texts);
}

struct FlagCase
{
    const char* what;
    int tab;
    int row;
    Entry entry;
    qint16 check;
    const char* writes;
};

// clang-format off
const FlagCase kFlagCases[] = {
    {"encryption alone turns verify and test off", 1, 3, {"Encrypt", 4096}, 1,
     "CombinedEncryptDecrypt(1)=-1|VerifyMode=0|TestMode=0"},
    {"verify with encryption keeps it", 1, 3, {"Verify Once & Encrypt", 4109}, 1, "CombinedEncryptDecrypt(1)=-1"},
    {"an unchecked encrypting verify row", 1, 3, {"Verify Once & Encrypt", 4109}, 0, "CombinedEncryptDecrypt(1)=0"},
    {"plain verify clears encryption", 1, 3, {"Verify Once", 13}, 1, "VerifyMode=1|TestMode=0|CombinedEncryptDecrypt(1)=0"},
    {"an unchecked plain verify row is no correction", 1, 3, {"Verify Once", 13}, 0, "VerifyMode=0|TestMode=0"},
    {"plain read clears decryption", 3, 2, {"Read", 34}, 2, "CombinedEncryptDecrypt(2)=0"},
    {"read with decryption", 3, 2, {"Decrypt & Read", 8226}, 2, "CombinedEncryptDecrypt(2)=1"},
    {"verify tab: decrypting verify unchecked", 2, 3, {"Decrypt & Verify Once", 8206}, 0, "CombinedEncryptDecrypt(2)=0"},
    {"verify tab: plain verify clears decryption", 2, 3, {"Verify Once", 14}, 2,
     "VerifyMode=1|CombinedEncryptDecrypt(2)=0"},
    {"secure variant, checked", 1, 4, {"Secure(A)", 0x102}, 1,
     "SecureSpecialOption=2|SecureAfterVerify=2|SecureMode=-1|SecureWithTest=0"
     "|SecureSpecialOption=2|SecureAfterVerify=2|SecureMode=-1|SecureWithTest=0"},
    {"secure variant, unchecked: chosen, then written off", 1, 4, {"Secure(A)", 0x102}, 0,
     "SecureSpecialOption=2|SecureAfterVerify=2|SecureMode=-1|SecureWithTest=0"
     "|SecureSpecialOption=0|SecureAfterVerify=0|SecureMode=0|SecureWithTest=0"},
    {"secure variant and test once, unchecked", 1, 4, {"Secure(C) & Test Once", 0x203}, 0,
     "SecureSpecialOption=3|SecureMode=-1|SecureWithTest=1"
     "|SecureAfterVerify=0|SecureSpecialOption=0|SecureMode=0|SecureWithTest=0"},
    {"secure variant and test twice", 1, 4, {"Secure(B) & Test Twice", 0x302}, 1,
     "SecureSpecialOption=2|SecureMode=-1|SecureWithTest=2|SecureSpecialOption=2|SecureMode=-1|SecureWithTest=2"},
};
// clang-format on

TEST_F(OptionCommitTest, FlaggedAndVariantCodesAndTheTabCorrections)
{
    for (const FlagCase& c : kFlagCases) {
        SCOPED_TRACE(c.what);
        ShowTab(c.tab);
        FillRow(c.row, {c.entry}, 0, c.check);
        engine->TakeWrites();
        window->SetOperationOptions();
        EXPECT_EQ(Writes(), QString::fromLatin1(c.writes));
    }
}

struct SetupCase
{
    const char* what;
    qint32 banks;
    qint32 width;
    qint32 setMode;
    bool setsAndBanks;
    int position; // list index shown, -1 none
    int bank;
    qint32 expectedPosition;
    qint32 expectedBank;
};

const SetupCase kSetupCases[] = {
    {"single mode, nothing selected", 1, 4, 0, true, -1, -1, 0, 0},
    {"single mode, the window's choice", 3, 4, 0, true, 2, 1, 2, 1},
    {"two banks of width one", 2, 1, 0, true, 1, 1, 1, 1},
    {"sets mode", 3, 4, 1, true, 2, 1, 0, 0},
    {"a device without sets and banks", 3, 4, 0, false, 2, 1, 0, 0},
    {"one set of one bank", 1, 1, 0, true, 2, 1, 0, 0},
};

TEST_F(OptionCommitTest, SetupCommitsTheOptionsThenPositionAndBank)
{
    ShowTab(1);
    FillRow(2, {{"Erase", 10}}, 0, 1);
    for (QComboBox* list : {window->cboDatPos, window->cboBankNum}) {
        list->clear();
        list->addItems({"0", "1", "2", "3"});
    }
    for (const SetupCase& c : kSetupCases) {
        SCOPED_TRACE(c.what);
        engine->Set(BankCount, c.banks);
        engine->Set(SetWidth, c.width);
        engine->Set(SetMode, c.setMode);
        engine->Set(DeviceSupportsSetsAndBanks, c.setsAndBanks);
        window->cboDatPos->setCurrentIndex(c.position);
        window->cboBankNum->setCurrentIndex(c.bank);
        engine->TakeWrites();

        window->SetupOperation();

        EXPECT_EQ(Writes(),
                  QStringLiteral("BlankCheckOption=0|EraseOption=-1|CurrentDataPosition=%1|CurrentBank=%2")
                      .arg(c.expectedPosition)
                      .arg(c.expectedBank));
    }
}

struct SpecialCase
{
    const char* what;
    qint32 handlerType;
    bool concurrent;
    bool visible;
    bool enabled;
    Entry entry;
    int selected;
    qint32 variantCount;
    qint32 command;
    bool isSpecial;
    bool outOfRange;
    const char* writes;
};

const char* const kChecksumRun = "ShowErrorMessages=0|ExecuteDeviceCommand(-1,-1,-1)|ShowErrorMessages=-1";

// clang-format off
const SpecialCase kSpecialCases[] = {
    {"handler: the checksum variant runs here", 1, false, true, true, {"vexal_ChkSum", 1026}, 0, 3, 2, true, false,
     kChecksumRun},
    {"handler: the checksum variant out of range", 1, false, true, true, {"VEXAL_CHKSUM", 1027}, 0, 3, 12, false, true,
     ""},
    {"handler: the row hidden", 2, false, false, true, {"Vexal_ChkSum", 1026}, 0, 3, 12, false, false, ""},
    {"handler: another variant", 1, true, true, true, {"P_Check", 1026}, 0, 3, 12, false, false, ""},
    {"session: the plate check", 0, true, true, true, {"P_Check", 1026}, 0, 0, 0, true, false, ""},
    {"session: the plate check in other case is a variant", 0, true, true, true, {"p_check", 1025}, 0, 3, 1, true,
     false, ""},
    {"session: the plate check in a disabled list is a variant", 0, true, true, false, {"P_Check", 1026}, 0, 3, 2,
     true, false, ""},
    {"session: a variant out of range", 0, true, true, true, {"Program B", 1027}, 0, 3, 12, false, true, ""},
    {"session: nothing selected", 0, true, true, true, {"Program B", 1026}, -1, 3, 12, false, true, ""},
    {"no handler, no session", 0, false, true, true, {"P_Check", 1026}, 0, 3, 12, false, false, ""},
};
// clang-format on

TEST_F(OptionCommitTest, SpecialCommandOfRowTwo)
{
    ShowTab(1);
    engine->Set(ShowErrorMessages, true);
    for (const SpecialCase& c : kSpecialCases) {
        SCOPED_TRACE(c.what);
        data().udtHandlerType = c.handlerType;
        window->bSpecialConcurrent = c.concurrent;
        FillRow(2, {c.entry}, c.selected, 1);
        window->cboOperation[2]->setVisible(c.visible);
        window->cboOperation[2]->setEnabled(c.enabled);
        engine->Set(ExecuteVariantCount, c.variantCount);
        engine->TakeWrites();

        qint32 command = 12;
        bool isSpecial = !c.isSpecial;
        bool outOfRange = false;
        window->SetupSpecialCmd(command, isSpecial, outOfRange);

        EXPECT_EQ(command, c.command);
        EXPECT_EQ(isSpecial, c.isSpecial);
        EXPECT_EQ(outOfRange, c.outOfRange);
        EXPECT_EQ(Writes(), QString::fromLatin1(c.writes));
    }
}

TEST_F(OptionCommitTest, FailedChecksumCommandStillRestoresTheMessageSetting)
{
    ShowTab(1);
    data().udtHandlerType = 1;
    FillRow(2, {{"Vexal_ChkSum", 1026}}, 0, 1);
    engine->Set(ExecuteVariantCount, 3);
    engine->Set(ShowErrorMessages, true);
    engine->failing.insert(ExecuteDeviceCommand);
    engine->TakeWrites();

    qint32 command = 12;
    bool isSpecial = false;
    bool outOfRange = false;
    EXPECT_THROW(window->SetupSpecialCmd(command, isSpecial, outOfRange), AutomationError);

    EXPECT_EQ(Writes(), QString::fromLatin1(kChecksumRun));
    EXPECT_TRUE(main->QXProgrammer.ShowErrorMessages());
    EXPECT_EQ(command, 12);
    EXPECT_FALSE(isSpecial);
}

} // namespace
