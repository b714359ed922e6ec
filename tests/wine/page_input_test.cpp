/* A person at the page: the page held by a host dialog, real keyboard input through the
 * thread's input queue and the host's own IsDialogMessage, keys typed while the printer is
 * slow, a second printer's page opened from another window during a mode change. These run
 * alone: another program's window taking the activation would take the keyboard. */
#include "page_fixture.h"

#include <algorithm>

namespace {

class PageInput : public PageTest {
protected:
    void TearDown() override
    {
        for (HostWindow &h : hosts)
            if (IsWindow(h.dialog))
                DestroyWindow(h.dialog);
        PageTest::TearDown();
    }
    /* The host's window for printer `device`, the page in it the one this test works on. */
    HostWindow Host(DWORD device, int x = 0)
    {
        hosts.push_back(OpenHostWindow(device, x));
        page = hosts.back().page;
        EXPECT_NE(nullptr, page);
        return hosts.back();
    }
    void Press(WORD vk, bool shift = false)
    {
        PressKey(vk, shift);
        PumpHost(hosts.front().dialog);
    }
    std::vector<HostWindow> hosts;
};

SimPrinter Numbered(DWORD device, DWORD mode)
{
    SimPrinter p = DefaultPrinter();
    p.device = device;
    p.mode = mode;
    return p;
}

/* Tab and Shift+Tab from the host's own button go through the page's tab stops in the
 * template's order and out again; the mailbox controls count only where they are enabled. */
TEST_F(PageInput, TabFromTheHostVisitsThePagesTabStopsInOrder)
{
    const struct {
        DWORD mode;
        std::vector<int> stops;
    } cases[] = {
        { HCO_MODE_MAILBOX, { IDC_MODE_MAILBOX, IDC_TIMEOUT_COMBO, IDC_BIN_LIST, IDC_NAME_EDIT, IDC_DESTINATION_COMBO } },
        { HCO_MODE_STACKER, { IDC_MODE_STACKER, IDC_TIMEOUT_COMBO, IDC_DESTINATION_COMBO } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mode == HCO_MODE_MAILBOX ? "mailbox page" : "stacker page");
        UsePrinters({ Numbered(1, c.mode) });
        HostWindow host = Host(1);
        std::vector<HWND> forward, backward;
        SetFocus(host.before);
        for (size_t k = 0; k <= c.stops.size(); k++) {
            Press(VK_TAB);
            forward.push_back(GetFocus());
        }
        for (size_t k = 0; k <= c.stops.size(); k++) {
            Press(VK_TAB, true);
            backward.push_back(GetFocus());
        }
        std::vector<HWND> expected;
        for (int id : c.stops)
            expected.push_back(GetDlgItem(host.page, id));
        expected.push_back(host.after);
        EXPECT_EQ(expected, forward) << "Tab";
        std::reverse(expected.begin(), expected.end());
        expected.erase(expected.begin());
        expected.push_back(host.before);
        EXPECT_EQ(expected, backward) << "Shift+Tab";
        DestroyWindow(host.dialog);
        hosts.clear();
        page = nullptr;
    }
}

/* The arrow keys move between the automatic mode radios and so start the change; after
 * it the keyboard stays on the radio just used, never on a control the change disabled. */
TEST_F(PageInput, ArrowKeysChangeTheModeAndTheFocusStaysUsable)
{
    UsePrinters({ Numbered(1, HCO_MODE_MAILBOX) });
    HostWindow host = Host(1);
    SetFocus(host.before);
    Press(VK_TAB);
    ASSERT_EQ(Item(IDC_MODE_MAILBOX), GetFocus());
    {
        UiScript ui({ IDOK });
        Press(VK_DOWN); /* to "Separatore": confirmed */
        EXPECT_EQ(1, ui.waitDialogs);
    }
    EXPECT_TRUE(Checked(IDC_MODE_JOB_SEPARATOR));
    EXPECT_FALSE(Enabled(IDC_NAME_EDIT));
    EXPECT_EQ(Item(IDC_MODE_JOB_SEPARATOR), GetFocus()) << "the radio of the new mode";
    {
        UiScript ui({ IDCANCEL });
        Press(VK_DOWN); /* to "Carrello": declined */
        ASSERT_EQ(1u, ui.boxes.size());
        EXPECT_EQ(hosts.front().dialog, ui.boxes[0].owner) << "modal to the host's window";
        EXPECT_TRUE(ui.boxes[0].ownerDisabled);
    }
    EXPECT_TRUE(Checked(IDC_MODE_JOB_SEPARATOR));
    EXPECT_EQ(Item(IDC_MODE_JOB_SEPARATOR), GetFocus());
    Press(VK_TAB);
    EXPECT_EQ(Item(IDC_TIMEOUT_COMBO), GetFocus()) << "Tab goes on from there";
    Press(VK_TAB, true);
    {
        UiScript ui({ IDOK });
        Press(VK_UP); /* back to mailbox: the name edit has the keyboard */
        EXPECT_EQ(1, ui.waitDialogs);
    }
    EXPECT_TRUE(Checked(IDC_MODE_MAILBOX));
    EXPECT_EQ(Item(IDC_NAME_EDIT), GetFocus());
}

/* A name as long as a bin holds can be typed; the next character is refused, with the
 * asterisk sound, and nothing breaks. */
TEST_F(PageInput, NamesAsLongAsABinHoldsCanBeTyped)
{
    UsePrinters({ Numbered(1, HCO_MODE_MAILBOX) });
    Host(1);
    for (const char *wide : { "W", "M" }) {
        SCOPED_TRACE(wide);
        UiScript ui;
        SetFocus(Item(IDC_NAME_EDIT));
        SendMessageA(Item(IDC_NAME_EDIT), EM_SETSEL, 0, -1);
        std::string name(19, wide[0]);
        TypeKeys(name);
        PumpHost(hosts.front().dialog);
        EXPECT_EQ(name, WindowText(Item(IDC_NAME_EDIT)));
        EXPECT_EQ(name, BinRows()[0]);
        EXPECT_TRUE(ui.beeps.empty());
        TypeKeys(wide);
        PumpHost(hosts.front().dialog);
        EXPECT_EQ(name, WindowText(Item(IDC_NAME_EDIT))) << "the 20th character is refused";
        EXPECT_EQ(name, BinRows()[0]);
        EXPECT_EQ(std::vector<UINT>{ MB_ICONASTERISK }, ui.beeps);
    }
}

/* Typing waits on no printer and keeps what the user picked. */
TEST_F(PageInput, TypingReadsNoPrinterAndKeepsThePickedDestination)
{
    UsePrinters({ Numbered(1, HCO_MODE_MAILBOX) }); /* destination 6: mailbox 3, row 4 */
    Host(1);
    Pick(IDC_DESTINATION_COMBO, 1); /* the face-up bin */
    SetFocus(Item(IDC_NAME_EDIT));
    SendMessageA(Item(IDC_NAME_EDIT), EM_SETSEL, 0, -1);
    SimLogClear();
    TypeKeys("Conti");
    PumpHost(hosts.front().dialog);
    EXPECT_EQ("Conti", BinRows()[0]);
    EXPECT_TRUE(DeviceCalls().empty()) << DeviceCalls().size() << " device calls while typing";
    EXPECT_EQ(1, Selected(IDC_DESTINATION_COMBO, true)) << "the pick is still on show";
    EXPECT_EQ(200, ShownIconId(page, IDC_DESTINATION_ICON));
    EXPECT_EQ("Conti", ListText(Item(IDC_DESTINATION_COMBO), 2, true));
    Apply();
    std::vector<SimCall> writes = DeviceWrites();
    ASSERT_EQ(2u, writes.size());
    EXPECT_EQ(BIN_FACE_UP, (int)RecordOf<PaperDestinationRecord>(writes[1]).destination);
}

/* ---- keys typed ahead of the wait ---- */

typedef DWORD(WINAPI *SetComponentFn)(DWORD, LONG, DWORD, DWORD, void *, DWORD *);
SetComponentFn s_realSetComponent;
std::function<void()> s_duringModeWrite;
DWORD s_modeWrittenAt;

DWORD WINAPI TypeDuringModeWrite(DWORD device, LONG component, DWORD object, DWORD zero, void *record,
                                 DWORD *size)
{
    if (record && ((HcoConfigRecord *)record)->fieldMask == HCO_CONFIG_FIELD_MODE && s_duringModeWrite) {
        s_modeWrittenAt = GetTickCount();
        s_duringModeWrite();
        Sleep(30); /* a slow printer */
    }
    return s_realSetComponent(device, component, object, zero, record, size);
}

struct WaitWatch {
    HWND dialog = nullptr;
    UINT_PTR timer = 0;
    int step = 0;
    bool openAfterTypedAhead = false, openAfterStaleKeys = false, freshKeySent = false, neededTicks = false;
};
WaitWatch s_watch;

/* Steps a timer makes while the wait dialog is on show; a timer comes after the queued
 * input, so each step sees what the keys of the step before did. */
void CALLBACK WatchWait(HWND, UINT, UINT_PTR, DWORD)
{
    bool open = IsWindow(s_watch.dialog) && IsWindowVisible(s_watch.dialog);
    switch (s_watch.step++) {
    case 0:
        s_watch.openAfterTypedAhead = open;
        if (!open)
            return;
        KeyDown(VK_RETURN);                       /* Enter still held: a repeat */
        KeyDown(VK_ESCAPE, s_modeWrittenAt - 10); /* pressed before, arriving late */
        KeyUp(VK_ESCAPE);
        KeyUp(VK_RETURN);
        return;
    case 1:
        s_watch.openAfterStaleKeys = open;
        if (!open)
            return;
        PressKey(VK_ESCAPE); /* pressed now */
        s_watch.freshKeySent = true;
        return;
    default:
        /* still open: the fresh key did nothing; end the wait as its timer would */
        if (open && !s_watch.neededTicks) {
            s_watch.neededTicks = true;
            PostTimerTicks(s_watch.dialog, 32);
        }
    }
}

TEST_F(PageInput, KeysTypedBeforeTheWaitDoNotEndIt)
{
    static const bool patched =
        (s_realSetComponent = (SetComponentFn)PatchImport(BinpanelModule(), "Devobj.dll", "CALSetComponentObject",
                                                          (void *)TypeDuringModeWrite)) != nullptr;
    ASSERT_TRUE(patched);
    UsePrinters({ Numbered(1, HCO_MODE_MAILBOX) });
    Host(1);
    s_watch = WaitWatch();
    /* Esc pressed because nothing seemed to happen, Enter pressed and held */
    s_duringModeWrite = [] {
        PressKey(VK_ESCAPE);
        KeyDown(VK_RETURN);
    };
    UiScript ui({ IDOK });
    ui.onWaitDialog = [](HWND dialog) {
        s_watch.dialog = dialog;
        s_watch.timer = SetTimer(nullptr, 0, 60, WatchWait);
    };
    SimLogClear();
    SendMessageA(Item(IDC_MODE_STACKER), BM_CLICK, 0, 0);
    KillTimer(nullptr, s_watch.timer);
    s_duringModeWrite = nullptr;
    EXPECT_TRUE(s_watch.openAfterTypedAhead) << "Esc and Enter typed during the mode write ended the wait";
    EXPECT_TRUE(s_watch.openAfterStaleKeys) << "a held key's repeat or a late key ended the wait";
    EXPECT_TRUE(s_watch.freshKeySent && !s_watch.neededTicks) << "Esc pressed during the wait did not end it";
    EXPECT_EQ(1, ui.waitDialogs);
    EXPECT_TRUE(Checked(IDC_MODE_STACKER));
    ExpectCalls({ kReadOnlineState, kWriteOnlineState, kWriteHcoConfig, kWritePowerCycle, kWriteOnlineState,
                  kWriteHcoConfig, kReadHcoConfig, kReadPaperDestination });
}

/* ---- another printer's page during the wait ---- */

/* Printer B's page, opened from another window of the host while A's change waits, keeps
 * its printer, names and rows; A's change finishes on A, and a second change cannot start. */
TEST_F(PageInput, AModeChangeFinishesOnThePrinterItStartedOn)
{
    SimPrinter a = Numbered(1, HCO_MODE_MAILBOX), b = Numbered(2, HCO_MODE_MAILBOX);
    strcpy(b.binNames[1], "Ufficio B");
    b.destination = 20;
    UsePrinters({ a, b });
    HostWindow hostA = Host(1);
    HWND pageA = hostA.page;
    HWND pageB = nullptr;
    std::vector<MessageBoxSeen> boxesDuringWait;
    {
        UiScript ui({ IDOK });
        ui.onWaitDialog = [&](HWND dialog) {
            HostWindow hostB = OpenHostWindow(2, 730);
            hosts.push_back(hostB);
            pageB = hostB.page;
            /* B's user picks a timeout and tries a change of B's own */
            SendMessageA(GetDlgItem(pageB, IDC_TIMEOUT_COMBO), CB_SETCURSEL, 3, 0);
            SendMessageA(pageB, WM_COMMAND, MAKEWPARAM(IDC_TIMEOUT_COMBO, CBN_SELCHANGE),
                         (LPARAM)GetDlgItem(pageB, IDC_TIMEOUT_COMBO));
            size_t before = ui.boxes.size();
            SendMessageA(GetDlgItem(pageB, IDC_MODE_JOB_SEPARATOR), BM_CLICK, 0, 0);
            boxesDuringWait.assign(ui.boxes.begin() + before, ui.boxes.end());
            PostTimerTicks(dialog, 32);
        };
        SimLogClear();
        SendMessageA(GetDlgItem(pageA, IDC_MODE_STACKER), BM_CLICK, 0, 0);
    }
    ASSERT_NE(nullptr, pageB);
    EXPECT_TRUE(boxesDuringWait.empty()) << "a second change started: " << boxesDuringWait.front().text;
    for (const SimCall &w : DeviceWrites())
        EXPECT_EQ(1u, w.device) << DescribeCall(w.operation, w.object) << " went to printer " << w.device;
    HcoConfigRecord configB = {};
    SimPeekObject(2, OBJ_HCO_CONFIG, &configB, sizeof configB);
    EXPECT_STREQ("Ufficio B", configB.bins[1].name) << "B's names were reset";
    HcoConfigRecord configA = {};
    SimPeekObject(1, OBJ_HCO_CONFIG, &configA, sizeof configA);
    EXPECT_EQ(HCO_MODE_STACKER, configA.mode) << "A took its new mode";

    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(pageA, IDC_MODE_STACKER)) << "A shows its printer's new mode";
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(pageB, IDC_MODE_MAILBOX));
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(pageB, IDC_MODE_JOB_SEPARATOR));
    EXPECT_EQ(10, (int)SendDlgItemMessageA(pageB, IDC_DESTINATION_COMBO, CB_GETCOUNT, 0, 0)) << "B's own rows";
    EXPECT_EQ("Ufficio B", ListText(GetDlgItem(pageB, IDC_BIN_LIST), 0, false));

    /* A changes nothing more: typing and applying there reach neither model nor printer */
    SetFocus(GetDlgItem(pageA, IDC_NAME_EDIT));
    SendMessageA(GetDlgItem(pageA, IDC_NAME_EDIT), WM_CHAR, 'X', 1);
    SimLogClear();
    DWORD word = 0;
    SendMessageA(pageA, 1690, 0, (LPARAM)&word);
    EXPECT_EQ(1u, word);
    EXPECT_TRUE(DeviceCalls().empty()) << "A's apply wrote";
    /* B's apply writes B's user's change to B, nothing else */
    SendMessageA(pageB, 1690, 0, (LPARAM)&word);
    std::vector<SimCall> writes = DeviceWrites();
    ASSERT_EQ(1u, writes.size());
    EXPECT_EQ(2u, writes[0].device);
    EXPECT_EQ((DWORD)OBJ_AUTO_CONTINUE, writes[0].object);
}

} // namespace
