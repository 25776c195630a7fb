// A key with many values or subkeys: found by any letter case, written once,
// kept in the order first written, through removals and additions, and the
// same after a trip through the hive's text.

#include "platform/RegistryHive.h"

#include <gtest/gtest.h>

using namespace reg;

namespace {

QByteArray Data(int i)
{
    return QByteArray::number(i) + '\0';
}

} // namespace

TEST(RegistryHiveTest, ManyEntriesOfOneKeyAreFoundByAnyCaseAndKeepTheirOrder)
{
    hive::Key root;
    hive::Key& key = *root.addSubkey(QStringLiteral("Bulk"));
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(key.setValue(QStringLiteral("Value%1").arg(i), REG_SZ, Data(i)));
        ASSERT_NE(key.addSubkey(QStringLiteral("Sub%1").arg(i)), nullptr);
    }
    // Another case names the same entry: found, changed in place.
    ASSERT_NE(key.value(u"VALUE57"), nullptr);
    EXPECT_EQ(key.value(u"VALUE57")->data, Data(57));
    EXPECT_TRUE(key.setValue(QStringLiteral("value57"), REG_SZ, Data(570)));
    EXPECT_EQ(key.values().size(), 100u);
    EXPECT_EQ(key.values()[57].name, QStringLiteral("Value57"));
    EXPECT_EQ(key.addSubkey(QStringLiteral("SUB3")), key.subkeys()[3].get());
    EXPECT_EQ(key.subkeys().size(), 100u);

    // A removal moves the entries behind it; each is still found.
    EXPECT_TRUE(key.removeValue(u"value10"));
    EXPECT_TRUE(key.removeSubkey(u"sub10"));
    EXPECT_FALSE(key.removeValue(u"value10"));
    EXPECT_EQ(key.value(u"Value10"), nullptr);
    EXPECT_EQ(key.subkey(u"Sub10"), nullptr);
    for (int i = 11; i < 100; ++i) {
        ASSERT_NE(key.value(QStringLiteral("value%1").arg(i)), nullptr) << i;
        EXPECT_EQ(key.value(QStringLiteral("value%1").arg(i))->data, Data(i == 57 ? 570 : i));
        EXPECT_EQ(key.subkey(QStringLiteral("SUB%1").arg(i))->name(), QStringLiteral("Sub%1").arg(i));
    }
    EXPECT_TRUE(key.setValue(QStringLiteral("Value10"), REG_SZ, Data(10)));
    EXPECT_EQ(key.values().back().name, QStringLiteral("Value10"));
    EXPECT_EQ(key.value(u"VALUE10"), &key.values().back());

    // Through the text: the same entries in the same order.
    QString error;
    const auto back = hive::Parse(hive::Serialize(root), &error);
    ASSERT_NE(back, nullptr) << error.toStdString();
    const hive::Key* bulk = back->subkey(u"BULK");
    ASSERT_NE(bulk, nullptr);
    ASSERT_EQ(bulk->values().size(), 100u);
    ASSERT_EQ(bulk->subkeys().size(), 99u);
    for (size_t i = 0; i < 100; ++i)
        EXPECT_EQ(bulk->values()[i].name, key.values()[i].name);
    EXPECT_EQ(bulk->value(u"value57")->data, Data(570));
}
