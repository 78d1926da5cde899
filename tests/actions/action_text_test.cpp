// Reading action text: lines, command words, quoted parameters and the
// evaluation of each parameter by its kind.

#include "actions/action_text.h"
#include "actions/command_table.h"
#include "actions/services.h"
#include "platform/decimal_symbol.h"
#include "vars/variables.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

TEST(ActionLines, SplitAtCrLfCrAndLf)
{
    EXPECT_EQ(SplitActionLines(QStringLiteral("a\r\nb\rc\nd")),
              (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitActionLines(QStringLiteral("a\n\nb\n")), (QStringList{"a", "", "b"}));
    EXPECT_TRUE(SplitActionLines(QString()).isEmpty());
}

TEST(ActionLines, LeadingBlanksAndControlCharactersAreRemoved)
{
    EXPECT_EQ(StripLeading(QStringLiteral(" \t\x01 AlertBox \"a\"")), QStringLiteral("AlertBox \"a\""));
}

struct WordCase {
    const char* line;
    const char* word;
};

class CommandWordTest : public testing::TestWithParam<WordCase> {};

TEST_P(CommandWordTest, CutBeforeFirstSpaceOrQuote)
{
    EXPECT_EQ(CommandWord(QString::fromUtf8(GetParam().line)), QString::fromUtf8(GetParam().word));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandWordTest,
    testing::Values(WordCase{"AlertBox \"a\" \"b\"", "AlertBox"},
                    WordCase{"  GotoPage \"P2\"  ", "GotoPage"},
                    WordCase{"Return", "Return"},
                    WordCase{"ENDWHILE   ", "ENDWHILE"},
                    // A line without a double quote is one word, spaces and all.
                    WordCase{"ExitLoop now", "ExitLoop now"},
                    // A line without a space is one word, quotes and all.
                    WordCase{"GotoPage\"P2\"", "GotoPage\"P2\""},
                    WordCase{"If\"a\" \"=\" \"b\"", "If"},
                    WordCase{":Start", ":Start"},
                    WordCase{". a comment", ". a comment"},
                    WordCase{"", ""}));

struct SplitCase {
    const char* line;
    int status;
    std::vector<const char*> params;
};

class SplitParametersTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitParametersTest, QuotedTextsAreTheParameters)
{
    ActionParams params;
    const SplitCase& c = GetParam();
    EXPECT_EQ(SplitParameters(QString::fromUtf8(c.line), params), c.status);
    ASSERT_EQ(params.Count, int(c.params.size()));
    for (int i = 0; i < params.Count; ++i)
        EXPECT_EQ(params[i + 1], QString::fromUtf8(c.params[size_t(i)])) << "slot " << i + 1;
    for (int i = params.Count + 1; i <= 10; ++i)
        EXPECT_TRUE(params[i].isEmpty()) << "slot " << i << " beyond the count";
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitParametersTest,
    testing::Values(
        SplitCase{"AlertBox \"Title\" \"Text\"", 0, {"Title", "Text"}},
        SplitCase{"AlertBox \"a\"\"b\"", 0, {"a", "b"}},
        SplitCase{"AlertBox \"a\" , \"b\"", 0, {"a", "b"}},
        SplitCase{"AlertBox \"\" \" x \"", 0, {"", " x "}},
        SplitCase{"Return", 0, {}},
        SplitCase{"AlertBox \"a", -1, {}},
        SplitCase{"AlertBox \"a\" \"b", -1, {"a"}},
        SplitCase{"X \"1\"\"2\"\"3\"\"4\"\"5\"\"6\"\"7\"\"8\"\"9\"\"10\"\"11\"", 0,
                  {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
        // An unclosed eleventh quote is never read.
        SplitCase{"X \"1\"\"2\"\"3\"\"4\"\"5\"\"6\"\"7\"\"8\"\"9\"\"10\" \"11", 0,
                  {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}}));

TEST(LineClasses, DecidedOnTheUpperCasedWord)
{
    EXPECT_EQ(ClassifyWord(QString()), lcEmpty);
    EXPECT_EQ(ClassifyWord(QStringLiteral(".REM")), lcComment);
    EXPECT_EQ(ClassifyWord(QStringLiteral(":START")), lcLabel);
    for (const char* word : {"ELSE", "ENDIF", "ENDWHILE", "ENDLOOP", "DEBUGON", "DEBUGOFF"})
        EXPECT_EQ(ClassifyWord(QString::fromLatin1(word)), lcBlockWord) << word;
    EXPECT_EQ(ClassifyWord(QStringLiteral("ENDFOR")), lcCommand);
    EXPECT_EQ(ClassifyWord(QStringLiteral("IF")), lcCommand);
}

TEST(LineClasses, LabelsGetTheirColon)
{
    EXPECT_EQ(LabelKey(QStringLiteral(" Start ")), QStringLiteral(":Start"));
    EXPECT_EQ(LabelKey(QStringLiteral(":Start")), QStringLiteral(":Start"));
}

TEST(PlainNumbers, DigitsSpacesPointsAndALeadingMinus)
{
    ResetDecimalSymbol();
    SetDecimalSymbol(u'.');
    for (const char* text : {"12", "-3.5", " 7", ".5", "1 000", "-", "5."})
        EXPECT_TRUE(IsPlainNumber(QString::fromLatin1(text))) << text;
    for (const char* text : {"", "1+1", "5-", "--1", "1e5", "a", "1,5", "2*3"})
        EXPECT_FALSE(IsPlainNumber(QString::fromLatin1(text))) << text;
    SetDecimalSymbol(u',');
    EXPECT_TRUE(IsPlainNumber(QStringLiteral("1,5")));
    ResetDecimalSymbol();
}

// A publication whose included files are a fixed list.
class FixedPublication : public PublicationAccess {
public:
    QStringList included;
    bool preview = false;
    QString SubroutineText() const override { return QString(); }
    QStringList IncludedFiles() const override { return included; }
    bool PreviewMode() const override { return preview; }
    bool SinglePagePreview() const override { return false; }
    std::optional<QString> PreviewEmbeddedPath(const QString& name) const override
    {
        if (name.endsWith(QLatin1String("pic.bmp"), Qt::CaseInsensitive))
            return QStringLiteral("/preview/pic.bmp");
        return std::nullopt;
    }
};

struct EvalCase {
    int kind;
    const char* input;
    bool compute;
    const char* expected;
    bool exact;
};

class EvaluateParameterTest : public testing::TestWithParam<EvalCase> {
protected:
    void SetUp() override
    {
        ResetVariableStore();
        SetDecimalSymbol(u'.');
        SetVariable(QStringLiteral("[n]"), QStringLiteral("5"));
        SetVariable(QStringLiteral("[i]"), QStringLiteral("3"));
        SetVariable(QStringLiteral("[name]"), QStringLiteral("Item"));
        SetVariable(QStringLiteral("[path]"), QStringLiteral("C:\\data\\list.txt"));
        SetVariable(QStringLiteral("[bang]"), QStringLiteral("!x"));
        SetVariable(QStringLiteral("[emb]"), QStringLiteral("embedded:\\\\\\pic.bmp"));
        publication_.included = {QStringLiteral("media\\logo.bmp"), QStringLiteral(":notes.txt")};
        publication_.preview = true;
    }
    void TearDown() override
    {
        ResetVariableStore();
        ResetDecimalSymbol();
    }
    FixedPublication publication_;
};

TEST_P(EvaluateParameterTest, ByKind)
{
    const EvalCase& c = GetParam();
    QString text = QString::fromUtf8(c.input);
    bool exact = !c.exact;
    EvaluateParameter(text, exact, c.kind, c.compute, &publication_);
    EXPECT_EQ(text, QString::fromUtf8(c.expected)) << "kind " << c.kind << " input " << c.input;
    EXPECT_EQ(exact, c.exact) << "kind " << c.kind << " input " << c.input;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EvaluateParameterTest,
    testing::Values(
        // text and display text: substitution and the "!" prefix only
        EvalCase{pkText, "n is [n]", true, "n is 5", false},
        EvalCase{pkText, "1+1", true, "1+1", false},
        EvalCase{pkText, "!abc", true, "abc", true},
        EvalCase{pkDisplayText, "[bang]", true, "x", true},
        EvalCase{pkText, "[missing]", true, "", false},
        // number: empty references are 0, expressions are computed
        EvalCase{pkNumber, "[missing]", true, "0", false},
        EvalCase{pkNumber, "[n]*100", true, "500", false},
        EvalCase{pkNumber, "!5*100", true, "5*100", true},
        EvalCase{pkNumber, "5*100", false, "5*100", false},
        EvalCase{pkNumber, "-3.50", true, "-3.50", false},
        EvalCase{pkNumber, "7", true, "7", false},
        EvalCase{pkNumber, "1/0", true, "Error", false},
        EvalCase{pkNumber, "2+", true, "2+", false},
        // value: computed when it parses, kept otherwise
        EvalCase{pkValue, "1+1", true, "2", false},
        EvalCase{pkValue, "hello", true, "hello", false},
        EvalCase{pkValue, "[missing]", true, "", false},
        EvalCase{pkValue, "round(2.5)", true, "2", false},
        // variable: the key, inner references substituted, no "!" prefix
        EvalCase{pkVariable, "[Item[i]]", true, "Item3", false},
        EvalCase{pkVariable, "[[name]2]", true, "Item2", false},
        EvalCase{pkVariable, "plain", true, "plain", false},
        EvalCase{pkVariable, "![x]", true, "!x", false},
        // object and menu item names: substituted, "!" kept
        EvalCase{pkObjectName, "![name]", true, "!Item", false},
        EvalCase{pkMenuItemName, "!Menu", true, "!Menu", false},
        // file: included files found by their file part, ":" entries whole
        EvalCase{pkFile, "logo.bmp", true, "media\\logo.bmp", false},
        EvalCase{pkFile, "LOGO.BMP", true, "media\\logo.bmp", false},
        EvalCase{pkFile, "notes.txt", true, ":notes.txt", false},
        EvalCase{pkFile, "!logo.bmp", true, "logo.bmp", true},
        EvalCase{pkFile, "C:\\logo.bmp", true, "C:\\logo.bmp", false},
        EvalCase{pkFile, "\\\\server\\share\\logo.bmp", true, "\\\\server\\share\\logo.bmp", false},
        EvalCase{pkFile, "other.bmp", true, "other.bmp", false},
        EvalCase{pkFile, " [n].txt ", true, "5.txt", false},
        EvalCase{pkFile, "[emb]", true, "/preview/pic.bmp", false},
        EvalCase{pkPlugInFile, "logo.bmp", true, "media\\logo.bmp", false},
        // data file: a literal name keeps its file part only
        EvalCase{pkDataFile, "C:\\data\\list.txt", true, "list.txt", false},
        EvalCase{pkDataFile, "sub/list.txt", true, "list.txt", false},
        EvalCase{pkDataFile, "[path]", true, "C:\\data\\list.txt", false},
        EvalCase{pkDataFile, "!C:\\data\\list.txt", true, "C:\\data\\list.txt", true}));

} // namespace
} // namespace tomeric
