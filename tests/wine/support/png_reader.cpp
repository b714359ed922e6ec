#include "png_reader.h"

#include <wincodec.h>

namespace {

template <typename T> void Release(T *&object)
{
    if (object)
        object->Release();
    object = nullptr;
}

} // namespace

bool DecodePng(const std::string &bytes, PngImage *image, std::string *error)
{
    bool comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IWICImagingFactory *factory = nullptr;
    IWICStream *stream = nullptr;
    IWICBitmapDecoder *decoder = nullptr;
    IWICBitmapFrameDecode *frame = nullptr;
    IWICFormatConverter *converter = nullptr;
    UINT width = 0, height = 0;
    std::vector<BYTE> bgra;
    const char *step = "imaging factory";
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  (void **)&factory);
    if (SUCCEEDED(hr) && (step = "stream", true))
        hr = factory->CreateStream(&stream);
    if (SUCCEEDED(hr))
        hr = stream->InitializeFromMemory((BYTE *)bytes.data(), (DWORD)bytes.size());
    if (SUCCEEDED(hr) && (step = "PNG decoder", true))
        hr = factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, &decoder);
    if (SUCCEEDED(hr) && (step = "not a PNG file", true))
        hr = decoder->Initialize(stream, WICDecodeMetadataCacheOnDemand);
    if (SUCCEEDED(hr) && (step = "frame", true))
        hr = decoder->GetFrame(0, &frame);
    if (SUCCEEDED(hr))
        hr = frame->GetSize(&width, &height);
    if (SUCCEEDED(hr) && (step = "pixel conversion", true))
        hr = factory->CreateFormatConverter(&converter);
    if (SUCCEEDED(hr))
        hr = converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                   WICBitmapPaletteTypeCustom);
    if (SUCCEEDED(hr) && (step = "pixels", true)) {
        bgra.resize((size_t)width * height * 4);
        hr = converter->CopyPixels(nullptr, width * 4, (UINT)bgra.size(), bgra.data());
    }
    Release(converter);
    Release(frame);
    Release(decoder);
    Release(stream);
    Release(factory);
    if (comReady)
        CoUninitialize();
    if (FAILED(hr)) {
        *error = std::string(step) + " failed";
        return false;
    }
    image->width = (int)width;
    image->height = (int)height;
    image->pixels.resize((size_t)width * height);
    for (size_t i = 0; i < image->pixels.size(); i++)
        image->pixels[i] = RGB(bgra[i * 4 + 2], bgra[i * 4 + 1], bgra[i * 4]);
    return true;
}
