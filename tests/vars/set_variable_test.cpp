// The one write path: creating, changing and deleting variables, built-in
// names, [LastError] and the change broadcast.

#include "vars_test_support.h"

#include "platform/string_table.h"

namespace tomeric::testing {
namespace {

TEST_F(VarsTest, NewVariablesAreGlobal) {
    Set("[A]", QStringLiteral("1"));
    EXPECT_TRUE(GlobalVars().Contains(QStringLiteral("a")));
    EXPECT_EQ(Get("[a]"), QStringLiteral("1"));
}

TEST_F(VarsTest, EmptyValueDeletesAnUntypedVariable) {
    Set("[A]", QStringLiteral("1"));
    Set("[A]", QString());
    EXPECT_FALSE(GlobalVars().Contains(QStringLiteral("A")));
    EXPECT_EQ(Get("[A]"), QString());
    EXPECT_EQ(SubstituteVars(QStringLiteral("[A]"), true), QStringLiteral("0"));
}

TEST_F(VarsTest, EmptyValueForAnAbsentVariableCreatesNothing) {
    Set("[Ghost]", QString());
    EXPECT_EQ(GlobalVars().Count(), 0);
    EXPECT_TRUE(observer.changes.empty());
}

TEST_F(VarsTest, InnerReferencesChooseTheKey) {
    Set("[i]", QStringLiteral("2"));
    Set("[Item[i]]", QStringLiteral("x"));
    EXPECT_EQ(GlobalVars().StoredKey(QStringLiteral("ITEM2")), QStringLiteral("Item2"));
}

TEST_F(VarsTest, ChangesAreBroadcastWithTheUpperCasedBracketedName) {
    Set("[Score]", QStringLiteral("5"));
    Set("[Score]", QStringLiteral("5")); // unchanged: no broadcast
    Set("[Score]", QString());
    ASSERT_EQ(observer.changes.size(), 2u);
    EXPECT_EQ(observer.changes[0], std::make_pair(QStringLiteral("[SCORE]"), QStringLiteral("5")));
    EXPECT_EQ(observer.changes[1], std::make_pair(QStringLiteral("[SCORE]"), QString()));
}

TEST_F(VarsTest, ReadOnlyBuiltinRefusesWritesWithMessage229) {
    Set("[PageTitle]", QStringLiteral("x"));
    EXPECT_EQ(Get("[LastError]"), Message(msgReadOnlyGlobal) + QStringLiteral(" [PageTitle]."));
    EXPECT_EQ(Get("[PageTitle]"), QStringLiteral("Intro"));
    EXPECT_FALSE(GlobalVars().Contains(QStringLiteral("PageTitle")));
}

TEST_F(VarsTest, WritableBuiltinRunsItsHandlerAndCreatesNoVariable) {
    Set("[WindowLeft]", QStringLiteral("120"));
    EXPECT_EQ(DefaultHeadlessHost().state.windowLeft, 120);
    EXPECT_EQ(Get("[WindowLeft]"), QStringLiteral("120"));
    EXPECT_FALSE(GlobalVars().Contains(QStringLiteral("WindowLeft")));
    EXPECT_TRUE(observer.ChangedNames().contains(QStringLiteral("[WINDOWLEFT]")));
}

TEST_F(VarsTest, LastErrorShowsTheErrorBoxWhileShowErrorsIsOn) {
    SetLastError(QStringLiteral("boom"));
    SetShowErrors(false);
    SetLastError(QStringLiteral("quiet"));
    SetShowErrors(true);
    {
        ErrorDisplaySuppressor suppress;
        SetLastError(QStringLiteral("suppressed"));
    }
    SetLastError(QString()); // clearing reports nothing
    ASSERT_EQ(observer.errors.size(), 3u);
    EXPECT_EQ(observer.errors[0], std::make_pair(QStringLiteral("boom"), true));
    EXPECT_EQ(observer.errors[1], std::make_pair(QStringLiteral("quiet"), false));
    EXPECT_EQ(observer.errors[2], std::make_pair(QStringLiteral("suppressed"), false));
    EXPECT_EQ(LastError(), QString());
}

TEST_F(VarsTest, ScriptsMayWriteLastErrorLikeAnyVariable) {
    Set("[lasterror]", QStringLiteral("custom"));
    EXPECT_EQ(LastError(), QStringLiteral("custom"));
    EXPECT_EQ(observer.errors.size(), 1u);
}

TEST_F(VarsTest, AnEmptyKeyDoesNothing) {
    Set("[]", QStringLiteral("x"));
    Set("[[Nope]]", QStringLiteral("x"));
    EXPECT_EQ(GlobalVars().Count(), 0);
}

} // namespace
} // namespace tomeric::testing
