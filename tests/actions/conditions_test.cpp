// Conditions of If/While and the IfEx/WhileEx expressions.

#include "actions/action_eval.h"
#include "actions/conditions.h"
#include "platform/decimal_symbol.h"
#include "vars/variables.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

struct CompareCase {
    const char* left;
    bool leftExact;
    const char* op;
    const char* right;
    bool rightExact;
    bool numbersEvenIfExact;
    bool expected;
};

class CompareOperandsTest : public testing::TestWithParam<CompareCase> {
protected:
    void SetUp() override { SetDecimalSymbol(u'.'); }
    void TearDown() override { ResetDecimalSymbol(); }
};

TEST_P(CompareOperandsTest, Rule)
{
    const CompareCase& c = GetParam();
    EXPECT_EQ(CompareOperands({QString::fromUtf8(c.left), c.leftExact}, QString::fromLatin1(c.op),
                              {QString::fromUtf8(c.right), c.rightExact}, c.numbersEvenIfExact),
              c.expected)
        << c.left << " " << c.op << " " << c.right;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CompareOperandsTest,
    testing::Values(
        // numbers compare as numbers
        CompareCase{"10", false, "<", "9", false, false, false},
        CompareCase{"9.5", false, "<", "10", false, false, true},
        CompareCase{"2", false, "=", "2.0", false, false, true},
        CompareCase{"-1", false, "<", "0", false, false, true},
        // an exact operand makes If compare texts
        CompareCase{"10", true, "<", "9", false, false, true},
        // IfEx compares numbers even when exact
        CompareCase{"10", true, "<", "9", false, true, false},
        // unquoted texts compare without regard to case
        CompareCase{"abc", false, "=", "ABC", false, false, true},
        CompareCase{"abc", false, "<", "ABD", false, false, true},
        // an exact operand compares case-sensitively
        CompareCase{"abc", false, "=", "abc", true, false, true},
        CompareCase{"abc", true, "=", "ABC", false, false, false},
        CompareCase{"ABC", true, "<>", "abc", false, false, true},
        // every operator
        CompareCase{"a", false, "<>", "b", false, false, true},
        CompareCase{"b", false, ">", "a", false, false, true},
        CompareCase{"b", false, ">=", "b", false, false, true},
        CompareCase{"b", false, "<=", "a", false, false, false},
        // texts compare in the Windows code page order
        CompareCase{"Z", false, "<", "é", false, false, true},
        CompareCase{"", false, "=", "", false, false, true},
        CompareCase{"", false, "<", "a", false, false, true}));

TEST(ComparisonOperators, OnlyTheSix)
{
    for (const char* op : {"=", "<>", "<", ">", "<=", ">="})
        EXPECT_TRUE(IsComparisonOperator(QString::fromLatin1(op))) << op;
    for (const char* op : {"==", "=<", "=>", "><", " =", "!=", ""})
        EXPECT_FALSE(IsComparisonOperator(QString::fromLatin1(op))) << op;
}

struct ExpressionCase {
    const char* expression;
    bool value;
    int error;
    const char* token;
};

class ConditionExpressionTest : public testing::TestWithParam<ExpressionCase> {
protected:
    void SetUp() override
    {
        ResetVariableStore();
        SetDecimalSymbol(u'.');
        SetVariable(QStringLiteral("[a]"), QStringLiteral("X"));
        SetVariable(QStringLiteral("[b]"), QStringLiteral("5"));
    }
    void TearDown() override
    {
        ResetVariableStore();
        ResetDecimalSymbol();
    }
};

TEST_P(ConditionExpressionTest, Evaluates)
{
    const ExpressionCase& c = GetParam();
    const ConditionResult result = EvaluateConditionExpression(QString::fromUtf8(c.expression), nullptr);
    EXPECT_EQ(result.Error, c.error) << c.expression;
    if (c.error == 0)
        EXPECT_EQ(result.Value, c.value) << c.expression;
    else
        EXPECT_EQ(result.Token, QString::fromUtf8(c.token)) << c.expression;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConditionExpressionTest,
    testing::Values(
        ExpressionCase{"1 = 1", true, 0, ""},
        ExpressionCase{"1=1", true, 0, ""},
        ExpressionCase{"[#34][a][#34] = [#34]x[#34] OR [b] > 3", true, 0, ""},
        ExpressionCase{"[a] = x and [b] = 6", false, 0, ""},
        // strictly left to right: (true OR true) AND false
        ExpressionCase{"1 = 1 OR 1 = 1 AND 1 = 2", false, 0, ""},
        ExpressionCase{"1 = 2 AND 1 = 1 OR 2 = 2", true, 0, ""},
        ExpressionCase{"1 = 2 AND (1 = 1 OR 2 = 2)", false, 0, ""},
        ExpressionCase{"(1 = 2 OR 3 = 3) AND (4 = 4)", true, 0, ""},
        ExpressionCase{"((1 = 1))", true, 0, ""},
        ExpressionCase{"\"a b\" = \"A B\"", true, 0, ""},
        ExpressionCase{"\"\" = \"\"", true, 0, ""},
        ExpressionCase{"\"!abc\" = ABC", false, 0, ""},
        ExpressionCase{"[b]*2 = 10", true, 0, ""},
        ExpressionCase{"[b]<6", true, 0, ""},
        // errors
        ExpressionCase{"", false, aeInvalidExpression, ""},
        ExpressionCase{"1 =", false, aeInvalidExpression, ""},
        ExpressionCase{"= 1", false, aeInvalidExpression, ""},
        ExpressionCase{"1 2", false, aeMissingOperator, ""},
        ExpressionCase{"1", false, aeMissingOperator, ""},
        ExpressionCase{"1 =< 2", false, aeInvalidOperator, "=<"},
        ExpressionCase{"1 = 1 XOR 2 = 2", false, aeInvalidOperator, "XOR"},
        ExpressionCase{"1 = 1 = 1", false, aeInvalidOperator, "="},
        ExpressionCase{"(1 = 1", false, aeInvalidExpression, ""},
        ExpressionCase{"1 = 1)", false, aeInvalidOperator, ")"},
        ExpressionCase{"1 = 1 AND", false, aeInvalidExpression, ""}));

TEST(ConditionExpressions, DeepParenthesesAreAnErrorNotACrash)
{
    const QString deep = QString(10000, u'(') + QStringLiteral("1 = 1") + QString(10000, u')');
    EXPECT_EQ(EvaluateConditionExpression(deep, nullptr).Error, aeInvalidExpression);
}

} // namespace
} // namespace tomeric
