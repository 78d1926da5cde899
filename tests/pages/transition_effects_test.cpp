// The pacing and drawing of individual effects: their sleeps, the dither
// patterns, the block order and the moving old picture of slides.

#include "pages/transitions.h"

#include "transition_test_support.h"

#include <set>

namespace tomeric {
namespace {

using namespace tomeric::testing;

// ---- sleeps --------------------------------------------------------------------

struct SleepCase {
    const char* name;
    QSize size;
    int level;
    std::vector<int> sleeps;
    int direction = 1;
};

std::vector<int> Repeat(int value, int count) { return std::vector<int>(std::size_t(count), value); }

std::vector<int> PageTurnSleeps() {
    std::vector<int> sleeps;
    for (int s = 20; s >= 2; s -= 2) // the old half folds away faster and faster
        sleeps.push_back(s);
    for (int s = 2; s <= 20; s += 2) // the new half unfolds slower and slower
        sleeps.push_back(s);
    return sleeps;
}

class EffectSleeps : public ::testing::TestWithParam<SleepCase> {};

TEST_P(EffectSleeps, FollowTheDelayLevel) {
    const SleepCase& c = GetParam();
    TransitionScene scene({c.size.width() + 4, c.size.height() + 4}, QRect(QPoint(2, 2), c.size));
    TTransitionRequest request = scene.Request(c.name, QString::number(c.level));
    request.direction = c.direction;
    scene.Run(request);
    EXPECT_EQ(scene.sleeper.sleeps, c.sleeps);
    EXPECT_TRUE(scene.EndsWithNewPicture());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EffectSleeps,
    ::testing::Values(
        SleepCase{"Dissolve", {16, 16}, 0, {}},
        SleepCase{"Dissolve", {16, 16}, 3, Repeat(30, 8)},
        SleepCase{"Block Dissolve", {16, 16}, 1, Repeat(10, 8)},
        SleepCase{"Fade", {16, 16}, 0, {}},
        SleepCase{"Fade", {16, 16}, 2, Repeat(20, 7)},
        SleepCase{"Wipe Right", {40, 5}, 4, Repeat(6, 4)},  // s = 10
        SleepCase{"Wipe Left", {41, 5}, 4, Repeat(6, 5)},   // the last step is shortened
        SleepCase{"Wipe Down", {5, 24}, 2, Repeat(4, 2)},   // s = 12
        SleepCase{"Wipe Up", {5, 24}, 2, Repeat(4, 2)},
        SleepCase{"Slide Left", {26, 5}, 1, Repeat(3, 2)},  // s = 13
        SleepCase{"Slide Right", {26, 5}, 1, Repeat(3, 2)},
        SleepCase{"Slide Up", {5, 26}, 1, Repeat(4, 2)},    // one more than the others
        SleepCase{"Slide Down", {5, 26}, 1, Repeat(3, 2)},
        SleepCase{"Explode", {28, 28}, 4, Repeat(4, 2)},    // a = 10, b = 14
        SleepCase{"Grow", {28, 28}, 4, Repeat(4, 2)},
        SleepCase{"Implode", {28, 28}, 4, Repeat(4, 1)},  // b = 14 closes the hole at once
        SleepCase{"Explode", {28, 28}, 0, {}},              // sleep L = 0 is skipped
        SleepCase{"Weave Horizontal", {30, 20}, 1, Repeat(2, 3)},
        SleepCase{"Weave Vertical", {20, 30}, 1, Repeat(2, 3)},
        SleepCase{"Split Horizontal", {20, 5}, 10, Repeat(20, 3)}, // s = 4
        SleepCase{"Split Vertical", {5, 20}, 4, Repeat(8, 1)},     // s = 10
        SleepCase{"Blocks", {16, 16}, 2, {}},               // 4 blocks: never a multiple of 10
        SleepCase{"Blocks", {160, 8}, 2, Repeat(3, 2)},     // 20 blocks: at 20 and at 10
        SleepCase{"Checkerboard", {16, 16}, 0, Repeat(1, 4)}, // two rows, two passes
        SleepCase{"Transparent", {16, 16}, 9, {}},
        SleepCase{"None", {16, 16}, 9, {}},
        SleepCase{"Page Turn", {40, 8}, 0, PageTurnSleeps()},
        SleepCase{"Page Turn", {40, 8}, 0, PageTurnSleeps(), -1}),
    [](const ::testing::TestParamInfo<SleepCase>& info) {
        std::string name = info.param.name;
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
        return name + "_L" + std::to_string(info.param.level) + "_" + std::to_string(info.index);
    });

// ---- Blocks -----------------------------------------------------------------------

TEST(BlocksEffect, RevealsEveryBlockExactlyOnce) {
    for (std::uint32_t seed : {1u, 2u, 3u, 99u}) {
        TransitionScene scene({50, 40}, {3, 4, 37, 23}); // 5 × 3 blocks, the last ones cut
        TTransitionEnvironment environment;
        environment.seed = seed;
        scene.Run(scene.Request("Blocks"), environment);
        const std::vector<QRect>& presented = scene.surface.Presented();
        ASSERT_EQ(presented.size(), 15u + 1u); // each block, then the final copy
        std::set<std::pair<int, int>> seen;
        for (std::size_t i = 0; i + 1 < presented.size(); ++i) {
            const QRect& block = presented[i];
            EXPECT_EQ((block.left() - 3) % 8, 0);
            EXPECT_EQ((block.top() - 4) % 8, 0);
            EXPECT_TRUE(seen.insert({block.left(), block.top()}).second) << "twice";
        }
        EXPECT_EQ(seen.size(), 15u);
        EXPECT_TRUE(scene.EndsWithNewPicture());
    }
}

TEST(BlocksEffect, OrderDependsOnTheShuffle) {
    auto order = [](std::uint32_t seed) {
        TransitionScene scene({64, 64}, {0, 0, 64, 64});
        TTransitionEnvironment environment;
        environment.seed = seed;
        scene.Run(scene.Request("Blocks"), environment);
        return scene.surface.Presented();
    };
    EXPECT_EQ(order(5), order(5));
    EXPECT_NE(order(5), order(6));
}

// ---- dither patterns ----------------------------------------------------------------

TEST(DitherPatterns, LastStepShowsEverything) {
    for (const auto* patterns : {&kDissolvePatterns, &kBlockDissolvePatterns})
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_FALSE(DitherKeepsOld((*patterns)[7], x, y));
}

TEST(DitherPatterns, FirstByteIsTheBottomRowAndTheHighBitTheLeftPixel) {
    // Block Dissolve's first step shows only the bottom-left pixel of a cell.
    int shown = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            shown += DitherKeepsOld(kBlockDissolvePatterns[0], x, y) ? 0 : 1;
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(DitherKeepsOld(kBlockDissolvePatterns[0], 0, 7));
    EXPECT_FALSE(DitherKeepsOld(kBlockDissolvePatterns[0], 8, 15)); // the cell repeats
}

struct DitherCase {
    const char* name;
    const std::array<TDitherPattern, 8>* patterns;
};

class DitherSteps : public ::testing::TestWithParam<DitherCase> {};

TEST_P(DitherSteps, EachStepShowsWhatItsPatternClearsAndKeepsWhatWasShown) {
    const DitherCase& c = GetParam();
    TransitionScene scene({30, 30}, {3, 5, 19, 17});
    std::vector<QImage> steps;
    scene.surface.SetPresentObserver([&](const QImage& canvas, const QRect& area) {
        steps.push_back(canvas.copy(area));
    });
    scene.Run(scene.Request(c.name));
    ASSERT_EQ(steps.size(), 8u);
    for (int step = 0; step < 8; ++step) {
        for (int y = 0; y < 17; ++y) {
            for (int x = 0; x < 19; ++x) {
                bool shown = false;
                for (int earlier = 0; earlier <= step; ++earlier)
                    shown = shown || !DitherKeepsOld((*c.patterns)[std::size_t(earlier)], x, y);
                const QRgb expected = shown ? scene.newPicture.pixel(x, y)
                                            : scene.oldPicture.pixel(x, y);
                ASSERT_EQ(steps[std::size_t(step)].pixel(x, y), expected)
                    << "step " << step << " at (" << x << ", " << y << ")";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Effects, DitherSteps,
                         ::testing::Values(DitherCase{"Dissolve", &kDissolvePatterns},
                                           DitherCase{"Block Dissolve", &kBlockDissolvePatterns}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
                             return name;
                         });

// ---- slides move the old picture ----------------------------------------------------

TEST(SlideEffect, PushesTheOldPictureOutAndBringsTheNewOneIn) {
    TransitionScene scene({40, 20}, {0, 0, 40, 20});
    std::vector<QImage> steps;
    scene.surface.SetPresentObserver([&](const QImage& canvas, const QRect&) {
        steps.push_back(canvas.copy());
    });
    scene.Run(scene.Request("Slide Left", "4")); // s = 10
    ASSERT_EQ(steps.size(), 4u);
    const QImage& first = steps[0];
    // The old picture moved left by 10; the new one's left edge is at x = 30.
    EXPECT_EQ(first.pixel(0, 5), scene.oldPicture.pixel(10, 5));
    EXPECT_EQ(first.pixel(29, 5), scene.oldPicture.pixel(39, 5));
    EXPECT_EQ(first.pixel(30, 5), scene.newPicture.pixel(0, 5));
    EXPECT_EQ(first.pixel(39, 5), scene.newPicture.pixel(9, 5));
    const QImage& second = steps[1];
    EXPECT_EQ(second.pixel(20, 5), scene.newPicture.pixel(0, 5));
    EXPECT_EQ(second.pixel(0, 5), scene.oldPicture.pixel(20, 5));
}

TEST(SlideEffect, RightSlideBringsTheNewPictureInByItsRightEdge) {
    TransitionScene scene({40, 20}, {0, 0, 40, 20});
    std::vector<QImage> steps;
    scene.surface.SetPresentObserver([&](const QImage& canvas, const QRect&) {
        steps.push_back(canvas.copy());
    });
    scene.Run(scene.Request("Slide Right", "4"));
    const QImage& first = steps[0];
    EXPECT_EQ(first.pixel(0, 3), scene.newPicture.pixel(30, 3));
    EXPECT_EQ(first.pixel(10, 3), scene.oldPicture.pixel(0, 3));
}

// ---- page turn ---------------------------------------------------------------------

TEST(PageTurnEffect, SqueezesTheOldRightHalfTowardsTheCentre) {
    TransitionScene scene({40, 8}, {0, 0, 40, 8});
    std::vector<QImage> steps;
    scene.surface.SetPresentObserver([&](const QImage& canvas, const QRect&) {
        steps.push_back(canvas.copy());
    });
    scene.Run(scene.Request("Page Turn", "0")); // m = 20, b = 2
    const QImage& first = steps[0];
    EXPECT_EQ(first.pixel(5, 4), scene.oldPicture.pixel(5, 4));   // old left half stays
    EXPECT_EQ(first.pixel(39, 4), scene.newPicture.pixel(39, 4)); // strip of the new picture
    EXPECT_EQ(first.pixel(20, 4), scene.oldPicture.pixel(20, 4)); // squeezed old half starts at the centre
}

TEST(PageTurnEffect, UsesTheScreenWhenThereIsNoOldPicture) {
    TransitionScene scene({40, 8}, {0, 0, 40, 8});
    TTransitionRequest request = scene.Request("Page Turn", "2");
    request.fromPicture = QImage();
    std::vector<QImage> steps;
    scene.surface.SetPresentObserver([&](const QImage& canvas, const QRect&) {
        steps.push_back(canvas.copy());
    });
    scene.Run(request);
    EXPECT_EQ(steps[0].pixel(20, 4), scene.oldPicture.pixel(20, 4));
    EXPECT_TRUE(scene.EndsWithNewPicture());
}

} // namespace
} // namespace tomeric
