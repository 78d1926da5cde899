// The splash screen's progress bar: its range rule and stepping.

#include "objects/progress_bar.h"

#include "objects_test_support.h"

#include <gtest/gtest.h>

namespace tomeric::testing {
namespace {

TEST(ProgressBar, StartsAtZeroOfHundredWithStepTen)
{
    ObjectsApplication();
    TTomericProgressBar bar;
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Position(), 0);
    EXPECT_EQ(bar.Step(), 10);
    bar.StepIt();
    EXPECT_EQ(bar.Position(), 10);
}

TEST(ProgressBar, MaximumBelowMinimumBecomesMinimumPlusOne)
{
    ObjectsApplication();
    TTomericProgressBar bar;
    bar.SetMin(50);
    bar.SetMax(10);
    EXPECT_EQ(bar.Max(), 51);
    bar.SetMin(500);
    EXPECT_EQ(bar.Max(), 501);
}

TEST(ProgressBar, WideRangesPassAsGivenAndStepsStopAtTheEnd)
{
    ObjectsApplication();
    TTomericProgressBar bar;
    bar.SetMax(1000000);
    bar.SetStep(400000);
    bar.StepIt();
    bar.StepIt();
    bar.StepIt();
    EXPECT_EQ(bar.Position(), 1000000);
    bar.SetOrientation(pbVertical);
    EXPECT_EQ(bar.Orientation(), pbVertical);
}

} // namespace
} // namespace tomeric::testing
