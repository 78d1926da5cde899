// Whatever text a script hands the evaluator, it answers: a number or
// "Error", never a crash or a hang.

#include "math/math_expression.h"

#include "decimal_symbol_scope.h"

#include <QRegularExpression>
#include <QString>
#include <gtest/gtest.h>
#include <random>

using namespace tomeric;

namespace {

// Characters the grammar cares about, weighted towards well-formed pieces so
// the random texts reach deep into the parser, plus a few it must refuse.
const QString kAlphabet = QStringLiteral("0123456789..,,EE+-*/^&(()) ");
const char* const kWords[] = {"ABS(", "ATAN(", "COS(", "EXP(", "LN(", "ROUND(", "SIN(",
                              "SQRT(", "SQR(", "TRUNC(", "FRAC(", "1E4000", "1E-4000",
                              "9999999999999999999", "sqrtx", "e+", "\t", "\xe9", "[x]"};

QString RandomText(std::mt19937& random) {
    std::uniform_int_distribution<int> length(0, 40);
    std::uniform_int_distribution<int> pick(0, 99);
    QString text;
    for (int n = length(random); n > 0; --n) {
        const int p = pick(random);
        if (p < 70)
            text += kAlphabet[p % kAlphabet.size()];
        else if (p < 95)
            text += QString::fromLatin1(kWords[p % std::size(kWords)]);
        else
            text += QChar(static_cast<char16_t>(random() % 0xFFFF + 1));
    }
    return text;
}

// A number as the evaluator writes it: optional sign, digits, optional
// decimals after the decimal symbol, optional exponent.
bool IsNumberOrError(const QString& text, QChar symbol) {
    static const QString pattern = QStringLiteral("-?[0-9]+(\\%1[0-9]+)?(E-?[0-9]+)?");
    const QRegularExpression number(QRegularExpression::anchoredPattern(pattern.arg(symbol)));
    return text == u"Error" || number.match(text).hasMatch();
}

TEST(MathFuzz, RandomTextsGiveANumberOrError) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 200000; ++round) {
        const QChar symbol = round % 2 ? u',' : u'.';
        const test_support::DecimalSymbolScope scope(symbol);
        const QString expression = RandomText(random);
        const int decimals = static_cast<int>(random() % 40) - 5;
        const QString result = EvaluateMath(expression, decimals);
        ASSERT_TRUE(IsNumberOrError(result, symbol))
            << qPrintable(expression) << " -> " << qPrintable(result);
    }
}

TEST(MathFuzz, WellFormedRandomSumsAndProductsAlwaysParse) {
    std::mt19937 random(7);
    const char* const operators[] = {"+", "-", "*", "/", "&"};
    for (int round = 0; round < 20000; ++round) {
        QString expression = QString::number(random() % 100);
        for (int n = random() % 30; n > 0; --n) {
            expression += QString::fromLatin1(operators[random() % std::size(operators)]);
            expression += random() % 4 ? QString::number(random() % 100)
                                       : QStringLiteral("(%1-%2)").arg(random() % 9).arg(random() % 9);
        }
        EXPECT_NE(ParseAndEvaluate(expression).status, MathResult::Status::SyntaxError)
            << qPrintable(expression);
    }
}

} // namespace
