/* The bin picture control, window class "ZorvoZarHCOBitmap". */
#ifndef BIN_PICTURE_H
#define BIN_PICTURE_H

#include <windows.h>

#define BIN_PICTURE_CLASS "ZorvoZarHCOBitmap"

BOOL RegisterBinPictureClass(HINSTANCE instance);
void UnregisterBinPictureClass(void);
void ShowBinPicture(HWND control, int bitmapId);
extern "C" LRESULT WINAPI HCOBitmapWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
