/* Screenshots of windows, frames included, placed as they stand on the screen: BitBlt from
 * each window's own DC into one DIB section, written as PNG by the platform's imaging
 * component. With Wine's null display driver a window's DC holds the rendered window,
 * while the screen DC holds nothing. */
#include "host.h"

#include <wincodec.h>

template <typename T> static void Release(T *&object)
{
    if (object)
        object->Release();
    object = nullptr;
}

/* Top-down rows of 24-bit BGR pixels, each row padded to four bytes, as a PNG file. */
static bool WritePng(const std::string &path, int width, int height, const BYTE *bgr)
{
    WCHAR widePath[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH))
        return false;
    bool comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IWICImagingFactory *factory = nullptr;
    IWICStream *stream = nullptr;
    IWICBitmapEncoder *encoder = nullptr;
    IWICBitmapFrameEncode *frame = nullptr;
    UINT stride = ((UINT)width * 3 + 3) & ~3u;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  (void **)&factory);
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromFilename(widePath, GENERIC_WRITE);
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(&frame, nullptr);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(nullptr);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(width, height);
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    /* the encoder may offer another format; the pixels are only ever 24-bit BGR */
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        hr = E_FAIL;
    if (SUCCEEDED(hr))
        hr = frame->WritePixels(height, stride, stride * height, (BYTE *)bgr);
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    Release(frame);
    Release(encoder);
    Release(stream);
    Release(factory);
    if (comReady)
        CoUninitialize();
    return SUCCEEDED(hr);
}

/* The classic desktop's colour, between and around the windows. */
#define DESKTOP_COLOUR RGB(0, 128, 128)

bool SaveWindowsPng(const std::vector<HWND> &windows, const std::string &path, std::string *error)
{
    RECT all = {};
    std::vector<HWND> shown;
    for (HWND window : windows) {
        RECT rc;
        if (!IsWindow(window) || !IsWindowVisible(window) || !GetWindowRect(window, &rc) || IsRectEmpty(&rc))
            continue;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        UnionRect(&all, &all, &rc);
        shown.push_back(window);
    }
    int width = all.right - all.left, height = all.bottom - all.top;
    if (shown.empty() || width <= 0 || height <= 0) {
        *error = "nessuna finestra visibile";
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
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    bool ok = false;
    error->clear();
    if (dib && bits) {
        HGDIOBJ old = SelectObject(memory, dib);
        HBRUSH desktop = CreateSolidBrush(DESKTOP_COLOUR);
        RECT whole = { 0, 0, width, height };
        FillRect(memory, &whole, desktop);
        DeleteObject(desktop);
        ok = true;
        for (HWND window : shown) {
            RECT rc;
            GetWindowRect(window, &rc);
            HDC source = GetWindowDC(window);
            ok = BitBlt(memory, rc.left - all.left, rc.top - all.top, rc.right - rc.left, rc.bottom - rc.top, source, 0,
                        0, SRCCOPY) != 0 && ok;
            ReleaseDC(window, source);
        }
        GdiFlush();
        SelectObject(memory, old);
    }
    if (ok)
        ok = WritePng(path, width, height, (const BYTE *)bits);
    else
        *error = "BitBlt non riuscito";
    if (!ok && error->empty())
        *error = "scrittura di " + path + " non riuscita";
    if (dib)
        DeleteObject(dib);
    DeleteDC(memory);
    return ok;
}
