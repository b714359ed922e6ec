/* The mode change: one exchange with the printer, from the user's confirmation to the
 * bin name reset, with the wait dialog while the printer switches itself off and on. */
#include "binpanel.h"
#include "record_builders.h"
#include "resource.h"

#define MESSAGE_CHARS 256
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

static DWORD WriteOnlineState(OnlineStateRecord *state, DWORD request)
{
    state->request = request;
    DWORD size = sizeof *state;
    return LALSetObject(g_settings.deviceHandle, OBJ_ONLINE_STATE, 0, state, &size);
}

static DWORD WriteConfig(HcoConfigRecord *config)
{
    DWORD size = sizeof *config;
    return CALSetComponentObject(g_settings.deviceHandle, g_settings.componentId, OBJ_HCO_CONFIG, 0, config, &size);
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
static DWORD ResetBinNames(DWORD target)
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
    return WriteConfig(&reset);
}

DWORD ChangeHcoMode(HWND dialog, DWORD targetMode)
{
    DWORD target = NormalizeMode(targetMode);
    OnlineStateRecord state;
    DWORD size = sizeof state;
    DWORD status = LALGetObject(g_settings.deviceHandle, OBJ_ONLINE_STATE, 0, &state, &size);
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
    status = WriteConfig(&modeRecord);
    SetCursor(previous);
    /* only 0xFFFF is a refused mode write; the printer answers other statuses for writes it took */
    if (status == DEVOBJ_FAILURE) {
        ShowModeMessage(IDS_ERR_MODE_WRITE, BOX_ERROR);
        WriteOnlineState(&state, ONLINE_REQUEST_ONLINE);
        return DEVOBJ_FAILURE;
    }

    PowerCycleRecord cycle = { POWER_CYCLE_REQUEST };
    size = sizeof cycle;
    DWORD cycleStatus = LALSetObject(g_settings.deviceHandle, OBJ_POWER_CYCLE, 0, &cycle, &size);
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_WAIT), dialog, WaitDialogExProc, 0);
    if (cycleStatus != 0)
        ShowModeMessage(IDS_ERR_POWER_CYCLE, BOX_ERROR);

    WriteOnlineState(&state, ONLINE_REQUEST_ONLINE);
    if (ResetBinNames(target) != 0)
        ShowModeMessage(IDS_ERR_NAME_RESET, BOX_ERROR);
    return 0;
}
