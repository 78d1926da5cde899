// Slide shows: start with their page list, delay and loop, the timer's
// slides, pause and resume, stop with or without the subroutine, and the
// errors of missing pages and subroutines.

#include "page_navigation_fixture.h"

namespace tomeric::testing {
namespace {

const QString kDoneSubroutine = QStringLiteral(":Done\r\nSystemSound \"done\"\r\nReturn");

class SlideShowTest : public PageListTest {
protected:
    void SetUp() override
    {
        PageListTest::SetUp();
        LoadPages({{"P1", "SystemSound \"enter 1\""}, {"P2", "SystemSound \"enter 2\""},
                   {"P3", "SystemSound \"enter 3\""}, {"P4", "SystemSound \"enter 4\""}});
        SetSubroutines(kDoneSubroutine);
        StartQuietly();
    }

    TSlideShow::State State() { return list.SlideShow().CurrentState(); }
};

TEST_F(SlideShowTest, ShowsEachPageThenCallsItsSubroutine)
{
    Run(QStringLiteral("StartSlideShow \"P1|P2|P3\" \"500\" \"\" \"Done\""));
    EXPECT_EQ(list.PageIndex(), 1); // already shown: not entered again
    EXPECT_EQ(State(), TSlideShow::State::Running);
    EXPECT_EQ(timer_->interval, 500);
    ASSERT_TRUE(timer_->Fire());
    EXPECT_EQ(list.PageIndex(), 2);
    ASSERT_TRUE(timer_->Fire());
    EXPECT_EQ(list.PageIndex(), 3);
    ASSERT_TRUE(timer_->Fire());
    EXPECT_EQ(list.PageIndex(), 3);
    EXPECT_EQ(State(), TSlideShow::State::Stopped);
    EXPECT_FALSE(timer_->active);
    EXPECT_EQ(ScriptLog(), (Log{"enter 2", "enter 3", "done"}));
}

TEST_F(SlideShowTest, LoopStartsAgainFromTheFirstEntry)
{
    Run(QStringLiteral("StartSlideShow \"all\" \"\" \"LOOP\" \"Done\""));
    EXPECT_EQ(list.SlideShow().Entries(), (QStringList{"P1", "P2", "P3", "P4"}));
    EXPECT_EQ(timer_->interval, TSlideShow::kDefaultDelayMs);
    std::vector<int> pages;
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(timer_->Fire());
        pages.push_back(list.PageIndex());
    }
    EXPECT_EQ(pages, (std::vector<int>{2, 3, 4, 1, 2, 3}));
    EXPECT_EQ(State(), TSlideShow::State::Running);
}

TEST_F(SlideShowTest, LoopMustBeTheWholeWord)
{
    Run(QStringLiteral("StartSlideShow \"P2|P3\" \"100\" \"Loops\" \"\""));
    EXPECT_FALSE(list.SlideShow().Loops());
    ASSERT_TRUE(timer_->Fire());
    ASSERT_TRUE(timer_->Fire());
    EXPECT_EQ(State(), TSlideShow::State::Stopped);
}

TEST_F(SlideShowTest, PauseStopsTheTimerAndResumeShowsTheNextSlideAtOnce)
{
    Run(QStringLiteral("StartSlideShow \"P1|P2|P3|P4\" \"300\" \"\" \"Done\""));
    Run(QStringLiteral("PauseSlideShow"));
    EXPECT_EQ(State(), TSlideShow::State::Paused);
    EXPECT_FALSE(timer_->active);
    Run(QStringLiteral("PauseSlideShow"));
    EXPECT_EQ(State(), TSlideShow::State::Running);
    EXPECT_EQ(list.PageIndex(), 2);
    EXPECT_TRUE(timer_->active);
    ASSERT_TRUE(timer_->Fire());
    EXPECT_EQ(list.PageIndex(), 3);
}

TEST_F(SlideShowTest, StopWhilePausedCallsNoSubroutine)
{
    Run(QStringLiteral("StartSlideShow \"P1|P2\" \"300\" \"\" \"Done\"\r\nPauseSlideShow\r\nStopSlideShow"));
    EXPECT_EQ(State(), TSlideShow::State::Stopped);
    EXPECT_TRUE(ScriptLog().empty());
}

TEST_F(SlideShowTest, StopWhileRunningCallsTheSubroutine)
{
    Run(QStringLiteral("StartSlideShow \"P2|P3\" \"300\" \"\" \"Done\""));
    Run(QStringLiteral("StopSlideShow"));
    EXPECT_EQ(State(), TSlideShow::State::Stopped);
    EXPECT_FALSE(timer_->active);
    EXPECT_EQ(ScriptLog(), (Log{"enter 2", "done"}));
    EXPECT_EQ(Only({QStringLiteral("RUN SUBROUTINE")}), Log{QStringLiteral("RUN SUBROUTINE \"Done\"")});
}

TEST_F(SlideShowTest, StartingAnotherShowEndsTheRunningOne)
{
    Run(QStringLiteral("StartSlideShow \"P2|P3\" \"300\" \"\" \"Done\""));
    Run(QStringLiteral("StartSlideShow \"P4\" \"200\" \"\" \"\""));
    EXPECT_EQ(ScriptLog(), (Log{"enter 2", "done", "enter 4"}));
    EXPECT_EQ(list.SlideShow().Entries(), QStringList{"P4"});
    EXPECT_EQ(timer_->interval, 200);
}

TEST_F(SlideShowTest, MissingFirstPageStopsTheShowAtOnce)
{
    Run(QStringLiteral("StartSlideShow \"Nowhere|P2\" \"300\" \"\" \"Done\"\r\nSetVar \"[after]\" \"ran\""));
    EXPECT_EQ(State(), TSlideShow::State::Stopped);
    EXPECT_FALSE(timer_->active);
    EXPECT_EQ(list.PageIndex(), 1);
    EXPECT_TRUE(ScriptLog().empty()); // no subroutine
    EXPECT_EQ(Only({QStringLiteral("ERROR")}),
              Log{ErrorLine(QStringLiteral("StartSlideShow"), QStringLiteral("\"Nowhere\"\rCette page n'existe pas."))});
    EXPECT_EQ(GetVariable(QStringLiteral("[after]")), QString());
}

TEST_F(SlideShowTest, MissingLaterPageHaltsTheShowUntilItIsStopped)
{
    Run(QStringLiteral("StartSlideShow \"P2|Gone|P3\" \"300\" \"\" \"Done\""));
    ASSERT_TRUE(timer_->Fire());
    // A tick is no script: the error is only the message, in the error box.
    EXPECT_EQ(Only({QStringLiteral("ERROR")}),
              Log{QStringLiteral("ERROR ") + QuoteForLine(QStringLiteral("\"Gone\"\rCette page n'existe pas."))});
    EXPECT_EQ(State(), TSlideShow::State::Running);
    EXPECT_FALSE(timer_->active);
    EXPECT_EQ(list.PageIndex(), 2);
    Run(QStringLiteral("StopSlideShow"));
    EXPECT_EQ(ScriptLog(), (Log{"enter 2", "done"}));
}

TEST_F(SlideShowTest, MissingSubroutineIsReported)
{
    Run(QStringLiteral("StartSlideShow \"P2\" \"300\" \"\" \"Elsewhere\""));
    ASSERT_TRUE(timer_->Fire());
    EXPECT_EQ(Only({QStringLiteral("ERROR")}),
              Log{QStringLiteral("ERROR ") +
                  QuoteForLine(QStringLiteral("La commande fait référence à un sous-programme qui n'existe pas."))});
    log.clear();
    Run(QStringLiteral("StartSlideShow \"P3\" \"300\" \"\" \"Elsewhere\"\r\nStopSlideShow"));
    EXPECT_EQ(Only({QStringLiteral("ERROR")}),
              Log{ErrorLine(QStringLiteral("StopSlideShow"),
                            QStringLiteral("La commande fait référence à un sous-programme qui n'existe pas."))});
}

TEST_F(SlideShowTest, SlidesPassThroughThePageChangeAction)
{
    LoadPages({{"P1"}, {"P2"}, {"P3"}}, QStringLiteral("SystemSound \"asked [PageChangeName]\""));
    StartQuietly();
    Run(QStringLiteral("StartSlideShow \"P2|P3\" \"300\" \"\" \"\""));
    ASSERT_TRUE(timer_->Fire());
    EXPECT_EQ(ScriptLog(), (Log{"asked P2", "asked P3"}));
}

TEST_F(SlideShowTest, AnEnterActionThatStopsTheShowIsNotOverruled)
{
    LoadPages({{"P1"}, {"P2"}, {"P3", "StopSlideShow"}});
    StartQuietly();
    Run(QStringLiteral("StartSlideShow \"P2|P3|P1\" \"300\" \"\" \"Done\""));
    ASSERT_TRUE(timer_->Fire());
    EXPECT_EQ(State(), TSlideShow::State::Stopped);
    EXPECT_FALSE(timer_->active);
    EXPECT_EQ(ScriptLog(), Log{"done"});
}

TEST_F(SlideShowTest, AnotherPublicationDropsTheShowWithoutItsSubroutine)
{
    Run(QStringLiteral("StartSlideShow \"P2|P3\" \"300\" \"\" \"Done\""));
    LoadPages({{"Other"}});
    EXPECT_EQ(State(), TSlideShow::State::Stopped);
    EXPECT_FALSE(timer_->active);
    EXPECT_EQ(ScriptLog(), Log{"enter 2"});
}

TEST_F(SlideShowTest, PauseAndStopWithoutAShowDoNothing)
{
    Run(QStringLiteral("PauseSlideShow\r\nStopSlideShow"));
    EXPECT_EQ(State(), TSlideShow::State::Stopped);
    EXPECT_EQ(timer_->starts, 0);
    EXPECT_TRUE(Only({QStringLiteral("ERROR"), QStringLiteral("PAGE")}).empty());
}

struct DelayCase {
    const char* text;
    int expected;
};

class SlideShowDelayTest : public ::testing::TestWithParam<DelayCase> {};

TEST_P(SlideShowDelayTest, DelayIsAWholeNumberOfAtLeast100Ms)
{
    EXPECT_EQ(TSlideShow::ParseDelay(QString::fromUtf8(GetParam().text)), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, SlideShowDelayTest,
                         ::testing::Values(DelayCase{"500", 500}, DelayCase{" 750 ", 750}, DelayCase{"100", 100},
                                           DelayCase{"99", 100}, DelayCase{"0", 100}, DelayCase{"-5", 100},
                                           DelayCase{"", 2000}, DelayCase{"fast", 2000},
                                           DelayCase{"1.5", 2000}));

} // namespace
} // namespace tomeric::testing
