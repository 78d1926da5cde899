// Dropping over a polygon: the pointer belongs to the polygon only inside
// its shape, so a drop beside the shape, still inside its rectangle, lands
// on what lies beneath.

#include "objects/drag_object.h"
#include "objects/object_factory.h"
#include "objects/polygon_object.h"

#include "objects_test_support.h"
#include "test_object_host.h"

#include <gtest/gtest.h>

namespace tomeric {
namespace {

using testing::Record;
using testing::TTestObjectHost;
using testing::TTestPage;

class DropOverPolygons : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateObject(&page, Record(otRect, "Backdrop", 100, 100, 80, 80), host);
        // The upper-left half of its rectangle.
        TObjectRecord corner = Record(otPolygon, "Corner", 100, 100, 80, 80);
        corner.As<TPolygonProps>()->points = QStringLiteral("3,0,0,79,0,0,79");
        CreateObject(&page, corner, host);
        piece = new TTomericDragObj(&page, Record(otText, "Piece", 0, 0, 20, 20), host);
        piece->SetDragMode(dmAnywhere);
    }
    TTestPage page{QSize(300, 200)};
    TTestObjectHost host;
    TTomericDragObj* piece = nullptr;
};

TEST_F(DropOverPolygons, InsideTheShapeThePolygonIsTheTarget)
{
    EXPECT_EQ(piece->ChooseDrop({100, 100}, {110, 110}).target, QStringLiteral("Corner"));
}

TEST_F(DropOverPolygons, BesideTheShapeTheObjectBeneathIsTheTarget)
{
    const TDropChoice choice = piece->ChooseDrop({150, 150}, {170, 170});
    EXPECT_TRUE(choice.accepted);
    EXPECT_EQ(choice.target, QStringLiteral("Backdrop"));
}

TEST_F(DropOverPolygons, BesideAShapeOverTheBarePageThereIsNoTarget)
{
    TObjectRecord lone = Record(otPolygon, "Lone", 200, 10, 50, 50);
    lone.As<TPolygonProps>()->points = QStringLiteral("3,0,0,49,0,0,49");
    CreateObject(&page, lone, host);
    EXPECT_EQ(piece->ChooseDrop({200, 10}, {205, 15}).target, QStringLiteral("Lone"));
    const TDropChoice choice = piece->ChooseDrop({220, 30}, {245, 55});
    EXPECT_TRUE(choice.accepted);
    EXPECT_TRUE(choice.target.isEmpty());
}

} // namespace
} // namespace tomeric
