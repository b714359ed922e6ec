/* The bin picture control, window class "ZorvoZarHCOBitmap": a sunken well showing the
 * accessory with the selected mailbox's tray highlighted. A click on a tray selects that
 * row of the parent's mailbox list box (113) and sends the list's own selection
 * notification, so the page handles it like a selection made in the list. */
#include "bin_picture.h"
#include "bin_hit_test.h"
#include "resource.h"

/* Window data (offsets in bin_picture.h):
 *   bitmap   the picture shown, owned; 0 = none
 *   originX  unsigned, where the last paint that drew a picture put its top-left corner;
 *   originY  the hit tests measure from there, so the bands stay on the drawn trays */

#define BINPICTURE_LIST_ID 113

static HINSTANCE s_instance;

static HBITMAP get_bitmap(HWND window)
{
    return (HBITMAP)GetWindowLongPtrA(window, BINPICTURE_BITMAP_OFFSET);
}

static void set_bitmap(HWND window, HBITMAP bitmap)
{
    SetWindowLongPtrA(window, BINPICTURE_BITMAP_OFFSET, (LONG_PTR)bitmap);
}

static WORD get_origin_x(HWND window)
{
    return GetWindowWord(window, BINPICTURE_ORIGIN_X_OFFSET);
}

static WORD get_origin_y(HWND window)
{
    return GetWindowWord(window, BINPICTURE_ORIGIN_Y_OFFSET);
}

static void set_origin(HWND window, int x, int y)
{
    SetWindowWord(window, BINPICTURE_ORIGIN_X_OFFSET, (WORD)x);
    SetWindowWord(window, BINPICTURE_ORIGIN_Y_OFFSET, (WORD)y);
}

/* The tray row under a client point, or -1. */
static int tray_at(HWND window, int x, int y)
{
    return HitTestBin(x - get_origin_x(window), y - get_origin_y(window));
}

/* Centred with truncating division. A control smaller than the picture puts it at 0: the
 * origin words are unsigned, and the hit tests must measure from where it is drawn. */
static int centred_origin(int space, int size)
{
    int origin = (space - size) / 2;
    return origin < 0 ? 0 : origin;
}

static void draw_frames(HDC dc, const RECT *client)
{
    FrameRect(dc, client, (HBRUSH)GetStockObject(WHITE_BRUSH));
    RECT inner = *client;
    InflateRect(&inner, -1, -1);
    FrameRect(dc, &inner, (HBRUSH)GetStockObject(BLACK_BRUSH));
    HBRUSH shadow = CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW));
    if (shadow) {
        RECT well = { 0, 0, client->right - 1, client->bottom - 1 };
        FrameRect(dc, &well, shadow);
        DeleteObject(shadow);
    }
}

static void draw_picture(HWND window, HDC dc, const RECT *client, HBITMAP bitmap)
{
    HDC memory = CreateCompatibleDC(NULL);
    if (!memory)
        return;
    BITMAP info;
    if (GetObjectA(bitmap, sizeof info, &info)) {
        int x = client->left + centred_origin(client->right - client->left, info.bmWidth);
        int y = client->top + centred_origin(client->bottom - client->top, info.bmHeight);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(dc, x, y, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        set_origin(window, x, y);
    }
    DeleteDC(memory);
}

static void BinPicture_Paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!dc)
        return;
    RECT client;
    GetClientRect(window, &client);
    draw_frames(dc, &client);
    HBITMAP bitmap = get_bitmap(window);
    if (bitmap)
        draw_picture(window, dc, &client, bitmap);
    EndPaint(window, &ps);
}

static void BinPicture_OnSetCursor(HWND window)
{
    POINT pointer;
    GetCursorPos(&pointer);
    ScreenToClient(window, &pointer);
    if (tray_at(window, pointer.x, pointer.y) < 0)
        SetCursor(LoadCursorA(NULL, IDC_ARROW));
    else
        SetCursor(LoadCursorA(s_instance, MAKEINTRESOURCEA(IDCUR_HAND)));
}

static void BinPicture_OnClick(HWND window, LPARAM lParam)
{
    int row = tray_at(window, (short)LOWORD(lParam), (short)HIWORD(lParam));
    if (row < 0)
        return;
    HWND parent = GetParent(window);
    if (!parent)
        return;
    HWND list = GetDlgItem(parent, BINPICTURE_LIST_ID);
    if (!list)
        return;
    SendMessageA(list, LB_SETTOPINDEX, row, 0);
    SendMessageA(list, LB_SETCURSEL, row, 0);
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(BINPICTURE_LIST_ID, LBN_SELCHANGE), (LPARAM)list);
}

static void BinPicture_Destroy(HWND window)
{
    HBITMAP bitmap = get_bitmap(window);
    if (bitmap)
        DeleteObject(bitmap);
    set_bitmap(window, NULL);
}

extern "C" LRESULT WINAPI HCOBitmapWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        set_bitmap(window, NULL);
        set_origin(window, 0, 0);
        return 0;
    case WM_DESTROY:
        BinPicture_Destroy(window);
        return 0;
    case WM_PAINT:
        BinPicture_Paint(window);
        return 0;
    case WM_SETCURSOR:
        /* answered here, so the parent never sets another cursor over the trays */
        BinPicture_OnSetCursor(window);
        return 1;
    case WM_LBUTTONDOWN:
        BinPicture_OnClick(window, lParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

/* The origin words stay as they are until the next paint. */
void ShowBinPicture(HWND control, int bitmapId)
{
    HBITMAP previous = get_bitmap(control);
    if (previous)
        DeleteObject(previous);
    set_bitmap(control, LoadBitmapA(s_instance, MAKEINTRESOURCEA((WORD)bitmapId)));
    InvalidateRect(control, NULL, FALSE);
}

BOOL RegisterBinPictureClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    s_instance = instance;
    wc.style = 0;
    wc.lpfnWndProc = HCOBitmapWndProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = BINPICTURE_EXTRA_BYTES;
    wc.hInstance = instance;
    wc.hIcon = NULL;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszMenuName = NULL;
    wc.lpszClassName = BIN_PICTURE_CLASS;
    return RegisterClassA(&wc) != 0;
}

void UnregisterBinPictureClass(void)
{
    UnregisterClassA(BIN_PICTURE_CLASS, s_instance);
}
