// The engine's unsigned number texts, which the dialogs rely on for
// addresses the program's signed Long cannot hold.
#include "NumberText.h"

#include <gtest/gtest.h>

TEST(NumberTextTest, DecimalTexts)
{
    const struct
    {
        const char* text;
        bool valid;
        quint32 value;
    } cases[] = {
        {"0", true, 0},
        {"4294967295", true, 4294967295u},
        {"0000000001", true, 1},
        {"4294967296", false, 0},  // one past 32 bits: refused, not wrapped
        {"99999999999", false, 0}, // eleven digits
        {"", false, 0},
        {"-1", false, 0},
        {"+1", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"0x10", false, 0},
        {"12a", false, 0},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        bool ok = !c.valid;
        EXPECT_EQ(NumberText::IsValidDecimalText(text), c.valid) << c.text;
        EXPECT_EQ(NumberText::TextToNumber(text, &ok), c.value) << c.text;
        EXPECT_EQ(ok, c.valid) << c.text;
    }
}

TEST(NumberTextTest, HexTextsAndUnsignedComparison)
{
    const struct
    {
        const char* text;
        bool valid;
    } cases[] = {{"0", true}, {"FFFFFFFF", true}, {"deadBEEF", true}, {"100000000", false},
                 {"", false},  {"&HFF", false},   {"0x1", false},      {"G", false}, {" F", false}};
    for (const auto& c : cases)
        EXPECT_EQ(NumberText::IsValidHexText(QString::fromLatin1(c.text)), c.valid) << c.text;

    EXPECT_EQ(NumberText::NumberToText(4294967295u), QStringLiteral("4294967295"));
    EXPECT_EQ(NumberText::NumberToText(0xABCu, true), QStringLiteral("ABC"));
    // Above 2^31 still compares as a larger number.
    EXPECT_TRUE(NumberText::IsFirstAboveSecond(0x80000000u, 0x7FFFFFFFu));
    EXPECT_FALSE(NumberText::IsFirstAboveSecond(0xFFFFFFFFu, 0xFFFFFFFFu));
}
