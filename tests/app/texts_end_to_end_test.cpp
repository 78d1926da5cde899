// Texts and articles in the running player: a text shows a variable set at
// start-up, a link in an article runs its script, the article commands
// answer, and a chain of linked frames reflows when one frame is resized.

#include "player_test_support.h"

namespace tomeric::testing {
namespace {

const char* const kTextsTour =
    "wait 300\n"
    "screenshot before.png\n"
    "click GoLink\n"
    "wait 100\n"
    "run GetObjectInfo \"Story\", \"FileName\", \"[StoryFile]\"\n"
    "run GetObjectInfo \"Greeting\", \"Caption\", \"[GreetingCaption]\"\n"
    "run SetVar \"[Name]\", \"Bob\"\n"
    "run SizeObject \"L1\", \"150\", \"20\"\n"
    "wait 300\n"
    "screenshot after.png\n"
    "vars vars.txt\n"
    "quit\n";

// Dark pixels (text) inside a rectangle.
int DarkPixels(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
    return count;
}

bool SameArea(const QImage& a, const QImage& b, const QRect& area)
{
    return a.copy(area) == b.copy(area);
}

TEST(TextsEndToEnd, TextsFollowVariablesLinksRunAndLinkedFramesReflow)
{
    PlayerSession session(QStringLiteral("texts_live"));
    const TPlayerRun run = session.Drive(QString::fromUtf8(kTextsTour));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    auto vars = session.Variables(QStringLiteral("vars.txt"));

    // The link of the small article ran its script and named its text.
    EXPECT_EQ(vars[QStringLiteral("WENT")], QStringLiteral("Yes"));
    EXPECT_EQ(vars[QStringLiteral("HYPERLINKCLICKEDTEXT")], QStringLiteral("Go"));
    EXPECT_EQ(vars[QStringLiteral("STORYFILE")], QStringLiteral("article.txt"));
    EXPECT_EQ(vars[QStringLiteral("GREETINGCAPTION")], QStringLiteral("Hello [Name]"));

    const QImage before = session.Picture(QStringLiteral("before.png"));
    const QImage after = session.Picture(QStringLiteral("after.png"));
    ASSERT_FALSE(before.isNull());
    ASSERT_FALSE(after.isNull());
    // "Hello Ann" then "Hello Bob": the greeting shows the variable and follows it.
    const QRect greeting(10, 5, 200, 24);
    EXPECT_GT(DarkPixels(before, greeting), 50);
    EXPECT_FALSE(SameArea(before, after, greeting));
    // The article shows its caret-markup text.
    EXPECT_GT(DarkPixels(before, QRect(11, 31, 198, 88)), 100);
    // The first frame shrank: the second frame now continues from earlier.
    EXPECT_FALSE(SameArea(before, after, QRect(165, 125, 150, 50)));
    EXPECT_GT(DarkPixels(after, QRect(165, 125, 150, 50)), 50);
}

} // namespace
} // namespace tomeric::testing
