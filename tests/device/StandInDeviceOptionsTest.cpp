// The simulated engine's members that the device dialogs lean on: the range
// check with its corrections, and the number texts.

#include "../companions/CompanionFixture.h"

#include "engine/QXPgmrControl.h"

namespace {

class StandInDeviceOptionsTest : public CompanionFixture
{
protected:
    void SetUp() override
    {
        CompanionFixture::SetUp();
        ASSERT_EQ(Register(QStringLiteral("QXPgmr.ocx")), companion::S_OK);
        engine.Attach(companion::CreateControl(QString::fromLatin1(QXPgmrControl::ClassName)));
        engine.StartupValue108(BinDir());
        ASSERT_EQ(engine.LoadAlgorithmDatabase(QStringLiteral("qxalg.db")), 0);
        QString name = QStringLiteral("AM27C512"); // 64K x 8
        ASSERT_EQ(engine.SelectDeviceByName(name, false), 0);
        ASSERT_EQ(engine.DeviceSize(), 65536);
    }

    QXPgmrControl engine;
};

TEST_F(StandInDeviceOptionsTest, OffsetInRangeCorrectsOnlyWhatItRefuses)
{
    struct Case
    {
        qint32 low, high, offset;
        bool inRange;
        qint32 low2, high2, offset2; // as the engine leaves them
    };
    const Case cases[] = {
        {0, 65535, 268435455, true, 0, 65535, 268435455},
        {16, 16, 0, true, 16, 16, 0},
        {0, 65536, 0, false, 0, 65535, 0},           // past the device
        {-5, 100, 0, false, 0, 100, 0},              // below it
        {200, 100, 0, false, 200, 200, 0},           // high below low
        {0, 10, -1, false, 0, 10, 0},                // negative offset
        {0, 10, 268435456, false, 0, 10, 268435455}, // offset too large
        {70000, 80000, 7, false, 65535, 65535, 7},
    };
    for (const Case& c : cases) {
        qint32 low = c.low, high = c.high, offset = c.offset;
        EXPECT_EQ(engine.IsOffsetInRange(low, high, offset), c.inRange) << c.low << ' ' << c.high << ' ' << c.offset;
        EXPECT_EQ(low, c.low2) << c.low;
        EXPECT_EQ(high, c.high2) << c.high;
        EXPECT_EQ(offset, c.offset2) << c.offset;
    }
}

TEST_F(StandInDeviceOptionsTest, NumberTextsAreUnsigned32BitValues)
{
    QString text = QStringLiteral("4294967295");
    EXPECT_TRUE(engine.IsValidDecimalText(text));
    text = QStringLiteral("4294967296");
    EXPECT_FALSE(engine.IsValidDecimalText(text));
    text = QStringLiteral("ffffFFFF");
    EXPECT_TRUE(engine.IsValidHexText(text));
    text = QStringLiteral("G");
    EXPECT_FALSE(engine.IsValidHexText(text));
    EXPECT_EQ(engine.TextToNumber(QStringLiteral("4294967295")), -1);
    qint32 value = -1;
    EXPECT_EQ(engine.NumberToText(value, true), QStringLiteral("FFFFFFFF"));
    EXPECT_EQ(engine.NumberToText(value, false), QStringLiteral("4294967295"));
    qint32 big = -1;
    qint32 small = 1;
    EXPECT_TRUE(engine.IsFirstAboveSecond(big, small));
    EXPECT_FALSE(engine.IsFirstAboveSecond(small, big));
}

} // namespace
