// The simulated engine's side of the configuration dialog: the configuration
// values it compares, the master module handed over at initialisation, and a
// model change that raises nothing.
#include "CompanionFixture.h"

#include "engine/QXPgmrControl.h"
#include "platform/Companion.h"
#include "platform/Dispatch.h"

namespace {

class StandInConfigTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
        engine.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
        engine.StartupValue108(BinDir());
        ASSERT_EQ(engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
    }

    QXPgmrControl engine;
};

// Records every event raised.
class EventLog : public IEventSink
{
public:
    void Fire(const QString& name, QVariantList&) override { events << name; }
    QStringList events;
};

TEST_F(StandInConfigTest, ConfigurationValuesFollowModelAndMasterModule)
{
    engine.SelectProgrammerModel(qint32(11)); // 8 sites, 4 a module
    engine.SelectMasterSite(qint32(1));
    const qint32 atModule1 = engine.ConfigureValue132();
    // The value a module would give is the value the station has on it.
    EXPECT_EQ(engine.ModelValue315(qint16(0)), atModule1);
    EXPECT_NE(engine.ModelValue315(qint16(1)), atModule1);
    engine.SelectMasterSite(qint32(2));
    EXPECT_EQ(engine.ConfigureValue132(), engine.ModelValue315(qint16(1)));
    EXPECT_EQ(engine.ModelValue315(qint16(2)), 0); // no module 3

    // Another model: another value for the same module.
    engine.SelectProgrammerModel(qint32(12));
    engine.SelectMasterSite(qint32(1));
    EXPECT_NE(engine.ConfigureValue132(), atModule1);
}

TEST_F(StandInConfigTest, InitialisationTakesTheMasterModule)
{
    struct Case
    {
        int model, module, site;
    };
    // 8 sites of 4, 16 sites of 2, single site; a module the model lacks
    // leaves the master site where it was.
    const Case cases[] = {{11, 2, 5}, {14, 3, 5}, {0, 1, 1}, {11, 3, 1}, {11, 0, 1}};
    for (const Case& c : cases) {
        engine.SelectProgrammerModel(qint32(c.model));
        engine.MasterSite(qint32(1));
        EXPECT_EQ(engine.InitializeEngine194(qint32(c.module)), 0);
        EXPECT_EQ(engine.MasterSite(), c.site) << c.model << "/" << c.module;
    }
}

TEST_F(StandInConfigTest, SelectingAModelRaisesNoEvent)
{
    EventLog log;
    engine.Control()->SetEventSink(&log);
    for (qint32 model : {12, 0, 23})
        engine.SelectProgrammerModel(model);
    engine.Control()->SetEventSink(nullptr);
    EXPECT_TRUE(log.events.isEmpty()) << log.events.join(", ").toStdString();
    EXPECT_EQ(engine.ProgrammerModelIndex(), 23);
}

} // namespace
