// The plain parts of the configuration dialog: reading a master-site text,
// the modules an engine offers (a slot count below one included), and the
// settings store's save of several values at once.
#include "TestEnv.h"

#include "engine/QXPgmrControl.h"
#include "platform/AutomationError.h"
#include "platform/DispatchObject.h"
#include "platform/Registry.h"
#include "settings/ConfigureMasterSites.h"
#include "settings/SettingsStore.h"

#include <QFile>

namespace {

using namespace configure;

TEST(ConfigureMasterSiteTest, TextsAreCheckedWithoutAConversionError)
{
    struct Case
    {
        const char* text;
        MasterSiteCheck check;
    };
    const QList<int> offered{1, 2, 4};
    const Case cases[] = {
        {"2", MasterSiteCheck::Valid},
        {" 4", MasterSiteCheck::Valid},
        {"2 (second)", MasterSiteCheck::Valid},
        {"3", MasterSiteCheck::NotOffered},
        {"0", MasterSiteCheck::NotAboveZero},
        {"-2", MasterSiteCheck::NotAboveZero},
        {"", MasterSiteCheck::NotAboveZero},
        {"two", MasterSiteCheck::NotAboveZero},
        {"99999999999999999999", MasterSiteCheck::NotOffered},
        {"4294967297", MasterSiteCheck::NotOffered}, // would wrap to 1 in 32 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckMasterSite(QString::fromLatin1(c.text), offered), c.check) << c.text;
}

TEST(ConfigureMasterSiteTest, OnlyTheFirstSiteOfAModuleNamesIt)
{
    EXPECT_EQ(ModuleTextOfSite(5, 4), "2");
    EXPECT_EQ(ModuleTextOfSite(1, 4), "1");
    EXPECT_EQ(ModuleTextOfSite(6, 4), "");  // inside module 2: no selection
    EXPECT_EQ(ModuleTextOfSite(3, 0), "3"); // no slots counts as one
    EXPECT_EQ(ModuleTextOfSite(0, 4), "");
}

// An engine with a given site count and slot count; every site enabled but
// the listed ones.
class SitesEngine : public DispatchObject
{
public:
    SitesEngine(int sites, int slotCount, QList<int> disabled)
        : DispatchObject("QXPGMRLib.QXPgmr", QXPgmrControl::Members())
    {
        AnswerUndeclaredAsFake();
        On(QXPgmrId::SiteCount, [sites](InvokeKind, QVariantList&) { return QVariant(qint32(sites)); });
        On(QXPgmrId::SiteSlotCount, [slotCount](InvokeKind, QVariantList&) { return QVariant(qint16(slotCount)); });
        On(QXPgmrId::SiteEnabled, [disabled](InvokeKind, QVariantList& args) {
            return QVariant(qint16(disabled.contains(args.value(0).toInt()) ? 0 : -1));
        });
    }
};

TEST(ConfigureMasterSiteTest, ModulesOfferedAreThoseWhoseFirstSiteIsEnabled)
{
    struct Case
    {
        int sites, slotCount;
        QList<int> disabled;
        QList<int> modules;
    };
    const Case cases[] = {
        {16, 4, {}, {1, 2, 3, 4}}, {16, 4, {5, 10}, {1, 3, 4}}, // site 10 is inside module 3
        {4, 0, {}, {1, 2, 3, 4}},                               // a slot count below one counts as one
        {4, -3, {2}, {1, 3, 4}},   {10, 4, {}, {1, 2}},         // 2.5 modules round to even
        {14, 4, {}, {1, 2, 3, 4}},                              // 3.5 modules round to even
    };
    for (const Case& c : cases) {
        QXPgmrControl engine;
        engine.Attach(std::make_unique<SitesEngine>(c.sites, c.slotCount, c.disabled));
        EXPECT_EQ(OfferedModules(engine), c.modules) << c.sites << "/" << c.slotCount;
    }
}

using SettingsValuesTest = TarvoTest;

TEST_F(SettingsValuesTest, SeveralValuesAreSavedInOneWriteOrNotAtAll)
{
    SaveSettingValue("Tarvo", "Application", "PSLogFile_Dir", "/old");
    const QString hive = registryRoot() + "/HKCU.reg";
    auto bytes = [&hive] {
        QFile f(hive);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = bytes();
    const QList<std::pair<QString, QVariant>> values{
        {"PSLogFile_Dir", "/new"}, {"PSLogFile_Enable", "1"}, {"JobID_Enable", 0}};

    // A save that fails at any step leaves every value as it was.
    for (reg::SaveStep failing : {reg::SaveStep::HalfWritten, reg::SaveStep::Written}) {
        reg::SetSaveStepHook([failing](reg::SaveStep step) { return step != failing; });
        EXPECT_THROW(SaveSettingValues("Tarvo", "Application", values), AutomationError);
        reg::SetSaveStepHook({});
        EXPECT_EQ(bytes(), before);
        EXPECT_EQ(GetSettingValue("Tarvo", "Application", "PSLogFile_Dir", "").toString(), "/old");
        EXPECT_EQ(GetSettingValue("Tarvo", "Application", "PSLogFile_Enable", "none").toString(), "none");
    }

    int saves = 0;
    reg::SetSaveStepHook([&saves](reg::SaveStep step) {
        saves += step == reg::SaveStep::Replaced;
        return true;
    });
    SaveSettingValues("Tarvo", "Application", values);
    reg::SetSaveStepHook({});
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(GetSettingValue("Tarvo", "Application", "PSLogFile_Dir", "").toString(), "/new");
    EXPECT_EQ(GetSettingValue("Tarvo", "Application", "PSLogFile_Enable", "").toString(), "1");
    EXPECT_EQ(GetSettingValue("Tarvo", "Application", "JobID_Enable", "").toString(), "0");
}

} // namespace
