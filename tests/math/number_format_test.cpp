// How results become text: general and fixed format, rounding, signs, huge
// and tiny magnitudes, and the program's decimal symbol on input and output.

#include "math/math_expression.h"

#include "decimal_symbol_scope.h"

#include <cfenv>
#include <clocale>
#include <string>
#include <gtest/gtest.h>
#include <limits>

using namespace tomeric;

namespace {

struct FormatCase {
    long double value;
    int decimals;
    const char* expected;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << static_cast<double>(c.value) << " with " << c.decimals << " decimals";
}

class NumberText : public ::testing::TestWithParam<FormatCase> {
protected:
    test_support::DecimalSymbolScope point_{u'.'};
};

TEST_P(NumberText, IsWrittenAsExpected) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatNumber(c.value, c.decimals), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(GeneralFormat, NumberText, ::testing::Values(
    FormatCase{0, -1, "0"},
    FormatCase{-0.0L, -1, "0"},
    FormatCase{14, -1, "14"},
    FormatCase{-14, -1, "-14"},
    FormatCase{0.5L, -1, "0.5"},
    FormatCase{1.0L / 3, -1, "0.333333333333333333"},
    FormatCase{-2.0L / 3, -1, "-0.666666666666666667"},
    FormatCase{123456789.123456789L, -1, "123456789.123456789"},
    FormatCase{999999999999999999.0L, -1, "999999999999999999"},
    FormatCase{1e18L, -1, "1E18"},
    FormatCase{1.5e18L, -1, "1.5E18"},
    FormatCase{-2.25e100L, -1, "-2.25E100"},
    FormatCase{1e4000L, -1, "1E4000"},
    FormatCase{0.00001L, -1, "0.00001"},
    FormatCase{0.000012345L, -1, "0.000012345"},
    FormatCase{0.0000099L, -1, "9.9E-6"},
    FormatCase{-1e-7L, -1, "-1E-7"},
    FormatCase{1.25e-300L, -1, "1.25E-300"},
    FormatCase{0.99999999999999999999L, -1, "1"}));  // rounds to 18 digits

INSTANTIATE_TEST_SUITE_P(FixedFormat, NumberText, ::testing::Values(
    FormatCase{20, 2, "20.00"},
    FormatCase{14, 0, "14"},
    FormatCase{0, 3, "0.000"},
    FormatCase{2.5L, 0, "3"},          // half away from zero, unlike ROUND
    FormatCase{-2.5L, 0, "-3"},
    FormatCase{0.125L, 2, "0.13"},
    FormatCase{0.15L, 1, "0.2"},       // decided on the 18-digit value
    FormatCase{0.4L, 0, "0"},
    FormatCase{0.5L, 0, "1"},
    FormatCase{0.005L, 2, "0.01"},
    FormatCase{0.0049L, 2, "0.00"},
    FormatCase{0.006L, 2, "0.01"},
    FormatCase{0.0004L, 2, "0.00"},
    FormatCase{9.995L, 2, "10.00"},
    FormatCase{999.9996L, 3, "1000.000"},
    FormatCase{-0.001L, 2, "0.00"},    // no negative zero
    FormatCase{-0.0L, 1, "0.0"},
    FormatCase{-1.005L, 2, "-1.01"},
    FormatCase{1.0L / 3, 20, "0.33333333333333333300"}, // 18 significant digits
    FormatCase{1e20L, 2, "100000000000000000000.00"},
    FormatCase{123456789012345678901.0L, 0, "123456789012345679000"},
    FormatCase{1e-30L, 3, "0.000"},
    FormatCase{1.5e-10L, 12, "0.000000000150"}));

TEST(NumberTextLimits, NonFiniteValuesAreErrors) {
    EXPECT_EQ(FormatNumber(std::numeric_limits<long double>::infinity(), -1), "Error");
    EXPECT_EQ(FormatNumber(-std::numeric_limits<long double>::infinity(), 2), "Error");
    EXPECT_EQ(FormatNumber(std::numeric_limits<long double>::quiet_NaN(), 0), "Error");
}

TEST(NumberTextLimits, DecimalsAreClampedSoAHugeCountCannotExhaustMemory) {
    const test_support::DecimalSymbolScope point(u'.');
    EXPECT_EQ(FormatNumber(1, 2'000'000'000).size(), 2 + kMaxFixedDecimals);
}

TEST(NumberTextLimits, TheLargestValuesAreWrittenInFull) {
    const test_support::DecimalSymbolScope point(u'.');
    const long double largest = std::numeric_limits<long double>::max();
    EXPECT_EQ(FormatNumber(largest, -1), "1.18973149535723177E4932");
    EXPECT_EQ(FormatNumber(largest, 0).size(), 4933);
}

// ---- the result text of an expression ---------------------------------------

TEST(ResultText, DecimalsApplyToTheComputedValue) {
    const test_support::DecimalSymbolScope point(u'.');
    EXPECT_EQ(EvaluateMath("(2+3)*4", 2), "20.00");
    EXPECT_EQ(EvaluateMath("7&3", 0), "1");
    EXPECT_EQ(EvaluateMath("2/3", 4), "0.6667");
    EXPECT_EQ(EvaluateMath("-1/3", 0), "0");
    EXPECT_EQ(EvaluateMath("1/0", 2), "Error");
    EXPECT_EQ(EvaluateMath("1+*2", 2), "Error");
}

// ---- the decimal symbol -------------------------------------------------------

TEST(DecimalSymbolInMath, CommaIsReadAndWritten) {
    const test_support::DecimalSymbolScope comma(u',');
    EXPECT_EQ(EvaluateMath("1,5*2", -1), "3");
    EXPECT_EQ(EvaluateMath("1,5*3", -1), "4,5");
    EXPECT_EQ(EvaluateMath("(2+3)*4", 2), "20,00");
    EXPECT_EQ(EvaluateMath(",5+1", -1), "1,5");
    EXPECT_EQ(EvaluateMath("1,5E20", -1), "1,5E20");
    EXPECT_EQ(FormatNumber(-0.25L, 3), "-0,250");
}

TEST(DecimalSymbolInMath, PointStaysADecimalPointUnderAComma) {
    const test_support::DecimalSymbolScope comma(u',');
    EXPECT_EQ(EvaluateMath("1.5*3", -1), "4,5");
    EXPECT_EQ(ParseAndEvaluate(u"1,2,3").status, MathResult::Status::SyntaxError);
}

TEST(DecimalSymbolInMath, CommaIsABadCharacterUnderAPoint) {
    const test_support::DecimalSymbolScope point(u'.');
    EXPECT_EQ(ParseAndEvaluate(u"1,5").status, MathResult::Status::SyntaxError);
}

TEST(DecimalSymbolInMath, AnyNumberWrittenCanBeReadBack) {
    for (const QChar symbol : {QChar(u'.'), QChar(u',')}) {
        const test_support::DecimalSymbolScope scope(symbol);
        for (const long double v : {1.0L / 7, -1e-9L, 2.5e21L, 12345.678L, -0.000015L}) {
            const MathResult back = ParseAndEvaluate(FormatNumber(v, -1));
            ASSERT_TRUE(back.ok()) << qPrintable(FormatNumber(v, -1));
            EXPECT_EQ(FormatNumber(back.value, -1), FormatNumber(v, -1));
        }
    }
}

TEST(DecimalSymbolInMath, TheProcessLocaleDoesNotChangeReadingOrWriting) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    const char* commaLocale = nullptr;
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE", "fr_FR"})
        if (std::setlocale(LC_NUMERIC, name)) {
            commaLocale = name;
            break;
        }
    if (!commaLocale)
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    const test_support::DecimalSymbolScope point(u'.');
    const QString sum = EvaluateMath("1.5+2.25", -1);
    const QString third = EvaluateMath("1/3", 3);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(sum, "3.75");
    EXPECT_EQ(third, "0.333");
}

// ---- whole numbers without a string ------------------------------------------

TEST(FormatWholeNumber, WritesWhatFormatNumberWritesOrDeclines) {
    for (const QChar symbol : {QChar(u'.'), QChar(u',')}) {
        const test_support::DecimalSymbolScope scope(symbol);
        for (const long long value : {0LL, 1LL, -1LL, 7LL, 10LL, -42LL, 123456789LL, 999999999999999LL,
                                      -999999999999999LL, 1000000000000000LL, -1000000000000000LL,
                                      9223372036854775807LL, -9223372036854775807LL - 1}) {
            for (const int decimals : {-1, 0, 1, 2}) {
                char16_t out[kWholeNumberChars];
                const int length = FormatWholeNumber(value, decimals, out);
                if (length == 0) // declined: only for decimals or 16 digits and more
                    EXPECT_TRUE(decimals > 0 || value >= 1000000000000000LL || value <= -1000000000000000LL);
                else
                    EXPECT_EQ(QString(reinterpret_cast<const QChar*>(out), length),
                              FormatNumber(static_cast<long double>(value), decimals))
                        << value << " with " << decimals << " decimals";
            }
        }
    }
}

// ---- rounding mode ----------------------------------------------------------

TEST(RoundingMode, RoundTiesToEvenWhateverTheCallersModeAndItIsRestored) {
    const test_support::DecimalSymbolScope point(u'.');
    const int saved = std::fegetround();
    std::fesetround(FE_UPWARD);
    EXPECT_EQ(EvaluateMath("ROUND(2.5)", -1), "2");
    EXPECT_EQ(EvaluateMath("ROUND(-3.5)", -1), "-4");
    EXPECT_EQ(EvaluateMath("ROUND(0.5)", -1), "0");
    EXPECT_EQ(std::fegetround(), FE_UPWARD);
    std::fesetround(saved);
}

} // namespace
