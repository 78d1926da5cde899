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
    RoundToNearestScope() : saved_(std::fegetround())
    {
        if (saved_ != FE_TONEAREST)
            std::fesetround(FE_TONEAREST);
    }
    ~RoundToNearestScope()
    {
        if (saved_ != FE_TONEAREST)
            std::fesetround(saved_);
    }
    RoundToNearestScope(const RoundToNearestScope&) = delete;
    RoundToNearestScope& operator=(const RoundToNearestScope&) = delete;

private:
    int saved_;
};

// True when Prepare would give the text back unchanged (the usual
// expression of digits, operators and upper-case function names).
bool IsPrepared(QStringView expression) {
    if (expression.startsWith(u'+'))
        return false;
    const QChar symbol = DecimalSymbol();
    for (const QChar c : expression)
        if (c.unicode() >= 0x80 || (c >= u'a' && c <= u'z') || (c == symbol && c != u'.'))
            return false;
    return true;
}

QString Prepare(QStringView expression) {
    QString text = expression.toString().toUpper();
    if (text.startsWith(u'+'))
        text.prepend(u'0');
    const QChar symbol = DecimalSymbol();
    if (symbol != u'.')
        text.replace(symbol, u'.');
    return text;
}

// Tokens already cut, read in order (the last one is End).
class TokenArray {
public:
    TokenArray(const Token* tokens, std::size_t count) : tokens_(tokens), count_(count) {}
    Token Next() { return next_ < count_ ? tokens_[next_++] : Token{}; }

private:
    const Token* tokens_;
    std::size_t count_;
    std::size_t next_ = 0;
};

// What a parse did, step by step: -1 for a shift, else the production it
// reduced by.
using ParseSteps = std::vector<int>;

template <class TokenSource>
class ShiftReduceParser {
public:
    explicit ShiftReduceParser(TokenSource tokens, ParseSteps* steps = nullptr)
        : tokens_(tokens), steps_(steps) {}
    MathResult Run();

private:
    bool Shift(int state, const Token& token);
    void Reduce(int production);
    const StackEntry& Top() const { return stack_[depth_ - 1]; }

    const ParseTables& tables_ = ParseTables::Instance();
    TokenSource tokens_;
    std::array<StackEntry, kMaxStackEntries> stack_{};
    int depth_ = 1; // the start entry, state 0
    bool mathError_ = false;
    ParseSteps* steps_;
};

template <class TokenSource>
MathResult ShiftReduceParser<TokenSource>::Run() {
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

template <class TokenSource>
bool ShiftReduceParser<TokenSource>::Shift(int state, const Token& token) {
    if (depth_ == kMaxStackEntries)
        return false;
    mathError_ = mathError_ || token.mathError;
    stack_[depth_++] = StackEntry{state, token.value, token.function};
    if (steps_)
        steps_->push_back(-1);
    return true;
}

template <class TokenSource>
void ShiftReduceParser<TokenSource>::Reduce(int production) {
    const math::Production& rule = tables_.ProductionAt(production);
    if (steps_)
        steps_->push_back(production);
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
    if (IsPrepared(expression))
        return ShiftReduceParser(MathTokenizer(expression)).Run();
    const QString text = Prepare(expression);
    return ShiftReduceParser(MathTokenizer(text)).Run();
}

MathResult EvaluateTokens(const math::Token* tokens, std::size_t count) {
    const RoundToNearestScope rounding;
    return ShiftReduceParser(TokenArray(tokens, count)).Run();
}

std::optional<RecordedParse> RecordedParse::Record(const math::Token* tokens, std::size_t count) {
    ParseSteps steps;
    const RoundToNearestScope rounding;
    if (ShiftReduceParser(TokenArray(tokens, count), &steps).Run().status == MathResult::Status::SyntaxError)
        return std::nullopt;
    const ParseTables& tables = ParseTables::Instance();
    RecordedParse recorded;
    std::int16_t shifted = 0;
    for (const int production : steps) {
        if (production < 0) {
            recorded.steps_.push_back(Step{-1, shifted++, 0, 0});
            continue;
        }
        // A production that passes its value up unchanged leaves the
        // replayed stack as it was: only the reductions that compute are kept.
        if (math::PassesValueUp(tables.ProductionAt(production)))
            continue;
        const math::Production& rule = tables.ProductionAt(production);
        const math::WholeStep wholeStep = math::WholeStepOf(rule);
        recorded.steps_.push_back(Step{static_cast<std::int16_t>(production), 0,
                                       static_cast<std::uint8_t>(wholeStep),
                                       static_cast<std::uint8_t>(rule.length)});
        if (wholeStep == math::WholeStep::None)
            recorded.whole_ = false;
    }
    return recorded;
}

std::optional<long long> RecordedParse::EvaluateWhole(const long long* values) const {
    if (!whole_)
        return std::nullopt;
    std::array<long long, kMaxStackEntries> stack; // written before it is read
    int depth = 0;
    for (const Step& step : steps_) {
        if (step.production < 0) {
            stack[depth++] = values[step.token];
            continue;
        }
        depth -= step.length;
        const long long* phrase = &stack[depth];
        long long value = 0;
        bool overflow = false;
        switch (static_cast<math::WholeStep>(step.wholeStep)) {
        case math::WholeStep::First: value = phrase[0]; break;
        case math::WholeStep::Second: value = phrase[1]; break;
        case math::WholeStep::Add: overflow = __builtin_add_overflow(phrase[0], phrase[2], &value); break;
        case math::WholeStep::Subtract: overflow = __builtin_sub_overflow(phrase[0], phrase[2], &value); break;
        case math::WholeStep::Multiply: overflow = __builtin_mul_overflow(phrase[0], phrase[2], &value); break;
        case math::WholeStep::Negate: overflow = __builtin_sub_overflow(0LL, phrase[1], &value); break;
        case math::WholeStep::None: return std::nullopt;
        }
        if (overflow)
            return std::nullopt;
        stack[depth++] = value;
    }
    return stack[depth - 1];
}

MathResult RecordedParse::Evaluate(const math::Token* tokens) const {
    const RoundToNearestScope rounding;
    const ParseTables& tables = ParseTables::Instance();
    std::array<StackEntry, kMaxStackEntries> stack{};
    int depth = 0;
    bool mathError = false;
    for (const Step& step : steps_) {
        if (step.production < 0) {
            const Token& token = tokens[step.token];
            mathError = mathError || token.mathError;
            stack[depth++] = StackEntry{0, token.value, token.function};
            continue;
        }
        const math::Production& rule = tables.ProductionAt(step.production);
        depth -= rule.length;
        const math::MathValue value = rule.reduce(&stack[depth]);
        mathError = mathError || !value;
        stack[depth++] = StackEntry{0, value.value_or(0), 0};
    }
    if (mathError)
        return {MathResult::Status::MathError, 0};
    return {MathResult::Status::Ok, stack[depth - 1].value};
}

QString PrepareExpression(QStringView expression, bool wholeText) {
    if (!wholeText && expression.startsWith(u'+'))
        return u'+' + PrepareExpression(expression.mid(1), false);
    return IsPrepared(expression) ? expression.toString() : Prepare(expression);
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
