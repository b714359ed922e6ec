/* The level bar control, window class "ZorvoZarTrayLevelEx". */
#ifndef LEVEL_BAR_H
#define LEVEL_BAR_H

#include <windows.h>

#define LEVEL_BAR_CLASS "ZorvoZarTrayLevelEx"

/* Byte offsets of the window data. The owner writes the level word itself, so these are
 * an interface. The text pointer and the two handles take pointer-sized room: the 32-bit
 * build keeps the 14-byte layout with the level at byte 12; the 64-bit build moves it. */
#define LEVELBAR_TEXT_OFFSET  0
#define LEVELBAR_FONT_OFFSET  (LEVELBAR_TEXT_OFFSET + (int)sizeof(LONG_PTR))
#define LEVELBAR_ICON_OFFSET  (LEVELBAR_FONT_OFFSET + (int)sizeof(LONG_PTR))
#define LEVELBAR_LEVEL_OFFSET (LEVELBAR_ICON_OFFSET + (int)sizeof(LONG_PTR))
#define LEVELBAR_EXTRA_BYTES  (LEVELBAR_LEVEL_OFFSET + (int)sizeof(WORD))

#ifndef _WIN64
static_assert(LEVELBAR_TEXT_OFFSET == 0, "text pointer at byte 0");
static_assert(LEVELBAR_FONT_OFFSET == 4, "font handle at byte 4");
static_assert(LEVELBAR_ICON_OFFSET == 8, "icon handle at byte 8");
static_assert(LEVELBAR_LEVEL_OFFSET == 12, "the wait dialog writes the level at byte 12");
static_assert(LEVELBAR_EXTRA_BYTES == 14, "14 window extra bytes");
#endif

BOOL RegisterLevelBarClass(HINSTANCE instance);
void UnregisterLevelBarClass(void);
void SetLevelBarIcon(HWND control, int iconId);
LRESULT CALLBACK LevelBarWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
