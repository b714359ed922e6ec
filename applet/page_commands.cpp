/* Command handling of the page and the stand-alone dialog: bin selection and renaming,
 * timeout and destination choices, the dialog's buttons; the mode radios go to the mode
 * change. Nothing here writes settings to the printer; the apply does. */
#include "binpanel.h"
#include "resource.h"

#define EDIT_TEXT_CHARS 64

/* A row the list answers that stands for no bin (none selected, or a list that holds more
 * or answers oddly) is taken as no selection: it indexes the model's bins. */
static bool IsBinRow(LRESULT row)
{
    return row >= 0 && row < HCO_BIN_COUNT;
}

static void Commands_BinSelection(HWND dialog, HWND list)
{
    LRESULT row = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (!IsBinRow(row))
        return;
    if (GetDlgItem(dialog, IDC_NAME_EDIT)) {
        char text[EDIT_TEXT_CHARS];
        text[0] = 0;
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, row, 0);
        /* a row longer than the buffer is never read into it */
        if (length >= 0 && length < EDIT_TEXT_CHARS)
            SendMessageA(list, LB_GETTEXT, row, (LPARAM)text);
        ShowInNameEdit(dialog, text);
    }
    ShowPictureOf(dialog, IDB_HCO_TRAY_FIRST + (int)row);
}

/* A rejected name goes back to the last accepted one, with the caret where it stood
 * before the keystroke, and the asterisk sound. */
static void RevertName(HWND edit)
{
    DWORD start = 0;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, 0);
    g_settings.savedName[BIN_NAME_MAX] = 0; /* the revert text itself must pass the test */
    SetWindowTextA(edit, g_settings.savedName);
    DWORD caret = start > 0 ? start - 1 : 0;
    SendMessageA(edit, EM_SETSEL, caret, caret);
    MessageBeep(MB_ICONASTERISK);
}

static void RenameSelectedBin(HWND dialog, const char *text)
{
    lstrcpynA(g_settings.savedName, text, sizeof g_settings.savedName);
    HWND list = GetDlgItem(dialog, IDC_BIN_LIST);
    if (!list)
        return;
    LRESULT row = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (!IsBinRow(row))
        return;
    /* The inserted row briefly makes nine, which would show the scroll bar and take it away
     * again at every keystroke: the list is redrawn once, when the row is replaced. */
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_INSERTSTRING, row, (LPARAM)text);
    lstrcpynA(g_settings.bins[row].name, text, BIN_NAME_BYTES);
    g_settings.bins[row].nameChanged = 1;
    SendMessageA(list, LB_DELETESTRING, row + 1, 0);
    SendMessageA(list, LB_SETCURSEL, row, 0);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
    FillDestinationList();
}

static void Commands_NameEdit(HWND dialog, HWND edit, UINT code)
{
    if (!edit)
        edit = GetDlgItem(dialog, IDC_NAME_EDIT);
    switch (code) {
    case EN_SETFOCUS:
        g_settings.nameEditFocused = 1;
        GetWindowTextA(edit, g_settings.savedName, EDIT_TEXT_CHARS);
        break;
    case EN_KILLFOCUS:
        g_settings.nameEditFocused = 0;
        break;
    case EN_UPDATE: {
        char text[EDIT_TEXT_CHARS];
        text[0] = 0;
        GetWindowTextA(edit, text, EDIT_TEXT_CHARS);
        if (lstrlenA(text) > BIN_NAME_MAX)
            RevertName(edit);
        else if (g_settings.nameEditFocused)
            RenameSelectedBin(dialog, text);
        break;
    }
    }
}

static void Commands_Timeout(HWND combo)
{
    LRESULT row = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (row < 0 || row >= TIMEOUT_CHOICES)
        return;
    g_settings.timeoutIndex = (DWORD)row;
    g_settings.timeoutChanged = 1;
}

static void Commands_Destination(HWND combo)
{
    LRESULT row = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    DestinationRow rows[DESTINATION_ROWS];
    int count = DestinationRowsFor(g_settings.mode, g_settings.bins, rows);
    if (row < 0 || row >= count)
        return;
    SetControlIcon(g_settings.pageWindow, IDC_DESTINATION_ICON, rows[row].iconId);
    g_settings.destination = rows[row].binNumber;
    g_settings.destinationChanged = 1;
}

void OnControlCommand(HWND dialog, int controlId, HWND control, UINT code)
{
    if (dialog == g_pageLeftBehind && controlId != IDOK && controlId != IDCANCEL && controlId != IDC_HELP_BUTTON)
        return;
    if (!control && controlId != IDOK && controlId != IDCANCEL)
        control = GetDlgItem(dialog, controlId);
    switch (controlId) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, controlId);
        break;
    case IDC_MODE_MAILBOX:
        OnModeRadio(dialog, controlId, HCO_MODE_MAILBOX);
        break;
    case IDC_MODE_JOB_SEPARATOR:
        OnModeRadio(dialog, controlId, HCO_MODE_JOB_SEPARATOR);
        break;
    case IDC_MODE_STACKER:
        OnModeRadio(dialog, controlId, HCO_MODE_STACKER);
        break;
    case IDC_BIN_LIST:
        if (code == LBN_SELCHANGE && control)
            Commands_BinSelection(dialog, control);
        break;
    case IDC_NAME_EDIT:
        Commands_NameEdit(dialog, control, code);
        break;
    case IDC_TIMEOUT_COMBO:
        if (code == CBN_SELCHANGE && control)
            Commands_Timeout(control);
        break;
    case IDC_DESTINATION_COMBO:
        if (code == CBN_SELCHANGE && control)
            Commands_Destination(control);
        break;
    case IDC_HELP_BUTTON:
        WinHelpA(dialog, HELP_FILE, HELP_CONTENTS, 2);
        break;
    }
}
