/* The level bar control (placeholder until the control is built). */
#include "level_bar.h"

static HINSTANCE s_instance;

LRESULT CALLBACK LevelBarWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

void SetLevelBarIcon(HWND, int)
{
}

BOOL RegisterLevelBarClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    s_instance = instance;
    wc.lpfnWndProc = LevelBarWndProc;
    wc.cbWndExtra = LEVELBAR_EXTRA_BYTES;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = LEVEL_BAR_CLASS;
    return RegisterClassA(&wc) != 0;
}

void UnregisterLevelBarClass(void)
{
    UnregisterClassA(LEVEL_BAR_CLASS, s_instance);
}
