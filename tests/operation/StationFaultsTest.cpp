// Faults of the operation window a production floor would meet: status lines
// that must reach the logs, a full status list, engine counts that would
// drive unbounded loops, and forcing rules that must hold when one engine
// read fails.

#include "OperationFixture.h"

#include "engine/EngineCodes.h"
#include "mainwindow/VersionStrings.h"
#include "operation/OperationLists.h"
#include "platform/AppInfo.h"
#include "platform/AutomationError.h"
#include "settings/cRegistry.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>

namespace {

QString ReadText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

class StationFaultsTest : public OperationWindowTest
{
protected:
    void SetUp() override
    {
        OperationWindowTest::SetUp();
        logFolder = tempPath(QStringLiteral("logs"));
        QDir().mkpath(logFolder);
        cRegistry reg;
        reg.ValueEx(cRegistry::HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Corvane\\Tarvo\\Directory Paths"),
                    QStringLiteral("Log"), cRegistry::REG_SZ, QString(), logFolder);
        LoadAndShow();
    }

    void TearDown() override
    {
        gbChiseloEdition = false;
        SetCmdLineLogFile(QString());
        ResetExportLog();
        OperationWindowTest::TearDown();
    }

    QString BlackBox() const { return ReadText(logFolder + QStringLiteral("/BlackBox.log")); }

    QString logFolder;
};

TEST_F(StationFaultsTest, EveryStatusLineReachesTheBlackBoxAndTheExportLogUnlessUpdatesAreOff)
{
    gbChiseloEdition = true;
    const QString exportLog = tempPath(QStringLiteral("export")) + QStringLiteral("/run.log");
    SetCmdLineLogFile(exportLog);
    ResetExportLog();

    window->AddStatusTextLine(QStringLiteral("Invalid command line specified device NO_SUCH"));
    EXPECT_EQ(window->cboStatus->count(), 1);
    EXPECT_EQ(window->cboStatus->currentRow(), 0);
    EXPECT_TRUE(BlackBox().contains(QStringLiteral("  Invalid command line specified device NO_SUCH\r\n")));
    EXPECT_TRUE(ReadText(exportLog).contains(QStringLiteral("  Invalid command line specified device NO_SUCH\r\n")));

    window->bEnableStatusTextUpdate = false;
    window->AddStatusTextLine(QStringLiteral("not to be seen"));
    EXPECT_EQ(window->cboStatus->count(), 1);
    EXPECT_FALSE(BlackBox().contains(QStringLiteral("not to be seen")));
    EXPECT_FALSE(ReadText(exportLog).contains(QStringLiteral("not to be seen")));
}

TEST_F(StationFaultsTest, AFullStatusListIsClearedBeforeTheNextLine)
{
    QStringList lines;
    for (int i = 0; i < 31999; ++i)
        lines << QString::number(i);
    window->cboStatus->addItems(lines);

    // The 32000th line still fits; the one after it finds the list full.
    window->AddStatusTextLine(QStringLiteral("last of the full list"));
    ASSERT_EQ(window->cboStatus->count(), 32000);
    window->AddStatusTextLine(QStringLiteral("newest"));
    ASSERT_EQ(window->cboStatus->count(), 1);
    EXPECT_EQ(window->cboStatus->item(0)->text(), QStringLiteral("newest"));
    EXPECT_EQ(window->cboStatus->currentRow(), 0);
}

// Counts the engine reports for the sites and for the sets mode's lists: one
// outside what the station can show counts as one, with one line in the
// black-box log, however often it is read.
TEST_F(StationFaultsTest, EngineCountsThatDriveLoopsAreHeldToWhatTheStationShows)
{
    const struct
    {
        qint32 sites;
        int boxes;
    } siteCases[] = {{8, 8}, {frmProgram::kMaxSites, frmProgram::kMaxSites}, {5000000, 1}, {-3, 1}, {0, 1}};
    for (const auto& c : siteCases) {
        engine->Set(QXPgmrId::SiteCount, c.sites);
        window->ConcurrentOperationBegan();
        window->ConcurrentOperationBegan();
        EXPECT_EQ(window->GetSiteCount(), c.boxes) << c.sites;
    }
    EXPECT_EQ(BlackBox().count(QStringLiteral("site count 5000000 is outside 1 to 64")), 1);

    engine->Set(QXPgmrId::DeviceSupportsSetsAndBanks, true);
    engine->Set(QXPgmrId::SetMode, 0);
    const struct
    {
        qint32 setWidth;
        qint32 bankCount;
        bool shown;
        int positions;
        int banks;
    } setCases[] = {{4, 2, true, 4, 2}, {256, 1, true, 256, 1}, {5000000, 3, true, 1, 3}, {2147483647, 1, false, 0, 0}};
    for (const auto& c : setCases) {
        engine->Set(QXPgmrId::SetWidth, c.setWidth);
        engine->Set(QXPgmrId::BankCount, c.bankCount);
        window->SetDisplayInfo();
        EXPECT_EQ(!window->fraSets->isHidden(), c.shown) << c.setWidth;
        if (c.shown) {
            EXPECT_EQ(window->cboDatPos->count(), c.positions) << c.setWidth;
            EXPECT_EQ(window->cboBankNum->count(), c.banks) << c.setWidth;
        }
    }
    window->SetDisplayInfo();
    EXPECT_EQ(BlackBox().count(QStringLiteral("set width 2147483647 is outside 1 to 256")), 1);
}

// An engine whose reads of some capabilities fail.
class FailingReadsEngine : public FakeEngine
{
public:
    void Fail(int dispid)
    {
        On(dispid, [](InvokeKind, QVariantList&) -> QVariant {
            throw AutomationError(0x800A01B6, QStringLiteral("QXPgmr"), QStringLiteral("Not supported"));
        });
    }
};

TEST(ForcingRulesTest, OneFailedCapabilityReadDropsOnlyItsOwnRule)
{
    QXPgmrControl engine;
    auto* control = new FailingReadsEngine;
    engine.Attach(std::unique_ptr<IDispatchControl>(control));
    control->Set(QXPgmrId::DeviceValue271, true);
    control->Fail(QXPgmrId::DeviceFlag8);
    control->Fail(QXPgmrId::DeviceSupportsAutoSelection);
    using Effect = OperationLists::Effect;
    // Program: the blank/erase rule and the forced Program step stay.
    EXPECT_EQ(OperationLists::Rules(engine, 1, {1, 2, 1, 1, 1}),
              (QList<Effect>{{Effect::Force, 1}, {Effect::Force, 2}, {Effect::Show, 2}}));

    // Verify: the Verify step stays forced when the STAPL question fails.
    control->Fail(QXPgmrId::DeviceIsVexal);
    EXPECT_EQ(OperationLists::Rules(engine, 2, {1, 0, 0, 2, 1}),
              (QList<Effect>{{Effect::Force, 3}, {Effect::Show, 3}}));
}

} // namespace
