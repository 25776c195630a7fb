// The automatic handler's job files (".aqx") as the station relies on them:
// what Save writes, that Load gives the settings back, and that a file that
// is not a handler job file (or a damaged one) is refused with every setting
// as it was.
#include "CompanionFixture.h"

#include "engine/H950HdlrControl.h"

#include <QDir>
#include <QFile>
#include <random>

namespace {

class HandlerJobFileTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        ASSERT_EQ(Register(QStringLiteral("H950Hdlr.ocx")), companion::S_OK);
        handler.Attach(companion::CreateControl(QString::fromLatin1(H950HdlrControl::ClassName)));
        handler.Quantity(qint32(250));
        handler.PrimarySource(QStringLiteral("TRAY A"));
        handler.AlternateSource(QStringLiteral("TRAY B"));
        handler.PrimaryDestination(QStringLiteral("TUBE 1"));
        handler.AlternateDestination(QStringLiteral("TUBE 2"));
        handler.Marker(QStringLiteral("LOT=7; ok"));
        handler.Package(QStringLiteral("PLCC44"));
        handler.SealbookAutoFileDirectory(QStringLiteral("/srv/jobs"));
        handler.SerialNumber(QStringLiteral("SN-0042"));
    }

    QStringList Settings()
    {
        return {QString::number(handler.Quantity()),
                handler.PrimarySource(),
                handler.AlternateSource(),
                handler.PrimaryDestination(),
                handler.AlternateDestination(),
                handler.Marker(),
                handler.Package(),
                handler.SealbookAutoFileDirectory(),
                handler.SerialNumber()};
    }

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = tempPath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QByteArray Read(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    H950HdlrControl handler;
};

const QByteArray kGood = "[H950Job]\r\n"
                         "Quantity=250\r\n"
                         "Primary Source=TRAY A\r\n"
                         "Alternate Source=TRAY B\r\n"
                         "Primary Destination=TUBE 1\r\n"
                         "Alternate Destination=TUBE 2\r\n"
                         "Marker=LOT=7; ok\r\n"
                         "Package=PLCC44\r\n"
                         "SKAuto File Directory=/srv/jobs\r\n"
                         "Serial Number=SN-0042\r\n";

TEST_F(HandlerJobFileTest, SaveWritesTheSectionAndLoadGivesTheSettingsBack)
{
    const QString path = tempPath(QStringLiteral("job.aqx"));
    EXPECT_NE(handler.SaveHandlerJobFile(path), 0);
    EXPECT_EQ(Read(path), kGood);
    const QStringList saved = Settings();

    handler.Quantity(qint32(1));
    handler.Marker(QString());
    handler.SerialNumber(QStringLiteral("other"));
    EXPECT_NE(handler.LoadHandlerJobFile(path), 0);
    EXPECT_EQ(Settings(), saved);

    // Keys left out keep their values; LF alone and blank lines are read too.
    handler.Package(QStringLiteral("DIP8"));
    EXPECT_NE(handler.LoadHandlerJobFile(Write("part.aqx", "\n[H950Job]\nQuantity=9\n\nMarker=\n")), 0);
    EXPECT_EQ(handler.Quantity(), 9);
    EXPECT_EQ(handler.Marker(), QString());
    EXPECT_EQ(handler.Package(), QStringLiteral("DIP8"));
}

TEST_F(HandlerJobFileTest, AForeignFileIsRefusedAndChangesNothing)
{
    const struct
    {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"a job file of the station", "[Job]\r\nDevice=AM27C512\r\n"},
        {"a key before the section", "Quantity=5\r\n[H950Job]\r\n"},
        {"an unknown key", "[H950Job]\r\nQuantity=5\r\nSpeed=fast\r\n"},
        {"a line without a value", "[H950Job]\r\nQuantity=5\r\nPackage\r\n"},
        {"a quantity that is no number", "[H950Job]\r\nQuantity=many\r\n"},
        {"a negative quantity", "[H950Job]\r\nQuantity=-3\r\n"},
        {"a key twice", "[H950Job]\r\nMarker=a\r\nMarker=b\r\n"},
        {"an empty file", ""},
        {"binary", QByteArray("[H950Job]\r\nMarker=a\0b\r\n", 22)},
    };
    const QStringList before = Settings();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(handler.LoadHandlerJobFile(Write(QStringLiteral("foreign.aqx"), c.bytes)), 0);
        EXPECT_EQ(Settings(), before);
    }
    EXPECT_EQ(handler.LoadHandlerJobFile(tempPath(QStringLiteral("missing.aqx"))), 0);
    EXPECT_EQ(Settings(), before);
}

TEST_F(HandlerJobFileTest, AFailedSaveLeavesTheOldFileWhole)
{
    const QString path = Write(QStringLiteral("job.aqx"), kGood);
    // A value with a line break could not be read back: nothing is written.
    handler.Marker(QStringLiteral("two\nlines"));
    EXPECT_EQ(handler.SaveHandlerJobFile(path), 0);
    EXPECT_EQ(Read(path), kGood);
    handler.Marker(QStringLiteral("one line"));
    // A folder that cannot be: a file stands in its place.
    EXPECT_EQ(handler.SaveHandlerJobFile(Write(QStringLiteral("plain"), "x") + QStringLiteral("/job.aqx")), 0);
    // Nothing but the file itself is left in its folder.
    EXPECT_NE(handler.SaveHandlerJobFile(path), 0);
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("job.aqx"), QStringLiteral("plain")}));
}

TEST_F(HandlerJobFileTest, DamagedCopiesOfAGoodFileAreReadOrRefusedWhole)
{
    // A fixed seed: the same damaged files in every run.
    std::mt19937 rng(20261210);
    const QList<QByteArray> lines = kGood.split('\n');
    int refused = 0;
    for (int round = 0; round < 600; ++round) {
        QList<QByteArray> copy = lines;
        for (int e = 0, edits = 1 + int(rng() % 3); e < edits && !copy.isEmpty(); ++e) {
            const int at = int(rng() % quint32(copy.size()));
            QByteArray& line = copy[at];
            switch (rng() % 5) {
            case 0:
                if (!line.isEmpty())
                    line[int(rng() % quint32(line.size()))] = char(rng() % 256);
                break;
            case 1: line.truncate(int(rng() % quint32(line.size() + 1))); break;
            case 2: copy.insert(at, line); break;
            case 3: copy.removeAt(at); break;
            default: std::swap(copy[at], copy[int(rng() % quint32(copy.size()))]); break;
            }
        }
        const QStringList before = Settings();
        if (handler.LoadHandlerJobFile(Write(QStringLiteral("damaged.aqx"), copy.join('\n'))) == 0) {
            ++refused;
            ASSERT_EQ(Settings(), before) << round;
        }
    }
    // Most damage makes a file foreign; some leaves a readable one.
    EXPECT_GT(refused, 0);
    EXPECT_LT(refused, 600);
}

} // namespace
