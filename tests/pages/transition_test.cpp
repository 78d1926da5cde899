// Transitions: choosing the effect, the delay level, plug-in effects, and
// the rule that every effect ends with the new picture and stays in its area.

#include "pages/transitions.h"

#include "transition_test_support.h"

namespace tomeric {
namespace {

using namespace tomeric::testing;

// ---- delay level ----------------------------------------------------------------

struct DelayCase {
    const char* options;
    int level;
};

class DelayLevel : public ::testing::TestWithParam<DelayCase> {};

TEST_P(DelayLevel, IsTheClampedIntegerValueOrFive) {
    EXPECT_EQ(TransitionDelayLevel(QString::fromUtf8(GetParam().options)), GetParam().level)
        << GetParam().options;
}

INSTANTIATE_TEST_SUITE_P(Cases, DelayLevel,
                         ::testing::Values(DelayCase{"", 5}, DelayCase{"fast", 5},
                                           DelayCase{"3.5", 5}, DelayCase{"0", 0},
                                           DelayCase{"7", 7}, DelayCase{" 8 ", 8},
                                           DelayCase{"10", 10}, DelayCase{"25", 10},
                                           DelayCase{"-3", 0}));

// ---- names ----------------------------------------------------------------------

TEST(TransitionNames, AllTwentyFourAreFoundInAnyCase) {
    for (int i = 0; i < kTransitionEffectCount; ++i) {
        const QString name = TransitionEffectName(TTransitionEffect(i));
        for (const QString& spelling : {name, name.toLower(), name.toUpper()}) {
            const auto effect = TransitionEffectByName(spelling);
            ASSERT_TRUE(effect.has_value()) << spelling.toStdString();
            EXPECT_EQ(int(*effect), i);
        }
    }
}

TEST(TransitionNames, TableOrderIsTheEffectIndex) {
    EXPECT_EQ(TransitionEffectByName("slide left"), TTransitionEffect::teSlideLeft);
    EXPECT_EQ(int(*TransitionEffectByName("Wipe Left")), 12);
    EXPECT_EQ(int(*TransitionEffectByName("Page Turn")), 23);
    EXPECT_FALSE(TransitionEffectByName("Swirl").has_value());
    EXPECT_FALSE(TransitionEffectByName("SlideLeft").has_value());
}

// ---- unknown names and plug-ins --------------------------------------------------

TEST(UnknownTransitions, DrawTheNewPictureAtOnce) {
    TransitionScene scene({40, 30}, {5, 5, 20, 10});
    scene.Run(scene.Request("Swirl", "10"));
    EXPECT_TRUE(scene.EndsWithNewPicture());
    EXPECT_TRUE(scene.sleeper.sleeps.empty());
    EXPECT_EQ(scene.surface.Presented().size(), 1u);
}

TEST(UnknownTransitions, GoToThePlugInHookFirst) {
    TransitionScene scene({40, 30}, {5, 5, 20, 10});
    TTransitionRequest request = scene.Request("Swirl", "4");
    request.direction = -1;
    TPlugInTransitionRequest asked;
    TTransitionEnvironment environment;
    environment.plugIns = [&](const TPlugInTransitionRequest& r) {
        asked = r;
        return true; // it drew (here: nothing)
    };
    scene.Run(request, environment);
    EXPECT_EQ(asked.name, "Swirl");
    EXPECT_EQ(asked.options, "4");
    EXPECT_EQ(asked.direction, -1);
    EXPECT_EQ(asked.area, QRect(5, 5, 20, 10));
    EXPECT_EQ(asked.surface, &scene.surface);
    EXPECT_EQ(asked.toPicture, scene.newPicture);
    EXPECT_EQ(asked.fromPicture, scene.oldPicture);
    EXPECT_TRUE(scene.surface.Presented().empty()); // the plug-in's drawing stands
}

TEST(UnknownTransitions, APlugInThatDidNotDrawLeavesACopy) {
    TransitionScene scene({40, 30}, {5, 5, 20, 10});
    int calls = 0;
    TTransitionEnvironment environment;
    environment.plugIns = [&](const TPlugInTransitionRequest&) { return ++calls, false; };
    scene.Run(scene.Request("Swirl"), environment);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(scene.EndsWithNewPicture());
}

TEST(BuiltInTransitions, NeverAskThePlugIns) {
    TransitionScene scene({40, 30}, {5, 5, 20, 10});
    TTransitionEnvironment environment;
    environment.plugIns = [](const TPlugInTransitionRequest&) -> bool {
        ADD_FAILURE() << "asked";
        return true;
    };
    scene.Run(scene.Request("none"), environment);
    EXPECT_TRUE(scene.EndsWithNewPicture());
}

// ---- pictures ---------------------------------------------------------------------

TEST(TransitionPictures, TheViewStandsInForAMissingNewPicture) {
    TransitionScene scene({40, 30}, {5, 5, 20, 10});
    TTransitionRequest request = scene.Request("Wipe Down");
    request.view = request.toPicture;
    request.toPicture = QImage();
    scene.Run(request);
    EXPECT_TRUE(scene.EndsWithNewPicture());
}

TEST(TransitionPictures, WithoutAnyPictureNothingIsDrawn) {
    TransitionScene scene({40, 30}, {5, 5, 20, 10});
    TTransitionRequest request = scene.Request("Fade", "5");
    request.toPicture = QImage();
    const QImage before = scene.surface.Image();
    scene.Run(request);
    EXPECT_EQ(scene.surface.Image(), before);
    EXPECT_TRUE(scene.sleeper.sleeps.empty());
}

TEST(TransitionPictures, ALargerPictureStaysInsideTheArea) {
    TransitionScene scene({40, 30}, {5, 5, 20, 10});
    TTransitionRequest request = scene.Request("Slide Right");
    const QImage big = Pattern(35, 25, 2);
    request.toPicture = big;
    scene.newPicture = big.copy(0, 0, 20, 10);
    scene.Run(request);
    EXPECT_TRUE(scene.EndsWithNewPicture());
}

TEST(TransparentTransition, CopiesInsideTheClipRegionOnly) {
    TransitionScene scene({40, 30}, {0, 0, 20, 10});
    TTransitionRequest request = scene.Request("Transparent");
    request.clipRegion = QRegion(0, 0, 5, 10);
    scene.Run(request);
    const QImage& image = scene.surface.Image();
    EXPECT_EQ(image.pixel(2, 2), scene.newPicture.pixel(2, 2));
    EXPECT_EQ(image.pixel(10, 2), scene.oldPicture.pixel(10, 2));
    EXPECT_TRUE(scene.sleeper.sleeps.empty());
}

// ---- every effect ends with the new picture -------------------------------------

struct EndCase {
    int effect;
    QRect area;
    int level;
    int direction;
};

class EveryEffect : public ::testing::TestWithParam<EndCase> {};

TEST_P(EveryEffect, EndsWithTheNewPictureAndTouchesNothingOutside) {
    const EndCase& c = GetParam();
    TransitionScene scene({70, 60}, c.area);
    TTransitionRequest request =
        scene.Request(TransitionEffectName(TTransitionEffect(c.effect)), QString::number(c.level));
    request.direction = c.direction;
    TTransitionEnvironment environment;
    environment.seed = 7;
    scene.Run(request, environment);
    EXPECT_TRUE(scene.EndsWithNewPicture());
    for (const QRect& dirty : scene.surface.Presented())
        EXPECT_TRUE(c.area.contains(dirty) || dirty.isEmpty());
}

std::vector<EndCase> EndCases() {
    const std::vector<QRect> areas = {{5, 7, 37, 23}, {0, 0, 1, 1}, {3, 2, 50, 3},
                                      {2, 3, 3, 50},  {0, 0, 64, 48}, {10, 10, 8, 13}};
    std::vector<EndCase> cases;
    for (int effect = 0; effect < kTransitionEffectCount; ++effect)
        for (const QRect& area : areas)
            for (int level : {0, 5, 10})
                cases.push_back({effect, area, level, 1});
    const int pageTurn = int(TTransitionEffect::tePageTurn);
    for (const QRect& area : areas)
        cases.push_back({pageTurn, area, 3, -1});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Effects, EveryEffect, ::testing::ValuesIn(EndCases()),
                         [](const ::testing::TestParamInfo<EndCase>& info) {
                             std::string name = TransitionEffectName(
                                 TTransitionEffect(info.param.effect)).toStdString();
                             name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
                             const QRect& a = info.param.area;
                             return name + "_" + std::to_string(a.width()) + "x"
                                 + std::to_string(a.height()) + "_L"
                                 + std::to_string(info.param.level)
                                 + (info.param.direction < 0 ? "_back" : "");
                         });

} // namespace
} // namespace tomeric
