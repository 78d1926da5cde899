#include "vars/typed_values.h"

#include "platform/decimal_symbol.h"
#include "platform/string_table.h"
#include "vars/dates.h"

#include <QDateTime>

#include <algorithm>
#include <array>
#include <cmath>

namespace tomeric {
namespace {

constexpr std::array<const char*, 6> kTrueWords = {"True", "T", "Yes", "Checked", "OK", "1"};
constexpr std::array<const char*, 6> kFalseWords = {"False", "F", "No", "UnChecked", "Cancel", "0"};

template <std::size_t N>
bool IsOneOf(const QString& text, const std::array<const char*, N>& words) {
    for (const char* word : words)
        if (text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// Decimal digits with an optional leading sign, nothing else.
bool IsPlainInteger(const QString& text) {
    qsizetype i = (text.startsWith(u'-') || text.startsWith(u'+')) ? 1 : 0;
    if (i >= text.size())
        return false;
    for (; i < text.size(); ++i)
        if (text[i] < u'0' || text[i] > u'9')
            return false;
    return true;
}

// The text with only digits, "-" and the decimal symbol left, both "," and
// "." read as the decimal symbol.
QString NumberCharacters(const QString& text) {
    const QChar symbol = DecimalSymbol();
    QString kept;
    for (const QChar c : text) {
        if ((c >= u'0' && c <= u'9') || c == u'-' || c == symbol)
            kept += c;
        else if (c == u',' || c == u'.')
            kept += symbol;
    }
    return kept;
}

TypedValue Ok(const QString& value) { return {true, value, {}}; }
TypedValue Failed(MessageId message, const QString& value) { return {false, {}, Message(message, value)}; }

TypedValue ToInteger(const QString& value) {
    if (value.isEmpty())
        return Ok(QStringLiteral("0"));
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!IsPlainInteger(value) || !ok)
        return Failed(msgInvalidInteger, value);
    return Ok(QString::number(number));
}

// Currency and Decimal: a value that holds no number at all (other than the
// empty value) is refused rather than stored as zero.
TypedValue ToFixed(const QString& value, int decimals, MessageId message) {
    if (value.trimmed().isEmpty())
        return Ok(FormatFixed(0, decimals));
    const std::optional<double> number = ReadNumberLeniently(value);
    if (!number)
        return Failed(message, value);
    return Ok(FormatFixed(*number, decimals));
}

TypedValue ToBoolean(const QString& value) {
    const QString word = value.trimmed();
    if (IsOneOf(word, kTrueWords))
        return Ok(QStringLiteral("True"));
    if (IsOneOf(word, kFalseWords))
        return Ok(QStringLiteral("False"));
    return Failed(msgInvalidBoolean, value);
}

TypedValue ToDate(const QString& value, const QString& format) {
    const std::optional<QDate> date = ParseDate(value, format);
    if (!date)
        return Failed(msgInvalidDate, value);
    return Ok(FormatDateTime(format, QDateTime(*date, QTime(0, 0))));
}

} // namespace

TypedValue ConvertTypedValue(TVarType type, const QString& format, const QString& value) {
    switch (type) {
    case vtInteger: return ToInteger(value);
    case vtCurrency: return ToFixed(value, 2, msgInvalidCurrency);
    case vtDecimal: return ToFixed(value, DecimalPlaces(format), msgInvalidDecimal);
    case vtBoolean: return ToBoolean(value);
    case vtDate: return ToDate(value, format);
    case vtString:
    case vtUndefined: break;
    }
    return Ok(value);
}

QString TypeDefault(TVarType type, const QString& format) {
    switch (type) {
    case vtInteger: return QStringLiteral("0");
    case vtCurrency: return FormatFixed(0, 2);
    case vtDecimal: return FormatFixed(0, DecimalPlaces(format));
    case vtBoolean: return QStringLiteral("False");
    default: return {};
    }
}

int DecimalPlaces(const QString& format) {
    bool ok = false;
    const int places = format.trimmed().toInt(&ok);
    return ok ? std::clamp(places, 0, 18) : 2;
}

// A whole number of at most 15 digits ("42", "-7") is exact as a double
// and reads the same through the general path; loops compare such
// counters on every pass, so they are read without building a copy.
static std::optional<double> ReadSmallInteger(const QString& text) {
    const qsizetype start = text.startsWith(u'-') ? 1 : 0;
    const qsizetype digits = text.size() - start;
    if (digits < 1 || digits > 15)
        return std::nullopt;
    long long value = 0;
    for (qsizetype i = start; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
    }
    return start ? -double(value) : double(value);
}

std::optional<double> ReadNumberLeniently(const QString& text) {
    if (const auto whole = ReadSmallInteger(text))
        return whole;
    QString kept = NumberCharacters(text);
    if (kept.isEmpty())
        return std::nullopt;
    kept.replace(DecimalSymbol(), u'.');
    bool ok = false;
    const double number = kept.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

double LenientNumber(const QString& text) { return ReadNumberLeniently(text).value_or(0.0); }

QString FormatFixed(double value, int decimals) {
    QString text = QString::number(value, 'f', std::clamp(decimals, 0, 18));
    if (text.startsWith(u'-') && text.size() > 1) {
        // "-0.00" is written "0.00"
        bool allZero = true;
        for (qsizetype i = 1; i < text.size(); ++i)
            if (text[i] != u'0' && text[i] != u'.')
                allZero = false;
        if (allZero)
            text.remove(0, 1);
    }
    text.replace(u'.', DecimalSymbol());
    return text;
}

std::optional<int> ReadInteger(const QString& text) {
    // Up to nine digits always fit: the usual "0" or "2" of a Math command
    // is read without the general conversion.
    if (!text.isEmpty() && text.size() <= 9 &&
        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })) {
        int number = 0;
        for (const QChar c : text)
            number = number * 10 + (c.unicode() - u'0');
        return number;
    }
    const QString trimmed = text.trimmed();
    if (!IsPlainInteger(trimmed))
        return std::nullopt;
    bool ok = false;
    const int number = trimmed.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return number;
}

} // namespace tomeric
