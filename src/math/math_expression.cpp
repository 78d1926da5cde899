#include "math/math_expression.h"

#include "math/math_grammar.h"
#include "math/math_tokenizer.h"
#include "platform/decimal_symbol.h"

#include <array>
#include <cfenv>

namespace tomeric {
namespace {

using math::MathTokenizer;
using math::ParseAction;
using math::ParseTables;
using math::StackEntry;
using math::Symbol;
using math::Token;

// The parser's stack holds at most this many entries, its start entry
// included; an expression that needs more is rejected as a syntax error.
constexpr int kMaxStackEntries = 20;

// Evaluation always rounds to nearest (ROUND's ties-to-even relies on it);
// whoever called us gets their own rounding mode back.
class RoundToNearestScope {
public:
    RoundToNearestScope() : saved_(std::fegetround()) { std::fesetround(FE_TONEAREST); }
    ~RoundToNearestScope() { std::fesetround(saved_); }
    RoundToNearestScope(const RoundToNearestScope&) = delete;
    RoundToNearestScope& operator=(const RoundToNearestScope&) = delete;

private:
    int saved_;
};

QString Prepare(QStringView expression) {
    QString text = expression.toString().toUpper();
    if (text.startsWith(u'+'))
        text.prepend(u'0');
    const QChar symbol = DecimalSymbol();
    if (symbol != u'.')
        text.replace(symbol, u'.');
    return text;
}

class ShiftReduceParser {
public:
    explicit ShiftReduceParser(QStringView text) : tokens_(text) {}
    MathResult Run();

private:
    bool Shift(int state, const Token& token);
    void Reduce(int production);
    const StackEntry& Top() const { return stack_[depth_ - 1]; }

    const ParseTables& tables_ = ParseTables::Instance();
    MathTokenizer tokens_;
    std::array<StackEntry, kMaxStackEntries> stack_{};
    int depth_ = 1; // the start entry, state 0
    bool mathError_ = false;
};

MathResult ShiftReduceParser::Run() {
    Token token = tokens_.Next();
    for (;;) {
        const auto terminal = math::TerminalOf(token.type);
        if (!terminal)
            return {MathResult::Status::SyntaxError, 0};
        const ParseAction action = tables_.Action(Top().state, *terminal);
        switch (action.kind) {
        case ParseAction::Kind::Error:
            return {MathResult::Status::SyntaxError, 0};
        case ParseAction::Kind::Shift:
            if (!Shift(action.target, token))
                return {MathResult::Status::SyntaxError, 0};
            token = tokens_.Next();
            break;
        case ParseAction::Kind::Reduce:
            Reduce(action.target);
            break;
        case ParseAction::Kind::Accept:
            if (mathError_)
                return {MathResult::Status::MathError, 0};
            return {MathResult::Status::Ok, Top().value};
        }
    }
}

bool ShiftReduceParser::Shift(int state, const Token& token) {
    if (depth_ == kMaxStackEntries)
        return false;
    mathError_ = mathError_ || token.mathError;
    stack_[depth_++] = StackEntry{state, token.value, token.function};
    return true;
}

void ShiftReduceParser::Reduce(int production) {
    const math::Production& rule = tables_.ProductionAt(production);
    depth_ -= rule.length;
    const math::MathValue value = rule.reduce(&stack_[depth_]);
    // After a math error the parse goes on (a later syntax error still wins),
    // carrying zero so no step works on a value that does not exist.
    mathError_ = mathError_ || !value;
    const int state = tables_.Goto(Top().state, rule.left);
    stack_[depth_++] = StackEntry{state, value.value_or(0), 0};
}

} // namespace

MathResult ParseAndEvaluate(QStringView expression) {
    const RoundToNearestScope rounding;
    const QString text = Prepare(expression);
    return ShiftReduceParser(text).Run();
}

QString MathResultText(const MathResult& result, int decimals) {
    if (!result.ok())
        return QStringLiteral("Error");
    return FormatNumber(result.value, decimals);
}

QString EvaluateMath(const QString& expression, int decimals) {
    return MathResultText(ParseAndEvaluate(expression), decimals);
}

} // namespace tomeric
