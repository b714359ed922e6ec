/* Level word of the level bar to percentage and text layout. Pure. */
#ifndef LEVEL_DECODE_H
#define LEVEL_DECODE_H

#include <stdint.h>

#define LEVEL_LAYOUT_TOP_LEFT 0  /* DT_LEFT | DT_TOP */
#define LEVEL_LAYOUT_ICON     36 /* DT_VCENTER | DT_SINGLELINE */
#define LEVEL_LAYOUT_CENTRED  37 /* DT_CENTER | DT_VCENTER | DT_SINGLELINE */

typedef struct LevelDecoded {
    uint32_t percent;
    uint32_t layout;
} LevelDecoded;

LevelDecoded DecodeLevel(uint16_t level);
/* Width of the bar for an inner width and a percentage, truncated. */
int LevelBarWidth(int innerWidth, uint32_t percent);

#endif
