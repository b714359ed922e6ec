/* The level bar control, window class "ZorvoZarTrayLevelEx". */
#ifndef LEVEL_BAR_H
#define LEVEL_BAR_H

#include <windows.h>

#define LEVEL_BAR_CLASS "ZorvoZarTrayLevelEx"

/* Byte offsets of the window data. The owner writes the level word itself. */
#define LEVELBAR_TEXT_OFFSET  0
#define LEVELBAR_FONT_OFFSET  (LEVELBAR_TEXT_OFFSET + (int)sizeof(LONG_PTR))
#define LEVELBAR_ICON_OFFSET  (LEVELBAR_FONT_OFFSET + (int)sizeof(LONG_PTR))
#define LEVELBAR_LEVEL_OFFSET (LEVELBAR_ICON_OFFSET + (int)sizeof(LONG_PTR))
#define LEVELBAR_EXTRA_BYTES  (LEVELBAR_LEVEL_OFFSET + (int)sizeof(WORD))

BOOL RegisterLevelBarClass(HINSTANCE instance);
void UnregisterLevelBarClass(void);
void SetLevelBarIcon(HWND control, int iconId);
LRESULT CALLBACK LevelBarWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
