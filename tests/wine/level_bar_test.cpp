/* The level bar as the dialog manager and its owner see it: the class, the window data,
 * the text and font messages, and what a paint leaves on the pixels. */
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "controls/level_bar.h"
#include "gdi_objects.h"
#include "ui_driver.h"

namespace {

#ifdef _WIN64
static_assert(LEVELBAR_LEVEL_OFFSET == 24 && LEVELBAR_EXTRA_BYTES == 26, "pointer-sized slots on Win64");
#endif

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kBar = 0x7FFF7F;
const int kWidth = 281; /* inner width 277 */

struct DrawTextCall {
    std::string text;
    int count;
    RECT rect;
    UINT format;
    int bkMode;
    HGDIOBJ font;
};
std::vector<DrawTextCall> g_drawTexts;
std::vector<HGLOBAL> g_freed;

typedef int(WINAPI *DrawTextAFn)(HDC, LPCSTR, int, LPRECT, UINT);
typedef HGLOBAL(WINAPI *GlobalFreeFn)(HGLOBAL);
DrawTextAFn s_drawText;
GlobalFreeFn s_globalFree;

int WINAPI RecordDrawText(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format)
{
    g_drawTexts.push_back({ std::string(text, count > 0 ? count : 0), count, *rect, format, GetBkMode(dc),
                            GetCurrentObject(dc, OBJ_FONT) });
    return s_drawText(dc, text, count, rect, format);
}

HGLOBAL WINAPI RecordGlobalFree(HGLOBAL block)
{
    g_freed.push_back(block);
    return s_globalFree(block);
}

LRESULT CALLBACK FrameProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    return DefWindowProcA(w, m, wp, lp);
}

/* A visible frame of its own: a hidden one is never painted. */
class LevelBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static bool watched = [] {
            s_drawText = (DrawTextAFn)PatchImport(BinpanelModule(), "USER32.dll", "DrawTextA", (void *)RecordDrawText);
            s_globalFree =
                (GlobalFreeFn)PatchImport(BinpanelModule(), "KERNEL32.dll", "GlobalFree", (void *)RecordGlobalFree);
            WNDCLASSA wc = {};
            wc.lpfnWndProc = FrameProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
            wc.lpszClassName = "LevelBarTestFrame";
            RegisterClassA(&wc);
            return s_drawText && s_globalFree;
        }();
        ASSERT_TRUE(watched);
        frame = CreateWindowA("LevelBarTestFrame", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 120, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, frame);
        g_drawTexts.clear();
        g_freed.clear();
    }
    void TearDown() override
    {
        if (frame)
            DestroyWindow(frame);
    }
    HWND Create(int height = 20)
    {
        height_ = height;
        bar = CreateWindowExA(0, LEVEL_BAR_CLASS, "", WS_CHILD | WS_VISIBLE, 10, 10, kWidth, height, frame,
                              (HMENU)185, BinpanelModule(), nullptr);
        EXPECT_NE(nullptr, bar);
        UpdateWindow(frame);
        return bar;
    }
    char *TextSlot() const { return (char *)GetWindowLongPtrA(bar, LEVELBAR_TEXT_OFFSET); }
    void SetLevel(WORD level) const
    {
        SetWindowWord(bar, LEVELBAR_LEVEL_OFFSET, level);
        InvalidateRect(bar, nullptr, FALSE);
    }
    /* Covers the control with magenta, then lets it paint without erasing. */
    void PaintOverMagenta() const { PaintOver(bar, kWidth, height_, kMagenta); }
    /* The control's pixels as colour values, row by row. */
    std::vector<COLORREF> Capture() const { return CapturePixels(bar, kWidth, height_); }
    COLORREF At(const std::vector<COLORREF> &pixels, int x, int y) const { return pixels[y * kWidth + x]; }

    HWND frame = nullptr;
    HWND bar = nullptr;
    int height_ = 20;
};

TEST_F(LevelBarTest, RegisteredWithTheStatedClassValues)
{
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(BinpanelModule(), LEVEL_BAR_CLASS, &wc));
    EXPECT_EQ(0u, wc.style);
    EXPECT_EQ(0, wc.cbClsExtra);
    EXPECT_EQ(LEVELBAR_EXTRA_BYTES, wc.cbWndExtra);
    EXPECT_EQ(nullptr, wc.hIcon);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), wc.hCursor);
    EXPECT_EQ((HBRUSH)16, wc.hbrBackground);
    EXPECT_EQ(nullptr, wc.lpszMenuName);
}

TEST_F(LevelBarTest, StartsInBarModeAtLevelZeroWithNoTextAndNoFont)
{
    Create();
    EXPECT_EQ(nullptr, TextSlot());
    EXPECT_EQ(0, GetWindowLongPtrA(bar, LEVELBAR_FONT_OFFSET));
    EXPECT_EQ(0, GetWindowLongPtrA(bar, LEVELBAR_ICON_OFFSET));
    EXPECT_EQ(0, GetWindowWord(bar, LEVELBAR_LEVEL_OFFSET));
    EXPECT_EQ(0, SendMessageA(bar, WM_GETTEXTLENGTH, 0, 0));
    EXPECT_EQ(0, SendMessageA(bar, WM_GETFONT, 0, 0));
}

TEST_F(LevelBarTest, KeepsItsOwnLockedCopyAndReleasesItOnReplaceAndDestroy)
{
    Create();
    char source[] = "Livello";
    SetWindowTextA(bar, source);
    char *first = TextSlot();
    ASSERT_NE(nullptr, first);
    EXPECT_NE(source, first);
    source[0] = 'X';
    EXPECT_STREQ("Livello", first);
    HGLOBAL firstBlock = GlobalHandle(first);
    ASSERT_NE(nullptr, firstBlock);
    EXPECT_EQ(1u, GlobalFlags(firstBlock) & GMEM_LOCKCOUNT) << "locked once for its whole life";
    EXPECT_GE(GlobalSize(firstBlock), 8u);
    /* the window manager never sees the text */
    WCHAR internal[8] = L"#";
    InternalGetWindowText(bar, internal, 8);
    EXPECT_EQ(0, internal[0]);

    SetWindowTextA(bar, "Altro");
    EXPECT_EQ(std::vector<HGLOBAL>{ firstBlock }, g_freed);
    HGLOBAL secondBlock = GlobalHandle(TextSlot());
    DestroyWindow(bar);
    EXPECT_EQ((std::vector<HGLOBAL>{ firstBlock, secondBlock }), g_freed);
}

TEST_F(LevelBarTest, EmptyOrMissingTextHoldsNoBlock)
{
    Create();
    const struct { const char *what; LPARAM text; } cases[] = {
        { "empty", (LPARAM) "" },
        { "null", 0 },
    };
    for (const auto &c : cases) {
        SetWindowTextA(bar, "abc");
        HGLOBAL block = GlobalHandle(TextSlot());
        g_freed.clear();
        SendMessageA(bar, WM_SETTEXT, 0, c.text);
        EXPECT_EQ(nullptr, TextSlot()) << c.what;
        EXPECT_EQ(std::vector<HGLOBAL>{ block }, g_freed) << c.what;
        EXPECT_EQ(0, SendMessageA(bar, WM_GETTEXTLENGTH, 0, 0)) << c.what;
        char buffer[8];
        memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(0, SendMessageA(bar, WM_GETTEXT, sizeof buffer, (LPARAM)buffer)) << c.what;
        EXPECT_EQ('\0', buffer[0]) << c.what;
        EXPECT_EQ('#', buffer[1]) << c.what;
    }
}

TEST_F(LevelBarTest, GetTextCutsToTheCapacityAndAnswersTheWholeLength)
{
    Create();
    std::string text;
    for (int i = 0; i < 100; i++)
        text += (char)('A' + i % 26);
    SetWindowTextA(bar, text.c_str());
    EXPECT_EQ(100, SendMessageA(bar, WM_GETTEXTLENGTH, 0, 0));
    const struct { WPARAM capacity; size_t copied; } cases[] = {
        { 0, 0 }, { 1, 0 }, { 2, 1 }, { 64, 63 }, { 100, 99 }, { 101, 100 }, { 200, 100 },
    };
    for (const auto &c : cases) {
        char buffer[256];
        memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(100, SendMessageA(bar, WM_GETTEXT, c.capacity, (LPARAM)buffer)) << "capacity " << c.capacity;
        if (c.capacity == 0) {
            EXPECT_EQ('#', buffer[0]) << "capacity 0 writes nothing";
            continue;
        }
        EXPECT_EQ(text.substr(0, c.copied), std::string(buffer, c.copied)) << "capacity " << c.capacity;
        EXPECT_EQ('\0', buffer[c.copied]) << "capacity " << c.capacity;
        EXPECT_EQ('#', buffer[c.copied + 1]) << "capacity " << c.capacity;
    }
}

/* Counts the paints and erases a change causes. */
int g_paints, g_erases;
WNDPROC g_barProc;
LRESULT CALLBACK CountingProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_PAINT)
        g_paints++;
    if (m == WM_ERASEBKGND)
        g_erases++;
    return CallWindowProcA(g_barProc, w, m, wp, lp);
}

TEST_F(LevelBarTest, TextAndFontChangesRepaintAsStated)
{
    Create();
    g_barProc = (WNDPROC)SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)CountingProc);
    HFONT font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    const struct { const char *what; UINT message; WPARAM wParam; LPARAM lParam; int paints, erases; } cases[] = {
        { "set text", WM_SETTEXT, 0, (LPARAM) "abc", 1, 0 },
        { "clear text", WM_SETTEXT, 0, (LPARAM) "", 1, 0 },
        { "font, no redraw", WM_SETFONT, (WPARAM)font, 0, 0, 0 },
        { "font, redraw", WM_SETFONT, (WPARAM)font, 1, 1, 1 },
    };
    for (const auto &c : cases) {
        UpdateWindow(bar);
        g_paints = g_erases = 0;
        SendMessageA(bar, c.message, c.wParam, c.lParam);
        UpdateWindow(bar);
        EXPECT_EQ(c.paints, g_paints) << c.what;
        EXPECT_EQ(c.erases, g_erases) << c.what;
    }
    EXPECT_EQ((LRESULT)font, SendMessageA(bar, WM_GETFONT, 0, 0));
    SendMessageA(bar, WM_SETFONT, 0, 0);
    EXPECT_EQ(0, SendMessageA(bar, WM_GETFONT, 0, 0));
    SetWindowLongPtrA(bar, GWLP_WNDPROC, (LONG_PTR)g_barProc);
}

TEST_F(LevelBarTest, PaintsASunkenBorderAndLeavesTheRingUntouched)
{
    Create();
    SetLevel(50);
    PaintOverMagenta();
    std::vector<COLORREF> px = Capture();
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    ASSERT_NE(shadow, highlight);
    const int right = kWidth - 1, bottom = height_ - 1;
    for (int y = 0; y < height_; y++) {
        EXPECT_EQ(shadow, At(px, 0, y)) << "left column, y " << y;
        EXPECT_EQ(highlight, At(px, right, y)) << "right column, y " << y;
    }
    for (int x = 0; x < kWidth; x++) {
        EXPECT_EQ(x <= right - 1 ? shadow : highlight, At(px, x, 0)) << "top row, x " << x;
        EXPECT_EQ(x == 0 ? shadow : highlight, At(px, x, bottom)) << "bottom row, x " << x;
    }
    for (int x = 1; x < right; x++) {
        EXPECT_EQ(kMagenta, At(px, x, 1)) << "ring top, x " << x;
        EXPECT_EQ(kMagenta, At(px, x, bottom - 1)) << "ring bottom, x " << x;
    }
    for (int y = 1; y < bottom; y++) {
        EXPECT_EQ(kMagenta, At(px, 1, y)) << "ring left, y " << y;
        EXPECT_EQ(kMagenta, At(px, right - 1, y)) << "ring right, y " << y;
    }
}

TEST_F(LevelBarTest, FillsTheBarToTheTruncatedPercentageOfTheInnerWidth)
{
    Create();
    const struct { WORD level; int width; } cases[] = {
        { 0, 0 }, { 7, 19 }, { 50, 138 }, { 100, 277 }, { 101, 277 }, { 999, 277 },
        { 1000, 0 }, { 1050, 138 }, { 1100, 277 }, { 65535, 277 },
    };
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(face, kBar);
    for (const auto &c : cases) {
        SetLevel(c.level);
        PaintOverMagenta();
        std::vector<COLORREF> px = Capture();
        int wrong = 0;
        for (int y = 2; y < height_ - 2; y++)
            for (int x = 2; x < kWidth - 2; x++) {
                COLORREF expected = x < 2 + c.width ? kBar : face;
                if (At(px, x, y) != expected && wrong++ < 3)
                    ADD_FAILURE() << "level " << c.level << ": pixel " << x << "," << y << " is " << std::hex
                                  << At(px, x, y) << ", expected " << expected;
            }
        EXPECT_EQ(0, wrong) << "level " << c.level;
    }
}

TEST_F(LevelBarTest, IconModeDrawsTheIconAndNeitherFillsNorUsesTheLevel)
{
    Create(40);
    HICON icon = LoadIconA(BinpanelModule(), MAKEINTRESOURCEA(187));
    ASSERT_NE(nullptr, icon);
    SetWindowLongPtrA(bar, LEVELBAR_ICON_OFFSET, (LONG_PTR)icon);
    SetLevel(100);
    PaintOverMagenta();
    std::vector<COLORREF> px = Capture();

    /* the same icon drawn over magenta elsewhere */
    BITMAPINFO bi = {};
    bi.bmiHeader = { sizeof bi.bmiHeader, 32, -32, 1, 32, BI_RGB };
    void *bits;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, dib);
    HBRUSH brush = CreateSolidBrush(kMagenta);
    RECT all = { 0, 0, 32, 32 };
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIcon(memory, 0, 0, icon);
    GdiFlush();

    int iconPixels = 0, differ = 0, filled = 0;
    const DWORD *ref = (const DWORD *)bits;
    for (int y = 2; y < height_ - 2; y++)
        for (int x = 2; x < kWidth - 2; x++) {
            COLORREF got = At(px, x, y);
            int ix = x - 5, iy = y - 4;
            if (ix >= 0 && ix < 32 && iy >= 0 && iy < 32) {
                DWORD r = ref[iy * 32 + ix];
                COLORREF expected = RGB((r >> 16) & 0xFF, (r >> 8) & 0xFF, r & 0xFF);
                differ += got != expected;
                iconPixels += expected != kMagenta;
            } else {
                filled += got != kMagenta;
            }
        }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    EXPECT_GT(iconPixels, 100) << "the icon has something to see";
    EXPECT_EQ(0, differ) << "icon at inner left + 3, inner top + 2";
    EXPECT_EQ(0, filled) << "nothing but the icon in the inner rectangle";
}

TEST_F(LevelBarTest, DrawsItsTextTransparentlyInTheLayoutOfItsMode)
{
    Create(24);
    HFONT font = (HFONT)GetStockObject(DEFAULT_GUI_FONT);
    SendMessageA(bar, WM_SETFONT, (WPARAM)font, 0);
    std::string longText(100, 'w');
    const RECT inner = { 2, 2, kWidth - 2, 22 };
    const RECT besideIcon = { 2 + 20, 2, kWidth - 2, 22 };
    const struct { const char *what; WORD level; bool icon; const char *text; UINT format; RECT rect; } cases[] = {
        { "plain level centres", 7, false, "Attendere", 37, inner },
        { "offset level puts it top left", 1050, false, "Attendere", 0, inner },
        { "above 1100 centres again", 1101, false, "Attendere", 37, inner },
        { "icon mode beside the icon", 50, true, "Attendere", 36, besideIcon },
        { "a long text is cut to 63", 7, false, longText.c_str(), 37, inner },
        { "no text", 7, false, "", 37, inner },
    };
    for (const auto &c : cases) {
        SetWindowLongPtrA(bar, LEVELBAR_ICON_OFFSET,
                          (LONG_PTR)(c.icon ? LoadIconA(BinpanelModule(), MAKEINTRESOURCEA(188)) : nullptr));
        SetWindowTextA(bar, c.text);
        SetLevel(c.level);
        g_drawTexts.clear();
        UpdateWindow(bar);
        ASSERT_EQ(1u, g_drawTexts.size()) << c.what;
        const DrawTextCall &d = g_drawTexts[0];
        std::string expected = std::string(c.text).substr(0, 63);
        EXPECT_EQ(expected, d.text) << c.what;
        EXPECT_EQ((int)expected.size(), d.count) << c.what;
        EXPECT_EQ(c.format, d.format) << c.what;
        EXPECT_TRUE(EqualRect(&c.rect, &d.rect)) << c.what << ": " << d.rect.left << "," << d.rect.top << ","
                                                 << d.rect.right << "," << d.rect.bottom;
        EXPECT_EQ(TRANSPARENT, d.bkMode) << c.what;
        EXPECT_EQ((HGDIOBJ)font, d.font) << c.what;
    }
}

/* Many paints in each mode hand back every pen and brush they make. */
TEST_F(LevelBarTest, PaintsLeaveNoGdiObjectsBehind)
{
    Create(24);
    SendMessageA(bar, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), 0);
    SetWindowTextA(bar, "Attendere");
    HICON icon = LoadIconA(BinpanelModule(), MAKEINTRESOURCEA(188));
    ASSERT_NE(nullptr, icon);
    const struct { const char *what; HICON icon; } modes[] = { { "bar mode", nullptr }, { "icon mode", icon } };
    for (const auto &m : modes) {
        SetWindowLongPtrA(bar, LEVELBAR_ICON_OFFSET, (LONG_PTR)m.icon);
        for (int i = 0; i < 5; i++) /* Wine makes some objects at the first paints */
            PaintOverMagenta();
        int before = GdiObjectCount();
        ASSERT_GE(before, 0) << "the GDI handle table cannot be read";
        for (int i = 0; i < 200; i++) {
            SetLevel((WORD)(i % 2 ? 1050 : 50));
            UpdateWindow(bar);
        }
        EXPECT_EQ(before, GdiObjectCount()) << m.what << ": GDI objects after 200 paints";
    }
}

} // namespace
