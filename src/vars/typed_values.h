#pragma once
// Conversion of values into typed variables (DefineVar types) and the
// lenient reading of numbers that typed variables and numeric comparisons
// share. Numbers are written with the program's decimal symbol.

#include "vars/var_string_list.h"

#include <QString>

#include <optional>

namespace tomeric {

// The outcome of putting a value into a typed variable.
struct TypedValue {
    bool ok = false;
    QString value; // the text to store when ok
    QString error; // the message for [LastError] when not ok (324..328)
};

// Converts `value` for a variable of type `type` with format `format`:
//  Integer: "" gives "0", else a whole number (no decimals, no spaces);
//  Currency: read leniently, 2 decimals; Decimal: read leniently (""
//  counts as 0) with `format` decimals (2 when not a number);
//  Boolean: True/T/Yes/Checked/OK/1 or False/F/No/UnChecked/Cancel/0;
//  Date: parsed and written with the date format; String, Undefined: as is.
TypedValue ConvertTypedValue(TVarType type, const QString& format, const QString& value);

// The value a new typed variable starts with.
QString TypeDefault(TVarType type, const QString& format);

// The number of decimals a Decimal format asks for (2 when it is not a
// number; bounded to 0..18).
int DecimalPlaces(const QString& format);

// Lenient number reading: keeps digits, "-" and the decimal symbol, turns a
// "," or "." that is not the decimal symbol into it, drops everything else,
// and converts the rest ("1 234,5 EUR" is 1234.5 when the decimal symbol is
// ","). Nothing when what is left is not a number.
std::optional<double> ReadNumberLeniently(const QString& text);
// As above, 0 when not a number.
double LenientNumber(const QString& text);

// A number in fixed notation with `decimals` decimals and the decimal symbol.
QString FormatFixed(double value, int decimals);

// Reads a whole number as scripts write integers: optional sign and digits,
// surrounding spaces ignored. Nothing when it is not one (or out of range).
std::optional<int> ReadInteger(const QString& text);

} // namespace tomeric
