/* BRIDGE32 against the platform's own flat-thunk services, with the 16-bit half it is written
 * for: the BRIDGE16 stand-in and the 16-bit caller CALL16.EXE (standins/bridge16), run by the
 * 32-bit Wine. Each run is a process of its own: bridge32_loader for the load and the
 * notifications, CALL16.EXE (Wine starts it in its 16-bit host) for the calls. */
#include <windows.h>
#include <gtest/gtest.h>
#include "ui_driver.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

const DWORD kRunTimeoutMs = 30000;

std::string WindowsPath(std::string path)
{
    for (char &c : path)
        if (c == '/')
            c = '\\';
    return path;
}

const std::string kDist = WindowsPath(DIST_WIN32_DIR);
const std::string kBridge16Dir = WindowsPath(BRIDGE16_DIR);
const std::string kBridge32 = kDist + "\\BRIDGE32.dll";

std::string BinDir()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path, length);
    return dir.substr(0, dir.find_last_of('\\'));
}

/* A fresh folder under the temporary one, short enough for a 16-bit command line. */
std::string ScratchDir()
{
    static int runs;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string dir = std::string(temp) + "b16-" + std::to_string(GetCurrentProcessId()) + "-" +
                      std::to_string(++runs);
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

void RemoveFolder(const std::string &dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do
            DeleteFileA((dir + "\\" + found.cFileName).c_str());
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

/* Runs a command line in a folder and returns its exit code. A run that hangs (a fault in
 * 16-bit code ends in Wine's debugger, which does not come back) is ended together with the
 * debugger and reported as -1. */
int RunIn(const std::string &commandLine, const std::string &folder)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string command = commandLine;
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder.c_str(), &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        CloseHandle(job);
        return -1;
    }
    AssignProcessToJobObject(job, process.hProcess);
    ResumeThread(process.hThread);
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject(process.hProcess, kRunTimeoutMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    } else {
        ADD_FAILURE() << commandLine << " did not end within " << kRunTimeoutMs << " ms";
        TerminateJobObject(job, (UINT)-1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    CloseHandle(job);
    return (int)code;
}

std::string Loader()
{
    return "\"" + BinDir() + "\\bridge32_loader.exe\"";
}

TEST(Bridge16Connect, LoadSucceedsWithTheSixteenBitHalfAndIsRefusedWithoutIt)
{
    /* the kernel looks for BRIDGE16.DLL in the working folder, not beside BRIDGE32 */
    EXPECT_EQ(0, RunIn(Loader() + " load \"" + kBridge32 + "\"", kBridge16Dir));
    std::string empty = ScratchDir();
    EXPECT_EQ(ERROR_DLL_INIT_FAILED, RunIn(Loader() + " load \"" + kBridge32 + "\"", empty));
    RemoveFolder(empty);
}

TEST(Bridge16Connect, ThreadAttachAndDetachAndUnloadRepeatTheConnect)
{
    std::string dir = ScratchDir(), report = dir + "\\notify.txt";
    int exitCode = RunIn(Loader() + " notify \"" + kBridge32 + "\" \"" + report + "\"", kBridge16Dir);
    std::string text = ReadWholeFile(report);
    RemoveFolder(dir);
    ASSERT_EQ(0, exitCode);
    std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(5u, lines.size()) << text;
    const std::string loaded = lines[0]; /* "loaded instance=I table=T" */
    ASSERT_EQ(0u, loaded.find("loaded instance="));
    std::string instance = loaded.substr(16, loaded.find(' ', 16) - 16);
    std::string table = loaded.substr(loaded.find("table=") + 6);
    for (DWORD i = 0; i < 3; i++) {
        const DWORD reasons[] = { DLL_THREAD_ATTACH, DLL_THREAD_DETACH, DLL_PROCESS_DETACH };
        EXPECT_EQ("connect reason=" + std::to_string(reasons[i]) + " table=" + table +
                      " name16=ZorvoReg_ThunkData16 module16=BRIDGE16.DLL module32=BRIDGE32.DLL instance=" +
                      instance + " result=1",
                  lines[1 + i]);
    }
    EXPECT_EQ("unloaded", lines[4]);
}

/* What CALL16.EXE passes, call by call (call16.asm): buffers A, B, C of its own, 0 for null. */
struct CallerCall {
    char first, second, third;
    int32_t firstNumber, secondNumber;
    uint32_t result;
};
const CallerCall kCalls[] = {
    { 'A', 0, 'C', -1, -32768, 0 },
    { 'A', 'B', 0, 32767, 0, 1 },
    { 0, 'B', 'C', -32768, -1, 0xFFFFFFFF },
    { 'A', 'B', 'C', 0, 32767, 0x12345678 },
};
const char kResults[] = "0,1,FFFFFFFF,12345678";
const char *const kBuffers[] = { "first buffer, A.", "second buffer, B", "third buffer, C." };

std::string Hex(const std::string &bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

class SetEnv {
public:
    SetEnv(const char *name, const std::string &value) : name_(name)
    {
        char old[4096];
        DWORD length = GetEnvironmentVariableA(name, old, sizeof old);
        had_ = length > 0 && length < sizeof old;
        if (had_)
            old_ = old;
        SetEnvironmentVariableA(name, value.c_str());
    }
    ~SetEnv() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }

private:
    const char *name_;
    bool had_;
    std::string old_;
};

/* One run of CALL16.EXE: its report and Setstore32's record of the calls that reached it. */
class Bridge16Call : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string dir = ScratchDir();
        std::string record = dir + "\\record.txt", report = dir + "\\report.txt";
        char path[8192];
        DWORD length = GetEnvironmentVariableA("PATH", path, sizeof path);
        SetEnv recording("SETSTORE32_RECORD", record);
        SetEnv results("SETSTORE32_RESULTS", kResults);
        /* the kernel loads BRIDGE32 by name on the first call */
        SetEnv searchPath("PATH", kDist + (length && length < sizeof path ? ";" + std::string(path) : ""));
        exitCode_ = RunIn("\"" + kBridge16Dir + "\\CALL16.EXE\" " + report, kBridge16Dir);
        report_ = Lines(ReadWholeFile(report));
        record_ = Lines(ReadWholeFile(record));
        RemoveFolder(dir);
    }

    void SetUp() override
    {
        ASSERT_EQ(0, exitCode_);
        ASSERT_EQ(7u, report_.size()) << "CALL16.EXE did not finish its calls";
        ASSERT_EQ("E", report_[6]);
        ASSERT_EQ(4u, record_.size()) << "Reg32Update was not reached four times";
    }

    static int exitCode_;
    static std::vector<std::string> report_, record_;
};
int Bridge16Call::exitCode_;
std::vector<std::string> Bridge16Call::report_, Bridge16Call::record_;

TEST_F(Bridge16Call, ReachesReg32UpdateWithTheCallersMemoryAndSignExtendedIntegersInOrder)
{
    /* Setstore32 records the 16 bytes behind each pointer, then writes its call's number into
     * the last of them: the caller sees that in its own buffers */
    std::string buffers[3] = { kBuffers[0], kBuffers[1], kBuffers[2] };
    for (size_t i = 0; i < 4; i++) {
        const CallerCall &c = kCalls[i];
        const char passed[3] = { c.first, c.second, c.third };
        std::string expected = std::to_string(i + 1);
        const char *names[3] = { " first=", " second=", " third=" };
        for (int p = 0; p < 3; p++)
            expected += names[p] + (passed[p] ? Hex(buffers[passed[p] - 'A']) : std::string("null"));
        expected += " firstNumber=" + std::to_string(c.firstNumber) +
                    " secondNumber=" + std::to_string(c.secondNumber);
        EXPECT_EQ(expected, record_[i]) << "call " << i + 1;

        for (int p = 0; p < 3; p++)
            if (passed[p])
                buffers[passed[p] - 'A'][15] = (char)(i + 1);
        const std::string seen = report_[1 + i];
        EXPECT_EQ(" A=" + Hex(buffers[0]) + " B=" + Hex(buffers[1]) + " C=" + Hex(buffers[2]),
                  seen.substr(seen.find(' '))) << "call " << i + 1;
    }
}

TEST_F(Bridge16Call, HandsTheWholeResultBackToTheSixteenBitCaller)
{
    for (size_t i = 0; i < 4; i++) {
        char expected[16];
        snprintf(expected, sizeof expected, "R=%08lX", (unsigned long)kCalls[i].result);
        EXPECT_EQ(expected, report_[1 + i].substr(0, 10)) << "call " << i + 1;
    }
}

TEST_F(Bridge16Call, LeavesNoMappingBehind)
{
    /* the lock count of the caller's data segment and the next free selector, before the
     * calls and after them */
    ASSERT_EQ('B', report_[0][0]);
    ASSERT_EQ('A', report_[5][0]);
    EXPECT_EQ(report_[0].substr(1), report_[5].substr(1));
}

} // namespace
