#include "richtext/rtf_tokenizer.h"

#include <algorithm>
#include <climits>

namespace tomeric {
namespace {

// Longer names or numbers are not RTF; they are cut, never read unbounded.
constexpr qsizetype kMaxWordLength = 32;
constexpr qsizetype kMaxDigits = 11;

TRtfToken Token(TRtfTokenKind kind, QByteArrayView word = {})
{
    TRtfToken token;
    token.kind = kind;
    token.word = word;
    return token;
}

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

TRtfToken TRtfTokenizer::Next()
{
    if (pendingBinary_ >= 0) {
        const qsizetype length = std::min(pendingBinary_, input_.size() - pos_);
        pendingBinary_ = -1;
        TRtfToken token = Token(TRtfTokenKind::Binary, input_.sliced(pos_, length));
        pos_ += length;
        return token;
    }
    while (pos_ < input_.size()) {
        const char c = input_[pos_];
        switch (c) {
        case '{':
            ++pos_;
            return Token(TRtfTokenKind::GroupStart);
        case '}':
            ++pos_;
            return Token(TRtfTokenKind::GroupEnd);
        case '\\':
            return ReadControl();
        case '\r':
        case '\n':
            ++pos_; // line ends in RTF carry no meaning
            continue;
        default:
            return ReadText();
        }
    }
    return {};
}

TRtfToken TRtfTokenizer::ReadText()
{
    const qsizetype start = pos_;
    while (pos_ < input_.size()) {
        const char c = input_[pos_];
        if (c == '{' || c == '}' || c == '\\' || c == '\r' || c == '\n')
            break;
        ++pos_;
    }
    return Token(TRtfTokenKind::Text, input_.sliced(start, pos_ - start));
}

TRtfToken TRtfTokenizer::ReadControl()
{
    ++pos_; // the backslash
    if (pos_ >= input_.size())
        return Token(TRtfTokenKind::End);
    const char first = input_[pos_];
    if (!IsLetter(first)) {
        ++pos_;
        if (first == '\'') {
            const int high = pos_ < input_.size() ? HexValue(input_[pos_]) : -1;
            const int low = pos_ + 1 < input_.size() ? HexValue(input_[pos_ + 1]) : -1;
            if (high < 0 || low < 0)
                return Token(TRtfTokenKind::Text); // a broken \' is dropped
            pos_ += 2;
            TRtfToken token = Token(TRtfTokenKind::HexByte);
            token.symbol = char(high * 16 + low);
            return token;
        }
        // "\" before a line end is a paragraph mark.
        TRtfToken token = Token(TRtfTokenKind::ControlSymbol);
        token.symbol = (first == '\r' || first == '\n') ? '\n' : first;
        if (first == '\r' && pos_ < input_.size() && input_[pos_] == '\n')
            ++pos_;
        return token;
    }
    const qsizetype start = pos_;
    while (pos_ < input_.size() && IsLetter(input_[pos_]))
        ++pos_;
    TRtfToken token = Token(TRtfTokenKind::ControlWord,
                            input_.sliced(start, std::min(pos_ - start, kMaxWordLength)));
    const bool negative = pos_ < input_.size() && input_[pos_] == '-' && pos_ + 1 < input_.size() &&
                          IsDigit(input_[pos_ + 1]);
    if (negative)
        ++pos_;
    const qsizetype digitsStart = pos_;
    long long value = 0;
    while (pos_ < input_.size() && IsDigit(input_[pos_])) {
        if (pos_ - digitsStart < kMaxDigits)
            value = value * 10 + (input_[pos_] - '0');
        ++pos_;
    }
    if (pos_ > digitsStart) {
        token.hasParameter = true;
        value = std::clamp<long long>(negative ? -value : value, INT_MIN, INT_MAX);
        token.parameter = int(value);
    }
    if (pos_ < input_.size() && input_[pos_] == ' ')
        ++pos_; // the delimiter belongs to the control word
    if (token.word == "bin" && token.hasParameter && token.parameter > 0)
        pendingBinary_ = token.parameter;
    return token;
}

bool TRtfTokenizer::SkipGroup()
{
    long long depth = 1;
    while (pos_ < input_.size()) {
        const char c = input_[pos_];
        if (c == '\\') {
            const TRtfToken token = ReadControl();
            if (token.kind == TRtfTokenKind::ControlWord && pendingBinary_ >= 0) {
                pos_ += std::min(pendingBinary_, input_.size() - pos_);
                pendingBinary_ = -1;
            }
            continue;
        }
        ++pos_;
        if (c == '{') {
            ++depth;
        } else if (c == '}' && --depth == 0) {
            return true;
        }
    }
    return false;
}

} // namespace tomeric
