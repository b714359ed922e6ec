/* Reading the host's screenshots back through the platform's imaging component. */
#ifndef PNG_READER_H
#define PNG_READER_H

#include <windows.h>
#include <string>
#include <vector>

struct PngImage {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels; /* row by row */
    COLORREF At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

/* False with `error` set for a file it cannot read. */
bool DecodePng(const std::string &bytes, PngImage *image, std::string *error);

#endif
