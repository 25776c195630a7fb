// The simulated engine's side of the job records: serialization settings
// checked, kept and read back, the socket module counters per site, and the
// automatic save of a job summary into the folder the host names.
#include "CompanionFixture.h"

#include "engine/QXPgmrControl.h"
#include "platform/Companion.h"
#include "platform/Dispatch.h"

#include <QDir>
#include <QFile>

namespace {

// Records the events raised; hands back a folder when asked for one.
class Host : public IEventSink
{
public:
    void Fire(const QString& name, QVariantList& args) override
    {
        events << name + QLatin1Char(':') + args.value(0).toString();
        if (name == QLatin1String("RequestAutoSaveSealbookDir") && !args.isEmpty())
            args[0] = folder;
    }
    QStringList events;
    QString folder;
};

class StandInRecordsTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
        engine.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
        engine.Control()->SetEventSink(&host);
        engine.StartupValue108(BinDir());
        ASSERT_EQ(engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
        engine.SelectDeviceByName(QStringLiteral("AM27C512"), false);
    }
    void TearDown() override
    {
        engine.Control()->SetEventSink(nullptr);
        CompanionFixture::TearDown();
    }

    struct Settings
    {
        qint16 mode = 0;
        qint32 size = 2;
        QString dataFile;
        QString address = QStringLiteral("1F0");
        qint16 hex = 1;
        QString first = QStringLiteral("A0");
        QString last = QStringLiteral("FF");
        QString program = QStringLiteral("\"/opt/serial tools/gen\" -n 4");
        qint32 resume = 0;
    };
    qint16 run(Settings s)
    {
        qint32 skip = 1;
        QString log = tempPath("serial.log");
        return engine.RunSerialization(s.mode, s.size, s.dataFile, s.address, skip, qint32(1), qint32(1), log,
                                       qint32(1), s.hex, s.first, s.last, s.program, s.resume);
    }
    qint32 isOn()
    {
        qint32 probe = 0;
        return engine.SerializationValueAt245(probe);
    }

    QXPgmrControl engine;
    Host host;
};

TEST_F(StandInRecordsTest, TakenSerializationSettingsAreReadBackAndTurnedOff)
{
    EXPECT_TRUE(engine.SerializationField244());
    EXPECT_FALSE(engine.SerializationValue303());
    EXPECT_EQ(isOn(), 0);

    Settings s;
    s.mode = 2;
    s.dataFile = tempPath("serial.dat");
    ASSERT_EQ(run(s), 0) << host.events.join('\n').toStdString();
    EXPECT_EQ(isOn(), 1);
    EXPECT_EQ(engine.SerialDataFilePath(), s.dataFile);
    EXPECT_EQ(engine.SerialLogFilePath(), tempPath("serial.log"));
    EXPECT_EQ(engine.SerializationField234(), "A0");
    EXPECT_EQ(engine.SerializationIndexRange(), "A0");
    EXPECT_EQ(engine.SerializationField235(), "FF");
    EXPECT_EQ(engine.SerializationField236(), s.program);
    EXPECT_EQ(engine.SerializationField237().toInt(), 0x1F0); // the address in its radix
    EXPECT_EQ(engine.SerializationField238(), 2);
    EXPECT_EQ(engine.SerializationField239(), 1);
    EXPECT_EQ(engine.SerializationField242(), 1);
    EXPECT_NE(engine.SerializationField260(), 0); // complex
    EXPECT_EQ(engine.SerializationValueAt314(s.program), "/opt/serial tools/gen");
    EXPECT_EQ(engine.SerializationValueAt314(QStringLiteral("  gen.sh -x ")), "gen.sh");

    engine.DisableSerialization();
    EXPECT_EQ(isOn(), 0);
}

TEST_F(StandInRecordsTest, RefusedSettingsAreLoggedWithTheirReasonAndNothingIsKept)
{
    struct Case
    {
        const char* name;
        void (*change)(Settings&, const QString& temp);
        const char* reason;
    };
    const Case cases[] = {
        {"data file folder missing", [](Settings& s, const QString& t) { s.dataFile = t + "/none/serial.dat"; },
         "does not exist"},
        {"size of 7 bytes", [](Settings& s, const QString&) { s.size = 7; }, "1 to 6 bytes"},
        {"size of 0 bytes", [](Settings& s, const QString&) { s.size = 0; }, "1 to 6 bytes"},
        // The serial numbers of a serialization program (modes 2 and 3).
        {"first above last",
         [](Settings& s, const QString&) {
             s.mode = 2;
             s.first = "100";
         },
         "is above the last"},
        {"not a number in the radix",
         [](Settings& s, const QString&) {
             s.mode = 3;
             s.hex = 0;
         },
         "not numbers in base 10"},
        {"index ranges backwards",
         [](Settings& s, const QString&) {
             s.mode = 4;
             s.first = "1,9-3";
         },
         "cannot be read"},
        {"index ranges with a word",
         [](Settings& s, const QString&) {
             s.mode = 4;
             s.first = "1,x";
         },
         "cannot be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.events.clear();
        Settings s;
        c.change(s, tempPath());
        EXPECT_NE(run(s), 0);
        ASSERT_EQ(host.events.size(), 1);
        EXPECT_TRUE(host.events[0].startsWith("LogMessage:")) << host.events[0].toStdString();
        EXPECT_TRUE(host.events[0].contains(QLatin1String(c.reason))) << host.events[0].toStdString();
        EXPECT_EQ(isOn(), 0);
    }
    // The simple layout has no serial numbers: whatever the dialog holds in
    // their fields is not looked at.
    for (const qint16 mode : {qint16(0), qint16(1)}) {
        Settings simple;
        simple.mode = mode;
        simple.first.clear();
        simple.last = QStringLiteral("not a number");
        EXPECT_EQ(run(simple), 0) << mode;
    }
    // Resuming needs no first serial number; STAPL ranges in order pass.
    Settings resume;
    resume.mode = 2;
    resume.first.clear();
    resume.resume = 1;
    EXPECT_EQ(run(resume), 0);
    Settings stapl;
    stapl.mode = 4;
    stapl.first = "1,3,5-12";
    EXPECT_EQ(run(stapl), 0);
}

TEST_F(StandInRecordsTest, SocketCountersPerSiteAndTheirKnobs)
{
    struct Case
    {
        const char* knob;
        qint32 site;
        qint32 result;
        bool daughterCard;
    };
    for (const Case c : {Case{"", 1, 0, true}, Case{"", 2, 1, true}, Case{"", 0, 1, true},
                         Case{"nodaughtercard", 1, 0, false}, Case{"unavailable", 1, 1, true}}) {
        SCOPED_TRACE(std::string(c.knob) + " site " + std::to_string(c.site));
        qputenv("TARVO_ENGINE_SOCKETS", c.knob);
        qint32 smTotal = -7, smSinceReset = -7, dcTotal = -7, dcSinceReset = -7;
        EXPECT_EQ(engine.SocketModuleCount(c.site, smTotal, smSinceReset, dcTotal, dcSinceReset), c.result);
        if (c.result == 0) {
            EXPECT_GT(smTotal, smSinceReset);
            EXPECT_GT(smSinceReset, 0);
            EXPECT_EQ(dcTotal == -1 && dcSinceReset == -1, !c.daughterCard);
        }
    }
    qunsetenv("TARVO_ENGINE_SOCKETS");
}

TEST_F(StandInRecordsTest, AJobSummaryIsSavedInTheHostsFolderOrTheHostIsTold)
{
    host.folder = tempPath("summaries");
    ASSERT_TRUE(QDir().mkpath(host.folder));
    engine.AutoSaveJobSummary(QStringLiteral("Job Summary\nStatistics:\r\n\tPassed 3"));
    const QStringList files = QDir(host.folder).entryList({"JobSummary_*.txt"}, QDir::Files);
    ASSERT_EQ(files.size(), 1);
    QFile saved(QDir(host.folder).filePath(files[0]));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("Job Summary\r\nStatistics:\r\n\tPassed 3"));
    EXPECT_TRUE(host.events.filter("SysInfoMessage").isEmpty());

    // Jobs that end within one second each keep their own report.
    for (const char* text : {"second", "third"})
        engine.AutoSaveJobSummary(QString::fromLatin1(text));
    QStringList texts;
    for (const QString& name : QDir(host.folder).entryList({"JobSummary_*.txt"}, QDir::Files, QDir::Name)) {
        QFile file(QDir(host.folder).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        texts << QString::fromUtf8(file.readAll()).section('\r', 0, 0);
    }
    texts.sort();
    EXPECT_EQ(texts, QStringList({"Job Summary", "second", "third"}));

    host.folder = tempPath("summaries/missing");
    engine.AutoSaveJobSummary(QStringLiteral("Job Summary"));
    ASSERT_EQ(host.events.filter("SysInfoMessage").size(), 1);
    EXPECT_TRUE(host.events.filter("SysInfoMessage")[0].contains(host.folder));
}

} // namespace
