// The common behaviour of page objects: transparency, setters, captions,
// how scripts run, enter and exit.

#include "actions/action_eval.h"
#include "objects/object_factory.h"
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

} // namespace
} // namespace tomeric
