/* The user's commands on the page: mode radios and the page's state after each
 * transition, bin selection, renaming keystroke by keystroke, timeout and destination. */
#include "page_fixture.h"

namespace {

const std::vector<std::string> kDefaultNames = { "MAILBOX 1", "MAILBOX 2", "MAILBOX 3", "MAILBOX 4",
                                                 "MAILBOX 5", "MAILBOX 6", "MAILBOX 7", "MAILBOX 8" };

int RadioOf(DWORD mode)
{
    return mode == 1 ? IDC_MODE_STACKER : mode == 2 ? IDC_MODE_MAILBOX : IDC_MODE_JOB_SEPARATOR;
}

struct Transition {
    DWORD from;
    DWORD to;
    int answer; /* IDOK: the change goes through; IDCANCEL: declined */
};

class Transitions : public PageTest {
protected:
    void ExpectState(DWORD mode, int focusedRadio)
    {
        for (int radio : { IDC_MODE_MAILBOX, IDC_MODE_JOB_SEPARATOR, IDC_MODE_STACKER })
            EXPECT_EQ(radio == RadioOf(mode), Checked(radio)) << "radio " << radio;
        bool mailbox = mode == 2;
        for (int id : { IDC_MAILBOX_GROUP, IDC_BIN_LIST, IDC_NAME_LABEL, IDC_NAME_EDIT, IDC_BIN_PICTURE })
            EXPECT_EQ(mailbox, Enabled(id)) << "control " << id;
        EXPECT_EQ(mailbox ? 10u : 3u, DestinationRows().size());
        if (mailbox) {
            int row = Selected(IDC_BIN_LIST, false);
            EXPECT_NE(LB_ERR, row);
            EXPECT_EQ(129 + row, LastPictureId());
            EXPECT_EQ(BinRows()[row], WindowText(Item(IDC_NAME_EDIT)));
        } else {
            EXPECT_EQ(128, LastPictureId());
        }
        if (focusedRadio)
            EXPECT_EQ(Item(focusedRadio), GetFocus());
    }
};

TEST_F(Transitions, EveryRadioFromEveryState)
{
    const Transition rows[] = {
        { 1, 2, IDOK }, { 1, 3, IDOK }, { 2, 1, IDOK }, { 2, 3, IDOK }, { 3, 2, IDOK }, { 3, 1, IDOK },
        { 1, 2, IDCANCEL }, { 1, 3, IDCANCEL }, { 3, 2, IDCANCEL }, { 3, 1, IDCANCEL },
        { 2, 1, IDCANCEL }, { 2, 3, IDCANCEL },
    };
    for (const Transition &t : rows) {
        SCOPED_TRACE(std::to_string(t.from) + " -> " + std::to_string(t.to) + (t.answer == IDOK ? " confirmed" : " declined"));
        SimPrinterSpec printer = DefaultPrinter();
        printer.mode = t.from;
        Open(printer);
        if (t.from == 2)
            Pick(IDC_BIN_LIST, 4);
        UiScript ui({ t.answer });
        SendMessageA(Item(RadioOf(t.to)), BM_CLICK, 0, 0);
        if (t.answer == IDOK) {
            ExpectState(t.to, 0);
            if (t.to == 2)
                EXPECT_EQ(kDefaultNames, BinRows()); /* the reset names, re-read from the printer */
            else
                EXPECT_EQ(std::vector<std::string>(8, t.to == 1 ? "CARRELLO" : "SEPARATORE DELLE"), BinRows());
        } else {
            /* from mailbox, the announced bin puts the focus into the name edit at the end */
            ExpectState(t.from, t.from == 2 ? IDC_NAME_EDIT : RadioOf(t.from));
            if (t.from == 2)
                EXPECT_EQ(4, Selected(IDC_BIN_LIST, false));
        }
        DestroyWindow(page);
        page = nullptr;
    }
}

TEST_F(Transitions, ToMailboxWhileThePrinterDoesNotYetReportItKeepsDefaultNamesAndOldNumbers)
{
    SimPrinterSpec printer = DefaultPrinter();
    printer.mode = 1;
    for (int k = 0; k < 9; k++)
        printer.binNumbers[k] = 50 + k;
    Open(printer);
    UiScript ui;
    ui.onWaitDialog = [](HWND dialog) {
        SimFailNext(SIM_OP_CAL_SET_COMPONENT, OBJ_HCO_CONFIG, 0, 0);
        SimFailNext(SIM_OP_CAL_GET_COMPONENT, OBJ_HCO_CONFIG, 1, 0xFFFF);
        PostTimerTicks(dialog, 32);
    };
    SendMessageA(Item(IDC_MODE_MAILBOX), BM_CLICK, 0, 0);
    ExpectState(2, 0);
    EXPECT_EQ(kDefaultNames, BinRows());
    EXPECT_EQ(0, Selected(IDC_BIN_LIST, false));
    /* outside mailbox mode the numbers came from records 0 to 7: mailbox 2 has record 1's */
    Pick(IDC_DESTINATION_COMBO, 3);
    SimLogClear();
    Apply();
    std::vector<SimCall> writes = DeviceWrites();
    ASSERT_EQ(1u, writes.size());
    EXPECT_EQ(51u, RecordOf<PaperDestinationRecord>(writes[0]).destination);
}

TEST_F(PageTest, TypingRenamesTheSelectedBinKeystrokeByKeystroke)
{
    Open(DefaultPrinter());
    Pick(IDC_BIN_LIST, 2);
    EXPECT_EQ(131, LastPictureId());
    Type("Ab");
    EXPECT_EQ("Ab", BinRows()[2]);
    EXPECT_EQ(2, Selected(IDC_BIN_LIST, false));
    EXPECT_EQ("Ab", DestinationRows()[4]);
    Type("Acquisti");
    EXPECT_EQ("Acquisti", BinRows()[2]);
    EXPECT_EQ("Acquisti", DestinationRows()[4]);
}

TEST_F(PageTest, ATwentiethCharacterIsRefusedWithTheCaretWhereItStood)
{
    Open(DefaultPrinter());
    Pick(IDC_BIN_LIST, 0);
    UiScript ui;
    /* narrow letters: the page's edit does not scroll, so wide ones would stop at its edge */
    const std::string nineteen = "iiiiiiiiiiiiiiiiiii";
    Type(nineteen);
    ASSERT_EQ(nineteen, BinRows()[0]);
    HWND edit = Item(IDC_NAME_EDIT);
    SendMessageA(edit, EM_SETSEL, 5, 5);
    SendMessageA(edit, WM_CHAR, 'x', 1);
    EXPECT_EQ(nineteen, WindowText(edit));
    EXPECT_EQ(nineteen, BinRows()[0]);
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(5u, start);
    EXPECT_EQ(5u, end);
    ASSERT_EQ(1u, ui.beeps.size());
    EXPECT_EQ((UINT)MB_ICONASTERISK, ui.beeps[0]);
}

TEST_F(PageTest, ARefusedTextWithTheCaretAtTheStartLeavesItThere)
{
    Open(DefaultPrinter());
    Pick(IDC_BIN_LIST, 0);
    UiScript ui;
    HWND edit = Item(IDC_NAME_EDIT);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, 0);
    SetWindowTextA(edit, "un nome decisamente troppo lungo");
    EXPECT_EQ("Amministrazione", WindowText(edit));
    DWORD start = 99, end = 99;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(0u, start);
    EXPECT_EQ(0u, end);
    EXPECT_EQ(1u, ui.beeps.size());
}

TEST_F(PageTest, ATrayClickedWhileTheEditHasTheFocusRenamesThatBinWithItsOwnName)
{
    Open(DefaultPrinter());
    SetFocus(Item(IDC_NAME_EDIT));
    HWND picture = Item(IDC_BIN_PICTURE);
    RECT client;
    GetClientRect(picture, &client);
    int x = (client.right - 96) / 2 + 20, y = (client.bottom - 154) / 2 + 40 + 12 * 3;
    SendMessageA(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    EXPECT_EQ(3, Selected(IDC_BIN_LIST, false));
    EXPECT_EQ("Direzione", WindowText(Item(IDC_NAME_EDIT)));
    SimLogClear();
    Apply();
    std::vector<SimCall> writes = DeviceWrites();
    ASSERT_EQ(1u, writes.size());
    HcoConfigRecord r = RecordOf<HcoConfigRecord>(writes[0]);
    for (int k = 0; k < 9; k++)
        EXPECT_EQ(k == 4 ? 2u : 0u, r.bins[k].fieldMask) << k;
    EXPECT_STREQ("Direzione", r.bins[4].name);
}

TEST_F(PageTest, DestinationChoicePicksTheRowsBinAndIcon)
{
    const struct { DWORD mode; int row; int icon; } cases[] = {
        { 2, 0, 199 }, { 2, 1, 200 }, { 2, 2, 201 }, { 2, 9, 208 }, { 1, 2, 198 }, { 3, 2, 198 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + " row " + std::to_string(c.row));
        SimPrinterSpec printer = DefaultPrinter();
        printer.mode = c.mode;
        printer.destination = 77;
        Open(printer);
        Pick(IDC_DESTINATION_COMBO, c.row);
        EXPECT_EQ(c.icon, ShownIconId(page, IDC_DESTINATION_ICON));
        DestroyWindow(page);
        page = nullptr;
    }
}

TEST_F(PageTest, StandAloneDialogOkKeepsWhatTheUserSetAndCancelDoesNot)
{
    typedef INT_PTR(WINAPI * PopupFn)(HWND);
    PopupFn popup = (PopupFn)BinpanelProc("HCOPopupDialog");
    Open(DefaultPrinter());
    DestroyWindow(page);
    page = nullptr;
    for (int button : { IDCANCEL, IDOK }) {
        static int command;
        command = button;
        SimLogClear();
        HHOOK hook = SetWindowsHookExA(WH_CBT, [](int code, WPARAM w, LPARAM l) CALLBACK -> LRESULT {
            HWND dialog = (HWND)w;
            if (code == HCBT_ACTIVATE && GetDlgItem(dialog, IDC_HELP_BUTTON)) {
                HWND combo = GetDlgItem(dialog, IDC_TIMEOUT_COMBO);
                SendMessageA(combo, CB_SETCURSEL, 0, 0);
                SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TIMEOUT_COMBO, CBN_SELCHANGE), (LPARAM)combo);
                SendMessageA(dialog, WM_COMMAND, IDC_HELP_BUTTON, (LPARAM)GetDlgItem(dialog, IDC_HELP_BUTTON));
                PostMessageA(dialog, WM_COMMAND, command, 0);
            }
            return CallNextHookEx(nullptr, code, w, l);
        }, nullptr, GetCurrentThreadId());
        UiScript ui;
        EXPECT_EQ(button, popup(TestFrame()));
        UnhookWindowsHookEx(hook);
        std::vector<SimCall> writes = DeviceWrites();
        ASSERT_EQ(button == IDOK ? 1u : 0u, writes.size());
        if (button == IDOK)
            EXPECT_EQ(0, RecordOf<AutoContinueRecord>(writes[0]).timeoutSeconds);
        ASSERT_EQ(1u, ui.helps.size());
        EXPECT_EQ((UINT)HELP_CONTENTS, ui.helps[0].command);
        EXPECT_EQ(2u, ui.helps[0].data);
        EXPECT_EQ("ZORVOHCO.HLP", ui.helps[0].file);
    }
}

} // namespace
