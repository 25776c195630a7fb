// The job configuration: its defaults on a first start, what it keeps between
// runs (also across two processes), the per-tab arrays, the factory
// configuration and the device settings kept by name in the engine.
#include "ChildRole.h"

#include "engine/H950HdlrControl.h"
#include "engine/QXPgmrControl.h"
#include "platform/AppInfo.h"
#include "platform/DispatchObject.h"
#include "operation/ActionSettings.h"
#include "platform/Registry.h"
#include "settings/ProgrammerClass.h"
#include "settings/SettingsLog.h"
#include "settings/SettingsStore.h"
#include "settings/StoredValueConversion.h"
#include "shell/StartUp.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <cstdio>
#include <functional>

namespace {

const QString kApp = QStringLiteral("Tarvo");

// The engine: stored properties, the by-name device settings sharing their
// values with the numbered ones as in the real engine, a fixed folder, and
// calls counted and refused on demand.
class FakeEngine : public DispatchObject
{
public:
    FakeEngine()
        : DispatchObject(QString::fromLatin1(QXPgmrControl::ClassName), QXPgmrControl::Members())
    {
        AnswerUndeclaredAsFake();
        for (const auto& [named, numbered] : QXPgmrNamedSettings)
            ShareValue(named, numbered);
        On(QXPgmrId::EngineDirectory, [this](InvokeKind, QVariantList&) { return QVariant(engineFolder); });
    }
    QVariant Invoke(int dispid, InvokeKind kind, QVariantList& args) override
    {
        ++calls[{dispid, int(kind)}];
        if (refused.contains(dispid))
            Fail(DISP_E_MEMBERNOTFOUND, QStringLiteral("Member not found."));
        return DispatchObject::Invoke(dispid, kind, args);
    }
    void Set(int dispid, const QVariant& value) { Store(dispid, value); }

    QSet<int> refused;
    QHash<QPair<int, int>, int> calls;
    QString engineFolder = QStringLiteral("/opt/qxengine");
};

class FakeAutoHandler : public DispatchObject
{
public:
    explicit FakeAutoHandler(qint32 family)
        : DispatchObject(QString::fromLatin1(H950HdlrControl::ClassName), H950HdlrControl::Members())
    {
        AnswerUndeclaredAsFake();
        Store(H950HdlrId::HandlerModelFamily, family);
    }
};

// Engine and handler as the main window holds them.
struct Controls
{
    explicit Controls(qint32 handlerFamily = -1)
    {
        auto e = std::make_unique<FakeEngine>();
        fake = e.get();
        engine.Attach(std::move(e));
        handler.Attach(std::make_unique<FakeAutoHandler>(handlerFamily));
    }
    std::unique_ptr<ProgrammerClass> Create() { return std::make_unique<ProgrammerClass>(&engine, &handler); }

    QXPgmrControl engine;
    H950HdlrControl handler;
    FakeEngine* fake = nullptr;
};

QString Show(bool b)
{
    return b ? QStringLiteral("True") : QStringLiteral("False");
}
QString Show(qint16 n)
{
    return QString::number(n);
}
QString Show(qint32 n)
{
    return QString::number(n);
}
QString Show(const QString& s)
{
    return s;
}
QString Show(const QDateTime& d)
{
    return d.toString(Qt::ISODate);
}

using Getter = std::function<QString(const ProgrammerClass&)>;
#define FIELD(f) #f, [](const ProgrammerClass& p) { return Show(p.f); }

// Every kept setting, a value other than its default, and how it reads back.
struct KeptSetting
{
    const char* name;
    std::function<void(ProgrammerClass&)> set;
    Getter get;
    QString expected;
};
#define KEPT(f, value, text)                                                                                   \
    {                                                                                                          \
#f, [](ProgrammerClass & p) { p.f = value; }, [](const ProgrammerClass& p) { return Show(p.f); }, text \
    }

const std::vector<KeptSetting>& KeptSettings()
{
    static const std::vector<KeptSetting> rows = {
        KEPT(strFileName, "pattern.hex", "pattern.hex"),
        KEPT(strFilePath, "/data/patterns/", "/data/patterns/"),
        KEPT(strFileDrive, "data", "data"),
        KEPT(udtHandlerType, 2, "2"),
        KEPT(bEnableMarkEditor, true, "True"),
        KEPT(lngMasterSiteID, 3, "3"),
        KEPT(udtCSumMethod, 1, "1"),
        KEPT(bClearBeforeRead, false, "False"),
        KEPT(udtCSumType, 2, "2"),
        KEPT(blnAutoFileID, false, "False"),
        KEPT(blnAutoLowAddr, false, "False"),
        KEPT(blnLoadEntireFile, false, "False"),
        KEPT(bNoviceMode, false, "False"),
        KEPT(bBeepOn, false, "False"),
        KEPT(bMemoryIntegrityCheck, true, "True"),
        KEPT(blnSaveEntireContents, false, "False"),
        KEPT(lngLowAddrSave, 16, "16"),
        KEPT(lngHighAddrSave, 0x7FFFFFFF, "2147483647"),
        KEPT(blnClearLoad, false, "False"),
        KEPT(lngLowAddrLoad, 32, "32"),
        KEPT(lngHighAddrLoad, -1, "-1"),
        KEPT(lngBufLoadAddr, 4096, "4096"),
        KEPT(lngPosSingle, 2, "2"),
        KEPT(lngBankSingle, 3, "3"),
        KEPT(udtRadix, 1, "1"),
        KEPT(bMatchChipPinAndSocket, true, "True"),
        KEPT(bStartInOperatorMode, true, "True"),
        KEPT(bDataPatternLinkedToSKFile, true, "True"),
        KEPT(strJobDir, "/jobs/sealbook", "/jobs/sealbook"),
        KEPT(bVerifyChecksum, false, "False"),
        KEPT(bRemindToVerifyChecksum, false, "False"),
        KEPT(bElapsedTime, true, "True"),
        KEPT(strOperatorPwd, "s3cret", "s3cret"),
        KEPT(strDataCaptureFileName, "cap.txt", "cap.txt"),
        KEPT(strDataCaptureJobPath, "/jobs/cap", "/jobs/cap"),
        KEPT(strDataCaptureFilePath, "/data/cap", "/data/cap"),
        KEPT(strDataCaptureReportFileName, "/data/cap/report.txt", "/data/cap/report.txt"),
        KEPT(lngDCDiffColor, 0x00FF00, "65280"),
    };
    return rows;
}

void ChangeEveryKeptSetting(ProgrammerClass& p)
{
    for (const KeptSetting& row : KeptSettings())
        row.set(p);
    p.SetTotalNumberOfTabs(12);
    p.strJobName = "/jobs/sealbook/last.qxj";
}

void ExpectEveryKeptSetting(const ProgrammerClass& p)
{
    for (const KeptSetting& row : KeptSettings())
        EXPECT_EQ(row.get(p), row.expected) << row.name;
    EXPECT_EQ(p.GetTotalNumberOfTabs(), 12);
    // The job of the last run is not reloaded by itself.
    EXPECT_EQ(p.strJobName, "");
    EXPECT_FALSE(p.bAutoLoadJob);
}

QString Stored(const QString& section, const QString& name)
{
    return ToText(GetSettingValue(kApp, section, name, QStringLiteral("<absent>")));
}
void Store(const QString& section, const QString& name, const QVariant& value)
{
    SaveSettingValue(kApp, section, name, value);
}

class ProgrammerClassTest : public TarvoTest
{
protected:
    void SetUp() override
    {
        TarvoTest::SetUp();
        appinfo::SetApplicationTitleForTests(kApp);
    }
    void TearDown() override
    {
        appinfo::SetApplicationTitleForTests(QString());
        TarvoTest::TearDown();
    }
    Controls controls;
};

TEST_F(ProgrammerClassTest, FirstStartGivesEveryDefault)
{
    auto p = controls.Create();
    const struct
    {
        const char* name;
        Getter get;
        QString expected;
    } defaults[] = {
        {FIELD(strDeviceName), ""},
        {FIELD(strDeviceSize), ""},
        {FIELD(lngDeviceSize), "0"},
        {FIELD(strDevicePackage), ""},
        {FIELD(strFileName), ""},
        {FIELD(strFilePath), "/"},
        {FIELD(strFileDrive), ""},
        {FIELD(dtmFileDate), "1899-12-30T00:00:00"},
        {FIELD(lngFileSize), "0"},
        {FIELD(strDisplayedFileName), ""},
        {FIELD(udtCSumMethod), "0"},
        {FIELD(bClearBeforeRead), "True"},
        {FIELD(udtCSumType), "1"},
        {FIELD(blnAutoFileID), "True"},
        {FIELD(bNoviceMode), "True"},
        {FIELD(blnSaveEntireContents), "True"},
        {FIELD(lngLowAddrSave), "0"},
        {FIELD(lngHighAddrSave), "0"},
        {FIELD(blnClearLoad), "True"},
        {FIELD(lngLowAddrLoad), "0"},
        {FIELD(lngHighAddrLoad), "0"},
        {FIELD(lngBufLoadAddr), "0"},
        {FIELD(blnAutoLowAddr), "True"},
        {FIELD(blnLoadEntireFile), "True"},
        {FIELD(lngPosSingle), "0"},
        {FIELD(lngBankSingle), "0"},
        {FIELD(bBeepOn), "True"},
        {FIELD(bElapsedTime), "False"},
        {FIELD(bMatchChipPinAndSocket), "False"},
        {FIELD(bMemoryIntegrityCheck), "False"},
        {FIELD(udtPgmrType), "12"},
        {FIELD(udtParallelPort), "0"},
        {FIELD(udtHandlerType), "0"},
        {FIELD(udtRadix), "0"},
        {FIELD(blnDeviceSelected), "False"},
        {FIELD(blnBufferEmpty), "True"},
        {FIELD(blnInAction), "False"},
        {FIELD(blnFileLoaded), "False"},
        {FIELD(strJobName), ""},
        {FIELD(strJobID), ""},
        {FIELD(bStartInOperatorMode), "False"},
        {FIELD(bDataPatternLinkedToSKFile), "False"},
        {FIELD(bAutoLoadJob), "False"},
        {FIELD(strJobNote), ""},
        {FIELD(strSKAutoNote), ""},
        {FIELD(strJobDir), appinfo::ProgramFolder()},
        {FIELD(strSKAutoDir), ""},
        {FIELD(lngMasterSiteID), "1"},
        {FIELD(strOperatorPwd), ""},
        {FIELD(skType), "1"},
        {FIELD(bEnableMarkEditor), "False"},
        {FIELD(bVerifyChecksum), "True"},
        {FIELD(bRemindToVerifyChecksum), "True"},
        {FIELD(strSerialNumber), ""},
        {FIELD(strDataCaptureFileName), ""},
        {FIELD(strDataCaptureJobPath), ""},
        {FIELD(strDataCaptureFilePath), ""},
        {FIELD(strDataCaptureReportFileName), "/opt/qxengine/DataCaptureReport.Txt"},
        {FIELD(lngDCDiffColor), "255"},
    };
    for (const auto& row : defaults)
        EXPECT_EQ(row.get(*p), row.expected) << row.name;

    EXPECT_EQ(p->GetTotalNumberOfTabs(), 15);
    EXPECT_EQ(p->GetMaximumNumberOfOptions(), 17);
    EXPECT_FALSE(p->GetActionSettingsLoaded());
    for (int action = 0; action <= 15; ++action) {
        for (int option = 0; option <= 17; ++option) {
            ASSERT_EQ(p->intUserCheckbox(action, option), 0);
            ASSERT_EQ(p->intUserListboxIndex(action, option), 0);
            ASSERT_EQ(p->strUserListboxText(action, option), "");
        }
    }
}

TEST_F(ProgrammerClassTest, SavedConfigurationComesBackFieldByField)
{
    auto p = controls.Create();
    ChangeEveryKeptSetting(*p);
    p.reset();
    // What is saved at exit, by name, in the store's own words.
    EXPECT_EQ(Stored("Configuration", "bBeepOn"), "False");
    EXPECT_EQ(Stored("Configuration", "Matching ChipPin and Socket"), "True");
    EXPECT_EQ(Stored("Data Capture", "Error Color"), "65280");
    EXPECT_EQ(Stored("Sealbook", "Job Name"), "/jobs/sealbook/last.qxj");

    ExpectEveryKeptSetting(*controls.Create());
}

// The child of the next test: saves a changed configuration in a process of
// its own.
const ChildRole kSaverRole("configuration-save", [](const QStringList&) {
    appinfo::SetApplicationTitleForTests(kApp);
    Controls controls;
    auto p = controls.Create();
    ChangeEveryKeptSetting(*p);
    std::printf("SAVED\n");
    return 0;
});

TEST_F(ProgrammerClassTest, SavedConfigurationComesBackInAnotherProcess)
{
    const ProcessResult child = RunChildRole(childEnvironment(), "configuration-save");
    ASSERT_EQ(child.exitCode, 0) << child.out.toStdString() << child.err.toStdString();
    ASSERT_TRUE(child.out.contains("SAVED")) << child.out.toStdString();

    ExpectEveryKeptSetting(*controls.Create());
}

TEST_F(ProgrammerClassTest, DamagedStoredTextsReadAsDefaults)
{
    const struct
    {
        const char* section;
        const char* value;
        const char* text;
        const char* name;
        Getter get;
        QString expected;
    } rows[] = {
        {"Configuration", "lngPosSingle", "-4", FIELD(lngPosSingle), "0"},
        {"Configuration", "lngBankSingle", "-1", FIELD(lngBankSingle), "0"},
        {"Configuration", "lngBufLoadAddr", "abc", FIELD(lngBufLoadAddr), "0"},
        {"Configuration", "bBeepOn", "maybe", FIELD(bBeepOn), "True"},
        {"Configuration", "udtCSumType", "", FIELD(udtCSumType), "1"},
        {"Configuration", "MasterSiteID", "70000", FIELD(lngMasterSiteID), "1"},
        {"Configuration", "Matching ChipPin and Socket", "1", FIELD(bMatchChipPinAndSocket), "True"},
        {"Data Capture", "Error Color", "red", FIELD(lngDCDiffColor), "255"},
    };
    for (const auto& row : rows)
        Store(row.section, row.value, QString::fromUtf8(row.text));
    Store("Configuration", "lTotalNumberOfTabs", "2000000000");

    auto p = controls.Create();
    for (const auto& row : rows)
        EXPECT_EQ(row.get(*p), row.expected) << row.name << " from \"" << row.text << "\"";
    // An absurd tab total is damage: it must not size the per-tab arrays.
    EXPECT_EQ(p->GetTotalNumberOfTabs(), 15);
}

TEST_F(ProgrammerClassTest, OperatorPasswordIsStoredCodedOneCharacterPerValue)
{
    auto p = controls.Create();
    p->strOperatorPwd = "abc";
    p.reset();
    for (int n = 1; n <= 3; ++n) {
        const QString text = Stored("Sealbook", QStringLiteral("%1Operator Parameter").arg(n));
        EXPECT_NE(text, QString::number(int("abc"[n - 1]))) << "position " << n << " is stored plain";
        EXPECT_NE(text, "FFFF");
    }
    for (int n = 4; n <= 15; ++n)
        EXPECT_EQ(Stored("Sealbook", QStringLiteral("%1Operator Parameter").arg(n)), "FFFF") << n;
    EXPECT_EQ(Stored("Sealbook", "16Operator Parameter"), "<absent>");

    // Reading stops at the first "FFFF": a coded character behind it is not read.
    Store("Sealbook", "5Operator Parameter", Stored("Sealbook", "1Operator Parameter"));
    EXPECT_EQ(controls.Create()->strOperatorPwd, "abc");

    const struct
    {
        QString saved;
        QString loaded;
    } rows[] = {
        {"abcdefghijklmnopqrst", "abcdefghijklmno"},    // 20 characters: the first 15 are kept
        {"Pässwörd€ΩЖ", "Pässwörd€ΩЖ"},                 // beyond ANSI: kept, not turned into "?"
        {"abcdefghijklmn\U0001F600", "abcdefghijklmn"}, // a pair split at 15: not kept half
        {"", ""},
    };
    for (const auto& row : rows) {
        auto q = controls.Create();
        q->strOperatorPwd = row.saved;
        q.reset();
        EXPECT_EQ(controls.Create()->strOperatorPwd, row.loaded) << row.saved.toStdString();
    }
}

TEST_F(ProgrammerClassTest, HandlerTypeComesBackOnlyWhereTheHandlerOffersAutomaticTypes)
{
    Store("Handler", "Type", qint32(2));
    EXPECT_EQ(controls.Create()->udtHandlerType, 2);

    // A handler that cannot be asked: the type reads 0 but the stored one
    // is not overwritten by that 0.
    H950HdlrControl absent;
    EXPECT_EQ(ProgrammerClass(&controls.engine, &absent).udtHandlerType, 0);
    EXPECT_EQ(Stored("Handler", "Type"), "2");

    // A handler without the automatic types: manual, and saved so.
    Controls noAutomaticTypes(0);
    EXPECT_EQ(noAutomaticTypes.Create()->udtHandlerType, 0);
    EXPECT_EQ(Stored("Handler", "Type"), "0");
}

TEST_F(ProgrammerClassTest, UserSettingArraysIgnoreIndexesOutsideTheirBounds)
{
    auto p = controls.Create();
    const struct
    {
        int action, option;
        bool inside;
    } rows[] = {
        {0, 0, true}, {15, 17, true}, {3, 18, false}, {16, 0, false}, {-1, 0, false}, {0, -1, false},
    };
    for (const auto& row : rows) {
        p->intUserCheckbox(row.action, row.option, 1);
        p->intUserListboxIndex(row.action, row.option, 2);
        p->strUserListboxText(row.action, row.option, "text");
        EXPECT_EQ(p->intUserCheckbox(row.action, row.option), row.inside ? 1 : 0) << row.action << "," << row.option;
        EXPECT_EQ(p->intUserListboxIndex(row.action, row.option), row.inside ? 2 : 0);
        EXPECT_EQ(p->strUserListboxText(row.action, row.option), row.inside ? "text" : "");
    }
}

TEST_F(ProgrammerClassTest, SetTotalNumberOfTabsResizesTheArraysAtOnceAndKeepsTheirContents)
{
    auto p = controls.Create();
    p->intUserCheckbox(2, 3, 1);
    p->strUserListboxText(2, 3, "Verify");

    p->SetTotalNumberOfTabs(20);
    p->intUserCheckbox(20, 16, 1);
    p->intUserListboxIndex(18, 3, 4);
    EXPECT_EQ(p->intUserCheckbox(20, 16), 1);
    EXPECT_EQ(p->intUserListboxIndex(18, 3), 4);
    EXPECT_EQ(p->intUserCheckbox(2, 3), 1);
    EXPECT_EQ(p->strUserListboxText(2, 3), "Verify");

    p->SetTotalNumberOfTabs(4);
    EXPECT_EQ(p->intUserCheckbox(20, 16), 0);
    EXPECT_EQ(p->intUserCheckbox(2, 3), 1);
    p->InitializeUserSettingArrays();
    EXPECT_EQ(p->intUserCheckbox(2, 3), 0);
    EXPECT_EQ(p->intUserCheckbox(4, 0), 0);
}

TEST_F(ProgrammerClassTest, SetDefaultConfigRestoresTheFactoryConfiguration)
{
    auto p = controls.Create();
    ChangeEveryKeptSetting(*p);
    p->strDeviceName = "AM29F010";
    p->udtParallelPort = 0;
    p->SetTotalNumberOfTabs(20);
    for (int id : {QXPgmrId::BufferOffset, QXPgmrId::ByteOrder, QXPgmrId::SetMode, QXPgmrId::VectorDisplayMode,
                   QXPgmrId::VectorXValue, QXPgmrId::VectorSeed, QXPgmrId::SetWidth, QXPgmrId::BankCount})
        controls.fake->Set(id, 7);
    // A refused engine property leaves the rest of the reset done.
    controls.fake->refused.insert(QXPgmrId::SetMode);

    p->SetDefaultConfig();

    EXPECT_EQ(p->strDeviceName, "");
    EXPECT_EQ(p->strFilePath, "/");
    EXPECT_EQ(p->strFileName, "pattern.hex"); // the file name stays
    EXPECT_EQ(p->udtParallelPort, 1);
    EXPECT_EQ(p->udtHandlerType, 0);
    EXPECT_EQ(p->udtPgmrType, 12);
    EXPECT_TRUE(p->bClearBeforeRead && p->blnAutoFileID && p->blnAutoLowAddr && p->bNoviceMode
                && p->blnSaveEntireContents && p->blnClearLoad && p->blnBufferEmpty);
    EXPECT_FALSE(p->blnLoadEntireFile || p->bStartInOperatorMode || p->bDataPatternLinkedToSKFile
                 || p->bMatchChipPinAndSocket);
    EXPECT_EQ(p->udtCSumType, 1);
    EXPECT_EQ(p->lngHighAddrSave, 0);
    EXPECT_EQ(p->udtRadix, 0);
    EXPECT_EQ(p->strJobDir, "");
    EXPECT_EQ(p->lngPosSingle, 0);
    EXPECT_EQ(p->GetTotalNumberOfTabs(), 15);

    QXPgmrControl& e = controls.engine;
    EXPECT_EQ(e.BufferOffset(), 0);
    EXPECT_EQ(e.ByteOrder(), 0);
    EXPECT_EQ(e.SetWidth(), 1);
    EXPECT_EQ(e.BankCount(), 1);
    EXPECT_EQ(e.VectorDisplayMode(), 0);
    EXPECT_EQ(e.VectorXValue(), 0);
    EXPECT_EQ(e.VectorSeed(), 0);

    EXPECT_EQ(p->intUserCheckbox(14, 16), 1);
    EXPECT_EQ(p->intUserListboxIndex(0, 0), 1);
    EXPECT_EQ(p->intUserCheckbox(15, 0), 0);
    EXPECT_EQ(p->intUserCheckbox(0, 17), 0);
    EXPECT_EQ(p->intUserCheckbox(16, 0), 0);
}

TEST_F(ProgrammerClassTest, SetDefaultConfigChoosesTheProgrammerTypeByModelAndEdition)
{
    auto p = controls.Create();
    const struct
    {
        qint32 model;
        bool chiselo;
        qint32 type;
    } rows[] = {{21, false, 12}, {22, false, 22}, {24, false, 22}, {25, false, 12}, {3, true, 22}};
    for (const auto& row : rows) {
        controls.fake->Set(QXPgmrId::ProgrammerModelIndex, row.model);
        gbChiseloEdition = row.chiselo;
        p->SetDefaultConfig();
        EXPECT_EQ(p->udtPgmrType, row.type) << row.model << " " << row.chiselo;
    }
    gbChiseloEdition = false;
}

TEST_F(ProgrammerClassTest, DelayedDeviceSettingsGoToTheEngineAndBack)
{
    auto p = controls.Create();
    QXPgmrControl& e = controls.engine;
    // Nothing stored: the defaults reach the engine.
    for (int id : {QXPgmrId::SetWidth, QXPgmrId::BankCount, QXPgmrId::ByteOrder})
        controls.fake->Set(id, 9);
    p->RunDelayedRegInit(true);
    EXPECT_EQ(e.ByteOrder(), 0);
    EXPECT_EQ(e.SetWidth(), 1);
    EXPECT_EQ(e.BankCount(), 1);

    const struct
    {
        int id;
        const char* valueName;
        qint32 value;
    } rows[] = {
        {QXPgmrId::ByteOrder, "udtByteOrder", 1},
        {QXPgmrId::SetWidth, "lngSetWidth", 2},
        {QXPgmrId::BankCount, "lngSetBanks", 4},
        {QXPgmrId::SetMode, "udtSetMode", 1},
        {QXPgmrId::VectorDisplayMode, "udtVectorDisplay", 2},
        {QXPgmrId::VectorXValue, "udtVectorXValue", 1},
        {QXPgmrId::VectorSeed, "lngVectorSeed", 0x1234},
    };
    for (const auto& row : rows)
        controls.fake->Set(row.id, row.value);
    p->RunDelayedRegInit(false);
    for (const auto& row : rows)
        EXPECT_EQ(Stored("Configuration", row.valueName), QString::number(row.value)) << row.valueName;

    Controls next;
    next.Create()->RunDelayedRegInit(true);
    EXPECT_EQ(next.engine.SetWidth(), 2);
    EXPECT_EQ(next.engine.BankCount(), 4);
    EXPECT_EQ(next.engine.VectorSeed(), 0x1234);
}

TEST_F(ProgrammerClassTest, LoadingTwiceQueuesEachDelayedSettingOnce)
{
    auto p = controls.Create();
    p->LoadConfigData();
    p->LoadConfigData();
    p->RunDelayedRegInit(true);
    p->RunDelayedRegInit(false);
    for (int id : {QXPgmrId::DeviceByteOrder, QXPgmrId::DeviceVectorSeed}) {
        EXPECT_EQ((controls.fake->calls[{id, int(InvokeKind::PropertyPut)}]), 1) << id;
        EXPECT_EQ((controls.fake->calls[{id, int(InvokeKind::PropertyGet)}]), 1) << id;
    }
}

TEST_F(ProgrammerClassTest, RefusedDelayedSettingKeepsItsStoredValueAndTheOthersGoThrough)
{
    Store("Configuration", "udtSetMode", "1");
    Store("Configuration", "lngVectorSeed", "77");
    auto p = controls.Create();
    controls.fake->refused.insert(QXPgmrId::DeviceSetMode);
    p->RunDelayedRegInit(true);
    EXPECT_EQ(controls.engine.VectorSeed(), 77);

    controls.fake->Set(QXPgmrId::VectorSeed, 78);
    p->RunDelayedRegInit(false);
    EXPECT_EQ(Stored("Configuration", "udtSetMode"), "1");
    EXPECT_EQ(Stored("Configuration", "lngVectorSeed"), "78");
}

TEST_F(ProgrammerClassTest, StoredSetWidthOrBankCountOutOfRangeCountsAsAbsent)
{
    // These counts size the station's lists of positions and banks: a
    // damaged one must not reach the engine (millions of entries at start).
    QStringList logged;
    SetSettingsLogWriter([&](const QString& line) { logged << line; });
    const struct
    {
        const char* valueName;
        const char* stored;
        qint32 reachesEngine;
        bool logs;
    } rows[] = {
        {"lngSetWidth", "5000000", 1, true}, {"lngSetWidth", "2147483647", 1, true}, {"lngSetWidth", "0", 1, true},
        {"lngSetWidth", "256", 256, false},  {"lngSetWidth", "1", 1, false},         {"lngSetBanks", "257", 1, true},
        {"lngSetBanks", "-3", 1, true},      {"lngSetBanks", "200", 200, false},
    };
    for (const auto& row : rows) {
        logged.clear();
        Store("Configuration", row.valueName, QString::fromLatin1(row.stored));
        Controls fresh;
        fresh.Create()->RunDelayedRegInit(true);
        const qint32 reached =
            QString::fromLatin1(row.valueName) == "lngSetWidth" ? fresh.engine.SetWidth() : fresh.engine.BankCount();
        EXPECT_EQ(reached, row.reachesEngine) << row.valueName << " = " << row.stored;
        ASSERT_EQ(logged.size(), row.logs ? 1 : 0) << row.valueName << " = " << row.stored;
        if (row.logs) {
            EXPECT_TRUE(logged.front().contains(QLatin1String(row.valueName)));
            EXPECT_TRUE(logged.front().contains(QLatin1String(row.stored))) << logged.front().toStdString();
        }
    }
    SetSettingsLogWriter({});
    // The other device settings keep any Long.
    Store("Configuration", "lngVectorSeed", "2147483647");
    Controls fresh;
    fresh.Create()->RunDelayedRegInit(true);
    EXPECT_EQ(fresh.engine.VectorSeed(), 2147483647);
}

TEST_F(ProgrammerClassTest, ReportFileDefaultIsAbsoluteWhenTheEngineCannotNameItsFolder)
{
    // The default only: nothing is saved between the cases.
    const auto reportFile = [](ProgrammerClass&& p) {
        p.DiscardWithoutSaving();
        return p.strDataCaptureReportFileName.toStdString();
    };
    const QDir programFolder(appinfo::ProgramFolder());
    ASSERT_TRUE(programFolder.isAbsolute());
    const std::string inProgramFolder = programFolder.filePath("DataCaptureReport.Txt").toStdString();

    controls.fake->refused.insert(QXPgmrId::EngineDirectory);
    EXPECT_EQ(reportFile(ProgrammerClass(&controls.engine)), inProgramFolder);
    EXPECT_EQ(reportFile(ProgrammerClass(nullptr)), inProgramFolder);
    controls.fake->refused.clear();
    controls.fake->engineFolder.clear();
    EXPECT_EQ(reportFile(ProgrammerClass(&controls.engine)), inProgramFolder);
    controls.fake->engineFolder = QStringLiteral("engine");
    EXPECT_EQ(reportFile(ProgrammerClass(&controls.engine)),
              programFolder.filePath("engine/DataCaptureReport.Txt").toStdString());
}

TEST_F(ProgrammerClassTest, PerActionSaveGoesOnPastARefusedValueAndKeepsItForTheNextLoad)
{
    // Tabs 1 and 2 carry Program and Verify.
    const ActionSettings::TabAction actions = [](int tab) { return tab <= 2 ? qint32(tab) : qint32(0); };
    auto p = controls.Create();
    p->SetTotalNumberOfTabs(3);
    for (int tab = 1; tab <= 2; ++tab) {
        for (int row = 0; row < p->GetMaximumNumberOfOptions(); ++row) {
            p->intUserCheckbox(tab, row, 0);
            p->intUserListboxIndex(tab, row, qint16(row + 2));
        }
    }
    const auto expectChoices = [&](const char* when) {
        for (int tab = 1; tab <= 2; ++tab) {
            for (int row = 0; row < p->GetMaximumNumberOfOptions(); ++row) {
                ASSERT_EQ(p->intUserCheckbox(tab, row), 0) << when << ": tab " << tab << " row " << row;
                ASSERT_EQ(p->intUserListboxIndex(tab, row), row + 2) << when << ": tab " << tab << " row " << row;
            }
        }
    };

    // Every other write of the store fails, from the first on.
    int saves = 0;
    reg::SetSaveStepHook([&](reg::SaveStep step) { return step != reg::SaveStep::Written || ++saves % 2 == 0; });
    QStringList logged;
    SetSettingsLogWriter([&](const QString& line) { logged << line; });
    EXPECT_FALSE(ActionSettings::Save(*p, actions));
    reg::SetSaveStepHook(nullptr);
    SetSettingsLogWriter({});
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged.front().contains("could not be saved")) << logged.front().toStdString();

    // The save went on after the first refusal: about half the values are
    // stored, not none.
    int stored = 0;
    for (int action = 1; action <= 2; ++action) {
        for (int row = 0; row < p->GetMaximumNumberOfOptions(); ++row) {
            stored += Stored("Configuration", ActionSettings::ValueName(action, "CHECKBOX_", row)) == "0";
            stored +=
                Stored("Configuration", ActionSettings::ValueName(action, "LISTBOX_", row)) == QString::number(row + 2);
        }
    }
    EXPECT_GT(stored, 10);
    EXPECT_LT(stored, 68);

    // A reload (as a new tab layout does) gives back the operator's choices,
    // also those the store refused.
    p->InitializeUserSettingArrays();
    ActionSettings::Load(*p, actions);
    expectChoices("after the reload");

    // The next save gets the refused ones through.
    EXPECT_TRUE(ActionSettings::Save(*p, actions));
    auto next = controls.Create();
    next->SetTotalNumberOfTabs(3);
    ActionSettings::Load(*next, actions);
    p = std::move(next);
    expectChoices("in a new configuration");
}

TEST_F(ProgrammerClassTest, SmallQuestions)
{
    for (auto [model, vexal] : {std::pair{21, false}, {22, true}, {23, true}, {24, true}, {25, false}, {0, false}})
        EXPECT_EQ(ProgrammerClass::IsVexalModel(model), vexal) << model;

    auto p = controls.Create();
    const struct
    {
        const char* folder;
        const char* name;
        const char* full;
    } paths[] = {{"/data", "a.hex", "/data/a.hex"}, {"/data/", "a.hex", "/data/a.hex"}, {"/", "a.hex", "/a.hex"}};
    for (const auto& row : paths) {
        p->strFilePath = row.folder;
        p->strFileName = row.name;
        EXPECT_EQ(p->FullDataBufferPath(), row.full);
    }

    const struct
    {
        qint32 low, high, size;
        bool entire;
    } ranges[] = {
        {0, 0xFF, 0x100, true},
        {0, 0xFE, 0x100, false},
        {0x10, 0x10F, 0x100, true},
        // The whole 32-bit space does not wrap round to a small size.
        {-1, 0x7FFFFFFF, qint32(0x80000001u), false},
    };
    for (const auto& row : ranges) {
        controls.engine.WordRangeLow(row.low);
        controls.engine.WordRangeHigh(row.high);
        controls.fake->Set(QXPgmrId::DeviceSize, row.size);
        EXPECT_EQ(p->IsEntireDeviceRange(), row.entire) << row.low << ".." << row.high;
    }
}

} // namespace
