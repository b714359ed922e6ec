/* Page population: puts the loaded settings into the page's or the stand-alone dialog's
 * controls, and builds the paper destination list. A control the dialog lacks is skipped. */
#include "binpanel.h"
#include "resource.h"

#define TEXT_BUFFER 512

static const int kMailboxControls[] = {
    IDC_MAILBOX_GROUP, IDC_BIN_LIST, IDC_NAME_LABEL, IDC_NAME_EDIT, IDC_BIN_PICTURE,
};

static void FillHints(HWND dialog)
{
    HWND hints = GetDlgItem(dialog, IDC_HINTS_TEXT);
    if (!hints)
        return;
    char text[TEXT_BUFFER];
    int length = LoadStringA(g_instance, IDS_HINTS_MODE, text, TEXT_BUFFER);
    if (length < 0)
        length = 0;
    text[length] = 0;
    LoadStringA(g_instance, IDS_HINTS_MAILBOX, text + length, TEXT_BUFFER - length);
    SetWindowTextA(hints, text);
}

static void FillTimeoutList(HWND dialog)
{
    HWND combo = GetDlgItem(dialog, IDC_TIMEOUT_COMBO);
    if (!combo)
        return;
    for (int i = 0; i < TIMEOUT_CHOICES; i++) {
        char text[TEXT_BUFFER];
        text[0] = 0;
        LoadStringA(g_instance, IDS_TIMEOUT_FIRST + i, text, TEXT_BUFFER);
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
    }
    SendMessageA(combo, CB_SETCURSEL, g_settings.timeoutIndex, 0);
}

static void FillBinList(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_BIN_LIST);
    if (!list)
        return;
    for (int i = 0; i < HCO_BIN_COUNT; i++)
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)g_settings.bins[i].name);
    SelectBinRow(dialog, list, 0);
}

/* Outside mailbox mode the mailboxes can't be chosen: the single-output radio is
 * checked and the mailbox controls are disabled, in their stated order. */
static void ShowSingleOutputMode(HWND dialog, int radio)
{
    CheckDlgButton(dialog, IDC_MODE_MAILBOX, BST_UNCHECKED);
    CheckDlgButton(dialog, radio, BST_CHECKED);
    for (int id : kMailboxControls)
        EnableControl(dialog, id, FALSE);
    ShowPictureOf(dialog, IDB_HCO_NO_TRAY);
}

/* Reads the paper destination; the kept buffer changes only with a good read, so that
 * the apply never writes back what a failed read left behind. */
static bool TakePaperDestination(void)
{
    PaperDestinationRecord record;
    if (ReadPaperDestination(&record) != 0)
        return false;
    g_settings.paperDestinationBuffer = record;
    g_settings.destinationReadOk = 1;
    g_settings.destination = record.destination;
    return true;
}

DWORD PopulatePage(HWND dialog)
{
    FillHints(dialog);
    CheckDlgButton(dialog, IDC_MODE_MAILBOX, BST_CHECKED);
    FillTimeoutList(dialog);
    FillBinList(dialog);
    if (g_settings.mode == HCO_MODE_STACKER)
        ShowSingleOutputMode(dialog, IDC_MODE_STACKER);
    else if (g_settings.mode == HCO_MODE_JOB_SEPARATOR)
        ShowSingleOutputMode(dialog, IDC_MODE_JOB_SEPARATOR);
    if (GetDlgItem(dialog, IDC_DESTINATION_COMBO)) {
        if (TakePaperDestination())
            g_settings.destinationAtLoad = g_settings.destination;
        FillDestinationList();
    }
    return 1;
}

/* Appends a row and, when it stands for the destination, selects it by its text with the
 * combo box's own search and shows its icon: the last match decides. */
static void AddDestinationRow(HWND combo, const char *text, bool isDestination, int iconId)
{
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
    if (isDestination) {
        SendMessageA(combo, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)text);
        SetControlIcon(g_settings.pageWindow, IDC_DESTINATION_ICON, iconId);
    }
}

static void AddFixedDestinationRow(HWND combo, UINT stringId, bool isDestination, int iconId)
{
    char text[TEXT_BUFFER];
    text[0] = 0;
    LoadStringA(g_instance, stringId, text, TEXT_BUFFER);
    AddDestinationRow(combo, text, isDestination, iconId);
}

void FillDestinationList(void)
{
    TakePaperDestination();
    HWND combo = GetDlgItem(g_settings.pageWindow, IDC_DESTINATION_COMBO);
    if (!combo)
        return;
    DWORD destination = g_settings.destination;
    /* rebuilt row by row at every rename keystroke: drawn once, when complete */
    SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    AddFixedDestinationRow(combo, IDS_TOP_OUTPUT_BIN, destination == BIN_TOP_OUTPUT || destination == BIN_TOP_OUTPUT_OLD,
                           IDI_TOP_OUTPUT_BIN);
    AddFixedDestinationRow(combo, IDS_FACE_UP_BIN, destination == BIN_FACE_UP, IDI_FACE_UP_BIN);
    if (g_settings.mode == HCO_MODE_MAILBOX) {
        for (int i = 0; i < HCO_BIN_COUNT; i++) {
            const HcoBin &bin = g_settings.bins[i];
            g_settings.destinations[2 + i].iconId = IDI_MAILBOX_FIRST + i;
            g_settings.destinations[2 + i].binNumber = (LONG)bin.binNumber;
            AddDestinationRow(combo, bin.name, bin.binNumber == destination, IDI_MAILBOX_FIRST + i);
        }
    } else {
        g_settings.destinations[2].iconId = IDI_HCO_SINGLE_OUTPUT;
        g_settings.destinations[2].binNumber = BIN_HCO_FIRST;
        AddFixedDestinationRow(combo, g_settings.mode == HCO_MODE_STACKER ? IDS_STACKER_NAME : IDS_JOB_SEPARATOR_NAME,
                               destination == BIN_HCO_FIRST, IDI_HCO_SINGLE_OUTPUT);
    }
    SendMessageA(combo, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(combo, NULL, TRUE);
}

void SetControlIcon(HWND dialog, int controlId, int iconId)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (!control)
        return;
    /* The module's shared icons: one handle per resource, kept for the module's life and
     * never destroyed, so no icon on show is ever released. Showing the same icon again
     * changes nothing and is skipped. */
    HICON icon = LoadIconA(g_instance, MAKEINTRESOURCEA(LOWORD(iconId)));
    if ((HICON)SendMessageA(control, STM_GETICON, 0, 0) != icon)
        SendMessageA(control, STM_SETICON, (WPARAM)icon, 0);
}
