// The Random command's numbers: the range rules and a replayable generator.

#include "math/math_expression.h"

#include <gtest/gtest.h>
#include <set>
#include <vector>

using namespace tomeric;

namespace {

std::set<long long> Draw(long long maximum, int count) {
    std::set<long long> seen;
    for (int i = 0; i < count; ++i)
        seen.insert(RandomNumber(maximum));
    return seen;
}

TEST(RandomNumbers, ZeroAlwaysGivesZero) {
    EXPECT_EQ(Draw(0, 100), (std::set<long long>{0}));
}

TEST(RandomNumbers, StayBetweenZeroAndTheMaximumInclusiveAndReachBothEnds) {
    SeedRandom(7);
    EXPECT_EQ(Draw(6, 2000), (std::set<long long>{0, 1, 2, 3, 4, 5, 6}));
}

TEST(RandomNumbers, ANegativeMaximumGivesNumbersFromItUpToZero) {
    SeedRandom(7);
    EXPECT_EQ(Draw(-3, 1000), (std::set<long long>{-3, -2, -1, 0}));
}

TEST(RandomNumbers, TheWholeIntegerRangeIsAllowed) {
    for (int i = 0; i < 100; ++i) {
        EXPECT_GE(RandomNumber(LLONG_MAX), 0);
        EXPECT_LE(RandomNumber(LLONG_MIN), 0);
    }
}

TEST(RandomNumbers, TheSameSeedReplaysTheSameSequence) {
    const auto sequence = [] {
        std::vector<long long> values;
        for (int i = 0; i < 20; ++i)
            values.push_back(RandomNumber(1000));
        return values;
    };
    SeedRandom(42);
    const auto first = sequence();
    SeedRandom(42);
    EXPECT_EQ(sequence(), first);
    SeedRandom(43);
    EXPECT_NE(sequence(), first);
    SeedRandomFromClock();
}

struct RandomTextCase {
    const char* maximum;
    long long low;
    long long high;
};

void PrintTo(const RandomTextCase& c, std::ostream* os) { *os << '"' << c.maximum << '"'; }

class RandomCommandText : public ::testing::TestWithParam<RandomTextCase> {};

TEST_P(RandomCommandText, ReadsTheMaximumAsAnInteger) {
    const RandomTextCase& c = GetParam();
    for (int i = 0; i < 200; ++i) {
        bool ok = false;
        const long long value = RandomText(QString::fromLatin1(c.maximum)).toLongLong(&ok);
        ASSERT_TRUE(ok);
        EXPECT_GE(value, c.low);
        EXPECT_LE(value, c.high);
    }
}

INSTANTIATE_TEST_SUITE_P(Parameters, RandomCommandText, ::testing::Values(
    RandomTextCase{"6", 0, 6},
    RandomTextCase{" 6 ", 0, 6},
    RandomTextCase{"0", 0, 0},
    RandomTextCase{"-2", -2, 0},
    RandomTextCase{"", 0, 0},
    RandomTextCase{"abc", 0, 0},
    RandomTextCase{"6.5", 0, 0},         // not an integer
    RandomTextCase{"Error", 0, 0},
    RandomTextCase{"99999999999999999999", 0, 0})); // beyond any integer

} // namespace
