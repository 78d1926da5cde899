#pragma once
// The functions an expression may call, in their fixed table order. Names are
// matched in this order, so "SQRT" is found before "SQR".

#include <optional>
#include <span>

namespace tomeric::math {

// A function's value, or nothing when the argument is outside its domain or
// the result has no finite value.
using MathValue = std::optional<long double>;

struct MathFunction {
    const char* name;
    MathValue (*apply)(long double x);
};

// Index i of the span is function number i + 1.
std::span<const MathFunction> FunctionTable();

// The value of function number `index` (from 1) at x.
MathValue ApplyFunction(int index, long double x);

} // namespace tomeric::math
