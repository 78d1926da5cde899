// The text operations behind the string and file-name commands: positions
// count from 1 and out-of-range positions are clamped, never an error.

#include "actions/string_operations.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

TEST(InsertText, PutsTheTextBeforeThePositionClampedToTheText) {
    struct Case { const char* insert; const char* target; std::int64_t position; const char* expected; };
    const Case cases[] = {
        {"X", "Hello", 3, "HeXllo"},
        {"X", "Hello", 1, "XHello"},
        {"X", "Hello", 0, "XHello"},
        {"X", "Hello", -7, "XHello"},
        {"X", "Hello", 6, "HelloX"},
        {"X", "Hello", 99, "HelloX"},
        {"", "Hello", 2, "Hello"},
        {"ab", "", 5, "ab"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InsertText(S(c.insert), S(c.target), c.position), S(c.expected))
            << c.insert << " into " << c.target << " at " << c.position;
}

TEST(DeleteText, RemovesCountCharactersFromThePosition) {
    struct Case { const char* text; std::int64_t position, count; const char* expected; };
    const Case cases[] = {
        {"Hello", 1, 1, "ello"},
        {"Hello", 2, 3, "Ho"},
        {"Hello", 4, 99, "Hel"},
        {"Hello", 0, 2, "Hello"},   // position before the text
        {"Hello", 6, 1, "Hello"},   // position beyond the text
        {"Hello", 2, 0, "Hello"},
        {"Hello", 2, -1, "Hello"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DeleteText(S(c.text), c.position, c.count), S(c.expected))
            << c.text << " " << c.position << " " << c.count;
}

TEST(CopyText, TakesUpToCountCharactersFromThePosition) {
    struct Case { const char* text; std::int64_t position, count; const char* expected; };
    const Case cases[] = {
        {"Hello", 2, 3, "ell"},
        {"Hello", 1, 99, "Hello"},
        {"Hello", 0, 2, "He"},      // below 1 counts as 1
        {"Hello", 5, 1, "o"},
        {"Hello", 6, 1, ""},        // beyond the end
        {"Hello", 2, 0, ""},
        {"Hello", 2, -3, ""},
        {"Zoé à", 3, 3, "é à"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CopyText(S(c.text), c.position, c.count), S(c.expected))
            << c.text << " " << c.position << " " << c.count;
}

TEST(FindText, GivesThePositionOfTheFirstOccurrenceOrZero) {
    struct Case { const char* find; const char* text; Qt::CaseSensitivity cs; std::int64_t expected; };
    const Case cases[] = {
        {"LO", "Hello", Qt::CaseInsensitive, 4},
        {"LO", "Hello", Qt::CaseSensitive, 0},
        {"lo", "Hello", Qt::CaseSensitive, 4},
        {"l", "Hello", Qt::CaseSensitive, 3},
        {"H", "Hello", Qt::CaseSensitive, 1},
        {"x", "Hello", Qt::CaseInsensitive, 0},
        {"", "Hello", Qt::CaseInsensitive, 0},
        {"É", "café", Qt::CaseInsensitive, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindText(S(c.find), S(c.text), c.cs), c.expected) << c.find << " in " << c.text;
}

TEST(ReplaceText, ReplacesEveryOccurrenceOnce) {
    struct Case { const char* text; const char* find; const char* by; Qt::CaseSensitivity cs; const char* expected; };
    const Case cases[] = {
        {"a-b-c", "-", "+", Qt::CaseSensitive, "a+b+c"},
        {"Abc abc", "ABC", "x", Qt::CaseInsensitive, "x x"},
        {"Abc abc", "ABC", "x", Qt::CaseSensitive, "Abc abc"},
        {"Abc abc", "abc", "x", Qt::CaseSensitive, "Abc x"},
        {"aaa", "a", "aa", Qt::CaseSensitive, "aaaaaa"}, // replaced text is not rescanned
        {"abc", "", "x", Qt::CaseSensitive, "abc"},
        {"abc", "b", "", Qt::CaseSensitive, "ac"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplaceText(S(c.text), S(c.find), S(c.by), c.cs), S(c.expected)) << c.text;
}

TEST(ParsePieces, SplitsAtEachDelimiterAndKeepsANonEmptyRest) {
    struct Case { const char* text; const char* delimiter; QStringList expected; };
    const Case cases[] = {
        {"a,b,,c", ",", {"a", "b", "", "c"}},
        {"a,b,", ",", {"a", "b"}},
        {",a", ",", {"", "a"}},
        {"a", ",", {"a"}},
        {"", ",", {}},
        {"a,b", "", {"a,b"}},          // an empty delimiter never matches
        {"a<>b<>c", "<>", {"a", "b", "c"}},
        {"aXbxc", "x", {"aXb", "c"}},  // case-sensitive
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParsePieces(S(c.text), S(c.delimiter)), c.expected) << c.text;
}

TEST(HasOption, IsACaseInsensitiveSubstringTest) {
    EXPECT_TRUE(HasOption(QStringLiteral("casesensitive"), QStringLiteral("CaseSensitive")));
    EXPECT_TRUE(HasOption(QStringLiteral("FOLDERS+FILES"), QStringLiteral("files")));
    EXPECT_FALSE(HasOption(QString(), QStringLiteral("NOEXT")));
}

TEST(ParseWholeNumber, ReadsWholeNumbersWithEitherDecimalMark) {
    struct Case { const char* text; std::optional<std::int64_t> expected; };
    const Case cases[] = {
        {"12", 12}, {" -3 ", -3}, {"4.0", 4}, {"4,9", 4}, {"0", 0},
        {"", std::nullopt}, {"abc", std::nullopt}, {"Error", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseWholeNumber(S(c.text)), c.expected) << c.text;
    EXPECT_EQ(WholeNumberOrZero(QStringLiteral("junk")), 0);
}

TEST(FileNameParts, SplitNamesTheWindowsWay) {
    struct Case { const char* name; const char* path; const char* file; const char* ext; const char* drive; };
    const Case cases[] = {
        {"C:\\data\\list.txt", "C:\\data\\", "list.txt", ".txt", "C:"},
        {"C:list.txt", "C:", "list.txt", ".txt", "C:"},
        {"\\\\srv\\share\\dir\\a.b.c", "\\\\srv\\share\\dir\\", "a.b.c", ".c", "\\\\srv\\share"},
        {"\\\\srv\\share", "\\\\srv\\", "share", "", "\\\\srv\\share"},
        {"/home/ann/x.txt", "/home/ann/", "x.txt", ".txt", ""},
        {"dir.d\\file", "dir.d\\", "file", "", ""},
        {"plain", "", "plain", "", ""},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(S(c.name)), S(c.path)) << c.name;
        EXPECT_EQ(ExtractFileName(S(c.name)), S(c.file)) << c.name;
        EXPECT_EQ(ExtractFileExt(S(c.name)), S(c.ext)) << c.name;
        EXPECT_EQ(ExtractFileDrive(S(c.name)), S(c.drive)) << c.name;
    }
}

TEST(ChangeFileExt, ReplacesOrAddsTheExtension) {
    struct Case { const char* name; const char* ext; const char* expected; };
    const Case cases[] = {
        {"C:\\a\\b.txt", ".dat", "C:\\a\\b.dat"},
        {"C:\\a.d\\b", ".dat", "C:\\a.d\\b.dat"},
        {"b.tar.gz", ".zip", "b.tar.zip"},
        {"b.txt", "", "b"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChangeFileExt(S(c.name), S(c.ext)), S(c.expected)) << c.name;
}

} // namespace
} // namespace tomeric
