#include "math/math_command.h"

#include "math/math_expression.h"

namespace tomeric {

int ReadDecimalsParameter(QStringView evaluatedDecimals) {
    bool ok = false;
    const int decimals = evaluatedDecimals.trimmed().toInt(&ok);
    return ok ? decimals : 0;
}

MathCommandOutcome RunMathCommand(QStringView writtenExpression,
                                  QStringView substitutedExpression,
                                  QStringView evaluatedDecimals) {
    const MathResult result = ParseAndEvaluate(substitutedExpression);
    MathCommandOutcome outcome;
    // With variables in it the text came partly from the user, so a bad
    // expression is data to report, not a fault of the script.
    outcome.stopsScript = result.status == MathResult::Status::SyntaxError
                          && !writtenExpression.contains(u'[');
    outcome.text = MathResultText(result, ReadDecimalsParameter(evaluatedDecimals));
    return outcome;
}

} // namespace tomeric
