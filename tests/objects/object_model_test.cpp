// The common behaviour of page objects: transparency, setters, captions,
// how scripts run, enter and exit.

#include "actions/action_eval.h"
#include "objects/object_factory.h"
#include "objects/object_tree.h"
#include "pages/page_widgets.h"
#include "objects/tomeric_obj.h"
#include "vars/variables.h"

#include "objects_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

#include <QEnterEvent>

namespace tomeric {
namespace {

using testing::Record;
using testing::TTestObjectHost;
using testing::TTestPage;

class ObjectModel : public ::testing::Test {
protected:
    TTomericObj* Make(TObjectRecord record)
    {
        return CreateObject(&page, record, host);
    }
    TTomericObj* MakeRect(int fillPattern = 0, bool transparent = false)
    {
        TObjectRecord r = Record(otRect, "Box", 10, 10, 40, 30);
        r.fillPattern = fillPattern;
        r.transparent = transparent;
        return Make(r);
    }
    TTestPage page;
    TTestObjectHost host;
};

// ---- transparency ---------------------------------------------------------------

struct TTransparencyCase {
    int fillPattern;
    bool transparent;
    bool expected;
};

class TransparencyRule : public ObjectModel, public ::testing::WithParamInterface<TTransparencyCase> {};

TEST_P(TransparencyRule, FollowsPatternAndFillMode)
{
    const auto c = GetParam();
    EXPECT_EQ(MakeRect(c.fillPattern, c.transparent)->GetIsTransparent(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TransparencyRule,
                         ::testing::Values(TTransparencyCase{0, false, false}, TTransparencyCase{0, true, false},
                                           TTransparencyCase{1, false, true}, TTransparencyCase{1, true, true},
                                           TTransparencyCase{2, false, false}, TTransparencyCase{2, true, true},
                                           TTransparencyCase{48, true, true}, TTransparencyCase{48, false, false}));

TEST_F(ObjectModel, NoFillMakesTransparentAtOnceAndSolidMakesOpaqueAgain)
{
    TTomericObj* box = MakeRect(0, true);
    box->SetFillPattern(1);
    EXPECT_TRUE(box->GetIsTransparent());
    box->SetFillPattern(0);
    EXPECT_FALSE(box->GetIsTransparent());
}

TEST_F(ObjectModel, GroupsStayTransparentWhateverTheFill)
{
    TTomericObj* group = Make(Record(otGroup, "G", 0, 0, 50, 50));
    EXPECT_TRUE(group->TransparencyFixed());
    group->SetFillPattern(0);
    EXPECT_TRUE(group->GetIsTransparent());
}

// ---- setters ----------------------------------------------------------------------

// Counts the change notifications a family receives.
class TCountingObj : public TTomericObj {
public:
    using TTomericObj::TTomericObj;
    int lineChanges = 0, fillChanges = 0, textChanges = 0;

protected:
    void LineChanged() override { ++lineChanges; }
    void FillChanged() override { ++fillChanges; }
    void TextChanged() override { ++textChanges; }
};

TEST_F(ObjectModel, SettersNotifyOnlyWhenTheValueChanges)
{
    TCountingObj box(&page, Record(otRect, "Box", 0, 0, 20, 20), host);
    box.SetLineWidth(1);
    box.SetLineColor(0);
    box.SetFillPattern(0);
    box.SetTransparent(false);
    box.SetFillColor(kColourButtonFace);
    box.SetTxt(QString());
    EXPECT_EQ(box.lineChanges, 0);
    EXPECT_EQ(box.fillChanges, 0);
    EXPECT_EQ(box.textChanges, 0);
    box.SetLineWidth(4);
    box.SetLineColor(0x0000FF);
    box.SetFillPattern(7);
    box.SetTransparent(true);
    box.SetFillColor(0x00FF00);
    box.SetTxt(QStringLiteral("Hello"));
    EXPECT_EQ(box.lineChanges, 2);
    EXPECT_EQ(box.fillChanges, 3);
    EXPECT_EQ(box.textChanges, 1);
    EXPECT_EQ(box.LineWidth(), 4);
    EXPECT_EQ(box.Txt(), QStringLiteral("Hello"));
}

TEST_F(ObjectModel, LineStyleOutOfRangeKeepsThePreviousStyle)
{
    TTomericObj* box = MakeRect();
    box->SetLineStyle(qxpsSunken);
    box->SetLineStyle(8);
    box->SetLineStyle(-1);
    EXPECT_EQ(box->LineStyle(), qxpsSunken);
}

TEST_F(ObjectModel, VisibleStateShowsAndHidesTheObject)
{
    TTomericObj* box = MakeRect();
    box->SetVisibleState(false);
    EXPECT_TRUE(box->isHidden());
    box->SetVisibleState(true);
    EXPECT_FALSE(box->isHidden());
    EXPECT_TRUE(box->VisibleState());
}

TEST_F(ObjectModel, RecordsGiveTheCommonProperties)
{
    TObjectRecord r = Record(otRect, "Frame", 5, 6, 70, 80);
    r.lineWidth = 3;
    r.lineStyle = qxpsRaised;
    r.fillColor = 0x123456;
    r.visible = false;
    r.enabled = false;
    TTomericObj* box = Make(r);
    EXPECT_EQ(box->geometry(), QRect(5, 6, 70, 80));
    EXPECT_EQ(box->Name(), QStringLiteral("Frame"));
    EXPECT_EQ(box->ObjType(), int(otRect));
    EXPECT_EQ(box->LineStyle(), int(qxpsRaised));
    EXPECT_EQ(box->FillColor(), 0x123456);
    EXPECT_FALSE(box->VisibleState());
    EXPECT_FALSE(box->EnabledState());
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(box->CursorSlot(), csApplication);
}

TEST_F(ObjectModel, PageLevelObjectsTakeThePublicationAreaOrigin)
{
    std::vector<TObjectRecord> records = {Record(otRect, "A", 10, 20, 5, 5), Record(1, "Nothing", 0, 0, 5, 5),
                                          Record(otCircle, "B", 0, 0, 5, 5)};
    const auto made = CreatePageObjects(&page, records, host, QPoint(100, 50));
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(made[0]->pos(), QPoint(110, 70));
    EXPECT_EQ(made[1]->pos(), QPoint(100, 50));
}

TEST_F(ObjectModel, TypeCodesOutsideTheTableCreateNothing)
{
    for (int code : {0, 1, 25, -3, 1000}) EXPECT_EQ(ObjectCreator(code), nullptr) << code;
    for (int code = kFirstObjectType; code <= kLastObjectType; ++code)
        EXPECT_NE(ObjectCreator(code), nullptr) << code;
}

// ---- captions ------------------------------------------------------------------------

struct TCaptionCase {
    const char* text;
    const char* expected;
};

class ObjectCaption : public ::testing::TestWithParam<TCaptionCase> {};

TEST_P(ObjectCaption, CaretMarksTheAcceleratorAndAmpersandShowsItself)
{
    SetVariable(QStringLiteral("Who"), QStringLiteral("Ann & Bob"));
    EXPECT_EQ(TTomericObj::PrepareCaption(QString::fromUtf8(GetParam().text)),
              QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, ObjectCaption,
                         ::testing::Values(TCaptionCase{"Plain", "Plain"}, TCaptionCase{"^File", "&File"},
                                           TCaptionCase{"Save ^as", "Save &as"},
                                           TCaptionCase{"Salt & pepper", "Salt && pepper"},
                                           TCaptionCase{"Hi [Who]", "Hi Ann && Bob"},
                                           TCaptionCase{"^Go & [Who]", "&Go && Ann && Bob"},
                                           TCaptionCase{"", ""}));

// ---- scripts --------------------------------------------------------------------------

TEST_F(ObjectModel, ImmediateRunsReachTheHostAtOnce)
{
    TTomericObj* box = MakeRect();
    box->RunObjectAction(QStringLiteral("SetVar [a], 1"), ekEnter, afImmediate);
    ASSERT_EQ(host.runs.size(), 1u);
    EXPECT_EQ(host.runs[0].text, QStringLiteral("SetVar [a], 1"));
    EXPECT_EQ(host.runs[0].kind, int(ekEnter));
    EXPECT_EQ(host.runs[0].flags, afImmediate);
    EXPECT_EQ(host.runs[0].objType, int(otRect));
    EXPECT_EQ(host.runs[0].name, QStringLiteral("Box"));
}

TEST_F(ObjectModel, PostedRunsWaitForTheEventLoop)
{
    TTomericObj* box = MakeRect();
    box->RunObjectAction(QStringLiteral("Click"), ekClick, 0);
    box->RunObjectAction(QStringLiteral("Again"), ekClick, afNoPageChange);
    EXPECT_TRUE(host.runs.empty());
    testing::TurnEventLoop();
    ASSERT_EQ(host.runs.size(), 2u);
    EXPECT_EQ(host.runs[0].text, QStringLiteral("Click"));
    EXPECT_EQ(host.runs[1].flags, afNoPageChange);
}

TEST_F(ObjectModel, PostedRunIsDroppedWhenTheObjectDiesFirst)
{
    TTomericObj* box = MakeRect();
    box->RunObjectAction(QStringLiteral("Click"), ekClick, 0);
    delete box;
    testing::TurnEventLoop();
    EXPECT_TRUE(host.runs.empty());
}

TEST_F(ObjectModel, EmptyScriptsRunNothing)
{
    TTomericObj* box = MakeRect();
    box->RunObjectAction(QString(), ekClick, afImmediate);
    box->RunObjectAction(QString(), ekClick, 0);
    testing::TurnEventLoop();
    EXPECT_TRUE(host.runs.empty());
}

// ---- enter and exit ----------------------------------------------------------------------

class EnterExit : public ObjectModel {
protected:
    TTomericObj* MakeHovered()
    {
        TObjectRecord r = Record(otPicture, "Pic", 0, 0, 20, 20);
        r.As<TPictureProps>()->enterAction = QStringLiteral("In");
        r.As<TPictureProps>()->exitAction = QStringLiteral("Out");
        return Make(r);
    }
    static void Enter(QWidget* w)
    {
        QEnterEvent event(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QCoreApplication::sendEvent(w, &event);
    }
    static void Leave(QWidget* w)
    {
        QEvent event(QEvent::Leave);
        QCoreApplication::sendEvent(w, &event);
    }
};

TEST_F(EnterExit, EnterAndLeaveRunTheirActionsOnce)
{
    TTomericObj* pic = MakeHovered();
    Enter(pic);
    Enter(pic);
    EXPECT_TRUE(pic->MouseInside());
    Leave(pic);
    Leave(pic);
    ASSERT_EQ(host.runs.size(), 2u);
    EXPECT_EQ(host.runs[0].kind, int(ekEnter));
    EXPECT_EQ(host.runs[0].text, QStringLiteral("In"));
    EXPECT_EQ(host.runs[1].kind, int(ekExit));
    EXPECT_EQ(host.runs[1].text, QStringLiteral("Out"));
}

TEST_F(EnterExit, NothingRunsWhileThePlayerStartsOrCloses)
{
    host.suppressed = true;
    TTomericObj* pic = MakeHovered();
    Enter(pic);
    Leave(pic);
    EXPECT_TRUE(host.runs.empty());
}

TEST_F(EnterExit, DisabledObjectsDoNotReact)
{
    TTomericObj* pic = MakeHovered();
    pic->SetEnabledState(false);
    Enter(pic);
    EXPECT_FALSE(pic->MouseInside());
    EXPECT_TRUE(host.runs.empty());
}

// ---- on screen ----------------------------------------------------------------------------

TEST(OnScreen, ObjectsCountWhenTheyMeetTheirPage)
{
    testing::ObjectsApplication();
    TTomericBackground background(nullptr, {});
    background.resize(200, 150);
    TTestObjectHost host;
    TObjectRecord group = Record(otGroup, "G", 150, 100, 100, 100);
    group.members = {Record(otRect, "Inside", 10, 10, 20, 20), Record(otRect, "Outside", 90, 90, 5, 5)};
    CreateObject(&background, group, host);
    EXPECT_TRUE(FindObjectByName(&background, "Inside")->OnScreen());
    EXPECT_FALSE(FindObjectByName(&background, "Outside")->OnScreen());
    FindObjectByName(&background, "G")->SetVisibleState(false);
    EXPECT_FALSE(FindObjectByName(&background, "Inside")->OnScreen());
}

// ---- variables -------------------------------------------------------------------------------

TEST(VariableNames, BracketedUpperAndMentions)
{
    EXPECT_EQ(BracketedUpper(QStringLiteral("score")), QStringLiteral("[SCORE]"));
    EXPECT_EQ(BracketedUpper(QStringLiteral("[Score]")), QStringLiteral("[SCORE]"));
    EXPECT_TRUE(MentionsVariable(QStringLiteral("You have [Score] points"), QStringLiteral("[SCORE]")));
    EXPECT_FALSE(MentionsVariable(QStringLiteral("You have [Scores] points"), QStringLiteral("[SCORE]")));
    EXPECT_FALSE(MentionsVariable(QStringLiteral("anything"), QString()));
}

} // namespace
} // namespace tomeric
