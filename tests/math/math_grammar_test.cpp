// What an expression means: precedence, associativity, unary minus,
// functions, nesting and the parser's stack limit.

#include "math/math_expression.h"

#include "decimal_symbol_scope.h"

#include <gtest/gtest.h>

using namespace tomeric;

namespace {

struct ExpressionCase {
    const char* expression;
    const char* expected; // general-format result text
};

void PrintTo(const ExpressionCase& c, std::ostream* os) { *os << '"' << c.expression << '"'; }

class ExpressionValue : public ::testing::TestWithParam<ExpressionCase> {
protected:
    test_support::DecimalSymbolScope point_{u'.'};
};

TEST_P(ExpressionValue, GivesTheExpectedText) {
    const ExpressionCase& c = GetParam();
    EXPECT_EQ(EvaluateMath(QString::fromLatin1(c.expression), -1), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Precedence, ExpressionValue, ::testing::Values(
    ExpressionCase{"2+3*4", "14"},
    ExpressionCase{"2*3+4", "10"},
    ExpressionCase{"(2+3)*4", "20"},
    ExpressionCase{"10-6/2", "7"},
    ExpressionCase{"1+7&3", "2"},
    ExpressionCase{"2*3^2", "18"},
    ExpressionCase{"2^3*2", "16"},
    ExpressionCase{"-2+5", "3"},
    ExpressionCase{"3*-2", "-6"},
    ExpressionCase{"2^-1", "0.5"},
    ExpressionCase{"8/2^2", "2"}));

INSTANTIATE_TEST_SUITE_P(Associativity, ExpressionValue, ::testing::Values(
    ExpressionCase{"10-4-3", "3"},
    ExpressionCase{"100/10/5", "2"},
    ExpressionCase{"2*6/3", "4"},
    ExpressionCase{"17&10&4", "3"},
    ExpressionCase{"100/10*5", "50"},
    ExpressionCase{"2^3^2", "512"},
    ExpressionCase{"4^0.5^2", "1.41421356237309505"}));

INSTANTIATE_TEST_SUITE_P(UnaryMinus, ExpressionValue, ::testing::Values(
    ExpressionCase{"-3", "-3"},
    ExpressionCase{"2--3", "5"},
    ExpressionCase{"2+-3", "-1"},
    ExpressionCase{"2*-3", "-6"},
    ExpressionCase{"-(-3)", "3"},
    ExpressionCase{"-(2+3)*2", "-10"},
    ExpressionCase{"-abs(-4)", "-4"},
    ExpressionCase{"(-7)&3", "-1"},
    ExpressionCase{"-7&3", "-1"},
    ExpressionCase{"7&-3", "1"},
    ExpressionCase{"-2^2", "Error"},   // the minus belongs to the base
    ExpressionCase{"2^-2^2", "Error"}, // 2^((-2)^2): negative base
    ExpressionCase{"--3", "Error"},
    ExpressionCase{"2---3", "Error"},
    ExpressionCase{"-+3", "Error"}));

INSTANTIATE_TEST_SUITE_P(LeadingPlus, ExpressionValue, ::testing::Values(
    ExpressionCase{"+5", "5"},
    ExpressionCase{"+5*2", "10"},
    ExpressionCase{"+-5", "-5"},
    ExpressionCase{"++5", "Error"},
    ExpressionCase{"(+5)", "Error"},
    ExpressionCase{"2*+3", "Error"},
    ExpressionCase{"2++3", "Error"}));

INSTANTIATE_TEST_SUITE_P(Numbers, ExpressionValue, ::testing::Values(
    ExpressionCase{".5+1", "1.5"},
    ExpressionCase{"5.", "5"},
    ExpressionCase{"1e3", "1000"},
    ExpressionCase{"1E+3", "1000"},
    ExpressionCase{"2.5E-2", "0.025"},
    ExpressionCase{"1E0004", "10000"},
    ExpressionCase{"  7 *  3 ", "21"},
    ExpressionCase{"0.1+0.2", "0.3"},
    ExpressionCase{"2/3", "0.666666666666666667"},
    ExpressionCase{"1.2.3", "Error"},
    ExpressionCase{".", "Error"},
    ExpressionCase{"1E12345", "Error"}, // four exponent digits, then a second number
    ExpressionCase{"1 2", "Error"}));

INSTANTIATE_TEST_SUITE_P(Functions, ExpressionValue, ::testing::Values(
    ExpressionCase{"ABS(-2.5)", "2.5"},
    ExpressionCase{"ATAN(1)*4", "3.14159265358979324"},
    ExpressionCase{"COS(0)", "1"},
    ExpressionCase{"EXP(1)", "2.71828182845904524"},
    ExpressionCase{"LN(EXP(2))", "2"},
    ExpressionCase{"ROUND(2.5)", "2"},
    ExpressionCase{"ROUND(3.5)", "4"},
    ExpressionCase{"ROUND(-2.5)", "-2"},
    ExpressionCase{"ROUND(2.51)", "3"},
    ExpressionCase{"SIN(0)", "0"},
    ExpressionCase{"SQRT(9)", "3"},
    ExpressionCase{"SQR(3)", "9"},
    ExpressionCase{"SQR(-3)", "9"},
    ExpressionCase{"TRUNC(-2.7)", "-2"},
    ExpressionCase{"TRUNC(2.7)", "2"},
    ExpressionCase{"FRAC(2.75)", "0.75"},
    ExpressionCase{"FRAC(-2.75)", "-0.75"},
    ExpressionCase{"round(2.5)", "2"},
    ExpressionCase{"Sqrt(16)", "4"},
    ExpressionCase{"sqrt (16)", "4"},
    ExpressionCase{"sqr(sqrt(2))", "2"},
    ExpressionCase{"ABS(-(1+2)*3)", "9"},
    ExpressionCase{"SQRT", "Error"},       // a name needs "("
    ExpressionCase{"SQRT 4", "Error"},
    ExpressionCase{"SQRTX(4)", "Error"},  // the rest of a word is a bad character
    ExpressionCase{"PI", "Error"},
    ExpressionCase{"ABS()", "Error"}));

INSTANTIATE_TEST_SUITE_P(Nesting, ExpressionValue, ::testing::Values(
    ExpressionCase{"((((1+2))))", "3"},
    ExpressionCase{"(1+(2*(3+(4*5))))", "47"},
    ExpressionCase{"-(-(-(2)))", "-2"},
    ExpressionCase{"ABS(SQRT(ROUND(15.6)))", "4"},
    ExpressionCase{"(1+2", "Error"},
    ExpressionCase{"1+2)", "Error"},
    ExpressionCase{"()", "Error"},
    ExpressionCase{")(", "Error"}));

// ---- status: syntax errors against math errors ----------------------------

struct StatusCase {
    const char* expression;
    MathResult::Status status;
};

void PrintTo(const StatusCase& c, std::ostream* os) { *os << '"' << c.expression << '"'; }

class ExpressionStatus : public ::testing::TestWithParam<StatusCase> {
protected:
    test_support::DecimalSymbolScope point_{u'.'};
};

TEST_P(ExpressionStatus, IsReportedAsItsKind) {
    const StatusCase& c = GetParam();
    EXPECT_EQ(ParseAndEvaluate(QString::fromLatin1(c.expression)).status, c.status);
}

constexpr auto kSyntax = MathResult::Status::SyntaxError;
constexpr auto kMath = MathResult::Status::MathError;

INSTANTIATE_TEST_SUITE_P(SyntaxErrors, ExpressionStatus, ::testing::Values(
    StatusCase{"", kSyntax},
    StatusCase{"   ", kSyntax},
    StatusCase{"1+*2", kSyntax},
    StatusCase{"1+", kSyntax},
    StatusCase{"*2", kSyntax},
    StatusCase{"2 3", kSyntax},
    StatusCase{"(1", kSyntax},
    StatusCase{"1)", kSyntax},
    StatusCase{"1$2", kSyntax},
    StatusCase{"1,5", kSyntax},   // "," is no decimal point while the symbol is "."
    StatusCase{"X", kSyntax},
    StatusCase{"1/0 2", kSyntax}, // a syntax error wins over a math error
    StatusCase{"\t1", kSyntax}));

INSTANTIATE_TEST_SUITE_P(MathErrors, ExpressionStatus, ::testing::Values(
    StatusCase{"1/0", kMath},
    StatusCase{"1/(2-2)", kMath},
    StatusCase{"5&0", kMath},
    StatusCase{"5&0.5", kMath},                 // the divisor truncates to 0
    StatusCase{"9223372036854775808&2", kMath}, // no 64-bit integer
    StatusCase{"0^2", kMath},
    StatusCase{"(-2)^2", kMath},
    StatusCase{"LN(0)", kMath},
    StatusCase{"LN(-1)", kMath},
    StatusCase{"SQRT(-1)", kMath},
    StatusCase{"EXP(20000)", kMath},
    StatusCase{"10^5000", kMath},
    StatusCase{"SQR(1E4000)", kMath},
    StatusCase{"1E4000*1E4000", kMath},
    StatusCase{"-1E4932-1E4932", kMath},
    StatusCase{"1E4000/1E-4000", kMath},
    StatusCase{"1E", kMath},
    StatusCase{"2E+", kMath},
    StatusCase{"1E5000", kMath},
    StatusCase{"1/0+1", kMath}));

INSTANTIATE_TEST_SUITE_P(Accepted, ExpressionStatus, ::testing::Values(
    StatusCase{"0", MathResult::Status::Ok},
    StatusCase{"1E-5000", MathResult::Status::Ok}, // too small: zero
    StatusCase{"-9223372036854775807&2", MathResult::Status::Ok},
    StatusCase{"0&5", MathResult::Status::Ok},
    StatusCase{"SQRT(0)", MathResult::Status::Ok}));

// ---- the 20-entry parser stack ---------------------------------------------

QString Repeat(const char* piece, int times) { return QString::fromLatin1(piece).repeated(times); }

TEST(ParserStack, SeventeenNestedParenthesesFitEighteenDoNot) {
    EXPECT_EQ(EvaluateMath(Repeat("(", 17) + "1" + Repeat(")", 17), -1), "1");
    EXPECT_EQ(ParseAndEvaluate(Repeat("(", 18) + "1" + Repeat(")", 18)).status,
              MathResult::Status::SyntaxError);
}

TEST(ParserStack, RightAssociativePowersHoldTenOperands) {
    EXPECT_EQ(EvaluateMath("1" + Repeat("^1", 9), -1), "1");
    EXPECT_EQ(ParseAndEvaluate("1" + Repeat("^1", 10)).status, MathResult::Status::SyntaxError);
}

TEST(ParserStack, EachUnaryMinusBeforeAParenthesisTakesAnEntry) {
    EXPECT_EQ(EvaluateMath(Repeat("-(", 8) + "1" + Repeat(")", 8), -1), "1");
    EXPECT_EQ(ParseAndEvaluate(Repeat("-(", 9) + "1" + Repeat(")", 9)).status,
              MathResult::Status::SyntaxError);
}

TEST(ParserStack, LeftAssociativeChainsNeverGrowIt) {
    EXPECT_EQ(EvaluateMath("0" + Repeat("+1", 5000), -1), "5000");
    EXPECT_EQ(EvaluateMath("1" + Repeat("*2", 60), -1), "1.15292150460684698E18");
}

TEST(ParserStack, DeepNestingIsASyntaxErrorNotACrash) {
    EXPECT_EQ(ParseAndEvaluate(Repeat("(", 100000) + "1" + Repeat(")", 100000)).status,
              MathResult::Status::SyntaxError);
    EXPECT_EQ(ParseAndEvaluate(Repeat("ABS(", 1000) + "1" + Repeat(")", 1000)).status,
              MathResult::Status::SyntaxError);
}

} // namespace
