// Check boxes and radio buttons bound to variables, captions with
// variables and accelerators, and auto-size.

#include "buttons_test_support.h"

#include <QFontMetrics>

namespace tomeric {
namespace {

using namespace testing;

class ButtonCheckBoxVariable : public ButtonsFixture {
protected:
    TTomericCheckBox* Make(int initialState, const QString& varName = "[Opt]")
    {
        return MakeCheck("Opt", [&](TObjectRecord& r) {
            r.As<TCheckBoxProps>()->varName = varName;
            r.As<TCheckBoxProps>()->initialState = initialState;
            r.As<TCheckBoxProps>()->clickAction = "Clicked";
        });
    }
};

TEST_F(ButtonCheckBoxVariable, InitialStateDownWritesCheckedAtInit)
{
    auto* box = Make(qxbsDown);
    EXPECT_EQ(GetVariable("[Opt]"), "");
    box->OnInit();
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(GetVariable("[Opt]"), "Checked");
}

TEST_F(ButtonCheckBoxVariable, InitialStateUpLeavesTheVariableAlone)
{
    SetVariable("[Opt]", "Kept");
    auto* box = Make(qxbsUp);
    box->OnInit();
    EXPECT_EQ(GetVariable("[Opt]"), "Kept");
    EXPECT_EQ(box->VisualState(), bvUp);
}

TEST_F(ButtonCheckBoxVariable, GrayedStartsHalfPressed)
{
    auto* box = Make(qxbsGrayed);
    box->OnInit();
    EXPECT_EQ(box->VisualState(), bvHot);
}

TEST_F(ButtonCheckBoxVariable, ClicksToggleAndWriteTheVariableBeforeTheActionRuns)
{
    auto* box = Make(qxbsUp);
    box->OnInit();
    QStringList seen;
    host.onRun = [&seen](const TRecordedRun&) { seen << GetVariable("[Opt]"); };
    Click(*box);
    EXPECT_EQ(GetVariable("[Opt]"), "Checked");
    EXPECT_EQ(Clicks(), 1);
    Click(*box);
    EXPECT_EQ(GetVariable("[Opt]"), "");
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(Clicks(), 2);
    EXPECT_EQ(seen, (QStringList{"Checked", ""}));
}

struct TValueCase {
    const char* value;
    bool checked;
};

class ButtonCheckBoxValues : public ButtonCheckBoxVariable, public ::testing::WithParamInterface<TValueCase> {};

TEST_P(ButtonCheckBoxValues, FollowTheTrueWordBeforeTheFirstPlus)
{
    auto* box = Make(qxbsUp);
    box->OnInit();
    SetVariable("[Opt]", "Checked"); // start from checked so "unchecked" shows a change
    SetVariable("[Opt]", QString::fromUtf8(GetParam().value));
    EXPECT_EQ(box->Checked(), GetParam().checked) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Cases, ButtonCheckBoxValues,
                         ::testing::Values(TValueCase{"Checked", true}, TValueCase{"Checked+more text", true},
                                           TValueCase{"true", true}, TValueCase{"YES", true},
                                           TValueCase{"1", true}, TValueCase{"OK+", true},
                                           TValueCase{"", false}, TValueCase{"False", false},
                                           TValueCase{"Unchecked", false}, TValueCase{"maybe", false},
                                           TValueCase{"+Checked", false}, TValueCase{"Checkedx", false}));

TEST_F(ButtonCheckBoxVariable, VariableNamesCompareIgnoringCaseAndBrackets)
{
    auto* box = Make(qxbsUp, "opt"); // VARNAME=opt is read as [opt]
    box->OnInit();
    SetVariable("[OPT]", "Checked");
    EXPECT_TRUE(box->Checked());
    SetVariable("[Other]", "Checked");
    EXPECT_TRUE(box->Checked());
}

// ---- radio groups ------------------------------------------------------------------

class ButtonRadioGroup : public ButtonsFixture {
protected:
    void SetUp() override
    {
        alpha = MakeRadio("A", "Alpha", "[Choice]");
        beta = MakeRadio("B", "Beta", "[Choice]", qxbsDown);
        gamma = MakeRadio("C", "Gamma", "[Choice]");
        InitAll();
    }
    std::vector<bool> States() const { return {alpha->Checked(), beta->Checked(), gamma->Checked()}; }
    TTomericRadioBtn *alpha = nullptr, *beta = nullptr, *gamma = nullptr;
};

TEST_F(ButtonRadioGroup, TheInitiallyCheckedButtonWritesItsCaption)
{
    EXPECT_EQ(GetVariable("[Choice]"), "Beta");
    EXPECT_EQ(States(), (std::vector<bool>{false, true, false}));
}

TEST_F(ButtonRadioGroup, ClickingAnotherButtonSwitchesTheGroup)
{
    Click(*gamma);
    EXPECT_EQ(GetVariable("[Choice]"), "Gamma");
    EXPECT_EQ(States(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(Clicks(), 1);
}

TEST_F(ButtonRadioGroup, ClickingTheCheckedButtonDoesNotRunItsActionAgain)
{
    Click(*beta);
    EXPECT_EQ(Clicks(), 0);
    EXPECT_TRUE(beta->Checked());
}

TEST_F(ButtonRadioGroup, SettingTheVariableInAnotherCaseChecksTheMatchingButton)
{
    SetVariable("[Choice]", "ALPHA");
    EXPECT_EQ(States(), (std::vector<bool>{true, false, false}));
    SetVariable("[choice]", "nothing of ours");
    EXPECT_EQ(States(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(Clicks(), 0); // a script setting the variable runs no click action
}

TEST_F(ButtonsFixture, RadioCaptionsWriteWhatTheyShowAndAcceptTheAcceleratorForm)
{
    auto* yes = MakeRadio("Y", "^Yes & more", "[Answer]", qxbsDown);
    auto* no = MakeRadio("N", "^No", "[Answer]");
    InitAll();
    EXPECT_EQ(GetVariable("[Answer]"), "Yes & more");
    // The form with accelerator marks a Windows publication may compare with.
    SetVariable("[Answer]", "&No");
    EXPECT_TRUE(no->Checked());
    EXPECT_FALSE(yes->Checked());
}

TEST_F(ButtonsFixture, ACheckedRadioWhoseCaptionShowsAVariableFollowsIt)
{
    SetVariable("[Fruit]", "Apple");
    auto* radio = MakeRadio("F", "[Fruit] pie", "[Dessert]", qxbsDown);
    InitAll();
    EXPECT_EQ(GetVariable("[Dessert]"), "Apple pie");
    SetVariable("[Fruit]", "Cherry");
    EXPECT_EQ(GetVariable("[Dessert]"), "Cherry pie");
    EXPECT_TRUE(radio->Checked());
}

TEST_F(ButtonsFixture, ARadioCaptionShowingItsOwnVariableDoesNotFeedItself)
{
    auto* radio = MakeRadio("S", "x[Mine]", "[Mine]", qxbsDown);
    InitAll();
    SetVariable("[Mine]", "y");
    EXPECT_EQ(GetVariable("[Mine]"), "y");
    EXPECT_FALSE(radio->Checked()); // "y" is not what it shows ("xy")
}

TEST_F(ButtonsFixture, RadioButtonsWithoutAVariableGroupWithTheirSiblings)
{
    auto* one = MakeRadio("1", "One", "", qxbsDown);
    auto* two = MakeRadio("2", "Two", "");
    InitAll();
    Click(*two);
    EXPECT_TRUE(two->Checked());
    EXPECT_FALSE(one->Checked());
}

// ---- captions --------------------------------------------------------------------------

struct TCaptionCase {
    const char* text;
    const char* prepared;
};

class ButtonCaptionPreparation : public ButtonsFixture, public ::testing::WithParamInterface<TCaptionCase> {};

TEST_P(ButtonCaptionPreparation, CaretMarksTheAcceleratorAndAmpersandStaysLiteral)
{
    SetVariable("[Who]", "Ann & Bob");
    EXPECT_EQ(TTomericObj::PrepareCaption(QString::fromUtf8(GetParam().text)), QString::fromUtf8(GetParam().prepared));
}

INSTANTIATE_TEST_SUITE_P(Cases, ButtonCaptionPreparation,
                         ::testing::Values(TCaptionCase{"^Save", "&Save"}, TCaptionCase{"Salt & pepper", "Salt && pepper"},
                                           TCaptionCase{"Hi [Who]", "Hi Ann && Bob"}, TCaptionCase{"a^b&c", "a&b&&c"},
                                           TCaptionCase{"plain", "plain"}, TCaptionCase{"", ""}));

TEST_F(ButtonsFixture, CaptionInfoIsTheStoredTextAndSetObjectCaptionReplacesIt)
{
    auto* button = MakePush("P", [](TObjectRecord& r) { r.As<TPushButtonProps>()->text = "Score [Score]"; });
    EXPECT_EQ(button->FamilyInfo("CAPTION"), QString("Score [Score]"));
    EXPECT_TRUE(button->SetObjectCaption("Next"));
    EXPECT_EQ(button->Txt(), "Next");
    auto* box = MakeCheck("C");
    EXPECT_TRUE(box->SetObjectCaption("Agree"));
    EXPECT_EQ(box->FamilyInfo("CAPTION"), QString("Agree"));
    EXPECT_EQ(box->FamilyInfo("FILENAME"), std::nullopt);
}

// ---- auto-size ---------------------------------------------------------------------------

class ButtonAutoSize : public ButtonsFixture {
protected:
    TTomericCheckBox* Make(const QString& caption, int alignment)
    {
        return MakeCheck("A", [&](TObjectRecord& r) {
            r.As<TCheckBoxProps>()->text = caption;
            r.As<TCheckBoxProps>()->alignment = alignment;
            r.As<TCheckBoxProps>()->autoSize = true;
        });
    }
    static QSize Text(const QWidget& w, const QString& shown)
    {
        return QFontMetrics(w.font()).boundingRect(QRect(0, 0, 32767, 32767), Qt::TextShowMnemonic, shown).size();
    }
};

TEST_F(ButtonAutoSize, BesideTheBoxTheWidthGrowsBySeventeenAndThreeEachSide)
{
    auto* box = Make("Remember me", baLeft);
    const QSize text = Text(*box, "Remember me");
    EXPECT_EQ(box->size(), QSize(text.width() + 17 + 6, text.height() + 6));
}

TEST_F(ButtonAutoSize, AboveTheCaptionTheHeightGrowsBySeventeen)
{
    auto* box = Make("Up", baCentre);
    const QSize text = Text(*box, "Up");
    EXPECT_EQ(box->size(), QSize(std::max(text.width() + 6, 13), text.height() + 17 + 6));
}

TEST_F(ButtonAutoSize, AnEmptyCaptionKeepsTheBoxAndOneLine)
{
    auto* box = Make("", baLeft);
    EXPECT_EQ(box->size(), QSize(13 + 6, QFontMetrics(box->font()).height() + 6));
}

TEST_F(ButtonAutoSize, CaptionVariablesAndCaptionChangesResize)
{
    SetVariable("[Name]", "Al");
    auto* box = Make("Hello [Name]", baLeft);
    const int before = box->width();
    SetVariable("[Name]", "Alexander the Great");
    EXPECT_GT(box->width(), before);
    box->SetObjectCaption("x");
    EXPECT_LT(box->width(), before);
}

} // namespace
} // namespace tomeric
