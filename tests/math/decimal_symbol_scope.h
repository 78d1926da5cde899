#pragma once
// Pins the program-wide decimal symbol for one test and gives the previous
// one back afterwards, so tests never depend on the machine's locale.

#include "platform/decimal_symbol.h"

namespace tomeric::test_support {

class DecimalSymbolScope {
public:
    explicit DecimalSymbolScope(QChar symbol) : saved_(DecimalSymbol()) { SetDecimalSymbol(symbol); }
    ~DecimalSymbolScope() { SetDecimalSymbol(saved_); }
    DecimalSymbolScope(const DecimalSymbolScope&) = delete;
    DecimalSymbolScope& operator=(const DecimalSymbolScope&) = delete;

private:
    QChar saved_;
};

} // namespace tomeric::test_support
