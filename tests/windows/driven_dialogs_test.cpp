// Dialogs while the player is driven: one line each, answers from the
// queue, cancelled when none is left; and the page timers paused while a
// dialog is up.

#include "windows_test_support.h"

#include "windows/find_commands.h"
#include "windows/simple_dialogs.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>

namespace tomeric {
namespace {

class DrivenDialogs : public ::testing::Test {
protected:
    DrivenDialogs()
    {
        dialogs.DriveWith([this](const QString& line) { lines << line; });
    }
    TSimpleDialogs dialogs;
    QStringList lines;
};

TEST_F(DrivenDialogs, MessageBoxPrintsItsLineAndTakesTheButtonNumber)
{
    dialogs.QueueAnswer(QStringLiteral("2"));
    EXPECT_EQ(dialogs.MessageBox(QStringLiteral("T"), QStringLiteral("a|b"), QStringLiteral("X|Y|Z")), 2);
    EXPECT_EQ(lines, QStringList{QStringLiteral("DIALOG MessageBox \"T\" \"a|b\" \"X|Y|Z\"")});
    EXPECT_EQ(dialogs.MessageBox(QStringLiteral("T"), QStringLiteral("m"), QStringLiteral("X|Y|Z")), 0);
}

TEST_F(DrivenDialogs, AButtonNumberOutsideTheRowAnswersNone)
{
    dialogs.QueueAnswer(QStringLiteral("4"));
    EXPECT_EQ(dialogs.MessageBox(QStringLiteral("T"), QStringLiteral("m"), QStringLiteral("X|Y|Z")), 0);
}

TEST_F(DrivenDialogs, InputBoxShowsTheCurrentValueAndCancelsWithoutAnswer)
{
    dialogs.QueueAnswer(QStringLiteral("typed"));
    EXPECT_EQ(dialogs.InputBox(QStringLiteral("T"), QStringLiteral("P"), QStringLiteral("old")), QStringLiteral("typed"));
    EXPECT_EQ(dialogs.InputBox(QStringLiteral("T"), QStringLiteral("P"), QStringLiteral("old")), std::nullopt);
    EXPECT_EQ(lines.first(), QStringLiteral("DIALOG InputBox \"T\" \"P\" \"old\""));
}

TEST_F(DrivenDialogs, TheErrorReportIsAnErrorLine)
{
    dialogs.ShowError(QStringLiteral("Bad\rthing"));
    EXPECT_EQ(lines, QStringList{QStringLiteral("ERROR \"Bad[#13]thing\"")});
}

struct PasswordAnswer {
    const char* answer; // null: none queued
    int result;
    bool alert;
};

class DrivenPasswords : public DrivenDialogs, public ::testing::WithParamInterface<PasswordAnswer> {};

TEST_P(DrivenPasswords, OneAttemptWithTheWrongOneTold)
{
    const PasswordAnswer c = GetParam();
    if (c.answer)
        dialogs.QueueAnswer(QString::fromUtf8(c.answer));
    EXPECT_EQ(dialogs.AskPassword(QStringLiteral("Secret")), c.result);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("DIALOG Password \"Mot de passe\"")));
    EXPECT_EQ(lines.size(), c.alert ? 2 : 1);
    if (c.alert)
        EXPECT_EQ(lines.last(), QStringLiteral("DIALOG AlertBox \"Mot de passe\" \"Mot de passe incorrect !\""));
}

INSTANTIATE_TEST_SUITE_P(Cases, DrivenPasswords,
                         ::testing::Values(PasswordAnswer{"SECRET", kPasswordMatched, false},
                                           PasswordAnswer{"wrong", kPasswordWrong, true},
                                           PasswordAnswer{"", kPasswordCancelled, false},
                                           PasswordAnswer{nullptr, kPasswordCancelled, false}));

TEST_F(DrivenDialogs, ThePublicationsWordsAreUsed)
{
    TPublicationSettings settings;
    settings.languageTexts[ltPwordTitle] = QStringLiteral("Kennwort");
    settings.languageTexts[ltPwordError] = QStringLiteral("Falsch");
    dialogs.SetLanguageTexts(&settings);
    dialogs.QueueAnswer(QStringLiteral("no"));
    dialogs.AskPassword(QStringLiteral("yes"));
    EXPECT_EQ(lines.last(), QStringLiteral("DIALOG AlertBox \"Kennwort\" \"Falsch\""));
}

TEST_F(DrivenDialogs, FindNextBeforeAnyFindDoesNothing)
{
    ServiceCall call;
    call.Command = QStringLiteral("FindNext");
    const ServiceReply reply = dialogs.PerformCommand(call, {});
    EXPECT_EQ(reply.ActionError, 0);
    EXPECT_EQ(dialogs.Find(), nullptr);
    EXPECT_TRUE(lines.isEmpty());
}

TEST(DialogCommands, TheAreaCarriesOutFindAndHelpTopic)
{
    for (const char* name : {"Find", "findfirst", "FINDNEXT", "HelpTopic"})
        EXPECT_TRUE(TSimpleDialogs::HandlesCommand(QString::fromLatin1(name))) << name;
    EXPECT_FALSE(TSimpleDialogs::HandlesCommand(QStringLiteral("TextWindow")));
}

// ---- timers paused while a dialog is up ------------------------------------------------

TEST(DialogTimers, PageTimersPauseWhileADialogIsUpAndResumeAfter)
{
    testing::DialogApplication();
    TSimpleDialogs dialogs;
    QStringList calls;
    dialogs.SetTimerPause([&calls](bool pause) { calls << (pause ? QStringLiteral("0") : QStringLiteral("1")); });
    testing::WhenModal([&calls](QWidget& dialog) {
        calls << QStringLiteral("shown");
        dialog.close();
    });
    EXPECT_EQ(dialogs.MessageBox(QStringLiteral("T"), QStringLiteral("m"), QStringLiteral("A|B")), 0);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("0"), QStringLiteral("shown"), QStringLiteral("1")}));
}

TEST(DialogTimers, AnAlertOverThePasswordDialogPausesOnce)
{
    testing::DialogApplication();
    TSimpleDialogs dialogs;
    QStringList calls;
    dialogs.SetTimerPause([&calls](bool pause) { calls << (pause ? QStringLiteral("0") : QStringLiteral("1")); });
    testing::WhenModal([](QWidget& password) {
        password.findChild<QLineEdit*>(QStringLiteral("Password"))->setText(QStringLiteral("bad"));
        // The wrong-password alert comes up over it next.
        testing::WhenModal([](QWidget& alert) { alert.close(); }, 200);
        password.findChild<QPushButton*>(QStringLiteral("OkBtn"))->click();
    });
    EXPECT_EQ(dialogs.AskPassword(QStringLiteral("good")), kPasswordWrong);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("0"), QStringLiteral("1")}));
}

} // namespace
} // namespace tomeric
