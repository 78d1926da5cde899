#pragma once
// Numeric parameters such as "[i]+1" or "[j]*2" are computed on every pass
// of a loop. Their text is cut into tokens once; a pass then puts the
// variables' values in as number tokens instead of building the substituted
// text and reading it again.
//
// The shortcut is taken only where it gives exactly what substituting first
// gives: every reference is a plain [Name] standing between operators,
// blanks or the ends of the text, the text is computed at all (it is not a
// lone reference, a plain number or an exact "!" text), and every value put
// in is a whole number of digits held by a script variable. Anything else
// gives nothing, and the caller takes the general way.

#include "math/math_expression.h"

#include <QString>

#include <optional>

namespace tomeric {

// The result of computing `text` as a numeric parameter; nothing when the
// shortcut does not apply or the expression has a syntax error (which
// leaves the substituted text as written).
std::optional<MathResult> ComputeByTemplate(const QString& text);

// The same, with the result also as a 64-bit integer when it was computed
// in whole numbers (then Result.value is that number exactly).
struct TemplateResult {
    MathResult Result;
    std::optional<long long> Whole;
};
std::optional<TemplateResult> ComputeTemplateResult(const QString& text);

} // namespace tomeric
