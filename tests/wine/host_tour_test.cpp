/* PrintAdmin's headless tour: run as the demo runs it, in a fresh folder, it must end by
 * itself with exit code 0 in reasonable time and leave a plausible screenshot of each
 * step, whatever the page can do so far. */
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const DWORD kTourLimitMs = 90000;

struct Shot {
    const char *step;
    const char *kind;
    unsigned minWidth, minHeight;
};

/* the frame shots show the whole frame; the others a dialog or a message box */
const Shot kShots[] = {
    { "01", "page-mailbox", 600, 400 },
    { "02", "standalone-dialog", 300, 150 },
    { "03", "page-stacker", 600, 400 },
    { "03", "page-job-separator", 600, 400 },
    { "03", "no-page-without-accessory", 600, 400 },
    { "03", "no-page-access-refused", 600, 400 },
    { "04", "tray-3-clicked", 600, 400 },
    { "05", "message-box", 150, 60 },
    { "05", "wait-dialog", 150, 60 },
    { "05", "page-after-mode-change", 600, 400 },
    { "06", "mailbox-3-renamed", 600, 400 },
    { "07", "timeout-destination", 600, 400 },
};

std::vector<std::string> FilesIn(const std::string &dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

void RemoveFolder(const std::string &dir)
{
    for (const std::string &name : FilesIn(dir))
        DeleteFileA((dir + "\\" + name).c_str());
    RemoveDirectoryA(dir.c_str());
}

std::string ReadFile(const std::string &path)
{
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    DWORD size = GetFileSize(file, nullptr), got = 0;
    bytes.resize(size);
    if (size && !::ReadFile(file, &bytes[0], size, &got, nullptr))
        got = 0;
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

unsigned BigEndian(const std::string &b, size_t at)
{
    return (unsigned)(unsigned char)b[at] << 24 | (unsigned)(unsigned char)b[at + 1] << 16 |
           (unsigned)(unsigned char)b[at + 2] << 8 | (unsigned char)b[at + 3];
}

bool EndsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

TEST(HostTour, RunsHeadlessToTheEndAndScreenshotsEveryStep)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "printadmin_tour_" + std::to_string(GetCurrentProcessId());
    RemoveFolder(dir);

    SECURITY_ATTRIBUTES inherit = { sizeof inherit, nullptr, TRUE };
    HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul;
    si.hStdOutput = nul;
    si.hStdError = nul;
    PROCESS_INFORMATION pi = {};
    std::string command = "PrintAdmin.exe --tour \"" + dir + "\"";
    DWORD start = GetTickCount();
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
        << "error " << GetLastError();
    DWORD waited = WaitForSingleObject(pi.hProcess, kTourLimitMs);
    DWORD elapsed = GetTickCount() - start;
    if (waited == WAIT_TIMEOUT)
        TerminateProcess(pi.hProcess, 99);
    DWORD exitCode = 0;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(nul);
    ASSERT_EQ(waited, WAIT_OBJECT_0) << "the tour did not end within " << kTourLimitMs / 1000 << " s";
    EXPECT_EQ(exitCode, 0u);
    EXPECT_LT(elapsed, 60000u) << "the tour took " << elapsed << " ms";

    std::vector<std::string> files = FilesIn(dir);
    for (size_t i = 0; i < sizeof kShots / sizeof *kShots; i++) {
        const Shot &shot = kShots[i];
        std::string found;
        for (const std::string &name : files)
            if (name.compare(0, 2, shot.step) == 0 && EndsWith(name, std::string("-") + shot.kind + ".png"))
                found = name;
        if (found.empty()) {
            ADD_FAILURE() << "case " << i << ": no screenshot " << shot.step << "?-" << shot.kind << ".png";
            continue;
        }
        std::string png = ReadFile(dir + "\\" + found);
        ASSERT_GE(png.size(), 33u) << found;
        EXPECT_EQ(png.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0) << found;
        EXPECT_EQ(png.compare(12, 4, "IHDR"), 0) << found;
        unsigned width = BigEndian(png, 16), height = BigEndian(png, 20);
        EXPECT_TRUE(width >= shot.minWidth && width <= 4000 && height >= shot.minHeight && height <= 4000)
            << found << ": " << width << " x " << height << ", expected at least " << shot.minWidth << " x "
            << shot.minHeight;
        EXPECT_GT(png.size(), 1000u) << found << " is suspiciously small";
    }

    std::string transcript = ReadFile(dir + "\\device-calls.txt");
    EXPECT_NE(transcript.find("[7] "), std::string::npos) << "the transcript does not reach step 7";
    EXPECT_NE(transcript.find(" 0 failures"), std::string::npos) << transcript.substr(transcript.size() > 300 ? transcript.size() - 300 : 0);
    RemoveFolder(dir);
}
