#include "actions/conditions.h"

#include "actions/action_eval.h"
#include "actions/action_text.h"
#include "platform/cp1252.h"
#include "platform/decimal_symbol.h"
#include "vars/short_text.h"
#include "vars/typed_values.h"

namespace tomeric {

bool IsComparisonOperator(const QString& op)
{
    // "=", "<", ">", "<>", "<=", ">="
    if (op.size() == 1)
        return op[0] == u'=' || op[0] == u'<' || op[0] == u'>';
    return op.size() == 2 && ((op[0] == u'<' && (op[1] == u'>' || op[1] == u'=')) ||
                              (op[0] == u'>' && op[1] == u'='));
}

namespace {

// A sign and up to 15 digits: what loop counters hold. Such a text reads
// as a number whatever the decimal symbol, so the general conversion (the
// slowest step of a comparison) is skipped.
bool IsShortWholeNumber(const QString& text)
{
    const qsizetype start = (StartsWithChar(text, u'-') || StartsWithChar(text, u'+')) ? 1 : 0;
    const qsizetype digits = text.size() - start;
    if (digits < 1 || digits > 15)
        return false;
    for (qsizetype i = start; i < text.size(); ++i)
        if (text[i] < u'0' || text[i] > u'9')
            return false;
    return true;
}

// The value of a text IsShortWholeNumber accepts: what the lenient reading
// gives for it, exactly, without building the cleaned text.
long long ShortWholeNumber(const QString& text)
{
    const bool negative = StartsWithChar(text, u'-');
    const qsizetype start = (negative || StartsWithChar(text, u'+')) ? 1 : 0;
    long long value = 0;
    for (qsizetype i = start; i < text.size(); ++i)
        value = value * 10 + (text[i].unicode() - u'0');
    return negative ? -value : value;
}

} // namespace

bool ReadsAsNumber(const QString& text)
{
    if (IsShortWholeNumber(text))
        return true;
    QString normalized = text.trimmed();
    const QChar symbol = DecimalSymbol();
    if (symbol != u'.')
        normalized.replace(symbol, u'.');
    if (normalized.isEmpty())
        return false;
    bool ok = false;
    normalized.toDouble(&ok);
    return ok;
}

namespace {

// The comparison a valid operator names.
Comparison ComparisonOf(const QString& op)
{
    if (op.size() == 1)
        return op[0] == u'=' ? Comparison::Equal : op[0] == u'<' ? Comparison::Less : Comparison::Greater;
    if (op[0] == u'>')
        return Comparison::GreaterOrEqual;
    return op[1] == u'>' ? Comparison::NotEqual : Comparison::LessOrEqual;
}

} // namespace

std::optional<Comparison> ComparisonNamed(const QString& op)
{
    if (!IsComparisonOperator(op))
        return std::nullopt;
    return ComparisonOf(op);
}

bool CompareOperands(const Operand& left, const QString& op, const Operand& right,
                     bool numbersEvenIfExact)
{
    const Comparison comparison = ComparisonOf(op);
    const bool anyExact = left.Exact || right.Exact;
    const bool asNumbers = numbersEvenIfExact || !anyExact;
    if (asNumbers && IsShortWholeNumber(left.Text) && IsShortWholeNumber(right.Text))
        return Holds(comparison, ShortWholeNumber(left.Text), ShortWholeNumber(right.Text));
    if (asNumbers && ReadsAsNumber(left.Text) && ReadsAsNumber(right.Text))
        return Holds(comparison, LenientNumber(left.Text), LenientNumber(right.Text));
    // Texts compare as the original code page orders them.
    const QByteArray a = EncodeWindows1252(anyExact ? left.Text : left.Text.toUpper());
    const QByteArray b = EncodeWindows1252(anyExact ? right.Text : right.Text.toUpper());
    return Holds(comparison, a.compare(b), 0);
}

namespace {

enum TokenKind { tkEnd, tkQuoted, tkOperator, tkOpen, tkClose, tkWord };

struct Token {
    TokenKind Kind = tkEnd;
    QString Text;
};

bool IsOperatorChar(QChar c)
{
    return c == u'<' || c == u'=' || c == u'>';
}

class ConditionParser {
public:
    ConditionParser(const QString& text, const PublicationAccess* publication)
        : text_(text), publication_(publication)
    {
    }

    ConditionResult Parse()
    {
        ConditionResult result;
        result.Value = Sequence(0, result);
        if (result.Error == 0 && Peek().Kind != tkEnd)
            Fail(result, aeInvalidOperator, Next().Text); // a ")" without its "("
        return result;
    }

private:
    static constexpr int kMaxNesting = 64;

    Token Next()
    {
        Token token = Peek();
        pos_ = peekEnd_;
        return token;
    }

    Token Peek()
    {
        qsizetype i = pos_;
        while (i < text_.size() && (text_[i] == u' ' || text_[i] == u'\r' || text_[i] == u'\n' || text_[i] == u'\t'))
            ++i;
        Token token;
        if (i >= text_.size()) {
            peekEnd_ = i;
            return token;
        }
        const QChar c = text_[i];
        if (c == u'"') {
            const qsizetype close = text_.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? text_.size() : close;
            token = {tkQuoted, text_.mid(i + 1, end - i - 1)};
            peekEnd_ = close < 0 ? text_.size() : close + 1;
        } else if (IsOperatorChar(c)) {
            qsizetype j = i;
            while (j < text_.size() && IsOperatorChar(text_[j]))
                ++j;
            token = {tkOperator, text_.mid(i, j - i)};
            peekEnd_ = j;
        } else if (c == u'(' || c == u')') {
            token = {c == u'(' ? tkOpen : tkClose, QString(c)};
            peekEnd_ = i + 1;
        } else {
            qsizetype j = i;
            while (j < text_.size()) {
                const QChar d = text_[j];
                if (d == u' ' || d == u'\r' || d == u'\n' || d == u'\t' || d == u'(' || d == u')' ||
                    d == u'"' || IsOperatorChar(d))
                    break;
                ++j;
            }
            token = {tkWord, text_.mid(i, j - i)};
            peekEnd_ = j;
        }
        return token;
    }

    static void Fail(ConditionResult& result, int code, const QString& token = QString())
    {
        if (result.Error == 0) {
            result.Error = code;
            result.Token = token;
        }
    }

    Operand Evaluate(const QString& text) const
    {
        Operand operand{text, false};
        EvaluateParameter(operand.Text, operand.Exact, pkValue, true, publication_);
        return operand;
    }

    // One comparison, or a parenthesised sub-expression.
    bool Term(int depth, ConditionResult& result)
    {
        const Token first = Next();
        if (first.Kind == tkOpen) {
            if (depth >= kMaxNesting) {
                Fail(result, aeInvalidExpression);
                return false;
            }
            const bool value = Sequence(depth + 1, result);
            if (result.Error == 0 && Next().Kind != tkClose)
                Fail(result, aeInvalidExpression);
            return value;
        }
        if (first.Kind != tkQuoted && first.Kind != tkWord) {
            Fail(result, aeInvalidExpression);
            return false;
        }
        const Token op = Next();
        if (op.Kind != tkOperator) {
            Fail(result, aeMissingOperator);
            return false;
        }
        if (!IsComparisonOperator(op.Text)) {
            Fail(result, aeInvalidOperator, op.Text);
            return false;
        }
        const Token second = Next();
        if (second.Kind != tkQuoted && second.Kind != tkWord) {
            Fail(result, aeInvalidExpression);
            return false;
        }
        return CompareOperands(Evaluate(first.Text), op.Text, Evaluate(second.Text), true);
    }

    // Terms joined by AND / OR, strictly left to right, every term evaluated.
    bool Sequence(int depth, ConditionResult& result)
    {
        bool value = Term(depth, result);
        while (result.Error == 0) {
            const Token join = Peek();
            if (join.Kind == tkEnd || join.Kind == tkClose)
                break;
            Next();
            const QString word = join.Text.toUpper();
            if (join.Kind != tkWord || (word != QLatin1String("AND") && word != QLatin1String("OR"))) {
                Fail(result, join.Kind == tkQuoted ? aeMissingOperator : aeInvalidOperator, join.Text);
                break;
            }
            const bool next = Term(depth, result);
            value = word == QLatin1String("AND") ? (value && next) : (value || next);
        }
        return value;
    }

    QString text_;
    const PublicationAccess* publication_;
    qsizetype pos_ = 0;
    qsizetype peekEnd_ = 0;
};

} // namespace

ConditionResult EvaluateConditionExpression(const QString& expression, const PublicationAccess* publication)
{
    QString text = expression;
    text.replace(QLatin1String("[#34]"), QLatin1String("\""), Qt::CaseInsensitive);
    return ConditionParser(text, publication).Parse();
}

} // namespace tomeric
