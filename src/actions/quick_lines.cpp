#include "actions/quick_lines.h"

#include "actions/action_eval.h"
#include "actions/conditions.h"
#include "actions/core_commands.h"
#include "actions/expression_template.h"
#include "math/math_expression.h"
#include "vars/short_text.h"
#include "vars/typed_values.h"
#include "vars/variables.h"

#include <optional>

namespace tomeric {

namespace {

// Whole numbers of up to this many digits compare as integers in If and
// While (CompareOperands reads them the same way).
constexpr qsizetype kMaxComparedDigits = 15;

// The key of a variable parameter "[Name]" whose name holds no brackets:
// what evaluating it gives. Nothing for any other text.
std::optional<QString> PlainReferenceKey(const QString& text)
{
    if (text.size() <= 2 || text.front() != u'[' || text.back() != u']')
        return std::nullopt;
    const QStringView name = QStringView(text).mid(1, text.size() - 2);
    if (HasBracket(name))
        return std::nullopt;
    return name.toString();
}

bool IsDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// The value of a text of 1..15 digits; nothing for anything else.
std::optional<long long> ComparedNumber(QStringView text)
{
    if (text.size() > kMaxComparedDigits || !IsDigits(text))
        return std::nullopt;
    long long value = 0;
    for (const QChar c : text)
        value = value * 10 + (c.unicode() - u'0');
    return value;
}

// Writes a computed result as the command's result would be written: the
// text FormatNumber gives (or "Error") through the one write path.
void WriteResult(const QString& key, VariablePlace& place, const TemplateResult& computed, int decimals)
{
    char16_t digits[kWholeNumberChars];
    const int length = computed.Whole ? FormatWholeNumber(*computed.Whole, decimals, digits) : 0;
    if (length > 0)
        place.Write(key, QStringView(digits, length));
    else
        place.Write(key, MathResultText(computed.Result, decimals));
}

// SetVar "[Name]" "<expression of references>": the value computed.
class ComputeLine : public QuickLine {
public:
    ComputeLine(QString key, QString expression) : key_(std::move(key)), expression_(std::move(expression)) {}

    bool Run(TActionEval&) const override
    {
        // A String or Date variable takes the text as written instead.
        const TVarType type = place_.Type(key_);
        if (type == vtString || type == vtDate)
            return false;
        const std::optional<TemplateResult> result = ComputeTemplateResult(expression_);
        if (!result)
            return false;
        WriteResult(key_, place_, *result, -1);
        return true;
    }

private:
    QString key_;
    QString expression_;
    mutable VariablePlace place_;
};

// SetVar "[Name]" "[Other]" where [Other] holds digits: the same digits.
class CopyLine : public QuickLine {
public:
    CopyLine(QString key, QString source) : key_(std::move(key)), source_(std::move(source)) {}

    bool Run(TActionEval&) const override
    {
        const QString* value = sourcePlace_.Value(source_);
        if (!value || !IsDigits(*value))
            return false;
        place_.Write(key_, *value);
        return true;
    }

private:
    QString key_;
    QString source_;
    mutable VariablePlace place_;
    mutable VariablePlace sourcePlace_;
};

// Math "<expression of references>" "<digits>" "[Name]".
class MathLine : public QuickLine {
public:
    MathLine(QString expression, int decimals, QString key)
        : expression_(std::move(expression)), decimals_(decimals), key_(std::move(key))
    {
    }

    bool Run(TActionEval&) const override
    {
        // Math clears [LastError] first; while it is clear that changes
        // nothing, so the expression may be computed before.
        if (!LastErrorIsClear())
            return false;
        const std::optional<TemplateResult> result = ComputeTemplateResult(expression_);
        if (!result)
            return false;
        WriteResult(key_, place_, *result, decimals_);
        return true;
    }

private:
    QString expression_;
    int decimals_;
    QString key_;
    mutable VariablePlace place_;
};

// One side of an If or While comparison: a [Name] or a literal number.
struct Side {
    QString key; // empty: the literal
    long long literal = 0;
    mutable VariablePlace place;

    static std::optional<Side> Of(const QString& text)
    {
        if (const auto key = PlainReferenceKey(text))
            return Side{*key, 0, {}};
        if (const auto number = ComparedNumber(text))
            return Side{QString(), *number, {}};
        return std::nullopt;
    }

    std::optional<long long> Value() const
    {
        if (key.isEmpty())
            return literal;
        const QString* value = place.Value(key);
        return value ? ComparedNumber(*value) : std::nullopt;
    }
};

// If / While "<side>" "<operator>" "<side>": a false condition skips the
// block as the command does.
class ConditionLine : public QuickLine {
public:
    ConditionLine(Side left, Comparison comparison, Side right, uint8_t skipWhenFalse)
        : left_(std::move(left)), comparison_(comparison), right_(std::move(right)),
          skipWhenFalse_(skipWhenFalse)
    {
    }

    bool Run(TActionEval& eval) const override
    {
        const auto a = left_.Value();
        const auto b = a ? right_.Value() : std::nullopt;
        if (!b)
            return false;
        if (!Holds(comparison_, *a, *b))
            eval.SkipState = skipWhenFalse_;
        return true;
    }

private:
    Side left_;
    Comparison comparison_;
    Side right_;
    uint8_t skipWhenFalse_;
};

std::shared_ptr<const QuickLine> CompileSetVar(const ActionParams& params)
{
    const auto key = PlainReferenceKey(params[1]);
    if (!key)
        return nullptr;
    if (const auto source = PlainReferenceKey(params[2]))
        return std::make_shared<CopyLine>(*key, *source);
    if (HasChar(params[2], u'['))
        return std::make_shared<ComputeLine>(*key, params[2]);
    return nullptr;
}

std::shared_ptr<const QuickLine> CompileMath(const ActionParams& params)
{
    const auto key = PlainReferenceKey(params[3]);
    // Decimals of plain digits are read as written: nothing substitutes or
    // computes them.
    if (!key || !HasChar(params[1], u'[') || !IsDigits(params[2]))
        return nullptr;
    return std::make_shared<MathLine>(params[1], ReadInteger(params[2]).value_or(0), *key);
}

std::shared_ptr<const QuickLine> CompileCondition(const ActionParams& params, uint8_t skipWhenFalse)
{
    // Operators and literal numbers of plain digits stay as written when
    // the parameters are evaluated.
    const auto left = Side::Of(params[1]);
    const auto comparison = ComparisonNamed(params[2]);
    const auto right = Side::Of(params[3]);
    if (!left || !comparison || !right)
        return nullptr;
    return std::make_shared<ConditionLine>(*left, *comparison, *right, skipWhenFalse);
}

} // namespace

namespace {

bool& QuickLinesSwitch()
{
    static bool on = true;
    return on;
}

} // namespace

void SetQuickLinesEnabled(bool on)
{
    QuickLinesSwitch() = on;
}

bool QuickLinesEnabled()
{
    return QuickLinesSwitch();
}

std::shared_ptr<const QuickLine> QuickLine::Compile(const TCommandRecord& command,
                                                    const ActionParams& params)
{
    if (params.Count != command.MinParams || params.Count != command.MaxParams)
        return nullptr;
    if (command.Handler == CmdSetVar)
        return CompileSetVar(params);
    if (command.Handler == CmdMath)
        return CompileMath(params);
    if (command.Handler == CmdIf)
        return CompileCondition(params, ssToElseOrEndIf);
    if (command.Handler == CmdWhile)
        return CompileCondition(params, ssToEndWhile);
    return nullptr;
}

} // namespace tomeric
