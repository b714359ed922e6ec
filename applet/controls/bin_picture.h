/* The bin picture control, window class "ZorvoZarHCOBitmap". */
#ifndef BIN_PICTURE_H
#define BIN_PICTURE_H

#include <windows.h>

#define BIN_PICTURE_CLASS "ZorvoZarHCOBitmap"

/* Byte offsets of the window data. The bitmap handle takes pointer-sized room: the 32-bit
 * build keeps the 8-byte layout with the origin words at bytes 4 and 6; the 64-bit build
 * moves them. */
#define BINPICTURE_BITMAP_OFFSET   0
#define BINPICTURE_ORIGIN_X_OFFSET (BINPICTURE_BITMAP_OFFSET + (int)sizeof(LONG_PTR))
#define BINPICTURE_ORIGIN_Y_OFFSET (BINPICTURE_ORIGIN_X_OFFSET + (int)sizeof(WORD))
#define BINPICTURE_EXTRA_BYTES     (BINPICTURE_ORIGIN_Y_OFFSET + (int)sizeof(WORD))

#ifndef _WIN64
static_assert(BINPICTURE_BITMAP_OFFSET == 0, "bitmap handle at byte 0");
static_assert(BINPICTURE_ORIGIN_X_OFFSET == 4, "origin x at byte 4");
static_assert(BINPICTURE_ORIGIN_Y_OFFSET == 6, "origin y at byte 6");
static_assert(BINPICTURE_EXTRA_BYTES == 8, "8 window extra bytes");
#endif

BOOL RegisterBinPictureClass(HINSTANCE instance);
void UnregisterBinPictureClass(void);
void ShowBinPicture(HWND control, int bitmapId);
extern "C" LRESULT WINAPI HCOBitmapWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
