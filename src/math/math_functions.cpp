#include "math/math_functions.h"

#include <array>
#include <cmath>

namespace tomeric::math {
namespace {

MathValue Finite(long double x) {
    if (!std::isfinite(x))
        return std::nullopt;
    return x;
}

MathValue Abs(long double x) { return std::fabs(x); }
MathValue Atan(long double x) { return std::atan(x); }
MathValue Cos(long double x) { return Finite(std::cos(x)); }
MathValue Exp(long double x) { return Finite(std::exp(x)); }
MathValue Sin(long double x) { return Finite(std::sin(x)); }
MathValue Sqr(long double x) { return Finite(x * x); }
MathValue Trunc(long double x) { return std::trunc(x); }
MathValue Frac(long double x) { return x - std::trunc(x); }

MathValue Ln(long double x) {
    if (x <= 0)
        return std::nullopt;
    return std::log(x);
}

// Ties go to the even neighbour: the evaluation runs in round-to-nearest mode.
MathValue Round(long double x) { return std::nearbyint(x); }

MathValue Sqrt(long double x) {
    if (x < 0)
        return std::nullopt;
    return std::sqrt(x);
}

constexpr std::array<MathFunction, 11> kFunctions{{
    {"ABS", Abs},
    {"ATAN", Atan},
    {"COS", Cos},
    {"EXP", Exp},
    {"LN", Ln},
    {"ROUND", Round},
    {"SIN", Sin},
    {"SQRT", Sqrt},
    {"SQR", Sqr},
    {"TRUNC", Trunc},
    {"FRAC", Frac},
}};

} // namespace

std::span<const MathFunction> FunctionTable() { return kFunctions; }

MathValue ApplyFunction(int index, long double x) {
    if (index < 1 || index > static_cast<int>(kFunctions.size()))
        return std::nullopt;
    return kFunctions[index - 1].apply(x);
}

} // namespace tomeric::math
