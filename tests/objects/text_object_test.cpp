// Text objects: the text shows variables and follows them, keeps its
// formatting, wraps, sits inside its border and margins, lets the page show
// through, runs its links, and looks as expected.

#include "objects/text_object.h"

#include "imaging/windows_fonts.h"
#include "texts_test_support.h"

#include <QTextBlock>

namespace tomeric::testing {
namespace {

class TextObjectTest : public TextsFixture {
protected:
    // The text as the reader sees it (an empty field keeps a zero-width mark).
    static QString Shown(const TTomericText& text)
    {
        return text.Document().toPlainText().remove(QChar(0x200B));
    }
    TTomericText* MakeText(const QString& text, const std::function<void(TObjectRecord&)>& tweak = {})
    {
        TObjectRecord record = Record(otText, QStringLiteral("Label"), 10, 10, 200, 60);
        auto* props = record.As<TTextProps>();
        props->text = text;
        props->fontName = QStringLiteral("Arial");
        props->fontSize = 12;
        props->textColor = 0; // black
        record.lineWidth = 0;
        if (tweak) tweak(record);
        return new TTomericText(&page, record, host);
    }
    // A point over the character at `position`, in the object's coordinates.
    static QPoint OnCharacter(const TTomericText& text, int position)
    {
        return PointOfCharacter(text.Document(), position) + text.TextRect().topLeft();
    }
};

// ---- variables -----------------------------------------------------------------------

TEST_F(TextObjectTest, ShowsTheVariableAndFollowsItsChangesWithoutReloading)
{
    SetVariable(QStringLiteral("[Name]"), QStringLiteral("Ann"));
    TTomericText* text = MakeText(QStringLiteral("Hello [Name]!"));
    const QTextDocument* shown = &text->Document();
    EXPECT_EQ(text->Document().toPlainText(), QStringLiteral("Hello Ann!"));

    SetVariable(QStringLiteral("[name]"), QStringLiteral("Bob"));
    EXPECT_EQ(text->Document().toPlainText(), QStringLiteral("Hello Bob!"));
    EXPECT_EQ(&text->Document(), shown);
    // The stored caption keeps the reference.
    EXPECT_EQ(text->FamilyInfo(QStringLiteral("CAPTION")), QStringLiteral("Hello [Name]!"));
}

TEST_F(TextObjectTest, OtherVariablesLeaveTheTextAlone)
{
    SetVariable(QStringLiteral("[Name]"), QStringLiteral("Ann"));
    TTomericText* text = MakeText(QStringLiteral("[Name] [Other]"));
    SetVariable(QStringLiteral("[Unrelated]"), QStringLiteral("x"));
    EXPECT_EQ(Shown(*text), QStringLiteral("Ann "));
    SetVariable(QStringLiteral("[Other]"), QStringLiteral("two"));
    EXPECT_EQ(Shown(*text), QStringLiteral("Ann two"));
}

TEST_F(TextObjectTest, RefreshAndCaptionRenderWithTheCurrentValues)
{
    TTomericText* text = MakeText(QStringLiteral("Score: [Score]"));
    SetVariable(QStringLiteral("[Score]"), QStringLiteral("10"));
    ASSERT_TRUE(text->SetObjectCaption(QStringLiteral("Points [Score]")));
    EXPECT_EQ(text->Document().toPlainText(), QStringLiteral("Points 10"));
    text->RefreshObject();
    EXPECT_EQ(text->Document().toPlainText(), QStringLiteral("Points 10"));
}

TEST_F(TextObjectTest, ATextGivenItsFirstFieldByANewCaptionFollowsIt)
{
    TTomericText* text = MakeText(QStringLiteral("No variable here"));
    ASSERT_TRUE(text->SetObjectCaption(QStringLiteral("Lives: [Lives]")));
    SetVariable(QStringLiteral("[Lives]"), QStringLiteral("3"));
    EXPECT_EQ(Shown(*text), QStringLiteral("Lives: 3"));
    ASSERT_TRUE(text->SetObjectCaption(QStringLiteral("Plain again")));
    SetVariable(QStringLiteral("[Lives]"), QStringLiteral("2"));
    EXPECT_EQ(Shown(*text), QStringLiteral("Plain again"));
}

// ---- formatting and layout --------------------------------------------------------------

TEST_F(TextObjectTest, RtfTextKeepsItsFormatting)
{
    TTomericText* text = MakeText(QStringLiteral("{\\rtf1\\ansi {\\b Bold} and {\\i slanted}}"));
    const QTextDocument& document = text->Document();
    EXPECT_EQ(document.toPlainText(), QStringLiteral("Bold and slanted"));
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(PositionOf(document, QStringLiteral("Bold")) + 1);
    EXPECT_TRUE(cursor.charFormat().font().bold());
    cursor.setPosition(PositionOf(document, QStringLiteral("slanted")) + 1);
    EXPECT_TRUE(cursor.charFormat().font().italic());
    EXPECT_FALSE(cursor.charFormat().font().bold());
}

TEST_F(TextObjectTest, LineBreaksInPlainTextMakeParagraphs)
{
    TTomericText* text = MakeText(QStringLiteral("One\r\nTwo\rThree\nFour"));
    EXPECT_EQ(text->Document().blockCount(), 4);
    EXPECT_EQ(text->Document().toPlainText(), QStringLiteral("One\nTwo\nThree\nFour"));
}

TEST_F(TextObjectTest, LongTextWrapsAtTheWidthUnlessWordWrapIsOff)
{
    TTomericText* text = MakeText(QStringLiteral("one two three four five six seven eight nine ten"),
                                  [](TObjectRecord& r) { r.width = 80; });
    const qreal lineHeight = QFontMetricsF(text->font()).lineSpacing();
    EXPECT_GT(text->Document().size().height(), 2 * lineHeight);
    text->SetWordWrap(false);
    EXPECT_LT(text->Document().size().height(), 2 * lineHeight);

    TTomericText* unwrapped = MakeText(QStringLiteral("one two three four five six seven eight nine ten"),
                                       [](TObjectRecord& r) {
                                           r.width = 80;
                                           r.As<TTextProps>()->wordWrap = false; // WORDWRAP=No
                                       });
    EXPECT_FALSE(unwrapped->WordWrap());
    EXPECT_LT(unwrapped->Document().size().height(), 2 * lineHeight);
}

TEST_F(TextObjectTest, TextSitsInsideTheBorderAndMargins)
{
    TTomericText* text = MakeText(QStringLiteral("x"), [](TObjectRecord& r) {
        r.lineWidth = 2;
        r.As<TTextProps>()->hMargin = 5;
        r.As<TTextProps>()->vMargin = 3;
    });
    EXPECT_EQ(text->TextRect(), QRect(7, 5, 200 - 14, 60 - 10));
    text->SetMargins(0, 0);
    EXPECT_EQ(text->TextRect(), QRect(2, 2, 196, 56));
}

TEST_F(TextObjectTest, SetObjectFontPutsTheFontOverTheWholeText)
{
    TTomericText* text = MakeText(QStringLiteral("{\\rtf1\\ansi \\fs16 small}"));
    const qreal before = text->Document().size().height();
    TFontChange change;
    change.size = 30;
    change.style = fsBold;
    text->SetObjectFont(change);
    EXPECT_GT(text->Document().size().height(), before * 2);
    QTextCursor cursor(const_cast<QTextDocument*>(&text->Document()));
    cursor.setPosition(1);
    EXPECT_TRUE(cursor.charFormat().font().bold());
}

// ---- links --------------------------------------------------------------------------

TEST_F(TextObjectTest, ClickingHotTextRunsItsCommandAsALinkScript)
{
    TTomericText* text =
        MakeText(QStringLiteral("{\\rtf1\\ansi Press {\\uldb here}{\\v SetVar \"[X]\" \"1\"} now}"));
    const int here = PositionOf(text->Document(), QStringLiteral("here"));
    ASSERT_GE(here, 0);
    ClickAt(*text, OnCharacter(*text, here + 1));
    const auto runs = LinkRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, QStringLiteral("SetVar \"[X]\" \"1\""));
    EXPECT_EQ(runs[0].name, QStringLiteral("Label"));
    EXPECT_EQ(GetVariable(QStringLiteral("[HyperlinkClickedText]")), QStringLiteral("here"));
}

TEST_F(TextObjectTest, ClickingPlainTextRunsNoLink)
{
    TTomericText* text =
        MakeText(QStringLiteral("{\\rtf1\\ansi Press {\\uldb here}{\\v SetVar \"[X]\" \"1\"} now}"));
    ClickAt(*text, OnCharacter(*text, 1));
    EXPECT_TRUE(LinkRuns().empty());
}

// ---- dragging ------------------------------------------------------------------------

TEST_F(TextObjectTest, ADraggableTextIsDraggedByItsTextButNotByItsLinks)
{
    const QString rtf = QStringLiteral("{\\rtf1\\ansi Drag me {\\uldb link}{\\v Beep}}");
    TTomericText* text = MakeText(rtf, [](TObjectRecord& r) { r.As<TTextProps>()->dragMode = 1; });
    page.show();
    TurnEventLoop();
    const QPoint start = text->pos();

    const int link = PositionOf(text->Document(), QStringLiteral("link"));
    const QPoint onLink = OnCharacter(*text, link + 1);
    SendTextMouse(*text, QEvent::MouseButtonPress, onLink);
    SendTextMouse(*text, QEvent::MouseMove, onLink + QPoint(20, 10));
    SendTextMouse(*text, QEvent::MouseButtonRelease, onLink + QPoint(20, 10));
    EXPECT_EQ(text->pos(), start);

    const QPoint onText = OnCharacter(*text, 1);
    SendTextMouse(*text, QEvent::MouseButtonPress, onText);
    SendTextMouse(*text, QEvent::MouseMove, onText + QPoint(10, 5));
    SendTextMouse(*text, QEvent::MouseMove, onText + QPoint(20, 10));
    SendTextMouse(*text, QEvent::MouseButtonRelease, onText + QPoint(20, 10));
    TurnEventLoop();
    EXPECT_EQ(text->pos(), start + QPoint(20, 10));
    EXPECT_TRUE(LinkRuns().empty());
}

// ---- search -------------------------------------------------------------------------

TEST_F(TextObjectTest, FindTextFindsShownTextFromAPosition)
{
    TTomericText* text = MakeText(QStringLiteral("cat dog cat"));
    const auto first = text->FindText(QStringLiteral("CAT"), 0, false);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->selectionStart(), 0);
    const auto second = text->FindText(QStringLiteral("cat"), 1, false);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->selectionStart(), 8);
    EXPECT_FALSE(text->FindText(QStringLiteral("bird"), 0, true));
}

// ---- painting -------------------------------------------------------------------------

TEST_F(TextObjectTest, WithoutFillThePageShowsBetweenTheLetters)
{
    MakeText(QStringLiteral("Through"), [](TObjectRecord& r) { r.fillPattern = 1; });
    const QImage image = RenderWidget(page);
    const QRect area(10, 10, 200, 60);
    // The page is white: most of the area stays white, the letters are dark.
    EXPECT_GT(CountNear(image, area, Qt::white, 10), area.width() * area.height() * 3 / 4);
    EXPECT_GT(CountNear(image, area, Qt::black, 100), 20);
}

TEST_F(TextObjectTest, WithAFillTheTextSitsOnItsColour)
{
    MakeText(QStringLiteral("Filled"), [](TObjectRecord& r) { r.fillColor = 0x0000FFFF; }); // yellow
    const QImage image = RenderWidget(page);
    EXPECT_GT(CountNear(image, QRect(10, 10, 200, 60), QColor(255, 255, 0), 10), 200 * 60 / 2);
}

TEST_F(TextObjectTest, LooksAsExpected)
{
    SetVariable(QStringLiteral("[Name]"), QStringLiteral("Ann"));
    MakeText(QStringLiteral("{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}Hello {\\b\\cf1 [Name]}, "
                            "{\\i welcome} to the page.}"),
             [](TObjectRecord& r) {
                 r.fillColor = 0x00C0FFFF; // pale yellow
                 r.lineWidth = 1;
                 r.As<TTextProps>()->hMargin = 4;
                 r.As<TTextProps>()->vMargin = 2;
             });
    ExpectLooksLike(RenderWidget(page), QStringLiteral("texts_text.png"));
}

} // namespace
} // namespace tomeric::testing
