#pragma once
// Cuts a prepared expression (upper-cased, "." as decimal point) into the
// tokens of the expression grammar, one at a time.

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace tomeric::math {

enum class TokenType : std::uint8_t {
    Plus = 0,
    Minus = 1,
    Times = 2,
    Divide = 3,
    Power = 4,
    OpenParen = 5,
    CloseParen = 6,
    Number = 7,
    Function = 9,
    End = 10,
    Bad = 11,
    Remainder = 12,
};

struct Token {
    TokenType type = TokenType::End;
    long double value = 0;   // Number
    int function = 0;        // Function: index into the function table, from 1
    bool mathError = false;  // Number: the text could not be converted
};

class MathTokenizer {
public:
    explicit MathTokenizer(QStringView text) : text_(text) {}
    Token Next();

private:
    Token ReadNumber();
    std::optional<Token> ReadWholeNumber();
    Token ReadFunctionName();
    QChar Peek(qsizetype offset = 0) const;

    QStringView text_;
    qsizetype position_ = 0;
};

} // namespace tomeric::math
