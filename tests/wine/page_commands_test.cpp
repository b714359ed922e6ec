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
        SimPrinter printer = DefaultPrinter();
        printer.mode = t.from;
        Open(printer);
        if (t.from == 2)
            Pick(IDC_BIN_LIST, 4);
        UiScript ui({ t.answer });
        SendMessageA(Item(RadioOf(t.to)), BM_CLICK, 0, 0);
        if (t.answer == IDOK) {
            /* the keyboard stays on the page: the edit in mailbox mode, else the radio used */
            ExpectState(t.to, t.to == 2 ? IDC_NAME_EDIT : RadioOf(t.to));
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
    SimPrinter printer = DefaultPrinter();
    printer.mode = 1;
    for (int k = 0; k < 9; k++)
        printer.binNumbers[k] = 50 + k;
    Open(printer);
    UiScript ui;
    ui.onWaitDialog = [](HWND dialog) {
        FailNext(kWriteHcoConfig, 0, 0);
        FailNext(kReadHcoConfig, 1, 0xFFFF);
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
        SimPrinter printer = DefaultPrinter();
        printer.mode = c.mode;
        printer.destination = 77;
        Open(printer);
        Pick(IDC_DESTINATION_COMBO, c.row);
        EXPECT_EQ(c.icon, ShownIconId(page, IDC_DESTINATION_ICON));
        DestroyWindow(page);
        page = nullptr;
    }
}

/* A control whose selection query answers `s_oddRow`, whatever it shows. */
LRESULT s_oddRow;
WNDPROC s_controlProc;
LRESULT CALLBACK AnswerOddRow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == CB_GETCURSEL || message == LB_GETCURSEL)
        return s_oddRow;
    return CallWindowProcA(s_controlProc, window, message, wParam, lParam);
}

/* A row no table entry stands for is no selection: nothing of the model changes, so the
 * apply writes nothing, and nothing is read or written outside the model's tables. */
TEST_F(PageTest, ARowOutsideItsTableIsTakenAsNoSelection)
{
    const struct { int id; LRESULT row; } cases[] = {
        { IDC_DESTINATION_COMBO, -2 }, { IDC_DESTINATION_COMBO, -100000 }, { IDC_DESTINATION_COMBO, 10 },
        { IDC_TIMEOUT_COMBO, -2 }, { IDC_TIMEOUT_COMBO, 8 },
        { IDC_BIN_LIST, -2 }, { IDC_BIN_LIST, 8 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE("control " + std::to_string(c.id) + " answers row " + std::to_string(c.row));
        Open(DefaultPrinter());
        HWND control = Item(c.id);
        s_oddRow = c.row;
        s_controlProc = (WNDPROC)SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)AnswerOddRow);
        int picture = LastPictureId();
        std::string edit = WindowText(Item(IDC_NAME_EDIT));
        UINT code = c.id == IDC_BIN_LIST ? LBN_SELCHANGE : CBN_SELCHANGE;
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(c.id, code), (LPARAM)control);
        if (c.id == IDC_BIN_LIST)
            Type("Rinominato");
        EXPECT_EQ(picture, LastPictureId());
        if (c.id != IDC_BIN_LIST)
            EXPECT_EQ(edit, WindowText(Item(IDC_NAME_EDIT)));
        SimLogClear();
        Apply();
        EXPECT_TRUE(DeviceCalls().empty());
        SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)s_controlProc);
        DestroyWindow(page);
        page = nullptr;
    }
}

TEST_F(PageTest, StandAloneDialogOkKeepsWhatTheUserSetAndCancelDoesNot)
{
    Open(DefaultPrinter());
    DestroyWindow(page);
    page = nullptr;
    for (int button : { IDCANCEL, IDOK }) {
        SimLogClear();
        UiScript ui;
        EXPECT_EQ(button, RunStandAloneDialog([&](HWND dialog) {
            HWND combo = GetDlgItem(dialog, IDC_TIMEOUT_COMBO);
            SendMessageA(combo, CB_SETCURSEL, 0, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TIMEOUT_COMBO, CBN_SELCHANGE), (LPARAM)combo);
            SendMessageA(dialog, WM_COMMAND, IDC_HELP_BUTTON, (LPARAM)GetDlgItem(dialog, IDC_HELP_BUTTON));
            PostMessageA(dialog, WM_COMMAND, button, 0);
        }));
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

/* A control covered with magenta and let to paint: it must be shown and paint its whole
 * client area again, background and text. */
void ExpectShownAndPainting(HWND control, const char *what)
{
    EXPECT_TRUE(IsWindowVisible(control)) << what;
    const COLORREF magenta = RGB(255, 0, 255);
    RECT client, frame;
    GetClientRect(control, &client);
    GetWindowRect(control, &frame);
    POINT origin = { 0, 0 };
    ClientToScreen(control, &origin);
    const int dx = origin.x - frame.left, dy = origin.y - frame.top, width = dx + client.right;
    PaintOver(control, client.right, client.bottom, magenta);
    std::vector<COLORREF> px = CapturePixels(control, width, dy + client.bottom);
    const COLORREF background = GetSysColor(COLOR_WINDOW), highlight = GetSysColor(COLOR_HIGHLIGHT);
    int covered = 0, backgroundPixels = 0, drawn = 0;
    for (int y = dy; y < dy + client.bottom; y++)
        for (int x = dx; x < width; x++) {
            COLORREF c = px[y * width + x];
            covered += c == magenta;
            backgroundPixels += c == background;
            drawn += c != magenta && c != background && c != highlight;
        }
    EXPECT_EQ(0, covered) << what << ": pixels left unpainted";
    EXPECT_GT(backgroundPixels, 0) << what << ": no background painted";
    EXPECT_GT(drawn, 20) << what << ": no text painted";
}

/* Both lists are refilled with their redraw switched off: after a population, a rename
 * keystroke and a mode change it must be on again. */
TEST_F(PageTest, ListsAreShownAndPaintAfterEveryRefill)
{
    Open(DefaultPrinter());
    ShowWindow(TestFrame(), SW_SHOWNA);
    ShowWindow(page, SW_SHOWNA);
    UpdateWindow(TestFrame());
    struct Step {
        const char *what;
        std::function<void()> run;
    };
    const Step steps[] = {
        { "population", [] {} },
        { "rename keystroke", [this] { Pick(IDC_BIN_LIST, 2); Type("U"); } },
        { "mode change", [this] {
             UiScript ui;
             SendMessageA(Item(IDC_MODE_STACKER), BM_CLICK, 0, 0);
             EXPECT_EQ(1, ui.waitDialogs);
         } },
    };
    for (const Step &step : steps) {
        step.run();
        UpdateWindow(page);
        ExpectShownAndPainting(Item(IDC_DESTINATION_COMBO), (std::string(step.what) + ", destination combo").c_str());
        ExpectShownAndPainting(Item(IDC_BIN_LIST), (std::string(step.what) + ", bin list").c_str());
    }
    ShowWindow(TestFrame(), SW_HIDE);
}

} // namespace
