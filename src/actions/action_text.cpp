#include "actions/action_text.h"

#include "actions/command_table.h"
#include "actions/expression_template.h"
#include "actions/services.h"
#include "math/math_expression.h"
#include "package/package.h"
#include "platform/decimal_symbol.h"
#include "platform/paths.h"
#include "vars/short_text.h"
#include "vars/variables.h"

namespace tomeric {

QStringList SplitActionLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

QString StripLeading(const QString& line)
{
    qsizetype i = 0;
    while (i < line.size() && line[i].unicode() <= u' ')
        ++i;
    return i == 0 ? line : line.mid(i);
}

QString CommandWord(const QString& line)
{
    const QString trimmed = line.trimmed();
    const qsizetype space = trimmed.indexOf(u' ');
    const qsizetype quote = trimmed.indexOf(u'"');
    if (space < 0 || quote < 0)
        return trimmed;
    return trimmed.left(std::min(space, quote));
}

int SplitParameters(const QString& line, ActionParams& params)
{
    params = ActionParams();
    bool inside = false;
    for (qsizetype i = 0; i < line.size() && params.Count < kMaxParams; ++i) {
        const QChar c = line[i];
        if (c == u'"') {
            if (inside)
                ++params.Count;
            inside = !inside;
        } else if (inside) {
            params.Text[params.Count].append(c);
        }
    }
    if (inside) {
        // The open slot is not a parameter; keep the slots beyond the count empty.
        params.Text[params.Count].clear();
        return ssUnbalancedQuotes;
    }
    return ssOk;
}

BlockWord BlockWordOf(const QString& upperWord)
{
    static const std::pair<QLatin1String, BlockWord> kWords[] = {
        {QLatin1String("DEBUGOFF"), bwDebugOff}, {QLatin1String("DEBUGON"), bwDebugOn},
        {QLatin1String("ELSE"), bwElse},         {QLatin1String("ENDIF"), bwEndIf},
        {QLatin1String("ENDWHILE"), bwEndWhile}, {QLatin1String("ENDLOOP"), bwEndLoop}};
    for (const auto& [word, block] : kWords)
        if (upperWord == word)
            return block;
    return bwNone;
}

bool IsBlockWord(const QString& upperWord)
{
    return BlockWordOf(upperWord) != bwNone;
}

LineClass ClassifyWord(const QString& upperWord)
{
    if (upperWord.isEmpty())
        return lcEmpty;
    if (upperWord.startsWith(u'.'))
        return lcComment;
    if (upperWord.startsWith(u':'))
        return lcLabel;
    if (IsBlockWord(upperWord))
        return lcBlockWord;
    return lcCommand;
}

QString LabelKey(const QString& name)
{
    QString key = name.trimmed();
    if (!key.startsWith(u':'))
        key.prepend(u':');
    return key;
}

bool IsPlainNumber(const QString& text)
{
    if (text.isEmpty())
        return false;
    const QChar symbol = DecimalSymbol();
    auto isDigitLike = [&](QChar c) { return c.isDigit() || c == u' ' || c == u'.' || c == symbol; };
    const QChar first = text[0];
    if (!isDigitLike(first) && first != u'-')
        return false;
    for (qsizetype i = 1; i < text.size(); ++i)
        if (!isDigitLike(text[i]))
            return false;
    return true;
}

namespace {

bool HasDrivePart(const QString& text)
{
    if (text.size() >= 2 && text[1] == u':' && text[0].isLetter())
        return true;
    return text.startsWith(QStringLiteral("\\\\")) || text.startsWith(QStringLiteral("//"));
}

// The preview maps names "embedded:\\\x" to files on disk.
void MapPreviewEmbedded(QString& text, const PublicationAccess* publication)
{
    if (!publication || !publication->PreviewMode())
        return;
    if (platform::FolderPart(text).compare(kEmbeddedPrefix, Qt::CaseInsensitive) != 0)
        return;
    if (const auto path = publication->PreviewEmbeddedPath(text))
        text = *path;
}

void ComputeExpression(QString& text)
{
    const MathResult result = ParseAndEvaluate(text);
    if (result.status == MathResult::Status::SyntaxError)
        return; // an expression that does not parse stays as written
    text = MathResultText(result, -1);
}

QString DataFileNamePart(const QString& text)
{
    qsizetype cut = -1;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'\\' || text[i] == u':' || text[i] == u'/')
            cut = i;
    return cut < 0 ? text : text.mid(cut + 1);
}

} // namespace

void EvaluateParameter(QString& text, bool& exact, int kind, bool computeExpressions,
                       const PublicationAccess* publication)
{
    exact = false;
    const bool isFile = kind == pkFile || kind == pkDataFile || kind == pkPlugInFile;
    const bool hadBracket = HasChar(text, u'[');
    if (hadBracket && (kind == pkNumber || kind == pkValue) && computeExpressions) {
        if (const auto computed = ComputeByTemplate(text)) {
            text = MathResultText(*computed, -1);
            return;
        }
    }
    if (hadBracket) {
        if (isFile) {
            text = SubstituteVars(text.trimmed());
            MapPreviewEmbedded(text, publication);
        } else if (kind == pkVariable) {
            text = VariableParameterKey(text);
        } else {
            text = SubstituteVars(text, kind == pkNumber, false);
        }
    }
    const bool takesPrefix = kind != pkVariable && kind != pkObjectName && kind != pkMenuItemName;
    if (takesPrefix && StartsWithChar(text, u'!')) {
        text.remove(0, 1);
        exact = true;
    }
    if ((kind == pkNumber || kind == pkValue) && computeExpressions && !exact && text.size() > 1 &&
        !IsPlainNumber(text))
        ComputeExpression(text);
    if ((kind == pkFile || kind == pkPlugInFile) && !text.isEmpty() && !hadBracket && !exact &&
        !HasDrivePart(text) && publication) {
        if (const auto found = publication->FindIncludedFile(text))
            text = *found;
    }
    if (kind == pkDataFile && !hadBracket && !exact)
        text = DataFileNamePart(text);
}

} // namespace tomeric
