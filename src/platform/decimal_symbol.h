#pragma once
// The one decimal symbol of the whole program. Every conversion between
// numbers and text reads it, every number written as text uses it. It starts
// as the locale's decimal separator and scripts may change it through the
// [DecimalSymbol] variable.

#include <QChar>

namespace tomeric {

QChar DecimalSymbol();
void SetDecimalSymbol(QChar symbol);
// Back to the system locale's decimal separator ("." when it has none).
void ResetDecimalSymbol();

} // namespace tomeric
