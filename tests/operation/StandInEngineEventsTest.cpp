// What the simulated engine raises of its own reaching the station through
// the main window's bridge: a site a run leaves out, a device's extra
// command that changes its configuration, the socket-module exchange, a
// Vexal data file's secure variant, the secure option set as a job
// parameter and the option row a job parameter changed, told by its text.
#include "StandInWindowFixture.h"
#include "MainLoop.h"
#include "../../companions/qxpgmr/QXPgmrTestHook.h"

#include "device/frmDeviceConfigure.h"
#include "engine/EngineCodes.h"
#include "engine/SiteBoxControl.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QTimer>
#include <functional>

namespace {

class StandInEngineEventsTest : public StandInWindowTest
{
protected:
    void SetUp() override
    {
        m_savedFaults = qgetenv("TARVO_ENGINE_FAULTS");
        qputenv("TARVO_ENGINE_FAULTS", "delay=0");
        StandInWindowTest::SetUp();
        engine().Control()->SetEventSink(main);
    }
    void TearDown() override
    {
        StandInWindowTest::TearDown();
        qputenv("TARVO_ENGINE_FAULTS", m_savedFaults);
    }

    // The window on the device, its journal of engine calls taken.
    void Show(const QString& device)
    {
        LoadAndShow();
        ASSERT_TRUE(window->SelectDevice(device));
        qxpgmrtest::TakeJournal(*engine().Control());
    }
    QStringList Journal() { return qxpgmrtest::TakeJournal(*engine().Control()); }
    QStringList StatusLines() const
    {
        QStringList lines;
        for (int i = 0; i < window->cboStatus->count(); ++i)
            lines << window->cboStatus->item(i)->text();
        return lines;
    }

private:
    QByteArray m_savedFaults;
};

// On a programmer with eight sites, a one-device job runs the master site's
// device: the window's box of site 1 (its only one outside sessions) shows
// that site 1 takes no part when the master site is another.
TEST_F(StandInEngineEventsTest, AOneDeviceJobShowsSiteOneNotTakingPartWhenAnotherSiteIsTheMaster)
{
    LoadAndShow();
    engine().SelectProgrammerModel(qint32(11)); // RG-1080/8
    window->Form_Reload(true, QStringLiteral("AM27C512"));
    ASSERT_TRUE(data().blnDeviceSelected);
    ASSERT_EQ(window->SiteBox.size(), 1u);
    main->station().SetQuantityText(QStringLiteral("1"));
    for (const qint32 master : {3, 1}) {
        SCOPED_TRACE(master);
        engine().MasterSite(master);
        window->SiteBox[0]->ShowIdle();
        window->cboStatus->clear();
        window->btnAction_Click();
        EXPECT_TRUE(StatusLines().contains(QStringLiteral("Site %1: Program passed.").arg(master)));
        EXPECT_EQ(window->SiteBox[0]->SiteState(), master == 1 ? SiteStatus::Passed : SiteStatus::NotApplicable);
        EXPECT_TRUE(window->btnAction->isEnabled());
    }
}

// The device options window's extra command changes the device's
// configuration: the operation window is rebuilt once the command's call has
// returned and the dialog has refreshed it, not from inside that call; the
// word range and the buffer offset stay as they were.
TEST_F(StandInEngineEventsTest, ADevicesExtraCommandRebuildsTheWindowAfterItsCall)
{
    Show(QStringLiteral("NV29LV160B"));
    main->SetEngineRangeValues(qint32(0x100), qint32(0x7FFF));
    engine().BufferOffset(qint32(0x40));
    Journal();

    main->DeviceConfigureDlg().btnSpecial_Click(0);
    const QStringList duringCall = Journal();
    ASSERT_TRUE(duringCall.contains(QStringLiteral("RunExtraCommand(0,,)")));
    EXPECT_TRUE(duringCall.filter(QStringLiteral("SelectDeviceByName")).isEmpty())
        << duringCall.join('\n').toStdString();
    EXPECT_EQ(StatusLines().filter(QStringLiteral("Unlock Bypass done.")).size(), 1);

    QCoreApplication::processEvents();
    const QStringList afterCall = Journal();
    EXPECT_EQ(afterCall.filter(QStringLiteral("SelectDeviceByName(NV29LV160B")).size(), 1)
        << afterCall.join('\n').toStdString();
    EXPECT_EQ(engine().WordRangeLow(), 0x100);
    EXPECT_EQ(engine().WordRangeHigh(), 0x7FFF);
    EXPECT_EQ(engine().BufferOffset(), 0x40);
    EXPECT_TRUE(data().blnDeviceSelected);
}

// The planned socket-module exchange comes from the idle main loop: the
// status line says so and the window takes the device up again, with its
// whole range.
TEST_F(StandInEngineEventsTest, ASocketModuleExchangeReloadsTheWindowForTheDevice)
{
    qputenv("TARVO_ENGINE_FAULTS", "delay=0;module=30");
    ASSERT_EQ(engine().LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0); // the plan is read at the load
    Show(QStringLiteral("AM27C512"));
    main->SetEngineRangeValues(qint32(0x10), qint32(0xFF));
    window->cboStatus->clear();
    Journal();
    ASSERT_EQ(engine().InitializeEngine194(qint32(1)), 0);
    const QString text = QStringLiteral("The socket module was exchanged: the AM27C512 is taken up again.");
    RunMainLoop(3000, [&] { return StatusLines().contains(text); });

    EXPECT_EQ(StatusLines(), QStringList{text});
    EXPECT_EQ(Journal().filter(QStringLiteral("SelectDeviceByName(AM27C512")).size(), 1);
    EXPECT_TRUE(data().blnDeviceSelected);
    EXPECT_EQ(engine().WordRangeLow(), 0);
    EXPECT_EQ(engine().WordRangeHigh(), 0xFFFF);
}

// A data file for a Vexal device names its secure variant: after the load
// the Program tab's secure row selects that variant, ticked.
TEST_F(StandInEngineEventsTest, AVexalDataFileSelectsItsSecureVariantOnTheProgramTab)
{
    Show(QStringLiteral("VX-SEC32"));
    const QString file = tempPath(QStringLiteral("vexal.bin"));
    for (const auto& [path, bytes] : {std::pair{file, QByteArray(512, char(0x3C))},
                                      std::pair{file + QStringLiteral(".secure"), QByteArray("Lock B\n")}}) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    ASSERT_TRUE(window->ExecuteBufferCommand(6, file, FileTypes::FT_BINARY));

    ASSERT_FALSE(window->cboOperation[4]->isHidden()) << Rows().join('\n').toStdString();
    EXPECT_EQ(window->cboOperation[4]->currentIndex(), 1) << Rows().join('\n').toStdString();
    EXPECT_EQ(frmProgram::CheckValue(window->Check1[4]), CheckBoxValue::Ticked);
    EXPECT_TRUE(engine().SecureMode());
}

// The secure option set as a job parameter shows on the operation window at
// once: the engine asks the window to refresh its secure row.
TEST_F(StandInEngineEventsTest, ASecureJobParameterTicksTheWindowsSecureRow)
{
    Show(QStringLiteral("NV29F040"));
    const auto secureRow = [this]() -> int {
        for (int row = 0; row < window->cboOperation.size(); ++row) {
            const QComboBox* combo = window->cboOperation[row];
            for (int j = 0; !combo->isHidden() && j < combo->count(); ++j) {
                if (combo->itemData(j).toInt() == OperationCode::Secure
                    || combo->itemData(j).toInt() > OperationCode::SecureVariantBase)
                    return row;
            }
        }
        return -1;
    };
    const int row = secureRow();
    ASSERT_GE(row, 0) << Rows().join('\n').toStdString();
    frmProgram::SetCheckValue(window->Check1[row], CheckBoxValue::Cleared);
    ASSERT_EQ(engine().ApplyJobParameter(QStringLiteral("DeviceOptions.Secure"), QStringLiteral("ENABLE")), 0);
    EXPECT_EQ(frmProgram::CheckValue(window->Check1[row]), CheckBoxValue::Ticked);
    ASSERT_EQ(engine().ApplyJobParameter(QStringLiteral("DeviceOptions.Secure"), QStringLiteral("DISABLE")), 0);
    EXPECT_EQ(frmProgram::CheckValue(window->Check1[row]), CheckBoxValue::Cleared);
}

// A job parameter's option is told back to the station by its text once the
// call has returned: the row offering it on the job's tab is ticked or
// cleared, and the operator's own tab stays shown.
TEST_F(StandInEngineEventsTest, AnOptionJobParameterTicksItsRowByTextAfterTheCall)
{
    Show(QStringLiteral("AM27C512"));
    const auto blankRow = [this]() -> int {
        for (int row = 0; row < window->cboOperation.size(); ++row) {
            const QComboBox* combo = window->cboOperation[row];
            if (!combo->isHidden() && combo->findText(QStringLiteral("Blank Check")) >= 0)
                return row;
        }
        return -1;
    };
    Visit(1);
    const int row = blankRow();
    ASSERT_GE(row, 0) << Rows().join('\n').toStdString();
    frmProgram::SetCheckValue(window->Check1[row], CheckBoxValue::Cleared);
    // The operator looks at another tab meanwhile.
    Visit(2);
    const QString shown = window->tabOperation->Caption(window->tabOperation->SelectedIndex());

    for (const auto& [value, expected] :
         {std::pair{"ENABLE", CheckBoxValue::Ticked}, {"DISABLE", CheckBoxValue::Cleared}}) {
        SCOPED_TRACE(value);
        ASSERT_EQ(engine().ApplyJobParameter(QStringLiteral("DeviceOptions.Blank Check"), QString::fromLatin1(value)),
                  0);
        QCoreApplication::processEvents();
        EXPECT_EQ(window->tabOperation->Caption(window->tabOperation->SelectedIndex()), shown);
        Visit(1);
        EXPECT_EQ(frmProgram::CheckValue(window->Check1[row]), expected) << Rows().join('\n').toStdString();
        EXPECT_EQ(window->cboOperation[row]->currentText(), QStringLiteral("Blank Check"));
        Visit(2);
    }
}

} // namespace
