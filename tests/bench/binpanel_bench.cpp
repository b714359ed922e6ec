/* binpanel_bench: what the HCO page costs beyond the dialog manager's own work, measured
 * side by side in one run against the same template driven by an empty procedure:
 *   opening  AppletGetTabPages + CreateDialogParam until WM_INITDIALOG returned + destroy
 *   keystroke an accepted WM_CHAR in the name edit (115) against the same edit in a bare
 *            dialog 140, both shown
 * with the simulated printer answering at once, at 20 ms and at 200 ms a call (a network
 * printer); a keystroke should not wait on the printer at all. Then where the page's
 * keystroke time goes, by the calls the library makes out of itself. */
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>
#include "devobj.h"
#include "devobj_sim.h"
#include "page_descriptor.h"
#include "resource.h"
#include "ui_driver.h"

namespace {

typedef DWORD(WINAPI *GetPagesFn)(DWORD, PageDescriptor *, DWORD *, DWORD);

HMODULE g_binpanel;
GetPagesFn g_getPages;
HWND g_frame;
double g_tick; /* microseconds per performance counter tick */

INT_PTR CALLBACK EmptyProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

LONGLONG Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND OpenPage()
{
    PageDescriptor page = {};
    DWORD count = 0;
    if (g_getPages(1, &page, &count, 1) != 0 || count != 1)
        return nullptr;
    return CreateDialogParamA(page.instance, MAKEINTRESOURCEA(page.templateId), g_frame, page.dialogProc,
                              (LPARAM)&page);
}

HWND OpenBare()
{
    return CreateDialogParamA(g_binpanel, MAKEINTRESOURCEA(IDD_PAGE), g_frame, EmptyProc, 0);
}

struct Sample {
    std::vector<double> page, bare;
    DWORD deviceCalls = 0; /* of one page action */
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Mean(const std::vector<double> &v)
{
    double sum = 0;
    for (double x : v)
        sum += x;
    return v.empty() ? 0 : sum / v.size();
}

Sample Openings(int iterations)
{
    Sample s;
    for (int i = 0; i < iterations; i++) {
        SimLogClear();
        LONGLONG t0 = Now();
        HWND page = OpenPage();
        DestroyWindow(page);
        LONGLONG t1 = Now();
        s.deviceCalls = SimLogCount();
        HWND bare = OpenBare();
        DestroyWindow(bare);
        LONGLONG t2 = Now();
        if (!page || !bare) {
            fprintf(stderr, "binpanel_bench: a dialog did not open\n");
            ExitProcess(1);
        }
        s.page.push_back((t1 - t0) * g_tick);
        s.bare.push_back((t2 - t1) * g_tick);
        Pump();
    }
    return s;
}

/* One keystroke that the edit accepts: the whole text is replaced by one character. */
double Keystroke(HWND edit, char c)
{
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    LONGLONG t0 = Now();
    SendMessageA(edit, WM_CHAR, (BYTE)c, 1);
    return (Now() - t0) * g_tick;
}

Sample Keystrokes(int iterations)
{
    HWND page = OpenPage();
    HWND bare = OpenBare();
    if (!page || !bare) {
        fprintf(stderr, "binpanel_bench: a dialog did not open\n");
        ExitProcess(1);
    }
    /* mailbox 3 selected, as the user would pick it before typing its name */
    HWND list = GetDlgItem(page, IDC_BIN_LIST);
    SendMessageA(list, LB_SETCURSEL, 2, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_BIN_LIST, LBN_SELCHANGE), (LPARAM)list);
    /* shown side by side, as the host shows its page: the controls repaint as the user types */
    SetWindowPos(bare, nullptr, 560, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(page, SW_SHOWNA);
    ShowWindow(bare, SW_SHOWNA);
    Pump();
    HWND pageEdit = GetDlgItem(page, IDC_NAME_EDIT), bareEdit = GetDlgItem(bare, IDC_NAME_EDIT);
    Sample s;
    for (int i = 0; i < iterations; i++) {
        char c = "ABCDEFGH"[i % 8];
        SetFocus(pageEdit);
        SimLogClear();
        s.page.push_back(Keystroke(pageEdit, c));
        s.deviceCalls = SimLogCount();
        s.bare.push_back(Keystroke(bareEdit, c));
        Pump();
    }
    DestroyWindow(page);
    DestroyWindow(bare);
    return s;
}

void Print(const char *action, DWORD delay, const Sample &s)
{
    double page = Median(s.page), bare = Median(s.bare);
    printf("%-26s %5lu ms %6zu %12.1f %12.1f %10.1f %10.1f %7.2f %8lu\n", action, delay, s.page.size(), page,
           bare, Mean(s.page), Mean(s.bare), bare > 0 ? page / bare : 0.0, s.deviceCalls);
    fflush(stdout);
}


/* ---- where the time goes: inclusive time of the library's outgoing calls ---- */

struct Spent {
    double us = 0;
    unsigned calls = 0;
};
std::map<std::string, Spent> g_spent;
int g_depth; /* only the outermost call is counted */

struct Timed {
    const char *name;
    LONGLONG start;
    bool outer;
    explicit Timed(const char *n) : name(n), start(Now()), outer(g_depth++ == 0) {}
    ~Timed()
    {
        g_depth--;
        if (outer) {
            Spent &s = g_spent[name];
            s.us += (Now() - start) * g_tick;
            s.calls++;
        }
    }
};

const char *MessageName(UINT message)
{
    switch (message) {
    case LB_ADDSTRING: return "SendMessageA LB_ADDSTRING";
    case LB_INSERTSTRING: return "SendMessageA LB_INSERTSTRING";
    case LB_DELETESTRING: return "SendMessageA LB_DELETESTRING";
    case LB_SETCURSEL: return "SendMessageA LB_SETCURSEL";
    case LB_GETCURSEL: return "SendMessageA LB_GETCURSEL";
    case CB_RESETCONTENT: return "SendMessageA CB_RESETCONTENT";
    case CB_ADDSTRING: return "SendMessageA CB_ADDSTRING";
    case CB_SELECTSTRING: return "SendMessageA CB_SELECTSTRING";
    case STM_SETICON: return "SendMessageA STM_SETICON";
    case EM_SETSEL: return "SendMessageA EM_SETSEL";
    case EM_GETSEL: return "SendMessageA EM_GETSEL";
    }
    return "SendMessageA (other)";
}

decltype(&SendMessageA) real_SendMessageA;
decltype(&LoadIconA) real_LoadIconA;
decltype(&LoadStringA) real_LoadStringA;
decltype(&DestroyIcon) real_DestroyIcon;
decltype(&GetDlgItem) real_GetDlgItem;
decltype(&GetWindowTextA) real_GetWindowTextA;
decltype(&PALGetObject) real_PALGetObject;

LRESULT WINAPI Profiled_SendMessageA(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    Timed t(MessageName(m));
    return real_SendMessageA(w, m, wp, lp);
}
HICON WINAPI Profiled_LoadIconA(HINSTANCE i, LPCSTR n)
{
    Timed t("LoadIconA");
    return real_LoadIconA(i, n);
}
int WINAPI Profiled_LoadStringA(HINSTANCE i, UINT id, LPSTR b, int n)
{
    Timed t("LoadStringA");
    return real_LoadStringA(i, id, b, n);
}
BOOL WINAPI Profiled_DestroyIcon(HICON i)
{
    Timed t("DestroyIcon");
    return real_DestroyIcon(i);
}
HWND WINAPI Profiled_GetDlgItem(HWND d, int id)
{
    Timed t("GetDlgItem");
    return real_GetDlgItem(d, id);
}
int WINAPI Profiled_GetWindowTextA(HWND w, LPSTR b, int n)
{
    Timed t("GetWindowTextA");
    return real_GetWindowTextA(w, b, n);
}
DWORD WINAPI Profiled_PALGetObject(DeviceHandle d, ObjectId o, DWORD z, void *r, DWORD *s)
{
    Timed t("PALGetObject (device read)");
    return real_PALGetObject(d, o, z, r, s);
}

template <typename F> void Watch(const char *dll, const char *name, F replacement, F *real)
{
    *real = (F)PatchImport(g_binpanel, dll, name, (void *)replacement);
    if (!*real) {
        fprintf(stderr, "binpanel_bench: %s!%s is not imported\n", dll, name);
        ExitProcess(1);
    }
}

void ProfileKeystrokes(int iterations)
{
    Watch("USER32.dll", "SendMessageA", Profiled_SendMessageA, &real_SendMessageA);
    Watch("USER32.dll", "LoadIconA", Profiled_LoadIconA, &real_LoadIconA);
    Watch("USER32.dll", "LoadStringA", Profiled_LoadStringA, &real_LoadStringA);
    Watch("USER32.dll", "DestroyIcon", Profiled_DestroyIcon, &real_DestroyIcon);
    Watch("USER32.dll", "GetDlgItem", Profiled_GetDlgItem, &real_GetDlgItem);
    Watch("USER32.dll", "GetWindowTextA", Profiled_GetWindowTextA, &real_GetWindowTextA);
    Watch("Devobj.dll", "PALGetObject", Profiled_PALGetObject, &real_PALGetObject);
    Keystrokes(20); /* settle with the wrappers in place */
    g_spent.clear();
    Sample s = Keystrokes(iterations);
    double total = Mean(s.page);
    printf("\nwhere a keystroke in the page's name edit goes (mean %.1f us, plain edit %.1f us, %d keystrokes):\n",
           total, Mean(s.bare), iterations);
    std::vector<std::pair<double, std::string>> rows;
    double attributed = 0;
    for (const auto &e : g_spent) {
        rows.push_back({ e.second.us / iterations, e.first });
        attributed += e.second.us / iterations;
    }
    std::sort(rows.rbegin(), rows.rend());
    for (const auto &r : rows)
        printf("  %-34s %9.1f us %5.1f calls\n", r.second.c_str(), r.first, g_spent[r.second].calls / (double)iterations);
    printf("  %-34s %9.1f us\n", "the rest (edit, dispatch, our code)", total - attributed);
}

} // namespace

int main(int argc, char **argv)
{
    int scale = argc > 1 ? atoi(argv[1]) : 1; /* more iterations for steadier figures */
    if (scale < 1)
        scale = 1;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    g_tick = 1e6 / (double)frequency.QuadPart;

    g_binpanel = BinpanelModule();
    g_getPages = g_binpanel ? (GetPagesFn)GetProcAddress(g_binpanel, "AppletGetTabPages") : nullptr;
    if (!g_getPages) {
        fprintf(stderr, "binpanel_bench: Binpanel.dll not loaded\n");
        return 1;
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BinpanelBenchFrame";
    RegisterClassA(&wc);
    g_frame = CreateWindowA(wc.lpszClassName, "bench", WS_OVERLAPPEDWINDOW, 0, 0, 1200, 420, nullptr, nullptr,
                            wc.hInstance, nullptr);
    ShowWindow(g_frame, SW_SHOWNA);
    SimReset(); /* the built-in printer, device 1, mailbox mode */

    printf("binpanel_bench: times in microseconds (median and mean per action), QueryPerformanceCounter at %lld Hz\n",
           (long long)frequency.QuadPart);
    printf("%-26s %8s %6s %12s %12s %10s %10s %7s %8s\n", "action", "delay", "runs", "page median",
           "bare median", "page mean", "bare mean", "ratio", "calls");
    Openings(20 * scale); /* warm-up: the dialog manager, fonts and resources settle */
    Keystrokes(20 * scale);
    for (DWORD delay : { 0u, 20u, 200u }) {
        SimSetDelay(delay);
        int runs = delay == 0 ? 500 * scale : delay < 100 ? 10 * scale : 3 * scale;
        Print("open the page", delay, Openings(runs));
        Print("keystroke in the name edit", delay, Keystrokes(delay ? 200 * scale : 2000 * scale));
    }
    /* The goal compares keystrokes made in turn against each printer in one page, so
     * that what else the machine does weighs on all three alike. */
    const DWORD delays[] = { 0, 20, 200 };
    std::vector<double> times[3];
    HWND page = OpenPage();
    HWND edit = page ? GetDlgItem(page, IDC_NAME_EDIT) : nullptr;
    ShowWindow(page, SW_SHOWNA);
    for (int i = 0; edit && i < 600 * scale; i++) {
        SimSetDelay(delays[i % 3]);
        times[i % 3].push_back(Keystroke(edit, "ABCDEFGH"[i % 8]));
        Pump();
    }
    DestroyWindow(page);
    SimSetDelay(0);
    double instant = Median(times[0]);
    bool met = instant > 0;
    for (int k = 1; k < 3; k++) {
        double ratio = instant > 0 ? Median(times[k]) / instant : 0;
        met = met && ratio <= 1.10;
        printf("keystroke with a %3lu ms printer: %.1f us, %.2f times the instant printer's %.1f us (%zu each)\n",
               delays[k], Median(times[k]), ratio, instant, times[0].size());
    }
    printf("goal, a keystroke within 10%% of the instant printer's: %s\n", met ? "met" : "NOT met");
    ProfileKeystrokes(500 * scale);
    DestroyWindow(g_frame);
    return 0;
}
