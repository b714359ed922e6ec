#include "ui_driver.h"
#include "page_descriptor.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <algorithm>

static UiScript *g_script;
static HHOOK g_hook;

HMODULE BinpanelModule()
{
    static HMODULE module = LoadLibraryA("Binpanel.dll");
    return module;
}

FARPROC BinpanelProc(const char *name)
{
    return GetProcAddress(BinpanelModule(), name);
}

void *PatchImport(HMODULE module, const char *dll, const char *function, void *replacement)
{
    BYTE *base = (BYTE *)module;
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR *d = (IMAGE_IMPORT_DESCRIPTOR *)(base + dir.VirtualAddress); d->Name; d++) {
        if (lstrcmpiA((const char *)(base + d->Name), dll) != 0)
            continue;
        IMAGE_THUNK_DATA *names = (IMAGE_THUNK_DATA *)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA *slots = (IMAGE_THUNK_DATA *)(base + d->FirstThunk);
        for (; names->u1.AddressOfData; names++, slots++) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            IMAGE_IMPORT_BY_NAME *byName = (IMAGE_IMPORT_BY_NAME *)(base + names->u1.AddressOfData);
            if (lstrcmpA((const char *)byName->Name, function) != 0)
                continue;
            DWORD old;
            void *previous = (void *)slots->u1.Function;
            VirtualProtect(&slots->u1.Function, sizeof(void *), PAGE_READWRITE, &old);
            slots->u1.Function = (ULONG_PTR)replacement;
            VirtualProtect(&slots->u1.Function, sizeof(void *), old, &old);
            return previous;
        }
    }
    return nullptr;
}

typedef int(WINAPI *MessageBoxAFn)(HWND, LPCSTR, LPCSTR, UINT);
typedef BOOL(WINAPI *WinHelpAFn)(HWND, LPCSTR, UINT, ULONG_PTR);
typedef BOOL(WINAPI *MessageBeepFn)(UINT);
static MessageBoxAFn s_realMessageBox;

static int WINAPI RecordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    if (g_script)
        g_script->boxes.push_back({ owner, text ? text : "", caption ? caption : "", type, false });
    return s_realMessageBox(owner, text, caption, type);
}

static BOOL WINAPI RecordWinHelp(HWND window, LPCSTR file, UINT command, ULONG_PTR data)
{
    if (g_script)
        g_script->helps.push_back({ window, file ? file : "", command, data });
    return TRUE;
}

static BOOL WINAPI RecordBeep(UINT type)
{
    if (g_script)
        g_script->beeps.push_back(type);
    return TRUE;
}

static void InstallImportWatches()
{
    static bool done;
    if (done)
        return;
    done = true;
    HMODULE m = BinpanelModule();
    s_realMessageBox = (MessageBoxAFn)PatchImport(m, "USER32.dll", "MessageBoxA", (void *)RecordMessageBox);
    PatchImport(m, "USER32.dll", "WinHelpA", (void *)RecordWinHelp);
    PatchImport(m, "USER32.dll", "MessageBeep", (void *)RecordBeep);
    if (!s_realMessageBox)
        s_realMessageBox = MessageBoxA;
}

void PostTimerTicks(HWND dialog, int count)
{
    for (int i = 0; i < count; i++)
        PostMessageA(dialog, WM_TIMER, 0, 0);
}

static const char kPaintedTicksProc[] = "PaintedTicksProc";
static int s_paintedTicks;

static LRESULT CALLBACK PaintAfterTimerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = (WNDPROC)GetPropA(window, kPaintedTicksProc);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)previous);
        RemovePropA(window, kPaintedTicksProc);
    }
    LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
    if (message == WM_TIMER && IsWindowVisible(window)) {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        s_paintedTicks++;
    }
    return result;
}

void PostPaintedTimerTicks(HWND dialog, int count)
{
    if (!GetPropA(dialog, kPaintedTicksProc))
        SetPropA(dialog, kPaintedTicksProc,
                 (HANDLE)SetWindowLongPtrA(dialog, GWLP_WNDPROC, (LONG_PTR)PaintAfterTimerProc));
    PostTimerTicks(dialog, count);
}

int PaintedTicks()
{
    return s_paintedTicks;
}

static bool IsMessageBox(HWND window)
{
    char cls[32];
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpA(cls, "#32770") == 0 && GetDlgItem(window, 0xFFFF) && !GetDlgItem(window, IDC_WAIT_LEVEL);
}

/* Another program's windows can take the activation away and give it back: each dialog
 * is answered once, at its first activation. */
static bool FirstActivation(HWND window)
{
    std::vector<HWND> &seen = g_script->activated;
    if (std::find(seen.begin(), seen.end(), window) != seen.end())
        return false;
    seen.push_back(window);
    return true;
}

static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = (HWND)wParam;
    if (code == HCBT_ACTIVATE && g_script) {
        if (GetDlgItem(window, IDC_WAIT_LEVEL)) {
            if (FirstActivation(window)) {
                g_script->waitDialogs++;
                if (g_script->onWaitDialog)
                    g_script->onWaitDialog(window);
            }
        } else if (IsMessageBox(window) && FirstActivation(window)) {
            if (!g_script->boxes.empty()) {
                HWND owner = GetWindow(window, GW_OWNER);
                g_script->boxes.back().ownerDisabled = owner && !IsWindowEnabled(owner);
            }
            int answer = IDOK;
            if (!g_script->answers.empty()) {
                answer = g_script->answers.front();
                g_script->answers.erase(g_script->answers.begin());
            }
            PostMessageA(window, WM_COMMAND, answer, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

UiScript::UiScript(std::vector<int> answers_) : answers(std::move(answers_))
{
    InstallImportWatches();
    onWaitDialog = [](HWND dialog) { PostTimerTicks(dialog, 32); };
    g_script = this;
    g_hook = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
}

UiScript::~UiScript()
{
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    g_script = nullptr;
}

static std::function<void(HWND)> s_standAloneAct;

static BOOL CALLBACK FindStandAloneDialog(HWND window, LPARAM found)
{
    char cls[16];
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") != 0 || !GetDlgItem(window, IDC_HELP_BUTTON) || !IsWindowVisible(window))
        return TRUE;
    *(HWND *)found = window;
    return FALSE;
}

/* The dialog's population sets its focus and so activates it before it is done; it is
 * shown only when its modal loop first runs idle. A timer of that loop finds it then. */
static void CALLBACK ActOnStandAloneDialog(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindStandAloneDialog, (LPARAM)&dialog);
    if (!dialog)
        return;
    KillTimer(nullptr, timer);
    s_standAloneAct(dialog);
}

INT_PTR RunStandAloneDialog(const std::function<void(HWND)> &act, HWND parent)
{
    typedef INT_PTR(WINAPI * PopupFn)(HWND);
    static PopupFn popup = (PopupFn)BinpanelProc("HCOPopupDialog");
    s_standAloneAct = act;
    SetTimer(nullptr, 0, 5, ActOnStandAloneDialog);
    return popup(parent);
}

std::string ReadWholeFile(const std::string &path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    char chunk[4096];
    DWORD got;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ListText(HWND list, int row, bool combo)
{
    LRESULT length = SendMessageA(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, row, 0);
    if (length < 0)
        return "<no row>";
    std::string text(length + 1, '\0');
    SendMessageA(list, combo ? CB_GETLBTEXT : LB_GETTEXT, row, (LPARAM)&text[0]);
    text.resize(length);
    return text;
}

std::vector<std::string> ListRows(HWND list, bool combo)
{
    std::vector<std::string> rows;
    LRESULT n = SendMessageA(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; i++)
        rows.push_back(ListText(list, i, combo));
    return rows;
}

HWND TestFrame()
{
    static HWND frame;
    if (!frame) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "BinpanelTestFrame";
        RegisterClassA(&wc);
        frame = CreateWindowA("BinpanelTestFrame", "Test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 420, nullptr, nullptr,
                              wc.hInstance, nullptr);
    }
    return frame;
}

HWND CreatePage(HWND parent, DWORD device)
{
    typedef DWORD(WINAPI * GetPages)(DWORD, PageDescriptor *, DWORD *, DWORD);
    GetPages getPages = (GetPages)BinpanelProc("AppletGetTabPages");
    PageDescriptor page = {};
    DWORD count = 0;
    if (getPages(device, &page, &count, 1) != 0 || count != 1)
        return nullptr;
    return CreateDialogParamA(page.instance, MAKEINTRESOURCEA(page.templateId), parent, page.dialogProc,
                              (LPARAM)&page);
}

static INT_PTR CALLBACK HostDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    /* Enter and Esc that the page does not take end nothing here */
    return message == WM_INITDIALOG;
}

static HWND AddHostButton(HWND host, int id, const char *text, int y)
{
    return CreateWindowA("BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 8, y, 90, 24, host,
                         (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr), nullptr);
}

HostWindow OpenHostWindow(DWORD device, int x)
{
    struct {
        DLGTEMPLATE t;
        WORD menu, cls, title;
    } tpl = {};
    tpl.t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    tpl.t.cx = 400;
    tpl.t.cy = 260;
    HostWindow host;
    host.dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tpl.t, nullptr, HostDialogProc, 0);
    SetWindowPos(host.dialog, HWND_TOP, x, 0, 720, 520, SWP_SHOWWINDOW);
    host.before = AddHostButton(host.dialog, 1001, "Prima", 4);
    host.page = CreatePage(host.dialog, device);
    if (host.page)
        SetWindowPos(host.page, HWND_BOTTOM, 8, 34, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    host.after = AddHostButton(host.dialog, 1002, "Dopo", 440);
    SetForegroundWindow(host.dialog);
    SetFocus(host.before);
    PumpHost(host.dialog);
    return host;
}

void PumpHost(HWND host)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (IsWindow(host) && IsDialogMessageA(host, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

static void SendKey(WORD vk, DWORD flags, DWORD time)
{
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = (WORD)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    in.ki.dwFlags = flags;
    in.ki.time = time;
    SendInput(1, &in, sizeof in);
}

void KeyDown(WORD vk, DWORD time)
{
    SendKey(vk, 0, time);
}

void KeyUp(WORD vk)
{
    SendKey(vk, KEYEVENTF_KEYUP, 0);
}

void PressKey(WORD vk, bool shift)
{
    if (shift)
        KeyDown(VK_SHIFT);
    KeyDown(vk);
    KeyUp(vk);
    if (shift)
        KeyUp(VK_SHIFT);
}

void TypeKeys(const std::string &text)
{
    for (char c : text) {
        SHORT key = VkKeyScanA(c);
        PressKey(LOBYTE(key), (HIBYTE(key) & 1) != 0);
    }
}

std::vector<COLORREF> CapturePixels(HWND window, int width, int height, HBITMAP source)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, dib);
    if (source) {
        HDC from = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(from, source);
        BitBlt(memory, 0, 0, width, height, from, 0, 0, SRCCOPY);
        SelectObject(from, previous);
        DeleteDC(from);
    } else {
        HDC from = GetWindowDC(window);
        BitBlt(memory, 0, 0, width, height, from, 0, 0, SRCCOPY);
        ReleaseDC(window, from);
    }
    GdiFlush();
    std::vector<COLORREF> pixels((size_t)width * height);
    const DWORD *p = (const DWORD *)bits;
    for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF);
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    return pixels;
}

void PaintOver(HWND window, int width, int height, COLORREF colour)
{
    HDC dc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all = { 0, 0, width, height };
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}
