/* Page population: puts the loaded settings into the page's or the stand-alone dialog's
 * controls, and builds the paper destination list. A control the dialog lacks is skipped. */
#include "binpanel.h"
#include "resource.h"

#define TEXT_BUFFER 512

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
    EnableMailboxControls(dialog, FALSE);
    ShowPictureOf(dialog, IDB_HCO_NO_TRAY);
}

/* Reads the paper destination; the kept buffer changes only with a good read, so that
 * the apply never writes back what a failed read left behind. */
bool ReadDestination(const DeviceTarget *printer)
{
    PaperDestinationRecord record;
    if (ReadPaperDestination(printer, &record) != 0)
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
        DeviceTarget printer = ModelTarget();
        if (ReadDestination(&printer))
            g_settings.destinationAtLoad = g_settings.destination;
        FillDestinationList();
    }
    return 1;
}

static void RowText(const DestinationRow &row, char *text, int chars)
{
    static const UINT fixed[] = { IDS_TOP_OUTPUT_BIN, IDS_FACE_UP_BIN, 0, IDS_STACKER_NAME, IDS_JOB_SEPARATOR_NAME };
    text[0] = 0;
    if (row.label == DEST_LABEL_MAILBOX)
        lstrcpynA(text, g_settings.bins[row.mailbox].name, chars);
    else
        LoadStringA(g_instance, fixed[row.label], text, chars);
}

/* The opened list is as wide as its widest row, so that the longest name can be read. */
static void FitDroppedWidth(HWND combo, int widest)
{
    RECT box;
    GetWindowRect(combo, &box);
    int width = widest + 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL) + 2 * GetSystemMetrics(SM_CXBORDER) + 4;
    if (width < box.right - box.left)
        width = box.right - box.left;
    SendMessageA(combo, CB_SETDROPPEDWIDTH, width, 0);
}

void FillDestinationList(void)
{
    HWND combo = GetDlgItem(g_settings.pageWindow, IDC_DESTINATION_COMBO);
    if (!combo)
        return;
    DestinationRow rows[DESTINATION_ROWS];
    int count = DestinationRowsFor(g_settings.mode, g_settings.bins, rows);
    HDC dc = GetDC(combo);
    HGDIOBJ font = dc ? SelectObject(dc, (HFONT)SendMessageA(combo, WM_GETFONT, 0, 0)) : NULL;
    int widest = 0;
    /* rebuilt row by row at every rename keystroke: drawn once, when complete */
    SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (int k = 0; k < count; k++) {
        char text[TEXT_BUFFER];
        RowText(rows[k], text, TEXT_BUFFER);
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
        if (k >= 2) {
            g_settings.destinations[k].iconId = rows[k].iconId;
            g_settings.destinations[k].binNumber = (LONG)rows[k].binNumber;
        }
        /* selected by its text with the combo box's own search: the last match decides */
        if (RowStandsFor(&rows[k], g_settings.destination)) {
            SendMessageA(combo, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)text);
            SetControlIcon(g_settings.pageWindow, IDC_DESTINATION_ICON, rows[k].iconId);
        }
        SIZE extent;
        if (dc && GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent) && extent.cx > widest)
            widest = extent.cx;
    }
    if (dc) {
        SelectObject(dc, font);
        ReleaseDC(combo, dc);
    }
    FitDroppedWidth(combo, widest);
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
