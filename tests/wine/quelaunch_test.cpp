/* Quelaunch.exe started as its outside caller starts it: an exact command line through
 * CreateProcessA, with the Spoolwatch stand-in recording each call (SPOOLWATCH_RECORD)
 * instead of opening its monitor; and the stand-in's monitor window itself, in this
 * process and behind Quelaunch. */
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include "ui_driver.h"

#include <string>
#include <vector>
#include "code_page_1252.h"

namespace {

const char kMonitorClass[] = "SpoolwatchMonitor";

/* The binaries under test lie in the working folder: build/win64/bin, or dist/win32 for the
 * shipped 32-bit ones. */
std::string BinDir()
{
    char path[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof path, path);
    return std::string(path, length);
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0, end;
    while ((end = text.find('\n', start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start) + " <no line end>");
    return lines;
}

/* Starts Quelaunch.exe with exactly this command line; the child inherits our environment. */
bool StartQuelaunch(const std::string &commandLine, PROCESS_INFORMATION *process)
{
    std::string application = BinDir() + "\\Quelaunch.exe";
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, process);
}

const DWORD kRunLimitMs = 20000;    /* a recorded run, which opens no window */
const DWORD kMonitorWaitMs = 10000; /* for a monitor window to show */
const DWORD kCloseWaitMs = 10000;   /* for the monitor's caller to return once it is closed */

struct Recorded {
    bool ended = false;
    DWORD exitCode = 0xFFFFFFFF;
    std::vector<std::string> calls;
};

Recorded RunRecorded(const std::string &commandLine)
{
    Recorded result;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string record = std::string(temp) + "quelaunch_" + std::to_string(GetCurrentProcessId()) + ".rec";
    DeleteFileA(record.c_str());
    SetEnvironmentVariableA("SPOOLWATCH_RECORD", record.c_str());
    PROCESS_INFORMATION process;
    bool started = StartQuelaunch(commandLine, &process);
    SetEnvironmentVariableA("SPOOLWATCH_RECORD", nullptr);
    EXPECT_TRUE(started) << GetLastError();
    if (!started)
        return result;
    result.ended = WaitForSingleObject(process.hProcess, kRunLimitMs) == WAIT_OBJECT_0;
    if (!result.ended)
        TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, &result.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    result.calls = Lines(ReadWholeFile(record));
    DeleteFileA(record.c_str());
    return result;
}

struct LaunchCase {
    const char *what;
    const char *commandLine;
    std::vector<std::string> calls;
};

TEST(Quelaunch, MakesAtMostOneSpoolwatchCallWithTheKeysOfItsCommandLine)
{
    const LaunchCase cases[] = {
        { "no argument", "Quelaunch.exe", {} },
        { "only blanks and tabs after the name", "Quelaunch.exe  \t ", {} },
        { "printer", "Quelaunch.exe p=lp1, h=12", { "MonitorPrintJobs2 \"LP1\" 12" } },
        { "queue", "Quelaunch.exe S=SRV1,Q=CODA1,P=LP1,H=7",
          { "MonitorQueueJobs2 \"SRV1\" \"CODA1\" \"LP1\" 7" } },
        { "queue alone, empty texts", "Quelaunch.exe Q=CODA1", { "MonitorQueueJobs2 \"\" \"CODA1\" \"\" 0" } },
        { "fallback", "Quelaunch.exe ufficio2", { "MonitorPrintJobs2 \"UFFICIO2\" 0" } },
        { "fallback keeps the number", "Quelaunch.exe h=-5, ", { "MonitorPrintJobs2 \"H=-5, \" -5" } },
        { "quoted name with blanks and keys in it", "\"C:\\Programmi Zorvo\\P=NOME Q=CODA.exe\"  ufficio 2",
          { "MonitorPrintJobs2 \"UFFICIO 2\" 0" } },
        { "quoted name ends at its closing mark", "\"Quelaunch.exe\"q=coda",
          { "MonitorQueueJobs2 \"\" \"CODA\" \"\" 0" } },
        { "accented letters upper-cased", "Quelaunch.exe p=stampante_\xE0\xE8\xEC\xF2\xF9 q=\xFF\x9C",
          { "MonitorQueueJobs2 \"\" \"\\x9F\\x8C\" \"STAMPANTE_\\xC0\\xC8\\xCC\\xD2\\xD9\" 0" } },
        { "quotation marks and backslashes are plain", "Quelaunch.exe P=\"a\\b\"",
          { "MonitorPrintJobs2 \"\\\"A\\\\B\\\"\" 0" } },
    };
    for (const LaunchCase &c : cases) {
        Recorded run = RunRecorded(c.commandLine);
        EXPECT_TRUE(run.ended) << c.what << ": " << c.commandLine << " did not end within " << kRunLimitMs / 1000
                               << " s and was ended by the test";
        EXPECT_EQ(0u, run.exitCode) << c.what;
        EXPECT_EQ(c.calls, run.calls) << c.what;
    }
}

TEST(Quelaunch, CodePage1252RulesOfTheNativeTestsAreCharUpperAs)
{
    ASSERT_EQ(1252u, GetACP());
    char all[256], expected[256];
    for (int i = 1; i < 256; i++)
        all[i - 1] = expected[i - 1] = char(i);
    all[255] = expected[255] = '\0';
    CharUpperA(all);
    UpperCaseText1252(expected);
    for (int i = 0; i < 255; i++)
        EXPECT_EQ(unsigned(uint8_t(expected[i])), unsigned(uint8_t(all[i]))) << "byte " << i + 1;
}

/* The monitor's list: header texts, then each row's cells, tab-separated. */
std::vector<std::string> ListRows(HWND list)
{
    std::vector<std::string> rows;
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    int columns = (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
    std::string titles;
    for (int i = 0; i < columns; i++) {
        char text[64] = "";
        HDITEMA item = {};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(header, HDM_GETITEMA, i, (LPARAM)&item);
        titles += (i ? "\t" : "") + std::string(text);
    }
    rows.push_back(titles);
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < count; row++) {
        std::string cells;
        for (int i = 0; i < columns; i++) {
            char text[128] = "";
            LVITEMA item = {};
            item.iSubItem = i;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
            cells += (i ? "\t" : "") + std::string(text);
        }
        rows.push_back(cells);
    }
    return rows;
}

std::string TitleOf(HWND window)
{
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

/* the monitor window of that process, waited for up to kMonitorWaitMs */
HWND WaitForMonitor(DWORD processId)
{
    DWORD start = GetTickCount();
    do {
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, kMonitorClass, nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId && IsWindowVisible(window))
                return window;
        }
        Sleep(20);
    } while (GetTickCount() - start < kMonitorWaitMs);
    return nullptr;
}

std::string NoMonitorShown(DWORD processId)
{
    return std::string("no visible ") + kMonitorClass + " window of process " + std::to_string(processId) +
           " within " + std::to_string(kMonitorWaitMs / 1000) + " s";
}

typedef BOOL(WINAPI *PrintJobsFn)(const char *, LONG);
typedef BOOL(WINAPI *QueueJobsFn)(const char *, const char *, const char *, LONG);

struct MonitorCall {
    bool queue;
    bool withOwner;
    HWND owner;
    BOOL result;
};

DWORD WINAPI RunMonitorCall(void *parameter)
{
    MonitorCall *call = static_cast<MonitorCall *>(parameter);
    HMODULE spoolwatch = LoadLibraryA("Spoolwatch.dll");
    if (call->withOwner)
        call->owner = CreateWindowExA(0, "STATIC", "proprietario", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                      nullptr, nullptr);
    if (call->queue)
        call->result = ((QueueJobsFn)GetProcAddress(spoolwatch, "MonitorQueueJobs2"))("SRV1", "CODA1", "LP1", 0);
    else
        call->result = ((PrintJobsFn)GetProcAddress(spoolwatch, "MonitorPrintJobs2"))(
            "LP\xC8", (LONG)(LONG_PTR)call->owner);
    if (call->owner)
        DestroyWindow(call->owner);
    return 0;
}

const std::vector<std::string> kJobRows = {
    "Documento\tProprietario\tPagine\tStato",
    "Relazione attivit\xE0 3\xB0 trimestre.doc\tROSSI\t12\tStampa in corso",
    "Fattura n. 412.xls\tBIANCHI\t2\tIn attesa",
    "Verbale della riunione.txt\tVERDI\t5\tIn pausa",
    "Listino prezzi 1997.pdf\tESPOSITO\t38\tIn attesa",
};

TEST(SpoolwatchStandIn, MonitorShowsTheJobsAndReturnsWhenClosed)
{
    const struct {
        MonitorCall call;
        const char *title;
    } cases[] = {
        { { true, false, nullptr, FALSE }, "Coda CODA1 su SRV1 - LP1" },
        { { false, true, nullptr, FALSE }, "Lavori di stampa - LP\xC8" },
    };
    for (auto c : cases) {
        HANDLE thread = CreateThread(nullptr, 0, RunMonitorCall, &c.call, 0, nullptr);
        ASSERT_NE(nullptr, thread);
        HWND monitor = WaitForMonitor(GetCurrentProcessId());
        ASSERT_NE(nullptr, monitor) << NoMonitorShown(GetCurrentProcessId()) << ", waiting for " << c.title;
        EXPECT_EQ(c.title, TitleOf(monitor));
        EXPECT_EQ(kJobRows, ListRows(GetDlgItem(monitor, 100))) << c.title;
        EXPECT_EQ(c.call.owner, GetWindow(monitor, GW_OWNER)) << c.title;
        EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(thread, 0)) << "returned before the monitor closed";

        PostMessageA(monitor, WM_CLOSE, 0, 0);
        EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(thread, kCloseWaitMs))
            << "the call that opened " << c.title << " did not return within " << kCloseWaitMs / 1000
            << " s of WM_CLOSE to its window";
        CloseHandle(thread);
        EXPECT_TRUE(c.call.result) << c.title;
        EXPECT_FALSE(IsWindow(monitor));
    }
}

TEST(Quelaunch, EndsWhenTheMonitorEnds)
{
    SetEnvironmentVariableA("SPOOLWATCH_RECORD", nullptr);
    PROCESS_INFORMATION process;
    ASSERT_TRUE(StartQuelaunch("Quelaunch.exe q=coda1 s=srv1", &process));
    HWND monitor = WaitForMonitor(process.dwProcessId);
    EXPECT_NE(nullptr, monitor) << NoMonitorShown(process.dwProcessId) << ", waiting for Quelaunch's monitor";
    if (monitor) {
        EXPECT_EQ("Coda CODA1 su SRV1", TitleOf(monitor));
        EXPECT_EQ(4, SendMessageA(GetDlgItem(monitor, 100), LVM_GETITEMCOUNT, 0, 0));
        EXPECT_EQ((DWORD)WAIT_TIMEOUT, WaitForSingleObject(process.hProcess, 200));
        PostMessageA(monitor, WM_CLOSE, 0, 0);
    }
    bool ended = WaitForSingleObject(process.hProcess, kCloseWaitMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process.hProcess, 99);
    EXPECT_TRUE(ended) << "Quelaunch.exe did not end within " << kCloseWaitMs / 1000
                       << " s of WM_CLOSE to its monitor and was ended by the test";
    DWORD exitCode = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(0u, exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

} // namespace
