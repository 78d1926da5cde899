#include "math/math_tokenizer.h"

#include "math/math_functions.h"

#include <charconv>
#include <optional>
#include <string>

namespace tomeric::math {
namespace {

constexpr int kMaxExponentDigits = 4;

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsLetter(QChar c) { return c >= u'A' && c <= u'Z'; }

Token Simple(TokenType type) { return Token{type}; }

struct OperatorChar {
    char16_t character;
    TokenType type;
};

constexpr OperatorChar kOperators[] = {
    {u'+', TokenType::Plus},      {u'-', TokenType::Minus},     {u'*', TokenType::Times},
    {u'/', TokenType::Divide},    {u'^', TokenType::Power},     {u'(', TokenType::OpenParen},
    {u')', TokenType::CloseParen}, {u'&', TokenType::Remainder},
};

TokenType OperatorToken(QChar c) {
    for (const OperatorChar& op : kOperators)
        if (op.character == c.unicode())
            return op.type;
    return TokenType::Bad;
}

// The number text as written, read in the C locale whatever the process
// locale says. Anything the conversion does not take entirely ("1E", "2E+")
// has no value; a value too small to represent reads as zero.
Token ConvertNumber(const std::string& text) {
    Token token{TokenType::Number};
    const char* const end = text.data() + text.size();
    long double value = 0;
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (stop != end) {
        token.mathError = true;
    } else if (error == std::errc::result_out_of_range) {
        const bool tiny = text.find("E-") != std::string::npos;
        token.mathError = !tiny;
        value = 0;
    } else if (error != std::errc()) {
        token.mathError = true;
    }
    token.value = token.mathError ? 0 : value;
    return token;
}

} // namespace

QChar MathTokenizer::Peek(qsizetype offset) const {
    const qsizetype at = position_ + offset;
    return at < text_.size() ? text_[at] : QChar();
}

Token MathTokenizer::Next() {
    while (Peek() == u' ')
        ++position_;
    const QChar c = Peek();
    if (c.isNull())
        return Simple(TokenType::End);
    if (IsDigit(c) || c == u'.')
        return ReadNumber();
    if (IsLetter(c))
        return ReadFunctionName();
    ++position_;
    return Simple(OperatorToken(c));
}

// Up to 18 digits are exact as an integer and as a long double, so a whole
// number standing alone is read without the general conversion.
std::optional<Token> MathTokenizer::ReadWholeNumber() {
    constexpr qsizetype kMaxExactDigits = 18;
    qsizetype end = position_;
    unsigned long long value = 0;
    while (end < text_.size() && IsDigit(text_[end]) && end - position_ < kMaxExactDigits)
        value = value * 10 + (text_[end++].unicode() - u'0');
    const QChar next = end < text_.size() ? text_[end] : QChar();
    if (end == position_ || IsDigit(next) || next == u'.' || next == u'E')
        return std::nullopt;
    position_ = end;
    Token token{TokenType::Number};
    token.value = static_cast<long double>(value);
    return token;
}

Token MathTokenizer::ReadNumber() {
    if (const auto whole = ReadWholeNumber())
        return *whole;
    std::string text;
    bool seenPoint = false;
    for (QChar c = Peek(); IsDigit(c) || (c == u'.' && !seenPoint); c = Peek()) {
        seenPoint = seenPoint || c == u'.';
        text += static_cast<char>(c.unicode());
        ++position_;
    }
    if (text == ".")
        return Simple(TokenType::Bad);
    if (text.front() == '.')
        text.insert(text.begin(), '0');
    if (Peek() == u'E') {
        text += 'E';
        ++position_;
        if (Peek() == u'+' || Peek() == u'-') {
            text += static_cast<char>(Peek().unicode());
            ++position_;
        }
        for (int digits = 0; digits < kMaxExponentDigits && IsDigit(Peek()); ++digits) {
            text += static_cast<char>(Peek().unicode());
            ++position_;
        }
    }
    return ConvertNumber(text);
}

Token MathTokenizer::ReadFunctionName() {
    const QStringView rest = text_.mid(position_);
    const auto functions = FunctionTable();
    for (std::size_t i = 0; i < functions.size(); ++i) {
        const QLatin1String name(functions[i].name);
        if (rest.startsWith(name)) {
            position_ += name.size();
            Token token{TokenType::Function};
            token.function = static_cast<int>(i) + 1;
            return token;
        }
    }
    ++position_;
    return Simple(TokenType::Bad);
}

} // namespace tomeric::math
