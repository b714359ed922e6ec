/* Hit bands of the accessory picture: each tray is two 18 x 12 bands, the right one
 * 5 pixels lower, following the trays' slant. */
#include "bin_hit_test.h"

int HitTestBin(int x, int y)
{
    if (x >= 10 && x <= 27) /* left column; never tried against the right one */
        return y >= 35 && y <= 130 ? (y - 35) / 12 : -1;
    if (x >= 28 && x <= 45 && y >= 40 && y <= 135)
        return (y - 40) / 12;
    return -1;
}
