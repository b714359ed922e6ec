/* Random user sessions against the page, hosted as the host does, with the simulated printer.
 * Each session is drawn from one seed: two printers, then a sequence of user actions (mouse
 * and keyboard messages to the controls, the host's messages, the stand-alone dialog, page
 * closings and openings) and printer events (records changed behind the page's back, failed
 * and delayed calls). After every action a small model of what the user must see and what
 * the printer must hold is checked; a failing session is shortened by dropping actions while
 * it keeps failing, and printed with its seed.
 *
 *   page_actions_test [--seconds S] [--actions N] [--seed BASE] [--session SEED]
 * The budget also comes from PAGE_ACTIONS_SECONDS, PAGE_ACTIONS_ACTIONS and PAGE_ACTIONS_SEED;
 * an action count, when given, takes the place of the time.
 * A session that ends the process (a crash) cannot shorten itself: PAGE_ACTIONS_TRACE=1 prints
 * each action as it starts, and PAGE_ACTIONS_KEEP, a 0/1 mask over the actions of --session,
 * replays only some of them. */
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "devobj_sim.h"
#include "page_descriptor.h"
#include "resource.h"
#include "gdi_objects.h"
#include "ui_driver.h"

namespace {

/* ---- randomness ---- */

struct Rng {
    unsigned long long s;
    explicit Rng(unsigned long long seed) : s(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    unsigned Next()
    {
        s += 0x9E3779B97F4A7C15ull;
        unsigned long long z = s;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return (unsigned)((z ^ (z >> 31)) >> 16);
    }
    int Below(int n) { return n > 0 ? (int)(Next() % (unsigned)n) : 0; }
    bool Chance(int percent) { return Below(100) < percent; }
};

/* ---- actions ---- */

enum Kind {
    A_RADIO,       /* a: radio 0..2; b: message box answers (bit set = Cancel); c: wait ticks before Esc, 32 = to the end */
    A_PICTURE,     /* a, b: client point of the bin picture */
    A_LIST_ROW,    /* a: row clicked in the bin list */
    A_CLICK_EDIT,  /* a: x in the name edit */
    A_CHAR,        /* a: character of code page 1252 to the focus */
    A_BACKSPACE,
    A_DELETE,
    A_PASTE,       /* text: pasted into the focus with Ctrl+V */
    A_CARET,       /* a: VK_LEFT, VK_RIGHT, VK_HOME or VK_END; b: with Shift */
    A_TIMEOUT_ROW, /* a: row picked in the timeout list */
    A_DEST_ROW,    /* a: row picked in the destination list */
    A_TAB,         /* b: with Shift */
    A_HOST,        /* a: message 1690..1695; b: with a writable word */
    A_POPUP,       /* a: seed of the actions inside; b: their number; c: 1 OK, 2 Annulla */
    A_REOPEN,      /* a: device */
    P_NAME,        /* a: record bin 0..8; text: up to 32 bytes, unterminated at 32 */
    P_MODE,        /* a: mode */
    P_TIMEOUT,     /* a: seconds, signed */
    P_DEST,        /* a: destination */
    P_ONLINE,      /* a: online state */
    P_FAIL,        /* a: calls from now; b: status */
    P_DELAY,       /* a: milliseconds */
};

struct Action {
    int kind;
    int a, b, c;
    std::string text;
};

const char kCp1252Sample[] = "abcxyzABCXYZ019 -'.\xE0\xE8\xE9\xEC\xF2\xF9\xC0\xC8\xDF\x80\x9C\xA3\xB5\xFF";

std::string Quoted(const std::string &text)
{
    std::string q = "\"";
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            q += (char)c;
        } else {
            char hex[8];
            sprintf(hex, "\\x%02X", c);
            q += hex;
        }
    }
    return q + "\"";
}

std::string Describe(const Action &x)
{
    static const char *const radios[] = { "Mailbox", "Separatore", "Carrello" };
    char s[160];
    switch (x.kind) {
    case A_RADIO:
        sprintf(s, "click radio %s, boxes %s%s%s, wait %s", radios[x.a], x.b & 1 ? "Cancel" : "OK",
                x.b & 2 ? " Cancel" : " OK", x.b & 4 ? " Cancel" : " OK",
                x.c >= 32 ? "to the end" : ("Esc after " + std::to_string(x.c) + " ticks").c_str());
        break;
    case A_PICTURE: sprintf(s, "click bin picture at (%d, %d)", x.a, x.b); break;
    case A_LIST_ROW: sprintf(s, "click bin list row %d", x.a); break;
    case A_CLICK_EDIT: sprintf(s, "click name edit at x %d", x.a); break;
    case A_CHAR: sprintf(s, "type char 0x%02X", x.a); break;
    case A_BACKSPACE: return "key Backspace";
    case A_DELETE: return "key Delete";
    case A_PASTE: return "paste " + Quoted(x.text);
    case A_CARET:
        sprintf(s, "key %s%s", x.b ? "Shift+" : "",
                x.a == VK_LEFT ? "Left" : x.a == VK_RIGHT ? "Right" : x.a == VK_HOME ? "Home" : "End");
        break;
    case A_TIMEOUT_ROW: sprintf(s, "pick timeout row %d", x.a); break;
    case A_DEST_ROW: sprintf(s, "pick destination row %d", x.a); break;
    case A_TAB: return x.b ? "key Shift+Tab" : "key Tab";
    case A_HOST: sprintf(s, "host message %d %s", x.a, x.b ? "with a word" : "with no word"); break;
    case A_POPUP: sprintf(s, "stand-alone dialog: %d actions of seed %u, then %s", x.b, (unsigned)x.a, x.c == 1 ? "OK" : "Annulla"); break;
    case A_REOPEN: sprintf(s, "close the page, open it for device %d", x.a); break;
    case P_NAME: sprintf(s, "printer: bin record %d named %s", x.a, Quoted(x.text).c_str()); break;
    case P_MODE: sprintf(s, "printer: mode %d", x.a); break;
    case P_TIMEOUT: sprintf(s, "printer: timeout %d s", x.a); break;
    case P_DEST: sprintf(s, "printer: destination %d", x.a); break;
    case P_ONLINE: sprintf(s, "printer: online state %d", x.a); break;
    case P_FAIL: sprintf(s, "printer: call %d from now fails with 0x%X", x.a, (unsigned)x.b); break;
    case P_DELAY: sprintf(s, "printer: calls delayed %d ms", x.a); break;
    default: return "?";
    }
    return s;
}

/* A character of code page 1252: the five bytes it leaves undefined are none. Nor is the
 * small tilde 0x98: after some letters Wine's glyph shaping in gdi32 crashes on it
 * (GPOS_apply_lookup, in any edit control, no Binpanel frame on the stack). */
int RandomChar(Rng &r)
{
    if (r.Chance(70))
        return (unsigned char)kCp1252Sample[r.Below(sizeof kCp1252Sample - 1)];
    for (;;) {
        int c = 0x20 + r.Below(0xE0);
        if (c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D && c != 0x7F && c != 0x98)
            return c;
    }
}

std::string RandomText(Rng &r, int maxLength)
{
    std::string t;
    int n = r.Below(maxLength + 1);
    for (int i = 0; i < n; i++)
        t += (char)RandomChar(r);
    return t;
}

/* One action as a user and a printer produce them; `inner` leaves out what the stand-alone
 * dialog cannot receive (the host's messages, page changes, nested dialogs). */
Action RandomAction(Rng &r, bool inner)
{
    Action x = { 0, 0, 0, 0, "" };
    int roll = r.Below(100);
    if (roll < 4) {
        x.kind = A_RADIO;
        x.a = r.Below(3);
        x.b = r.Chance(25) ? r.Below(8) : 0;
        x.c = r.Chance(30) ? r.Below(32) : 32;
    } else if (roll < 14) {
        x.kind = A_PICTURE;
        x.a = r.Below(130);
        x.b = r.Below(170);
    } else if (roll < 20) {
        x.kind = A_LIST_ROW;
        x.a = r.Below(9);
    } else if (roll < 25) {
        x.kind = A_CLICK_EDIT;
        x.a = r.Below(140);
    } else if (roll < 40) {
        x.kind = A_CHAR;
        x.a = RandomChar(r);
    } else if (roll < 44) {
        x.kind = A_BACKSPACE;
    } else if (roll < 47) {
        x.kind = A_DELETE;
    } else if (roll < 50) {
        x.kind = A_PASTE;
        x.text = RandomText(r, 40);
    } else if (roll < 55) {
        static const int keys[] = { VK_LEFT, VK_RIGHT, VK_HOME, VK_END };
        x.kind = A_CARET;
        x.a = keys[r.Below(4)];
        x.b = r.Chance(30);
    } else if (roll < 60) {
        x.kind = A_TIMEOUT_ROW;
        x.a = r.Below(8);
    } else if (roll < 66) {
        x.kind = A_DEST_ROW;
        x.a = r.Below(10);
    } else if (roll < 70) {
        x.kind = A_TAB;
        x.b = r.Chance(30);
    } else if (roll < 78 && !inner) {
        x.kind = A_HOST;
        x.a = 1690 + r.Below(6);
        x.b = r.Chance(85);
    } else if (roll < 79 && !inner) {
        x.kind = A_POPUP;
        x.a = (int)(r.Next() & 0x7FFFFFFF);
        x.b = r.Below(10);
        x.c = r.Chance(60) ? 1 : 2;
    } else if (roll < 81 && !inner) {
        x.kind = A_REOPEN;
        x.a = 1 + r.Below(2);
    } else if (roll < 86) {
        x.kind = P_NAME;
        x.a = r.Below(9);
        x.text = RandomText(r, 32);
    } else if (roll < 88) {
        x.kind = P_MODE;
        x.a = r.Below(5);
    } else if (roll < 90) {
        static const int values[] = { -600, -1, 0, 1, 300, 301, 2700, 2701, 86400, -2147483647 - 1 };
        x.kind = P_TIMEOUT;
        x.a = values[r.Below(10)];
    } else if (roll < 92) {
        static const int values[] = { 0, 1, 2, 3, 4, 5, 7, 11, 12, 20, 21, 99 };
        x.kind = P_DEST;
        x.a = values[r.Below(12)];
    } else if (roll < 93) {
        x.kind = P_ONLINE;
        x.a = r.Below(3);
    } else if (roll < 98) {
        x.kind = P_FAIL;
        x.a = r.Below(7);
        x.b = r.Chance(60) ? 0xFFFF : (r.Chance(50) ? 0x1234 : (int)(r.Next() | 1));
    } else {
        x.kind = P_DELAY;
        x.a = r.Below(3);
    }
    return x;
}

/* ---- the session's printers ---- */

const DWORD kComponents[3] = { 0, 0x101, 0x2A7 };

SimPrinter RandomPrinter(Rng &r, DWORD device)
{
    SimPrinter p;
    SimDefaultPrinter(&p);
    p.device = device;
    p.componentId = kComponents[device];
    p.mode = r.Chance(60) ? HCO_MODE_MAILBOX : (DWORD)r.Below(5);
    p.online = r.Chance(70);
    static const LONG timeouts[] = { -1, 0, 300, 600, 450, 3600, 5000, -77 };
    p.timeoutSeconds = timeouts[r.Below(8)];
    static const DWORD destinations[] = { 20, 1, 3, 4, 6, 11, 7 };
    p.destination = destinations[r.Below(7)];
    for (int k = 0; k < HCO_RECORD_BINS; k++) {
        if (r.Chance(40)) {
            std::string name = RandomText(r, 31);
            memset(p.binNames[k], 0, sizeof p.binNames[k]);
            memcpy(p.binNames[k], name.data(), name.size());
        }
    }
    return p;
}

/* ---- resources of the process ---- */

struct Resources {
    int gdi;
    SIZE_T privateBytes;
};

Resources Measure()
{
    return { GdiObjectCount(), PrivateBytes() };
}

/* ---- the session ---- */

const int kTimeoutSeconds[8] = { 0, 300, 600, 1200, 1800, 2700, 3600, -1 };
const char kStackerName[] = "CARRELLO";
const char kSeparatorName[] = "SEPARATORE DELLE OPERAZIONI DI STAMPA";
const char kTopOutput[] = "Scomp. con uscita superiore";
const char kFaceUp[] = "Scomp. testo verso l'alto";

int g_checked[3]; /* applies after which a changed timeout, name, destination was found in the printer */
int g_overlong;   /* names made longer than 19 characters in the name edit, for the page to revert */
struct Session;
Session *g_session;
int g_boxesInAction;                 /* message boxes answered in the current action */
HHOOK g_cbtHook, g_callHook;
const Action *g_current;          /* the action being run, for the dialogs it opens */
volatile LONG g_actionStarted;    /* GetTickCount at its start, 0 between actions */
std::string g_progress;           /* what the watchdog prints on a hang */
const char *volatile g_stage = "";
#ifdef _WIN64
#define STACK_OF(context) ((context)->Rsp)
#define PC_OF(context) ((context)->Rip)
#else
#define STACK_OF(context) ((context)->Esp)
#define PC_OF(context) ((context)->Eip)
#endif
HANDLE g_mainThread;

/* Starts the watchdog's clock on a step, under the name it prints on a hang. */
void Watch(const std::string &what)
{
    g_progress = what;
    g_stage = "";
    g_actionStarted = (LONG)GetTickCount() | 1;
}

bool IsDialogClass(HWND window)
{
    char cls[32];
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpA(cls, "#32770") == 0;
}

struct PrinterRecords {
    AutoContinueRecord timeout;
    HcoConfigRecord config;
    PaperDestinationRecord destination;
    OnlineStateRecord online;
};

PrinterRecords Peek(DWORD device)
{
    PrinterRecords p;
    memset(&p, 0, sizeof p);
    SimPeekObject(device, OBJ_AUTO_CONTINUE, &p.timeout, sizeof p.timeout);
    SimPeekObject(device, OBJ_HCO_CONFIG, &p.config, sizeof p.config);
    SimPeekObject(device, OBJ_PAPER_DESTINATION, &p.destination, sizeof p.destination);
    SimPeekObject(device, OBJ_ONLINE_STATE, &p.online, sizeof p.online);
    return p;
}

bool SameBytes(const void *a, const void *b, size_t from, size_t to)
{
    return memcmp((const BYTE *)a + from, (const BYTE *)b + from, to - from) == 0;
}

bool ZeroBytes(const void *record, size_t from, size_t to)
{
    for (size_t i = from; i < to; i++)
        if (((const BYTE *)record)[i])
            return false;
    return true;
}

std::string Lower(std::string s)
{
    for (char &c : s)
        c = (char)(DWORD_PTR)CharLowerA((LPSTR)(DWORD_PTR)(BYTE)c);
    return s;
}

struct Session {
    unsigned seed;
    std::vector<Action> actions;
    HMODULE applet = nullptr;
    HWND frame = nullptr;
    HWND driver = nullptr;
    HWND page = nullptr;     /* the page or the stand-alone dialog being worked on */
    HWND hostPage = nullptr; /* the page, while the stand-alone dialog is open */
    DWORD device = 1;        /* of the last page initialised */
    std::string failure;
    int actionsRun = 0;

    /* the model: what the rules promise */
    DWORD mode = HCO_MODE_MAILBOX;
    DWORD binNumbers[8];
    DWORD destinationAtLoad = 20;
    bool destinationRead = false;
    bool timeoutChanged = false, destinationChanged = false;
    bool renamed[8];
    std::vector<BYTE> lastOnline, lastDestination;
    DWORD logSeen = 0;
    bool inOpen = false, openSawConfig = false, openSawDestination = false;
    bool modeWritten = false; /* a mode write was taken in this action: the next config read reloads the names */
    DWORD writtenMode = 0;

    Session(unsigned seed_, std::vector<Action> actions_) : seed(seed_), actions(std::move(actions_))
    {
        for (int i = 0; i < 8; i++) {
            binNumbers[i] = 20;
            renamed[i] = false;
        }
    }

    void Fail(const std::string &what)
    {
        if (failure.empty())
            failure = what;
    }

    HWND Item(int id) const { return page ? GetDlgItem(page, id) : nullptr; }

    /* ---- pumping and input ---- */

    void Pump()
    {
        MSG msg;
        for (int guard = 0; guard < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); guard++) {
            if (page && IsWindow(page) && IsDialogMessageA(page, &msg))
                continue;
            DispatchMessageA(&msg);
        }
    }

    /* A click as the mouse gives it: to an enabled, visible control, at a client point. */
    void Click(HWND control, int x, int y)
    {
        if (!control || !IsWindowEnabled(control) || !IsWindowVisible(control))
            return;
        LPARAM at = MAKELPARAM(x, y);
        PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(control, WM_LBUTTONUP, 0, at);
        Pump();
    }

    void Key(UINT vk, bool shift = false, int ch = -1)
    {
        HWND focus = GetFocus();
        if (!focus)
            return;
        BYTE keys[256];
        GetKeyboardState(keys);
        BYTE before = keys[VK_SHIFT];
        if (shift) {
            keys[VK_SHIFT] = 0x80;
            SetKeyboardState(keys);
        }
        UINT scan = MapVirtualKeyA(vk, 0);
        PostMessageA(focus, WM_KEYDOWN, vk, 1 | (scan << 16));
        if (ch >= 0)
            PostMessageA(focus, WM_CHAR, (WPARAM)ch, 1 | (scan << 16));
        PostMessageA(focus, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
        Pump();
        if (shift) {
            GetKeyboardState(keys);
            keys[VK_SHIFT] = before;
            SetKeyboardState(keys);
        }
    }

    /* How much of `text` the focus takes at its selection: all of it, but in a name edit
     * without ES_AUTOHSCROLL (the page's). Such an edit takes no more than it can show: on
     * Windows it refuses the rest, while Wine's takes it and then, at a caret near the
     * start, crashes in EDIT_EM_ReplaceSel or drops the character before the caret; and
     * when the parent reverts an overlong name from EN_UPDATE there, Wine's reads past its
     * text. So the sessions give the page's edit only what fits its box, at most 19
     * characters; -1 when it has no room left at all (not even for an empty paste). Its
     * revert keeps its plain tests. The stand-alone dialog's edit scrolls and takes
     * everything, overlong names included. */
    int Room(HWND focus, const std::string &text)
    {
        if (!focus || GetDlgCtrlID(focus) != IDC_NAME_EDIT || (GetWindowLongA(focus, GWL_STYLE) & ES_AUTOHSCROLL))
            return (int)text.size();
        DWORD start = 0, end = 0;
        SendMessageA(focus, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        std::string now = Text(focus);
        if (end > now.size() || start > end)
            return -1;
        std::string before = now.substr(0, start), after = now.substr(end);
        if (before.size() + after.size() >= 19)
            return -1;
        RECT box;
        SendMessageA(focus, EM_GETRECT, 0, (LPARAM)&box);
        HDC dc = GetDC(focus);
        HGDIOBJ font = SelectObject(dc, (HGDIOBJ)SendMessageA(focus, WM_GETFONT, 0, 0));
        int n = 0;
        for (; n < (int)text.size() && before.size() + n + 1 + after.size() <= 19; n++) {
            std::string whole = before + text.substr(0, n + 1) + after;
            SIZE extent = { 0, 0 };
            GetTextExtentPoint32A(dc, whole.c_str(), (int)whole.size(), &extent);
            if (extent.cx >= box.right - box.left)
                break;
        }
        SelectObject(dc, font);
        ReleaseDC(focus, dc);
        return n;
    }

    void Char(int ch)
    {
        HWND focus = GetFocus();
        if (!focus)
            return;
        if (ch >= ' ' && Room(focus, std::string(1, (char)ch)) < 1)
            return;
        PostMessageA(focus, WM_CHAR, (WPARAM)ch, 1);
        Pump();
    }

    /* A row of a drop-down list: clicked open, walked to with the arrow keys, Enter. */
    void PickComboRow(HWND combo, int row)
    {
        if (!combo || !IsWindowEnabled(combo))
            return;
        RECT r;
        GetClientRect(combo, &r);
        /* the first click drops the list down, the second rolls it up */
        Click(combo, r.right / 2, r.bottom / 2);
        if (SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0))
            Click(combo, r.right / 2, r.bottom / 2);
        if (GetFocus() != combo || SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0))
            return;
        Key(VK_HOME);
        for (int i = 0; i < row; i++)
            Key(VK_DOWN);
    }

    /* ---- pages ---- */

    /* What the model knows of a page or dialog until its initialisation has read it. */
    void StartInitialisation()
    {
        inOpen = true;
        openSawConfig = openSawDestination = false;
        lastOnline.clear();
        lastDestination.clear();
        destinationRead = false;
        timeoutChanged = destinationChanged = false;
        for (bool &r : renamed)
            r = false;
    }

    bool OpenPage(DWORD forDevice)
    {
        typedef DWORD(WINAPI * GetPages)(DWORD, PageDescriptor *, DWORD *, DWORD);
        GetPages getPages = (GetPages)GetProcAddress(applet, "AppletGetTabPages");
        PageDescriptor descriptor;
        memset(&descriptor, 0, sizeof descriptor);
        DWORD count = 0;
        DWORD previous = device;
        device = forDevice;
        StartInitialisation();
        DWORD status = getPages(forDevice, &descriptor, &count, 1);
        if (status == 0 && count == 1) {
            page = CreateDialogParamA(descriptor.instance, MAKEINTRESOURCEA(descriptor.templateId), frame,
                                      descriptor.dialogProc, (LPARAM)&descriptor);
            /* a session without its page would check nothing and pass */
            if (!page)
                Fail("the page offered for device " + std::to_string(forDevice) + " could not be created");
            if (page) {
                ShowWindow(page, SW_SHOWNA);
                UpdateWindow(page);
            }
        }
        Pump();
        ReadLog();
        inOpen = false;
        if (page && !openSawConfig)
            mode = HCO_MODE_MAILBOX;
        if (!page)
            device = previous; /* no page was initialised: the model keeps the last one's printer */
        return page != nullptr;
    }

    void ClosePage()
    {
        if (page)
            DestroyWindow(page);
        page = nullptr;
        Pump();
    }

    /* ---- the model follows the printer's log ---- */

    void CheckFreshConfig(const HcoConfigRecord &r, DWORD status)
    {
        if (r.fieldMask == HCO_CONFIG_FIELD_MODE) {
            if (!ZeroBytes(&r, 4, 164) || !ZeroBytes(&r, 168, sizeof r))
                Fail("mode write carries bytes outside its field");
            if (r.mode < 1 || r.mode > 3)
                Fail("mode write with mode " + std::to_string(r.mode));
            if (status != 0xFFFF) {
                modeWritten = true;
                writtenMode = r.mode;
                mode = r.mode;
            }
            return;
        }
        if (r.fieldMask != HCO_CONFIG_FIELD_BIN_NAMES) {
            Fail("configuration write with field mask " + std::to_string(r.fieldMask));
            return;
        }
        if (!ZeroBytes(&r, 4, 168) || !ZeroBytes(&r, 172, 188))
            Fail("bin name write carries bytes outside its fields");
        if (r.binCount != 2 && r.binCount != 9)
            Fail("bin name write with bin count " + std::to_string(r.binCount));
        for (int k = 0; k < HCO_RECORD_BINS; k++) {
            const HcoBinRecord &b = r.bins[k];
            std::string where = "bin record " + std::to_string(k);
            if (b.binNumber != (DWORD)(k + 3))
                Fail(where + " written with bin number " + std::to_string(b.binNumber));
            if (!ZeroBytes(&b, 4, 20))
                Fail(where + " carries bytes outside its fields");
            if (b.fieldMask == 0) {
                if (!ZeroBytes(b.name, 0, sizeof b.name))
                    Fail(where + " carries a name without its flag");
            } else if (b.fieldMask == HCO_BIN_FIELD_NAME) {
                size_t n = strnlen(b.name, sizeof b.name);
                if (n >= sizeof b.name)
                    Fail(where + " written with an unterminated name");
                else if (!ZeroBytes(b.name, n, sizeof b.name))
                    Fail(where + " carries bytes after its name");
            } else {
                Fail(where + " written with field mask " + std::to_string(b.fieldMask));
            }
        }
    }

    void CheckReadBack(const SimCall &c, const std::vector<BYTE> &last, size_t from, size_t to, const char *what)
    {
        if (last.size() != c.recordBytes) {
            Fail(std::string(what) + " written without a read before it");
            return;
        }
        if (!SameBytes(c.record, last.data(), 0, from) || !SameBytes(c.record, last.data(), to, last.size()))
            Fail(std::string(what) + " written back with bytes other than those read");
    }

    void ReadLog()
    {
        DWORD count = SimLogCount();
        for (; logSeen < count; logSeen++) {
            SimCall c;
            SimLogEntry(logSeen, &c);
            std::string call = "call " + std::to_string(c.operation) + " on object 0x";
            char hex[16];
            sprintf(hex, "%08lX", (unsigned long)c.object);
            call += hex;
            if (c.device != device)
                Fail(call + " to device " + std::to_string(c.device) + ", the page's is " + std::to_string(device));
            bool componentCall = c.operation == SIM_OP_CAL_GET_COMPONENT || c.operation == SIM_OP_CAL_SET_COMPONENT;
            /* -1: no component known, after a list that could not be read */
            if (componentCall && c.device == device && c.component != kComponents[device] && c.component != 0xFFFFFFFFu) {
                Fail(call + " to component 0x" + std::to_string(c.component) + ", the accessory's of device " +
                     std::to_string(device) + " is " + std::to_string(kComponents[device]));
            }
            bool write = c.operation == SIM_OP_LAL_SET || c.operation == SIM_OP_CAL_SET ||
                         c.operation == SIM_OP_CAL_SET_COMPONENT;
            if (write && c.recordBytes == 0)
                Fail(call + ": a write of the wrong size");
            if (write && c.recordBytes) {
                switch (c.object) {
                case OBJ_AUTO_CONTINUE: {
                    AutoContinueRecord r;
                    memcpy(&r, c.record, sizeof r);
                    if (r.fieldMask != AUTO_CONTINUE_FIELD_TIMEOUT || !ZeroBytes(&r, 4, 16) || !ZeroBytes(&r, 20, sizeof r))
                        Fail("timeout write carries bytes outside its field");
                    bool known = false;
                    for (int s : kTimeoutSeconds)
                        known = known || r.timeoutSeconds == s;
                    if (!known)
                        Fail("timeout write of " + std::to_string(r.timeoutSeconds) + " s");
                    break;
                }
                case OBJ_HCO_CONFIG: {
                    HcoConfigRecord r;
                    memcpy(&r, c.record, sizeof r);
                    CheckFreshConfig(r, c.status);
                    break;
                }
                case OBJ_PAPER_DESTINATION:
                    CheckReadBack(c, lastDestination, 300, 304, "paper destination");
                    break;
                case OBJ_ONLINE_STATE: {
                    CheckReadBack(c, lastOnline, 0, 4, "online state");
                    DWORD request;
                    memcpy(&request, c.record, 4);
                    if (request != 1 && request != 2)
                        Fail("online state written with request " + std::to_string(request));
                    break;
                }
                case OBJ_POWER_CYCLE: {
                    DWORD request;
                    memcpy(&request, c.record, 4);
                    if (request != 1)
                        Fail("power cycle written with request " + std::to_string(request));
                    break;
                }
                default:
                    Fail(call + ": a write of an object the page does not write");
                }
            }
            if (write || c.status != 0 || c.device != device)
                continue;
            /* good reads */
            if (c.object == OBJ_ONLINE_STATE)
                lastOnline.assign(c.record, c.record + c.recordBytes);
            if (c.object == OBJ_PAPER_DESTINATION) {
                lastDestination.assign(c.record, c.record + c.recordBytes);
                destinationRead = true;
                if (inOpen && !openSawDestination) {
                    PaperDestinationRecord r;
                    memcpy(&r, c.record, sizeof r);
                    destinationAtLoad = r.destination;
                }
                if (inOpen)
                    openSawDestination = true;
            }
            if (c.object == OBJ_HCO_CONFIG && c.operation == SIM_OP_CAL_GET_COMPONENT) {
                HcoConfigRecord r;
                memcpy(&r, c.record, sizeof r);
                if (inOpen && !openSawConfig) {
                    openSawConfig = true;
                    mode = r.mode == 1 || r.mode == 2 ? r.mode : 3;
                    TakeBinNumbers(r, mode);
                } else if (modeWritten) {
                    modeWritten = false;
                    DWORD target = writtenMode;
                    DWORD reported = r.mode == 1 || r.mode == 2 ? r.mode : (r.mode == 3 ? 3 : 0);
                    if (reported == target && (target != 2 || r.mode == 2))
                        TakeBinNumbers(r, target);
                }
            }
        }
    }

    void TakeBinNumbers(const HcoConfigRecord &r, DWORD asMode)
    {
        for (int i = 0; i < 8; i++)
            binNumbers[i] = r.bins[asMode == HCO_MODE_MAILBOX ? i + 1 : i].binNumber;
    }

    /* ---- what the user must see ---- */

    void Rows(HWND control, bool combo, std::vector<std::string> *rows)
    {
        rows->clear();
        DWORD process = 0;
        if (control && GetWindowThreadProcessId(control, &process) != GetCurrentThreadId()) {
            Fail("a control of the page belongs to another thread");
            return;
        }
        LRESULT n = SendMessageA(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
        for (int i = 0; i < n && i < 64; i++) {
            LRESULT length = SendMessageA(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0);
            std::string text(length > 0 ? (size_t)length + 1 : 1, '\0');
            if (length > 0)
                SendMessageA(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i, (LPARAM)&text[0]);
            text.resize(length > 0 ? (size_t)length : 0);
            rows->push_back(text);
        }
    }

    std::string Text(HWND window)
    {
        char text[256] = "";
        GetWindowTextA(window, text, sizeof text);
        return text;
    }

    void CheckPage()
    {
        if (!page)
            return;
        if (!IsWindow(page)) {
            Fail("the page window is gone");
            page = nullptr;
            return;
        }
        const int radios[3] = { IDC_MODE_STACKER, IDC_MODE_MAILBOX, IDC_MODE_JOB_SEPARATOR };
        int checked = 0;
        for (int i = 0; i < 3; i++) {
            bool on = IsDlgButtonChecked(page, radios[i]) == BST_CHECKED;
            checked += on;
            if (on != (mode == (DWORD)(i + 1)))
                Fail(std::string("radio ") + std::to_string(radios[i]) + (on ? " checked" : " not checked") +
                     " in mode " + std::to_string(mode));
        }
        if (checked != 1)
            Fail(std::to_string(checked) + " mode radios checked");
        bool mailbox = mode == HCO_MODE_MAILBOX;
        const int mailboxControls[] = { IDC_MAILBOX_GROUP, IDC_BIN_LIST, IDC_NAME_LABEL, IDC_NAME_EDIT, IDC_BIN_PICTURE };
        for (int id : mailboxControls)
            if ((IsWindowEnabled(Item(id)) != FALSE) != mailbox)
                Fail("control " + std::to_string(id) + (mailbox ? " disabled" : " enabled") + " in mode " +
                     std::to_string(mode));
        std::vector<std::string> bins, destinations;
        Rows(Item(IDC_BIN_LIST), false, &bins);
        Rows(Item(IDC_DESTINATION_COMBO), true, &destinations);
        std::string edit = Text(Item(IDC_NAME_EDIT));
        if (bins.size() != 8) {
            Fail("the bin list has " + std::to_string(bins.size()) + " rows");
            return;
        }
        for (size_t i = 0; i < bins.size(); i++)
            if (bins[i].size() > 19)
                Fail("bin list row " + std::to_string(i) + " " + Quoted(bins[i]) + " is longer than 19");
        if (edit.size() > 19)
            Fail("the name edit holds " + Quoted(edit) + ", longer than 19");
        if (mailbox) {
            LRESULT sel = SendMessageA(Item(IDC_BIN_LIST), LB_GETCURSEL, 0, 0);
            if (sel < 0 || sel > 7)
                Fail("no mailbox selected in mailbox mode");
            else if (edit != bins[sel])
                Fail("the name edit shows " + Quoted(edit) + ", the selected mailbox is " + Quoted(bins[sel]));
            if (destinations.size() != 10) {
                Fail("the destination list has " + std::to_string(destinations.size()) + " rows in mailbox mode");
            } else {
                for (int i = 0; i < 8; i++)
                    if (destinations[2 + i] != bins[i])
                        Fail("destination row " + std::to_string(2 + i) + " " + Quoted(destinations[2 + i]) +
                             " is not mailbox " + std::to_string(i + 1) + " " + Quoted(bins[i]));
            }
        } else {
            for (size_t i = 1; i < bins.size(); i++)
                if (bins[i] != bins[0])
                    Fail("the bin list's rows differ outside mailbox mode");
            if (edit != bins[0])
                Fail("the name edit shows " + Quoted(edit) + " outside mailbox mode, the bins are " + Quoted(bins[0]));
            const char *single = mode == HCO_MODE_STACKER ? kStackerName : kSeparatorName;
            if (destinations.size() != 3 || destinations[2] != single)
                Fail("the destination list does not end with " + Quoted(single) + " in mode " + std::to_string(mode));
        }
        if (destinations.size() >= 2 && (destinations[0] != kTopOutput || destinations[1] != kFaceUp))
            Fail("the destination list's first rows are " + Quoted(destinations[0]) + " and " + Quoted(destinations[1]));
    }

    /* The bins the shown destination row may stand for: the row the list's own search
     * selects for the destination's text is the first that begins with it. */
    std::vector<DWORD> ShownDestinations()
    {
        std::vector<DWORD> bins;
        HWND combo = Item(IDC_DESTINATION_COMBO);
        LRESULT sel = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        std::vector<std::string> rows;
        Rows(combo, true, &rows);
        if (sel < 0 || sel >= (LRESULT)rows.size())
            return bins;
        std::string shown = Lower(rows[sel]);
        for (size_t d = (size_t)sel; d < rows.size(); d++) {
            std::string row = Lower(rows[d]);
            if (shown.compare(0, row.size(), row) != 0)
                continue;
            if (d == 0) {
                bins.push_back(20);
                bins.push_back(1);
            } else if (d == 1) {
                bins.push_back(3);
            } else if (mode == HCO_MODE_MAILBOX) {
                bins.push_back(binNumbers[d - 2]);
            } else {
                bins.push_back(4);
            }
        }
        return bins;
    }

    static bool Holds(const std::vector<DWORD> &set, DWORD value)
    {
        for (DWORD v : set)
            if (v == value)
                return true;
        return false;
    }

    /* After an apply: what the user changed on this page is in the printer, as shown, and
     * nothing else changed. */
    void CheckApply(const PrinterRecords &before, const PrinterRecords &after, const std::vector<SimCall> &calls)
    {
        bool timeoutFailed = false, namesFailed = false, destinationFailed = false;
        for (const SimCall &c : calls) {
            if (!c.status)
                continue;
            timeoutFailed |= c.object == OBJ_AUTO_CONTINUE;
            namesFailed |= c.object == OBJ_HCO_CONFIG;
            destinationFailed |= c.object == OBJ_PAPER_DESTINATION;
        }
        if (!SameBytes(&before.timeout, &after.timeout, 0, 16) ||
            !SameBytes(&before.timeout, &after.timeout, 20, sizeof after.timeout))
            Fail("the apply changed the timeout record beyond its timeout");
        if (!SameBytes(&before.config, &after.config, 0, 168) || !SameBytes(&before.config, &after.config, 172, 188))
            Fail("the apply changed the configuration beyond its bin names");
        for (int k = 0; k < HCO_RECORD_BINS; k++) {
            const HcoBinRecord &b = before.config.bins[k], &a = after.config.bins[k];
            if (!SameBytes(&b, &a, 0, 24) || (k == 0 && !SameBytes(&b, &a, 0, sizeof a)))
                Fail("the apply changed bin record " + std::to_string(k) + " beyond its name");
        }
        if (!SameBytes(&before.destination, &after.destination, 0, 300) ||
            !SameBytes(&before.destination, &after.destination, 304, sizeof after.destination))
            Fail("the apply changed the paper destination record beyond its destination");
        if (memcmp(&before.online, &after.online, sizeof after.online) != 0)
            Fail("the apply changed the online state");

        LRESULT row = SendMessageA(Item(IDC_TIMEOUT_COMBO), CB_GETCURSEL, 0, 0);
        int shownSeconds = row >= 0 && row < 8 ? kTimeoutSeconds[row] : 0x7FFFFFFF;
        bool timeoutMoved = before.timeout.timeoutSeconds != after.timeout.timeoutSeconds;
        if (timeoutMoved && !timeoutChanged)
            Fail("the apply wrote a timeout the user did not change on this page");
        g_checked[0] += timeoutMoved;
        if ((timeoutMoved || (timeoutChanged && !timeoutFailed)) && after.timeout.timeoutSeconds != shownSeconds)
            Fail("the printer's timeout is " + std::to_string(after.timeout.timeoutSeconds) + " s, the page shows " +
                 std::to_string(shownSeconds));

        std::vector<std::string> bins;
        Rows(Item(IDC_BIN_LIST), false, &bins);
        for (int i = 0; i < 8 && bins.size() == 8; i++) {
            const char *was = before.config.bins[i + 1].name, *now = after.config.bins[i + 1].name;
            bool moved = memcmp(was, now, DEVICE_BIN_NAME_BYTES) != 0;
            std::string held(now, strnlen(now, DEVICE_BIN_NAME_BYTES));
            g_checked[1] += moved;
            if (moved && !renamed[i])
                Fail("the apply renamed bin " + std::to_string(i + 1) + " to " + Quoted(held) +
                     ", which the user did not rename on this page");
            if ((moved || (renamed[i] && !namesFailed)) && held != bins[i])
                Fail("the printer names bin " + std::to_string(i + 1) + " " + Quoted(held) + ", the page shows " +
                     Quoted(bins[i]));
        }

        std::vector<DWORD> shown = ShownDestinations();
        DWORD was = before.destination.destination, now = after.destination.destination;
        g_checked[2] += was != now;
        if (was != now && !destinationChanged)
            Fail("the apply wrote a destination the user did not change on this page");
        /* Every rename refills the destinations from the printer, and what it reads then
         * becomes the page's destination: changed behind the page's back, the printer's own
         * value can be what an apply writes, shown by a row or not. */
        DWORD lastRead = 0;
        if (lastDestination.size() >= 304)
            memcpy(&lastRead, &lastDestination[300], 4);
        bool reread = lastDestination.size() >= 304 && now == lastRead;
        if (was != now && !Holds(shown, now) && !reread)
            Fail("the apply wrote destination " + std::to_string(now) + ", which the page does not show");
        bool loadShown = Holds(shown, destinationAtLoad) || (destinationAtLoad == 1 && Holds(shown, 20));
        if (destinationChanged && !destinationFailed && destinationRead && !shown.empty() && !loadShown &&
            !Holds(shown, now) && !reread)
            Fail("the printer's destination is " + std::to_string(now) + ", not the one the page shows");
    }

    /* ---- running actions ---- */

    /* A record of the printer changed behind the page's back, as its bytes stand. */
    template <typename R, typename F> void Change(DWORD object, F change)
    {
        R r;
        if (SimPeekObject(device, object, &r, sizeof r) == 0) {
            change(r);
            SimPokeObject(device, object, &r, sizeof r);
        }
    }

    void PrinterEvent(const Action &x)
    {
        switch (x.kind) {
        case P_NAME:
            Change<HcoConfigRecord>(OBJ_HCO_CONFIG, [&](HcoConfigRecord &r) {
                memset(r.bins[x.a].name, 0, sizeof r.bins[x.a].name);
                memcpy(r.bins[x.a].name, x.text.data(), x.text.size() < 32 ? x.text.size() : 32);
            });
            break;
        case P_MODE:
            Change<HcoConfigRecord>(OBJ_HCO_CONFIG, [&](HcoConfigRecord &r) { r.mode = (DWORD)x.a; });
            break;
        case P_TIMEOUT:
            Change<AutoContinueRecord>(OBJ_AUTO_CONTINUE, [&](AutoContinueRecord &r) { r.timeoutSeconds = x.a; });
            break;
        case P_DEST:
            Change<PaperDestinationRecord>(OBJ_PAPER_DESTINATION, [&](PaperDestinationRecord &r) { r.destination = (DWORD)x.a; });
            break;
        case P_ONLINE:
            Change<OnlineStateRecord>(OBJ_ONLINE_STATE, [&](OnlineStateRecord &r) { r.onlineState = (DWORD)x.a; });
            break;
        case P_FAIL: SimFailAt((DWORD)x.a, (DWORD)x.b); break;
        case P_DELAY: SimSetDelay((DWORD)x.a); break;
        }
    }

    void HostMessage(const Action &x)
    {
        DWORD word = 0xABCD;
        DWORD calls = SimLogCount();
        SendMessageA(page, (UINT)x.a, 0, x.b ? (LPARAM)&word : 0);
        bool answers = x.a == 1690 || x.a == 1692 || x.a == 1695;
        if (x.b && word != (answers ? 1u : 0xABCDu))
            Fail("host message " + std::to_string(x.a) + " left the word at " + std::to_string(word));
        bool applies = x.a == 1690 || x.a == 1692;
        if (!applies && SimLogCount() != calls)
            Fail("host message " + std::to_string(x.a) + " called the printer");
    }

    void Apply(const Action &x)
    {
        PrinterRecords before = Peek(device);
        DWORD from = SimLogCount();
        if (x.kind == A_HOST)
            HostMessage(x);
        else
            ClickButton(x.c);
        Pump();
        std::vector<SimCall> calls;
        for (DWORD i = from; i < SimLogCount(); i++) {
            SimCall c;
            SimLogEntry(i, &c);
            calls.push_back(c);
        }
        ReadLog();
        CheckApply(before, Peek(device), calls);
    }

    void ClickButton(int id)
    {
        HWND button = Item(id);
        RECT r;
        if (button && GetClientRect(button, &r))
            Click(button, r.right / 2, r.bottom / 2);
    }

    void Run(const Action &x)
    {
        g_current = &x;
        if (x.kind == A_RADIO)
            g_boxesInAction = 0;
        if (x.kind >= P_NAME) {
            PrinterEvent(x);
            return;
        }
        if (x.kind == A_REOPEN) {
            ClosePage();
            OpenPage((DWORD)x.a);
            return;
        }
        if (!page)
            return;
        switch (x.kind) {
        case A_RADIO: {
            const int ids[3] = { IDC_MODE_MAILBOX, IDC_MODE_JOB_SEPARATOR, IDC_MODE_STACKER };
            ClickButton(ids[x.a]);
            break;
        }
        case A_PICTURE: Click(Item(IDC_BIN_PICTURE), x.a, x.b); break;
        case A_LIST_ROW: {
            RECT r;
            HWND list = Item(IDC_BIN_LIST);
            if (list && SendMessageA(list, LB_GETITEMRECT, x.a, (LPARAM)&r) != LB_ERR)
                Click(list, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
            break;
        }
        case A_CLICK_EDIT: {
            RECT r;
            HWND edit = Item(IDC_NAME_EDIT);
            if (edit && GetClientRect(edit, &r))
                Click(edit, x.a % (r.right > 0 ? r.right : 1), r.bottom / 2);
            break;
        }
        case A_CHAR: Char(x.a); break;
        case A_BACKSPACE: Key(VK_BACK, false, 8); break;
        case A_DELETE: Key(VK_DELETE); break;
        case A_PASTE: {
            int room = Room(GetFocus(), x.text);
            if (room < 0)
                break;
            std::string text = x.text.substr(0, (size_t)room);
            if (OpenClipboard(driver)) {
                EmptyClipboard();
                HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
                if (block) {
                    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
                    GlobalUnlock(block);
                    if (!SetClipboardData(CF_TEXT, block))
                        GlobalFree(block);
                }
                CloseClipboard();
                Key('V', false, 0x16);
            }
            break;
        }
        case A_CARET: Key((UINT)x.a, x.b != 0); break;
        case A_TIMEOUT_ROW: PickComboRow(Item(IDC_TIMEOUT_COMBO), x.a); break;
        case A_DEST_ROW: PickComboRow(Item(IDC_DESTINATION_COMBO), x.a); break;
        case A_TAB: Key(VK_TAB, x.b != 0); break;
        case A_HOST:
            if (x.a == 1690 || x.a == 1692)
                Apply(x);
            else
                HostMessage(x);
            break;
        case A_POPUP: Popup(x); break;
        }
    }

    /* The stand-alone dialog works on the model of the last page; the page is closed for it
     * (one at a time) and opened again afterwards for the same printer. */
    void Popup(const Action &x)
    {
        ClosePage();
        typedef INT_PTR(WINAPI * PopupFn)(HWND);
        PopupFn popup = (PopupFn)GetProcAddress(applet, "HCOPopupDialog");
        StartInitialisation();
        popupAction = &x;
        INT_PTR result = popup(frame);
        popupAction = nullptr;
        page = nullptr;
        if (result != x.c && failure.empty())
            Fail("the stand-alone dialog ended with " + std::to_string((long long)result));
        g_current = &x;
        OpenPage(device);
    }

    const Action *popupAction = nullptr;

    /* Inside the stand-alone dialog's modal loop. */
    void InPopup(HWND dialog)
    {
        const Action &x = *popupAction;
        page = dialog;
        Pump();
        ReadLog();
        inOpen = false;
        if (!openSawConfig)
            mode = HCO_MODE_MAILBOX;
        CheckPage();
        Rng r((unsigned)x.a);
        std::vector<Action> inner;
        for (int i = 0; i < x.b; i++)
            inner.push_back(RandomAction(r, true));
        for (const Action &a : inner) {
            if (!failure.empty())
                break;
            if (getenv("PAGE_ACTIONS_TRACE"))
                printf("  >   in the dialog: %s\n", Describe(a).c_str()), fflush(stdout);
            Run(a);
            Pump();
            ReadLog();
            CheckPage();
        }
        g_current = &x;
        if (x.c == 1) {
            Action ok = x;
            Apply(ok);
        } else {
            ClickButton(2);
        }
        if (IsWindowVisible(dialog))
            EndDialog(dialog, 99); /* the button did not close it: reported by the caller */
    }

    /* ---- the whole session ---- */

    bool Start()
    {
        SimClear();
        Rng r(seed);
        SimPrinter one = RandomPrinter(r, 1), two = RandomPrinter(r, 2);
        SimAddPrinter(&one);
        SimAddPrinter(&two);
        applet = LoadLibraryA("Binpanel.dll");
        if (!applet) {
            Fail("Binpanel.dll does not load");
            return false;
        }
        WatchHelp();
        return true;
    }

    void WatchHelp();

    void Finish()
    {
        Watch("close the page");
        ClosePage();
        g_actionStarted = 0;
        SimClear();
        if (applet)
            FreeLibrary(applet);
        applet = nullptr;
    }

    /* Runs the actions; the failure, if any, names the action after which it was seen. */
    std::string RunAll(const std::vector<bool> *keep)
    {
        if (!Start()) {
            Finish();
            return failure;
        }
        Watch("open the page");
        OpenPage(1 + (seed & 1));
        ReadLog();
        CheckPage();
        g_actionStarted = 0;
        if (!failure.empty())
            failure = "after opening: " + failure;
        for (size_t i = 0; i < actions.size() && failure.empty(); i++) {
            if (keep && !(*keep)[i])
                continue;
            Watch(Describe(actions[i]));
            if (getenv("PAGE_ACTIONS_TRACE"))
                printf("  > %s\n", g_progress.c_str()), fflush(stdout);
            g_stage = "run";
            Run(actions[i]);
            g_stage = "pump";
            Pump();
            g_stage = "log";
            ReadLog();
            g_stage = "check";
            CheckPage();
            g_actionStarted = 0;
            actionsRun++;
            if (!failure.empty())
                failure = "after \"" + Describe(actions[i]) + "\": " + failure;
        }
        Finish();
        return failure;
    }
};

HWND g_popup; /* the stand-alone dialog, until the user starts on it */

LRESULT CALLBACK DriverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    /* the dialog manager shows a modal dialog once its queue is idle: the user starts then */
    if (message == WM_TIMER) {
        if (!g_session || !g_session->popupAction || !g_popup || !IsWindow(g_popup)) {
            KillTimer(window, 1);
            return 0;
        }
        if (!IsWindowVisible(g_popup))
            return 0;
        KillTimer(window, 1);
        HWND dialog = g_popup;
        g_popup = nullptr;
        g_session->InPopup(dialog);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<HWND> g_answered;

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
    if (code == HCBT_ACTIVATE && !g_session && IsDialogClass(window))
        PostMessageA(window, WM_COMMAND, IDOK, 0); /* the warm-up's boxes */
    if (code == HCBT_ACTIVATE && g_session && IsDialogClass(window) && FirstTime(window)) {
        const Action *x = g_current;
        if (GetDlgItem(window, IDC_WAIT_LEVEL)) {
            /* the mode was written: the names are reset after the wait */
            for (bool &r : g_session->renamed)
                r = false;
            int ticks = x && x->kind == A_RADIO ? x->c : 32;
            PostMessageA(window, WM_TIMER, 0, 0);
            for (int i = 1; i < ticks && i < 32; i++)
                PostMessageA(window, WM_TIMER, 0, 0);
            if (ticks < 32) {
                PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1);
                PostMessageA(window, WM_KEYUP, VK_ESCAPE, 0xC0000001);
            } else {
                PostMessageA(window, WM_TIMER, 0, 0);
            }
        } else if (GetDlgItem(window, IDC_HELP_BUTTON)) {
            g_popup = window;
            SetTimer(g_session->driver, 1, 1, nullptr);
        } else if (GetDlgItem(window, 0xFFFF)) {
            int n = g_boxesInAction++;
            bool cancel = x && x->kind == A_RADIO && n < 3 && (x->b >> n & 1);
            PostMessageA(window, WM_COMMAND, cancel ? IDCANCEL : IDOK, 0);
        }
    }
    return CallNextHookEx(g_cbtHook, code, wParam, lParam);
}

/* The page's notifications as they arrive: what the user changed since the page opened. */
LRESULT CALLBACK CallHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *m = (const CWPSTRUCT *)lParam;
    Session *s = g_session;
    if (code == HC_ACTION && s && s->page && m->hwnd == s->page && m->message == WM_COMMAND) {
        int id = LOWORD(m->wParam), note = HIWORD(m->wParam);
        if (id == IDC_TIMEOUT_COMBO && note == CBN_SELCHANGE)
            s->timeoutChanged = true;
        if (id == IDC_DESTINATION_COMBO && note == CBN_SELCHANGE)
            s->destinationChanged = true;
        if (id == IDC_NAME_EDIT && note == EN_UPDATE) {
            HWND edit = GetDlgItem(s->page, IDC_NAME_EDIT);
            HWND list = GetDlgItem(s->page, IDC_BIN_LIST);
            LRESULT row = list ? SendMessageA(list, LB_GETCURSEL, 0, 0) : -1;
            if (GetWindowTextLengthA(edit) > 19)
                g_overlong++;
            else if (GetFocus() == edit && row >= 0 && row < 8)
                s->renamed[row] = true;
        }
    }
    return CallNextHookEx(g_callHook, code, wParam, lParam);
}

typedef BOOL(WINAPI *WinHelpFn)(HWND, LPCSTR, UINT, ULONG_PTR);
BOOL WINAPI NoHelp(HWND, LPCSTR, UINT, ULONG_PTR) { return TRUE; }

/* No help viewer is started: the applet's import of WinHelpA is pointed elsewhere. */
void Session::WatchHelp()
{
    PatchImport(applet, "USER32.dll", "WinHelpA", (void *)(WinHelpFn)NoHelp);
}

/* ---- sessions, shortening, the run ---- */

std::vector<Action> SessionActions(unsigned seed)
{
    Rng r(seed ^ 0xA5A5A5A5u);
    int n = 10 + r.Below(70);
    std::vector<Action> actions;
    for (int i = 0; i < n; i++)
        actions.push_back(RandomAction(r, false));
    return actions;
}

HWND g_frame, g_driver;

std::string RunSession(unsigned seed, const std::vector<Action> &actions, const std::vector<bool> *keep, int *count)
{
    Session s(seed, actions);
    s.frame = g_frame;
    s.driver = g_driver;
    g_session = &s;
    g_answered.clear();
    std::string failure = s.RunAll(keep);
    g_session = nullptr;
    g_current = nullptr;
    if (count)
        *count += s.actionsRun;
    return failure;
}

/* Drops actions while the session keeps failing (delta debugging, chunks then single ones). */
std::vector<bool> Shorten(unsigned seed, const std::vector<Action> &actions, int *count, std::string *last)
{
    std::vector<bool> keep(actions.size(), true);
    int tries = 0;
    for (size_t chunk = actions.size() / 2; chunk >= 1 && tries < 300; chunk /= 2) {
        bool dropped = true;
        while (dropped && tries < 300) {
            dropped = false;
            for (size_t start = 0; start < actions.size() && tries < 300; start += chunk) {
                std::vector<bool> trial = keep;
                bool any = false;
                for (size_t i = start; i < start + chunk && i < actions.size(); i++) {
                    any = any || trial[i];
                    trial[i] = false;
                }
                if (!any)
                    continue;
                tries++;
                std::string f = RunSession(seed, actions, &trial, count);
                if (!f.empty()) {
                    keep = trial;
                    *last = f;
                    dropped = true;
                }
            }
        }
        if (chunk == 1)
            break;
    }
    return keep;
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS *info)
{
    HMODULE where = nullptr;
    char name[MAX_PATH] = "?";
    void *at = info->ExceptionRecord->ExceptionAddress;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           (LPCSTR)at, &where))
        GetModuleFileNameA(where, name, MAX_PATH);
    printf("page-actions: CRASH 0x%08lX at %s+0x%llx during \"%s\"\n",
           (unsigned long)info->ExceptionRecord->ExceptionCode, name,
           (unsigned long long)((ULONG_PTR)at - (ULONG_PTR)where), g_progress.c_str());
    if (getenv("PAGE_ACTIONS_STACK")) {
        const ULONG_PTR *sp = (const ULONG_PTR *)STACK_OF(info->ContextRecord);
        for (int i = 0; i < 300; i++) {
            HMODULE m;
            char n[MAX_PATH];
            if (sp[i] && GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, (LPCSTR)sp[i], &m) && GetModuleFileNameA(m, n, MAX_PATH))
                printf("  %s+%llx\n", n, (unsigned long long)(sp[i] - (ULONG_PTR)m));
        }
    }
    if (g_session)
        printf("page-actions: session seed %u (replay with --session %u)\n", g_session->seed, g_session->seed);
    fflush(stdout);
    ExitProcess(3);
    return EXCEPTION_EXECUTE_HANDLER;
}

DWORD WINAPI Watchdog(LPVOID)
{
    for (;;) {
        Sleep(1000);
        LONG started = g_actionStarted;
        /* signed: the start is marked odd, so it can lie a millisecond ahead of now */
        if (started && (LONG)(GetTickCount() - (DWORD)started) > 30000) {
            printf("page-actions: HANG for 30 s during \"%s\" (%s)\n", g_progress.c_str(), g_stage);
            if (g_mainThread) {
                SuspendThread(g_mainThread);
                CONTEXT ctx; ctx.ContextFlags = CONTEXT_FULL;
                GetThreadContext(g_mainThread, &ctx);
                const ULONG_PTR *sp = (const ULONG_PTR *)STACK_OF(&ctx);
                for (int i = 0; i < 400; i++) {
                    HMODULE m; char name[MAX_PATH];
                    ULONG_PTR v = i == 0 ? PC_OF(&ctx) : sp[i];
                    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, (LPCSTR)v, &m) && GetModuleFileNameA(m, name, MAX_PATH))
                        printf("  %p %s+%llx\n", (void*)v, name, (unsigned long long)(v - (ULONG_PTR)m));
                }
            }
            if (g_session)
                printf("page-actions: session seed %u (replay with --session %u)\n", g_session->seed, g_session->seed);
            fflush(stdout);
            ExitProcess(4);
        }
    }
}

long long Setting(int argc, char **argv, const char *flag, const char *variable, long long fallback)
{
    for (int i = 1; i + 1 < argc; i++)
        if (strcmp(argv[i], flag) == 0)
            return strtoll(argv[i + 1], nullptr, 0);
    const char *value = getenv(variable);
    return value && *value ? strtoll(value, nullptr, 0) : fallback;
}

} // namespace

int main(int argc, char **argv)
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    long long seconds = Setting(argc, argv, "--seconds", "PAGE_ACTIONS_SECONDS", 25);
    long long budget = Setting(argc, argv, "--actions", "PAGE_ACTIONS_ACTIONS", 0);
    unsigned base = (unsigned)Setting(argc, argv, "--seed", "PAGE_ACTIONS_SEED", 1);
    long long only = Setting(argc, argv, "--session", "PAGE_ACTIONS_SESSION", -1);

    SetUnhandledExceptionFilter(OnCrash);
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &g_mainThread, 0, FALSE, DUPLICATE_SAME_ACCESS);
    CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PageActionsFrame";
    RegisterClassA(&wc);
    wc.lpfnWndProc = DriverProc;
    wc.lpszClassName = "PageActionsDriver";
    RegisterClassA(&wc);
    g_frame = CreateWindowA("PageActionsFrame", "Host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 420, nullptr, nullptr,
                            wc.hInstance, nullptr);
    g_driver = CreateWindowA("PageActionsDriver", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ShowWindow(g_frame, SW_SHOWNA);
    g_cbtHook = SetWindowsHookExA(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
    g_callHook = SetWindowsHookExA(WH_CALLWNDPROC, CallHook, nullptr, GetCurrentThreadId());

    int actions = 0, sessions = 0, failures = 0;
    DWORD start = GetTickCount();
    /* the system's icons of the message boxes are loaded at their first use */
    const UINT boxes[] = { MB_OKCANCEL | MB_ICONQUESTION, MB_OK | MB_ICONEXCLAMATION, MB_OK | MB_ICONASTERISK };
    for (UINT type : boxes)
        MessageBoxA(g_frame, "warm-up", "page-actions", type);
    Resources baseline = Measure();
    if (only < 0) {
        /* a warm-up until the figures settle: Wine creates some objects at first use */
        for (unsigned w = 0, steady = 0; w < 24 && steady < 4; w++) {
            RunSession(0xC0FFEE + w, SessionActions(0xC0FFEE + w), nullptr, nullptr);
            Resources now = Measure();
            steady = now.gdi == baseline.gdi ? steady + 1 : 0;
            baseline = now;
        }
    }
    for (unsigned i = 0;; i++) {
        bool used = budget > 0 ? actions >= budget : (long long)(GetTickCount() - start) >= seconds * 1000;
        if (only >= 0 ? i > 0 : used)
            break;
        unsigned seed = only >= 0 ? (unsigned)only : base * 1000003u + i * 2654435761u;
        std::vector<Action> list = SessionActions(seed);
        /* PAGE_ACTIONS_KEEP: a 0/1 mask over the session's actions, for shortening a
         * session that ends the process (a crash) from outside */
        std::vector<bool> mask;
        if (const char *k = getenv("PAGE_ACTIONS_KEEP"))
            for (size_t j = 0; j < list.size(); j++)
                mask.push_back(k[j] != '0' && k[j]);
        std::string failure = RunSession(seed, list, mask.empty() ? nullptr : &mask, &actions);
        sessions++;
        if (failure.empty())
            continue;
        failures++;
        printf("page-actions: FAILURE in session seed %u (replay with --session %u)\n  %s\n", seed, seed,
               failure.c_str());
        std::string last = failure;
        int spent = 0;
        std::vector<bool> keep = Shorten(seed, list, &spent, &last);
        int kept = 0;
        for (bool k : keep)
            kept += k;
        printf("  shortened to %d of %zu actions, still failing: %s\n", kept, list.size(), last.c_str());
        printf("    open the page for device %u\n", 1 + (seed & 1));
        for (size_t k = 0; k < list.size(); k++)
            if (keep[k])
                printf("    %zu. %s\n", k, Describe(list[k]).c_str());
    }
    Resources end = Measure();
    printf("page-actions: GDI objects %d at the baseline, %d at the end; private memory %zu KB, %zu KB\n",
           baseline.gdi, end.gdi, baseline.privateBytes / 1024, end.privateBytes / 1024);
    auto grew = [](const Resources &from, const Resources &to) {
        return to.gdi < 0 || to.gdi > from.gdi || to.privateBytes > from.privateBytes + 1024 * 1024;
    };
    if (only < 0 && grew(baseline, end)) {
        /* Wine makes some objects at the first use of a path, which a run may meet late:
         * the same sessions again must then leave the figures where they are. */
        for (unsigned i = 0; i < (unsigned)sessions && i < 12; i++) {
            unsigned seed = base * 1000003u + i * 2654435761u;
            RunSession(seed, SessionActions(seed), nullptr, nullptr);
        }
        Resources again = Measure();
        printf("page-actions: after the first sessions once more: GDI objects %d, private memory %zu KB\n",
               again.gdi, again.privateBytes / 1024);
        if (grew(end, again)) {
            failures++;
            printf("page-actions: FAILURE: resources not back to the baseline\n");
        }
    }
    printf("page-actions: applies that carried a changed timeout %d, bin name %d, destination %d; overlong names %d\n",
           g_checked[0], g_checked[1], g_checked[2], g_overlong);
    printf("page-actions: %.1f s\n", (GetTickCount() - start) / 1000.0);
    printf("page-actions: %d actions in %d sessions, %d failures\n", actions, sessions, failures);
    UnhookWindowsHookEx(g_callHook);
    UnhookWindowsHookEx(g_cbtHook);
    return failures ? 1 : 0;
}
