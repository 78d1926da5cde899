#pragma once
// Reading action text: a script is cut into lines, a line into its command
// word and up to ten double-quoted parameters, and each parameter is
// evaluated by its kind (variables substituted, numeric expressions computed,
// file names resolved against the publication's included files) before the
// command runs.

#include <QString>
#include <QStringList>

#include <array>

namespace tomeric {

class PublicationAccess;

// The parameters of one line: slots 1..10 (index 0 is slot 1), the count of
// closed quote pairs, and per slot whether a "!" prefix asked for the text to
// be taken exactly.
struct ActionParams {
    int Count = 0;
    std::array<QString, 10> Text;
    std::array<bool, 10> Exact{};

    const QString& operator[](int slot) const { return Text[slot - 1]; }
    QString& operator[](int slot) { return Text[slot - 1]; }
};

enum SplitStatus { ssOk = 0, ssUnbalancedQuotes = -1 };

// Lines at CR LF, CR or LF.
QStringList SplitActionLines(const QString& text);

// A line with its leading blanks and control characters removed.
QString StripLeading(const QString& line);

// The command word of a line (case as written): the trimmed line cut before
// its first space or double quote, whichever comes first; a line without a
// space, or without a double quote, is one word.
QString CommandWord(const QString& line);

// Cuts the quoted parameters out of a line. Text outside quotes (spaces,
// commas, the command word) is ignored; an 11th parameter is never read.
// Returns ssUnbalancedQuotes when a quote is left open.
int SplitParameters(const QString& line, ActionParams& params);

enum LineClass { lcEmpty, lcComment, lcLabel, lcBlockWord, lcCommand };
// Classifies a line by its upper-cased command word.
LineClass ClassifyWord(const QString& upperWord);

// The words the evaluator handles itself, between the lines it runs.
enum BlockWord { bwNone, bwDebugOff, bwDebugOn, bwElse, bwEndIf, bwEndWhile, bwEndLoop };
// Which block word an upper-cased command word is (bwNone for any other).
BlockWord BlockWordOf(const QString& upperWord);

// True for the words ELSE, ENDIF, ENDWHILE, ENDLOOP, DEBUGON, DEBUGOFF.
bool IsBlockWord(const QString& upperWord);

// A label as GotoLine and GoSub search it: trimmed, ":" in front.
QString LabelKey(const QString& name);

// A text that reads as a plain number ("12", "-3.5", " 7") and so is never
// handed to the expression evaluator.
bool IsPlainNumber(const QString& text);

// Evaluates one parameter in place by its kind and sets its Exact flag.
// `publication` supplies the included files and the preview's embedded-file
// mapping (null: none).
void EvaluateParameter(QString& text, bool& exact, int kind, bool computeExpressions,
                       const PublicationAccess* publication);

} // namespace tomeric
