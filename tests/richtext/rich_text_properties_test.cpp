// What survives in the document besides formatting: link commands,
// bookmarks, fields and variable fields, and the text a copy hands out.

#include "richtext/rich_text_properties.h"
#include "rich_text_test_support.h"

#include <QHash>
#include <QTextDocumentFragment>

namespace tomeric {
namespace {

using testing::RichTextTest;

// ---- links --------------------------------------------------------------------

TEST_F(RichTextTest, HotTextFollowedByHiddenTextIsALink)
{
    Read("{\\rtf1 Go {\\uldb there}{\\v GotoPage \"Two\"} now}");
    EXPECT_EQ(Text(), "Go there now");
    const auto link = LinkAt(document, PositionOf("there") + 2);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->text, "there");
    EXPECT_EQ(link->start, PositionOf("there"));
    EXPECT_EQ(link->command, "GotoPage \"Two\"");
    EXPECT_EQ(link->kind, TRichLinkKind::HotText);
    EXPECT_TRUE(FormatOf("there").isAnchor());
    EXPECT_EQ(FormatOf("there").anchorHref(), "GotoPage \"Two\"");
    EXPECT_FALSE(LinkAt(document, PositionOf("now")).has_value());
}

TEST_F(RichTextTest, AdjacentLinksStayApart)
{
    Read("{\\rtf1 {\\uldb A}{\\v one}{\\uldb B}{\\v two}}");
    const QList<TRichLink> links = Links(document);
    ASSERT_EQ(links.size(), 2);
    EXPECT_EQ(links[0].text, "A");
    EXPECT_EQ(links[0].command, "one");
    EXPECT_EQ(links[1].text, "B");
    EXPECT_EQ(links[1].command, "two");
}

TEST_F(RichTextTest, LinkTextKeepsItsFormattingAcrossRuns)
{
    Read("{\\rtf1 \\uldb plain {\\b bold}\\v cmd\\plain  after}");
    const auto link = LinkAt(document, 0);
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->text, "plain bold");
    EXPECT_EQ(FormatOf("bold").fontWeight(), QFont::Bold);
    EXPECT_EQ(LinkCommandAt(document, PositionOf("bold")), "cmd");
}

TEST_F(RichTextTest, LinksTakeTheLinkColourWhenGiven)
{
    TRtfReadOptions options;
    options.linkColor = QColor(0, 0, 255);
    Read("{\\rtf1 {\\uldb x}{\\v c} y}", options);
    EXPECT_EQ(FormatOf("x").foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(FormatOf("y").foreground().color(), QColor(0, 0, 0));
}

struct HyperlinkCase {
    const char* name;
    QByteArray instruction;
    QString command;
};

class RtfHyperlinks : public RichTextTest, public ::testing::WithParamInterface<HyperlinkCase> {};

TEST_P(RtfHyperlinks, BecomeLinksWithTheirTarget)
{
    Read("{\\rtf1 a {\\field{\\*\\fldinst{" + GetParam().instruction +
         "}}{\\fldrslt{\\ul link}}} b}");
    EXPECT_EQ(Text(), "a link b");
    const auto link = LinkAt(document, PositionOf("link"));
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->command, GetParam().command);
    EXPECT_EQ(link->kind, TRichLinkKind::Hyperlink);
    EXPECT_EQ(link->text, "link");
}

INSTANTIATE_TEST_SUITE_P(
    Targets, RtfHyperlinks,
    ::testing::Values(HyperlinkCase{"Url", "HYPERLINK \"http://example.org/\"", "http://example.org/"},
                      HyperlinkCase{"Unquoted", "HYPERLINK http://a.b/c ", "http://a.b/c"},
                      HyperlinkCase{"Bookmark", "HYPERLINK \\\\l \"intro\"", ":intro"},
                      HyperlinkCase{"UrlAndPlace", "HYPERLINK \"doc.htm\" \\\\l \"p2\"", "doc.htm#p2"},
                      HyperlinkCase{"Tooltip", "HYPERLINK \"x.htm\" \\\\o \"tip\"", "x.htm"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- bookmarks ------------------------------------------------------------------

TEST_F(RichTextTest, BookmarksMarkThePlaceWhereTheyStart)
{
    Read("{\\rtf1 first\\par {\\*\\bkmkstart Second}second{\\*\\bkmkend Second}\\par third}");
    EXPECT_EQ(Bookmarks(document), QStringList{"Second"});
    EXPECT_EQ(BookmarkPosition(document, "second"), PositionOf("second"));
    EXPECT_EQ(BookmarkPosition(document, "SECOND"), PositionOf("second"));
    EXPECT_FALSE(BookmarkPosition(document, "missing").has_value());
    EXPECT_EQ(FormatOf("second").anchorNames(), QStringList{"Second"});
}

TEST_F(RichTextTest, BookmarkAtTheVeryEndIsKept)
{
    Read("{\\rtf1 text{\\*\\bkmkstart end}}");
    EXPECT_EQ(Text(), "text");
    EXPECT_EQ(BookmarkPosition(document, "end"), 4);
}

// ---- fields ---------------------------------------------------------------------

TEST_F(RichTextTest, MergeFieldBecomesAVariableField)
{
    Read("{\\rtf1 Hello {\\field{\\*\\fldinst MERGEFIELD UserName }{\\fldrslt Ann}}!}");
    EXPECT_EQ(Text(), "Hello Ann!");
    EXPECT_EQ(FormatOf("Ann").stringProperty(rtpVariableName), "USERNAME");
    EXPECT_EQ(VariableFieldNames(document), QStringList{"USERNAME"});
    RefreshVariableFields(document, [](const QString&) { return QStringLiteral("Bob"); });
    EXPECT_EQ(Text(), "Hello Bob!");
}

TEST_F(RichTextTest, OtherFieldsShowTheirResultAndKeepTheInstruction)
{
    Read("{\\rtf1 {\\field{\\*\\fldinst { DATE \\\\@ \"d/M/yyyy\" }}{\\fldrslt 1/2/2003}}}");
    EXPECT_EQ(Text(), "1/2/2003");
    EXPECT_EQ(FormatOf("1/2").stringProperty(rtpFieldInstruction), "DATE \\@ \"d/M/yyyy\"");
}

TEST_F(RichTextTest, FieldWithoutResultShowsNothing)
{
    Read("{\\rtf1 a{\\field{\\*\\fldinst PAGE }}b}");
    EXPECT_EQ(Text(), "ab");
}

// ---- variable fields ----------------------------------------------------------------

class VariableFields : public RichTextTest {
protected:
    QString ValueOf(const QString& name) const { return values.value(name); }
    std::function<QString(const QString&)> Values()
    {
        return [this](const QString& name) { return ValueOf(name); };
    }
    QHash<QString, QString> values;
};

TEST_F(VariableFields, GroupsBecomeFieldsShowingTheirValues)
{
    values = {{"NAME", "Ann"}, {"AGE", "7"}};
    Read("{\\rtf1 Hi [Name], {\\b [age]} years}");
    EXPECT_EQ(CreateVariableFields(document, Values()), 2);
    EXPECT_EQ(Text(), "Hi Ann, 7 years");
    EXPECT_EQ(FormatOf("7").fontWeight(), QFont::Bold) << "a field keeps the group's format";
    EXPECT_EQ(FormatOf("Ann").stringProperty(rtpFieldSource), "[Name]");
    EXPECT_EQ(VariableFieldNames(document), (QStringList{"NAME", "AGE"}));
}

TEST_F(VariableFields, NestedGroupIsOneField)
{
    values = {{"ITEM[I]", "third"}};
    Read("{\\rtf1 x [Item[i]] y}");
    EXPECT_EQ(CreateVariableFields(document, Values()), 1);
    EXPECT_EQ(Text(), "x third y");
    EXPECT_EQ(VariableFieldNames(document), QStringList{"ITEM[I]"});
}

TEST_F(VariableFields, RefreshUpdatesInPlaceWithoutReloading)
{
    values = {{"A", "1"}, {"B", "2"}};
    Read("{\\rtf1 {\\uldb go}{\\v cmd} [A] and [B]{\\*\\bkmkstart end}.}");
    CreateVariableFields(document, Values());
    values = {{"A", "one hundred"}, {"B", "two"}};
    EXPECT_EQ(RefreshVariableFields(document, Values(), "a"), 1);
    EXPECT_EQ(Text(), "go one hundred and 2.");
    EXPECT_EQ(LinkCommandAt(document, 0), "cmd") << "the rest of the text stays";
    EXPECT_EQ(BookmarkPosition(document, "end"), PositionOf("."));
    EXPECT_EQ(RefreshVariableFields(document, Values()), 2);
    EXPECT_EQ(Text(), "go one hundred and two.");
}

TEST_F(VariableFields, RefreshByNameReachesFieldsThatNestIt)
{
    values = {{"ITEM[I]", "a"}};
    Read("{\\rtf1 [Item[i]]}");
    CreateVariableFields(document, Values());
    values = {{"ITEM[I]", "b"}};
    EXPECT_EQ(RefreshVariableFields(document, Values(), "I"), 1);
    EXPECT_EQ(Text(), "b");
}

TEST_F(VariableFields, EmptyValueKeepsTheFieldAlive)
{
    Read("{\\rtf1 <[X]>}");
    CreateVariableFields(document, Values());
    EXPECT_EQ(VisiblePlainText(document, 0, int(Text().size())), "<>");
    values = {{"X", "back"}};
    RefreshVariableFields(document, Values());
    EXPECT_EQ(Text(), "<back>");
}

TEST_F(VariableFields, MultiLineValueStaysInOneParagraph)
{
    values = {{"X", "one\r\ntwo"}};
    Read("{\\rtf1 [X]\\par next}");
    CreateVariableFields(document, Values());
    EXPECT_EQ(document.blockCount(), 2);
    EXPECT_EQ(VisiblePlainText(document, 0, int(Text().size())), "one\r\ntwo\r\nnext");
}

TEST_F(VariableFields, ExistingFieldsAndHiddenOrProtectedTextAreLeftAlone)
{
    TRtfReadOptions options;
    options.keepHiddenText = true;
    values = {{"A", "1"}, {"B", "2"}, {"C", "3"}};
    Read("{\\rtf1 {\\v [A]}{\\protect [B]}[C]}", options);
    EXPECT_EQ(CreateVariableFields(document, Values()), 1);
    EXPECT_EQ(CreateVariableFields(document, Values()), 0) << "a field is not made twice";
    EXPECT_EQ(Text(), "[A][B]3");
}

TEST_F(VariableFields, UnbalancedAndEmptyBracketsStayText)
{
    Read("{\\rtf1 a [ b ] c [] d [e}");
    values = {{" B ", "x"}};
    EXPECT_EQ(CreateVariableFields(document, Values()), 1);
    EXPECT_EQ(Text(), "a x c [] d [e");
}

TEST_F(VariableFields, LongParagraphsOfBracketsAreHandledInOnePass)
{
    // Two hundred thousand unclosed brackets and alternating formats around
    // ten thousand groups: each must be looked at once, not once per bracket.
    QByteArray rtf = "{\\rtf1 " + QByteArray(200000, '[');
    for (int i = 0; i < 10000; ++i)
        rtf += (i % 2 ? "{\\b [A]}" : "{\\i [A]}");
    Read(rtf + "}");
    values = {{"A", "1"}};
    EXPECT_EQ(CreateVariableFields(document, Values()), 10000);
    EXPECT_EQ(RefreshVariableFields(document, Values(), "A"), 10000);
}

// ---- copying ------------------------------------------------------------------------

TEST_F(RichTextTest, CopiedTextLeavesOutHiddenAndProtectedText)
{
    TRtfReadOptions options;
    options.keepHiddenText = true;
    Read("{\\rtf1 one {\\v hidden}{\\protect locked}two\\par three}", options);
    QTextCursor selection(&document);
    selection.setPosition(PositionOf("one"));
    selection.setPosition(PositionOf("three") + 3, QTextCursor::KeepAnchor);
    EXPECT_EQ(VisiblePlainText(selection), "one two\r\nthr");
}

} // namespace
} // namespace tomeric
