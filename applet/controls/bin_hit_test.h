/* Which tray of the accessory picture a point falls on. Pure. */
#ifndef BIN_HIT_TEST_H
#define BIN_HIT_TEST_H

/* x, y relative to the picture's top-left corner; the tray row 0 to 7, or -1. */
int HitTestBin(int x, int y);

#endif
