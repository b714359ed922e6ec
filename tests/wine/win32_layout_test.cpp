/* What only the shipped 32-bit binaries can show: the controls' window data at their byte
 * indexes as 32-bit callers read them, the 36-byte descriptor in the host's slot, and the
 * exports reached by their undecorated names with the callee clearing its arguments. */
#include <gtest/gtest.h>
#include <cstring>
#include "controls/bin_picture.h"
#include "controls/level_bar.h"
#include "page_fixture.h"

#ifdef _WIN64
#error "the 32-bit layout checks are for the i686 build"
#endif

extern "C" DWORD CallWithStackCheck(FARPROC procedure, int count, const DWORD *arguments, int *bytesLeft);

/* Pushes the arguments right to left, calls, and tells how many bytes the callee left on
 * the stack: 0 for a procedure that clears its own arguments. */
__asm__(".text\n"
        ".globl _CallWithStackCheck\n"
        "_CallWithStackCheck:\n\t"
        "pushl %ebp\n\t"
        "pushl %ebx\n\t"
        "pushl %esi\n\t"
        "pushl %edi\n\t"
        "movl %esp, %esi\n\t"
        "movl 20(%esi), %eax\n\t"
        "movl 24(%esi), %ecx\n\t"
        "movl 28(%esi), %edx\n"
        "1:\n\t"
        "testl %ecx, %ecx\n\t"
        "jz 2f\n\t"
        "decl %ecx\n\t"
        "pushl (%edx,%ecx,4)\n\t"
        "jmp 1b\n"
        "2:\n\t"
        "call *%eax\n\t"
        "movl %esi, %ecx\n\t"
        "subl %esp, %ecx\n\t"
        "movl 32(%esi), %edx\n\t"
        "movl %ecx, (%edx)\n\t"
        "movl %esi, %esp\n\t"
        "popl %edi\n\t"
        "popl %esi\n\t"
        "popl %ebx\n\t"
        "popl %ebp\n\t"
        "ret\n");

namespace {

HWND Frame()
{
    static HWND frame = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Win32LayoutFrame";
        RegisterClassA(&wc);
        return CreateWindowA("Win32LayoutFrame", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                             wc.hInstance, nullptr);
    }();
    return frame;
}

/* A WORD read at `index` that would run past the window data fails. */
bool WordReadable(HWND window, int index)
{
    SetLastError(0);
    GetWindowWord(window, index);
    return GetLastError() == 0;
}

TEST(Win32Layout, BinPictureKeepsItsBitmapAtByte0AndItsOriginAtBytes4And6)
{
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(BinpanelModule(), BIN_PICTURE_CLASS, &wc));
    EXPECT_EQ(8, wc.cbWndExtra);
    HWND picture = CreateWindowExA(0, BIN_PICTURE_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, 118, 160, Frame(),
                                   (HMENU)IDC_BIN_PICTURE, BinpanelModule(), nullptr);
    ASSERT_NE(nullptr, picture);
    HBITMAP bitmap = LoadBitmapA(BinpanelModule(), MAKEINTRESOURCEA(128));
    ASSERT_NE(nullptr, bitmap);
    SetWindowLongA(picture, 0, (LONG)(ULONG_PTR)bitmap);
    InvalidateRect(picture, nullptr, FALSE);
    UpdateWindow(picture);
    EXPECT_EQ((LONG)(ULONG_PTR)bitmap, GetWindowLongA(picture, 0));
    EXPECT_EQ((118 - 96) / 2, GetWindowWord(picture, 4)) << "origin x";
    EXPECT_EQ((160 - 154) / 2, GetWindowWord(picture, 6)) << "origin y";
    EXPECT_TRUE(WordReadable(picture, 6));
    EXPECT_FALSE(WordReadable(picture, 7)) << "nothing behind byte 8";
    DestroyWindow(picture); /* deletes the bitmap it holds */
}

TEST(Win32Layout, LevelBarKeepsTextFontIconAndLevelAtBytes0To12)
{
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(BinpanelModule(), LEVEL_BAR_CLASS, &wc));
    EXPECT_EQ(14, wc.cbWndExtra);
    HWND bar = CreateWindowExA(0, LEVEL_BAR_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, 281, 20, Frame(),
                               (HMENU)IDC_WAIT_LEVEL, BinpanelModule(), nullptr);
    ASSERT_NE(nullptr, bar);
    HFONT font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    SendMessageA(bar, WM_SETTEXT, 0, (LPARAM) "Attendere");
    SendMessageA(bar, WM_SETFONT, (WPARAM)font, FALSE);
    SetWindowWord(bar, 12, 37); /* as the wait dialog writes the level */
    const char *text = (const char *)(ULONG_PTR)GetWindowLongA(bar, 0);
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ("Attendere", text);
    EXPECT_EQ((LONG)(ULONG_PTR)font, GetWindowLongA(bar, 4));
    EXPECT_EQ(0, GetWindowLongA(bar, 8)) << "no icon in bar mode";
    EXPECT_EQ(37, GetWindowWord(bar, 12));
    EXPECT_EQ(font, (HFONT)SendMessageA(bar, WM_GETFONT, 0, 0));
    EXPECT_FALSE(WordReadable(bar, 13)) << "nothing behind byte 14";

    HICON icon = LoadIconA(nullptr, IDI_INFORMATION);
    SetWindowLongA(bar, 8, (LONG)(ULONG_PTR)icon);
    EXPECT_EQ((LONG)(ULONG_PTR)icon, GetWindowLongA(bar, 8));
    EXPECT_EQ(37, GetWindowWord(bar, 12)) << "the icon slot does not reach the level";
    SetWindowLongA(bar, 8, 0);
    DestroyWindow(bar);
}

TEST(Win32Layout, TheDescriptorFillsTheHostsThirtySixByteSlotAndNothingBehindIt)
{
    SimPrinter printer = DefaultPrinter();
    printer.device = 42;
    UsePrinters({ printer });
    typedef DWORD(WINAPI * GetTabPagesFn)(DWORD, void *, DWORD *, DWORD);
    GetTabPagesFn getPages = (GetTabPagesFn)BinpanelProc("AppletGetTabPages");
    ASSERT_NE(nullptr, getPages);
    BYTE slot[36 + 16];
    std::memset(slot, 0xAB, sizeof slot);
    DWORD count = 0;
    ASSERT_EQ(0u, getPages(42, slot, &count, 1));
    EXPECT_EQ(1u, count);
    DWORD words[9];
    std::memcpy(words, slot, sizeof words);
    const DWORD expected[9] = {
        36, 0, (DWORD)(ULONG_PTR)BinpanelModule(), 140, 101, 138,
        (DWORD)(ULONG_PTR)BinpanelProc("HCOSheetProc"), 42, 1,
    };
    for (int i = 0; i < 9; i++)
        EXPECT_EQ(expected[i], words[i]) << "word at byte " << i * 4;
    for (size_t i = 36; i < sizeof slot; i++)
        ASSERT_EQ(0xAB, slot[i]) << "byte " << i << " behind the slot was written";
}

struct ExportCall {
    const char *name;
    std::vector<DWORD> arguments;
    DWORD result;
};

TEST(Win32Layout, ExportsAnswerToTheirUndecoratedNamesAndClearTheirArguments)
{
    HWND frame = Frame();
    HWND picture = CreateWindowExA(0, BIN_PICTURE_CLASS, "", WS_CHILD, 0, 0, 118, 160, frame, nullptr,
                                   BinpanelModule(), nullptr);
    ASSERT_NE(nullptr, picture);
    const DWORD f = (DWORD)(ULONG_PTR)frame;
    const ExportCall calls[] = {
        { "AppletGetTabPages", { 42, 0, 0, 1 }, 0xFFFF }, /* no slot: refused before any device call */
        { "HCOBitmapWndProc", { (DWORD)(ULONG_PTR)picture, WM_NULL, 0, 0 }, 0 },
        { "HCOPopupProc", { f, WM_NULL, 0, 0 }, FALSE },
        { "HCOSheetProc", { f, WM_NULL, 0, 0 }, FALSE },
        { "WaitDialogExProc", { f, WM_NULL, 0, 0 }, FALSE },
        { "HCOPopupDialog", { f }, IDCANCEL },
    };
    static HHOOK hook;
    hook = SetWindowsHookExA(WH_CBT, [](int code, WPARAM w, LPARAM l) CALLBACK -> LRESULT {
        if (code == HCBT_ACTIVATE && GetDlgItem((HWND)w, IDC_HELP_BUTTON))
            PostMessageA((HWND)w, WM_COMMAND, IDCANCEL, 0);
        return CallNextHookEx(hook, code, w, l);
    }, nullptr, GetCurrentThreadId());
    UiScript ui;
    for (const ExportCall &c : calls) {
        SCOPED_TRACE(c.name);
        FARPROC procedure = GetProcAddress(BinpanelModule(), c.name);
        ASSERT_NE(nullptr, procedure);
        int left = -1;
        DWORD result = CallWithStackCheck(procedure, (int)c.arguments.size(), c.arguments.data(), &left);
        EXPECT_EQ(0, left) << "bytes left on the caller's stack";
        EXPECT_EQ(c.result, result);
        std::string decorated = std::string(c.name) + "@" + std::to_string(4 * c.arguments.size());
        EXPECT_EQ(nullptr, GetProcAddress(BinpanelModule(), decorated.c_str()));
        EXPECT_EQ(nullptr, GetProcAddress(BinpanelModule(), ("_" + decorated).c_str()));
    }
    UnhookWindowsHookEx(hook);
    DestroyWindow(picture);
}

TEST(Win32Layout, BridgeExportsItsThunkTableByItsPlainName)
{
    /* not initialised: its entry would look for the 16-bit half */
    HMODULE bridge = LoadLibraryExA("BRIDGE32.dll", nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(nullptr, bridge);
    const char *table = (const char *)GetProcAddress(bridge, "ZorvoReg_ThunkData32");
    ASSERT_NE(nullptr, table);
    EXPECT_EQ(0, std::memcmp(table, "SL01", 4));
    EXPECT_EQ(nullptr, GetProcAddress(bridge, "_ZorvoReg_ThunkData32"));
    FreeLibrary(bridge);
}

} // namespace
