#include "platform/decimal_symbol.h"

#include <QLocale>

namespace tomeric {
namespace {

QChar LocaleDecimalSymbol() {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 ? point[0] : QChar(u'.');
}

QChar& CurrentSymbol() {
    static QChar symbol = LocaleDecimalSymbol();
    return symbol;
}

} // namespace

QChar DecimalSymbol() { return CurrentSymbol(); }
void SetDecimalSymbol(QChar symbol) { CurrentSymbol() = symbol; }
void ResetDecimalSymbol() { CurrentSymbol() = LocaleDecimalSymbol(); }

} // namespace tomeric
