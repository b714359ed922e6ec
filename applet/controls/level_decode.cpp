/* Level decoding of the level bar. */
#include "level_decode.h"

LevelDecoded DecodeLevel(uint16_t level)
{
    LevelDecoded d;
    if (level >= 1000 && level <= 1100) {
        d.percent = level - 1000u;
        d.layout = LEVEL_LAYOUT_TOP_LEFT;
    } else {
        d.percent = level > 100 ? 100 : level;
        d.layout = LEVEL_LAYOUT_CENTRED;
    }
    return d;
}

int LevelBarWidth(int innerWidth, uint32_t percent)
{
    return innerWidth * (int)percent / 100;
}
