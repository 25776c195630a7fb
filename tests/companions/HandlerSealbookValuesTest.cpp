// The simulated automatic handler's part of a Sealbook auto file: it writes
// (SealbookAutoValue59) and reads (SealbookAutoValue58) its places, marker
// and package through its host's Sealbook requests; a failed read takes
// nothing, a missing key keeps its value, a host that does not answer fails.

#include "CompanionFixture.h"

#include "engine/H950HdlrControl.h"

#include <QMap>

namespace {

// The host's open file: section/key -> value. A read of a key in failing
// answers that status.
class FileHost : public IEventSink
{
public:
    void Fire(const QString& name, QVariantList& args) override
    {
        const QString key = args.value(0).toString() + QLatin1Char('/') + args.value(1).toString();
        if (name == QLatin1String("ReadSealbookValueRequest")) {
            if (failing.contains(key)) {
                args[4] = failing.value(key);
            } else {
                args[4] = qint32(values.contains(key) ? 0 : 1);
                args[5] = values.value(key);
            }
        } else if (name == QLatin1String("WriteSealbookValueRequest")) {
            values.insert(key, args.value(3).toString());
            args[6] = qint32(0);
        }
    }
    QMap<QString, QString> values;
    QMap<QString, qint32> failing;
};

class HandlerSealbookValuesTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        ASSERT_EQ(Register(QStringLiteral("H950Hdlr.ocx")), companion::S_OK);
        handler.Attach(companion::CreateControl(QString::fromLatin1(H950HdlrControl::ClassName)));
        handler.Control()->SetEventSink(&host);
        Set({"TRAY3", "TRAY4", "TUBE1", "TUBE2", "LASER", "PLCC44"});
    }
    void TearDown() override
    {
        handler.Control()->SetEventSink(nullptr);
        CompanionFixture::TearDown();
    }
    void Set(const QStringList& v)
    {
        handler.PrimarySource(v[0]);
        handler.AlternateSource(v[1]);
        handler.PrimaryDestination(v[2]);
        handler.AlternateDestination(v[3]);
        handler.Marker(v[4]);
        handler.Package(v[5]);
    }
    QStringList Settings()
    {
        return {handler.PrimarySource(),        handler.AlternateSource(), handler.PrimaryDestination(),
                handler.AlternateDestination(), handler.Marker(),          handler.Package()};
    }

    H950HdlrControl handler;
    FileHost host;
};

const QStringList kOther{"S1", "S2", "D1", "D2", "INK", "TSOP32"};

TEST_F(HandlerSealbookValuesTest, WritesItsSixSettingsAndReadsThemBack)
{
    ASSERT_EQ(handler.SealbookAutoValue59(), 0);
    EXPECT_EQ(host.values,
              (QMap<QString, QString>{{"H950hdlr/Primary Source", "TRAY3"},
                                      {"H950hdlr/Alternate Source", "TRAY4"},
                                      {"H950hdlr/Primary Destination", "TUBE1"},
                                      {"H950hdlr/Alternate Destination", "TUBE2"},
                                      {"H950hdlr/Marker", "LASER"},
                                      {"H950hdlr/Package", "PLCC44"}}));
    Set(kOther);
    ASSERT_EQ(handler.SealbookAutoValue58(), 0);
    EXPECT_EQ(Settings(), (QStringList{"TRAY3", "TRAY4", "TUBE1", "TUBE2", "LASER", "PLCC44"}));
}

TEST_F(HandlerSealbookValuesTest, AMissingKeyKeepsItsValueAndAFailedReadTakesNothing)
{
    ASSERT_EQ(handler.SealbookAutoValue59(), 0);
    host.values.remove("H950hdlr/Marker");
    Set(kOther);
    ASSERT_EQ(handler.SealbookAutoValue58(), 0);
    EXPECT_EQ(Settings(), (QStringList{"TRAY3", "TRAY4", "TUBE1", "TUBE2", "INK", "PLCC44"}));

    // The fourth read fails: the three before it are not taken either.
    Set(kOther);
    host.failing.insert("H950hdlr/Alternate Destination", 2);
    EXPECT_EQ(handler.SealbookAutoValue58(), 2);
    EXPECT_EQ(Settings(), kOther);
}

TEST_F(HandlerSealbookValuesTest, WithoutAHostToAnswerBothFail)
{
    handler.Control()->SetEventSink(nullptr);
    EXPECT_EQ(handler.SealbookAutoValue59(), -1);
    EXPECT_EQ(handler.SealbookAutoValue58(), -1);
    EXPECT_EQ(Settings(), (QStringList{"TRAY3", "TRAY4", "TUBE1", "TUBE2", "LASER", "PLCC44"}));
}

} // namespace
