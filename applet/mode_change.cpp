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

/* One run of the change: the printer, accessory and window it started with. Its questions
 * and errors are modal to the top-level window that holds the page (the host's) or the
 * stand-alone dialog itself, so that neither can be used under them; other windows of
 * the host stay usable, and a page opened there takes the model over. */
typedef struct ModeChange {
    DeviceTarget printer;
    HWND dialog;
    HWND owner;
} ModeChange;

static bool s_changeRunning;
HWND g_pageLeftBehind;

static int ShowModeMessage(const ModeChange *change, UINT stringId, UINT type)
{
    char text[MESSAGE_CHARS];
    char caption[CAPTION_CHARS];
    text[0] = caption[0] = 0;
    LoadStringA(g_instance, stringId, text, MESSAGE_CHARS);
    LoadStringA(g_instance, IDS_MODE_CAPTION, caption, CAPTION_CHARS);
    return MessageBoxA(change->owner, text, caption, type);
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
static DWORD WriteNameReset(const DeviceTarget *printer, DWORD target)
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
    return WriteHcoConfig(printer, &reset);
}

static DWORD RunModeChange(const ModeChange *change, DWORD target)
{
    const DeviceTarget *printer = &change->printer;
    /* without the accessory's component the mode would be written to none of the printer's */
    if (printer->component == NO_COMPONENT) {
        ShowModeMessage(change, IDS_ERR_COMMUNICATION, BOX_ERROR);
        return DEVOBJ_FAILURE;
    }
    OnlineStateRecord state;
    DWORD status = ReadOnlineState(printer, &state);
    if (status != 0) {
        ShowModeMessage(change, IDS_ERR_COMMUNICATION, BOX_ERROR);
        return status;
    }

    if (state.onlineState == 1) {
        if (ShowModeMessage(change, IDS_ASK_OFFLINE, BOX_QUESTION) != IDOK)
            return DEVOBJ_FAILURE;
        HCURSOR previous = SetCursor(LoadCursorA(NULL, IDC_WAIT));
        status = WriteOnlineState(printer, &state, ONLINE_REQUEST_OFFLINE);
        SetCursor(previous);
        if (status != 0) {
            ShowModeMessage(change, IDS_ERR_OFFLINE, BOX_ERROR);
            return status;
        }
    } else if (ShowModeMessage(change, QuestionFor(target), BOX_QUESTION) != IDOK) {
        return DEVOBJ_FAILURE;
    }

    HcoConfigRecord modeRecord;
    BuildModeRecord(&modeRecord, target);
    HCURSOR previous = SetCursor(LoadCursorA(NULL, IDC_WAIT));
    status = WriteHcoConfig(printer, &modeRecord);
    SetCursor(previous);
    /* only 0xFFFF is a refused mode write; the printer answers other statuses for writes it took */
    if (status == DEVOBJ_FAILURE) {
        ShowModeMessage(change, IDS_ERR_MODE_WRITE, BOX_ERROR);
        WriteOnlineState(printer, &state, ONLINE_REQUEST_ONLINE);
        return DEVOBJ_FAILURE;
    }

    DWORD cycleStatus = WritePowerCycle(printer);
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_WAIT), change->dialog, WaitDialogExProc, 0);
    if (cycleStatus != 0)
        ShowModeMessage(change, IDS_ERR_POWER_CYCLE, BOX_ERROR);

    WriteOnlineState(printer, &state, ONLINE_REQUEST_ONLINE);
    if (WriteNameReset(printer, target) != 0)
        ShowModeMessage(change, IDS_ERR_NAME_RESET, BOX_ERROR);
    return 0;
}

/* The change runs on the printer of the page it started on, whatever page is opened
 * inside its message boxes and wait; one change at a time. */
DWORD ChangeHcoMode(HWND dialog, DWORD targetMode)
{
    if (s_changeRunning)
        return DEVOBJ_FAILURE;
    ModeChange change = { ModelTarget(), dialog, GetAncestor(dialog, GA_ROOT) };
    s_changeRunning = true;
    DWORD status = RunModeChange(&change, NormalizeMode(targetMode));
    s_changeRunning = false;
    return status;
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
static void TakePrinterBins(const DeviceTarget *printer, DWORD target)
{
    HcoConfigRecord config;
    if (ReadHcoConfig(printer, &config) == 0)
        TakeSwitchedConfig(&config, target, g_settings.bins);
}

/* The controls are enabled before the first row is announced, so that its name goes into
 * an edit that can take the focus. */
static void SwitchToMailbox(HWND dialog, const DeviceTarget *printer)
{
    HWND list = GetDlgItem(dialog, IDC_BIN_LIST);
    if (list) {
        LoadDefaultBinNames(IDS_MAILBOX_FIRST, 256);
        TakePrinterBins(printer, HCO_MODE_MAILBOX);
        RefillBinList(list);
    }
    EnableMailboxControls(dialog, TRUE);
    if (list)
        SelectBinRow(dialog, list, 0);
}

static void SwitchToSingleOutput(HWND dialog, const DeviceTarget *printer, DWORD target, int radio)
{
    HWND list = GetDlgItem(dialog, IDC_BIN_LIST);
    if (list) {
        LoadDefaultBinNames(target == HCO_MODE_STACKER ? IDS_STACKER_NAME : IDS_JOB_SEPARATOR_NAME, SINGLE_NAME_CHARS);
        TakePrinterBins(printer, target);
        RefillBinList(list);
    }
    EnableMailboxControls(dialog, FALSE);
    if (list)
        ShowInNameEdit(dialog, g_settings.bins[0].name);
    ShowPictureOf(dialog, IDB_HCO_NO_TRAY);
    /* the radio just used keeps the keyboard on the page */
    FocusControl(dialog, radio);
}

static void CheckAndFocus(HWND dialog, int radio)
{
    CheckDlgButton(dialog, radio, BST_CHECKED);
    FocusControl(dialog, radio);
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
        EnableMailboxControls(dialog, TRUE);
        HWND list = GetDlgItem(dialog, IDC_BIN_LIST);
        if (list)
            AnnounceBinSelection(dialog, list);
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
    DeviceTarget printer = ModelTarget();
    if (ChangeHcoMode(dialog, target) != 0) {
        PutRadiosBack(dialog, radio);
        return;
    }
    /* A page opened meanwhile owns the model now and shows its own printer: this page
     * only shows the mode its printer took, until it is opened again. */
    if (g_settings.pageWindow != dialog) {
        CheckRadioButton(dialog, IDC_MODE_MAILBOX, IDC_MODE_STACKER, radio);
        g_pageLeftBehind = dialog;
        return;
    }
    if (target == HCO_MODE_MAILBOX)
        SwitchToMailbox(dialog, &printer);
    else
        SwitchToSingleOutput(dialog, &printer, target, radio);
    g_settings.mode = target;
    ReadDestination(&printer);
    FillDestinationList();
}
