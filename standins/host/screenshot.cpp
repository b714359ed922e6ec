/* Screenshots of one window, frame included: BitBlt from the window's own DC into a DIB
 * section. With Wine's null display driver that DC holds the rendered window, while the
 * screen DC holds nothing. */
#include "host.h"
#include "png_encoder.h"

#include <vector>

bool SaveWindowPng(HWND window, const std::string &path, std::string *error)
{
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rc;
    GetWindowRect(window, &rc);
    int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0) {
        *error = "finestra vuota";
        return false;
    }

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; /* top-down rows */
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC source = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP dib = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        ok = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memory, old);
    }
    std::vector<uint8_t> rgb;
    size_t stride = ((size_t)width * 3 + 3) & ~(size_t)3;
    if (ok) {
        rgb.assign((const uint8_t *)bits, (const uint8_t *)bits + stride * height);
        for (int y = 0; y < height; y++)
            for (int x = 0; x < width; x++)
                std::swap(rgb[y * stride + x * 3], rgb[y * stride + x * 3 + 2]); /* BGR to RGB */
    }
    if (dib)
        DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(window, source);
    if (!ok) {
        *error = "BitBlt non riuscito";
        return false;
    }

    std::vector<uint8_t> png = EncodePng(width, height, rgb.data(), stride);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    ok = file != INVALID_HANDLE_VALUE && WriteFile(file, png.data(), (DWORD)png.size(), &written, nullptr) &&
         written == png.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!ok)
        *error = "scrittura di " + path + " non riuscita";
    return ok;
}
