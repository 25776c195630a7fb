// The simulated automatic handler's part of a Sealbook auto file: it writes
// (SealbookAutoValue59) and reads (SealbookAutoValue58) its places, marker
// and package, and its panel's empty-socket test interval and laser marker
// lines, through its host's Sealbook requests (the numbers through the
// requests that answer numbers); a failed read takes nothing, a missing key
// keeps its value, a host that does not answer fails.

#include "CompanionFixture.h"
#include "HandlerSettings.h"

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
        } else if (name == QLatin1String("ReadSealbookLongRequest")
                   || name == QLatin1String("ReadSealbookStringRequest")) {
            // As the station answers them: the engine's value, else the
            // default, as a number.
            args[3] = qint32(values.value(key, args.value(2).toString()).toInt());
        }
        if (name.startsWith(QLatin1String("Read")))
            reads << name + QLatin1Char(' ') + args.value(1).toString();
    }
    QStringList reads;
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
    void Set(const QStringList& v) { SetHandlerSettings(handler, v); }
    QStringList Settings() { return HandlerSettings(handler); }

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
                                      {"H950hdlr/Package", "PLCC44"},
                                      {"H950hdlr/Empty Socket Test Interval", "0"},
                                      {"H950hdlr/Laser Marker Lines", "0"}}));
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

// The panel's values (planned here) go into the file and come back through
// the number requests into a handler that had none; a file without them (of
// an older handler) leaves a handler its own; a count of lines the file does
// not hold is refused and nothing is taken.
TEST_F(HandlerSealbookValuesTest, ThePanelsValuesTravelInTheFileAsNumbersAndLines)
{
    const QByteArray saved = qgetenv("TARVO_ENGINE_FAULTS");
    qputenv("TARVO_ENGINE_FAULTS", "auto.marker=LOT 7|SN 0001;auto.emptytest=25;auto.neweditor=1");
    H950HdlrControl panel;
    panel.Attach(companion::CreateControl(QString::fromLatin1(H950HdlrControl::ClassName)));
    qputenv("TARVO_ENGINE_FAULTS", saved);
    // The editor is the panel's alone: no file carries it.
    EXPECT_TRUE(panel.LabelerValue67());
    EXPECT_FALSE(handler.LabelerValue67());
    panel.Control()->SetEventSink(&host);
    ASSERT_EQ(panel.SealbookAutoValue59(), 0);
    panel.Control()->SetEventSink(nullptr);
    EXPECT_EQ(host.values.value("H950hdlr/Empty Socket Test Interval"), "25");
    EXPECT_EQ(host.values.value("H950hdlr/Laser Marker Lines"), "2");
    EXPECT_EQ(host.values.value("H950hdlr/Laser Marker Line 2"), "SN 0001");

    const auto marker = [](H950HdlrControl& h) {
        QStringList lines;
        for (qint32 i = 0; i < h.LaserMarkerLineCount(); ++i) {
            qint32 index = i;
            lines << h.LaserMarkerLineAt(index);
        }
        return lines;
    };
    ASSERT_EQ(handler.SealbookAutoValue58(), 0);
    EXPECT_EQ(marker(handler), (QStringList{"LOT 7", "SN 0001"}));
    EXPECT_EQ(handler.EmptySocketTestInterval(), 25);
    EXPECT_TRUE(host.reads.contains("ReadSealbookLongRequest Empty Socket Test Interval"))
        << host.reads.join('\n').toStdString();
    EXPECT_TRUE(host.reads.contains("ReadSealbookStringRequest Laser Marker Lines"))
        << host.reads.join('\n').toStdString();

    // An older handler's file: the values stay.
    QMap<QString, QString> older = host.values;
    for (const QString& key : host.values.keys()) {
        if (key.contains("Laser") || key.contains("Empty Socket"))
            older.remove(key);
    }
    host.values = older;
    ASSERT_EQ(handler.SealbookAutoValue58(), 0);
    EXPECT_EQ(marker(handler), (QStringList{"LOT 7", "SN 0001"}));
    EXPECT_EQ(handler.EmptySocketTestInterval(), 25);

    // Three lines counted, none there: refused, nothing taken.
    host.values.insert("H950hdlr/Laser Marker Lines", "3");
    host.values.insert("H950hdlr/Empty Socket Test Interval", "9");
    Set(kOther);
    EXPECT_EQ(handler.SealbookAutoValue58(), 3);
    EXPECT_EQ(Settings(), kOther);
    EXPECT_EQ(handler.EmptySocketTestInterval(), 25);
    EXPECT_EQ(marker(handler), (QStringList{"LOT 7", "SN 0001"}));
}

} // namespace
