// Arrays: variables whose names are a prefix and a whole number.

#include "vars_test_support.h"

#include "vars/variable_commands.h"

namespace tomeric::testing {
namespace {

class ArraysTest : public VarsTest {
protected:
    void Fill(int from, int to) {
        for (int i = from; i <= to; ++i)
            SetVariable(QStringLiteral("[Item%1]").arg(i), QStringLiteral("v%1").arg(i));
    }
};

TEST_F(ArraysTest, GetArrayInfoCountsElementsCreatedThroughInnerReferences) {
    SetVariable(QStringLiteral("[i]"), QStringLiteral("2"));
    SetVariable(QStringLiteral("[Item[i]]"), QStringLiteral("x"));
    GetArrayInfo(QStringLiteral("Item"), QStringLiteral("[lo]"), QStringLiteral("[hi]"), QStringLiteral("[n]"));
    EXPECT_EQ(GetVariable(QStringLiteral("lo")), QStringLiteral("2"));
    EXPECT_EQ(GetVariable(QStringLiteral("hi")), QStringLiteral("2"));
    EXPECT_EQ(GetVariable(QStringLiteral("n")), QStringLiteral("1"));
}

TEST_F(ArraysTest, ScanIgnoresKeysWhoseRestIsNoNumber) {
    Fill(3, 5);
    SetVariable(QStringLiteral("[Items]"), QStringLiteral("x"));
    SetVariable(QStringLiteral("[Item]"), QStringLiteral("x"));
    SetVariable(QStringLiteral("[Item-2]"), QStringLiteral("neg"));
    SetVariable(QStringLiteral("[ITEM 9]"), QStringLiteral("spaced"));
    const ArrayInfo info = ScanArray(QStringLiteral("[item]"));
    EXPECT_EQ(info.lowest, -2);
    EXPECT_EQ(info.highest, 5);
    EXPECT_EQ(info.count, 4);
}

TEST_F(ArraysTest, EmptyArrayStoresOnlyTheCount) {
    SetVariable(QStringLiteral("[lo]"), QStringLiteral("old"));
    GetArrayInfo(QStringLiteral("[None]"), QStringLiteral("[lo]"), QStringLiteral("[hi]"), QStringLiteral("[n]"));
    EXPECT_EQ(GetVariable(QStringLiteral("lo")), QStringLiteral("old"));
    EXPECT_EQ(GetVariable(QStringLiteral("hi")), QString());
    EXPECT_EQ(GetVariable(QStringLiteral("n")), QStringLiteral("0"));
}

TEST_F(ArraysTest, DeleteArrayUpToAnIndex) {
    Fill(1, 5);
    DeleteArray(QStringLiteral("[Item]"), QStringLiteral("3"));
    EXPECT_EQ(GetVariable(QStringLiteral("Item3")), QString());
    EXPECT_EQ(GetVariable(QStringLiteral("Item4")), QStringLiteral("v4"));
    EXPECT_EQ(ScanArray(QStringLiteral("Item")).count, 2);
}

TEST_F(ArraysTest, DeleteArrayAll) {
    Fill(1, 5);
    SetVariable(QStringLiteral("[Other]"), QStringLiteral("kept"));
    DeleteArray(QStringLiteral("Item"), QStringLiteral("all"));
    EXPECT_EQ(ScanArray(QStringLiteral("Item")).count, 0);
    EXPECT_EQ(GetVariable(QStringLiteral("Other")), QStringLiteral("kept"));
}

TEST_F(ArraysTest, SparseIndicesDoNotCostTheirRange) {
    SetVariable(QStringLiteral("[Item1]"), QStringLiteral("a"));
    SetVariable(QStringLiteral("[Item2000000000]"), QStringLiteral("b"));
    DeleteArray(QStringLiteral("Item"), QStringLiteral("All"));
    EXPECT_EQ(ScanArray(QStringLiteral("Item")).count, 0);
}

TEST_F(ArraysTest, TypedElementsGoBackToTheirDefault) {
    DefineVariable(QStringLiteral("[Item1]"), QStringLiteral("Integer"), QString(), false);
    SetVariable(QStringLiteral("[Item1]"), QStringLiteral("7"));
    DeleteArray(QStringLiteral("Item"), QStringLiteral("All"));
    EXPECT_EQ(GetVariable(QStringLiteral("Item1")), QStringLiteral("0"));
}

TEST_F(ArraysTest, LocalElementsCountToo) {
    Fill(1, 2);
    LocalScope scope;
    EnsureLocalVars().Set(QStringLiteral("Item7"), QStringLiteral("local"));
    const ArrayInfo info = ScanArray(QStringLiteral("Item"));
    EXPECT_EQ(info.count, 3);
    EXPECT_EQ(info.highest, 7);
}

TEST_F(VarsTest, ClearVariablesWithAList) {
    SetVariable(QStringLiteral("[a]"), QStringLiteral("1"));
    SetVariable(QStringLiteral("[b]"), QStringLiteral("2"));
    SetVariable(QStringLiteral("[c]"), QStringLiteral("3"));
    ClearVariables(QStringLiteral("[a], b|[c"));
    EXPECT_EQ(GlobalVars().Count(), 0);
}

TEST_F(VarsTest, ClearVariablesWithoutAListClearsEveryGlobalInOrder) {
    SetVariable(QStringLiteral("[first]"), QStringLiteral("1"));
    DefineVariable(QStringLiteral("[typed]"), QStringLiteral("Currency"), QString(), false);
    SetVariable(QStringLiteral("[typed]"), QStringLiteral("5"));
    SetVariable(QStringLiteral("[last]"), QStringLiteral("3"));
    observer.changes.clear();
    ClearVariables();
    EXPECT_EQ(GlobalVars().Keys(), QStringList{QStringLiteral("typed")});
    EXPECT_EQ(GetVariable(QStringLiteral("typed")), QStringLiteral("0.00"));
    EXPECT_EQ(observer.ChangedNames(),
              (QStringList{QStringLiteral("[FIRST]"), QStringLiteral("[TYPED]"), QStringLiteral("[LAST]")}));
}

} // namespace
} // namespace tomeric::testing
