#pragma once
// The arithmetic expression evaluator behind the Math command and every
// numeric parameter of a script ("[n]*100", "round([x]/3)"), plus the
// number-to-text rule all of them share and the Random command's generator.
//
// Expressions: + - * / & (integer remainder) ^ (power, right-associative),
// unary minus, parentheses and the functions ABS ATAN COS EXP LN ROUND SIN
// SQRT SQR TRUNC FRAC, computed in extended precision. Numbers are read and
// written with the program-wide decimal symbol (platform/decimal_symbol.h).

#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tomeric {

struct MathResult {
    enum class Status {
        Ok,          // value holds the result
        SyntaxError, // the text is not an expression of the grammar
        MathError,   // it parsed, but a step has no value (1/0, LN(-1), overflow...)
    };
    Status status = Status::SyntaxError;
    long double value = 0;

    bool ok() const { return status == Status::Ok; }
};

// Parses and computes the expression. Never throws; a syntax error wins over
// a math error when the text has both.
MathResult ParseAndEvaluate(QStringView expression);

namespace math {
struct Token;
}
// Computes an expression already cut into tokens, the last one End.
MathResult EvaluateTokens(const math::Token* tokens, std::size_t count);

// The parse of a token sequence, recorded once. Which shifts and reductions
// the parser makes depends on the token types alone, so an expression whose
// numbers change from one run to the next (a loop's "[i]+1") is parsed once
// and then computed by replaying the recorded reductions over the new
// values: the same steps in the same order, hence the same result, without
// the table look-ups or the chain of one-symbol reductions every number
// passes through on its way up the grammar.
class RecordedParse {
public:
    // Records the parse of `tokens` (End last); nothing on a syntax error.
    static std::optional<RecordedParse> Record(const math::Token* tokens, std::size_t count);
    // Computes with `tokens` of the same count and types as recorded, whose
    // number values may differ. Never a syntax error.
    MathResult Evaluate(const math::Token* tokens) const;
    // The same computation in 64-bit integers, `values` holding each
    // token's value (numbers only, all whole). Where it gives a value,
    // Evaluate gives the same: a whole-number step whose result stays in
    // range is exact in extended precision too. Nothing when the parse
    // divides, takes a remainder or a power or calls a function, or when a
    // step leaves the range.
    std::optional<long long> EvaluateWhole(const long long* values) const;
    // False when EvaluateWhole never gives a value.
    bool IsWhole() const { return whole_; }

private:
    struct Step {
        std::int16_t production; // -1: shift the next token
        std::int16_t token;       // shift: the token's index
        std::uint8_t wholeStep;   // reduce: its math::WholeStep
        std::uint8_t length;      // reduce: the symbols it takes off the stack
    };
    std::vector<Step> steps_;
    bool whole_ = true;
};
// The text as the tokenizer reads it: upper-cased, "." as the decimal
// point, and for a `wholeText` a leading "+" read as "0+" (a piece from
// the middle of an expression keeps its "+" as an operator).
QString PrepareExpression(QStringView expression, bool wholeText = true);

// The result text of an expression: "Error" after a syntax or math error,
// otherwise FormatNumber(value, decimals).
QString EvaluateMath(const QString& expression, int decimals);

// The result text of an already computed MathResult (same rule as above).
QString MathResultText(const MathResult& result, int decimals);

// How every computed number becomes text, with the current decimal symbol:
// - decimals < 0: general format, at most 18 significant digits, no trailing
//   zeros; scientific ("1.5E18", "-2E-7") when the decimal exponent is 18 or
//   more or the magnitude is below 0.00001;
// - decimals >= 0: fixed notation with exactly that many decimals, rounded
//   half away from zero (decimals above kMaxFixedDecimals are clamped).
// Zero never carries a sign. Infinity and NaN give "Error".
inline constexpr int kMaxFixedDecimals = 1000;
QString FormatNumber(long double value, int decimals);
// FormatNumber's text for a whole `value` below 10^15 in magnitude when
// `decimals` asks for none (decimals <= 0), written to `out` without
// building a string: its length, or 0 when FormatNumber must be asked.
inline constexpr int kWholeNumberChars = 16; // a sign and 15 digits
int FormatWholeNumber(long long value, int decimals, char16_t* out);

// ---- Random ------------------------------------------------------------------
// One process-wide generator, seeded from the clock on first use.

// A uniformly drawn integer between 0 and maximum inclusive (between maximum
// and 0 when maximum is negative).
long long RandomNumber(long long maximum);

// The Random command's rule on its parameter text: the maximum is read as an
// integer (0 when it is not one); the result is the drawn number as text.
QString RandomText(QStringView maximumText);

// Re-seeds from the clock (done when a publication starts).
void SeedRandomFromClock();
// Fixed seed, so tests and scripted sessions can replay a sequence.
void SeedRandom(std::uint64_t seed);

} // namespace tomeric
