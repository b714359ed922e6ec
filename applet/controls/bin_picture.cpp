/* The bin picture control (placeholder until the control is built). */
#include "bin_picture.h"

static HINSTANCE s_instance;

extern "C" LRESULT WINAPI HCOBitmapWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

void ShowBinPicture(HWND, int)
{
}

BOOL RegisterBinPictureClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    s_instance = instance;
    wc.lpfnWndProc = HCOBitmapWndProc;
    wc.cbWndExtra = 8;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = BIN_PICTURE_CLASS;
    return RegisterClassA(&wc) != 0;
}

void UnregisterBinPictureClass(void)
{
    UnregisterClassA(BIN_PICTURE_CLASS, s_instance);
}
