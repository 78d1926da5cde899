// Articles: caret-markup files with their formatting, links that run
// scripts or jump to bookmarks, scrolling, copying, fields, fonts; linked
// articles whose text flows through a chain of frames.

#include "objects/articles.h"
#include "objects/linked_article.h"

#include "imaging/windows_fonts.h"
#include "texts_test_support.h"

#include <QClipboard>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>

namespace tomeric::testing {
namespace {

class ArticleTest : public TextsFixture {
protected:
    TTomericArticle* MakeArticle(const QString& file, const std::function<void(TObjectRecord&)>& tweak = {})
    {
        TObjectRecord record = Record(otArticle, QStringLiteral("Story"), 10, 10, 240, 100);
        auto* props = record.As<TArticleProps>();
        props->fileName = file;
        props->fontName = QStringLiteral("Arial");
        props->fontSize = 10;
        props->textColor = 0;
        props->scrollBars = false;
        record.lineWidth = 0;
        record.fillColor = 0x00FFFFFF;
        if (tweak) tweak(record);
        return new TTomericArticle(&page, record, host);
    }
    static QTextCharFormat FormatAt(const QTextDocument& document, const QString& text)
    {
        QTextCursor cursor(const_cast<QTextDocument*>(&document));
        cursor.setPosition(PositionOf(document, text) + 1);
        return cursor.charFormat();
    }
    static Qt::Alignment AlignmentOf(const QTextDocument& document, const QString& text)
    {
        return document.findBlock(PositionOf(document, text)).blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    }
    // Clicks the character at `position` of an article's text.
    static void ClickCharacter(TBaseArticle& article, int position)
    {
        TRichTextView& view = article.View();
        const QPoint point = PointOfCharacter(article.Document(), position) +
                             QPoint(TRichTextView::kLeftInset, -view.ScrollPosition());
        ClickAt(*view.viewport(), point);
    }
    static void PressKey(QWidget& widget, int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &press);
    }

    QString Caret() const { return TextsData(QStringLiteral("article.txt")); }
};

// ---- caret markup ---------------------------------------------------------------------------

TEST_F(ArticleTest, CaretMarkupShowsBoldSizesColoursAndAlignment)
{
    TTomericArticle* article = MakeArticle(Caret());
    const QTextDocument& document = article->Document();
    ASSERT_GE(PositionOf(document, QStringLiteral("Title")), 0) << document.toPlainText().toStdString();

    EXPECT_TRUE(FormatAt(document, QStringLiteral("Title")).font().bold());
    EXPECT_DOUBLE_EQ(FormatAt(document, QStringLiteral("Title")).fontPointSize(), 14.0);
    EXPECT_EQ(AlignmentOf(document, QStringLiteral("Title")), Qt::AlignHCenter);

    EXPECT_TRUE(FormatAt(document, QStringLiteral("bold")).font().bold());
    EXPECT_FALSE(FormatAt(document, QStringLiteral("Plain")).font().bold());
    EXPECT_DOUBLE_EQ(FormatAt(document, QStringLiteral("Plain")).fontPointSize(), 10.0);
    EXPECT_EQ(FormatAt(document, QStringLiteral("red")).foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(AlignmentOf(document, QStringLiteral("Right side")), Qt::AlignRight);
    EXPECT_EQ(AlignmentOf(document, QStringLiteral("Plain")), Qt::AlignLeft);
    // The hidden commands of the links never show.
    EXPECT_FALSE(document.toPlainText().contains(QStringLiteral("SetVar")));
}

TEST_F(ArticleTest, AMissingFileLeavesTheArticleEmpty)
{
    TTomericArticle* article = MakeArticle(TextsData(QStringLiteral("no-such-file.txt")));
    EXPECT_TRUE(article->Document().isEmpty());
    EXPECT_EQ(article->FamilyInfo(QStringLiteral("FILENAME")), TextsData(QStringLiteral("no-such-file.txt")));
}

TEST_F(ArticleTest, SetObjectFileNameLoadsTheNewFile)
{
    TTomericArticle* article = MakeArticle(QString());
    EXPECT_TRUE(article->Document().isEmpty());
    ASSERT_TRUE(article->SetObjectFileName(TextsData(QStringLiteral("story.txt"))));
    EXPECT_TRUE(article->Document().toPlainText().startsWith(QStringLiteral("Chapter 1: alpha")));
}

TEST_F(ArticleTest, OverrideFontPutsTheObjectFontOverTheText)
{
    TTomericArticle* article = MakeArticle(Caret(), [](TObjectRecord& r) {
        r.As<TArticleProps>()->overrideFont = true;
        r.As<TArticleProps>()->fontSize = 20;
    });
    const QFont expected = WindowsFont(QStringLiteral("Arial"), 20, 0);
    const QFont title = FormatAt(article->Document(), QStringLiteral("Title")).font();
    const QFont plain = FormatAt(article->Document(), QStringLiteral("Plain")).font();
    EXPECT_EQ(title.pixelSize(), expected.pixelSize());
    EXPECT_EQ(plain.pixelSize(), expected.pixelSize());
}

// ---- links and bookmarks ------------------------------------------------------------------

TEST_F(ArticleTest, ALinkRunsItsCommandAndNamesItsText)
{
    TTomericArticle* article = MakeArticle(Caret(), [](TObjectRecord& r) { r.height = 220; });
    const int link = PositionOf(article->Document(), QStringLiteral("Go on"));
    ASSERT_GE(link, 0);
    ClickCharacter(*article, link + 1);
    const auto runs = LinkRuns();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, QStringLiteral("SetVar \"[Went]\" \"Yes\""));
    EXPECT_EQ(GetVariable(QStringLiteral("[HyperlinkClickedText]")), QStringLiteral("Go on"));
}

TEST_F(ArticleTest, LinksTakeThePublicationsLinkColourFromTheStart)
{
    host.linkColor = 0x000000FF; // LINKCOLOR: red (blue, green, red from high to low)
    TTomericArticle* article = MakeArticle(Caret(), [](TObjectRecord& r) { r.height = 220; });
    const int link = PositionOf(article->Document(), QStringLiteral("Go on"));
    ASSERT_GE(link, 0);
    QTextCursor cursor(const_cast<QTextDocument*>(&article->Document()));
    cursor.setPosition(link + 1);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(255, 0, 0));
}

TEST_F(ArticleTest, AClickAimedAtTheArticleItselfReachesItsText)
{
    TTomericArticle* article = MakeArticle(Caret(), [](TObjectRecord& r) { r.height = 220; });
    const int link = PositionOf(article->Document(), QStringLiteral("Go on"));
    const QPoint point = PointOfCharacter(article->Document(), link + 1) + QPoint(TRichTextView::kLeftInset, 0);
    ClickAt(*article, article->View().viewport()->mapTo(article, point));
    EXPECT_EQ(LinkRuns().size(), 1u);
    ClickAt(*article, QPoint(230, 215)); // below the text: nothing
    EXPECT_EQ(LinkRuns().size(), 1u);
}

TEST_F(ArticleTest, AColonLinkScrollsItsBookmarkToTheTop)
{
    TTomericArticle* article = MakeArticle(Caret());
    page.show();
    TurnEventLoop();
    const int link = PositionOf(article->Document(), QStringLiteral("To the end"));
    ASSERT_GE(link, 0);
    ClickCharacter(*article, link + 1);
    EXPECT_TRUE(LinkRuns().empty());
    // The bookmark's name is not shown: it marks ": the end."
    const int end = PositionOf(article->Document(), QStringLiteral(": the end"));
    ASSERT_GE(end, 0);
    EXPECT_GT(article->View().ScrollPosition(), 0);
    EXPECT_EQ(article->View().ScrollPosition(),
              std::min(int(LineTop(article->Document(), end)), article->View().verticalScrollBar()->maximum()));
    EXPECT_EQ(GetVariable(QStringLiteral("[HyperlinkClickedText]")), QStringLiteral("To the end"));
}

TEST_F(ArticleTest, JumpToIgnoresCaseAndUnknownBookmarksDoNothing)
{
    TTomericArticle* article = MakeArticle(Caret());
    page.show();
    TurnEventLoop();
    EXPECT_FALSE(article->JumpTo(QStringLiteral("Nowhere")));
    EXPECT_EQ(article->View().ScrollPosition(), 0);
    EXPECT_TRUE(article->JumpTo(QStringLiteral("eNd")));
    EXPECT_GT(article->View().ScrollPosition(), 0);
}

// ---- scrolling, selection, search ----------------------------------------------------------

TEST_F(ArticleTest, UpAndDownScrollByOneLine)
{
    TTomericArticle* article = MakeArticle(Caret());
    page.show();
    TurnEventLoop();
    TRichTextView& view = article->View();
    const int step = view.verticalScrollBar()->singleStep();
    ASSERT_GT(step, 1);
    PressKey(view, Qt::Key_Down);
    PressKey(view, Qt::Key_Down);
    EXPECT_EQ(view.ScrollPosition(), 2 * step);
    PressKey(view, Qt::Key_Up);
    EXPECT_EQ(view.ScrollPosition(), step);
}

TEST_F(ArticleTest, AHorizontalScrollBarShowsOnlyForTextWiderThanTheArticle)
{
    QTemporaryDir dir;
    auto write = [&](const QString& name, const QByteArray& text) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return dir.filePath(name);
    };
    QByteArray tall = "{\\rtf1 ";
    for (int i = 0; i < 40; ++i)
        tall += "A line of text that wraps in the article\\par ";
    const QString empty = write("empty.rtf", "{\\rtf1 }");
    const QString lines = write("tall.rtf", tall + "}");
    const QString wide = write("wide.rtf", "{\\rtf1 \\trowd\\cellx9000\\pard\\intbl wide\\cell\\row}");
    auto withBars = [](TObjectRecord& record) { record.As<TArticleProps>()->scrollBars = true; };
    TTomericArticle* a = MakeArticle(empty, withBars);
    TTomericArticle* b = MakeArticle(lines, withBars);
    TTomericArticle* c = MakeArticle(wide, withBars);
    b->move(10, 120);
    // As a page snapshot sees them, before the page was ever shown ...
    auto bars = [](TTomericArticle* article) {
        const TRichTextView& view = article->View();
        return std::pair(view.horizontalScrollBar()->isVisibleTo(&view),
                         view.verticalScrollBar()->isVisibleTo(&view));
    };
    auto check = [&](const char* when) {
        EXPECT_EQ(bars(a), std::pair(false, false)) << "an empty article, " << when;
        EXPECT_EQ(bars(b), std::pair(false, true)) << "wrapped lines fit across, " << when;
        EXPECT_EQ(bars(c), std::pair(true, false)) << "a table wider than the article, " << when;
    };
    QImage snapshot(page.size(), QImage::Format_RGB32);
    page.render(&snapshot);
    check("in a snapshot");
    // ... and once shown.
    page.show();
    TurnEventLoop();
    check("shown");
    EXPECT_EQ(b->View().LayoutWidth(),
              b->View().width() - b->View().verticalScrollBar()->width() - TRichTextView::kLeftInset);
}

TEST_F(ArticleTest, SelectedTextLeavesOutLinkCommands)
{
    TTomericArticle* article = MakeArticle(Caret(), [](TObjectRecord& r) { r.As<TArticleProps>()->allowCopy = true; });
    const QTextDocument& document = article->Document();
    EXPECT_EQ(article->FamilyInfo(QStringLiteral("SELECTEDTEXT")), QString());
    QTextCursor selection(const_cast<QTextDocument*>(&document));
    const int from = PositionOf(document, QStringLiteral("Go on"));
    const int to = PositionOf(document, QStringLiteral("To the end")) + 10;
    selection.setPosition(from);
    selection.setPosition(to, QTextCursor::KeepAnchor);
    article->View().ShowSelection(selection);
    EXPECT_EQ(article->SelectedText(), QStringLiteral("Go on and To the end"));
}

TEST_F(ArticleTest, WithAllowCopyTheMouseSelectsAndTheCopyKeyCopies)
{
    TTomericArticle* article = MakeArticle(Caret(), [](TObjectRecord& r) { r.As<TArticleProps>()->allowCopy = true; });
    QWidget& viewport = *article->View().viewport();
    const int from = PositionOf(article->Document(), QStringLiteral("Plain"));
    const QPoint inset(TRichTextView::kLeftInset, 0);
    const QPoint start = PointOfCharacter(article->Document(), from) + inset - QPoint(2, 0);
    const QPoint end = PointOfCharacter(article->Document(), from + 4) + inset + QPoint(2, 0);
    SendTextMouse(viewport, QEvent::MouseButtonPress, start);
    SendTextMouse(viewport, QEvent::MouseMove, end);
    SendTextMouse(viewport, QEvent::MouseButtonRelease, end);
    EXPECT_EQ(article->SelectedText(), QStringLiteral("Plain"));
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QCoreApplication::sendEvent(&article->View(), &copy);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Plain"));
}

TEST_F(ArticleTest, WithoutAllowCopyTheMouseSelectsNothing)
{
    TTomericArticle* article = MakeArticle(Caret());
    QWidget& viewport = *article->View().viewport();
    SendTextMouse(viewport, QEvent::MouseButtonPress, QPoint(5, 30));
    SendTextMouse(viewport, QEvent::MouseMove, QPoint(100, 40));
    SendTextMouse(viewport, QEvent::MouseButtonRelease, QPoint(100, 40));
    EXPECT_EQ(article->SelectedText(), QString());
}

TEST_F(ArticleTest, FindTextSearchesLinkCommandsOnlyWhenAsked)
{
    TTomericArticle* article = MakeArticle(Caret());
    EXPECT_FALSE(article->FindText(QStringLiteral("went"), 0, false));
    const auto inCommand = article->FindText(QStringLiteral("went"), 0, true);
    ASSERT_TRUE(inCommand);
    EXPECT_EQ(inCommand->selectedText(), QStringLiteral("Go on"));
    const auto shown = article->FindText(QStringLiteral("line 3"), 0, false);
    ASSERT_TRUE(shown);
    article->ShowFound(*shown);
    EXPECT_EQ(article->View().Selection().selectedText(), QStringLiteral("Line 3"));
}

TEST_F(ArticleTest, TheFindWindowSearchesWithWildcardsAndSeesLinkActions)
{
    TTomericArticle* article = MakeArticle(Caret());
    TFindSearchable& searchable = *article;
    const QString shown = article->Document().toPlainText();
    const auto match = searchable.FindText(QStringLiteral("LINE *3"), 0);
    ASSERT_TRUE(match);
    EXPECT_EQ(shown.mid(match->position, match->length), QStringLiteral("Line 3"));
    const auto next = searchable.FindText(QStringLiteral("line"), match->next);
    ASSERT_TRUE(next);
    EXPECT_EQ(shown.mid(next->position, next->length), QStringLiteral("Line"));
    EXPECT_GT(next->position, match->position);
    EXPECT_FALSE(searchable.FindText(QStringLiteral("*"), 0));
    EXPECT_FALSE(searchable.FindText(QStringLiteral("Went"), 0));

    searchable.ShowFindMatch(*match);
    EXPECT_EQ(article->View().Selection().selectedText(), QStringLiteral("Line 3"));
    EXPECT_EQ(searchable.LinkActions(),
              QStringList({QStringLiteral("SetVar \"[Went]\" \"Yes\""), QStringLiteral(":End")}));
}

// ---- variable fields --------------------------------------------------------------------

TEST_F(ArticleTest, FieldsShowVariablesAndFollowThem)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("score.txt"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("Score: ^B[Score]^b points\r\n");
    out.close();
    SetVariable(QStringLiteral("[Score]"), QStringLiteral("7"));
    TTomericArticle* article = MakeArticle(file);
    EXPECT_EQ(article->Document().toPlainText().trimmed(), QStringLiteral("Score: 7 points"));
    SetVariable(QStringLiteral("[Score]"), QStringLiteral("12"));
    EXPECT_EQ(article->Document().toPlainText().trimmed(), QStringLiteral("Score: 12 points"));
    EXPECT_TRUE(FormatAt(article->Document(), QStringLiteral("12")).font().bold());
}

// ---- painting ---------------------------------------------------------------------------

TEST_F(ArticleTest, LooksAsExpected)
{
    MakeArticle(Caret(), [](TObjectRecord& r) {
        r.height = 150;
        r.lineWidth = 1;
        r.fillColor = 0x00F0F0F0;
    });
    ExpectLooksLike(RenderWidget(page), QStringLiteral("texts_article.png"));
}

// ---- linked articles ----------------------------------------------------------------------

class LinkedArticleTest : public TextsFixture {
protected:
    TTomericLinkedArticle* MakeFrame(const QString& name, QRect where, const QString& file)
    {
        TObjectRecord record = Record(otLinkedArticle, name, where.x(), where.y(), where.width(), where.height());
        auto* props = record.As<TArticleProps>();
        props->fileName = file;
        props->fontName = QStringLiteral("Arial");
        props->fontSize = 10;
        props->textColor = 0;
        record.lineWidth = 0;
        return new TTomericLinkedArticle(&page, record, host);
    }
    void MakeChain()
    {
        const QString story = TextsData(QStringLiteral("story.txt"));
        first = MakeFrame(QStringLiteral("One"), QRect(5, 5, 150, 60), story);
        second = MakeFrame(QStringLiteral("Two"), QRect(165, 5, 150, 60), story);
        third = MakeFrame(QStringLiteral("Three"), QRect(5, 120, 310, 60), story);
        TTomericLinkedArticle::FormChains({&page});
    }
    QString Whole() const
    {
        QTextDocument whole;
        TTextLook look;
        QFile file(TextsData(QStringLiteral("story.txt")));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        LoadDocument(whole, file.readAll(), TTextFormat::CaretMarkup, look);
        return whole.toPlainText();
    }
    // The frames show consecutive parts of the text, each a whole number of lines.
    void ExpectConsecutive()
    {
        const QString whole = Whole();
        int next = 0;
        for (TTomericLinkedArticle* frame : {first, second, third}) {
            EXPECT_EQ(frame->FlowStart(), next) << frame->Name().toStdString();
            const QString shown = frame->Document().toPlainText();
            EXPECT_EQ(shown, whole.mid(frame->FlowStart(), frame->FlowLength()).left(shown.size()));
            next = frame->FlowStart() + frame->FlowLength();
        }
    }

    TTomericLinkedArticle* first = nullptr;
    TTomericLinkedArticle* second = nullptr;
    TTomericLinkedArticle* third = nullptr;
};

TEST_F(LinkedArticleTest, FramesWithTheSameFileFormOneChainInCreationOrder)
{
    MakeChain();
    TTomericLinkedArticle* alone = MakeFrame(QStringLiteral("Alone"), QRect(0, 200, 50, 30), QString());
    TTomericLinkedArticle::FormChains({&page});
    EXPECT_EQ(first->LinkPrev(), nullptr);
    EXPECT_EQ(first->LinkNext(), second);
    EXPECT_EQ(second->LinkNext(), third);
    EXPECT_EQ(third->LinkPrev(), second);
    EXPECT_EQ(third->Head(), first);
    EXPECT_EQ(alone->LinkPrev(), nullptr);
    EXPECT_EQ(alone->LinkNext(), nullptr);
}

TEST_F(LinkedArticleTest, AFrameWithoutAFileShowsItsOwnText)
{
    TObjectRecord record = Record(otLinkedArticle, QStringLiteral("Own"), 0, 0, 200, 60);
    record.As<TArticleProps>()->text = QStringLiteral("Its own words");
    auto* own = new TTomericLinkedArticle(&page, record, host);
    TTomericLinkedArticle::FormChains({&page});
    EXPECT_EQ(own->Document().toPlainText(), QStringLiteral("Its own words"));
    EXPECT_EQ(own->Head(), own);
}

TEST_F(LinkedArticleTest, FramesChainThemselvesWhenThePublicationIsLoaded)
{
    const QString story = TextsData(QStringLiteral("story.txt"));
    first = MakeFrame(QStringLiteral("One"), QRect(5, 5, 150, 60), story);
    second = MakeFrame(QStringLiteral("Two"), QRect(165, 5, 150, 60), story.toUpper());
    third = MakeFrame(QStringLiteral("Three"), QRect(5, 120, 310, 60), story);
    // The names differ only in case: one chain all the same.
    InitAll();
    EXPECT_EQ(second->Head(), first);
    EXPECT_EQ(third->LinkPrev(), second);
    ExpectConsecutive();
}

TEST_F(LinkedArticleTest, TheTextFlowsFromFrameToFrameByWhatFits)
{
    MakeChain();
    EXPECT_GT(first->FlowLength(), 0);
    EXPECT_GT(second->FlowLength(), 0);
    EXPECT_GT(third->FlowLength(), 0);
    EXPECT_TRUE(first->Document().toPlainText().startsWith(QStringLiteral("Chapter 1")));
    ExpectConsecutive();
    // Each frame's text fits its height.
    for (TTomericLinkedArticle* frame : {first, second, third})
        EXPECT_LE(frame->Document().size().height(), frame->height() + 0.5) << frame->Name().toStdString();
}

TEST_F(LinkedArticleTest, EachHandOverToTheNextFrameAdvancesTheLoadingProgress)
{
    MakeChain(); // three frames: the text moves on twice
    EXPECT_EQ(host.loadingSteps, 2);
    // The last frame has nobody to hand its overflow to.
    third->resize(third->width(), 20);
    host.loadingSteps = 0;
    third->Reflow();
    EXPECT_EQ(host.loadingSteps, 2);
}

TEST_F(LinkedArticleTest, ATableMovesOnWholeWhereverTheFrameEnds)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("table.rtf"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Before one\\par Before two\\par\n";
    for (int row = 1; row <= 3; ++row) {
        rtf += "\\trowd\\cellx1500\\cellx3000 ";
        for (int cell = 1; cell <= 2; ++cell)
            rtf += "\\intbl C" + QByteArray::number(row) + QByteArray::number(cell) + "\\cell ";
        rtf += "\\row\n";
    }
    rtf += "\\pard After one\\par After two}";
    out.write(rtf);
    out.close();

    // Wherever the first frame's bottom falls, no cell is lost or shown twice.
    for (int height = 8; height <= 120; height += 4) {
        SCOPED_TRACE(height);
        auto* head = MakeFrame(QStringLiteral("Head"), QRect(0, 0, 300, height), file);
        auto* tail = MakeFrame(QStringLiteral("Tail"), QRect(0, 200, 300, 400), file);
        TTomericLinkedArticle::FormChains({&page});
        const QString shown = head->Document().toPlainText() + QLatin1Char('\n') + tail->Document().toPlainText();
        for (const char* text : {"Before two", "C11", "C22", "C32", "After two"})
            EXPECT_EQ(shown.count(QLatin1String(text)), 1) << text << " in " << shown.toStdString();
        delete head;
        delete tail;
    }
}

TEST_F(LinkedArticleTest, ResizingAFrameMakesTheTextFlowAgain)
{
    MakeChain();
    page.show();
    TurnEventLoop();
    const int secondBefore = second->FlowStart();
    first->resize(150, 120);
    TurnEventLoop();
    EXPECT_GT(second->FlowStart(), secondBefore);
    ExpectConsecutive();
}

TEST_F(LinkedArticleTest, AFontChangeOnAnyFrameReflowsTheChain)
{
    MakeChain();
    const int secondBefore = second->FlowStart();
    TFontChange change;
    change.size = 16;
    third->SetObjectFont(change);
    TurnEventLoop();
    EXPECT_LT(second->FlowStart(), secondBefore);
    ExpectConsecutive();
}

TEST_F(LinkedArticleTest, AFrameLeavingTheChainKeepsTheOthersLinked)
{
    MakeChain();
    delete second;
    EXPECT_EQ(first->LinkNext(), third);
    EXPECT_EQ(third->LinkPrev(), first);
    delete first;
    EXPECT_EQ(third->Head(), third);
    third->Reflow();
    EXPECT_EQ(third->FlowStart(), 0);
    EXPECT_TRUE(third->Document().toPlainText().startsWith(QStringLiteral("Chapter 1")));
}

TEST_F(LinkedArticleTest, LooksAsExpected)
{
    MakeChain();
    ExpectLooksLike(RenderWidget(page), QStringLiteral("texts_linked.png"));
}

} // namespace
} // namespace tomeric::testing
