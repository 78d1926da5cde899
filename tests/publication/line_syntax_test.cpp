// How lines of the publication text become records: keys, values, markers,
// value types, chunks and zero bytes.

#include "publication/record_reader.h"

#include "platform/cp1252.h"
#include "publication_test_support.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <algorithm>
#include <iterator>

namespace tomeric {
namespace {

struct LineCase {
    const char* line;
    int tag;          // ktNone: no record
    const char* text; // expected value (UTF-8)
};

class LineSyntax : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineSyntax, GivesTheExpectedRecord) {
    const LineCase& c = GetParam();
    const QByteArray line = EncodeWindows1252(QString::fromUtf8(c.line)); // the record views it
    const auto record = DecodeRecord(line);
    if (c.tag == ktNone) {
        EXPECT_FALSE(record.has_value()) << c.line;
        return;
    }
    ASSERT_TRUE(record.has_value()) << c.line;
    EXPECT_EQ(record->tag, c.tag) << c.line;
    // Text keys carry their text; integer and Yes/No keys their bytes.
    const bool textual = record->key->type == TKeyType::ktyText ||
                         record->key->type == TKeyType::ktyTextPara ||
                         record->key->type == TKeyType::ktyMarker;
    const QString value = textual ? record->text : DecodeWindows1252(record->rawValue);
    EXPECT_EQ(value, QString::fromUtf8(c.text)) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LineSyntax,
    ::testing::Values(
        LineCase{"X=10", ktX, "10"},
        LineCase{"x = 5", ktX, " 5"},                  // blanks around the key go, the value stays
        LineCase{"  title=  My title ", ktTitle, "  My title "},
        LineCase{"TITLE=", ktNone, ""},                // empty value: skipped
        LineCase{"NOSUCHKEY=1", ktNone, ""},           // unknown key: skipped
        LineCase{"MasterPage", ktMasterPage, "MasterPage"}, // marker: its own text as value
        LineCase{"  GROUPBEGIN  ", ktGroupBegin, "GROUPBEGIN"},
        LineCase{"MASTERPAGE=", ktNone, ""},           // a marker written as key is unknown
        LineCase{"", ktNone, ""},
        LineCase{"NAME=a=b", ktName, "a=b"},           // only the first "=" splits
        LineCase{"TEXT=one¶two", ktText, "one\r\ntwo"}, // text¶ keys restore line breaks
        LineCase{"NAME=one¶two", ktName, "one¶two"},    // plain text keys keep the mark
        LineCase{"TITLE=Café à l'été", ktTitle, "Café à l'été"},
        LineCase{"l_ok=D'accord", 800, "D'accord"},
        LineCase{"L_PLEASEWAIT=Un instant", 834, "Un instant"}));

TEST(ValueTypes, YesNoIsTrueOnlyForYesInAnyCase) {
    const struct {
        const char* line;
        bool expected;
    } cases[] = {{"FILLMODE=Yes", true}, {"FILLMODE=yes", true}, {"FILLMODE=YES", true},
                 {"FILLMODE=1", false},  {"FILLMODE=No", false}, {"FILLMODE=True", false},
                 {"FILLMODE= Yes", false}};
    for (const auto& c : cases) {
        const auto record = DecodeRecord(QByteArray(c.line));
        ASSERT_TRUE(record.has_value()) << c.line;
        EXPECT_EQ(record->yesNo, c.expected) << c.line;
    }
}

TEST(ValueTypes, IntegersReadDecimalHexAndUnsignedColours) {
    const struct {
        const char* text;
        std::optional<std::int32_t> expected;
    } cases[] = {
        {"10", 10},          {" 5", 5},           {"-7", -7},         {"+3", 3},
        {"$FF", 255},        {"0x10", 16},        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"4278190095", std::int32_t(0xFF00000F)}, // a system colour written unsigned
        {"4294967296", std::nullopt},             // beyond 32 bits
        {"12abc", std::nullopt}, {"abc", std::nullopt}, {"", std::nullopt},
        {"-", std::nullopt},     {"1.5", std::nullopt}, {"0x", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseFormatInteger(QString::fromLatin1(c.text)), c.expected) << c.text;
    }
}

TEST(ValueTypes, IntegerRecordKeepsItsBytesAndMarksMalformedValues) {
    const auto good = DecodeRecord(QByteArray("W=100"));
    ASSERT_TRUE(good);
    EXPECT_EQ(good->integer, 100);
    const QByteArray line("W=wide");
    const auto bad = DecodeRecord(line);
    ASSERT_TRUE(bad);
    EXPECT_FALSE(bad->integer.has_value());
    EXPECT_EQ(bad->rawValue, QByteArrayView("wide"));
}

TEST(ValueTypes, BoundVariableNamesAreBracketedAndBalanced) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {{"Name", "[Name]"},         {"[Name]", "[Name]"},   {"[Name", "[Name]"},
                 {"Name]", "[Name]"},        {"Item[i]", "[Item[i]]"},
                 {"[Item[i]", "[Item[i]]"},  {"Item]i]", "[[Item]i]"}, {"", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(NormalizeBoundVarName(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
    }
}

// ---- palette -----------------------------------------------------------------------

TEST(Palette, EntriesNeedTheirBlankAndBadNumbersGiveBlack) {
    const TPalette p = ParsePalette(u"255 65280 16711680");
    EXPECT_EQ(p[0], (TPaletteEntry{255, 0, 0}));
    EXPECT_EQ(p[1], (TPaletteEntry{0, 255, 0}));
    EXPECT_EQ(p[2], (TPaletteEntry{0, 0, 0})); // not followed by a blank
    EXPECT_EQ(p[3], (TPaletteEntry{0, 0, 0})); // missing

    const TPalette q = ParsePalette(u"x 16711680 ");
    EXPECT_EQ(q[0], (TPaletteEntry{0, 0, 0})); // does not parse
    EXPECT_EQ(q[1], (TPaletteEntry{0, 0, 255}));
}

TEST(Palette, ReadsAtMost256Entries) {
    QString value;
    for (int i = 0; i < 300; ++i) value += QStringLiteral("%1 ").arg(i);
    const TPalette p = ParsePalette(value);
    EXPECT_EQ(p[255], (TPaletteEntry{255, 0, 0}));
}

// ---- lines and chunks ------------------------------------------------------------------

QStringList SplitLines(const QList<QByteArray>& chunks) {
    QStringList lines;
    TLineSplitter splitter([&](QByteArrayView line) { lines.append(QString::fromLatin1(line)); });
    for (const QByteArray& chunk : chunks) splitter.FeedChunk(chunk);
    splitter.Finish();
    return lines;
}

TEST(Lines, SplitAtCrLfOnlyAndKeepTheLastLine) {
    EXPECT_EQ(SplitLines({"A=1\r\nB=2\nC\rD\r\nE=5"}),
              (QStringList{"A=1", "B=2\nC\rD", "E=5"}));
}

TEST(Lines, ATextSavedWithBareLineFeedsBreaksAtThem) {
    EXPECT_EQ(SplitLines({"A=1\nB=2\r\n", "C=3\nD=4"}), (QStringList{"A=1", "B=2\r", "C=3", "D=4"}));
    EXPECT_EQ(SplitLines({"A=1", "\nB=2"}), (QStringList{"A=1", "B=2"}));
    const TPublication pub = ParsePublicationText("TITLE=Unix\nNEWPAGE=One\nNEWPAGE=Two\n");
    ASSERT_EQ(pub.pages.size(), 3u);
    EXPECT_EQ(pub.settings.title, QStringLiteral("Unix"));
}

TEST(Lines, CrLfMaySpanTwoChunks) {
    EXPECT_EQ(SplitLines({"A=1\r", "\nB=2\r\n"}), (QStringList{"A=1", "B=2"}));
}

// Lines are cut from each chunk where they lie; a line may straddle any
// chunk boundary, its CR LF too, and still read as when the text comes
// whole. Both line-end rules are tried: CR LF with lone CRs and LFs inside
// lines, and bare LFs.
TEST(Lines, AnyChunkingGivesTheLinesOfTheWholeText) {
    static const char* const kPieces[] = {"A=1", "\r\n", "\r", "\n", "\r\r\n", "TEXT=x\xB6y", " ", "\r\n\r\n"};
    QRandomGenerator random(20261210);
    for (int round = 0; round < 300; ++round) {
        QByteArray text = round % 2 == 0 ? "FIRST=1\r\n" : "FIRST=1\n";
        while (text.size() < 64 + round * 4) text += kPieces[random.bounded(int(std::size(kPieces)))];
        const QStringList whole = SplitLines({text});
        QList<QByteArray> chunks;
        for (qsizetype at = 0; at < text.size();) {
            const qsizetype size = std::min<qsizetype>(1 + random.bounded(9), text.size() - at);
            chunks.append(text.mid(at, size));
            at += size;
        }
        ASSERT_EQ(SplitLines(chunks), whole) << text.toPercentEncoding().constData();
    }
}

TEST(Lines, EachChunkEndsAtItsFirstZeroByte) {
    const QByteArray first("A=1\0junk\r\n", 11);
    EXPECT_EQ(SplitLines({first, "B=2\r\n"}), (QStringList{"A=1B=2"}));
    // Line ends after the zero, in the same sixteen bytes or further on,
    // are not text either, wherever the zero falls in a long chunk.
    const QByteArray lines = "L1=a\r\nL2=bb\r\nL3=ccc\r\nL4=dddd\r\nL5=eeeee\r\nL6=f\r\n";
    for (int at = 0; at < lines.size(); ++at) {
        QByteArray withZero = lines;
        withZero[at] = '\0';
        ASSERT_EQ(SplitLines({"X=0\r\n", withZero, "B=2\r\n"}), SplitLines({"X=0\r\n", lines.first(at), "B=2\r\n"}))
            << at;
    }
}

TEST(Lines, ZeroByteOnlyCutsItsOwnChunkOfTheText) {
    QByteArray text = testing::PubText({"MASTERPAGE", "NEWPAGE=One"});
    text.append("\r\n");
    text.append(QByteArray(2048 - text.size() % 2048, '\0')); // pad the first chunk with zeros
    text.append(testing::PubText({"NEWPAGE=Two"}));
    const TPublication pub = ParsePublicationText(text);
    ASSERT_EQ(pub.pages.size(), 3u);
    EXPECT_EQ(pub.pages[2].name, QStringLiteral("Two"));
}

} // namespace
} // namespace tomeric
