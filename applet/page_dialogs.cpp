/* The page's and the stand-alone dialog's procedures, and context help. Both route to
 * the same load, command handling and apply; only the page answers the host's messages. */
#include "binpanel.h"
#include "page_descriptor.h"
#include "resource.h"

const char HELP_FILE[] = "ZORVOHCO.HLP";

const DWORD HelpIdTable[] = {
    IDC_HINTS_GROUP, 7,
    IDC_HINTS_TEXT, 7,
    IDC_HINTS_ICON, 7,
    IDC_MODE_GROUP, 12,
    IDC_MODE_MAILBOX, 13,
    IDC_MODE_JOB_SEPARATOR, 14,
    IDC_MODE_STACKER, 15,
    IDC_TIMEOUT_GROUP, 16,
    IDC_TIMEOUT_ICON, 16,
    IDC_TIMEOUT_COMBO, 16,
    IDC_MAILBOX_GROUP, 17,
    IDC_BIN_LIST, 18,
    IDC_NAME_LABEL, 19,
    IDC_NAME_EDIT, 19,
    IDC_BIN_PICTURE, 20,
    0, 0,
};

#define HELP_TOPIC_PAGE 2

/* Messages both dialogs handle alike; false for any other. */
static bool Settings_OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR *result)
{
    *result = 1;
    switch (message) {
    case WM_INITDIALOG:
        *result = (INT_PTR)LoadHcoSettings(window, lParam);
        return true;
    case WM_COMMAND:
        OnControlCommand(window, LOWORD(wParam), (HWND)lParam, HIWORD(wParam));
        return true;
    case WM_HELP:
        if (lParam)
            WinHelpA((HWND)((const HELPINFO *)lParam)->hItemHandle, HELP_FILE, HELP_WM_HELP, (ULONG_PTR)HelpIdTable);
        return true;
    case WM_CONTEXTMENU:
        WinHelpA((HWND)wParam, HELP_FILE, HELP_CONTEXTMENU, (ULONG_PTR)HelpIdTable);
        return true;
    case WM_DESTROY:
        return true;
    }
    return false;
}

/* The host passes a writable answer word; a host that passes none gets no answer
 * rather than a fault in its own process. */
static void SetAnswer(LPARAM answer)
{
    if (answer)
        *(DWORD *)answer = 1;
}

extern "C" INT_PTR WINAPI HCOSheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    INT_PTR result;
    if (Settings_OnMessage(window, message, wParam, lParam, &result))
        return result;
    switch (message) {
    case PAGE_MSG_APPLY:
    case PAGE_MSG_APPLY_AGAIN:
        SetAnswer(lParam);
        if (window != g_pageLeftBehind)
            ApplyHcoSettings();
        return 1;
    case PAGE_MSG_QUERY:
        SetAnswer(lParam);
        return 1;
    case PAGE_MSG_HELP:
        WinHelpA(window, HELP_FILE, HELP_CONTEXT, HELP_TOPIC_PAGE);
        return 1;
    case PAGE_MSG_NOTICE:
    case PAGE_MSG_SECOND_NOTICE:
        return 1;
    }
    return 0;
}

extern "C" INT_PTR WINAPI HCOPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    /* The stand-alone dialog has no host to say apply: its OK keeps what the user set,
     * as OK does anywhere; Annulla and the close box leave the printer as it is. */
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
        ApplyHcoSettings();
    INT_PTR result;
    if (Settings_OnMessage(window, message, wParam, lParam, &result))
        return result;
    return 0;
}

extern "C" INT_PTR WINAPI HCOPopupDialog(HWND parent)
{
    return DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_POPUP), parent, HCOPopupProc, 0);
}
