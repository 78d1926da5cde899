// A drag whose object goes away under the pointer (its page is left, a
// script hides it) is abandoned: no drop, the object stays where it was,
// the drag image goes and the cursor comes back.

#include "objects/drag_object.h"

#include "objects_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>

namespace tomeric {
namespace {

using testing::Record;
using testing::TTestObjectHost;
using testing::TTestPage;

class AbandonedDrags : public ::testing::Test {
protected:
    TTomericDragObj* MakePiece(int mode)
    {
        TObjectRecord r = Record(otText, "Piece", 10, 10, 20, 20);
        auto* props = r.As<TTextProps>();
        props->dragMode = mode;
        props->dropAction = QStringLiteral("Dropped");
        piece = new TTomericDragObj(&page, r, host);
        piece->SetClickAction(QStringLiteral("Clicked"));
        piece->move(10, 10);
        page.show();
        return piece;
    }
    void Send(QEvent::Type type, QPoint at, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, at, piece->mapToGlobal(at), Qt::LeftButton, buttons, {});
        QCoreApplication::sendEvent(piece, &event);
    }
    void StartDragging()
    {
        Send(QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
        Send(QEvent::MouseMove, {45, 25}, Qt::LeftButton);
        ASSERT_TRUE(piece->Dragging());
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    }
    // Nothing of the drag is left, and a late release neither drops nor clicks.
    void ExpectAbandoned()
    {
        EXPECT_FALSE(piece->Dragging());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        for (const QLabel* image : page.findChildren<QLabel*>()) EXPECT_FALSE(image->isVisible());
        Send(QEvent::MouseButtonRelease, {45, 25}, {});
        testing::TurnEventLoop();
        EXPECT_EQ(piece->pos(), QPoint(10, 10));
        EXPECT_TRUE(host.runs.empty());
    }
    void TearDown() override
    {
        page.hide();
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    }
    TTestPage page{QSize(300, 200)};
    TTestObjectHost host;
    TTomericDragObj* piece = nullptr;
};

TEST_F(AbandonedDrags, LeavingThePageAbandonsTheDrag)
{
    MakePiece(dmAnywhere);
    StartDragging();
    piece->OnPageHide();
    ExpectAbandoned();
}

TEST_F(AbandonedDrags, HidingTheObjectAbandonsTheDrag)
{
    MakePiece(dmAnywhere);
    StartDragging();
    piece->hide();
    ExpectAbandoned();
}

TEST_F(AbandonedDrags, TheObjectsOwnHidingIsPartOfTheDrag)
{
    MakePiece(dmAnywhere | dmHideWhileDragged);
    StartDragging();
    EXPECT_TRUE(piece->isHidden());
    EXPECT_TRUE(piece->Dragging());
}

TEST_F(AbandonedDrags, AnObjectHiddenForItsDragComesBackWhenThePageIsLeft)
{
    MakePiece(dmAnywhere | dmHideWhileDragged);
    StartDragging();
    piece->OnPageHide();
    EXPECT_FALSE(piece->isHidden());
    ExpectAbandoned();
}

TEST_F(AbandonedDrags, LeavingThePageWithoutADragChangesNothing)
{
    MakePiece(dmAnywhere);
    piece->OnPageHide();
    EXPECT_FALSE(piece->Dragging());
    EXPECT_EQ(piece->pos(), QPoint(10, 10));
    EXPECT_TRUE(host.runs.empty());
}

} // namespace
} // namespace tomeric
