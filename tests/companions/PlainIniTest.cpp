// The simulations' settings files read as text: what QSettings writes reads
// back the same, and a serialised value reads as absent instead of being
// decoded (a 34-byte one once asked for gigabytes).

#include "simplan/PlainIni.h"

#include <QSettings>
#include <QSize>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using simplan::PlainIni;

TEST(PlainIniTest, WhatQSettingsWritesReadsBackAndSerialisedValuesReadAsAbsent)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("engine.ini"));
    const QStringList texts = {QStringLiteral("NV29LV160B"),    QStringLiteral(" two  blanks "),
                               QStringLiteral("a,b;c=d"),       QStringLiteral("quote \" and \\ back"),
                               QStringLiteral("@at the start"), QStringLiteral("line\nbreak\ttab"),
                               QStringLiteral("Grüße Ω"),       QString()};
    {
        QSettings ini(file, QSettings::IniFormat);
        for (int i = 0; i < texts.size(); ++i)
            ini.setValue(QStringLiteral("Station/Text%1").arg(i), texts[i]);
        ini.setValue(QStringLiteral("Station/SiteCount"), 8);
        ini.setValue(QStringLiteral("Sealbook/VerifyChecksum"), true);
        ini.setValue(QStringLiteral("Sealbook/PasswordKey"), QByteArray("0a1b2c"));
        ini.setValue(QStringLiteral("Faults/dialog.ShowDeviceInfo"), QStringLiteral("0x7E"));
        ini.setValue(QStringLiteral("Faults/a key/with slash"), 5);
        ini.setValue(QStringLiteral("Faults/When"), QSize(3, 4)); // written as @Size(...)
        ini.sync();
        ASSERT_EQ(ini.status(), QSettings::NoError);
    }
    const PlainIni ini = PlainIni::Read(file);
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(ini.Text(QStringLiteral("Station"), QStringLiteral("Text%1").arg(i)), texts[i]) << i;
    EXPECT_EQ(ini.Int(QStringLiteral("Station"), QStringLiteral("SiteCount"), 1), 8);
    EXPECT_TRUE(ini.Bool(QStringLiteral("Sealbook"), QStringLiteral("VerifyChecksum"), false));
    EXPECT_EQ(ini.Text(QStringLiteral("Sealbook"), QStringLiteral("PasswordKey")), QStringLiteral("0a1b2c"));
    EXPECT_EQ(ini.Keys(QStringLiteral("Faults")),
              (QStringList{QStringLiteral("a key/with slash"), QStringLiteral("dialog.ShowDeviceInfo")}));
    EXPECT_FALSE(ini.Value(QStringLiteral("Faults"), QStringLiteral("When")));

    // Hand-written lines, comments, and serialised values of any type.
    const PlainIni hand =
        PlainIni::Parse("; a comment\n[Faults]\nload = 126 \n# another\nquiet=@Variant(\\0\\0\\0\\x7f"
                        "\\0\\0\\0\\xffQString\\0)\nsite=@Invalid()\n[Engine]\nShowErrorMessages=false\n");
    EXPECT_EQ(hand.Keys(QStringLiteral("Faults")), QStringList{QStringLiteral("load")});
    EXPECT_EQ(hand.Int(QStringLiteral("Faults"), QStringLiteral("load"), 0), 126);
    EXPECT_FALSE(hand.Bool(QStringLiteral("Engine"), QStringLiteral("ShowErrorMessages"), true));
    EXPECT_TRUE(PlainIni::Read(dir.filePath(QStringLiteral("missing.ini"))).Keys({}).isEmpty());
}
