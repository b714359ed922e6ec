/* The input driver: host dialogs, real keyboard input, clicks, the answers to the mode
 * change's dialogs, and the record of what reached the page and the printer. */
#include "driver.h"

#include <cstring>
#include "devobj.h"
#include "devobj_sim.h"
#include "host.h"
#include "page_descriptor.h"
#include "resource.h"
#include "ui_driver.h"

std::function<void(int, int)> g_onHostCommand;
std::function<void()> g_onWaitShown;

namespace {

enum { TIMER_WAIT_CHECK = 1, TIMER_WAIT_VERIFY, TIMER_POPUP };

HWND g_driver;                /* the driver's own window, for its timers */
HHOOK g_cbtHook;
HMODULE g_applet;
HWND g_host[2], g_page[2], g_popup;
std::vector<Event> g_events;
bool g_loaded;

ChangePlan g_plan;
bool g_planned;
int g_boxesAnswered;
std::vector<HWND> g_answered; /* dialogs already answered: a box is activated again when another window was */

HWND g_wait;
int g_waitEnd;
bool g_enterHeld;
DWORD g_aheadTime;

DWORD g_injectIndex = 0xFFFFFFFFu, g_injectStatus;
std::function<void(HWND)> g_popupInside;

void WatchPageWindow(HWND page);

int WindowOfPage(HWND window)
{
    if (!window)
        return -1;
    if (window == g_popup || window == g_page[MAIN_WINDOW])
        return MAIN_WINDOW;
    if (window == g_page[SECOND_WINDOW])
        return SECOND_WINDOW;
    return -1;
}

bool IsDialogClass(HWND window)
{
    char cls[32];
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpA(cls, "#32770") == 0;
}

void KeyInput(WORD vk, bool up, DWORD time = 0)
{
    INPUT in;
    ZeroMemory(&in, sizeof in);
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = (WORD)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.ki.time = time;
    SendInput(1, &in, sizeof in);
}

void PostTicks(HWND dialog, int count)
{
    for (int i = 0; i < count; i++)
        PostMessageA(dialog, WM_TIMER, 0, 0);
}

/* ---- the printer's calls, as the page makes them ---- */

/* A component the session took out of the printer's list is refused by the printer: the
 * session's doing, not the page's. */
bool Removed(const DeviceCall &c, DWORD status)
{
    if (status != SIM_E_BAD_COMPONENT)
        return false;
    ComponentListRecord list;
    if (SimPeekObject(c.device, OBJ_COMPONENT_LIST, &list, sizeof list) != 0)
        return false;
    DWORD count = list.componentCount < COMPONENT_LIST_ENTRIES ? list.componentCount : COMPONENT_LIST_ENTRIES;
    for (DWORD i = 0; i < count; i++) {
        char part[sizeof list.entries[i].partNumber + 1] = {};
        memcpy(part, list.entries[i].partNumber, sizeof list.entries[i].partNumber);
        if (list.entries[i].componentId == c.component && strstr(part, HCO_PART_NUMBER))
            return false;
    }
    return true;
}

DWORD Recorded(int op, DWORD at, DWORD status)
{
    Event e = {};
    e.kind = EV_CALL;
    e.window = -1;
    e.call.op = op;
    e.call.status = status;
    SimCall c;
    if (SimLogEntry(at, &c) == 0) {
        e.call.device = c.device;
        e.call.component = c.component;
        e.call.object = c.object;
        e.call.zero = c.zero;
        e.call.size = c.size;
        e.call.record.assign(c.record, c.record + c.recordBytes);
    }
    e.call.injected = (at == g_injectIndex && status == g_injectStatus) || Removed(e.call, status);
    g_events.push_back(e);
    return status;
}

/* Keys the user presses while the mode write keeps the thread busy. */
void TypeAheadDuringModeWrite(const void *record)
{
    if (!g_planned || !record || ((const HcoConfigRecord *)record)->fieldMask != HCO_CONFIG_FIELD_MODE)
        return;
    switch (g_plan.ahead) {
    case AHEAD_ENTER:
        KeyInput(VK_RETURN, false);
        KeyInput(VK_RETURN, true);
        break;
    case AHEAD_ESCAPE:
        KeyInput(VK_ESCAPE, false);
        KeyInput(VK_ESCAPE, true);
        break;
    case AHEAD_HELD_ENTER:
        KeyInput(VK_RETURN, false);
        g_enterHeld = true;
        break;
    case AHEAD_LATE:
        g_aheadTime = GetTickCount();
        break;
    default:
        return;
    }
    Sleep(20); /* a slow printer: the keys lie well before the wait dialog */
}

DWORD WINAPI WatchLalGet(DeviceHandle d, ObjectId o, DWORD z, void *r, DWORD *s)
{
    DWORD at = SimLogCount();
    return Recorded(OP_LAL_GET, at, LALGetObject(d, o, z, r, s));
}

DWORD WINAPI WatchPalGet(DeviceHandle d, ObjectId o, DWORD z, void *r, DWORD *s)
{
    DWORD at = SimLogCount();
    return Recorded(OP_PAL_GET, at, PALGetObject(d, o, z, r, s));
}

DWORD WINAPI WatchLalSet(DeviceHandle d, ObjectId o, DWORD z, void *r, DWORD *s)
{
    DWORD at = SimLogCount();
    return Recorded(OP_LAL_SET, at, LALSetObject(d, o, z, r, s));
}

DWORD WINAPI WatchCalSet(DeviceHandle d, ObjectId o, DWORD z, void *r, DWORD *s)
{
    DWORD at = SimLogCount();
    return Recorded(OP_CAL_SET, at, CALSetObject(d, o, z, r, s));
}

DWORD WINAPI WatchCalGetComponent(DeviceHandle d, ComponentId c, ObjectId o, DWORD z, void *r, DWORD *s)
{
    DWORD at = SimLogCount();
    return Recorded(OP_CAL_GET_COMPONENT, at, CALGetComponentObject(d, c, o, z, r, s));
}

DWORD WINAPI WatchCalSetComponent(DeviceHandle d, ComponentId c, ObjectId o, DWORD z, void *r, DWORD *s)
{
    TypeAheadDuringModeWrite(r);
    DWORD at = SimLogCount();
    return Recorded(OP_CAL_SET_COMPONENT, at, CALSetComponentObject(d, c, o, z, r, s));
}

DWORD WINAPI WatchAccess(DeviceHandle d)
{
    DWORD at = SimLogCount();
    return Recorded(OP_TAL_ACCESS, at, TALModifyAccess(d));
}

/* ---- the applet's dialogs ---- */

int WINAPI WatchMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    Event e = {};
    e.kind = EV_BOX;
    e.window = MAIN_WINDOW;
    e.text = text ? text : "";
    e.text2 = caption ? caption : "";
    e.a = (int)type;
    HWND page = g_popup ? g_popup : g_page[MAIN_WINDOW];
    e.b = owner && page && owner == GetAncestor(page, GA_ROOT);
    size_t at = g_events.size();
    g_events.push_back(e);
    int answer = MessageBoxA(owner, text, caption, type);
    g_events[at].c = answer;
    return answer;
}

INT_PTR WINAPI WatchDialogBox(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param)
{
    if (name != MAKEINTRESOURCEA(IDD_WAIT))
        return DialogBoxParamA(instance, name, owner, proc, param);
    Event e = {};
    e.kind = EV_WAIT;
    e.window = MAIN_WINDOW;
    e.b = g_planned && g_plan.ahead != AHEAD_NONE;
    g_events.push_back(e);
    g_wait = nullptr;
    g_waitEnd = WAIT_NOT_SHOWN;
    INT_PTR result = DialogBoxParamA(instance, name, owner, proc, param);
    KillTimer(g_driver, TIMER_WAIT_CHECK);
    KillTimer(g_driver, TIMER_WAIT_VERIFY);
    if (g_enterHeld)
        KeyInput(VK_RETURN, true);
    g_enterHeld = false;
    e.kind = EV_WAIT_END;
    e.a = g_waitEnd;
    g_events.push_back(e);
    g_wait = nullptr;
    return result;
}

BOOL WINAPI WatchBeep(UINT type)
{
    Event e = {};
    e.kind = EV_BEEP;
    e.window = MAIN_WINDOW;
    e.a = (int)type;
    g_events.push_back(e);
    return TRUE;
}

BOOL WINAPI NoHelp(HWND, LPCSTR, UINT, ULONG_PTR)
{
    return TRUE; /* no help viewer is started */
}

/* The wait dialog is up: keys typed ahead have been handled by now (input comes before
 * timers), so it must still be there. Then it is used as the plan says. */
void WaitShown()
{
    KillTimer(g_driver, TIMER_WAIT_CHECK);
    if (!g_wait || !IsWindow(g_wait))
        return;
    if (!IsWindowVisible(g_wait)) {
        SetTimer(g_driver, TIMER_WAIT_CHECK, 1, nullptr);
        return;
    }
    g_waitEnd = WAIT_RAN_OUT;
    if (g_enterHeld) {
        KeyInput(VK_RETURN, true);
        g_enterHeld = false;
    }
    if (g_planned && g_plan.second && g_onWaitShown) {
        g_onWaitShown();
        SetForegroundWindow(g_wait);
    }
    int ticks = g_planned ? g_plan.ticks : 32;
    if (ticks >= 32) {
        PostTicks(g_wait, 33);
        return;
    }
    PostTicks(g_wait, ticks);
    Sleep(2);
    switch (g_plan.end) {
    case 0:
        KeyInput(VK_ESCAPE, false);
        KeyInput(VK_ESCAPE, true);
        g_waitEnd = WAIT_KEY;
        break;
    case 1:
        KeyInput(VK_RETURN, false);
        KeyInput(VK_RETURN, true);
        g_waitEnd = WAIT_KEY;
        break;
    default:
        PostMessageA(g_wait, WM_SYSCOMMAND, SC_CLOSE, 0);
        g_waitEnd = WAIT_CLOSE_BOX;
        break;
    }
    SetTimer(g_driver, TIMER_WAIT_VERIFY, 1, nullptr);
}

/* The key or the close box was handled and the dialog is still there. */
void WaitStillShown()
{
    KillTimer(g_driver, TIMER_WAIT_VERIFY);
    if (!g_wait || !IsWindow(g_wait))
        return;
    g_waitEnd = WAIT_KEY_IGNORED;
    PostTicks(g_wait, 33);
}

LRESULT CALLBACK DriverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_TIMER)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (wParam) {
    case TIMER_WAIT_CHECK: WaitShown(); break;
    case TIMER_WAIT_VERIFY: WaitStillShown(); break;
    case TIMER_POPUP:
        KillTimer(window, TIMER_POPUP);
        if (g_popup && IsWindow(g_popup) && g_popupInside) {
            if (!IsWindowVisible(g_popup)) {
                SetTimer(window, TIMER_POPUP, 1, nullptr);
                break;
            }
            std::function<void(HWND)> inside = g_popupInside;
            g_popupInside = nullptr;
            inside(g_popup);
        }
        break;
    }
    return 0;
}

bool FirstTime(HWND window)
{
    for (HWND w : g_answered)
        if (w == window)
            return false;
    g_answered.push_back(window);
    if (g_answered.size() > 64)
        g_answered.erase(g_answered.begin());
    return true;
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = (HWND)wParam;
    if (code == HCBT_ACTIVATE && IsDialogClass(window) && FirstTime(window)) {
        if (GetDlgItem(window, IDC_WAIT_LEVEL) && g_loaded) {
            g_wait = window;
            if (g_planned && g_plan.ahead == AHEAD_HELD_ENTER && g_enterHeld)
                KeyInput(VK_RETURN, false); /* the held key repeats */
            if (g_planned && g_plan.ahead == AHEAD_LATE && g_aheadTime) {
                KeyInput(VK_ESCAPE, false, g_aheadTime);
                KeyInput(VK_ESCAPE, true, g_aheadTime + 1);
            }
            SetTimer(g_driver, TIMER_WAIT_CHECK, 1, nullptr);
        } else if (GetDlgItem(window, IDC_HELP_BUTTON) && g_loaded) {
            g_popup = window;
            WatchPageWindow(window);
            SetTimer(g_driver, TIMER_POPUP, 1, nullptr);
        } else if (GetDlgItem(window, 0xFFFF)) {
            int n = g_boxesAnswered++;
            bool cancel = g_loaded && g_planned && n < 8 && (g_plan.answers >> n & 1);
            PostMessageA(window, WM_COMMAND, cancel ? IDCANCEL : IDOK, 0);
        }
    }
    return CallNextHookEx(g_cbtHook, code, wParam, lParam);
}

/* What the page's controls told it: the user's clicks and picks. The page's window is
 * subclassed for it: a message hook would cost Wine a server call at every message. */
const char kPageProc[] = "PageActionsProc";

LRESULT CALLBACK WatchPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = (WNDPROC)GetPropA(page, kPageProc);
    int window = message == WM_COMMAND ? WindowOfPage(page) : -1;
    if (window >= 0 && lParam) {
        int id = LOWORD(wParam), note = HIWORD(wParam);
        Event e = {};
        e.window = window;
        if (note == BN_CLICKED && (id == IDC_MODE_MAILBOX || id == IDC_MODE_STACKER || id == IDC_MODE_JOB_SEPARATOR)) {
            e.kind = EV_RADIO;
            e.a = id == IDC_MODE_MAILBOX ? HCO_MODE_MAILBOX : id == IDC_MODE_STACKER ? HCO_MODE_STACKER : HCO_MODE_JOB_SEPARATOR;
            g_events.push_back(e);
        } else if (note == CBN_SELCHANGE && (id == IDC_TIMEOUT_COMBO || id == IDC_DESTINATION_COMBO)) {
            e.kind = id == IDC_TIMEOUT_COMBO ? EV_TIMEOUT_PICK : EV_DESTINATION_PICK;
            e.a = (int)SendMessageA((HWND)lParam, CB_GETCURSEL, 0, 0);
            g_events.push_back(e);
        }
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(page, GWLP_WNDPROC, (LONG_PTR)original);
        RemovePropA(page, kPageProc);
    }
    return CallWindowProcA(original, page, message, wParam, lParam);
}

void WatchPageWindow(HWND page)
{
    if (page && !GetPropA(page, kPageProc))
        SetPropA(page, kPageProc, (HANDLE)SetWindowLongPtrA(page, GWLP_WNDPROC, (LONG_PTR)WatchPage));
}

INT_PTR CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if ((LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) && g_onHostCommand)
            g_onHostCommand(window == g_host[SECOND_WINDOW] ? SECOND_WINDOW : MAIN_WINDOW, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        return TRUE;
    }
    return FALSE;
}

/* A host's message loop: the dialogs' own keyboard handling first. */
void Dispatch(MSG &msg)
{
    HWND dialogs[3] = { g_popup, g_host[MAIN_WINDOW], g_host[SECOND_WINDOW] };
    for (HWND d : dialogs)
        if (d && IsWindow(d) && IsDialogMessageA(d, &msg))
            return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

/* The window that takes the keyboard now. */
void EnsureForeground()
{
    HWND top = g_popup && IsWindow(g_popup) ? g_popup : g_host[MAIN_WINDOW];
    HWND focus = GetFocus();
    if (focus)
        top = GetAncestor(focus, GA_ROOT);
    if (top && GetForegroundWindow() != top)
        SetForegroundWindow(top);
}

HWND FocusedNameEdit()
{
    HWND focus = GetFocus();
    if (!focus || GetDlgCtrlID(focus) != IDC_NAME_EDIT || WindowOfPage(GetParent(focus)) < 0)
        return nullptr;
    return focus;
}

/* A key that may change the name edit's text: the model hears of it with the text before
 * and after. */
template <typename F> void TypeIntoFocus(int kind, const std::string &paste, F send)
{
    EnsureForeground();
    HWND edit = FocusedNameEdit();
    size_t at = g_events.size();
    if (edit) {
        Event e = {};
        e.kind = EV_EDIT_KEY;
        e.window = WindowOfPage(GetParent(edit));
        e.text = WindowText(edit);
        DWORD from = 0, to = 0;
        SendMessageA(edit, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
        e.a = (int)from;
        e.b = (int)to;
        e.c = kind;
        HWND list = GetDlgItem(GetParent(edit), IDC_BIN_LIST);
        e.d = list ? (int)SendMessageA(list, LB_GETCURSEL, 0, 0) : -1;
        e.paste = paste;
        g_events.push_back(e);
    }
    send();
    Settle();
    if (edit && IsWindow(edit)) {
        g_events[at].text2 = WindowText(edit);
        DWORD from = 0;
        SendMessageA(edit, EM_GETSEL, (WPARAM)&from, 0);
        g_events[at].e = (int)from;
    }
}

} // namespace

void DriverStart()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DriverProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PageActionsDriver";
    RegisterClassA(&wc);
    g_driver = CreateWindowA("PageActionsDriver", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    g_cbtHook = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
}

void DriverStop()
{
    UnhookWindowsHookEx(g_cbtHook);
    DestroyWindow(g_driver);
}

bool DriverLoad()
{
    g_events.clear();
    g_answered.clear();
    g_planned = false;
    g_injectIndex = 0xFFFFFFFFu;
    g_applet = LoadLibraryA("Binpanel.dll");
    if (!g_applet)
        return false;
    struct Patch {
        const char *dll, *function;
        void *watch;
    };
    const Patch patches[] = {
        { "Devobj.dll", "LALGetObject", (void *)WatchLalGet },
        { "Devobj.dll", "PALGetObject", (void *)WatchPalGet },
        { "Devobj.dll", "LALSetObject", (void *)WatchLalSet },
        { "Devobj.dll", "CALSetObject", (void *)WatchCalSet },
        { "Devobj.dll", "CALGetComponentObject", (void *)WatchCalGetComponent },
        { "Devobj.dll", "CALSetComponentObject", (void *)WatchCalSetComponent },
        { "Devobj.dll", "TALModifyAccess", (void *)WatchAccess },
        { "USER32.dll", "MessageBoxA", (void *)WatchMessageBox },
        { "USER32.dll", "DialogBoxParamA", (void *)WatchDialogBox },
        { "USER32.dll", "MessageBeep", (void *)WatchBeep },
        { "USER32.dll", "WinHelpA", (void *)NoHelp },
    };
    for (const Patch &p : patches)
        PatchImport(g_applet, p.dll, p.function, p.watch);
    g_loaded = true;
    return true;
}

void DriverUnload()
{
    CloseHost(SECOND_WINDOW);
    CloseHost(MAIN_WINDOW);
    g_loaded = false;
    g_planned = false;
    if (g_applet)
        FreeLibrary(g_applet);
    g_applet = nullptr;
    g_events.clear();
}

HWND HostDialog(int window) { return g_host[window]; }

HWND PageIn(int window)
{
    if (window == MAIN_WINDOW && g_popup && IsWindow(g_popup))
        return g_popup;
    return g_page[window];
}

HWND OpenPage(int window, DWORD device)
{
    if (!g_host[window]) {
        g_host[window] = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SESSION_HOST), nullptr,
                                            HostProc, 0);
        if (window == SECOND_WINDOW)
            SetWindowPos(g_host[window], nullptr, 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(g_host[window], SW_SHOW);
        SetForegroundWindow(g_host[window]);
    }
    typedef DWORD(WINAPI * GetPages)(DWORD, PageDescriptor *, DWORD *, DWORD);
    GetPages getPages = (GetPages)GetProcAddress(g_applet, "AppletGetTabPages");
    Event e = {};
    e.kind = EV_OPEN;
    e.window = window;
    e.a = (int)device;
    size_t at = g_events.size();
    g_events.push_back(e);
    PageDescriptor descriptor;
    memset(&descriptor, 0, sizeof descriptor);
    DWORD count = 0;
    HWND page = nullptr;
    if (getPages && getPages(device, &descriptor, &count, 1) == 0 && count == 1) {
        page = CreateDialogParamA(descriptor.instance, MAKEINTRESOURCEA(descriptor.templateId), g_host[window],
                                  descriptor.dialogProc, (LPARAM)&descriptor);
        if (page) {
            WatchPageWindow(page);
            /* first in the host's tab order, before its buttons */
            SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            ShowWindow(page, SW_SHOWNA);
        }
    }
    g_events[at].b = page != nullptr;
    g_page[window] = page;
    Settle();
    return page;
}

void ClosePage(int window)
{
    if (g_page[window]) {
        DestroyWindow(g_page[window]);
        Event e = {};
        e.kind = EV_CLOSE;
        e.window = window;
        g_events.push_back(e);
    }
    g_page[window] = nullptr;
    if (g_host[window] && GetActiveWindow() == g_host[window] && !GetFocus())
        SetFocus(GetDlgItem(g_host[window], IDOK)); /* the host keeps the keyboard */
    Settle();
}

void CloseHost(int window)
{
    ClosePage(window);
    if (g_host[window])
        DestroyWindow(g_host[window]);
    g_host[window] = nullptr;
    if (window == SECOND_WINDOW && g_host[MAIN_WINDOW])
        SetForegroundWindow(g_host[MAIN_WINDOW]);
    Settle();
}

INT_PTR RunPopup(const std::function<void(HWND)> &inside)
{
    typedef INT_PTR(WINAPI * PopupFn)(HWND);
    PopupFn popup = (PopupFn)GetProcAddress(g_applet, "HCOPopupDialog");
    g_popupInside = inside;
    g_popup = nullptr;
    INT_PTR result = popup ? popup(g_host[MAIN_WINDOW]) : -1;
    KillTimer(g_driver, TIMER_POPUP);
    g_popup = nullptr;
    g_popupInside = nullptr;
    Settle();
    return result;
}

void Settle()
{
    /* SendInput queues its keys at once: the queue found empty twice in a row has nothing
     * of them left */
    MSG msg;
    for (int guard = 0, idle = 0; guard < 200000 && idle < 2; guard++) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            idle++;
            Sleep(0);
            continue;
        }
        idle = 0;
        Dispatch(msg);
    }
}

void Press(WORD vk, bool shift)
{
    EnsureForeground();
    if (shift)
        KeyInput(VK_SHIFT, false);
    KeyInput(vk, false);
    KeyInput(vk, true);
    if (shift)
        KeyInput(VK_SHIFT, true);
    Settle();
    if (g_enterHeld) {
        KeyInput(VK_RETURN, true);
        g_enterHeld = false;
        Settle();
    }
}

void TypeCharacter(unsigned char c)
{
    WCHAR w = 0;
    MultiByteToWideChar(1252, 0, (const char *)&c, 1, &w, 1);
    TypeIntoFocus(EDIT_CHAR, std::string(1, (char)c), [w] {
        INPUT in[2];
        ZeroMemory(in, sizeof in);
        for (int i = 0; i < 2; i++) {
            in[i].type = INPUT_KEYBOARD;
            in[i].ki.wScan = w;
            in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i ? KEYEVENTF_KEYUP : 0);
        }
        SendInput(2, in, sizeof in[0]);
    });
}

void TypeBackspace()
{
    TypeIntoFocus(EDIT_BACKSPACE, "", [] {
        KeyInput(VK_BACK, false);
        KeyInput(VK_BACK, true);
    });
}

void TypeDelete()
{
    TypeIntoFocus(EDIT_DELETE, "", [] {
        KeyInput(VK_DELETE, false);
        KeyInput(VK_DELETE, true);
    });
}

void Paste(const std::string &text)
{
    if (!OpenClipboard(g_driver))
        return;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool put = false;
    if (block) {
        memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        put = SetClipboardData(CF_TEXT, block) != nullptr;
        if (!put)
            GlobalFree(block);
    }
    CloseClipboard();
    if (!put)
        return;
    TypeIntoFocus(EDIT_PASTE, text, [] {
        KeyInput(VK_CONTROL, false);
        KeyInput('V', false);
        KeyInput('V', true);
        KeyInput(VK_CONTROL, true);
    });
}

void Click(HWND control, int x, int y)
{
    if (!control || !IsWindowEnabled(control) || !IsWindowVisible(control))
        return;
    LPARAM at = MAKELPARAM(x, y);
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(control, WM_LBUTTONUP, 0, at);
    Settle();
}

void ClickCentre(HWND control)
{
    RECT r;
    if (control && GetClientRect(control, &r))
        Click(control, r.right / 2, r.bottom / 2);
}

void PlanChange(const ChangePlan &plan)
{
    g_plan = plan;
    g_planned = true;
    g_boxesAnswered = 0;
    g_aheadTime = 0;
}

void SendHostMessage(int window, UINT message, bool withWord, DWORD *word)
{
    Event e = {};
    e.kind = message == 1690 || message == 1692 ? EV_APPLY : EV_HOST_MESSAGE;
    e.window = window;
    e.a = (int)message;
    g_events.push_back(e);
    SendMessageA(g_page[window], message, 0, withWord ? (LPARAM)word : 0);
}

void Record(const Event &e)
{
    g_events.push_back(e);
}

std::vector<Event> TakeEvents()
{
    std::vector<Event> taken;
    taken.swap(g_events);
    return taken;
}

void InjectFailure(DWORD calls, DWORD status)
{
    g_injectIndex = SimLogCount() + calls;
    g_injectStatus = status;
    SimFailAt(calls, status);
}

static void Rows(HWND control, bool combo, std::vector<std::string> *rows)
{
    rows->clear();
    LRESULT n = control ? SendMessageA(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0) : 0;
    for (LRESULT i = 0; i < n && i < 64; i++) {
        LRESULT length = SendMessageA(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
        std::string text(length > 0 ? (size_t)length + 1 : 1, '\0');
        if (length > 0)
            SendMessageA(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i, (LPARAM)&text[0]);
        text.resize(length > 0 ? (size_t)length : 0);
        rows->push_back(text);
    }
}

Screen ReadScreen(int window)
{
    Screen s;
    HWND page = PageIn(window);
    s.checked[0] = false;
    s.checked[HCO_MODE_STACKER] = IsDlgButtonChecked(page, IDC_MODE_STACKER) == BST_CHECKED;
    s.checked[HCO_MODE_MAILBOX] = IsDlgButtonChecked(page, IDC_MODE_MAILBOX) == BST_CHECKED;
    s.checked[HCO_MODE_JOB_SEPARATOR] = IsDlgButtonChecked(page, IDC_MODE_JOB_SEPARATOR) == BST_CHECKED;
    const int mailbox[5] = { IDC_MAILBOX_GROUP, IDC_BIN_LIST, IDC_NAME_LABEL, IDC_NAME_EDIT, IDC_BIN_PICTURE };
    for (int k = 0; k < 5; k++)
        s.mailboxEnabled[k] = IsWindowEnabled(GetDlgItem(page, mailbox[k])) != FALSE;
    HWND list = GetDlgItem(page, IDC_BIN_LIST);
    Rows(list, false, &s.bins);
    s.binSelected = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
    s.edit = WindowText(GetDlgItem(page, IDC_NAME_EDIT));
    HWND timeout = GetDlgItem(page, IDC_TIMEOUT_COMBO);
    Rows(timeout, true, &s.timeouts);
    s.timeoutSelected = (int)SendMessageA(timeout, CB_GETCURSEL, 0, 0);
    HWND combo = GetDlgItem(page, IDC_DESTINATION_COMBO);
    Rows(combo, true, &s.destinations);
    s.destinationSelected = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
    s.findDestination = [combo](const std::string &text) {
        return (int)SendMessageA(combo, CB_FINDSTRING, (WPARAM)-1, (LPARAM)text.c_str());
    };
    HWND focus = GetFocus();
    s.focus = !focus ? -1 : GetParent(focus) == page ? GetDlgCtrlID(focus) : 0;
    s.focusEnabled = focus && IsWindowEnabled(focus);
    s.active = page && GetActiveWindow() == GetAncestor(page, GA_ROOT);
    return s;
}
