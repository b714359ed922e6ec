/* The mode change: what a mode radio causes. The transaction with the printer, from the
 * user's confirmation to the bin name reset with the wait dialog while the printer
 * switches itself off and on; then the page switched to the new mode, or its radios put
 * back when the change did not happen. */
#include "binpanel.h"
#include "record_builders.h"
#include "resource.h"

#define MESSAGE_CHARS 256
#define SINGLE_NAME_CHARS 32 /* the single-bin name is loaded into 32 characters */
#define CAPTION_CHARS 128
#define BOX_QUESTION (MB_OKCANCEL | MB_ICONQUESTION)   /* 0x21 */
#define BOX_ERROR (MB_OK | MB_ICONEXCLAMATION)         /* 0x30 */

/* Message boxes belong to the page's parent: the host's window, or the stand-alone
 * dialog's owner. */
static int ShowModeMessage(UINT stringId, UINT type)
{
    char text[MESSAGE_CHARS];
    char caption[CAPTION_CHARS];
    text[0] = caption[0] = 0;
    LoadStringA(g_instance, stringId, text, MESSAGE_CHARS);
    LoadStringA(g_instance, IDS_MODE_CAPTION, caption, CAPTION_CHARS);
    return MessageBoxA(GetParent(g_settings.pageWindow), text, caption, type);
}

static UINT QuestionFor(DWORD target)
{
    switch (target) {
    case HCO_MODE_MAILBOX: return IDS_ASK_MAILBOX;
    case HCO_MODE_STACKER: return IDS_ASK_STACKER;
    default: return IDS_ASK_JOB_SEPARATOR;
    }
}

/* The names the printer's bins get in the new mode: the face-up bin always, then the
 * eight mailboxes or the single output. */
static DWORD WriteNameReset(DWORD target)
{
    static char texts[HCO_RECORD_BINS][MESSAGE_CHARS];
    const char *names[HCO_RECORD_BINS] = {};
    UINT ids[HCO_RECORD_BINS] = { IDS_FACE_UP_BIN };
    int named = 2;
    if (target == HCO_MODE_MAILBOX) {
        named = HCO_RECORD_BINS;
        for (int k = 1; k < HCO_RECORD_BINS; k++)
            ids[k] = IDS_MAILBOX_FIRST + k - 1;
    } else {
        ids[1] = target == HCO_MODE_STACKER ? IDS_STACKER_NAME : IDS_JOB_SEPARATOR_NAME;
    }
    for (int k = 0; k < named; k++) {
        texts[k][0] = 0;
        LoadStringA(g_instance, ids[k], texts[k], MESSAGE_CHARS);
        names[k] = texts[k];
    }
    HcoConfigRecord reset;
    BuildNameResetRecord(&reset, target, names);
    return WriteHcoConfig(&reset);
}

DWORD ChangeHcoMode(HWND dialog, DWORD targetMode)
{
    DWORD target = NormalizeMode(targetMode);
    OnlineStateRecord state;
    DWORD status = ReadOnlineState(&state);
    if (status != 0) {
        ShowModeMessage(IDS_ERR_COMMUNICATION, BOX_ERROR);
        return status;
    }

    if (state.onlineState == 1) {
        if (ShowModeMessage(IDS_ASK_OFFLINE, BOX_QUESTION) != IDOK)
            return DEVOBJ_FAILURE;
        HCURSOR previous = SetCursor(LoadCursorA(NULL, IDC_WAIT));
        status = WriteOnlineState(&state, ONLINE_REQUEST_OFFLINE);
        SetCursor(previous);
        if (status != 0) {
            ShowModeMessage(IDS_ERR_OFFLINE, BOX_ERROR);
            return status;
        }
    } else if (ShowModeMessage(QuestionFor(target), BOX_QUESTION) != IDOK) {
        return DEVOBJ_FAILURE;
    }

    HcoConfigRecord modeRecord;
    BuildModeRecord(&modeRecord, target);
    HCURSOR previous = SetCursor(LoadCursorA(NULL, IDC_WAIT));
    status = WriteHcoConfig(&modeRecord);
    SetCursor(previous);
    /* only 0xFFFF is a refused mode write; the printer answers other statuses for writes it took */
    if (status == DEVOBJ_FAILURE) {
        ShowModeMessage(IDS_ERR_MODE_WRITE, BOX_ERROR);
        WriteOnlineState(&state, ONLINE_REQUEST_ONLINE);
        return DEVOBJ_FAILURE;
    }

    DWORD cycleStatus = WritePowerCycle();
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_WAIT), dialog, WaitDialogExProc, 0);
    if (cycleStatus != 0)
        ShowModeMessage(IDS_ERR_POWER_CYCLE, BOX_ERROR);

    WriteOnlineState(&state, ONLINE_REQUEST_ONLINE);
    if (WriteNameReset(target) != 0)
        ShowModeMessage(IDS_ERR_NAME_RESET, BOX_ERROR);
    return 0;
}

static void RefillBinList(HWND list)
{
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < HCO_BIN_COUNT; i++)
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)g_settings.bins[i].name);
}

/* The model's names for a new mode, before the printer reports its own. */
static void LoadDefaultBinNames(UINT stringId, int bufferChars)
{
    for (int i = 0; i < HCO_BIN_COUNT; i++) {
        LoadBinName(&g_settings.bins[i], stringId == IDS_MAILBOX_FIRST ? stringId + i : stringId, bufferChars);
        g_settings.bins[i].nameChanged = 0;
    }
}

/* The printer's own names and numbers, once it reports the new mode. */
static void TakePrinterBins(DWORD target)
{
    HcoConfigRecord config;
    if (ReadHcoConfig(&config) == 0)
        TakeSwitchedConfig(&config, target, g_settings.bins);
}

static void SwitchToMailbox(HWND dialog)
{
    EnableControl(dialog, IDC_MAILBOX_GROUP, TRUE);
    HWND list = GetDlgItem(dialog, IDC_BIN_LIST);
    if (list) {
        EnableWindow(list, TRUE);
        LoadDefaultBinNames(IDS_MAILBOX_FIRST, 256);
        TakePrinterBins(HCO_MODE_MAILBOX);
        RefillBinList(list);
        SelectBinRow(dialog, list, 0);
        ShowInNameEdit(dialog, g_settings.bins[0].name);
    }
    EnableControl(dialog, IDC_NAME_LABEL, TRUE);
    EnableControl(dialog, IDC_NAME_EDIT, TRUE);
    EnableControl(dialog, IDC_BIN_PICTURE, TRUE);
}

static void SwitchToSingleOutput(HWND dialog, DWORD target)
{
    EnableControl(dialog, IDC_MAILBOX_GROUP, FALSE);
    HWND list = GetDlgItem(dialog, IDC_BIN_LIST);
    if (list) {
        EnableWindow(list, TRUE);
        LoadDefaultBinNames(target == HCO_MODE_STACKER ? IDS_STACKER_NAME : IDS_JOB_SEPARATOR_NAME, SINGLE_NAME_CHARS);
        TakePrinterBins(target);
        RefillBinList(list);
        EnableWindow(list, FALSE);
        ShowInNameEdit(dialog, g_settings.bins[0].name);
    }
    EnableControl(dialog, IDC_NAME_LABEL, FALSE);
    EnableControl(dialog, IDC_NAME_EDIT, FALSE);
    EnableControl(dialog, IDC_BIN_PICTURE, FALSE);
    ShowPictureOf(dialog, IDB_HCO_NO_TRAY);
}

static void CheckAndFocus(HWND dialog, int radio)
{
    CheckDlgButton(dialog, radio, BST_CHECKED);
    HWND control = GetDlgItem(dialog, radio);
    if (control)
        SetFocus(control);
}

static void PutRadiosBack(HWND dialog, int radio)
{
    CheckDlgButton(dialog, radio, BST_UNCHECKED);
    switch (g_settings.mode) {
    case HCO_MODE_STACKER:
        CheckAndFocus(dialog, IDC_MODE_STACKER);
        break;
    case HCO_MODE_JOB_SEPARATOR:
        CheckAndFocus(dialog, IDC_MODE_JOB_SEPARATOR);
        break;
    case HCO_MODE_MAILBOX: {
        CheckAndFocus(dialog, IDC_MODE_MAILBOX);
        EnableControl(dialog, IDC_MAILBOX_GROUP, TRUE);
        HWND list = GetDlgItem(dialog, IDC_BIN_LIST);
        if (list) {
            EnableWindow(list, TRUE);
            AnnounceBinSelection(dialog, list);
        }
        EnableControl(dialog, IDC_NAME_LABEL, TRUE);
        EnableControl(dialog, IDC_NAME_EDIT, TRUE);
        EnableControl(dialog, IDC_BIN_PICTURE, TRUE);
        break;
    }
    }
}

void OnModeRadio(HWND dialog, int radio, DWORD target)
{
    if (g_settings.mode == target)
        return;
    /* the radios are automatic: a click has already checked this one */
    if (IsDlgButtonChecked(dialog, radio) != BST_CHECKED)
        return;
    if (ChangeHcoMode(dialog, target) != 0) {
        PutRadiosBack(dialog, radio);
        return;
    }
    if (target == HCO_MODE_MAILBOX)
        SwitchToMailbox(dialog);
    else
        SwitchToSingleOutput(dialog, target);
    g_settings.mode = target;
    FillDestinationList();
}
