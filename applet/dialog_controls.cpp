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
