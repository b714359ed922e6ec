/* Spoolwatch stand-in: MonitorPrintJobs2 and MonitorQueueJobs2 open a small job monitor
 * window (a list of simulated jobs) for the printer or queue they are given and return
 * when the user closes it. When the number names a window, the monitor is owned by it.
 *
 * SPOOLWATCH_RECORD=<file>: no window. Each call appends one line to <file> and returns
 * TRUE at once (FALSE when the file cannot be written):
 *     MonitorPrintJobs2 "<printer>" <number>
 *     MonitorQueueJobs2 "<server>" "<queue>" "<printer>" <number>
 * Text bytes 0x20-0x7E stand as they are, except " and \ written \" and \\; every other
 * byte is \xHH (two upper-case hex digits); a null pointer is NULL without quotes. The
 * number is signed decimal. Each line ends with a single LF. */
#define SPOOLWATCH_BUILD
#include "spoolwatch.h"
#include <commctrl.h>
#include <string>

namespace {

const char kClassName[] = "SpoolwatchMonitor";
const int kListId = 100;
const int kStatusId = 101;

struct Job {
    const char *document, *owner;
    int pages;
    const char *status;
};

const Job kJobs[] = {
    { "Relazione attività 3° trimestre.doc", "ROSSI", 12, "Stampa in corso" },
    { "Fattura n. 412.xls", "BIANCHI", 2, "In attesa" },
    { "Verbale della riunione.txt", "VERDI", 5, "In pausa" },
    { "Listino prezzi 1997.pdf", "ESPOSITO", 38, "In attesa" },
};

void AppendText(std::string &line, const char *text)
{
    if (!text) {
        line += " NULL";
        return;
    }
    static const char hex[] = "0123456789ABCDEF";
    line += " \"";
    for (const unsigned char *at = reinterpret_cast<const unsigned char *>(text); *at; at++) {
        if (*at == '"' || *at == '\\') {
            line += '\\';
            line += char(*at);
        } else if (*at >= 0x20 && *at <= 0x7E) {
            line += char(*at);
        } else {
            line += "\\x";
            line += hex[*at >> 4];
            line += hex[*at & 15];
        }
    }
    line += '"';
}

/* true when SPOOLWATCH_RECORD is set; *result then says whether the line was written */
bool Record(const char *operation, const char *const *texts, int count, LONG number, BOOL *result)
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("SPOOLWATCH_RECORD", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return false;

    std::string line = operation;
    for (int i = 0; i < count; i++)
        AppendText(line, texts[i]);
    line += ' ';
    line += std::to_string(long(number));
    line += '\n';

    *result = FALSE;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        *result = WriteFile(file, line.data(), DWORD(line.size()), &written, nullptr) && written == line.size();
        CloseHandle(file);
    }
    return true;
}

HWND ListOf(HWND window)
{
    return GetDlgItem(window, kListId);
}

void Monitor_AddColumn(HWND list, int index, const char *title, int width, int format)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char *>(title);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, (LPARAM)&column);
}

void Monitor_AddJob(HWND list, int row, const Job &job)
{
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char *>(job.document);
    SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);

    char pages[16];
    wsprintfA(pages, "%d", job.pages);
    const char *cells[] = { job.owner, pages, job.status };
    for (int i = 0; i < 3; i++) {
        item.iSubItem = i + 1;
        item.pszText = const_cast<char *>(cells[i]);
        SendMessageA(list, LVM_SETITEMTEXTA, row, (LPARAM)&item);
    }
}

LRESULT Monitor_Create(HWND window)
{
    HINSTANCE instance = (HINSTANCE)GetWindowLongPtrA(window, GWLP_HINSTANCE);
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "",
                                WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
                                0, 0, 0, 0, window, (HMENU)(INT_PTR)kListId, instance, nullptr);
    HWND status = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                  window, (HMENU)(INT_PTR)kStatusId, instance, nullptr);
    if (!list || !status)
        return -1;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    Monitor_AddColumn(list, 0, "Documento", 230, LVCFMT_LEFT);
    Monitor_AddColumn(list, 1, "Proprietario", 90, LVCFMT_LEFT);
    Monitor_AddColumn(list, 2, "Pagine", 60, LVCFMT_RIGHT);
    Monitor_AddColumn(list, 3, "Stato", 120, LVCFMT_LEFT);
    int count = int(sizeof kJobs / sizeof kJobs[0]);
    for (int row = 0; row < count; row++)
        Monitor_AddJob(list, row, kJobs[row]);

    char text[64];
    wsprintfA(text, "%d documenti in coda", count);
    SendMessageA(status, SB_SETTEXTA, 0, (LPARAM)text);
    return 0;
}

void Monitor_Size(HWND window, int width, int height)
{
    HWND status = GetDlgItem(window, kStatusId);
    SendMessageA(status, WM_SIZE, 0, 0);
    RECT bar;
    GetWindowRect(status, &bar);
    MoveWindow(ListOf(window), 0, 0, width, height - (bar.bottom - bar.top), TRUE);
}

LRESULT CALLBACK MonitorWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return Monitor_Create(window);
    case WM_SIZE:
        Monitor_Size(window, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_DESTROY:
        /* wakes the loop in RunMonitor when the close came as a sent message */
        PostMessageA(nullptr, WM_NULL, 0, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HINSTANCE ThisModule()
{
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       (LPCSTR)&MonitorWndProc, &module);
    return module;
}

bool RegisterMonitorClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MonitorWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return RegisterClassA(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

/* Shows the monitor and runs its messages until it is closed. */
BOOL RunMonitor(const std::string &title, LONG number)
{
    INITCOMMONCONTROLSEX controls = { sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&controls);
    HINSTANCE instance = ThisModule();
    if (!RegisterMonitorClass(instance))
        return FALSE;
    HWND owner = (HWND)(LONG_PTR)number;
    if (!number || !IsWindow(owner))
        owner = nullptr;
    HWND window = CreateWindowExA(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  540, 260, owner, nullptr, instance, nullptr);
    if (!window)
        return FALSE;
    ShowWindow(window, SW_SHOWNORMAL);

    MSG message;
    while (IsWindow(window)) {
        BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            DestroyWindow(window);
            if (got == 0)
                PostQuitMessage(int(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return TRUE;
}

std::string Shown(const char *text, const char *none)
{
    return text && *text ? text : none;
}

} // namespace

extern "C" BOOL WINAPI MonitorPrintJobs2(const char *printer, LONG h)
{
    BOOL result;
    const char *texts[] = { printer };
    if (Record("MonitorPrintJobs2", texts, 1, h, &result))
        return result;
    return RunMonitor("Lavori di stampa - " + Shown(printer, "(nessuna stampante)"), h);
}

extern "C" BOOL WINAPI MonitorQueueJobs2(const char *server, const char *queue, const char *printer, LONG h)
{
    BOOL result;
    const char *texts[] = { server, queue, printer };
    if (Record("MonitorQueueJobs2", texts, 3, h, &result))
        return result;
    std::string title = "Coda " + Shown(queue, "(senza nome)");
    if (server && *server)
        title += std::string(" su ") + server;
    if (printer && *printer)
        title += std::string(" - ") + printer;
    return RunMonitor(title, h);
}
