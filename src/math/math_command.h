#pragma once
// The Math command's rule once its parameters have been substituted: what
// the result variable receives, and when a syntax error stops the script
// instead (error -10, message 323 "Cette équation mathématique contient une
// erreur de syntaxe.").

#include <QString>
#include <QStringView>

namespace tomeric {

struct MathCommandOutcome {
    // A syntax error in an expression written without any variable reference:
    // the script stops with error -10. Otherwise the script goes on.
    bool stopsScript = false;
    // The result text for the variable ("Error" after a syntax or math error);
    // unused when the script stops, the variable then keeps its value.
    QString text;
};

// writtenExpression: the expression as the script wrote it (before [names]
// were replaced); substitutedExpression: after substitution, empty references
// giving "0"; evaluatedDecimals: the decimals parameter after substitution and
// evaluation as a number parameter.
MathCommandOutcome RunMathCommand(QStringView writtenExpression,
                                  QStringView substitutedExpression,
                                  QStringView evaluatedDecimals);

// The decimals parameter read as an integer; 0 when it is not one.
int ReadDecimalsParameter(QStringView evaluatedDecimals);

} // namespace tomeric
