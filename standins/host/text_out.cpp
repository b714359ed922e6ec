/* Printing the host's texts: they are code page 1252, while a terminal wants UTF-8. The
 * lines also go to a transcript file when one is open (the tour keeps one beside its
 * screenshots, in case the program was started without a standard output). */
#include "host.h"

#include <cstdarg>
#include <cstdio>

static HANDLE s_transcript = INVALID_HANDLE_VALUE;

std::string Format(const char *format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string ToUtf8(const std::string &ansi)
{
    if (ansi.empty())
        return ansi;
    int wide = MultiByteToWideChar(1252, 0, ansi.data(), (int)ansi.size(), nullptr, 0);
    std::wstring w(wide, L'\0');
    MultiByteToWideChar(1252, 0, ansi.data(), (int)ansi.size(), &w[0], wide);
    int bytes = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &utf8[0], bytes, nullptr, nullptr);
    return utf8;
}

static void WriteAll(HANDLE handle, const std::string &text)
{
    DWORD done;
    if (handle && handle != INVALID_HANDLE_VALUE)
        WriteFile(handle, text.data(), (DWORD)text.size(), &done, nullptr);
}

void PrintLine(const std::string &ansi)
{
    std::string line = ToUtf8(ansi) + "\n";
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), line);
    WriteAll(s_transcript, line);
}

bool OpenTranscript(const std::string &path)
{
    s_transcript = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    return s_transcript != INVALID_HANDLE_VALUE;
}

void CloseTranscript(void)
{
    if (s_transcript != INVALID_HANDLE_VALUE)
        CloseHandle(s_transcript);
    s_transcript = INVALID_HANDLE_VALUE;
}
