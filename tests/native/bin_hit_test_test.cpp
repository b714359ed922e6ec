/* Which tray of the accessory picture a point relative to the picture falls on. */
#include <gtest/gtest.h>
#include "controls/bin_hit_test.h"

TEST(HitTestBin, EdgesOfTheBands)
{
    const struct { int x, y, row; } cases[] = {
        { 10, 35, 0 },  { 9, 35, -1 },   { 27, 130, 7 }, { 27, 131, -1 }, /* the right column reaches 135 */
        { 28, 40, 0 },  { 28, 39, -1 },  { 45, 135, 7 }, { 46, 100, -1 }, { 45, 136, -1 },
        { 20, 46, 0 },  { 20, 47, 1 },   { 40, 51, 0 },  { 40, 52, 1 },   { 10, 34, -1 },
        { 27, 38, 0 },  { 28, 38, -1 },  { 10, 130, 7 }, { 28, 135, 7 },  { 45, 40, 0 },
        { 0, 0, -1 },   { -1, 40, -1 },  { 20, -1, -1 }, { 95, 153, -1 },
        { -32768, -65535, -1 },          { 32767, 32767, -1 },            { 20, 32767, -1 },
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.row, HitTestBin(c.x, c.y)) << "(" << c.x << ", " << c.y << ")";
}

/* Every point of and around the picture against the bands as two 18 x 12 rectangles per
 * tray, the right one 5 pixels lower. */
TEST(HitTestBin, EachTrayIsTwoBandsAndNothingElseHits)
{
    for (int y = -5; y < 160; y++)
        for (int x = -5; x < 100; x++) {
            int expected = -1;
            for (int r = 0; r < 8; r++) {
                if (x >= 10 && x <= 27 && y >= 35 + 12 * r && y <= 46 + 12 * r)
                    expected = r;
                if (x >= 28 && x <= 45 && y >= 40 + 12 * r && y <= 51 + 12 * r)
                    expected = r;
            }
            ASSERT_EQ(expected, HitTestBin(x, y)) << "(" << x << ", " << y << ")";
        }
}
