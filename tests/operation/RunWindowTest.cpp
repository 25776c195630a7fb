// The run through the operation window as the operator reaches it: the
// Action and Stop buttons, the quantity box, the site box and the job
// summary of a stopped run. The engine plays its events' part by calling the
// window's entries from inside ExecuteDeviceCommand, as the main window's
// bridge forwards them.

#include "../engine/TestEngineControl.h"
#include "OperationFixture.h"

#include "engine/EngineCodes.h"
#include "operation/RunResults.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <functional>

namespace {

using namespace QXPgmrId;

class RunWindowTest : public OperationWindowFixture
{
protected:
    bool AttachEngine() override
    {
        engine = new TestEngineControl;
        station->AttachEngine(std::unique_ptr<IDispatchControl>(engine));
        engine->Store(SiteCount, QVariant::fromValue<qint32>(1));
        engine->Store(SiteSlotCount, QVariant::fromValue<qint16>(1));
        engine->Store(PortIndex, QVariant::fromValue<qint32>(1));
        engine->Store(MasterSite, QVariant::fromValue<qint32>(1));
        engine->Store(DeviceName, QStringLiteral("PART"));
        engine->Store(DeviceSupportsProgram, VbBool(true));
        for (int id : {PrepareRun, FinishRunReport, AbortOperation}) {
            engine->On(id, [this, id](InvokeKind, QVariantList&) {
                ++calls[id];
                return QVariant();
            });
        }
        engine->On(ExecuteDeviceCommand, [this](InvokeKind, QVariantList& args) {
            commands << args.value(0).toInt();
            window->SetSiteStatus(0, SiteStatus::Active, 0);
            window->SetOperationProgress(ProgressCode::Pump, 0);
            if (duringDevice)
                duringDevice(int(commands.size()));
            window->SetSiteStatus(0, SiteStatus::Passed, 0);
            return QVariant::fromValue<qint16>(0);
        });
        return true;
    }

    void SetUp() override
    {
        OperationWindowFixture::SetUp();
        LoadAndShow();
        // The program tab of the one device, as selecting it leaves it.
        data().blnDeviceSelected = true;
        window->udtAction = 1;
        window->SetButtonStates();
    }

    TestEngineControl* engine = nullptr;
    QHash<int, int> calls;
    QList<qint32> commands;
    std::function<void(int)> duringDevice;
};

TEST_F(RunWindowTest, ActionRunsTheQuantityAndHandsTheWindowBack)
{
    main->station().SetQuantityText(QString());

    window->btnAction->click();

    // The box said no number: one copy.
    EXPECT_EQ(main->txtNumCopies->text(), QStringLiteral("1"));
    EXPECT_EQ(main->lngNumCopies, 1);
    EXPECT_EQ(commands.size(), 1);
    EXPECT_EQ(window->lngNumPassed, 1);
    EXPECT_EQ(window->SiteBox[0]->SiteState(), SiteStatus::Passed);
    EXPECT_TRUE(window->btnAction->isEnabled());
    EXPECT_TRUE(main->menuBar()->isEnabled());
    EXPECT_FALSE(data().blnInAction);
    EXPECT_FALSE(window->mbActionClicked);
    EXPECT_EQ(calls.value(FinishRunReport), 0);
}

TEST_F(RunWindowTest, StopDuringARunEndsItWithOneEngineReport)
{
    main->station().SetQuantityText(QStringLiteral("3"));
    // Stop pressed while the second device runs; the window pumps it in.
    duringDevice = [this](int device) {
        if (device == 2)
            window->btnStop->click();
    };
    ui().Answer(vb::vbOK); // Insert next device
    ui().Answer(vb::vbOK); // Operation aborted
    int summaries = 0;
    ui().OnModal([&](QDialog*) {
        ++summaries;
        return 0;
    });

    EXPECT_EQ(window->ExecuteOperation(), RunResult::Stopped);

    EXPECT_EQ(commands.size(), 2);
    EXPECT_EQ(calls.value(AbortOperation), 1);
    // Both devices were reported passed: none is counted again as failed.
    EXPECT_EQ(window->lngNumPassed, 2);
    EXPECT_EQ(window->lngNumFailed, 0);
    EXPECT_EQ(summaries, 1);
    // The summary and the run's end both ask: the engine reports once.
    EXPECT_EQ(calls.value(FinishRunReport), 1);
    EXPECT_TRUE(window->blnStopClicked);
    EXPECT_TRUE(window->btnAction->isEnabled());
    ASSERT_GE(ui().Shown().size(), 2);
    EXPECT_TRUE(ui().Shown().at(0).contains(QStringLiteral("Insert next device")));
    EXPECT_TRUE(ui().Shown().at(1).contains(QStringLiteral("Operation aborted")));
}

// The engine sends progress values many times per device: a new value is
// painted with the next pump, once, never by itself on arrival.
TEST_F(RunWindowTest, ProgressValuesArePaintedAtTheNextPump)
{
    struct PaintCount : QObject
    {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } count;
    QProgressBar* bar = window->ProgressBar1[0];
    bar->show();
    ASSERT_TRUE(bar->isVisible());
    QCoreApplication::processEvents();
    bar->installEventFilter(&count);
    for (int value : {10, 40, 70})
        window->Run().SetProgress(0, value);
    EXPECT_EQ(bar->value(), 70);
    EXPECT_EQ(count.paints, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(count.paints, 1);
}

} // namespace
