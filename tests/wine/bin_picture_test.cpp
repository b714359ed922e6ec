/* The bin picture as its parent and the dialog manager see it: the class, the window data,
 * what a paint leaves on the pixels, the cursor and the click that selects a mailbox row,
 * and on the real page the pictures it is told to show. */
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "controls/bin_picture.h"
#include "page_fixture.h"

namespace {

#ifdef _WIN64
static_assert(BINPICTURE_ORIGIN_X_OFFSET == 8 && BINPICTURE_ORIGIN_Y_OFFSET == 10 && BINPICTURE_EXTRA_BYTES == 12,
              "pointer-sized bitmap slot on Win64");
#endif

const COLORREF kMagenta = RGB(255, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const int kPictureWidth = 96, kPictureHeight = 154;

/* Binpanel's calls watched through its import table. */
std::vector<HGDIOBJ> g_deleted;
std::vector<HCURSOR> g_cursorsSet;
bool g_failShadowBrush, g_failMemoryDC, g_failLoadBitmap;

typedef BOOL(WINAPI *DeleteObjectFn)(HGDIOBJ);
typedef HCURSOR(WINAPI *SetCursorFn)(HCURSOR);
typedef HBRUSH(WINAPI *CreateSolidBrushFn)(COLORREF);
typedef HDC(WINAPI *CreateCompatibleDCFn)(HDC);
typedef HBITMAP(WINAPI *LoadBitmapAFn)(HINSTANCE, LPCSTR);
DeleteObjectFn s_deleteObject;
SetCursorFn s_setCursor;
CreateSolidBrushFn s_createSolidBrush;
CreateCompatibleDCFn s_createCompatibleDC;
LoadBitmapAFn s_loadBitmap;

BOOL WINAPI RecordDeleteObject(HGDIOBJ object)
{
    g_deleted.push_back(object);
    return s_deleteObject(object);
}

HCURSOR WINAPI RecordSetCursor(HCURSOR cursor)
{
    g_cursorsSet.push_back(cursor);
    return s_setCursor(cursor);
}

HBRUSH WINAPI MaybeFailSolidBrush(COLORREF colour)
{
    return g_failShadowBrush ? nullptr : s_createSolidBrush(colour);
}

HDC WINAPI MaybeFailCompatibleDC(HDC dc)
{
    return g_failMemoryDC ? nullptr : s_createCompatibleDC(dc);
}

HBITMAP WINAPI MaybeFailLoadBitmap(HINSTANCE instance, LPCSTR name)
{
    return g_failLoadBitmap ? nullptr : s_loadBitmap(instance, name);
}

void WatchBinpanel()
{
    static bool watched = [] {
        HMODULE m = BinpanelModule();
        s_deleteObject = (DeleteObjectFn)PatchImport(m, "GDI32.dll", "DeleteObject", (void *)RecordDeleteObject);
        s_setCursor = (SetCursorFn)PatchImport(m, "USER32.dll", "SetCursor", (void *)RecordSetCursor);
        s_createSolidBrush =
            (CreateSolidBrushFn)PatchImport(m, "GDI32.dll", "CreateSolidBrush", (void *)MaybeFailSolidBrush);
        s_createCompatibleDC =
            (CreateCompatibleDCFn)PatchImport(m, "GDI32.dll", "CreateCompatibleDC", (void *)MaybeFailCompatibleDC);
        return s_deleteObject && s_setCursor && s_createSolidBrush && s_createCompatibleDC;
    }();
    ASSERT_TRUE(watched);
    g_deleted.clear();
    g_cursorsSet.clear();
    g_failShadowBrush = g_failMemoryDC = g_failLoadBitmap = false;
}

HBITMAP HeldBitmap(HWND control)
{
    return (HBITMAP)GetWindowLongPtrA(control, BINPICTURE_BITMAP_OFFSET);
}

POINT Origin(HWND control)
{
    return { GetWindowWord(control, BINPICTURE_ORIGIN_X_OFFSET), GetWindowWord(control, BINPICTURE_ORIGIN_Y_OFFSET) };
}

void Click(HWND control, int x, int y)
{
    SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

/* What the list box and the parent receive of a click, in order. */
struct Seen {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Seen &o) const
    {
        return window == o.window && message == o.message && wParam == o.wParam && lParam == o.lParam;
    }
};
std::vector<Seen> g_seen;
int g_parentSetCursors;
WNDPROC g_listProc;

LRESULT CALLBACK ParentProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_COMMAND)
        g_seen.push_back({ w, m, wp, lp });
    if (m == WM_SETCURSOR) {
        /* a parent that would set its own cursor over its children */
        g_parentSetCursors++;
        SetCursor(LoadCursorA(nullptr, IDC_WAIT));
        return TRUE;
    }
    return DefWindowProcA(w, m, wp, lp);
}

LRESULT CALLBACK ListSpy(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == LB_SETTOPINDEX || m == LB_SETCURSEL)
        g_seen.push_back({ w, m, wp, lp });
    return CallWindowProcA(g_listProc, w, m, wp, lp);
}

std::string Describe(const std::vector<Seen> &seen)
{
    std::string text;
    for (const Seen &s : seen)
        text += std::to_string((ULONG_PTR)s.window) + " " + std::to_string(s.message) + " " +
                std::to_string(s.wParam) + " " + std::to_string(s.lParam) + "; ";
    return text.empty() ? "nothing" : text;
}

/* A visible parent with the eight-row mailbox list 113, three rows high so that the top
 * index shows, and the control beside it. */
class BinPictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WatchBinpanel();
        static bool registered = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = ParentProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
            wc.lpszClassName = "BinPictureTestParent";
            return RegisterClassA(&wc) != 0;
        }();
        ASSERT_TRUE(registered);
        parent = CreateWindowA("BinPictureTestParent", "", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, parent);
        list = CreateWindowA("LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 10, 10, 100,
                             50, parent, (HMENU)113, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(nullptr, list);
        for (int i = 1; i <= 8; i++) {
            char name[16];
            wsprintfA(name, "MAILBOX %d", i);
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name);
        }
        g_listProc = (WNDPROC)SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)ListSpy);
        g_seen.clear();
        g_parentSetCursors = 0;
    }
    void TearDown() override
    {
        if (parent)
            DestroyWindow(parent);
    }
    HWND Create(int width = 118, int height = 160)
    {
        width_ = width;
        height_ = height;
        control = CreateWindowExA(0, BIN_PICTURE_CLASS, "", WS_CHILD | WS_VISIBLE, 120, 10, width, height, parent,
                                  (HMENU)137, BinpanelModule(), nullptr);
        EXPECT_NE(nullptr, control);
        UpdateWindow(parent);
        return control;
    }
    /* Hands the control a picture the way the page has it shown, and lets it paint. */
    HBITMAP Give(int id)
    {
        HBITMAP bitmap = LoadBitmapA(BinpanelModule(), MAKEINTRESOURCEA(id));
        EXPECT_NE(nullptr, bitmap);
        SetWindowLongPtrA(control, BINPICTURE_BITMAP_OFFSET, (LONG_PTR)bitmap);
        InvalidateRect(control, nullptr, FALSE);
        UpdateWindow(control);
        return bitmap;
    }
    /* Covers the control with magenta, then lets it paint without erasing. */
    void PaintOverMagenta() const { PaintOver(control, width_, height_, kMagenta); }
    std::vector<COLORREF> Capture() const { return CapturePixels(control, width_, height_); }
    void ExpectClick(int x, int y, int row, const char *what)
    {
        g_seen.clear();
        Click(control, x, y);
        std::vector<Seen> expected;
        if (row >= 0)
            expected = { { list, LB_SETTOPINDEX, (WPARAM)row, 0 },
                         { list, LB_SETCURSEL, (WPARAM)row, 0 },
                         { parent, WM_COMMAND, 0x10071, (LPARAM)list } };
        EXPECT_EQ(expected, g_seen) << what << " (" << x << ", " << y << "): got " << Describe(g_seen)
                                    << ", expected " << Describe(expected);
    }

    HWND parent = nullptr;
    HWND list = nullptr;
    HWND control = nullptr;
    int width_ = 118, height_ = 160;
};

TEST_F(BinPictureTest, RegisteredWithTheStatedClassValues)
{
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(BinpanelModule(), BIN_PICTURE_CLASS, &wc));
    EXPECT_EQ(0u, wc.style) << "no double clicks, no redraw on resize";
    EXPECT_EQ((WNDPROC)BinpanelProc("HCOBitmapWndProc"), wc.lpfnWndProc);
    EXPECT_EQ(0, wc.cbClsExtra);
    EXPECT_EQ(BINPICTURE_EXTRA_BYTES, wc.cbWndExtra);
    EXPECT_EQ(nullptr, wc.hIcon);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), wc.hCursor);
    EXPECT_EQ((HBRUSH)6, wc.hbrBackground);
    EXPECT_EQ(nullptr, wc.lpszMenuName);
}

TEST_F(BinPictureTest, StartsWithNoPictureAndTheOriginAtZeroUntilAPictureIsDrawn)
{
    Create();
    EXPECT_EQ(nullptr, HeldBitmap(control));
    POINT origin = Origin(control);
    EXPECT_EQ(0, origin.x);
    EXPECT_EQ(0, origin.y);
    ExpectClick(10, 35, 0, "bands measured from the corner before a picture");
    ExpectClick(21, 38, 0, "bands measured from the corner before a picture");
    ExpectClick(45, 135, 7, "bands measured from the corner before a picture");

    Give(129);
    origin = Origin(control);
    EXPECT_EQ(11, origin.x);
    EXPECT_EQ(3, origin.y);
    ExpectClick(10, 35, -1, "the corner is no longer a tray");
}

/* The origin is centred with truncating division; a control smaller than the picture puts
 * it at 0 on that axis, where the picture is then drawn. */
TEST_F(BinPictureTest, CentresThePictureAndKeepsWhereItWentInTheOriginWords)
{
    const struct { int width, height, x, y; } cases[] = {
        { 118, 160, 11, 3 }, { 119, 160, 11, 3 }, { 118, 161, 11, 3 }, { 96, 154, 0, 0 },
        { 95, 153, 0, 0 },   { 94, 160, 0, 3 },   { 40, 100, 0, 0 },   { 300, 60, 102, 0 },
    };
    for (const auto &c : cases) {
        Create(c.width, c.height);
        Give(129);
        POINT origin = Origin(control);
        EXPECT_EQ(c.x, origin.x) << c.width << " x " << c.height;
        EXPECT_EQ(c.y, origin.y) << c.width << " x " << c.height;
        /* the bands follow the drawn picture */
        ExpectClick(c.x + 10, c.y + 35, 0, "top tray");
        ExpectClick(c.x + 9, c.y + 35, -1, "left of the top tray");
        DestroyWindow(control);
    }
}

/* The two-pixel sunken well: the outcome of three frames drawn over one another. */
COLORREF WellColour(int x, int y, int w, int h, bool shadowBrush)
{
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    auto on = [&](int left, int top, int right, int bottom) {
        bool inside = x >= left && x < right && y >= top && y < bottom;
        return inside && (x == left || x == right - 1 || y == top || y == bottom - 1);
    };
    COLORREF colour = kMagenta;
    if (on(0, 0, w, h))
        colour = kWhite;
    if (on(1, 1, w - 1, h - 1))
        colour = kBlack;
    if (shadowBrush && on(0, 0, w - 1, h - 1))
        colour = shadow;
    return colour;
}

TEST_F(BinPictureTest, PaintsTheWellAndThePictureAndNothingElse)
{
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    ASSERT_TRUE(shadow != kWhite && shadow != kBlack && shadow != kMagenta);
    HBITMAP reference = LoadBitmapA(BinpanelModule(), MAKEINTRESOURCEA(132));
    ASSERT_NE(nullptr, reference);
    std::vector<COLORREF> picture = CapturePixels(nullptr, kPictureWidth, kPictureHeight, reference);
    DeleteObject(reference);

    const struct {
        const char *what;
        int width, height;
        bool failBrush, failDC;
        int pictureX, pictureY; /* -1: no picture drawn */
    } cases[] = {
        { "page size", 118, 160, false, false, 11, 3 },
        { "odd width", 119, 161, false, false, 11, 3 },
        { "no shadow brush", 118, 160, true, false, 11, 3 },
        { "no memory context", 118, 160, false, true, -1, -1 },
        { "smaller than the picture", 80, 120, false, false, 0, 0 },
        { "narrower than the picture", 90, 170, false, false, 0, 8 },
    };
    for (const auto &c : cases) {
        Create(c.width, c.height);
        g_failShadowBrush = c.failBrush;
        g_failMemoryDC = c.failDC;
        Give(132);
        PaintOverMagenta();
        g_failShadowBrush = g_failMemoryDC = false;
        std::vector<COLORREF> px = Capture();

        const int w = c.width, h = c.height;
        if (!c.failBrush) {
            /* the corners as the well is meant to look */
            const struct { int x, y; COLORREF colour; } corners[] = {
                { 0, 0, shadow },         { w - 2, 0, shadow },     { w - 1, 0, kWhite },     { 0, h - 2, shadow },
                { 0, h - 1, kWhite },     { w - 1, h - 1, kWhite }, { 1, 1, kBlack },         { w - 3, 1, kBlack },
                { w - 2, 1, shadow },     { 1, h - 3, kBlack },     { 1, h - 2, shadow },     { w - 2, h - 2, shadow },
                { w - 2, h - 1, kWhite }, { w - 1, h - 2, kWhite },
            };
            if (c.pictureX != 0)
                for (const auto &k : corners)
                    EXPECT_EQ(k.colour, px[k.y * w + k.x]) << c.what << ": corner " << k.x << "," << k.y;
        }
        int wrong = 0;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                int px_ = x - c.pictureX, py = y - c.pictureY;
                COLORREF expected = c.pictureX >= 0 && px_ >= 0 && px_ < kPictureWidth && py >= 0 &&
                                            py < kPictureHeight
                                        ? picture[py * kPictureWidth + px_]
                                        : WellColour(x, y, w, h, !c.failBrush);
                if (px[y * w + x] != expected && wrong++ < 3)
                    ADD_FAILURE() << c.what << ": pixel " << x << "," << y << " is " << std::hex << px[y * w + x]
                                  << ", expected " << expected;
            }
        EXPECT_EQ(0, wrong) << c.what;
        POINT origin = Origin(control);
        EXPECT_EQ(c.failDC ? 0 : c.pictureX, origin.x) << c.what << ": origin only set by a drawn picture";
        EXPECT_EQ(c.failDC ? 0 : c.pictureY, origin.y) << c.what;
        DestroyWindow(control);
    }
}

TEST_F(BinPictureTest, AClickOnATraySelectsItsRowAndAnnouncesItOnce)
{
    Create();
    Give(129);
    const struct { int x, y, row; } cases[] = {
        { 21, 38, 0 },  { 56, 138, 7 }, { 20, 37, -1 }, { 57, 138, -1 }, { 39, 43, 0 },
        { 39, 42, -1 }, { 31, 49, 0 },  { 31, 50, 1 },  { 11, 3, -1 },   { 200, 200, -1 },
    };
    for (const auto &c : cases) {
        SendMessageA(list, LB_SETTOPINDEX, 3, 0);
        SendMessageA(list, LB_SETCURSEL, 3, 0);
        ExpectClick(c.x, c.y, c.row, "click");
        int row = c.row >= 0 ? c.row : 3;
        EXPECT_EQ(row, SendMessageA(list, LB_GETCURSEL, 0, 0)) << c.x << "," << c.y;
    }
    ExpectClick(21, 38, 0, "the first of a double click");
    ExpectClick(21, 38, 0, "the second of a double click");

    /* a parent without the list is left alone */
    SetWindowLongPtrA(list, GWLP_ID, 114);
    ExpectClick(21, 38, -1, "no list 113");
    SetWindowLongPtrA(list, GWLP_ID, 113);
}

TEST_F(BinPictureTest, AClickWithoutAParentDoesNothing)
{
    HWND lone = CreateWindowExA(0, BIN_PICTURE_CLASS, "", WS_POPUP, 0, 0, 118, 160, nullptr, nullptr,
                                BinpanelModule(), nullptr);
    ASSERT_NE(nullptr, lone);
    g_seen.clear();
    EXPECT_EQ(0, SendMessageA(lone, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 35)));
    EXPECT_TRUE(g_seen.empty());
    DestroyWindow(lone);
}

/* The pointer position comes from the platform, not from the message. */
TEST_F(BinPictureTest, TheCursorIsTheHandOverATrayAndTheArrowElsewhere)
{
    Create();
    Give(129);
    HCURSOR hand = LoadCursorA(BinpanelModule(), MAKEINTRESOURCEA(150));
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(nullptr, hand);
    const struct { int x, y; bool overTray; } cases[] = {
        { 21, 38, true }, { 56, 138, true }, { 20, 38, false }, { 56, 139, false }, { 5, 5, false },
    };
    for (const auto &c : cases) {
        POINT screen = { c.x, c.y };
        ClientToScreen(control, &screen);
        ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
        POINT now;
        GetCursorPos(&now);
        ASSERT_EQ(screen.x, now.x);
        ASSERT_EQ(screen.y, now.y);
        g_cursorsSet.clear();
        g_parentSetCursors = 0;
        /* the message claims another place; the control asks the platform */
        LRESULT answer = SendMessageA(control, WM_SETCURSOR, (WPARAM)control, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(1, answer) << c.x << "," << c.y;
        EXPECT_EQ(std::vector<HCURSOR>{ c.overTray ? hand : arrow }, g_cursorsSet) << c.x << "," << c.y;
        EXPECT_EQ(c.overTray ? hand : arrow, GetCursor()) << c.x << "," << c.y;
        EXPECT_EQ(0, g_parentSetCursors) << "the parent is never asked";
    }
}

TEST_F(BinPictureTest, DestroyReleasesTheHeldPicture)
{
    Create();
    HBITMAP bitmap = Give(130);
    g_deleted.clear();
    DestroyWindow(control);
    EXPECT_EQ(std::vector<HGDIOBJ>{ (HGDIOBJ)bitmap }, g_deleted);

    Create();
    g_deleted.clear();
    DestroyWindow(control);
    EXPECT_TRUE(g_deleted.empty()) << "nothing held, nothing deleted";
}

int g_paints, g_erases;
WNDPROC g_pictureProc;
LRESULT CALLBACK CountingProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m == WM_PAINT)
        g_paints++;
    if (m == WM_ERASEBKGND)
        g_erases++;
    return CallWindowProcA(g_pictureProc, w, m, wp, lp);
}

/* On the real page, shown so that it paints: the population and the bin selection tell
 * the control which picture to show. */
class BinPicturePage : public PageTest {
protected:
    void SetUp() override
    {
        PageTest::SetUp();
        WatchBinpanel();
        /* after the page fixture's own watch, which it keeps working */
        static bool watched =
            (s_loadBitmap = (LoadBitmapAFn)PatchImport(BinpanelModule(), "USER32.dll", "LoadBitmapA",
                                                       (void *)MaybeFailLoadBitmap)) != nullptr;
        ASSERT_TRUE(watched);
        Open(DefaultPrinter());
        ShowWindow(TestFrame(), SW_SHOWNOACTIVATE);
        ShowWindow(page, SW_SHOWNOACTIVATE);
        UpdateWindow(TestFrame());
        picture = Item(IDC_BIN_PICTURE);
        ASSERT_NE(nullptr, picture);
    }
    void TearDown() override
    {
        g_failLoadBitmap = false;
        PageTest::TearDown();
        ShowWindow(TestFrame(), SW_HIDE);
    }
    HWND picture = nullptr;
};

TEST_F(BinPicturePage, HoldsOnePictureAtATimeAndNoneAfterDestroy)
{
    EXPECT_EQ(129, LastPictureId());
    HBITMAP first = HeldBitmap(picture);
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(OBJ_BITMAP, (int)GetObjectType(first));
    POINT origin = Origin(picture);
    RECT client;
    GetClientRect(picture, &client);
    EXPECT_EQ((client.right - kPictureWidth) / 2, origin.x);
    EXPECT_EQ((client.bottom - kPictureHeight) / 2, origin.y);

    /* a click on tray 4 reaches the page, which shows that tray */
    g_pictureProc = (WNDPROC)SetWindowLongPtrA(picture, GWLP_WNDPROC, (LONG_PTR)CountingProc);
    g_deleted.clear();
    g_paints = g_erases = 0;
    Click(picture, origin.x + 20, origin.y + 40 + 12 * 3);
    EXPECT_EQ(3, Selected(IDC_BIN_LIST, false));
    EXPECT_EQ(132, LastPictureId());
    HBITMAP second = HeldBitmap(picture);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(std::vector<HGDIOBJ>{ (HGDIOBJ)first }, g_deleted) << "the replaced picture is released";
    BITMAP info;
    ASSERT_EQ((int)sizeof info, GetObjectA(second, sizeof info, &info));
    EXPECT_EQ(kPictureWidth, info.bmWidth);
    EXPECT_EQ(kPictureHeight, info.bmHeight);
    UpdateWindow(picture);
    EXPECT_EQ(1, g_paints) << "the whole control is invalidated";
    EXPECT_EQ(0, g_erases) << "without erasing";
    SetWindowLongPtrA(picture, GWLP_WNDPROC, (LONG_PTR)g_pictureProc);

    g_deleted.clear();
    DestroyWindow(page);
    page = nullptr;
    EXPECT_EQ(std::vector<HGDIOBJ>{ (HGDIOBJ)second }, g_deleted);
}

TEST_F(BinPicturePage, APictureThatFailsToLoadLeavesNoneAndTheBandsWhereTheyWere)
{
    HBITMAP first = HeldBitmap(picture);
    POINT origin = Origin(picture);
    ASSERT_NE(0, origin.x);
    g_failLoadBitmap = true;
    g_deleted.clear();
    Pick(IDC_BIN_LIST, 5);
    EXPECT_EQ(std::vector<HGDIOBJ>{ (HGDIOBJ)first }, g_deleted);
    EXPECT_EQ(nullptr, HeldBitmap(picture));
    UpdateWindow(picture);
    POINT after = Origin(picture);
    EXPECT_EQ(origin.x, after.x);
    EXPECT_EQ(origin.y, after.y);

    g_deleted.clear();
    DestroyWindow(page);
    page = nullptr;
    EXPECT_TRUE(g_deleted.empty()) << "nothing held, nothing deleted";
}

} // namespace
