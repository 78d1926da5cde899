// Numeric parameters computed from their cut tokens must give exactly what
// substituting the text and then computing it gives. Each template is
// evaluated over values that do and do not qualify for the shortcut, and
// compared with the general way done by hand.

#include "actions/action_text.h"
#include "actions/command_table.h"
#include "actions/expression_template.h"
#include "math/math_expression.h"
#include "platform/decimal_symbol.h"
#include "vars/variables.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

// Substitution first, then computing unless the text is a plain number or
// an exact "!" text; a syntax error leaves the substituted text.
QString GeneralWay(const QString& text, int kind)
{
    QString out = SubstituteVars(text, kind == pkNumber, false);
    if (out.startsWith(u'!'))
        return out.mid(1);
    if (out.size() <= 1 || IsPlainNumber(out))
        return out;
    const MathResult result = ParseAndEvaluate(out);
    return result.status == MathResult::Status::SyntaxError ? out : MathResultText(result, -1);
}

const char* const kTemplates[] = {
    "[a]+1",   "+[a]",        "[a]*2",        "[a]5",          "1[a]",       "[a].5",
    "[a]E2",   "1E[a]",       "[a] [b]",      "[a]-[b]",       "-[a]",       "([a]+[b])*[a]",
    "sqr([a])", "SQRT([a]+0)", "[a]^[b]",     "[a]&[b]",       "[a]/[b]",    "abs(-[a])",
    "[a]+[missing]", "[a]+",  "!([a]+1)",     "[a]+[b]]",      "[[a]]+1",    "[a] + 1,5",
    "[A]+1.5", "[a]++[b]",    "2*[a]-(3)",    "[a][b]",        "[a]*[a]*[a]", "[a]+[b]*1E3",
    // the grammar's every production, replayed from one recorded parse
    "round([a]/3)", "-[a]^2",  "2^[b]^2",       "[a]&-[b]",      "--[a]",      "[a]--[b]",
    "[a]-[b]-[b]", "frac([a]/7)*[b]", "ln([b])+exp([a]/[a])", "trunc(-[a]/4)&3", "1E[a]+[b]",
    "(((((((((((((((((((([a]))))))))))))))))))))+1", "((((((([a]+[b])*2)-1)/3)^[b])&5)+0)",
    "[a]*(",   "([a]+[b]",    "[a])",          "1E+",           "[a]/[b]/0.5", "sin([a])*cos([b])",
    // whole-number steps that leave the 64-bit range, and a literal that is not whole
    "[a]*[a]-[a]*[a]", "[a]*99999999999", "0-[a]*[a]*[b]", "-[a]-[a]*100", "[a]*1.5+[b]", "[a]+0.5-0.5",
};

const char* const kValues[] = {
    "3", "12", "007", "0", "-4", "2.5", "2,5", "1E3", " 5", "", "abc",
    "99999999999999999999", "123456789012345678", "1234567890123456789",
};

void CompareAll()
{
    for (const char* a : kValues) {
        for (const char* b : {"2", "0", "10", "-1", "x"}) {
            ResetVariableStore();
            SetVariable(QStringLiteral("[a]"), QString::fromLatin1(a));
            SetVariable(QStringLiteral("[b]"), QString::fromLatin1(b));
            for (const char* written : kTemplates) {
                for (const int kind : {int(pkNumber), int(pkValue)}) {
                    const QString text = QString::fromLatin1(written);
                    const QString expected = GeneralWay(text, kind);
                    QString actual = text;
                    bool exact = false;
                    EvaluateParameter(actual, exact, kind, true, nullptr);
                    EXPECT_EQ(actual, expected) << written << " with a=\"" << a << "\", b=\"" << b
                                                << "\", kind " << kind;
                }
            }
        }
    }
}

TEST(ExpressionTemplate, GivesWhatSubstitutingAndComputingGives)
{
    CompareAll();
}

TEST(ExpressionTemplate, GivesWhatSubstitutingAndComputingGivesWithACommaAsDecimalSymbol)
{
    const QChar saved = DecimalSymbol();
    SetDecimalSymbol(u',');
    CompareAll();
    SetDecimalSymbol(saved);
}

TEST(ExpressionTemplate, TakesTheShortcutOnlyForWholeNumbersBetweenOperators)
{
    ResetVariableStore();
    SetVariable(QStringLiteral("[i]"), QStringLiteral("41"));
    SetVariable(QStringLiteral("[x]"), QStringLiteral("1.5"));
    ASSERT_TRUE(ComputeByTemplate(QStringLiteral("[i]+1")).has_value());
    EXPECT_EQ(ComputeByTemplate(QStringLiteral("[i]+1"))->value, 42);
    EXPECT_FALSE(ComputeByTemplate(QStringLiteral("[x]+1")));    // not a whole number
    EXPECT_FALSE(ComputeByTemplate(QStringLiteral("[i]5+1")));   // the value joins a number
    EXPECT_FALSE(ComputeByTemplate(QStringLiteral("[i]")));      // a lone reference is not computed
    EXPECT_FALSE(ComputeByTemplate(QStringLiteral("[Day]+1")));  // built-in names take the general way
}

} // namespace
} // namespace tomeric
