/* The mode change wait dialog (dialog 196): an alarm clock and a level bar that fills over
 * about 32 seconds while the printer switches itself off and on, then the dialog ends
 * itself. Enter, Esc and the close box end it early. One wait dialog at a time. */
#include "binpanel.h"
#include "resource.h"
#include "controls/level_bar.h"

#define WAIT_ICON_COUNT 8
#define WAIT_TICK_COUNT 32
#define WAIT_TIMER_ID 0
#define WAIT_TIMER_PERIOD 1000
#define WAIT_LEVEL_FULL 1100

static LONG waitTicks;
static HICON waitIcons[WAIT_ICON_COUNT];
static DWORD waitOpenedAt; /* message time at the opening */
static HWND waitDialog;
static HHOOK waitKeyFilter;

static void set_wait_level(HWND dialog, WORD level)
{
    HWND bar = GetDlgItem(dialog, IDC_WAIT_LEVEL);
    if (!bar)
        return;
    SetWindowWord(bar, LEVELBAR_LEVEL_OFFSET, level);
    /* a bar-mode paint covers the whole inner rectangle */
    InvalidateRect(bar, NULL, FALSE);
}

void WaitDialogTick(HWND dialog, INT_PTR result)
{
    if (waitTicks >= WAIT_TICK_COUNT) {
        EndDialog(dialog, result);
        return;
    }
    HWND icon = GetDlgItem(dialog, IDC_WAIT_ICON);
    if (icon)
        SendMessageA(icon, STM_SETICON, (WPARAM)waitIcons[waitTicks % WAIT_ICON_COUNT], 0);
    set_wait_level(dialog, (WORD)(waitTicks * 3 + 7));
    waitTicks++;
}

/* The offline and mode writes block the thread, and what the user typed meanwhile reaches
 * this dialog as soon as it exists: Enter still held from the question, Esc pressed because
 * nothing seemed to happen. Such a key must not end the wait while the printer restarts.
 * A key is fresh when it went down after the opening: its message time is not earlier,
 * and it is no repeat of a key already down. The dialog's own loop hands each message to
 * the thread's message filter before the dialog manager turns Enter or Esc into a command:
 * a stale key stops there. */
static bool WaitDialog_IsStaleKey(const MSG *msg)
{
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)
        return false;
    if (msg->hwnd != waitDialog && !IsChild(waitDialog, msg->hwnd))
        return false;
    bool repeat = (msg->lParam & (1L << 30)) != 0;
    return repeat || (LONG)(msg->time - waitOpenedAt) < 0;
}

static LRESULT CALLBACK WaitDialog_KeyFilter(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == MSGF_DIALOGBOX && lParam && WaitDialog_IsStaleKey((const MSG *)lParam))
        return 1;
    return CallNextHookEx(waitKeyFilter, code, wParam, lParam);
}

static void WaitDialog_Open(HWND dialog)
{
    waitTicks = 0;
    waitOpenedAt = GetTickCount();
    waitDialog = dialog;
    waitKeyFilter = SetWindowsHookExA(WH_MSGFILTER, WaitDialog_KeyFilter, NULL, GetCurrentThreadId());
    /* owned copies, not the module's shared icons, so that closing can release them */
    for (int k = 0; k < WAIT_ICON_COUNT; k++)
        waitIcons[k] = (HICON)LoadImageA(g_instance, MAKEINTRESOURCEA(IDI_CLOCK_FIRST + k), IMAGE_ICON, 0, 0,
                                         LR_DEFAULTSIZE);
    set_wait_level(dialog, WAIT_LEVEL_FULL);
    SetTimer(dialog, WAIT_TIMER_ID, WAIT_TIMER_PERIOD, NULL);
    /* the first step is in place before the dialog is first shown */
    WaitDialogTick(dialog, 0);
}

static void WaitDialog_Close(HWND dialog)
{
    for (int k = 0; k < WAIT_ICON_COUNT; k++) {
        if (waitIcons[k])
            DestroyIcon(waitIcons[k]);
        waitIcons[k] = NULL;
    }
    KillTimer(dialog, WAIT_TIMER_ID);
    if (waitKeyFilter)
        UnhookWindowsHookEx(waitKeyFilter);
    waitKeyFilter = NULL;
    waitDialog = NULL;
}

extern "C" INT_PTR WINAPI WaitDialogExProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        WaitDialog_Open(window);
        return 1;
    case WM_TIMER:
        WaitDialogTick(window, (INT_PTR)wParam);
        return 1;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(window, 0);
        return 1;
    case WM_DESTROY:
        WaitDialog_Close(window);
        return 1;
    default:
        return 0;
    }
}
