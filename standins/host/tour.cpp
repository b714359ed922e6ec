/* The scripted tour (--tour OUTDIR): the frame and the chosen printer's property sheet are
 * driven through a few steps without a user, each step ends with a screenshot of the two
 * as they stand on the screen, and the device calls of each step are printed.
 * Modal windows (the stand-alone dialog, message boxes, the wait dialog) are answered by
 * an autopilot that a thread-local CBT hook starts when they are activated. Each step
 * runs whatever the page does today; a step with nothing to do still takes its picture. */
#include "host.h"
#include "call_log.h"
#include "resource.h"

#include <cstdio>
#include <functional>
#include <map>
#include <set>

#define TOUR_TIME_LIMIT_MS 120000
#define AUTOPILOT_DELAY_MS 20
#define WAIT_TICKS_BEFORE_SHOT 12
#define WAIT_TICKS_AFTER_SHOT 20
#define MESSAGE_TEXT_ID 0xFFFF

namespace {

struct Tour {
    std::string outDir;
    int step;
    int shotInStep;
    int shots;
    int failures;
    DWORD stepLogStart;
    std::set<HWND> seen;
    std::map<UINT_PTR, std::function<void()>> later;
    HHOOK hook;
};

Tour t;

std::string WindowText(HWND window)
{
    char text[1024] = "";
    if (window)
        GetWindowTextA(window, text, sizeof text);
    return text;
}

void Pump(void)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        RouteMessage(&msg);
}

void CALLBACK LaterProc(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    auto it = t.later.find(id);
    if (it == t.later.end())
        return;
    std::function<void()> fn = it->second;
    t.later.erase(it);
    fn();
}

/* Runs fn from the message loop that is running then (a modal one, as a rule). */
void Later(UINT ms, std::function<void()> fn)
{
    UINT_PTR id = SetTimer(nullptr, 0, ms, LaterProc);
    if (id)
        t.later[id] = fn;
}

/* The windows as they stand on the screen: a dialog alone, or the frame with the sheet. */
void Shot(const std::vector<HWND> &windows, const char *kind)
{
    RefreshLog();
    Pump();
    std::string name = Format("%02d%c-%s.png", t.step, 'a' + t.shotInStep++, kind);
    std::string error;
    RECT all = {};
    for (HWND window : windows) {
        RECT rc;
        if (IsWindowVisible(window) && GetWindowRect(window, &rc))
            UnionRect(&all, &all, &rc);
    }
    if (SaveWindowsPng(windows, t.outDir + "\\" + name, &error)) {
        t.shots++;
        PrintLine(Format("    screenshot %s (%ld x %ld)", name.c_str(), all.right - all.left, all.bottom - all.top));
    } else {
        t.failures++;
        PrintLine("    screenshot " + name + " FAILED: " + error);
    }
}

void Shot(HWND window, const char *kind)
{
    Shot(std::vector<HWND>{ window }, kind);
}

void ShotOfHost(const char *kind)
{
    Shot({ g_host.frame, PageSheet() }, kind);
}

void PrintCalls(DWORD from)
{
    DWORD count = SimLogCount();
    if (count == from)
        PrintLine("    (no device calls)");
    for (DWORD i = from; i < count; i++) {
        SimCall call;
        if (SimLogEntry(i, &call) != 0)
            continue;
        CallText c = DescribeSimCall(call);
        PrintLine(Format("    %2lu. %-22s %-36s %-14s %s", (unsigned long)(i - from + 1), c.operation.c_str(),
                         c.object.c_str(), c.outcome.c_str(), c.detail.c_str()));
        for (const std::string &line : ConfigBinLines(call))
            PrintLine("          " + line);
    }
}

void BeginStep(int step, const char *title)
{
    t.step = step;
    t.shotInStep = 0;
    PrintLine("");
    PrintLine(Format("[%d] %s", step, title));
}

/* The device calls since the step (or its last part) began. */
void EndPart(void)
{
    PrintCalls(t.stepLogStart);
    t.stepLogStart = SimLogCount();
}

void Note(const std::string &text)
{
    PrintLine("    " + text);
}

/* --- autopilot for modal windows --- */

void PostTimerTicks(HWND dialog, int count)
{
    for (int i = 0; i < count; i++)
        PostMessageA(dialog, WM_TIMER, 0, 0);
}

void EndIfStillOpen(HWND dialog, const char *what)
{
    if (IsWindow(dialog) && IsWindowVisible(dialog)) {
        Note(Format("(%s still open: closed by the tour)", what));
        EndDialog(dialog, IDCANCEL);
    }
}

void AnswerWaitDialog(HWND dialog)
{
    PostTimerTicks(dialog, WAIT_TICKS_BEFORE_SHOT);
    Later(AUTOPILOT_DELAY_MS, [dialog] {
        if (!IsWindow(dialog))
            return;
        Note(Format("wait dialog after %d timer ticks:", WAIT_TICKS_BEFORE_SHOT));
        Shot(dialog, "wait-dialog");
        PostTimerTicks(dialog, WAIT_TICKS_AFTER_SHOT);
        Later(200, [dialog] { EndIfStillOpen(dialog, "wait dialog after 32 ticks"); });
    });
}

void AnswerModal(HWND window)
{
    /* the property sheet is modeless: the tour drives it itself */
    if (!IsWindow(window) || window == PageSheet())
        return;
    /* A modal dialog is activated from its initialisation (its focus is set there), but
     * shown only once its message queue runs empty: a shot before that is black. */
    if (!IsWindowVisible(window)) {
        Later(AUTOPILOT_DELAY_MS, [window] { AnswerModal(window); });
        return;
    }
    if (GetDlgItem(window, IDC_WAIT_LEVEL)) {
        AnswerWaitDialog(window);
    } else if (GetDlgItem(window, IDC_BIN_PICTURE)) {
        Note("stand-alone dialog «" + WindowText(window) + "»:");
        Shot(window, "standalone-dialog");
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        Later(200, [window] { EndIfStillOpen(window, "stand-alone dialog"); });
    } else if (GetDlgItem(window, MESSAGE_TEXT_ID)) {
        Note("message box «" + WindowText(window) + "»: " + WindowText(GetDlgItem(window, MESSAGE_TEXT_ID)));
        Shot(window, "message-box");
        Note("answered OK");
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    } else {
        Note("unexpected dialog «" + WindowText(window) + "»:");
        Shot(window, "other-dialog");
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        Later(200, [window] { EndIfStillOpen(window, "dialog"); });
    }
}

LRESULT CALLBACK TourCbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    HWND window = (HWND)wParam;
    if (code == HCBT_ACTIVATE) {
        char cls[16] = "";
        GetClassNameA(window, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0 && t.seen.insert(window).second)
            Later(AUTOPILOT_DELAY_MS, [window] { AnswerModal(window); }); /* once it has painted */
    } else if (code == HCBT_DESTROYWND) {
        t.seen.erase(window);
    }
    return CallNextHookEx(t.hook, code, wParam, lParam);
}

DWORD WINAPI Watchdog(LPVOID)
{
    Sleep(TOUR_TIME_LIMIT_MS);
    PrintLine(Format("tour: not finished after %d s, stopped", TOUR_TIME_LIMIT_MS / 1000));
    ExitProcess(3);
}

/* --- the printers of the tour --- */

SimPrinter TourPrinter(DWORD device, const char *name)
{
    SimPrinter p;
    SimDefaultPrinter(&p);
    p.device = device;
    lstrcpynA(p.name, name, sizeof p.name);
    return p;
}

/* A printer in stacker or job separator mode: the face-up bin and the single output. */
SimPrinter SingleOutputPrinter(DWORD device, const char *name, DWORD mode, const char *outputName)
{
    SimPrinter p = TourPrinter(device, name);
    p.mode = mode;
    p.destination = BIN_HCO_FIRST;
    p.binCount = 2;
    for (int i = 2; i < HCO_RECORD_BINS; i++)
        p.binNames[i][0] = 0;
    lstrcpynA(p.binNames[1], outputName, sizeof p.binNames[1]);
    return p;
}

void BuildTourPrinters(void)
{
    SimReset(); /* the built-in printer: device 1, mailbox, online */
    SimPrinter p = SingleOutputPrinter(2, "Stampante spedizioni", HCO_MODE_STACKER, "CARRELLO");
    p.online = 0;
    SimAddPrinter(&p);
    p = SingleOutputPrinter(3, "Stampante centro stampa", HCO_MODE_JOB_SEPARATOR, "SEPARATORE");
    p.timeoutSeconds = -1;
    SimAddPrinter(&p);
    p = TourPrinter(4, "Stampante ufficio acquisti");
    SimAddPrinter(&p);
    p = TourPrinter(5, "Stampante portineria");
    p.capabilityFlags = 0x01;
    p.capabilityWord = 0;
    p.hasAccessory = 0;
    SimAddPrinter(&p);
    p = TourPrinter(6, "Stampante direzione");
    p.accessMask = 0;
    SimAddPrinter(&p);
    SimLogClear();
}

HWND PageItem(int id)
{
    return SheetPage() ? GetDlgItem(SheetPage(), id) : nullptr;
}

/* The sheet's caption, its tabs and the one on show. */
std::string SheetLine(void)
{
    HWND sheet = PageSheet();
    HWND tabs = sheet ? PropSheet_GetTabControl(sheet) : nullptr;
    if (!tabs)
        return "no property sheet";
    std::string line = "property sheet «" + WindowText(sheet) + "», tabs";
    int count = (int)SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        char text[64] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, i, (LPARAM)&item);
        line += (i ? ", «" : " «") + std::string(text) + "»";
    }
    int current = (int)SendMessageA(tabs, TCM_GETCURSEL, 0, 0);
    line += PropSheet_GetCurrentPageHwnd(sheet) == SheetPage() && current == SHEET_APPLET_INDEX ? ", the HCO page on show"
                                                                                                : ", another page on show";
    return line;
}

std::string ApplyState(void)
{
    HWND apply = PageSheet() ? GetDlgItem(PageSheet(), SHEET_APPLY_BUTTON) : nullptr;
    return apply && IsWindowEnabled(apply) ? "Applica enabled" : "Applica disabled";
}

void Select(int index, const char *what)
{
    SelectPrinter(index);
    Pump();
    Note(Format("printer «%s»: %s", what, SheetPage() ? SheetLine().c_str() : "no page"));
}

void Click(HWND button)
{
    if (button)
        SendMessageA(button, BM_CLICK, 0, 0);
    Pump();
}

/* The sheet's Applica, which reaches the page as message 1690. */
void ClickApply(void)
{
    Click(PageSheet() ? GetDlgItem(PageSheet(), SHEET_APPLY_BUTTON) : nullptr);
    Note(WindowText(g_host.actionText) + ", " + ApplyState());
}

/* Where tray `row` of the bin picture is, in the control's client coordinates: the
 * picture is centred in the control. */
POINT TrayPoint(HWND picture, int row)
{
    SIZE bitmap = { 96, 154 };
    HBITMAP image = LoadBitmapA(g_host.slots[0].instance, MAKEINTRESOURCEA(IDB_HCO_NO_TRAY));
    BITMAP info;
    if (image && GetObjectA(image, sizeof info, &info)) {
        bitmap.cx = info.bmWidth;
        bitmap.cy = info.bmHeight;
    }
    if (image)
        DeleteObject(image);
    RECT rc;
    GetClientRect(picture, &rc);
    POINT pt = { (rc.right - bitmap.cx) / 2 + 20, (rc.bottom - bitmap.cy) / 2 + 40 + 12 * row };
    return pt;
}

std::string SelectedRow(int listId, bool combo)
{
    HWND list = PageItem(listId);
    if (!list)
        return "(no control)";
    int row = (int)SendMessageA(list, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    if (row < 0)
        return "none";
    char text[256] = "";
    SendMessageA(list, combo ? CB_GETLBTEXT : LB_GETTEXT, row, (LPARAM)text);
    return Format("row %d «%s»", row, text);
}

void PickRow(int comboId, int row)
{
    HWND combo = PageItem(comboId);
    if (!combo)
        return;
    SendMessageA(combo, CB_SETCURSEL, row, 0);
    SendMessageA(SheetPage(), WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), (LPARAM)combo);
}

/* --- the steps --- */

void Step1_MailboxPage(void)
{
    BeginStep(1, "The frame and the default printer's property sheet with the HCO page (mailbox mode)");
    Select(0, "Stampante reparto (HCO)");
    ShotOfHost("page-mailbox");
    EndPart();
}

void Step2_StandaloneDialog(void)
{
    BeginStep(2, "The stand-alone dialog (HCOPopupDialog), closed with Annulla");
    Click(g_host.popupButton);
    Note("frame: " + WindowText(g_host.actionText));
    EndPart();
}

void Step3_OtherPrinters(void)
{
    BeginStep(3, "Pages of other printers: stacker mode (offline), job separator mode, and two without a page");
    Select(1, "Stampante spedizioni");
    ShotOfHost("page-stacker");
    EndPart();
    Select(2, "Stampante centro stampa");
    ShotOfHost("page-job-separator");
    EndPart();
    Select(4, "Stampante portineria");
    ShotOfHost("no-page-without-accessory");
    EndPart();
    Select(5, "Stampante direzione");
    ShotOfHost("no-page-access-refused");
    EndPart();
}

void Step4_TrayClick(void)
{
    BeginStep(4, "A click on tray 3 of the bin picture");
    Select(0, "Stampante reparto (HCO)");
    EndPart();
    BeginAction("clic sul cassetto 3", SimLogCount());
    HWND picture = PageItem(IDC_BIN_PICTURE);
    if (picture) {
        POINT pt = TrayPoint(picture, 2);
        SendMessageA(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        SendMessageA(picture, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        Pump();
        Note(Format("clicked at (%ld, %ld) in the picture control", pt.x, pt.y));
    }
    Note("bin list selection: " + SelectedRow(IDC_BIN_LIST, false) + ", name edit: «" +
         WindowText(PageItem(IDC_NAME_EDIT)) + "»");
    ShotOfHost("tray-3-clicked");
    EndPart();
}

void Step5_ModeChange(void)
{
    BeginStep(5, "Mode change mailbox -> stacker (confirmation, wait dialog, page reshaped)");
    Select(3, "Stampante ufficio acquisti");
    EndPart();
    BeginAction("modalità Carrello", SimLogCount());
    Click(PageItem(IDC_MODE_STACKER));
    Note(Format("radios now: mailbox %d, job separator %d, stacker %d",
                (int)IsDlgButtonChecked(SheetPage(), IDC_MODE_MAILBOX),
                (int)IsDlgButtonChecked(SheetPage(), IDC_MODE_JOB_SEPARATOR),
                (int)IsDlgButtonChecked(SheetPage(), IDC_MODE_STACKER)));
    SimPrinter p;
    if (SimPrinterAt(3, &p) == 0)
        Note("printer now: mode " + ModeName(p.mode) + (p.online == 1 ? ", online" : ", offline"));
    ShotOfHost("page-after-mode-change");
    EndPart();
}

void Step6_Rename(void)
{
    BeginStep(6, "Rename mailbox 3 to «Ufficio legale», then the sheet's Applica");
    Select(0, "Stampante reparto (HCO)");
    EndPart();
    BeginAction("rinomina della mailbox 3", SimLogCount());
    HWND list = PageItem(IDC_BIN_LIST);
    HWND edit = PageItem(IDC_NAME_EDIT);
    if (list) {
        SendMessageA(list, LB_SETCURSEL, 2, 0);
        SendMessageA(SheetPage(), WM_COMMAND, MAKEWPARAM(IDC_BIN_LIST, LBN_SELCHANGE), (LPARAM)list);
    }
    if (edit) {
        SetFocus(edit);
        SetWindowTextA(edit, "Ufficio legale");
    }
    Pump();
    Note("bin list: " + SelectedRow(IDC_BIN_LIST, false) + ", " + ApplyState());
    ClickApply();
    ShotOfHost("mailbox-3-renamed");
    EndPart();
}

void Step7_TimeoutAndDestination(void)
{
    BeginStep(7, "Timeout «20 minuti» and destination «Scomp. testo verso l'alto», then the sheet's Applica");
    BeginAction("timeout e destinazione", SimLogCount());
    PickRow(IDC_TIMEOUT_COMBO, 3);
    PickRow(IDC_DESTINATION_COMBO, 1);
    Pump();
    Note("timeout: " + SelectedRow(IDC_TIMEOUT_COMBO, true) + ", destination: " +
         SelectedRow(IDC_DESTINATION_COMBO, true) + ", " + ApplyState());
    ClickApply();
    ShotOfHost("timeout-destination");
    EndPart();
}

} // namespace

int RunTour(const char *outDir)
{
    DWORD start = GetTickCount();
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    t.outDir = outDir;
    CreateDirectoryA(outDir, nullptr);
    OpenTranscript(t.outDir + "\\device-calls.txt");
    PrintLine(Format("PrintAdmin tour: screenshots in %s", outDir));

    BuildTourPrinters();
    if (!CreateAdminFrame(GetModuleHandleA(nullptr))) {
        PrintLine(Format("tour: the frame could not be created (error %lu)", GetLastError()));
        return 1;
    }
    ShowWindow(g_host.frame, SW_SHOWNORMAL);
    UpdateWindow(g_host.frame);
    t.hook = SetWindowsHookExA(WH_CBT, TourCbtHook, nullptr, GetCurrentThreadId());
    t.stepLogStart = SimLogCount();

    Step1_MailboxPage();
    Step2_StandaloneDialog();
    Step3_OtherPrinters();
    Step4_TrayClick();
    Step5_ModeChange();
    Step6_Rename();
    Step7_TimeoutAndDestination();

    UnhookWindowsHookEx(t.hook);
    PostMessageA(g_host.frame, WM_CLOSE, 0, 0);
    MSG msg;
    while (IsWindow(g_host.frame) && GetMessageA(&msg, nullptr, 0, 0) > 0)
        RouteMessage(&msg);
    PrintLine("");
    PrintLine(Format("tour: %d screenshots, %d failures, %lu device calls, %lu ms", t.shots, t.failures,
                     (unsigned long)SimLogCount(), (unsigned long)(GetTickCount() - start)));
    CloseTranscript();
    return t.failures ? 1 : 0;
}
