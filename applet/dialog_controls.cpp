/* Small steps on the settings dialogs' controls, shared by the population and the command
 * handling: each looks its control up and skips what the dialog lacks. */
#include "binpanel.h"
#include "resource.h"
#include "controls/bin_picture.h"

void EnableControl(HWND dialog, int controlId, BOOL enable)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (control)
        EnableWindow(control, enable);
}

void ShowPictureOf(HWND dialog, int bitmapId)
{
    HWND picture = GetDlgItem(dialog, IDC_BIN_PICTURE);
    if (picture)
        ShowBinPicture(picture, bitmapId);
}

void AnnounceBinSelection(HWND dialog, HWND list)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_BIN_LIST, LBN_SELCHANGE), (LPARAM)list);
}

void SelectBinRow(HWND dialog, HWND list, int row)
{
    SendMessageA(list, LB_SETTOPINDEX, row, 0);
    SendMessageA(list, LB_SETCURSEL, row, 0);
    AnnounceBinSelection(dialog, list);
}

void ShowInNameEdit(HWND dialog, const char *text)
{
    HWND edit = GetDlgItem(dialog, IDC_NAME_EDIT);
    if (!edit)
        return;
    SetWindowTextA(edit, text);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
}

static const int kMailboxControls[] = {
    IDC_MAILBOX_GROUP, IDC_BIN_LIST, IDC_NAME_LABEL, IDC_NAME_EDIT, IDC_BIN_PICTURE,
};

static const int kModeRadios[] = { IDC_MODE_MAILBOX, IDC_MODE_JOB_SEPARATOR, IDC_MODE_STACKER };

void FocusControl(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (control)
        SetFocus(control);
}

/* Disabling the control with the focus leaves the thread with none, and a keyboard user
 * with no way on: the focus then goes to the mode radio the user can still use. */
void EnableMailboxControls(HWND dialog, BOOL enable)
{
    HWND focus = GetFocus();
    bool focusInside = false;
    for (int id : kMailboxControls) {
        HWND control = GetDlgItem(dialog, id);
        if (control && focus && (control == focus || IsChild(control, focus)))
            focusInside = true;
        EnableControl(dialog, id, enable);
    }
    if (enable || !focusInside)
        return;
    for (int radio : kModeRadios) {
        if (IsDlgButtonChecked(dialog, radio) == BST_CHECKED) {
            FocusControl(dialog, radio);
            return;
        }
    }
}
