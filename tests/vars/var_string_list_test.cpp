// TVarStringList: case-insensitive keys that keep their order.

#include "vars/var_string_list.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

TEST(VarStringList, KeysIgnoreCaseAndKeepTheirFirstSpelling) {
    TVarStringList list;
    list.Set(QStringLiteral("Score"), QStringLiteral("1"));
    list.Set(QStringLiteral("SCORE"), QStringLiteral("2"));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Value(QStringLiteral("score")), QStringLiteral("2"));
    EXPECT_EQ(list.StoredKey(QStringLiteral("sCoRe")), QStringLiteral("Score"));
}

TEST(VarStringList, OrderSurvivesRemovalsAndReuse) {
    TVarStringList list;
    for (int i = 0; i < 200; ++i)
        list.Set(QStringLiteral("k%1").arg(i), QString::number(i));
    for (int i = 0; i < 200; i += 2)
        list.Remove(QStringLiteral("K%1").arg(i));
    list.Set(QStringLiteral("k0"), QStringLiteral("back"));
    const QStringList keys = list.Keys();
    ASSERT_EQ(keys.size(), 101);
    EXPECT_EQ(keys[0], QStringLiteral("k1"));
    EXPECT_EQ(keys[99], QStringLiteral("k199"));
    EXPECT_EQ(keys[100], QStringLiteral("k0"));
    EXPECT_EQ(list.Value(QStringLiteral("k151")), QStringLiteral("151"));
    EXPECT_FALSE(list.Contains(QStringLiteral("k150")));
}

TEST(VarStringList, TypeInformationFollowsItsKey) {
    TVarStringList list;
    list.Set(QStringLiteral("n"), QStringLiteral("0"));
    list.SetInfo(QStringLiteral("N"), TGenericVarInfo{vtInteger, QString()});
    ASSERT_NE(list.Info(QStringLiteral("n")), nullptr);
    EXPECT_EQ(list.Info(QStringLiteral("n"))->VarType, vtInteger);
    list.SetInfo(QStringLiteral("n"), TGenericVarInfo{vtUndefined, QString()});
    EXPECT_EQ(list.Info(QStringLiteral("n")), nullptr);
    list.SetInfo(QStringLiteral("n"), TGenericVarInfo{vtDate, QStringLiteral("Default")});
    list.Remove(QStringLiteral("n"));
    list.Set(QStringLiteral("n"), QStringLiteral("x"));
    EXPECT_EQ(list.Info(QStringLiteral("n")), nullptr); // a new variable starts untyped
    list.Clear();
    EXPECT_TRUE(list.IsEmpty());
}

TEST(VarTypeWords, AllSevenInOrder) {
    const char* words[] = {"Undefined", "String", "Integer", "Currency", "Decimal", "Boolean", "Date"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(VarTypeWord(static_cast<TVarType>(i)), QString::fromLatin1(words[i]));
        EXPECT_EQ(VarTypeFromWord(QStringLiteral(" %1 ").arg(QString::fromLatin1(words[i]).toLower())),
                  static_cast<TVarType>(i));
    }
    EXPECT_FALSE(VarTypeFromWord(QStringLiteral("Float")).has_value());
}

} // namespace
} // namespace tomeric
