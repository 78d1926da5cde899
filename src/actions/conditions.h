#pragma once
// The conditions of If/While (three parameters) and IfEx/WhileEx (one
// expression of comparisons joined by AND and OR).

#include <QString>

#include <optional>

namespace tomeric {

class PublicationAccess;

// One side of a comparison after evaluation.
struct Operand {
    QString Text;
    bool Exact = false;
};

// True for "=", "<>", "<", ">", "<=", ">=".
bool IsComparisonOperator(const QString& op);

// What those six operators compare, and the comparison an operator names
// (none for any other text).
enum class Comparison { Equal, NotEqual, Less, Greater, LessOrEqual, GreaterOrEqual };
std::optional<Comparison> ComparisonNamed(const QString& op);

template <class T>
bool Holds(Comparison comparison, T a, T b)
{
    switch (comparison) {
    case Comparison::Equal: return a == b;
    case Comparison::NotEqual: return a != b;
    case Comparison::Less: return a < b;
    case Comparison::Greater: return a > b;
    case Comparison::LessOrEqual: return a <= b;
    case Comparison::GreaterOrEqual: return a >= b;
    }
    return false;
}

// Compares two operands with a valid operator. Unless an operand is Exact
// both are upper-cased; an Exact operand makes the texts compare as written.
// Numbers compare as numbers when both read as numbers and either
// `numbersEvenIfExact` is set or neither operand is Exact; otherwise the
// texts compare character by character in the Windows code page.
bool CompareOperands(const Operand& left, const QString& op, const Operand& right,
                     bool numbersEvenIfExact);

// True when the text reads as a number with "." or the decimal symbol.
bool ReadsAsNumber(const QString& text);

// The outcome of an IfEx/WhileEx expression: an error code (0 when it was
// valid) with the token the error names.
struct ConditionResult {
    bool Value = false;
    int Error = 0;
    QString Token;
};

// Evaluates an expression; each operand is evaluated as a
// value parameter.
ConditionResult EvaluateConditionExpression(const QString& expression,
                                            const PublicationAccess* publication);

} // namespace tomeric
