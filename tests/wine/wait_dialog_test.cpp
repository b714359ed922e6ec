/* The mode change wait dialog run by the real dialog manager, fast-forwarded with timer
 * events: the levels and icons of each tick, the end after 32 events, the early ends, and
 * what the dialog releases. Binpanel's own USER32 calls are watched through its imports. */
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>
#include "controls/level_bar.h"
#include "resource.h"
#include "ui_driver.h"

namespace {

struct Watched {
    std::vector<WORD> levels; /* written into a level bar's level word */
    std::vector<std::pair<int, HICON>> loads;
    std::vector<HICON> destroyed;
    std::vector<std::pair<HWND, UINT_PTR>> timersSet, timersKilled;
    std::vector<UINT> periods;
    std::vector<std::pair<HWND, INT_PTR>> ends;
} g;

typedef WORD(WINAPI *SetWindowWordFn)(HWND, int, WORD);
typedef HANDLE(WINAPI *LoadImageAFn)(HINSTANCE, LPCSTR, UINT, int, int, UINT);
typedef BOOL(WINAPI *DestroyIconFn)(HICON);
typedef UINT_PTR(WINAPI *SetTimerFn)(HWND, UINT_PTR, UINT, TIMERPROC);
typedef BOOL(WINAPI *KillTimerFn)(HWND, UINT_PTR);
typedef BOOL(WINAPI *EndDialogFn)(HWND, INT_PTR);
SetWindowWordFn s_setWindowWord;
LoadImageAFn s_loadImage;
DestroyIconFn s_destroyIcon;
SetTimerFn s_setTimer;
KillTimerFn s_killTimer;
EndDialogFn s_endDialog;

bool IsLevelBar(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, LEVEL_BAR_CLASS) == 0;
}

WORD WINAPI RecordSetWindowWord(HWND window, int offset, WORD value)
{
    if (offset == LEVELBAR_LEVEL_OFFSET && IsLevelBar(window))
        g.levels.push_back(value);
    return s_setWindowWord(window, offset, value);
}

HANDLE WINAPI RecordLoadImage(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags)
{
    HANDLE image = s_loadImage(instance, name, type, cx, cy, flags);
    if (type == IMAGE_ICON && IS_INTRESOURCE(name))
        g.loads.push_back({ (int)(ULONG_PTR)name, (HICON)image });
    return image;
}

BOOL WINAPI RecordDestroyIcon(HICON icon)
{
    g.destroyed.push_back(icon);
    return s_destroyIcon(icon);
}

UINT_PTR WINAPI RecordSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC proc)
{
    g.timersSet.push_back({ window, id });
    g.periods.push_back(period);
    return s_setTimer(window, id, period, proc);
}

BOOL WINAPI RecordKillTimer(HWND window, UINT_PTR id)
{
    g.timersKilled.push_back({ window, id });
    return s_killTimer(window, id);
}

BOOL WINAPI RecordEndDialog(HWND window, INT_PTR result)
{
    g.ends.push_back({ window, result });
    return s_endDialog(window, result);
}

/* The icon the current opening loaded for a resource id. */
HICON Loaded(int id)
{
    for (auto it = g.loads.rbegin(); it != g.loads.rend(); ++it)
        if (it->first == id)
            return it->second;
    return nullptr;
}

std::vector<WORD> LevelsOfAFullRun()
{
    std::vector<WORD> levels = { 0, 1100 }; /* the control's creation, then the opening */
    for (int tick = 0; tick < 32; tick++)
        levels.push_back((WORD)(tick * 3 + 7));
    return levels;
}

class WaitDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static bool watched = [] {
            HMODULE m = BinpanelModule();
            s_setWindowWord = (SetWindowWordFn)PatchImport(m, "USER32.dll", "SetWindowWord", (void *)RecordSetWindowWord);
            s_loadImage = (LoadImageAFn)PatchImport(m, "USER32.dll", "LoadImageA", (void *)RecordLoadImage);
            s_destroyIcon = (DestroyIconFn)PatchImport(m, "USER32.dll", "DestroyIcon", (void *)RecordDestroyIcon);
            s_setTimer = (SetTimerFn)PatchImport(m, "USER32.dll", "SetTimer", (void *)RecordSetTimer);
            s_killTimer = (KillTimerFn)PatchImport(m, "USER32.dll", "KillTimer", (void *)RecordKillTimer);
            s_endDialog = (EndDialogFn)PatchImport(m, "USER32.dll", "EndDialog", (void *)RecordEndDialog);
            return s_setWindowWord && s_loadImage && s_destroyIcon && s_setTimer && s_killTimer && s_endDialog;
        }();
        ASSERT_TRUE(watched);
        proc = (DLGPROC)BinpanelProc("WaitDialogExProc");
        ASSERT_NE(nullptr, proc);
        g = Watched();
    }

    /* Shows dialog 196 as the mode change does; `onShown` runs when it first activates
     * (another test program's windows may take the activation away and give it back). */
    INT_PTR Run(std::function<void(HWND)> onShown)
    {
        UiScript ui;
        dialog = nullptr;
        ui.onWaitDialog = [&](HWND d) {
            if (dialog)
                return;
            dialog = d;
            onShown(d);
        };
        DWORD start = GetTickCount();
        INT_PTR result = DialogBoxParamA(BinpanelModule(), MAKEINTRESOURCEA(IDD_WAIT), TestFrame(), proc, 0);
        elapsed = GetTickCount() - start;
        EXPECT_NE(nullptr, dialog);
        EXPECT_FALSE(IsWindow(dialog));
        return result;
    }

    /* Reads the level and the icon after the opening and after each of 31 timer events,
     * then lets the modal loop deliver the 32nd. */
    INT_PTR RunTickByTick()
    {
        levels.clear();
        icons.clear();
        endsAfter31 = (size_t)-1;
        return Run([this](HWND d) {
            HWND bar = GetDlgItem(d, IDC_WAIT_LEVEL), icon = GetDlgItem(d, IDC_WAIT_ICON);
            auto read = [&] {
                levels.push_back(GetWindowWord(bar, LEVELBAR_LEVEL_OFFSET));
                icons.push_back((HICON)SendMessageA(icon, STM_GETICON, 0, 0));
            };
            read();
            for (int tick = 1; tick < 32; tick++) {
                SendMessageA(d, WM_TIMER, 0, 0);
                read();
            }
            endsAfter31 = g.ends.size();
            PostTimerTicks(d, 1);
        });
    }

    void ExpectTickByTick(const char *what)
    {
        ASSERT_EQ(32u, levels.size()) << what;
        for (int tick = 0; tick < 32; tick++) {
            EXPECT_EQ(tick * 3 + 7, levels[tick]) << what << ", tick " << tick;
            HICON expected = Loaded(IDI_CLOCK_FIRST + tick % 8);
            EXPECT_NE(nullptr, expected) << what << ", tick " << tick;
            EXPECT_EQ(expected, icons[tick]) << what << ", tick " << tick << " should show icon "
                                             << IDI_CLOCK_FIRST + tick % 8;
        }
        EXPECT_EQ(0u, endsAfter31) << what << ": 31 timer events must not end it";
    }

    /* The eight icons of this opening released, and the timer stopped, once. */
    void ExpectReleased(const char *what)
    {
        ASSERT_GE(g.loads.size(), 8u) << what;
        std::vector<HICON> loaded;
        for (size_t i = g.loads.size() - 8; i < g.loads.size(); i++)
            loaded.push_back(g.loads[i].second);
        std::vector<HICON> destroyed = g.destroyed;
        std::sort(loaded.begin(), loaded.end());
        std::sort(destroyed.begin(), destroyed.end());
        EXPECT_EQ(loaded, destroyed) << what;
        for (HICON icon : loaded) {
            ICONINFO info;
            EXPECT_FALSE(GetIconInfo(icon, &info)) << what << ": icon still alive";
        }
        EXPECT_EQ((std::vector<std::pair<HWND, UINT_PTR>>{ { dialog, 0 } }), g.timersKilled) << what;
    }

    DLGPROC proc = nullptr;
    HWND dialog = nullptr;
    DWORD elapsed = 0;
    std::vector<WORD> levels;
    std::vector<HICON> icons;
    size_t endsAfter31 = 0;
};

TEST_F(WaitDialogTest, LoadsTheEightClockIconsAndStartsASecondTimer)
{
    Run([](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); });
    ASSERT_EQ(8u, g.loads.size());
    for (int k = 0; k < 8; k++) {
        EXPECT_EQ(IDI_CLOCK_FIRST + k, g.loads[k].first);
        EXPECT_NE(nullptr, g.loads[k].second) << "icon " << IDI_CLOCK_FIRST + k;
    }
    EXPECT_EQ((std::vector<std::pair<HWND, UINT_PTR>>{ { dialog, 0 } }), g.timersSet);
    EXPECT_EQ(std::vector<UINT>{ 1000 }, g.periods);
}

TEST_F(WaitDialogTest, StepsLevelAndClockEachTickAndEndsOnTheThirtySecondEvent)
{
    EXPECT_EQ(0, RunTickByTick());
    ExpectTickByTick("first opening");
    EXPECT_EQ((std::vector<std::pair<HWND, INT_PTR>>{ { dialog, 0 } }), g.ends);
    EXPECT_EQ(LevelsOfAFullRun(), g.levels);
    ExpectReleased("after 32 events");
}

TEST_F(WaitDialogTest, PostedTimerEventsFastForwardTheWholeWait)
{
    EXPECT_EQ(0, Run([](HWND d) { PostTimerTicks(d, 32); }));
    EXPECT_EQ(LevelsOfAFullRun(), g.levels);
    EXPECT_EQ(1u, g.ends.size());
    EXPECT_LT(elapsed, 5000u) << "far from the 32 seconds of a real wait";
    ExpectReleased("fast-forwarded");
}

TEST_F(WaitDialogTest, EnterEscAndTheCloseBoxEndItAtOnceWithZero)
{
    const struct { const char *what; UINT message; WPARAM wParam; } cases[] = {
        { "Esc", WM_KEYDOWN, VK_ESCAPE },
        { "Enter", WM_KEYDOWN, VK_RETURN },
        { "close box", WM_SYSCOMMAND, SC_CLOSE },
        { "WM_CLOSE", WM_CLOSE, 0 },
        { "command 1", WM_COMMAND, IDOK },
        { "command 2", WM_COMMAND, IDCANCEL },
    };
    for (const auto &c : cases) {
        g = Watched();
        INT_PTR result = Run([&](HWND d) {
            PostTimerTicks(d, 3);
            PostMessageA(d, c.message, c.wParam, 0);
        });
        EXPECT_EQ(0, result) << c.what;
        /* no step after the three posted ones: it ended at once */
        EXPECT_EQ((std::vector<WORD>{ 0, 1100, 7, 10, 13, 16 }), g.levels) << c.what;
        EXPECT_EQ(1u, g.ends.size()) << c.what;
        ExpectReleased(c.what);
    }
}

TEST_F(WaitDialogTest, OtherCommandsAndMessagesLeaveItRunning)
{
    Run([this](HWND d) {
        EXPECT_EQ(1, proc(d, WM_COMMAND, MAKEWPARAM(3, 0), 0));
        EXPECT_EQ(1, proc(d, WM_COMMAND, MAKEWPARAM(185, 0), 0));
        EXPECT_EQ(0, proc(d, WM_USER + 1, 0, 0));
        EXPECT_EQ(0, proc(d, WM_MOUSEMOVE, 0, 0));
        EXPECT_TRUE(g.ends.empty());
        EXPECT_EQ(1, proc(d, WM_TIMER, 0, 0));
        EXPECT_EQ(10, GetWindowWord(GetDlgItem(d, IDC_WAIT_LEVEL), LEVELBAR_LEVEL_OFFSET));
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_F(WaitDialogTest, ASecondOpeningStartsAgainFromTheFirstTick)
{
    Run([](HWND d) {
        PostTimerTicks(d, 5);
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    });
    g = Watched();
    EXPECT_EQ(0, RunTickByTick());
    ExpectTickByTick("second opening");
    EXPECT_EQ(LevelsOfAFullRun(), g.levels);
    ExpectReleased("second opening");
}

} // namespace
