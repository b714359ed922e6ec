#include "page_fixture.h"

static int s_lastBitmap;
typedef HBITMAP(WINAPI *LoadBitmapAFn)(HINSTANCE, LPCSTR);

static HBITMAP WINAPI RecordLoadBitmap(HINSTANCE instance, LPCSTR name)
{
    if (IS_INTRESOURCE(name))
        s_lastBitmap = (int)(ULONG_PTR)name;
    return LoadBitmapA(instance, name);
}

int LastPictureId()
{
    return s_lastBitmap;
}

int ShownIconId(HWND dialog, int controlId)
{
    HICON shown = (HICON)SendMessageA(GetDlgItem(dialog, controlId), STM_GETICON, 0, 0);
    if (!shown)
        return 0;
    for (int id = 100; id < 210; id++) {
        HICON icon = LoadIconA(BinpanelModule(), MAKEINTRESOURCEA(id));
        if (icon && icon == shown)
            return id;
    }
    return -1;
}

void PageTest::SetUp()
{
    static const bool watched =
        PatchImport(BinpanelModule(), "USER32.dll", "LoadBitmapA", (void *)RecordLoadBitmap) != nullptr;
    ASSERT_TRUE(watched);
    s_lastBitmap = 0;
    SimReset();
}

void PageTest::TearDown()
{
    if (page)
        DestroyWindow(page);
}

HWND PageTest::Open(SimPrinter printer)
{
    printer.device = 1;
    UsePrinters({ printer });
    page = CreatePage(TestFrame(), 1);
    EXPECT_NE(nullptr, page);
    return page;
}

void PageTest::Pick(int id, int row)
{
    HWND control = Item(id);
    bool combo = id != IDC_BIN_LIST;
    SendMessageA(control, combo ? CB_SETCURSEL : LB_SETCURSEL, row, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE), (LPARAM)control);
}

void PageTest::Type(const std::string &text)
{
    HWND edit = Item(IDC_NAME_EDIT);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (char c : text)
        SendMessageA(edit, WM_CHAR, (BYTE)c, 1);
}

DWORD PageTest::Apply(UINT message)
{
    DWORD word = 0;
    SendMessageA(page, message, 0, (LPARAM)&word);
    return word;
}
