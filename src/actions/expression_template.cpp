#include "actions/expression_template.h"

#include "actions/action_text.h"
#include "math/math_tokenizer.h"
#include "platform/decimal_symbol.h"
#include "vars/short_text.h"
#include "vars/text_memo.h"
#include "vars/variables.h"

#include <QHash>

#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace tomeric {

namespace {

using math::Token;
using math::TokenType;

// Expressions longer than this are rare enough to take the general way.
constexpr std::size_t kMaxTokens = 64;
// Distinct texts kept; beyond this the cache starts again rather than grow.
constexpr qsizetype kMaxCachedTemplates = 1024;
// A value of up to 18 digits is exact as an integer and as a long double.
constexpr qsizetype kMaxValueDigits = 18;

// Characters that may stand next to a reference: no token of the
// substituted text can then reach across the reference's edge.
bool SeparatesTokens(QChar c)
{
    return c.isNull() || c == u' ' || c == u'+' || c == u'-' || c == u'*' || c == u'/' ||
           c == u'^' || c == u'&' || c == u'(' || c == u')';
}

class ExpressionTemplate {
public:
    static std::optional<ExpressionTemplate> Compile(const QString& text);
    std::optional<TemplateResult> Evaluate() const;

private:
    bool AddLiteral(QStringView literal, bool atStart);

    std::vector<Token> tokens_;      // End last
    std::vector<int> references_;    // per token: index into names_, or -1
    std::vector<QString> names_;
    // Where each name's variable lives, kept from pass to pass.
    mutable std::vector<VariablePlace> places_;
    std::optional<RecordedParse> parse_;
    // Per token the literal numbers as 64-bit integers; empty when one of
    // them is not whole, and the parse is then replayed in extended precision.
    std::vector<long long> wholeLiterals_;
};

// A literal number the whole-number replay may take as it is.
std::optional<long long> WholeLiteral(const Token& token)
{
    constexpr long double kLimit = 9223372036854775808.0L; // 2^63
    if (token.mathError || token.value != std::floor(token.value) || !(std::fabs(token.value) < kLimit))
        return std::nullopt;
    return static_cast<long long>(token.value);
}

bool ExpressionTemplate::AddLiteral(QStringView literal, bool atStart)
{
    const QString prepared = PrepareExpression(literal, atStart);
    math::MathTokenizer tokenizer(prepared);
    for (Token token = tokenizer.Next(); token.type != TokenType::End; token = tokenizer.Next()) {
        if (tokens_.size() >= kMaxTokens)
            return false;
        tokens_.push_back(token);
        references_.push_back(-1);
    }
    return true;
}

std::optional<ExpressionTemplate> ExpressionTemplate::Compile(const QString& text)
{
    const QChar symbol = DecimalSymbol();
    if (symbol != u'.' && symbol != u',')
        return std::nullopt;
    ExpressionTemplate compiled;
    QString sample; // the text with every value "1": decides whether it is computed
    qsizetype literalStart = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == u']')
            return std::nullopt;
        if (text[i] != u'[')
            continue;
        const qsizetype close = text.indexOf(u']', i + 1);
        if (close <= i + 1 || QStringView(text).mid(i + 1, close - i - 1).contains(u'['))
            return std::nullopt;
        const QChar before = i > 0 ? text[i - 1] : QChar();
        const QChar after = close + 1 < n ? text[close + 1] : QChar();
        if (!SeparatesTokens(before) || !SeparatesTokens(after))
            return std::nullopt;
        const QStringView literal = QStringView(text).mid(literalStart, i - literalStart);
        if (!compiled.AddLiteral(literal, literalStart == 0) || compiled.tokens_.size() >= kMaxTokens)
            return std::nullopt;
        compiled.tokens_.push_back(Token{TokenType::Number});
        compiled.references_.push_back(static_cast<int>(compiled.names_.size()));
        compiled.names_.push_back(text.mid(i + 1, close - i - 1));
        sample += literal;
        sample += u'1';
        literalStart = close + 1;
        i = close;
    }
    const QStringView tail = QStringView(text).mid(literalStart);
    if (compiled.names_.empty() || !compiled.AddLiteral(tail, false))
        return std::nullopt;
    sample += tail;
    if (sample.size() <= 1 || IsPlainNumber(sample) || sample.startsWith(u'!'))
        return std::nullopt;
    compiled.tokens_.push_back(Token{TokenType::End});
    compiled.references_.push_back(-1);
    compiled.places_.resize(compiled.names_.size());
    // Whether it parses does not depend on the values put in (they are
    // always number tokens); a syntax error takes the general way.
    compiled.parse_ = RecordedParse::Record(compiled.tokens_.data(), compiled.tokens_.size());
    if (!compiled.parse_)
        return std::nullopt;
    if (compiled.parse_->IsWhole()) {
        compiled.wholeLiterals_.assign(compiled.tokens_.size(), 0);
        for (std::size_t i = 0; i < compiled.tokens_.size(); ++i) {
            if (compiled.tokens_[i].type != TokenType::Number || compiled.references_[i] >= 0)
                continue;
            const auto whole = WholeLiteral(compiled.tokens_[i]);
            if (!whole) {
                compiled.wholeLiterals_.clear();
                break;
            }
            compiled.wholeLiterals_[i] = *whole;
        }
    }
    return compiled;
}

// The value of a whole number of digits; nothing for anything else.
std::optional<long long> WholeNumber(const QString& value)
{
    if (value.isEmpty() || value.size() > kMaxValueDigits)
        return std::nullopt;
    long long number = 0;
    for (const QChar c : value) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        number = number * 10 + (c.unicode() - u'0');
    }
    return number;
}

std::optional<TemplateResult> ExpressionTemplate::Evaluate() const
{
    const std::size_t count = tokens_.size();
    std::array<long long, kMaxTokens + 1> values; // per token; only numbers are read
    for (std::size_t i = 0; i < count; ++i) {
        if (references_[i] < 0) {
            values[i] = wholeLiterals_.empty() ? 0 : wholeLiterals_[i];
            continue;
        }
        const auto name = static_cast<std::size_t>(references_[i]);
        const QString* stored = places_[name].Value(names_[name]);
        const auto number = stored ? WholeNumber(*stored) : std::nullopt;
        if (!number)
            return std::nullopt;
        values[i] = *number;
    }
    if (!wholeLiterals_.empty())
        if (const auto whole = parse_->EvaluateWhole(values.data()))
            return TemplateResult{MathResult{MathResult::Status::Ok, static_cast<long double>(*whole)}, whole};
    // Filled in place; computing never runs a script, so no second
    // evaluation can start while this one uses it.
    static std::vector<Token> filled;
    filled.assign(tokens_.begin(), tokens_.end());
    for (std::size_t i = 0; i < count; ++i)
        if (references_[i] >= 0)
            filled[i].value = static_cast<long double>(values[i]);
    return TemplateResult{parse_->Evaluate(filled.data()), std::nullopt};
}

struct CachedTemplate {
    QChar Symbol; // the decimal symbol it was cut with
    std::shared_ptr<const ExpressionTemplate> Template; // null: the general way
};

CachedTemplate Compiled(const QString& text, QChar symbol)
{
    auto compiled = ExpressionTemplate::Compile(text);
    if (!compiled)
        return {symbol, nullptr};
    return {symbol, std::make_shared<const ExpressionTemplate>(std::move(*compiled))};
}

const ExpressionTemplate* TemplateFor(const QString& text)
{
    // A loop's own parameter texts are found by their place in memory;
    // other texts by their contents.
    static TextMemo<CachedTemplate> memo;
    static QHash<QString, CachedTemplate> cache;
    const QChar symbol = DecimalSymbol();
    if (const CachedTemplate* known = memo.Find(text); known && known->Symbol == symbol)
        return known->Template.get();
    auto it = cache.find(text);
    if (it == cache.end() || it->Symbol != symbol) {
        if (it == cache.end() && cache.size() >= kMaxCachedTemplates)
            cache.clear();
        it = cache.insert(text, Compiled(text, symbol));
    }
    memo.Remember(text, text, *it);
    return it->Template.get();
}

} // namespace

std::optional<TemplateResult> ComputeTemplateResult(const QString& text)
{
    if (!HasChar(text, u'['))
        return std::nullopt;
    const ExpressionTemplate* compiled = TemplateFor(text);
    return compiled ? compiled->Evaluate() : std::nullopt;
}

std::optional<MathResult> ComputeByTemplate(const QString& text)
{
    if (const auto computed = ComputeTemplateResult(text))
        return computed->Result;
    return std::nullopt;
}

} // namespace tomeric
