// The number-entry rule of the device dialogs' boxes, on a box of the
// test's own: what is refused, with which box, and what comes back.

#include "TestEnv.h"

#include "device/NumberEntry.h"
#include "platform/UiService.h"

#include <QRegularExpression>

namespace {

class NumberEntryTest : public TarvoTest
{
protected:
    static NumberEntry::Validity Validity()
    {
        return {[](const QString& t) {
                    return QRegularExpression(QStringLiteral("^[0-9]{1,10}$")).match(t).hasMatch()
                           && t.toULongLong() <= 4294967295ULL;
                },
                [](const QString& t) { return QRegularExpression(QStringLiteral("^[0-9A-Fa-f]{1,8}$")).match(t).hasMatch(); }};
    }

    // Ties the entry to a plain text that plays the box: a change of the text
    // runs the rule, as a text box's change signal does.
    void Attach(NumberEntry& entry, const QString& designText)
    {
        text = designText;
        entry.Adopt(designText);
        entry.SetHooks([this, &entry](const QString& t) {
                           if (t == text)
                               return;
                           text = t;
                           entry.Changed(t);
                       },
                       [this](int n) { maxLength = n; });
    }

    void Type(NumberEntry& entry, const QString& typed)
    {
        text = typed;
        entry.Changed(typed);
    }

    QString text;
    int maxLength = 0;
};

TEST_F(NumberEntryTest, RefusedTextsShowTheirBoxAndBringTheLastValueBack)
{
    struct Case
    {
        const char* name;
        qint64 limit;
        bool hex;
        QString typed;
        QString box; // "title|text", empty when accepted
        QString shown;
        qint32 value;
    };
    const Case cases[] = {
        {"address at its limit", 268435455, false, "268435455", "", "268435455", 268435455},
        {"address above its limit", 268435455, false, "268435456",
         "Out of Range Error|You must enter a value between 0 and 268435455", "77", 77},
        {"a value past a Long is refused, not wrapped", 268435455, false, "4294967295",
         "Out of Range Error|You must enter a value between 0 and 268435455", "77", 77},
        {"seed accepted", 65535, false, "10000", "", "10000", 10000},
        {"seed above its limit", 65535, false, "65536", "Out of Range Error|You must enter a value between 0 and 65535",
         "77", 77},
        {"letter in hexadecimal", 268435455, true, "G", "Input Error|You must enter a valid hexadecimal number!", "4D", 77},
        {"hexadecimal has no limit", 268435455, true, "10000000", "", "10000000", 0x10000000},
        {"empty decimal text", 268435455, false, "", "Input Error|You must enter a valid decimal number!", "77", 77},
        {"sign in decimal", 268435455, false, "-5", "Input Error|You must enter a valid decimal number!", "77", 77},
    };
    for (const Case& c : cases) {
        NumberEntry entry(Validity(), c.limit, 10, 8);
        Attach(entry, QStringLiteral("0"));
        entry.SetRadix(c.hex, text);
        entry.Show(77);
        const int before = int(ui().Shown().size());
        if (!c.box.isEmpty())
            ui().Answer(vb::vbOK);
        Type(entry, c.typed);
        const QStringList shown = ui().Shown().mid(before);
        if (c.box.isEmpty()) {
            EXPECT_TRUE(shown.isEmpty()) << c.name;
        } else {
            ASSERT_EQ(shown.size(), 1) << c.name;
            const QStringList parts = shown.first().split(QLatin1Char('\t'));
            EXPECT_EQ(parts.value(0) + QLatin1Char('|') + parts.value(1), c.box) << c.name;
        }
        EXPECT_EQ(text, c.shown) << c.name;
        EXPECT_EQ(entry.Value(), c.value) << c.name;
    }
}

TEST_F(NumberEntryTest, SwitchingTheRadixRewritesTheTextAndItsLength)
{
    NumberEntry entry(Validity(), 268435455, 10, 8);
    Attach(entry, QStringLiteral("0"));
    entry.SetRadix(false, text);
    EXPECT_EQ(maxLength, 10);
    Type(entry, QStringLiteral("255"));
    entry.SetRadix(true, text);
    EXPECT_EQ(text, QStringLiteral("FF"));
    EXPECT_EQ(maxLength, 8);
    EXPECT_EQ(entry.Value(), 255);
    entry.SetRadix(false, text);
    EXPECT_EQ(text, QStringLiteral("255"));
    EXPECT_EQ(entry.Value(), 255);
    EXPECT_TRUE(ui().Shown().isEmpty());
}

TEST_F(NumberEntryTest, ALastValueAboveTheLimitShownAgainWarnsOnceAndStays)
{
    NumberEntry entry(Validity(), 65535, 5, 4);
    Attach(entry, QStringLiteral("0"));
    entry.SetRadix(false, text);
    entry.SetValue(70000);
    ui().Answer(vb::vbOK);
    entry.Show(70000);
    EXPECT_EQ(ui().Shown().size(), 1);
    EXPECT_EQ(text, QStringLiteral("70000"));
    EXPECT_EQ(entry.Value(), 70000);
}

TEST_F(NumberEntryTest, DecimalOnlyBoxesHaveNoLimit)
{
    NumberEntry entry = NumberEntry::DecimalOnly(Validity(), 2);
    Attach(entry, QStringLiteral("1"));
    Type(entry, QStringLiteral("99"));
    EXPECT_EQ(entry.Value(), 99);
    ui().Answer(vb::vbOK);
    Type(entry, QStringLiteral("x"));
    EXPECT_EQ(text, QStringLiteral("99"));
    ASSERT_EQ(ui().Shown().size(), 1);
    EXPECT_TRUE(ui().Shown().first().startsWith(QLatin1String("Input Error\tYou must enter a valid decimal number!")));
}

} // namespace
