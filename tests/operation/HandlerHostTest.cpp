// The automatic handler's events as its hidden host window handles them:
// the session, site and value requests reach the operation window, the main
// window, the engine and the job monitor; the gate stops the gated ones.

#include "OperationFixture.h"

#include "automation/CJobMonitorImpl.h"
#include "automation/frmH950HdlrContainer.h"
#include "engine/EngineCodes.h"
#include "platform/AppInfo.h"
#include "settings/SettingsStore.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace {

using namespace QXPgmrId;

// The engine answers the pin count and the site runs.
class HostEngine : public FakeEngine
{
public:
    HostEngine()
    {
        On(DeviceConfigValue, [this](InvokeKind, QVariantList& args) {
            keys << args.value(0).toString();
            return QVariant(pinCount);
        });
        On(RepeatSiteCommand, [this](InvokeKind, QVariantList& args) {
            sites << args.value(0).toInt();
            return QVariant(qint32(21));
        });
        On(SiteErrorText, [](InvokeKind, QVariantList&) { return QVariant(QStringLiteral("program")); });
    }
    QString pinCount;
    QStringList keys;
    QList<qint32> sites;
};

class HandlerHostTest : public OperationWindowFixture
{
protected:
    bool AttachEngine() override
    {
        engine = new HostEngine;
        station->AttachEngine(std::unique_ptr<IDispatchControl>(engine));
        return true;
    }
    void SetUp() override
    {
        OperationWindowFixture::SetUp();
        host = std::make_unique<frmH950HdlrContainer>(station->station());
        LoadAndShow();
    }
    QVariantList Fire(const char* event, QVariantList args = {})
    {
        host->Fire(QLatin1String(event), args);
        return args;
    }

    HostEngine* engine = nullptr;
    std::unique_ptr<frmH950HdlrContainer> host;
};

TEST_F(HandlerHostTest, ThePinCountIsTheEnginesInDecimalOrHexadecimal)
{
    const struct
    {
        const char* engineSays;
        qint32 answer;
    } cases[] = {{"0x40", 64}, {"0X40", 64}, {"64", 64}, {"&H40", 9}, {"forty", 9}, {"", 9}};
    for (const auto& c : cases) {
        engine->pinCount = QLatin1String(c.engineSays);
        EXPECT_EQ(Fire("RequestPinCount", {qint32(9)}), QVariantList{qint32(c.answer)}) << c.engineSays;
    }
    EXPECT_EQ(engine->keys.value(0), QStringLiteral("algcfg.pin_count"));
}

TEST_F(HandlerHostTest, TheGateStopsTheSessionAndSiteEventsButNotTheJobsEnd)
{
    CJobMonitorImpl& monitor = CJobMonitorImpl::Instance();
    monitor.Attach(); // a client follows the jobs
    QSignalSpy done(&monitor, &CJobMonitorImpl::NotifyJobComplete);
    main->bEnableEvent = false;
    EXPECT_EQ(Fire("RepeatCommandRequest", {qint32(3), qint32(-7)}), (QVariantList{qint32(3), qint32(-7)}));
    Fire("SessionStarted");
    EXPECT_FALSE(window->blnRunningConcurrent);
    Fire("JobComplete", {qint32(5)});
    ASSERT_EQ(done.size(), 1);
    EXPECT_EQ(done.first().first().toInt(), 5);
    monitor.Release();

    main->bEnableEvent = true;
    EXPECT_EQ(Fire("RepeatCommandRequest", {qint32(3), qint32(-7)}), (QVariantList{qint32(3), qint32(21)}));
    EXPECT_EQ(engine->sites, QList<qint32>{3});
}

TEST_F(HandlerHostTest, ASessionFromStartToStopThroughTheHandlersEvents)
{
    main->station().SetQuantityText(QStringLiteral("2"));
    Fire("HandlerQuantityChanged", {qint32(2)});
    EXPECT_EQ(main->txtNumCopies->text(), QStringLiteral("2"));
    Fire("SessionStarted");
    EXPECT_TRUE(window->blnRunningConcurrent);
    EXPECT_TRUE(data().blnInAction);
    EXPECT_EQ(window->lngNumLeft, 2);
    Fire("SessionOperationBegan");
    EXPECT_FALSE(window->fraConcurrent->isHidden());
    Fire("SiteStatusChanged", {qint32(1), SiteStatus::Passed, qint32(0)});
    Fire("SiteStatusChanged", {qint32(1), SiteStatus::Failed, qint32(21)});
    EXPECT_EQ(window->lngNumPassed, 1);
    EXPECT_EQ(window->lngNumFailedProgramming, 1);
    Fire("EnableHandlerButton", {VbBool(false)});
    EXPECT_FALSE(window->btnStop->isEnabled());
    int summaries = 0;
    ui().OnModal([&](QDialog*) {
        ++summaries;
        return 0;
    });
    Fire("SessionStopped");
    EXPECT_EQ(summaries, 1);
    EXPECT_FALSE(window->blnRunningConcurrent);
    EXPECT_FALSE(data().blnInAction);
    EXPECT_TRUE(window->blnStopClicked); // one of the two devices remained
    EXPECT_TRUE(window->fraConcurrent->isHidden());
}

TEST_F(HandlerHostTest, ValueRequestsAnswerFromTheJobAndTheSettings)
{
    EXPECT_EQ(Fire("RequestFlag26", {qint32(7)}), QVariantList{qint32(0)});
    data().strJobName = QStringLiteral("Lot 4");
    EXPECT_EQ(Fire("RequestFlag26", {qint32(7)}), QVariantList{qint32(1)});
    data().blnDeviceSelected = true;
    EXPECT_EQ(Fire("RequestFlag43", {VbBool(false)}), QVariantList{VbBool(true)});

    Fire("HandlerSerialNumberReport", {QStringLiteral("SN-77")});
    EXPECT_EQ(data().strSerialNumber, QStringLiteral("SN-77"));
    EXPECT_EQ(GetSettingValue(appinfo::App(), QStringLiteral("H950hdlr"), QStringLiteral("Serial Number"), QString())
                  .toString(),
              QStringLiteral("SN-77"));
}

TEST_F(HandlerHostTest, WithTheOperationWindowGoneItsEventsDoNothing)
{
    station->DestroyOperationWindow();
    for (const char* event : {"SessionStarted", "SessionStopped", "SessionOperationBegan", "HandlerAbortCommand",
                              "StartPowerSupplyLog", "AskJobId"})
        Fire(event);
    EXPECT_EQ(Fire("RequestActionRepeatable", {VbBool(false)}), QVariantList{VbBool(false)});
    EXPECT_EQ(Fire("RequestFlag26", {qint32(7)}), QVariantList{qint32(7)});
    EXPECT_EQ(Fire("RequestFlag43", {VbBool(false)}), QVariantList{VbBool(false)});
    EXPECT_EQ(Fire("RepeatCommandRequest", {qint32(1), qint32(-7)}), (QVariantList{qint32(1), qint32(-7)}));
    EXPECT_TRUE(engine->sites.isEmpty());
}

} // namespace
