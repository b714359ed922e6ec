/* A page of the real dialog manager opened against one simulated printer, with what a
 * test reads back from it: radios, enabled controls, list rows, the picture shown, the
 * destination icon. */
#ifndef PAGE_FIXTURE_H
#define PAGE_FIXTURE_H

#include <gtest/gtest.h>
#include "device_log.h"
#include "resource.h"
#include "ui_driver.h"

/* The bitmap id the bin picture loaded last (Binpanel's LoadBitmapA watched). */
int LastPictureId();
/* The icon id shown in a dialog's icon static, by comparing with the module's shared icons; 0 for none. */
int ShownIconId(HWND dialog, int controlId);

class PageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    /* Opens the page (dialog 140) for `printer`, which becomes device 1. */
    HWND Open(SimPrinter printer);
    HWND Item(int id) const { return GetDlgItem(page, id); }
    bool Checked(int id) const { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    std::vector<std::string> BinRows() const { return ListRows(Item(IDC_BIN_LIST), false); }
    std::vector<std::string> DestinationRows() const { return ListRows(Item(IDC_DESTINATION_COMBO), true); }
    int Selected(int id, bool combo) const
    {
        return (int)SendMessageA(Item(id), combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    }
    /* Selects a combo or list row and notifies the page as the control would. */
    void Pick(int id, int row);
    /* Types a whole new text into the name edit, keystroke by keystroke. */
    void Type(const std::string &text);
    DWORD Apply(UINT message = 1690);
    HWND page = nullptr;
};

#endif
