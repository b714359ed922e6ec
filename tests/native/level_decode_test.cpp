/* The level word of the level bar: percentage, text layout and the bar's width. */
#include <gtest/gtest.h>
#include "controls/level_decode.h"

TEST(DecodeLevel, PlainPercentagesCentreTheTextAndOffsetOnesPutItTopLeft)
{
    const struct { uint16_t level; uint32_t percent; uint32_t layout; } cases[] = {
        { 0, 0, 37 },      { 1, 1, 37 },       { 7, 7, 37 },       { 100, 100, 37 },
        { 101, 100, 37 },  { 999, 100, 37 },   { 1000, 0, 0 },     { 1001, 1, 0 },
        { 1050, 50, 0 },   { 1100, 100, 0 },   { 1101, 100, 37 },  { 32767, 100, 37 },
        { 65535, 100, 37 },
    };
    for (const auto &c : cases) {
        LevelDecoded d = DecodeLevel(c.level);
        EXPECT_EQ(c.percent, d.percent) << "level " << c.level;
        EXPECT_EQ(c.layout, d.layout) << "level " << c.level;
    }
}

TEST(DecodeLevel, TheWaitDialogsLevelsFillThatManyPercent)
{
    for (int tick = 0; tick < 32; tick++) {
        uint16_t level = (uint16_t)(tick * 3 + 7);
        EXPECT_EQ(level, DecodeLevel(level).percent) << "tick " << tick;
        EXPECT_EQ(37u, DecodeLevel(level).layout) << "tick " << tick;
    }
    EXPECT_EQ(100u, DecodeLevel(1100).percent);
}

TEST(LevelBarWidth, TruncatesTowardsZero)
{
    const struct { int inner; uint32_t percent; int width; } cases[] = {
        { 277, 0, 0 },   { 277, 7, 19 },   { 277, 10, 27 },  { 277, 50, 138 },
        { 277, 99, 274 }, { 277, 100, 277 }, { 0, 100, 0 },   { 1, 99, 0 },
        { 1, 100, 1 },   { 99, 1, 0 },     { 100, 1, 1 },    { 20000, 100, 20000 },
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.width, LevelBarWidth(c.inner, c.percent)) << "inner " << c.inner << " percent " << c.percent;
}
