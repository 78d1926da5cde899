// The modal dialogs answered the way a user answers them: buttons clicked,
// Esc pressed, text typed.

#include "windows_test_support.h"

#include "windows/input_box_form.h"
#include "windows/password_form.h"
#include "windows/query_form.h"
#include "windows/simple_dialogs.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QKeyEvent>

namespace tomeric {
namespace {

class DialogAnswers : public ::testing::Test {
protected:
    void SetUp() override { testing::DialogApplication(); }
    TDialogLook look_;
};

void Click(QWidget& dialog, const char* name)
{
    auto* button = dialog.findChild<QPushButton*>(QLatin1String(name));
    ASSERT_NE(button, nullptr) << name;
    button->click();
}

TEST_F(DialogAnswers, MessageBoxGivesTheNumberOfTheButtonClicked)
{
    testing::WhenModal([](QWidget& dialog) { Click(dialog, "Button2"); });
    EXPECT_EQ(ShowQuery(nullptr, look_, QStringLiteral("T"), QStringLiteral("Which?"),
                        QStringLiteral("One|Two|Three"), QString()),
              2);
}

TEST_F(DialogAnswers, EscapeAnswersZero)
{
    testing::WhenModal([](QWidget& dialog) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &escape);
    });
    EXPECT_EQ(ShowQuery(nullptr, look_, QStringLiteral("T"), QStringLiteral("Which?"),
                        QStringLiteral("One|Two|Three"), QString()),
              0);
}

TEST_F(DialogAnswers, AnAlertWithAnEmptyTitleStillHasItsOneButton)
{
    TQueryForm form(nullptr, look_, QString(), QStringLiteral("Note"), look_.Word(ltOk), QString());
    EXPECT_TRUE(form.windowTitle().isEmpty());
    ASSERT_EQ(form.Buttons().size(), 1u);
    EXPECT_EQ(form.Buttons()[0]->text(), QStringLiteral("OK"));
}

TEST_F(DialogAnswers, TheErrorReportTakesItsTitleFromTheLanguageTexts)
{
    TPublicationSettings settings;
    settings.languageTexts[ltErrorTitle] = QStringLiteral("Oops");
    TSimpleDialogs dialogs;
    dialogs.SetLanguageTexts(&settings);
    QString title, message, button;
    testing::WhenModal([&](QWidget& dialog) {
        title = dialog.windowTitle();
        message = dialog.findChild<QLabel*>(QStringLiteral("Prompt"))->text();
        button = dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->text();
        dialog.close();
    });
    dialogs.ShowError(QStringLiteral("Bad|thing"));
    EXPECT_EQ(title, QStringLiteral("Oops"));
    EXPECT_EQ(message, QStringLiteral("Bad\nthing"));
    EXPECT_EQ(button, QStringLiteral("OK"));
}

TEST_F(DialogAnswers, InputBoxGivesTheTextOnOkAndNothingOnCancel)
{
    testing::WhenModal([](QWidget& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("EditBox"));
        edit->setText(QStringLiteral("Ann"));
        Click(dialog, "OKBtn");
    });
    EXPECT_EQ(ShowInput(nullptr, look_, QStringLiteral("Name"), QStringLiteral("Your name?"),
                        QStringLiteral("old"), QStringLiteral("Cancel"), QStringLiteral("OK")),
              QStringLiteral("Ann"));

    testing::WhenModal([](QWidget& dialog) { Click(dialog, "CancelBtn"); });
    EXPECT_EQ(ShowInput(nullptr, look_, QStringLiteral("Name"), QStringLiteral("Your name?"),
                        QStringLiteral("old"), QStringLiteral("Cancel"), QStringLiteral("OK")),
              QString());
}

TEST_F(DialogAnswers, InputBoxStartsWithTheCurrentValue)
{
    TInputBoxForm form(nullptr, look_, QString(), QStringLiteral("p"), QStringLiteral("kept"),
                       QStringLiteral("Cancel"), QStringLiteral("OK"));
    EXPECT_EQ(form.EditBox()->text(), QStringLiteral("kept"));
}

TEST(InputLayout, EditAndButtonsFollowThePrompt)
{
    TInputMeasures m;
    m.prompt = QSize(100, 26);
    m.editHeight = 21;
    m.okTextWidth = 20;
    m.cancelTextWidth = 50;
    m.mHeight = 11;
    const TInputLayout layout = LayoutInput(m);
    EXPECT_EQ(layout.prompt, QRect(12, 12, 100, 26));
    EXPECT_EQ(layout.edit, QRect(12, 46, 269, 21));     // prompt bottom + 8
    EXPECT_EQ(layout.client.width(), 269 + 24);
    EXPECT_EQ(layout.ok, QRect(293 / 2 - 66 - 4, 79, 66, 25));
    EXPECT_EQ(layout.cancel, QRect(293 / 2 + 4, 79, 66, 25));
    EXPECT_EQ(layout.client.height(), 79 + 25 + 12);
}

TEST(InputLayout, AWidePromptWidensTheDialogAndTheEdit)
{
    TInputMeasures m;
    m.prompt = QSize(400, 13);
    const TInputLayout layout = LayoutInput(m);
    EXPECT_EQ(layout.client.width(), 424);
    EXPECT_EQ(layout.edit.width(), 400);
}

// ---- passwords -------------------------------------------------------------------------

TEST(PasswordRules, LetterCaseDoesNotMatter)
{
    EXPECT_TRUE(PasswordMatches(QStringLiteral("SECRET"), QStringLiteral("Secret")));
    EXPECT_FALSE(PasswordMatches(QStringLiteral("Secret "), QStringLiteral("Secret")));
}

TEST(PasswordLayout, RowsAndButtonsAreCentredAndTheLockGrowsWithTheMessage)
{
    TPasswordMeasures m;
    m.message = QSize(200, 40);
    m.prompt = QSize(60, 13);
    m.editWidth = 150;
    m.editHeight = 21;
    m.okTextWidth = 20;
    m.cancelTextWidth = 44;
    const TPasswordLayout layout = LayoutPassword(m);
    EXPECT_EQ(layout.padlock.height(), 40);
    const int w = 44 + 16;
    EXPECT_EQ(layout.client.width(), std::max({layout.padlock.width() + 200 + 32, 60 + 150 + 4 + 24, 2 * w + 24}));
    EXPECT_EQ(layout.client.height(), 40 + (21 + 36) + (25 + 24) + 24);
    EXPECT_EQ(layout.ok.x(), layout.client.width() / 2 - w - 4);
    EXPECT_EQ(layout.cancel.x(), layout.client.width() / 2 + 4);
    EXPECT_EQ(layout.edit.x(), layout.prompt.x() + 60 + 4);
    // The row is centred.
    EXPECT_NEAR(layout.prompt.x(), layout.client.width() - (layout.edit.x() + layout.edit.width()), 1);
}

class PasswordDialog : public DialogAnswers {};

TEST_F(PasswordDialog, OkIsEnabledOnlyWhileSomethingIsTyped)
{
    TPasswordEntryForm form(nullptr, look_, QStringLiteral("x"), {});
    EXPECT_FALSE(form.OkButton()->isEnabled());
    form.PasswordEdit()->setText(QStringLiteral("a"));
    EXPECT_TRUE(form.OkButton()->isEnabled());
    form.PasswordEdit()->clear();
    EXPECT_FALSE(form.OkButton()->isEnabled());
    EXPECT_EQ(form.PasswordEdit()->echoMode(), QLineEdit::Password);
}

struct PasswordCase {
    const char* typed; // null: cancelled
    int result;
    bool alerted;
};

class PasswordOutcomes : public DialogAnswers, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(PasswordOutcomes, MatchedWrongOrCancelled)
{
    const PasswordCase c = GetParam();
    bool alerted = false;
    testing::WhenModal([c](QWidget& dialog) {
        if (!c.typed) {
            Click(dialog, "CancelBtn");
            return;
        }
        dialog.findChild<QLineEdit*>(QStringLiteral("Password"))->setText(QString::fromUtf8(c.typed));
        Click(dialog, "OkBtn");
    });
    TPasswordEntryForm form(nullptr, look_, QStringLiteral("Secret"), [&alerted] { alerted = true; });
    EXPECT_EQ(form.Run(), c.result);
    EXPECT_EQ(alerted, c.alerted);
}

INSTANTIATE_TEST_SUITE_P(Cases, PasswordOutcomes,
                         ::testing::Values(PasswordCase{"Secret", kPasswordMatched, false},
                                           PasswordCase{"sEcReT", kPasswordMatched, false},
                                           PasswordCase{"nope", kPasswordWrong, true},
                                           PasswordCase{nullptr, kPasswordCancelled, false}));

TEST_F(PasswordDialog, TheWordsAreThePublications)
{
    TPublicationSettings settings;
    settings.languageTexts[ltPwordTitle] = QStringLiteral("Password");
    settings.languageTexts[ltOk] = QStringLiteral("Go");
    settings.languageTexts[ltCancel] = QStringLiteral("Stop");
    const TDialogLook look(settings);
    TPasswordEntryForm form(nullptr, look, QStringLiteral("x"), {});
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Password"));
    EXPECT_EQ(form.OkButton()->text(), QStringLiteral("Go"));
    EXPECT_EQ(form.CancelButton()->text(), QStringLiteral("Stop"));
    // An empty language text falls back on the player's word.
    EXPECT_EQ(look.Word(ltPwordError), BuiltinWord(ltPwordError));
}

} // namespace
} // namespace tomeric
