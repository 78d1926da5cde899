// The Find window's search: the scope, the four phases of each page, the
// TextWindow files, and Find Next continuing after the last match.

#include "windows_test_support.h"

#include "windows/find_commands.h"
#include "windows/find_search.h"
#include "windows/simple_dialogs.h"

#include <gtest/gtest.h>

#include <QPushButton>

#include <map>

namespace tomeric {
namespace {

struct FakePage {
    QString name;
    bool showMaster = false;
    std::vector<TFindObject> objects;
    QString enter = {}, exit = {};
};

class FakePages final : public TFindPages {
public:
    FakePages() { pages.push_back({}); } // the master page
    int CurrentPage() const override { return current; }
    int LastPage() const override { return int(pages.size()) - 1; }
    int FindPage(const QString& name) const override
    {
        for (int i = 1; i < int(pages.size()); ++i)
            if (pages[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
    bool ShowsMasterPage(int page) const override { return pages[size_t(page)].showMaster; }
    std::vector<TFindObject> Objects(int page) override { return pages[size_t(page)].objects; }
    QString EnterAction(int page) const override { return pages[size_t(page)].enter; }
    QString ExitAction(int page) const override { return pages[size_t(page)].exit; }
    QString Substitute(const QString& text) const override
    {
        QString out = text;
        return out.replace(QStringLiteral("[Dir]"), QStringLiteral("docs/"));
    }
    TFindSearchable* OpenTextWindow(const QString& file) override
    {
        const auto it = windows.find(file.toLower());
        return it == windows.end() ? nullptr : it->second;
    }
    std::unique_ptr<TFindSearchable> LoadTextFile(const QString& file) override;
    void GotoPage(int page) override
    {
        visited.push_back(page);
        current = page;
    }
    void RunLine(const QString& line) override { linesRun << line; }

    std::vector<FakePage> pages;
    int current = 1;
    std::map<QString, QString> files;             // lower-case name -> text
    std::map<QString, TFindSearchable*> windows;  // open text windows
    QStringList loaded, linesRun;
    std::vector<int> visited;
};

class TextSearchable final : public TFindSearchable {
public:
    explicit TextSearchable(QString text, QStringList links = {}) : text_(std::move(text)), links_(std::move(links)) {}
    std::optional<TFindMatch> FindText(const QString& text, int from) const override
    {
        return FindInPlainText(text_, text, from);
    }
    void ShowFindMatch(const TFindMatch& match) override { shown.push_back(match.position); }
    QStringList LinkActions() const override { return links_; }
    std::vector<int> shown;

private:
    QString text_;
    QStringList links_;
};

std::unique_ptr<TFindSearchable> FakePages::LoadTextFile(const QString& file)
{
    loaded << file;
    const auto it = files.find(file.toLower());
    if (it == files.end())
        return nullptr;
    return std::make_unique<TextSearchable>(it->second);
}

TFindObject Caption(const QString& name, const QString& caption, QStringList scripts = {})
{
    TFindObject object;
    object.name = name;
    object.caption = caption;
    object.scripts = std::move(scripts);
    return object;
}

const QString kTextWindowNotes =
    QStringLiteral("TextWindow \"Notes\" \"10\" \"10\" \"200\" \"100\" \"notes.txt\" \"WORDWRAP\"");

class FindSearch : public ::testing::Test {
protected:
    FindSearch()
    {
        pages.pages.push_back({QStringLiteral("Intro"), false, {Caption("A", "Welcome here"), Caption("B", "Start")}});
        pages.pages.push_back({QStringLiteral("Middle"), false, {Caption("C", "here and here")}});
        pages.pages.push_back({QStringLiteral("End"), false, {Caption("D", "Goodbye")}});
    }
    FakePages pages;
    TFindSearch search{pages};
};

TEST_F(FindSearch, TheCurrentPageIsTheDefaultScope)
{
    pages.current = 3;
    EXPECT_EQ(search.FindFirst(QStringLiteral("welcome"), QString()).kind, TFindResult::fkNone);
    EXPECT_EQ(search.FindFirst(QStringLiteral("GOODBYE"), QStringLiteral("current")).kind, TFindResult::fkObject);
}

TEST_F(FindSearch, AllWalksThePagesInOrderAndFindNextGoesOnAfterEachMatch)
{
    TFindResult r = search.FindFirst(QStringLiteral("here"), QStringLiteral("ALL"));
    ASSERT_EQ(r.kind, TFindResult::fkObject);
    EXPECT_EQ(r.page, 1);
    EXPECT_EQ(r.object.name, QStringLiteral("A"));
    EXPECT_EQ(r.match.position, 8);

    // Twice inside the same object on page 2, then the end of the scope.
    r = search.FindNext();
    EXPECT_EQ(r.page, 2);
    EXPECT_EQ(r.match.position, 0);
    r = search.FindNext();
    EXPECT_EQ(r.page, 2);
    EXPECT_EQ(r.match.position, 9);
    EXPECT_TRUE(search.Searching());
    EXPECT_EQ(search.FindNext().kind, TFindResult::fkNone);
    EXPECT_FALSE(search.Searching());
}

TEST_F(FindSearch, AListScopeIsVisitedInListOrder)
{
    const TFindResult r = search.FindFirst(QStringLiteral("here"), QStringLiteral("Middle|Intro"));
    EXPECT_EQ(r.page, 2);
    EXPECT_EQ(search.FindNext().page, 2);
    EXPECT_EQ(search.FindNext().page, 1);
}

TEST_F(FindSearch, ANameThatIsNoPageEndsTheSearchWithItsName)
{
    const TFindResult r = search.FindFirst(QStringLiteral("zzz"), QStringLiteral("Intro|Nowhere|End"));
    EXPECT_EQ(r.kind, TFindResult::fkError);
    EXPECT_EQ(r.errorName, QStringLiteral("Nowhere"));
    EXPECT_FALSE(search.Searching());
}

TEST_F(FindSearch, FindNextBeforeAnySearchFindsNothing)
{
    EXPECT_EQ(search.FindNext().kind, TFindResult::fkNone);
}

TEST_F(FindSearch, TheMasterPagesObjectsComeFirstOnPagesThatShowIt)
{
    pages.pages[0].objects = {Caption("Logo", "Start here")};
    pages.pages[1].showMaster = true;
    const TFindResult r = search.FindFirst(QStringLiteral("start"), QString());
    EXPECT_EQ(r.object.name, QStringLiteral("Logo"));
    EXPECT_EQ(search.FindNext().object.name, QStringLiteral("B"));
}

struct WildcardCase {
    const char* haystack;
    const char* text;
    int position, length; // -1: no match
};

class Wildcards : public ::testing::TestWithParam<WildcardCase> {};

TEST_P(Wildcards, StarStandsForAnyRunAndCaseIsIgnored)
{
    const WildcardCase c = GetParam();
    const auto match = FindInPlainText(QString::fromUtf8(c.haystack), QString::fromUtf8(c.text), 0);
    if (c.position < 0) {
        EXPECT_FALSE(match.has_value());
        return;
    }
    ASSERT_TRUE(match.has_value());
    EXPECT_EQ(match->position, c.position);
    EXPECT_EQ(match->length, c.length);
}

INSTANTIATE_TEST_SUITE_P(Cases, Wildcards,
                         ::testing::Values(WildcardCase{"fresh bread", "B*D", 6, 5},
                                           WildcardCase{"Hello World", "o w", 4, 3},
                                           WildcardCase{"Hello", "hellos", -1, 0},
                                           WildcardCase{"a.b", ".", 1, 1},
                                           WildcardCase{"élan", "ÉLAN", 0, 4},
                                           WildcardCase{"abc", "*", -1, 0}));

TEST(FindItems, ListsContinueFromTheItemAfterTheLastMatch)
{
    const QStringList items{QStringLiteral("apple"), QStringLiteral("pear"), QStringLiteral("pineapple")};
    auto match = FindInItems(items, QStringLiteral("APPLE"), 0);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->item, 0);
    match = FindInItems(items, QStringLiteral("apple"), match->next);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->item, 2);
    EXPECT_FALSE(FindInItems(items, QStringLiteral("apple"), match->next));
}

// ---- TextWindow files --------------------------------------------------------------

TEST_F(FindSearch, TextWindowFilesOfObjectScriptsAreSearchedAfterThePage)
{
    pages.pages[1].objects[1].scripts = {QStringLiteral("SetVar \"[x]\" \"1\"\r\n") + kTextWindowNotes};
    pages.files[QStringLiteral("notes.txt")] = QStringLiteral("the hidden treasure");
    const TFindResult r = search.FindFirst(QStringLiteral("treasure"), QString());
    ASSERT_EQ(r.kind, TFindResult::fkTextFile);
    EXPECT_EQ(r.file, QStringLiteral("notes.txt"));
    EXPECT_EQ(r.commandLine, kTextWindowNotes);
    EXPECT_EQ(r.match.position, 11);
}

TEST_F(FindSearch, EnterAndExitActionsNameFilesTooEachFileOnce)
{
    pages.pages[1].enter = kTextWindowNotes;
    QString shouting = kTextWindowNotes;
    shouting.replace(QStringLiteral("notes.txt"), QStringLiteral("NOTES.TXT"));
    pages.pages[1].exit = shouting;
    pages.files[QStringLiteral("notes.txt")] = QStringLiteral("x");
    EXPECT_EQ(search.FindFirst(QStringLiteral("nothing"), QString()).kind, TFindResult::fkNone);
    EXPECT_EQ(pages.loaded, QStringList{QStringLiteral("notes.txt")});
}

TEST_F(FindSearch, VariablesInTheFileNameAreReplaced)
{
    pages.pages[1].enter =
        QStringLiteral("TextWindow \"T\" \"0\" \"0\" \"10\" \"10\" \"[Dir]a.txt\" \"\"");
    pages.files[QStringLiteral("docs/a.txt")] = QStringLiteral("found it");
    const TFindResult r = search.FindFirst(QStringLiteral("found"), QString());
    EXPECT_EQ(r.kind, TFindResult::fkTextFile);
    EXPECT_EQ(r.file, QStringLiteral("docs/a.txt"));
}

TEST_F(FindSearch, AnOpenTextWindowIsSearchedInsteadOfTheFile)
{
    pages.pages[1].enter = kTextWindowNotes;
    TextSearchable window(QStringLiteral("shown text"));
    pages.windows[QStringLiteral("notes.txt")] = &window;
    EXPECT_EQ(search.FindFirst(QStringLiteral("shown"), QString()).kind, TFindResult::fkTextFile);
    EXPECT_TRUE(pages.loaded.isEmpty());
}

TEST_F(FindSearch, ActionScriptsAreNotMatchedAsText)
{
    pages.pages[1].objects[0].scripts = {QStringLiteral("AlertBox \"secret\" \"word\"")};
    EXPECT_EQ(search.FindFirst(QStringLiteral("secret"), QString()).kind, TFindResult::fkNone);
}

TEST_F(FindSearch, SearchableObjectsAreAskedAndTheirLinksScanned)
{
    testing::DialogApplication(); // the owner below is a widget
    TextSearchable article(QStringLiteral("rich words"), {kTextWindowNotes});
    QWidget owner;
    TFindObject object;
    object.name = QStringLiteral("Article");
    object.widget = &owner;
    object.searchable = &article;
    pages.pages[1].objects = {object};
    pages.files[QStringLiteral("notes.txt")] = QStringLiteral("words in a file");
    TFindResult r = search.FindFirst(QStringLiteral("words"), QString());
    EXPECT_EQ(r.kind, TFindResult::fkObject);
    EXPECT_EQ(r.match.position, 5);
    r = search.FindNext();
    EXPECT_EQ(r.kind, TFindResult::fkTextFile);
}

TEST(TextWindowLines, OnlyTextWindowLinesNameAFile)
{
    FakePages pages;
    EXPECT_EQ(TextWindowFile(QStringLiteral("  ") + kTextWindowNotes, pages), QStringLiteral("notes.txt"));
    EXPECT_TRUE(TextWindowFile(QStringLiteral("ImageWindow \"a\" \"b\" \"c\" \"d\""), pages).isEmpty());
    EXPECT_TRUE(TextWindowFile(QStringLiteral("TextWindow \"short\""), pages).isEmpty());
}

// ---- the commands with the window ---------------------------------------------------

class FindCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::DialogApplication();
        dialogs.DriveWith([this](const QString& line) { lines << line; });
        auto fake = std::make_unique<FakePages>();
        fake->pages.push_back({QStringLiteral("One"), false, {Caption("A", "alpha")}});
        fake->pages.push_back({QStringLiteral("Two"), false, {Caption("B", "beta")}});
        pages = fake.get();
        commands = std::make_unique<TFindCommands>(dialogs, nullptr);
        commands->SetPages(std::move(fake));
    }
    TSimpleDialogs dialogs;
    QStringList lines;
    FakePages* pages = nullptr;
    std::unique_ptr<TFindCommands> commands;
};

TEST_F(FindCommands, AMatchOnAnotherPageGoesThere)
{
    commands->FindFirst(QStringLiteral("beta"), QStringLiteral("ALL"));
    EXPECT_EQ(pages->visited, std::vector<int>{2});
    ASSERT_NE(commands->Form(), nullptr);
    EXPECT_EQ(commands->Form()->SearchText(), QStringLiteral("beta"));
    EXPECT_TRUE(commands->Form()->NextButton()->isEnabled());
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(FindCommands, NoMatchShowsTheNotFoundAlertAndResets)
{
    commands->FindFirst(QStringLiteral("gamma"), QStringLiteral("ALL"));
    EXPECT_EQ(lines, QStringList{QStringLiteral("DIALOG AlertBox \"Rechercher\" \"Texte introuvable.\"")});
    EXPECT_FALSE(commands->Search().Searching());
    EXPECT_FALSE(commands->Form()->NextButton()->isEnabled());
}

TEST_F(FindCommands, AnUnknownPageIsRaisedAsTheCommandsErrorWithoutTheAlert)
{
    const ServiceReply reply = commands->FindFirst(QStringLiteral("x"), QStringLiteral("Nowhere"));
    EXPECT_NE(reply.ActionError, 0);
    EXPECT_EQ(reply.ErrorText, QStringLiteral("Nowhere"));
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(FindCommands, OpeningAgainRefillsTheLastSearchTextAndCloseFreesTheWindow)
{
    commands->FindFirst(QStringLiteral("alpha"), QString());
    commands->Form()->SetSearchText(QStringLiteral("typed meanwhile"));
    commands->Find(QStringLiteral("ALL"));
    EXPECT_EQ(commands->Form()->SearchText(), QStringLiteral("alpha"));
    commands->Close();
    EXPECT_EQ(commands->Form(), nullptr);
}

TEST_F(FindCommands, FindFirstIsEnabledOnlyWithText)
{
    commands->Find(QString());
    EXPECT_FALSE(commands->Form()->FindButton()->isEnabled());
    commands->Form()->SetSearchText(QStringLiteral("a"));
    EXPECT_TRUE(commands->Form()->FindButton()->isEnabled());
    EXPECT_FALSE(commands->Form()->NextButton()->isEnabled());
}

TEST(FindLayout, ButtonsShareTheWidestCaptionAndTheRowIsCentred)
{
    TFindMeasures m;
    m.prompt = QSize(60, 13);
    m.editWidth = 200;
    m.editHeight = 21;
    m.findTextWidth = 50;
    m.nextTextWidth = 30;
    m.closeTextWidth = 40;
    const TFindLayout layout = LayoutFind(m);
    const int h = 66;
    EXPECT_EQ(layout.client.width(), std::max(3 * h + 32, 60 + 200 + 4 + 16));
    EXPECT_EQ(layout.find.width(), h);
    EXPECT_EQ(layout.next.x(), layout.find.x() + h + 8);
    EXPECT_EQ(layout.close.x(), layout.next.x() + h + 8);
    EXPECT_EQ(layout.find.y(), layout.edit.y() + layout.edit.height() + 21);
    EXPECT_EQ(layout.client.height(), layout.edit.y() + layout.edit.height() + 25 + 33);
    EXPECT_EQ(layout.edit.x(), layout.prompt.x() + 64);
}

} // namespace
} // namespace tomeric
