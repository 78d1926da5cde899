// The hatch patterns P2..P48 as data.

#include "objects/fill_patterns.h"

#include <gtest/gtest.h>

#include <set>

namespace tomeric {
namespace {

TEST(FillPatterns, FortySevenDistinctPatterns)
{
    std::set<THatchBits> seen;
    for (int n = kFirstHatchPattern; n <= kLastHatchPattern; ++n) seen.insert(HatchBits(n));
    EXPECT_EQ(seen.size(), 47u);
}

TEST(FillPatterns, EveryPatternHasBothForegroundAndBackground)
{
    for (int n = kFirstHatchPattern; n <= kLastHatchPattern; ++n) {
        int set = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) set += HatchPixelSet(n, x, y);
        EXPECT_GT(set, 0) << n;
        EXPECT_LT(set, 64) << n;
    }
}

TEST(FillPatterns, TheClassicHatchesComeFirst)
{
    // P2 horizontal: one full row; P3 vertical: one full column.
    int fullRows = 0;
    for (std::uint8_t row : HatchBits(2)) fullRows += row == 0xFF;
    EXPECT_EQ(fullRows, 1);
    for (std::uint8_t row : HatchBits(3)) EXPECT_EQ(row, HatchBits(3)[0]);
    // P4 and P5 are mirrored diagonals.
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(HatchPixelSet(4, i, i));
    for (int i = 0; i < 8; ++i) EXPECT_TRUE(HatchPixelSet(5, 7 - i, i));
}

TEST(FillPatterns, DotScreensRiseInDensity)
{
    auto count = [](int n) {
        int set = 0;
        for (std::uint8_t row : HatchBits(n)) set += __builtin_popcount(row);
        return set;
    };
    for (int n = 9; n <= 18; ++n) EXPECT_GT(count(n), count(n - 1)) << n;
}

TEST(FillPatterns, NumbersOutsideTheRangeAreNoPattern)
{
    for (int n : {-1, 0, 1, 49, 255}) {
        EXPECT_FALSE(IsHatchPattern(n));
        EXPECT_EQ(HatchBits(n), THatchBits{});
    }
    EXPECT_EQ(HatchResourceName(17), QStringLiteral("P17"));
}

TEST(FillPatterns, TilesTileFromTheOrigin)
{
    const QImage tile = HatchTile(2, Qt::red, QColor(Qt::white));
    ASSERT_EQ(tile.size(), QSize(8, 8));
    EXPECT_EQ(QColor(tile.pixel(0, 3)), QColor(Qt::red));
    EXPECT_EQ(QColor(tile.pixel(0, 0)), QColor(Qt::white));
    const QImage clear = HatchTile(2, Qt::red, std::nullopt);
    EXPECT_EQ(qAlpha(clear.pixel(0, 0)), 0);
    EXPECT_EQ(QColor(clear.pixel(5, 11 % 8)), QColor(Qt::red));
}

} // namespace
} // namespace tomeric
