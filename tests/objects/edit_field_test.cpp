// Edit fields: the binding to their variable both ways without echo, the
// input rules (numbers only, case, maximum length, mask, password), Esc,
// drops, layout, and the answers to the object commands.

#include "objects/edit_field.h"
#include "platform/string_table.h"

#include "inputs_test_support.h"

#include <QMimeData>
#include <QUrl>

namespace tomeric::testing {
namespace {

class EditFieldTest : public InputsFixture {
protected:
    TTomericEditField* Make(const std::function<void(TEditFieldProps&)>& tweak = {}, int lineWidth = 1)
    {
        TObjectRecord record = Record(otEditField, QStringLiteral("Entry"), 10, 10, 120, 24);
        record.lineWidth = lineWidth;
        auto* props = record.As<TEditFieldProps>();
        props->varName = QStringLiteral("[Name]");
        props->changeAction = QStringLiteral("Changed");
        if (tweak)
            tweak(*props);
        auto* field = new TTomericEditField(&page, record, host);
        field->OnInit();
        field->OnPageShow();
        return field;
    }
    QString Var() { return GetVariable(QStringLiteral("[Name]")); }
};

// ---- binding ------------------------------------------------------------------------------------

TEST_F(EditFieldTest, InitialTextGoesToTheVariableWithoutRunningTheChangeActionAtStartUp)
{
    host.suppressed = true;
    Make([](TEditFieldProps& p) { p.text = QStringLiteral("Ann"); });
    EXPECT_EQ(Var(), QStringLiteral("Ann"));
    EXPECT_EQ(Runs(ekEditChanged), 0);
}

TEST_F(EditFieldTest, TypingWritesTheWholeTextAndPostsTheChangeAction)
{
    TTomericEditField* field = Make();
    TypeInto(*field->LineEdit(), QStringLiteral("Bob"));
    EXPECT_EQ(Var(), QStringLiteral("Bob"));
    EXPECT_EQ(host.runs.size(), 0u) << "the change action is posted, not run inside the key press";
    EXPECT_EQ(Runs(ekEditChanged), 3);
    EXPECT_EQ(host.runs.back().text, QStringLiteral("Changed"));
}

TEST_F(EditFieldTest, VariableLongerThanTheMaximumShowsCutAndKeepsItsFullValue)
{
    TTomericEditField* field = Make([](TEditFieldProps& p) { p.maxLength = 5; });
    SetVariable(QStringLiteral("[Name]"), QStringLiteral("abcdefgh"));
    EXPECT_EQ(field->Text(), QStringLiteral("abcde"));
    EXPECT_EQ(Var(), QStringLiteral("abcdefgh"));
    EXPECT_EQ(field->LineEdit()->cursorPosition(), 5);
    EXPECT_EQ(Runs(ekEditChanged), 0) << "a change from the variable runs no action";
    // The reader's next edit writes what the field shows.
    SendKey(*field->LineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(Var(), QStringLiteral("abcd"));
    TypeInto(*field->LineEdit(), QStringLiteral("XYZ"));
    EXPECT_EQ(field->Text(), QStringLiteral("abcdX"));
}

TEST_F(EditFieldTest, WritingTheVariableFromAnEditKeepsTheCaretWhereTheReaderTypes)
{
    TTomericEditField* field = Make();
    TypeInto(*field->LineEdit(), QStringLiteral("ac"));
    SendKey(*field->LineEdit(), Qt::Key_Left);
    TypeInto(*field->LineEdit(), QStringLiteral("b"));
    EXPECT_EQ(field->Text(), QStringLiteral("abc"));
    EXPECT_EQ(field->LineEdit()->cursorPosition(), 2);
    EXPECT_EQ(Var(), QStringLiteral("abc"));
}

TEST_F(EditFieldTest, TypedVariableThatRewritesTheValueDoesNotEchoIntoTheField)
{
    DefineVariable(QStringLiteral("[Name]"), QStringLiteral("Integer"), QString(), false);
    TTomericEditField* field = Make();
    TypeInto(*field->LineEdit(), QStringLiteral("007"));
    EXPECT_EQ(field->Text(), QStringLiteral("007"));
    EXPECT_EQ(field->LineEdit()->cursorPosition(), 3);
}

TEST_F(EditFieldTest, OtherVariablesAndTheSameValueLeaveTheFieldAlone)
{
    TTomericEditField* field = Make();
    TypeInto(*field->LineEdit(), QStringLiteral("xy"));
    SendKey(*field->LineEdit(), Qt::Key_Home);
    SetVariable(QStringLiteral("[Other]"), QStringLiteral("zz"));
    SetVariable(QStringLiteral("[Name]"), QStringLiteral("xy"));
    EXPECT_EQ(field->LineEdit()->cursorPosition(), 0);
}

TEST_F(EditFieldTest, SetObjectCaptionChangesTextAndVariable)
{
    TTomericEditField* field = Make();
    EXPECT_TRUE(field->SetObjectCaption(QStringLiteral("New")));
    EXPECT_EQ(Var(), QStringLiteral("New"));
    EXPECT_EQ(field->FamilyInfo(QStringLiteral("CAPTION")), QStringLiteral("New"));
    EXPECT_EQ(Runs(ekEditChanged), 1);
}

TEST_F(EditFieldTest, SelectedTextAndCursorPositionAnswerGetObjectInfo)
{
    TTomericEditField* field = Make([](TEditFieldProps& p) { p.text = QStringLiteral("Hello world"); });
    field->LineEdit()->setSelection(6, 5);
    EXPECT_EQ(field->FamilyInfo(QStringLiteral("SELECTEDTEXT")), QStringLiteral("world"));
    EXPECT_EQ(field->FamilyInfo(QStringLiteral("CURSORPOSITION")), QStringLiteral("12"));
    field->LineEdit()->setCursorPosition(2);
    EXPECT_EQ(field->FamilyInfo(QStringLiteral("CURSORPOSITION")), QStringLiteral("3"));
    EXPECT_FALSE(field->FamilyInfo(QStringLiteral("FILENAME")).has_value());
}

// ---- input rules -------------------------------------------------------------------------------

TEST_F(EditFieldTest, NumbersOnlyRefusesLettersAndClearsMaskAndPassword)
{
    TTomericEditField* field = Make([](TEditFieldProps& p) {
        p.numbersOnly = true;
        p.editMask = QStringLiteral("00-00");
        p.password = true;
    });
    TypeInto(*field->LineEdit(), QStringLiteral("4a2-"));
    EXPECT_EQ(field->Text(), QStringLiteral("42"));
    EXPECT_FALSE(field->Mask().IsMasked());
    EXPECT_EQ(field->LineEdit()->echoMode(), QLineEdit::Normal);
}

struct TPasteCase {
    const char* clipboard;
    const char* result; // "" when refused
};

class NumberPaste : public EditFieldTest, public ::testing::WithParamInterface<TPasteCase> {};

TEST_P(NumberPaste, OnlyWholeNumbersArePastedInCanonicalForm)
{
    TTomericEditField* field = Make([](TEditFieldProps& p) { p.numbersOnly = true; });
    field->LineEdit()->PasteText(QString::fromUtf8(GetParam().clipboard));
    EXPECT_EQ(field->Text(), QString::fromUtf8(GetParam().result));
}

INSTANTIATE_TEST_SUITE_P(Clipboard, NumberPaste, ::testing::Values(
    TPasteCase{"42", "42"}, TPasteCase{" 007 ", "7"}, TPasteCase{"-5", "-5"}, TPasteCase{"+12", "12"},
    TPasteCase{"9223372036854775807", "9223372036854775807"},
    TPasteCase{"9223372036854775808", ""}, TPasteCase{"4.2", ""}, TPasteCase{"12abc", ""},
    TPasteCase{"", ""}));

TEST_F(EditFieldTest, LetterCaseAppliesToTypingPastingAndTheVariable)
{
    TTomericEditField* upper = Make([](TEditFieldProps& p) { p.charCase = ecUpperCase; });
    TypeInto(*upper->LineEdit(), QStringLiteral("ab"));
    upper->LineEdit()->PasteText(QStringLiteral("cd"));
    EXPECT_EQ(upper->Text(), QStringLiteral("ABCD"));
    EXPECT_EQ(Var(), QStringLiteral("ABCD"));
}

TEST_F(EditFieldTest, PasswordShowsStarsAndKeepsTheRealText)
{
    TTomericEditField* field = Make([](TEditFieldProps& p) {
        p.password = true;
        p.editMask = QStringLiteral("000");
    });
    TypeInto(*field->LineEdit(), QStringLiteral("se"));
    EXPECT_EQ(field->LineEdit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(field->LineEdit()->displayText(), QStringLiteral("**"));
    EXPECT_EQ(Var(), QStringLiteral("se"));
}

// ---- masks -----------------------------------------------------------------------------------------

TEST_F(EditFieldTest, MaskedFieldGivesTheMaskedValueToItsVariable)
{
    TTomericEditField* field = Make([](TEditFieldProps& p) { p.editMask = QStringLiteral("00-00;0;_"); });
    TypeInto(*field->LineEdit(), QStringLiteral("1234"));
    EXPECT_EQ(field->LineEdit()->displayText(), QStringLiteral("12-34"));
    EXPECT_EQ(Var(), QStringLiteral("1234"));
    EXPECT_TRUE(field->MaskSatisfied());
}

TEST_F(EditFieldTest, LeavingAnUnfinishedMaskSetsMessage320AndEscRestoresTheText)
{
    page.show();
    TTomericEditField* field = Make([](TEditFieldProps& p) {
        p.editMask = QStringLiteral("00-00;1;_");
        p.text = QStringLiteral("11-11");
    });
    QFocusEvent focusIn(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(field->LineEdit(), &focusIn);
    SendKey(*field->LineEdit(), Qt::Key_End);
    SendKey(*field->LineEdit(), Qt::Key_Backspace);
    EXPECT_FALSE(field->MaskSatisfied());
    QFocusEvent focusOut(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field->LineEdit(), &focusOut);
    EXPECT_EQ(LastError(), Message(msgInvalidEntry));

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(field->LineEdit(), &escape);
    EXPECT_TRUE(escape.isAccepted());
    EXPECT_EQ(field->Text(), QStringLiteral("11-11"));
    EXPECT_EQ(Var(), QStringLiteral("11-11"));
    // Unchanged now: Esc is left to the page.
    QKeyEvent again(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(field->LineEdit(), &again);
    EXPECT_FALSE(again.isAccepted());
}

// ---- multi-line ---------------------------------------------------------------------------------------

TEST_F(EditFieldTest, MultiLineHoldsCrLfTextWithWrapAndScrollBars)
{
    TTomericEditField* field = Make([](TEditFieldProps& p) {
        p.multiLine = true;
        p.maxLength = 8;
    });
    ASSERT_NE(field->Memo(), nullptr);
    EXPECT_EQ(field->Memo()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(field->Memo()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(field->Memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    TypeInto(*field->Memo(), QStringLiteral("ab"));
    SendKey(*field->Memo(), Qt::Key_Return, QStringLiteral("\r"));
    TypeInto(*field->Memo(), QStringLiteral("cdefgh"));
    EXPECT_EQ(Var(), QStringLiteral("ab\r\ncdef")) << "a line break counts two towards the maximum";
    SetVariable(QStringLiteral("[Name]"), QStringLiteral("x\ny"));
    EXPECT_EQ(field->Text(), QStringLiteral("x\r\ny"));
}

TEST_F(EditFieldTest, MultiLineWithoutWrapHasBothScrollBars)
{
    TTomericEditField* field = Make([](TEditFieldProps& p) {
        p.multiLine = true;
        p.wordWrap = false;
    });
    EXPECT_EQ(field->Memo()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(field->Memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

// ---- layout, drops, focus --------------------------------------------------------------------------------

TEST_F(EditFieldTest, SingleLineEditIsCentredOneTextLineHighInsideTheBorder)
{
    TTomericEditField* field = Make({}, 2);
    const int lineHeight = QFontMetrics(field->LineEdit()->font()).height() + 1;
    EXPECT_EQ(field->LineEdit()->geometry(), QRect(6, (24 - lineHeight) / 2, 120 - 4 - 5, lineHeight));
    field->SetLineWidth(3);
    EXPECT_EQ(field->LineEdit()->x(), 7);
}

TEST_F(EditFieldTest, DroppedFilesReplaceTheTextOneNamePerLine)
{
    TTomericEditField* field = Make([](TEditFieldProps& p) { p.text = QStringLiteral("old"); });
    EXPECT_TRUE(field->LineEdit()->acceptDrops());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.txt")), QUrl::fromLocalFile(QStringLiteral("/tmp/b.txt"))});
    QDropEvent drop(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the edit: the application only routes drops during a real drag.
    static_cast<QObject*>(field->LineEdit())->event(&drop);
    EXPECT_EQ(Var(), QStringLiteral("/tmp/a.txt\r\n/tmp/b.txt"));
    field->OnPageHide();
    EXPECT_FALSE(field->LineEdit()->acceptDrops());
}

TEST_F(EditFieldTest, HotKeyAndFocusObjectAimAtTheInnerEdit)
{
    TTomericEditField* field = Make();
    EXPECT_EQ(field->FocusTarget(), field->LineEdit());
    EXPECT_EQ(field->LineEdit()->focusPolicy(), Qt::StrongFocus) << "a tab stop while on screen";
    field->move(1000, 1000);
    field->OnTabStops();
    EXPECT_EQ(field->LineEdit()->focusPolicy(), Qt::ClickFocus);
}

TEST_F(EditFieldTest, HotKeyAndAClickOnTheFrameFocusTheInnerEdit)
{
    TTomericEditField* first = Make();
    TTomericEditField* second = Make();
    page.show();
    // The page's focus child: the window need not be active to know it.
    first->HotKeyPressed();
    EXPECT_EQ(page.focusWidget(), first->LineEdit());
    SendMouse(*second, QEvent::MouseButtonPress, {2, 2});
    EXPECT_EQ(page.focusWidget(), second->LineEdit());
}

TEST_F(EditFieldTest, MaskedFieldShowsAVariableValueThroughItsMask)
{
    TTomericEditField* field = Make([](TEditFieldProps& p) { p.editMask = QStringLiteral("00/00;0;_"); });
    SetVariable(QStringLiteral("[Name]"), QStringLiteral("1231"));
    EXPECT_EQ(field->LineEdit()->displayText(), QStringLiteral("12/31"));
    EXPECT_EQ(field->Text(), QStringLiteral("1231"));
    EXPECT_EQ(Runs(ekEditChanged), 0);
}

} // namespace
} // namespace tomeric::testing
