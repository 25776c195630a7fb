// The simulated engine's extra commands, its own dialogs, the device it runs
// only on some models, and the journal of what the host put and called.

#include "CompanionFixture.h"

#include "../../companions/qxpgmr/QXPgmrTestHook.h"

#include "engine/QXPgmrControl.h"
#include "platform/AutomationError.h"
#include "platform/Companion.h"
#include "platform/Dispatch.h"
#include "qxbuffer/DataBuffer.h"

#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>

namespace {

constexpr qint32 E_INVALIDARG = qint32(0x80070057u);

class EventLog : public IEventSink
{
public:
    void Fire(const QString& name, QVariantList& args) override
    {
        events << (args.isEmpty() ? name : name + QLatin1Char(' ') + args.value(0).toString());
    }
    QStringList events;
};

class StandInExtrasTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
        engine.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
        engine.StartupValue108(BinDir());
        ASSERT_EQ(engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
        engine.Control()->SetEventSink(&log);
    }
    void TearDown() override
    {
        engine.Control()->SetEventSink(nullptr);
        qunsetenv("TARVO_ENGINE_FAULTS");
        CompanionFixture::TearDown();
    }
    bool Select(const QString& device)
    {
        QString name = device;
        return engine.SelectDeviceByName(name, false) == 0;
    }
    // The automation error a call raised; 0 when it raised none.
    static qint32 ErrorOf(const std::function<void()>& call)
    {
        try {
            call();
        } catch (const AutomationError& error) {
            return error.Number();
        }
        return 0;
    }

    QXPgmrControl engine;
    EventLog log;
};

TEST_F(StandInExtrasTest, ExtraCommandsByIndexOrNameSayWhatTheyDid)
{
    ASSERT_TRUE(Select(QStringLiteral("NV29LV160B"))); // Unlock Bypass, E-FIELD, CFI Query
    engine.DisplayRadix(qint32(0));
    const struct
    {
        qint32 index;
        const char* name;
        const char* value;
        qint32 result;
        qint32 radixAfter;
        const char* status; // nullptr: none
    } cases[] = {
        {1, "", "", 0, 0, "E-FIELD done."},
        {0, "cfi query", "", 0, 0, "CFI Query done."},
        {0, "DisplayRadix", "HEX", 0, 1, "Display radix set to hexadecimal."},
        {0, "DisplayRadix", "", 0, 0, "Display radix set to decimal."}, // nothing: the other one
        {0, "DisplayRadix", "", 0, 1, "Display radix set to hexadecimal."},
        {0, "displayradix", "dec", 0, 0, "Display radix set to decimal."},
        {0, "DisplayRadix", "OCT", 2, 0, nullptr},
        {0, "FillBuffer", "1FF", 2, 0, nullptr},
        {0, "FillBuffer", "zz", 2, 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.index << ' ' << c.name << ' ' << c.value);
        log.events.clear();
        EXPECT_EQ(engine.RunExtraCommand(c.index, QString::fromLatin1(c.name), QString::fromLatin1(c.value)), c.result);
        EXPECT_EQ(engine.DisplayRadix(), c.radixAfter);
        QStringList expected;
        // A radix set is reported to the station, which keeps it with the job.
        if (c.status && QByteArray(c.name).toLower() == "displayradix")
            expected << QStringLiteral("UpdateJobSetting%1 %2").arg(33).arg(c.radixAfter ? -1 : 0);
        if (c.status)
            expected << QStringLiteral("StatusTextReported ") + QLatin1String(c.status);
        EXPECT_EQ(log.events, expected);
    }

    // An index or a name the device does not have is an automation error.
    for (const auto& [index, name] : {std::pair{3, ""}, std::pair{-1, ""}, std::pair{0, "Bad Block Scan"}}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ErrorOf([&] { engine.RunExtraCommand(qint32(index), QString::fromLatin1(name), QString()); }),
                  E_INVALIDARG);
    }
    ASSERT_TRUE(Select(QStringLiteral("AM27C512"))); // no extra commands
    EXPECT_EQ(ErrorOf([&] { engine.RunExtraCommand(qint32(0), QString(), QString()); }), E_INVALIDARG);

    qputenv("TARVO_ENGINE_FAULTS", "extra=0x80004005");
    EXPECT_EQ(ErrorOf([&] { engine.RunExtraCommand(qint32(0), QStringLiteral("DisplayRadix"), QString()); }),
              qint32(0x80004005u));
}

TEST_F(StandInExtrasTest, FillBufferFillsTheSharedBufferAndKeepsItsFillByte)
{
    DataBuffer& buffer = DataBuffer::Instance();
    buffer.Resize(64);
    buffer.Clear();
    buffer.SetByte(3, 0x11);
    const quint8 fill = buffer.FillByte();

    EXPECT_EQ(engine.RunExtraCommand(qint32(0), QStringLiteral("FillBuffer"), QStringLiteral("5a")), 0);
    EXPECT_EQ(buffer.Bytes(0, 64), QByteArray(64, char(0x5A)));
    EXPECT_EQ(buffer.FillByte(), fill);
    EXPECT_EQ(log.events, (QStringList{"BufferCleared", "StatusTextReported Buffer filled with 5A."}));

    EXPECT_EQ(engine.RunExtraCommand(qint32(0), QStringLiteral("FillBuffer"), QString()), 0);
    EXPECT_EQ(buffer.Bytes(0, 64), QByteArray(64, char(0xFF)));
    buffer.Resize(0);
}

TEST_F(StandInExtrasTest, EachEngineDialogOpensAndCanBeMadeToFail)
{
    ASSERT_TRUE(Select(QStringLiteral("NV30F1G08")));
    const struct
    {
        int dispid;
        const char* member;
        const char* title;
        const char* shows; // a line of what it shows
    } dialogs[] = {
        {QXPgmrId::ShowDeviceInfo, "ShowDeviceInfo", "Device Info", "NV30F1G08"},
        {QXPgmrId::ShowNandOptions, "ShowNandOptions", "NAND Options", "Bad block handling: skip"},
        {QXPgmrId::ShowSiteNumberAssignment, "ShowSiteNumberAssignment", "Site Number Assignment", "Socket 1: site 1"},
        {QXPgmrId::ShowSocketModuleCounter, "ShowSocketModuleCounter", "Socket Module Counter",
         "Module 1: 0 insertions"},
        {QXPgmrId::ShowSocketModuleInfo, "ShowSocketModuleInfo", "Socket Module Info", "RA-210"},
        {QXPgmrId::ShowPowerSupplyDialog, "ShowPowerSupplyDialog", "Power Supply", "VCC 5.00 V"},
    };
    for (const auto& d : dialogs) {
        SCOPED_TRACE(d.member);
        for (const bool planned : {false, true}) {
            qputenv("TARVO_ENGINE_FAULTS", planned ? QByteArray("dialog.") + d.member + "=0x800A0005" : QByteArray());
            QString shown, title, text;
            ui().OnModal([&](QDialog* dialog) {
                shown = dialog->objectName();
                title = dialog->windowTitle();
                text = dialog->findChild<QLabel*>(QStringLiteral("lblInfo"))->text();
                // Wide enough for a title bar to show the whole title beside
                // an icon and three buttons.
                dialog->show();
                QFont bold = dialog->font();
                bold.setBold(true);
                const int bar = dialog->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, dialog);
                EXPECT_GE(dialog->width(), QFontMetrics(bold).horizontalAdvance(dialog->windowTitle()) + 4 * bar);
                dialog->accept();
                return dialog->result();
            });
            QVariantList none;
            EXPECT_EQ(ErrorOf([&] { engine.Control()->Invoke(d.dispid, InvokeKind::Method, none); }),
                      planned ? qint32(0x800A0005u) : 0);
            EXPECT_EQ(shown, QLatin1String(d.member));
            EXPECT_EQ(title, QLatin1String(d.title));
            EXPECT_TRUE(text.split(QLatin1Char('\n')).contains(QLatin1String(d.shows))) << qPrintable(text);
        }
    }
}

TEST_F(StandInExtrasTest, AGangOnlyDeviceIsRefusedOnOtherModelsAndTheShippedOnesRunEverywhere)
{
    const QString gang = QStringLiteral("NV29GL128-G");
    const qint32 models = engine.ProgrammerModelCount();
    for (qint32 model = 0; model < models; ++model) {
        SCOPED_TRACE(model);
        engine.SelectProgrammerModel(model);
        ASSERT_TRUE(Select(QStringLiteral("AM27C512")));
        log.events.clear();
        const bool gangModel = model >= 10 && model <= 12;
        EXPECT_EQ(Select(gang), gangModel);
        if (!gangModel) {
            EXPECT_EQ(log.events,
                      QStringList{QStringLiteral("StatusTextReported The %1 does not run the %2.")
                                      .arg(engine.ProgrammerModelName(), gang)});
            // The station settles on no device, as after an unknown name.
            engine.RefreshState202(qint32(0), qint32(0), qint32(0));
            EXPECT_EQ(engine.DeviceName(), QStringLiteral("No Device Selected"));
        }
    }
}

TEST_F(StandInExtrasTest, TheJournalHoldsPutsAndCallsButNotGets)
{
    qxpgmrtest::TakeJournal(*engine.Control()); // the set-up's own
    engine.DisplayRadix(qint32(1));
    engine.DisplayRadix();
    engine.SelectProgrammerModel(qint32(11));
    engine.RunExtraCommand(qint32(0), QStringLiteral("DisplayRadix"), QStringLiteral("DEC"));
    engine.ShowErrorMessages(true);
    EXPECT_EQ(qxpgmrtest::TakeJournal(*engine.Control()),
              (QStringList{"DisplayRadix=1", "SelectProgrammerModel(11)", "RunExtraCommand(0,DisplayRadix,DEC)",
                           "ShowErrorMessages=-1"}));
    EXPECT_TRUE(qxpgmrtest::TakeJournal(*engine.Control()).isEmpty());
    // A model change raises nothing.
    EXPECT_EQ(log.events, (QStringList{"UpdateJobSetting33 0", "StatusTextReported Display radix set to decimal."}));
}

// Tools > Options: reading ToolsOption1013 shows the engine's options; OK
// keeps the boxes and answers 1, Cancel keeps nothing and answers 0.
TEST_F(StandInExtrasTest, TheOptionsDialogKeepsWhatOkConfirms)
{
    const auto answer = [this](bool ok) {
        ui().OnModal([ok](QDialog* dialog) {
            EXPECT_EQ(dialog->objectName(), QStringLiteral("ToolsOption1013"));
            for (const char* box : {"chkBeep", "chkMatchChipPinAndSocket"})
                dialog->findChild<QCheckBox*>(QLatin1String(box))->setChecked(true);
            ok ? dialog->accept() : dialog->reject();
            return dialog->result();
        });
        return engine.ToolsOption1013();
    };
    EXPECT_EQ(answer(false), 0);
    EXPECT_FALSE(engine.ToolsOption66());
    EXPECT_EQ(engine.ToolsOption278(), 0);
    EXPECT_EQ(answer(true), 1);
    EXPECT_TRUE(engine.ToolsOption66());
    EXPECT_EQ(engine.ToolsOption278(), 1);
    EXPECT_FALSE(engine.ToolsOption68());
    EXPECT_FALSE(engine.ToolsOption327());
}

// The fuse checksum sums the fuses packed eight to a byte; a device that is
// not counted in fuses has none.
TEST_F(StandInExtrasTest, FuseChecksumOfAFuseDevice)
{
    ASSERT_TRUE(Select(QStringLiteral("AM27C512")));
    EXPECT_EQ(engine.FuseChecksum(), 0);
    ASSERT_TRUE(Select(QStringLiteral("GAL22V10")));
    DataBuffer& buffer = DataBuffer::Instance();
    ASSERT_GT(buffer.Size(), 16);
    QByteArray fuses(buffer.Size(), '\0');
    // Fuses 0 and 9 set: bytes 0x01 and 0x02; fuse 15 adds 0x80 to the second.
    fuses[0] = 1;
    fuses[9] = 1;
    fuses[15] = 1;
    buffer.Write(0, reinterpret_cast<const quint8*>(fuses.constData()), fuses.size());
    EXPECT_EQ(engine.FuseChecksum(), 0x01 + 0x82);
}

} // namespace
