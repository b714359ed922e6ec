/* PrintAdmin's headless tour: run as the demo runs it, in a fresh folder, it must end by
 * itself with exit code 0 in reasonable time, print exactly the device calls each step
 * makes, and leave a screenshot of each step that shows what the step is about; the page is
 * shown and applied in the printer's property sheet. */
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "png_reader.h"
#include "resource.h"
#include "ui_driver.h"

namespace {

const DWORD kTourLimitMs = 90000;

/* What a screenshot must show: the bin picture with a given bitmap (tray highlighted or
 * none), no bin picture at all, an icon, or the wait dialog's bar filled to a percentage. */
enum ShotCheck { PICTURE, NO_PICTURE, ICON, BAR };

struct Shot {
    const char *step;
    const char *kind;
    unsigned minWidth, minHeight;
    ShotCheck check;
    int id; /* the bitmap or icon id (0: the system's question icon), or the bar's percentage */
};

/* the frame shots show the whole frame; the others a dialog or a message box */
const Shot kShots[] = {
    { "01", "page-mailbox", 600, 400, PICTURE, IDB_HCO_TRAY_FIRST },
    { "02", "standalone-dialog", 300, 150, PICTURE, IDB_HCO_TRAY_FIRST },
    { "03", "page-stacker", 600, 400, PICTURE, IDB_HCO_NO_TRAY },
    { "03", "page-job-separator", 600, 400, PICTURE, IDB_HCO_NO_TRAY },
    { "03", "no-page-without-accessory", 600, 400, NO_PICTURE, 0 },
    { "03", "no-page-access-refused", 600, 400, NO_PICTURE, 0 },
    { "04", "tray-3-clicked", 600, 400, PICTURE, IDB_HCO_TRAY_FIRST + 2 },
    { "05", "message-box", 150, 60, ICON, 0 },
    { "05", "wait-dialog", 150, 60, BAR, 12 * 3 + 7 }, /* after the first step and 12 ticks of 3 % */
    { "05", "page-after-mode-change", 600, 400, PICTURE, IDB_HCO_NO_TRAY },
    { "06", "mailbox-3-renamed", 600, 400, PICTURE, IDB_HCO_TRAY_FIRST + 2 },
    { "07", "timeout-destination", 600, 400, ICON, IDI_FACE_UP_BIN },
};

/* The device calls of each step, as the transcript prints them (spaces collapsed, the
 * numbers left out). */
typedef std::vector<std::string> Calls;

Calls operator+(Calls a, const Calls &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Calls kOffer = { "TALModifyAccess \xE2\x80\x94 accesso 1 modifiche concesse",
                       "PALGetObject OBJ_PERIPHERAL_INFO ok tipo di periferica 11",
                       "PALGetObject OBJ_OUTPUT_CAPABILITIES ok capacit\xC3\xA0 0x21, parola 8 (HCO)" };

Calls Load(const std::string &timeout, const std::string &mode, int destination)
{
    std::string read = "PALGetObject OBJ_PAPER_DESTINATION ok destinazione " + std::to_string(destination);
    return { "LALGetObject OBJ_AUTO_CONTINUE ok " + timeout,
             "LALGetObject OBJ_OUTPUT_CAPABILITIES ok capacit\xC3\xA0 0x21, parola 8 (HCO)",
             "LALGetObject OBJ_COMPONENT_LIST ok 3 componenti, HCO id 0x101",
             "CALGetComponentObject OBJ_HCO_CONFIG (comp. 0x101) ok modalit\xC3\xA0 " + mode, read };
}

/* The nine bin records of a name write; `named` gives the ones with fieldMask 2. */
Calls BinRecords(std::vector<std::pair<int, std::string>> named)
{
    Calls lines;
    for (int k = 0; k < 9; k++) {
        std::string line = "record " + std::to_string(k) + ": bin " + std::to_string(k + 3) + " fieldMask ";
        std::string name;
        for (const auto &n : named)
            if (n.first == k)
                name = n.second;
        lines.push_back(line + (name.empty() ? "0" : "2 nome \xC2\xAB" + name + "\xC2\xBB"));
    }
    return lines;
}

const std::string kMailbox = "Mailbox, 9 scomparti";
const std::string kTenMinutes = "timeout 600 s (10 min)";
const std::string kLegale = "CALSetComponentObject OBJ_HCO_CONFIG (comp. 0x101) ok nomi, 9 record, 1 con nome: 6 "
                            "\xC2\xABUfficio legale\xC2\xBB";

const Calls kStepCalls[] = {
    /* 1 */ kOffer + Load(kTenMinutes, kMailbox, 6),
    /* 2: the stand-alone dialog loads, then the frame's page is offered and loaded again */
    Load(kTenMinutes, kMailbox, 6) + kOffer + Load(kTenMinutes, kMailbox, 6),
    /* 3 */
    kOffer + Load(kTenMinutes, "Carrello, 2 scomparti", 4) + kOffer +
        Load("timeout illimitato", "Separatore dei lavori, 2 scomparti", 4) +
        Calls{ kOffer[0], kOffer[1], "PALGetObject OBJ_OUTPUT_CAPABILITIES ok capacit\xC3\xA0 0x01, parola 0",
               "TALModifyAccess \xE2\x80\x94 accesso 0 modifiche negate" },
    /* 4: the click selects the row, nothing is written */
    kOffer + Load(kTenMinutes, kMailbox, 6),
    /* 5 */
    kOffer + Load(kTenMinutes, kMailbox, 6) +
        Calls{ "LALGetObject OBJ_ONLINE_STATE ok in linea",
               "LALSetObject OBJ_ONLINE_STATE ok richiesta: fuori linea",
               "CALSetComponentObject OBJ_HCO_CONFIG (comp. 0x101) ok nuova modalit\xC3\xA0 Carrello",
               "LALSetObject OBJ_POWER_CYCLE ok spegni e riaccendi",
               "LALSetObject OBJ_ONLINE_STATE ok richiesta: in linea",
               "CALSetComponentObject OBJ_HCO_CONFIG (comp. 0x101) ok nomi, 2 record, 2 con nome: 3 \xC2\xABScomp. "
               "testo verso l'alto\xC2\xBB, 4 \xC2\xAB" "CARRELLO\xC2\xBB" } +
        BinRecords({ { 0, "Scomp. testo verso l'alto" }, { 1, "CARRELLO" } }) +
        Calls{ "CALGetComponentObject OBJ_HCO_CONFIG (comp. 0x101) ok modalit\xC3\xA0 Carrello, 2 scomparti",
               "PALGetObject OBJ_PAPER_DESTINATION ok destinazione 4" },
    /* 6: the rename asks the printer nothing; the apply writes the one renamed bin */
    kOffer + Load(kTenMinutes, kMailbox, 6) + Calls{ kLegale } +
        BinRecords({ { 3, "Ufficio legale" } }),
    /* 7 */
    Calls{ "LALSetObject OBJ_AUTO_CONTINUE ok nuovo timeout 1200 s (20 min)", kLegale } +
        BinRecords({ { 3, "Ufficio legale" } }) + Calls{ "CALSetObject OBJ_PAPER_DESTINATION ok nuova destinazione 3" },
};

/* What the tour notes of the property sheet, in order, step by step: the page on show in
 * the printer's sheet, Applica enabled by a change and the apply reaching the page as
 * message 1690 with its answer, after which the sheet disables Applica again. */
const std::string kOnShow = "tabs \xC2\xAB" "Generale\xC2\xBB, \xC2\xAB" "HCO\xC2\xBB, the HCO page on show";
const std::string kApplied = "Applica \xE2\x80\x94 messaggio 1690, risposta della pagina: 1";
const std::vector<std::string> kSheetNotes[] = {
    /* 1 */ { kOnShow },
    /* 2 */ {},
    /* 3 */ { kOnShow, kOnShow, ": no page", ": no page" },
    /* 4 */ { kOnShow },
    /* 5 */ { kOnShow },
    /* 6 */ { kOnShow, "Applica enabled", kApplied, "Applica disabled" },
    /* 7 */ { "Applica enabled", kApplied, "Applica disabled" },
};

/* The transcript's text of step `step` (1-based), up to the next step. */
std::string StepText(const std::string &transcript, int step)
{
    size_t at = transcript.find("[" + std::to_string(step) + "] ");
    if (at == std::string::npos)
        return "";
    size_t end = transcript.find("\n[" + std::to_string(step + 1) + "] ", at);
    return transcript.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

std::string Collapsed(const std::string &line)
{
    std::string out;
    for (char c : line) {
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\r'))
        out.pop_back();
    return out;
}

/* The transcript's call lines by step: "[n] title" starts step n, "   k. ..." is a call,
 * "record ..." a line of the call before. */
std::vector<Calls> CallsByStep(const std::string &transcript)
{
    std::vector<Calls> steps;
    size_t at = 0;
    while (at < transcript.size()) {
        size_t end = transcript.find('\n', at);
        if (end == std::string::npos)
            end = transcript.size();
        std::string line = Collapsed(transcript.substr(at, end - at));
        at = end + 1;
        if (line.size() > 2 && line[0] == '[' && isdigit((unsigned char)line[1])) {
            steps.resize(atoi(line.c_str() + 1));
            continue;
        }
        if (steps.empty())
            continue;
        size_t digits = line.find_first_not_of("0123456789");
        if (digits > 0 && digits != std::string::npos && line.compare(digits, 2, ". ") == 0)
            steps.back().push_back(line.substr(digits + 2));
        else if (line.compare(0, 7, "record ") == 0)
            steps.back().push_back(line);
    }
    return steps;
}

/* Where `block` (w x h, row by row) lies in the image exactly, its pixels that `mask`
 * leaves out (when given) taking any colour; false if nowhere. */
bool Contains(const PngImage &image, const std::vector<COLORREF> &block, int w, int h,
              const std::vector<bool> &mask = {})
{
    for (int y = 0; y + h <= image.height; y++)
        for (int x = 0; x + w <= image.width; x++) {
            bool same = true;
            for (int by = 0; by < h && same; by++)
                for (int bx = 0; bx < w && same; bx++)
                    same = (!mask.empty() && !mask[by * w + bx]) || image.At(x + bx, y + by) == block[by * w + bx];
            if (same)
                return true;
        }
    return false;
}

std::vector<COLORREF> BitmapPixels(int id, int *w, int *h)
{
    HBITMAP bitmap = LoadBitmapA(BinpanelModule(), MAKEINTRESOURCEA(id));
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    *w = info.bmWidth;
    *h = info.bmHeight;
    std::vector<COLORREF> pixels = CapturePixels(nullptr, *w, *h, bitmap);
    DeleteObject(bitmap);
    return pixels;
}

/* An icon as DrawIcon leaves it over a background colour. */
std::vector<COLORREF> IconPixels(HICON icon, COLORREF background)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    ReleaseDC(nullptr, screen);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all = { 0, 0, 32, 32 };
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    DrawIcon(dc, 0, 0, icon);
    SelectObject(dc, old);
    DeleteDC(dc);
    std::vector<COLORREF> pixels = CapturePixels(nullptr, 32, 32, bitmap);
    DeleteObject(bitmap);
    return pixels;
}

/* The longest run of the bar's colour on one row, and the inner width it lies in: the
 * run and the button face that follows it, less the one-pixel ring of background. */
void BarRun(const PngImage &image, int *width, int *inner)
{
    const COLORREF bar = RGB(127, 255, 127), face = GetSysColor(COLOR_BTNFACE);
    int best = 0;
    *width = *inner = 0;
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++) {
            if (image.At(x, y) != bar || (x > 0 && image.At(x - 1, y) == bar))
                continue;
            int end = x;
            while (end < image.width && image.At(end, y) == bar)
                end++;
            int rest = end;
            while (rest < image.width && image.At(rest, y) == face)
                rest++;
            if (end - x > best) {
                best = *width = end - x;
                *inner = rest - x - 1;
            }
        }
}

void ExpectShows(const PngImage &image, const Shot &shot, const std::string &name)
{
    switch (shot.check) {
    case PICTURE:
    case NO_PICTURE:
        for (int id = IDB_HCO_NO_TRAY; id < IDB_HCO_TRAY_FIRST + 8; id++) {
            int w, h;
            std::vector<COLORREF> picture = BitmapPixels(id, &w, &h);
            ASSERT_GT(w, 0) << "bitmap " << id;
            EXPECT_EQ(shot.check == PICTURE && id == shot.id, Contains(image, picture, w, h))
                << name << ": bitmap " << id;
        }
        break;
    case ICON: {
        /* the icon's opaque pixels: the same over black and over white (a page in the sheet
         * stands on the tab's colour, a message box on the button face) */
        HICON icon = shot.id ? LoadIconA(BinpanelModule(), MAKEINTRESOURCEA(shot.id)) : LoadIconA(nullptr, IDI_QUESTION);
        std::vector<COLORREF> overBlack = IconPixels(icon, RGB(0, 0, 0)), overWhite = IconPixels(icon, RGB(255, 255, 255));
        std::vector<bool> opaque(overBlack.size());
        for (size_t i = 0; i < opaque.size(); i++)
            opaque[i] = overBlack[i] == overWhite[i];
        EXPECT_TRUE(Contains(image, overBlack, 32, 32, opaque)) << name << ": icon " << shot.id;
        break;
    }
    case BAR: {
        int width, inner;
        BarRun(image, &width, &inner);
        EXPECT_GT(inner, 100) << name << ": no level bar";
        EXPECT_EQ(inner * shot.id / 100, width) << name << ": the bar's fill in an inner width of " << inner;
        break;
    }
    }
}

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
        std::string png = ReadWholeFile(dir + "\\" + found);
        ASSERT_GE(png.size(), 33u) << found;
        EXPECT_EQ(png.compare(0, 8, "\x89PNG\r\n\x1a\n"), 0) << found;
        EXPECT_EQ(png.compare(12, 4, "IHDR"), 0) << found;
        unsigned width = BigEndian(png, 16), height = BigEndian(png, 20);
        EXPECT_TRUE(width >= shot.minWidth && width <= 4000 && height >= shot.minHeight && height <= 4000)
            << found << ": " << width << " x " << height << ", expected at least " << shot.minWidth << " x "
            << shot.minHeight;
        EXPECT_GT(png.size(), 1000u) << found << " is suspiciously small";
        PngImage image;
        std::string error;
        if (!DecodePng(png, &image, &error)) {
            ADD_FAILURE() << found << ": " << error;
            continue;
        }
        ExpectShows(image, shot, found);
    }

    std::string transcript = ReadWholeFile(dir + "\\device-calls.txt");
    std::vector<Calls> steps = CallsByStep(transcript);
    const size_t stepCount = sizeof kStepCalls / sizeof *kStepCalls;
    EXPECT_EQ(stepCount, steps.size()) << "steps in the transcript";
    for (size_t i = 0; i < stepCount && i < steps.size(); i++) {
        const Calls &expected = kStepCalls[i], &got = steps[i];
        for (size_t k = 0; k < expected.size() || k < got.size(); k++) {
            std::string want = k < expected.size() ? expected[k] : "(nothing)";
            std::string came = k < got.size() ? got[k] : "(nothing)";
            if (want != came) {
                ADD_FAILURE() << "step " << i + 1 << ", line " << k + 1 << ": got \n  " << came << "\nexpected\n  " << want;
                break;
            }
        }
    }
    for (size_t i = 0; i < sizeof kSheetNotes / sizeof *kSheetNotes; i++) {
        std::string text = StepText(transcript, (int)i + 1);
        size_t at = 0;
        for (const std::string &note : kSheetNotes[i]) {
            size_t found = text.find(note, at);
            if (found == std::string::npos) {
                ADD_FAILURE() << "step " << i + 1 << ": no \"" << note << "\" after what came before, in\n" << text;
                break;
            }
            at = found + note.size();
        }
    }
    EXPECT_NE(transcript.find(" 0 failures"), std::string::npos) << transcript.substr(transcript.size() > 300 ? transcript.size() - 300 : 0);
    RemoveFolder(dir);
}
