#include "math/math_expression.h"

#include "platform/decimal_symbol.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <string>

namespace tomeric {
namespace {

constexpr int kSignificantDigits = 18;
// General format switches to scientific notation outside this exponent range.
constexpr int kLargestFixedExponent = kSignificantDigits - 1;
constexpr int kSmallestFixedExponent = -5;

// value = (negative ? -1 : 1) * 0.d1d2d3... * 10^pointPosition
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int pointPosition = 0;

    bool IsZero() const {
        return std::all_of(digits.begin(), digits.end(), [](char d) { return d == '0'; });
    }
};

// The value rounded to 18 significant digits, read in the C locale.
DecimalDigits SignificantDigits(long double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::scientific, kSignificantDigits - 1);
    const std::string text(buffer, result.ptr);
    DecimalDigits out;
    const std::size_t e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] == '-')
            out.negative = true;
        else if (text[i] >= '0' && text[i] <= '9')
            out.digits += text[i];
    }
    out.pointPosition = std::stoi(text.substr(e + 1)) + 1;
    return out;
}

// Keeps the digits down to 10^-decimals, rounding the rest half away from zero.
void RoundToDecimals(DecimalDigits& number, int decimals) {
    const int keep = number.pointPosition + decimals;
    if (keep >= static_cast<int>(number.digits.size()))
        return;
    if (keep < 0) {
        number.digits.clear();
        return;
    }
    const bool up = number.digits[keep] >= '5';
    number.digits.resize(keep);
    if (!up)
        return;
    int i = keep - 1;
    for (; i >= 0 && number.digits[i] == '9'; --i)
        number.digits[i] = '0';
    if (i >= 0) {
        ++number.digits[i];
    } else {
        number.digits.insert(number.digits.begin(), '1');
        ++number.pointPosition;
    }
}

QString RenderFixed(const DecimalDigits& number, int decimals) {
    const auto digitAt = [&number](int i) {
        return i >= 0 && i < static_cast<int>(number.digits.size()) ? number.digits[i] : '0';
    };
    std::string text;
    if (number.negative && !number.IsZero())
        text += '-';
    if (number.pointPosition <= 0)
        text += '0';
    for (int i = 0; i < number.pointPosition; ++i)
        text += digitAt(i);
    QString out = QString::fromLatin1(text);
    if (decimals == 0)
        return out;
    out += DecimalSymbol();
    std::string fraction;
    for (int i = number.pointPosition; i < number.pointPosition + decimals; ++i)
        fraction += digitAt(i);
    return out + QString::fromLatin1(fraction);
}

QString RenderScientific(const DecimalDigits& number) {
    QString out;
    if (number.negative)
        out += u'-';
    out += QChar::fromLatin1(number.digits[0]);
    if (number.digits.size() > 1)
        out += DecimalSymbol() + QString::fromLatin1(number.digits.substr(1));
    return out + u'E' + QString::number(number.pointPosition - 1);
}

QString FormatGeneral(long double value) {
    DecimalDigits number = SignificantDigits(value);
    while (!number.digits.empty() && number.digits.back() == '0')
        number.digits.pop_back();
    if (number.digits.empty())
        return QStringLiteral("0");
    const int exponent = number.pointPosition - 1;
    if (exponent > kLargestFixedExponent || exponent < kSmallestFixedExponent)
        return RenderScientific(number);
    const int decimals = std::max(0, static_cast<int>(number.digits.size()) - number.pointPosition);
    return RenderFixed(number, decimals);
}

QString FormatFixed(long double value, int decimals) {
    decimals = std::min(decimals, kMaxFixedDecimals);
    DecimalDigits number = SignificantDigits(value);
    RoundToDecimals(number, decimals);
    return RenderFixed(number, decimals);
}

} // namespace

// Whole numbers below 10^15 are exact at 18 significant digits, so their
// text needs no digit-by-digit rounding: loop counters take this way.
static std::optional<QString> FormatSmallInteger(long double value, int decimals) {
    if (value == 0 || std::fabs(value) >= 1e15L || value != std::floor(value))
        return std::nullopt;
    QString out = QString::number(static_cast<long long>(value));
    decimals = std::min(decimals, kMaxFixedDecimals);
    if (decimals > 0)
        out += DecimalSymbol() + QString(decimals, u'0');
    return out;
}

QString FormatNumber(long double value, int decimals) {
    if (!std::isfinite(value))
        return QStringLiteral("Error");
    if (const auto whole = FormatSmallInteger(value, decimals))
        return *whole;
    return decimals < 0 ? FormatGeneral(value) : FormatFixed(value, decimals);
}

int FormatWholeNumber(long long value, int decimals, char16_t* out) {
    // Below 10^15 FormatNumber writes a whole number's digits as they are,
    // and zero as "0".
    constexpr long long kLimit = 1000000000000000LL;
    if (decimals > 0 || value <= -kLimit || value >= kLimit)
        return 0;
    unsigned long long rest = value < 0 ? 0ull - static_cast<unsigned long long>(value)
                                        : static_cast<unsigned long long>(value);
    int digits = 1;
    for (unsigned long long power = 10; digits < 15 && rest >= power; power *= 10)
        ++digits;
    const int length = digits + (value < 0 ? 1 : 0);
    out[0] = u'-';
    for (int at = length - 1; digits > 0; --digits, --at) {
        out[at] = static_cast<char16_t>(u'0' + rest % 10);
        rest /= 10;
    }
    return length;
}

} // namespace tomeric
