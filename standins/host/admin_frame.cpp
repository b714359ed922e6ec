/* The administration frame: the printer list, what became of the chosen printer's page
 * (its property sheet is open, or why there is no page), the stand-alone dialog's button
 * and the device calls of the last action. */
#include "host.h"
#include "call_log.h"

#include <commctrl.h>
#include <cstdio>

#define FRAME_CLASS "PrintAdminFrame"

enum {
    IDF_PRINTER_LIST = 1001,
    IDF_PRINTER_INFO,
    IDF_PAGE_PANEL,
    IDF_POPUP,
    IDF_ACTION,
    IDF_LOG,
};

#define LOG_TIMER 1
#define LOG_TIMER_MS 250

#define MARGIN 10
#define LEFT_WIDTH 230
#define INFO_HEIGHT 96
#define PANEL_WIDTH 540
#define PANEL_HEIGHT 330
#define BUTTON_HEIGHT 25
#define LOG_HEIGHT 190

Host g_host;

static HWND AddControl(const char *cls, const char *text, DWORD style, int id, DWORD exStyle = 0)
{
    HWND control = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, g_host.frame,
                                   (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(control, WM_SETFONT, (WPARAM)g_host.font, FALSE);
    return control;
}

void LayoutFrame(void)
{
    int panelX = MARGIN + LEFT_WIDTH + MARGIN;
    int clientW = panelX + PANEL_WIDTH + MARGIN;

    MoveWindow(g_host.printerLabel, MARGIN, MARGIN + 3, LEFT_WIDTH, 16, FALSE);
    int listY = MARGIN + 22;
    int listH = MARGIN + PANEL_HEIGHT - listY - INFO_HEIGHT - 8;
    MoveWindow(g_host.printerList, MARGIN, listY, LEFT_WIDTH, listH, FALSE);
    MoveWindow(g_host.printerInfo, MARGIN, listY + listH + 8, LEFT_WIDTH, INFO_HEIGHT, FALSE);
    MoveWindow(g_host.pagePanel, panelX, MARGIN, PANEL_WIDTH, PANEL_HEIGHT, FALSE);
    int buttonY = MARGIN + PANEL_HEIGHT + 8;
    MoveWindow(g_host.popupButton, MARGIN, buttonY, LEFT_WIDTH, BUTTON_HEIGHT, FALSE);

    int actionY = buttonY + BUTTON_HEIGHT + 14;
    MoveWindow(g_host.actionText, MARGIN, actionY, clientW - 2 * MARGIN, 18, FALSE);
    int logY = actionY + 20;
    MoveWindow(g_host.logList, MARGIN, logY, clientW - 2 * MARGIN, LOG_HEIGHT, FALSE);
    int detailW = clientW - 2 * MARGIN - 36 - 160 - 230 - 80 - GetSystemMetrics(SM_CXVSCROLL) - 4;
    SendMessageA(g_host.logList, LVM_SETCOLUMNWIDTH, 4, detailW);

    RECT frame = { 0, 0, clientW, logY + LOG_HEIGHT + MARGIN };
    AdjustWindowRectEx(&frame, GetWindowLongA(g_host.frame, GWL_STYLE), FALSE,
                       GetWindowLongA(g_host.frame, GWL_EXSTYLE));
    SetWindowPos(g_host.frame, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(g_host.frame, nullptr, TRUE);
}

static void AddLogColumn(int index, const char *title, int width)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = (char *)title;
    column.cx = width;
    SendMessageA(g_host.logList, LVM_INSERTCOLUMNA, index, (LPARAM)&column);
}

static void Frame_OnCreate(HWND frame)
{
    g_host.frame = frame;
    g_host.printerIndex = -1;
    g_host.inputMark = NO_MARK;
    HDC dc = GetDC(frame);
    int height = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(frame, dc);
    g_host.font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, DEFAULT_QUALITY,
                              DEFAULT_PITCH, "MS Sans Serif");
    g_host.boldFont = CreateFontA(height, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, DEFAULT_QUALITY,
                                  DEFAULT_PITCH, "MS Sans Serif");

    g_host.printerLabel = AddControl("Static", "Stampanti", SS_LEFT, -1);
    SendMessageA(g_host.printerLabel, WM_SETFONT, (WPARAM)g_host.boldFont, FALSE);
    g_host.printerList = AddControl("ListBox", "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                                    IDF_PRINTER_LIST, WS_EX_CLIENTEDGE);
    g_host.printerInfo = AddControl("Static", "", SS_LEFT, IDF_PRINTER_INFO);
    g_host.pagePanel = AddControl("Static", "", SS_CENTER, IDF_PAGE_PANEL, WS_EX_STATICEDGE);
    g_host.popupButton = AddControl("Button", "Finestra autonoma…", BS_PUSHBUTTON | WS_TABSTOP, IDF_POPUP);
    g_host.actionText = AddControl("Static", "", SS_LEFT | SS_ENDELLIPSIS, IDF_ACTION);
    SendMessageA(g_host.actionText, WM_SETFONT, (WPARAM)g_host.boldFont, FALSE);
    g_host.logList = AddControl(WC_LISTVIEWA, "",
                                LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER | LVS_SHOWSELALWAYS | WS_TABSTOP,
                                IDF_LOG, WS_EX_CLIENTEDGE);
    SendMessageA(g_host.logList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddLogColumn(0, "N.", 36);
    AddLogColumn(1, "Operazione", 160);
    AddLogColumn(2, "Oggetto", 230);
    AddLogColumn(3, "Esito", 80);
    AddLogColumn(4, "Dettagli", 300);

    SetWindowTextA(g_host.pagePanel, "\r\n\r\n\r\nScegliere una stampante: le sue impostazioni si aprono "
                                     "nella sua finestra delle proprietà.");
    if (!g_host.applet)
        EnableWindow(g_host.popupButton, FALSE);

    DWORD count = SimPrinterCount();
    for (DWORD i = 0; i < count; i++) {
        SimPrinter printer;
        if (SimPrinterAt(i, &printer) == 0)
            SendMessageA(g_host.printerList, LB_ADDSTRING, 0, (LPARAM)printer.name);
    }
    LayoutFrame();
    SetTimer(frame, LOG_TIMER, LOG_TIMER_MS, nullptr);
}

void BeginAction(const std::string &name, DWORD logStart)
{
    g_host.actionName = name;
    g_host.actionNote.clear();
    g_host.actionStart = logStart;
    g_host.inputMark = NO_MARK;
    RefreshLog();
}

void SetActionNote(const std::string &note)
{
    g_host.actionNote = note;
    RefreshLog();
}

static void AddLogRow(DWORD index, const SimCall &call)
{
    CallText t = DescribeSimCall(call);
    std::string number = Format("%lu", (unsigned long)(index - g_host.actionStart + 1));
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = (int)(index - g_host.actionStart);
    item.pszText = (char *)number.c_str();
    int row = (int)SendMessageA(g_host.logList, LVM_INSERTITEMA, 0, (LPARAM)&item);
    const std::string *cells[] = { &t.operation, &t.object, &t.outcome, &t.detail };
    for (int c = 0; c < 4; c++) {
        item.iSubItem = c + 1;
        item.pszText = (char *)cells[c]->c_str();
        SendMessageA(g_host.logList, LVM_SETITEMTEXTA, row, (LPARAM)&item);
    }
}

void RefreshLog(void)
{
    DWORD count = SimLogCount();
    if (g_host.listedStart != g_host.actionStart || g_host.listedCount > count) {
        SendMessageA(g_host.logList, LVM_DELETEALLITEMS, 0, 0);
        g_host.listedStart = g_host.actionStart;
        g_host.listedCount = g_host.actionStart;
    }
    bool added = false;
    for (; g_host.listedCount < count; g_host.listedCount++) {
        SimCall call;
        if (SimLogEntry(g_host.listedCount, &call) == 0)
            AddLogRow(g_host.listedCount, call);
        added = true;
    }
    if (added) {
        SendMessageA(g_host.logList, LVM_ENSUREVISIBLE, g_host.listedCount - g_host.actionStart - 1, FALSE);
        RefreshPrinterInfo();
    }
    DWORD calls = count - g_host.actionStart;
    std::string text = g_host.actionName.empty() ? "Nessuna azione ancora" : "Ultima azione: " + g_host.actionName;
    if (!g_host.actionNote.empty())
        text += " — " + g_host.actionNote;
    text += calls == 1 ? " — 1 chiamata al dispositivo" : Format(" — %lu chiamate al dispositivo", (unsigned long)calls);
    SetWindowTextA(g_host.actionText, text.c_str());
}

static std::string OnlineName(DWORD state)
{
    return state == 1 ? "in linea" : "fuori linea";
}

std::string PrinterSummary(const SimPrinter &p)
{
    std::string text = Format("Dispositivo %lu, %s\r\n", (unsigned long)p.device, OnlineName(p.online).c_str());
    if (!(p.accessMask & 1))
        text += "Modifiche non concesse\r\n";
    if (p.hasAccessory) {
        text += "Output ad alta capacità: sì\r\nModalità: " + ModeName(p.mode) + "\r\n";
        text += p.timeoutSeconds < 0 ? "Timeout: illimitato\r\n" : Format("Timeout: %ld s\r\n", (long)p.timeoutSeconds);
        text += Format("Destinazione della carta: %lu", (unsigned long)p.destination);
    } else {
        text += "Output ad alta capacità: no";
    }
    return text;
}

void RefreshPrinterInfo(void)
{
    SimPrinter p;
    if (g_host.printerIndex < 0 || SimPrinterAt((DWORD)g_host.printerIndex, &p) != 0) {
        SetWindowTextA(g_host.printerInfo, "");
        return;
    }
    SetWindowTextA(g_host.printerInfo, PrinterSummary(p).c_str());
}

static std::string ChosenPrinterName(void)
{
    SimPrinter p;
    if (g_host.printerIndex < 0 || SimPrinterAt((DWORD)g_host.printerIndex, &p) != 0)
        return "?";
    return p.name;
}

void ShowSheetNote(void)
{
    char caption[128] = "";
    GetWindowTextA(PageSheet(), caption, sizeof caption);
    std::string text = Format("\r\n\r\n\r\nLa pagina HCO di «%s» è nella finestra «%s».\r\n\r\n",
                              ChosenPrinterName().c_str(), caption) +
                       "OK e Applica le fanno scrivere nella stampante ciò che è cambiato;\r\n"
                       "le chiamate al dispositivo compaiono qui sotto.";
    SetWindowTextA(g_host.pagePanel, text.c_str());
}

void ShowNoPageReason(const SimPrinter *p)
{
    std::string reason;
    if (!g_host.getTabPages)
        reason = "Binpanel.dll non è caricato: nessuna pagina può essere offerta.";
    else if (!p)
        reason = "La stampante non è più nel simulatore.";
    else if (g_host.pageFailed)
        reason = Format("La pagina offerta non si è potuta creare (errore %lu).", GetLastError());
    else if (g_host.offerResult != 0)
        reason = Format("Una lettura dalla stampante non è riuscita (stato 0x%04lX).",
                        (unsigned long)g_host.offerResult);
    else if (!(p->accessMask & 1))
        reason = "Accesso negato: la stampante non concede le modifiche a questo utente.";
    else if (p->peripheralKind != PERIPHERAL_KIND_SUPPORTED)
        reason = Format("Stampante di altro tipo (tipo di periferica %lu).", (unsigned long)p->peripheralKind);
    else if (!(p->capabilityFlags & CAPABILITY_FLAG_HCO) || !p->capabilityWord)
        reason = "La stampante non ha l'output ad alta capacità (HCO).";
    else
        reason = "Binpanel non ha offerto pagine per questa stampante.";
    std::string text = Format("\r\n\r\n\r\nNessuna pagina per «%s».\r\n\r\n", p ? p->name : "?") + reason;
    if (g_host.getTabPages && p)
        text += Format("\r\n\r\nAppletGetTabPages: risultato %lu (0x%04lX), pagine offerte: %lu.",
                       (unsigned long)g_host.offerResult, (unsigned long)g_host.offerResult,
                       (unsigned long)g_host.offerCount);
    SetWindowTextA(g_host.pagePanel, text.c_str());
}

bool SelectPrinter(int index)
{
    if (index == g_host.printerIndex && PageSheet()) {
        SetForegroundWindow(PageSheet());
        return true;
    }
    if (!ClosePage()) {
        SendMessageA(g_host.printerList, LB_SETCURSEL, g_host.printerIndex, 0);
        return false;
    }
    SimPrinter p;
    std::string name = SimPrinterAt((DWORD)index, &p) == 0 ? p.name : "?";
    SendMessageA(g_host.printerList, LB_SETCURSEL, index, 0);
    BeginAction("scelta di «" + name + "»", SimLogCount());
    bool opened = OfferAndOpenPage(index);
    SetActionNote(opened ? "pagina HCO aperta nella finestra delle proprietà" : "nessuna pagina");
    RefreshPrinterInfo();
    return opened;
}

/* --- what the sheet tells the host --- */

void OnSheetAction(const char *action)
{
    BeginAction(action, SimLogCount());
}

void OnPageAnswered(UINT message, DWORD answer, bool handled)
{
    switch (message) {
    case PAGE_MSG_APPLY:
    case PAGE_MSG_APPLY_AGAIN:
        SetActionNote(handled ? Format("messaggio %u, risposta della pagina: %lu", message, (unsigned long)answer)
                              : Format("messaggio %u non gestito dalla pagina", message));
        break;
    case PAGE_MSG_HELP:
        SetActionNote("la pagina apre la guida ZORVOHCO.HLP");
        break;
    case PAGE_MSG_SECOND_NOTICE:
        SetActionNote("chiusa senza applicare");
        break;
    }
}

void OnSheetClosed(void)
{
    GetWindowRect(PageSheet(), &g_host.sheetRect);
    std::string text = Format("\r\n\r\n\r\nLa finestra delle proprietà di «%s» è chiusa.\r\n\r\n",
                              ChosenPrinterName().c_str()) +
                       "Un doppio clic sulla stampante la riapre.";
    SetWindowTextA(g_host.pagePanel, text.c_str());
}

static void Frame_Close(void)
{
    if (!ClosePage())
        return;
    DestroyWindow(g_host.frame);
}

static void Frame_OnCommand(int id, int code)
{
    switch (id) {
    case IDF_PRINTER_LIST:
        if (code == LBN_SELCHANGE || code == LBN_DBLCLK)
            SelectPrinter((int)SendMessageA(g_host.printerList, LB_GETCURSEL, 0, 0));
        break;
    case IDF_POPUP: {
        BeginAction("finestra autonoma", SimLogCount());
        INT_PTR result = ShowPopupDialog();
        const char *how = result == IDOK ? "«OK»" : result == IDCANCEL ? "«Annulla»" : "non aperta";
        SetActionNote(Format("chiusa con %s (risultato %ld)", how, (long)result));
        break;
    }
    }
}

static LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        Frame_OnCreate(frame);
        return 0;
    case WM_COMMAND:
        Frame_OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_TIMER:
        if (wParam == LOG_TIMER) {
            /* calls the page made on its own, after the user touched it, start a new action */
            if (g_host.inputMark != NO_MARK && SimLogCount() > g_host.inputMark)
                BeginAction("pagina HCO", g_host.inputMark);
            else
                RefreshLog();
        }
        return 0;
    case WM_CLOSE:
        Frame_Close();
        return 0;
    case WM_DESTROY:
        KillTimer(frame, LOG_TIMER);
        DeleteObject(g_host.font);
        DeleteObject(g_host.boldFont);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(frame, message, wParam, lParam);
}

HWND CreateAdminFrame(HINSTANCE instance)
{
    INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_LISTVIEW_CLASSES };
    InitCommonControlsEx(&icc);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = FRAME_CLASS;
    RegisterClassA(&wc);
    return CreateWindowExA(WS_EX_CONTROLPARENT, FRAME_CLASS, "Amministrazione stampanti",
                           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, CW_USEDEFAULT,
                           CW_USEDEFAULT, 800, 600, nullptr, nullptr, instance, nullptr);
}

static bool IsPageInput(const MSG &msg)
{
    HWND page = SheetPage();
    bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) || msg.message == WM_LBUTTONDOWN ||
                 msg.message == WM_RBUTTONDOWN;
    return input && page && (msg.hwnd == page || IsChild(page, msg.hwnd));
}

/* The sheet sees its messages first, for its own keys (Tab into and out of the page,
 * Ctrl+Tab between pages, Enter and Esc for its buttons); a sheet that ended goes. */
void RouteMessage(MSG *msg)
{
    if (IsPageInput(*msg) && g_host.inputMark == NO_MARK)
        g_host.inputMark = SimLogCount();
    if (!SheetTakesMessage(msg) && !IsDialogMessageA(g_host.frame, msg)) {
        TranslateMessage(msg);
        DispatchMessageA(msg);
    }
    DestroyEndedSheet();
}

int RunFrameLoop(void)
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        RouteMessage(&msg);
    return (int)msg.wParam;
}
