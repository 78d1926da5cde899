// Local variables: each script run has its own scope; the caller's locals
// are hidden from the callee and come back when it ends.

#include "vars_test_support.h"

namespace tomeric::testing {
namespace {

TEST_F(VarsTest, ANewScopeStartsWithoutLocals) {
    DefineVariable(QStringLiteral("[x]"), QStringLiteral("Undefined"), QString(), true);
    ASSERT_NE(LocalVars(), nullptr);
    {
        LocalScope callee;
        EXPECT_EQ(LocalVars(), nullptr);
        EXPECT_EQ(GetVariable(QStringLiteral("[x]")), QString());
    }
    EXPECT_TRUE(LocalVars()->Contains(QStringLiteral("x")));
}

TEST_F(VarsTest, LocalDefinitionCapturesLaterWrites) {
    LocalScope scope;
    EXPECT_TRUE(DefineVariable(QStringLiteral("[tmp]"), QStringLiteral("Undefined"), QString(), true));
    SetVariable(QStringLiteral("[tmp]"), QStringLiteral("inside"));
    EXPECT_EQ(GetVariable(QStringLiteral("[tmp]")), QStringLiteral("inside"));
    EXPECT_FALSE(GlobalVars().Contains(QStringLiteral("tmp")));
}

TEST_F(VarsTest, LocalsDisappearWithTheirScope) {
    {
        LocalScope scope;
        DefineVariable(QStringLiteral("[n]"), QStringLiteral("Integer"), QString(), true);
        SetVariable(QStringLiteral("[n]"), QStringLiteral("4"));
        EXPECT_EQ(GetVarType(QStringLiteral("[n]")), vtInteger);
    }
    EXPECT_EQ(GetVariable(QStringLiteral("[n]")), QString());
    EXPECT_EQ(GetVarType(QStringLiteral("[n]")), vtUndefined);
}

TEST_F(VarsTest, ALocalHidesTheGlobalOfTheSameName) {
    SetVariable(QStringLiteral("[v]"), QStringLiteral("global"));
    {
        LocalScope scope;
        DefineVariable(QStringLiteral("[v]"), QStringLiteral("String"), QString(), true);
        SetVariable(QStringLiteral("[v]"), QStringLiteral("local"));
        EXPECT_EQ(GetVariable(QStringLiteral("[v]")), QStringLiteral("local"));
    }
    EXPECT_EQ(GetVariable(QStringLiteral("[v]")), QStringLiteral("global"));
}

TEST_F(VarsTest, NestedScopesRestoreInOrder) {
    LocalScope outer;
    EnsureLocalVars().Set(QStringLiteral("level"), QStringLiteral("1"));
    {
        LocalScope middle;
        EnsureLocalVars().Set(QStringLiteral("level"), QStringLiteral("2"));
        {
            LocalScope inner;
            EXPECT_EQ(GetVariable(QStringLiteral("level")), QString());
        }
        EXPECT_EQ(GetVariable(QStringLiteral("level")), QStringLiteral("2"));
    }
    EXPECT_EQ(GetVariable(QStringLiteral("level")), QStringLiteral("1"));
}

TEST_F(VarsTest, ScopeSwitchesAreReported) {
    { LocalScope scope; }
    EXPECT_EQ(observer.scopeChanges, 2);
}

TEST_F(VarsTest, EmptyValueDeletesAnUntypedLocal) {
    LocalScope scope;
    DefineVariable(QStringLiteral("[t]"), QStringLiteral("Undefined"), QString(), true);
    SetVariable(QStringLiteral("[t]"), QString());
    EXPECT_FALSE(LocalVars()->Contains(QStringLiteral("t")));
}

} // namespace
} // namespace tomeric::testing
