/* The level bar control, window class "ZorvoZarTrayLevelEx": a thin sunken border around
 * a strip holding either a bar filled to a percentage or an icon, with one text over it.
 * The owner sets the level by writing the level word of the window data and invalidating. */
#include "level_bar.h"
#include "level_decode.h"

/* Window data (offsets in level_bar.h):
 *   text  owned copy of the window text in a locked movable block, 0 = none
 *   font  from WM_SETFONT, not owned
 *   icon  0 = bar mode, else icon mode; not owned
 *   level 16-bit level word, see DecodeLevel */

/* DecodeLevel names its text layouts without windows.h; they are DrawText's own flags. */
static_assert(LEVEL_LAYOUT_TOP_LEFT == (DT_LEFT | DT_TOP), "top-left layout");
static_assert(LEVEL_LAYOUT_ICON == (DT_VCENTER | DT_SINGLELINE), "icon layout");
static_assert(LEVEL_LAYOUT_CENTRED == (DT_CENTER | DT_VCENTER | DT_SINGLELINE), "centred layout");

#define LEVELBAR_TEXT_BUFFER 64
#define LEVELBAR_BAR_COLOUR RGB(127, 255, 127)

static HINSTANCE s_instance;

static char *get_text(HWND window)
{
    return (char *)GetWindowLongPtrA(window, LEVELBAR_TEXT_OFFSET);
}

static void set_text(HWND window, char *text)
{
    SetWindowLongPtrA(window, LEVELBAR_TEXT_OFFSET, (LONG_PTR)text);
}

static HFONT get_font(HWND window)
{
    return (HFONT)GetWindowLongPtrA(window, LEVELBAR_FONT_OFFSET);
}

static void set_font(HWND window, HFONT font)
{
    SetWindowLongPtrA(window, LEVELBAR_FONT_OFFSET, (LONG_PTR)font);
}

static HICON get_icon(HWND window)
{
    return (HICON)GetWindowLongPtrA(window, LEVELBAR_ICON_OFFSET);
}

static void set_icon(HWND window, HICON icon)
{
    SetWindowLongPtrA(window, LEVELBAR_ICON_OFFSET, (LONG_PTR)icon);
}

static WORD get_level(HWND window)
{
    return GetWindowWord(window, LEVELBAR_LEVEL_OFFSET);
}

static void set_level(HWND window, WORD level)
{
    SetWindowWord(window, LEVELBAR_LEVEL_OFFSET, level);
}

/* The block stays locked for its whole life; the pointer leads back to it. */
static char *copy_text(const char *source)
{
    if (!source || !*source)
        return NULL;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, lstrlenA(source) + 1);
    if (!block)
        return NULL;
    char *copy = (char *)GlobalLock(block);
    if (!copy) {
        GlobalFree(block);
        return NULL;
    }
    lstrcpyA(copy, source);
    return copy;
}

static void free_text(char *text)
{
    if (!text)
        return;
    HGLOBAL block = GlobalHandle(text);
    if (block) {
        GlobalUnlock(block);
        GlobalFree(block);
    }
}

static void draw_border(HDC dc, const RECT *client)
{
    HPEN shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
    HPEN highlight = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
    if (shadow && highlight) {
        HGDIOBJ previous = SelectObject(dc, shadow);
        MoveToEx(dc, client->left, client->bottom - 1, NULL);
        LineTo(dc, client->left, client->top);
        LineTo(dc, client->right - 1, client->top);
        SelectObject(dc, highlight);
        LineTo(dc, client->right - 1, client->bottom - 1);
        LineTo(dc, client->left, client->bottom - 1);
        SelectObject(dc, previous);
    }
    if (shadow)
        DeleteObject(shadow);
    if (highlight)
        DeleteObject(highlight);
}

static void fill_solid(HDC dc, const RECT *rect, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush)
        return;
    FillRect(dc, rect, brush);
    DeleteObject(brush);
}

static void LevelBar_Paint(HWND window)
{
    HICON icon = get_icon(window);
    WORD level = get_level(window);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!dc)
        return;
    RECT client;
    GetClientRect(window, &client);
    draw_border(dc, &client);

    /* the ring between border and inner rectangle is left to the background */
    RECT inner = client;
    InflateRect(&inner, -2, -2);
    RECT textRect = inner;
    UINT layout;
    if (icon) {
        textRect.left += inner.bottom - inner.top;
        layout = LEVEL_LAYOUT_ICON;
        DrawIcon(dc, inner.left + 3, inner.top + 2, icon);
    } else {
        LevelDecoded decoded = DecodeLevel(level);
        layout = decoded.layout;
        fill_solid(dc, &inner, GetSysColor(COLOR_BTNFACE));
        RECT bar = inner;
        bar.right = inner.left + LevelBarWidth(inner.right - inner.left, decoded.percent);
        fill_solid(dc, &bar, LEVELBAR_BAR_COLOUR);
    }

    char text[LEVELBAR_TEXT_BUFFER] = "";
    GetWindowTextA(window, text, sizeof text);
    SetBkMode(dc, TRANSPARENT);
    HFONT font = (HFONT)SendMessageA(window, WM_GETFONT, 0, 0);
    HGDIOBJ previousFont = font ? SelectObject(dc, font) : NULL;
    /* the query answers the whole text's length, not what fitted into the buffer */
    DrawTextA(dc, text, lstrlenA(text), &textRect, layout);
    if (previousFont)
        SelectObject(dc, previousFont);
    EndPaint(window, &ps);
}

static LRESULT LevelBar_SetText(HWND window, const char *source)
{
    char *copy = copy_text(source);
    free_text(get_text(window));
    set_text(window, copy);
    InvalidateRect(window, NULL, FALSE);
    return copy || !source || !*source;
}

static LRESULT LevelBar_GetText(HWND window, WPARAM capacity, char *buffer)
{
    const char *text = get_text(window);
    if (!buffer || capacity == 0)
        return text ? lstrlenA(text) : 0;
    if (!text) {
        buffer[0] = '\0';
        return 0;
    }
    lstrcpynA(buffer, text, capacity > 0x7FFFFFFF ? 0x7FFFFFFF : (int)capacity);
    return lstrlenA(text);
}

static LRESULT LevelBar_GetTextLength(HWND window)
{
    const char *text = get_text(window);
    return text ? lstrlenA(text) : 0;
}

static void LevelBar_SetFont(HWND window, HFONT font, BOOL redraw)
{
    set_font(window, font);
    if (redraw)
        InvalidateRect(window, NULL, TRUE);
}

static void LevelBar_Destroy(HWND window)
{
    free_text(get_text(window));
    set_text(window, NULL);
}

void SetLevelBarIcon(HWND control, int iconId)
{
    set_icon(control, LoadIconA(s_instance, MAKEINTRESOURCEA((WORD)iconId)));
}

LRESULT CALLBACK LevelBarWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        set_text(window, NULL);
        set_font(window, NULL);
        set_icon(window, NULL);
        set_level(window, 0);
        return 0;
    case WM_DESTROY:
        LevelBar_Destroy(window);
        return 0;
    case WM_SETTEXT:
        return LevelBar_SetText(window, (const char *)lParam);
    case WM_GETTEXT:
        return LevelBar_GetText(window, wParam, (char *)lParam);
    case WM_GETTEXTLENGTH:
        return LevelBar_GetTextLength(window);
    case WM_PAINT:
        LevelBar_Paint(window);
        return 0;
    case WM_SETFONT:
        LevelBar_SetFont(window, (HFONT)wParam, lParam != 0);
        return 0;
    case WM_GETFONT:
        return (LRESULT)get_font(window);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

BOOL RegisterLevelBarClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    s_instance = instance;
    wc.style = 0;
    wc.lpfnWndProc = LevelBarWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = LEVELBAR_EXTRA_BYTES;
    wc.hInstance = instance;
    wc.hIcon = NULL;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszMenuName = NULL;
    wc.lpszClassName = LEVEL_BAR_CLASS;
    return RegisterClassA(&wc) != 0;
}

void UnregisterLevelBarClass(void)
{
    UnregisterClassA(LEVEL_BAR_CLASS, s_instance);
}
