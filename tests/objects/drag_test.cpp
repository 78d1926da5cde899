// Dragging objects: which target a drop chooses, the drop action's say, and
// clicks without a drag.

#include "objects/drag_object.h"
#include "objects/object_factory.h"
#include "vars/variables.h"

#include "objects_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

#include <QMouseEvent>

namespace tomeric {
namespace {

using testing::Record;
using testing::TTestObjectHost;
using testing::TTestPage;

class Dragging : public ::testing::Test {
protected:
    TTomericDragObj* MakeDraggable(int mode, const QString& targets, const QString& dropAction = {})
    {
        TObjectRecord r = Record(otText, "Piece", 0, 0, 20, 20);
        auto* props = r.As<TTextProps>();
        props->dragMode = mode;
        props->dropTargets = targets;
        props->dropAction = dropAction;
        return new TTomericDragObj(&page, r, host);
    }
    TTomericObj* Target(const QString& name, QRect rect)
    {
        return CreateObject(&page, Record(otRect, name, rect.x(), rect.y(), rect.width(), rect.height()), host);
    }
    void Click(QWidget* w, Qt::MouseButton button, QPoint at = {5, 5})
    {
        QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), button, button, {});
        QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), button, {}, {});
        QCoreApplication::sendEvent(w, &press);
        QCoreApplication::sendEvent(w, &release);
    }
    TTestPage page{QSize(300, 200)};
    TTestObjectHost host;
};

TEST_F(Dragging, TheTargetOverlappingMostWins)
{
    Target("Small", {100, 100, 30, 30});
    Target("Large", {125, 100, 60, 60});
    TTomericDragObj* piece = MakeDraggable(dmOntoTargets, "Small|Large");
    // Dropped at (115,105): 15 px of Small, 10 px of Large horizontally.
    EXPECT_EQ(piece->ChooseDrop({115, 105}, {120, 110}).target, QStringLiteral("Small"));
    // Dropped at (120,105): 10 px of Small, 15 px of Large.
    EXPECT_EQ(piece->ChooseDrop({120, 105}, {125, 110}).target, QStringLiteral("Large"));
}

TEST_F(Dragging, EqualOverlapsKeepTheFirstListed)
{
    Target("Left", {100, 100, 30, 30});
    Target("Right", {130, 100, 30, 30});
    TTomericDragObj* piece = MakeDraggable(dmOntoTargets, "Right|Left");
    const TDropChoice choice = piece->ChooseDrop({120, 105}, {130, 110});
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.target, QStringLiteral("Right"));
}

TEST_F(Dragging, TheDropIsClampedInsideItsTarget)
{
    Target("Bin", {100, 100, 50, 50});
    TTomericDragObj* piece = MakeDraggable(dmOntoTargets, "Bin");
    const TDropChoice choice = piece->ChooseDrop({90, 140}, {95, 145});
    EXPECT_EQ(choice.position, QPoint(100, 130));
}

TEST_F(Dragging, MissingTargetsAreSkippedAndNoOverlapRefuses)
{
    Target("Bin", {100, 100, 50, 50});
    TTomericDragObj* piece = MakeDraggable(dmOntoTargets, "Nowhere|Bin");
    EXPECT_EQ(piece->ChooseDrop({110, 110}, {115, 115}).target, QStringLiteral("Bin"));
    const TDropChoice away = piece->ChooseDrop({10, 10}, {15, 15});
    EXPECT_FALSE(away.accepted);
    EXPECT_TRUE(away.target.isEmpty());
}

TEST_F(Dragging, DragAnywhereTakesTheObjectUnderThePointer)
{
    Target("Under", {100, 100, 50, 50});
    TTomericDragObj* piece = MakeDraggable(dmAnywhere, {});
    const TDropChoice choice = piece->ChooseDrop({110, 110}, {120, 120});
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.target, QStringLiteral("Under"));
    EXPECT_TRUE(piece->ChooseDrop({0, 0}, {5, 5}).target.isEmpty());
}

TEST_F(Dragging, AcceptedDropsMoveTheObject)
{
    Target("Bin", {100, 100, 50, 50});
    TTomericDragObj* piece = MakeDraggable(dmOntoTargets | dmToFront, "Bin");
    Target("Above", {0, 0, 5, 5});
    EXPECT_TRUE(piece->FinishDrop({110, 110}, {115, 115}));
    EXPECT_EQ(piece->pos(), QPoint(110, 110));
    EXPECT_EQ(page.children().last(), piece); // brought to the front
}

TEST_F(Dragging, TheDropActionSeesTheDropAndCanRefuseIt)
{
    Target("Bin", {100, 100, 50, 50});
    TTomericDragObj* piece = MakeDraggable(dmOntoTargets, "Bin", QStringLiteral("Decide"));
    piece->move(5, 5);
    QStringList seen;
    host.onRun = [&](const testing::TRecordedRun& run) {
        EXPECT_EQ(run.kind, int(ekDropped));
        seen << GetVariable("DropAccept") << GetVariable("DropX") << GetVariable("DropY") << GetVariable("DropTarget");
        SetVariable("DropAccept", "false");
    };
    EXPECT_FALSE(piece->FinishDrop({110, 110}, {115, 115}));
    EXPECT_EQ(seen, (QStringList{"True", "110", "110", "Bin"}));
    EXPECT_EQ(piece->pos(), QPoint(5, 5)); // back where it was
    for (const char* name : {"DropAccept", "DropX", "DropY", "DropTarget"})
        EXPECT_TRUE(GetVariable(name).isEmpty()) << name;
}

TEST_F(Dragging, TheDropActionCanMoveTheDrop)
{
    TTomericDragObj* piece = MakeDraggable(dmAnywhere, {}, QStringLiteral("Decide"));
    host.onRun = [](const testing::TRecordedRun&) {
        SetVariable("DropX", "40");
        SetVariable("DropY", "not a number");
    };
    EXPECT_TRUE(piece->FinishDrop({10, 20}, {15, 25}));
    EXPECT_EQ(piece->pos(), QPoint(40, 20));
}

TEST_F(Dragging, AReleaseWithoutDragClicks)
{
    TObjectRecord r = Record(otPolygon, "Poly", 0, 0, 20, 20);
    r.As<TPolygonProps>()->clickAction = QStringLiteral("Clicked");
    r.As<TPolygonProps>()->rClickAction = QStringLiteral("Right");
    r.As<TPolygonProps>()->dragMode = dmAnywhere;
    auto* poly = new TTomericDragObj(&page, r, host);
    EXPECT_EQ(poly->CursorSlot(), csHotSpot);
    Click(poly, Qt::LeftButton);
    Click(poly, Qt::RightButton);
    testing::TurnEventLoop();
    ASSERT_EQ(host.runs.size(), 2u);
    EXPECT_EQ(host.runs[0].kind, int(ekClick));
    EXPECT_EQ(host.runs[1].kind, int(ekRightClick));
    EXPECT_EQ(host.runs[1].text, QStringLiteral("Right"));
}

TEST_F(Dragging, CursorFollowsClickActionAndDragMode)
{
    TTomericDragObj* piece = MakeDraggable(0, {});
    EXPECT_EQ(piece->CursorSlot(), csApplication);
    piece->SetDragMode(dmAnywhere);
    EXPECT_EQ(piece->CursorSlot(), csDrag);
    piece->SetClickAction(QStringLiteral("Go"));
    EXPECT_EQ(piece->CursorSlot(), csHotSpot);
}

TEST_F(Dragging, AMouseDragDropsThePiece)
{
    TTomericDragObj* piece = MakeDraggable(dmAnywhere, {});
    piece->move(10, 10);
    page.show();
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, piece->mapToGlobal(at), Qt::LeftButton, buttons, {});
        QCoreApplication::sendEvent(piece, &event);
    };
    send(QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
    send(QEvent::MouseMove, {6, 6}, Qt::LeftButton); // under the threshold
    EXPECT_FALSE(piece->Dragging());
    send(QEvent::MouseMove, {45, 25}, Qt::LeftButton);
    EXPECT_TRUE(piece->Dragging());
    send(QEvent::MouseButtonRelease, {45, 25}, {});
    EXPECT_FALSE(piece->Dragging());
    EXPECT_EQ(piece->pos(), QPoint(50, 30));
    testing::TurnEventLoop();
    EXPECT_TRUE(host.runs.empty()); // a drag is no click
    page.hide();
}

} // namespace
} // namespace tomeric
