/* The mode change as a user starts it, with a mode radio on the page: the questions and
 * errors shown, the device calls in order with the fields that matter, and the outcome. */
#include "page_fixture.h"

namespace {

const char kCaption[] = "Cambia la modalit\xE0 HCO";
const UINT kQuestion = MB_OKCANCEL | MB_ICONQUESTION; /* 0x21 */
const UINT kError = MB_OK | MB_ICONEXCLAMATION;       /* 0x30 */

struct Box {
    UINT stringId;
    UINT type;
};


/* One device call failed with a status, armed before the click or, for the steps after the
 * wait, once the earlier writes are through. */
struct Fault {
    ExpectedCall call;
    DWORD status; /* 0: no fault */
    bool afterWait;
};
const Fault kNoFault = { { 0, 0 }, 0, false };

struct ModeCase {
    const char *what;
    DWORD fromMode;
    DWORD online;
    int radio;
    DWORD target;
    std::vector<int> answers;
    Fault fault;
    std::vector<Box> boxes;
    std::vector<ExpectedCall> calls; /* the mode change's own calls */
    bool changed;
    int boxesBeforeWait; /* -1: no wait dialog */
    DWORD printerMode;   /* what the printer reports afterwards */
    DWORD printerOnline;
};

std::string StringOf(UINT id)
{
    char text[512];
    int n = LoadStringA(BinpanelModule(), id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

void ExpectBoxes(const std::vector<Box> &expected, const std::vector<MessageBoxSeen> &got, HWND owner)
{
    ASSERT_EQ(expected.size(), got.size()) << "message boxes";
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(StringOf(expected[i].stringId), got[i].text) << "box " << i << " should be string " << expected[i].stringId;
        EXPECT_EQ(expected[i].type, got[i].type) << "box " << i;
        EXPECT_EQ(kCaption, got[i].caption) << "box " << i;
        EXPECT_EQ(owner, got[i].owner) << "box " << i;
    }
}

/* The fields of each write that say what it does. */
void ExpectWriteFields(const std::vector<SimCall> &calls, DWORD target, const OnlineStateRecord &read)
{
    int onlineWrites = 0;
    bool modeWritten = false;
    for (const SimCall &c : calls) {
        if (c.operation == SIM_OP_LAL_SET && c.object == OBJ_ONLINE_STATE) {
            OnlineStateRecord r = RecordOf<OnlineStateRecord>(c);
            EXPECT_EQ(c.size, 20u);
            /* the record as read, only the request replaced */
            EXPECT_EQ(0, memcmp((BYTE *)&r + 4, (BYTE *)&read + 4, 16)) << "online write " << onlineWrites;
            EXPECT_EQ(modeWritten ? 1u : 2u, r.request) << "online write " << onlineWrites;
            onlineWrites++;
        } else if (c.operation == SIM_OP_LAL_SET && c.object == OBJ_POWER_CYCLE) {
            EXPECT_EQ(4u, c.size);
            EXPECT_EQ(1u, RecordOf<PowerCycleRecord>(c).request);
        } else if (c.operation == SIM_OP_CAL_SET_COMPONENT) {
            HcoConfigRecord r = RecordOf<HcoConfigRecord>(c);
            EXPECT_EQ(692u, c.size);
            EXPECT_EQ(0x101u, c.component);
            if (!modeWritten) {
                EXPECT_EQ(1u, r.fieldMask);
                EXPECT_EQ(target, r.mode);
                for (const HcoBinRecord &b : r.bins)
                    EXPECT_EQ(0u, b.fieldMask);
                modeWritten = true;
                continue;
            }
            /* the bin name reset for the new mode */
            EXPECT_EQ(2u, r.fieldMask);
            EXPECT_EQ(0u, r.mode);
            EXPECT_EQ(target == 2 ? 9u : 2u, r.binCount);
            const char *single = target == 1 ? "CARRELLO" : "SEPARATORE DELLE OPERAZIONI DI";
            for (int k = 0; k < 9; k++) {
                EXPECT_EQ(DWORD(k + 3), r.bins[k].binNumber);
                std::string name = r.bins[k].name;
                std::string want = k == 0 ? "Scomp. testo verso l'alto"
                                 : target == 2 ? "MAILBOX " + std::to_string(k)
                                 : k == 1 ? single : "";
                EXPECT_EQ(want, name) << "reset bin " << k;
                EXPECT_EQ(want.empty() ? 0u : 2u, r.bins[k].fieldMask) << "reset bin " << k;
            }
        }
    }
}

/* Binpanel's SetCursor calls: the cursor set and the one it replaced. */
struct CursorCall {
    HCURSOR set;
    HCURSOR replaced;
};
std::vector<CursorCall> g_cursors;

HCURSOR WINAPI RecordSetCursor(HCURSOR cursor)
{
    HCURSOR replaced = SetCursor(cursor);
    g_cursors.push_back({ cursor, replaced });
    return replaced;
}

/* Each wait cursor is followed by the cursor shown before it; one around the offline
 * request and one around the mode write, when they are made. */
void ExpectWaitCursorsGivenBack(const std::vector<ExpectedCall> &calls, HCURSOR shownBefore)
{
    size_t waits = 0;
    for (const ExpectedCall &c : calls) {
        bool modeWrite = c.operation == kWriteHcoConfig.operation && c.object == kWriteHcoConfig.object;
        if (modeWrite || (c.operation == kWriteOnlineState.operation && c.object == kWriteOnlineState.object))
            waits++;
        if (modeWrite)
            break;
    }
    const HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
    size_t seen = 0;
    for (size_t i = 0; i < g_cursors.size(); i++) {
        if (g_cursors[i].set != wait)
            continue;
        seen++;
        EXPECT_EQ(shownBefore, g_cursors[i].replaced) << "wait cursor " << seen << " replaced another cursor";
        ASSERT_LT(i + 1, g_cursors.size()) << "wait cursor " << seen << " left on show";
        EXPECT_EQ(shownBefore, g_cursors[i + 1].set) << "the cursor after wait cursor " << seen;
    }
    EXPECT_EQ(waits, seen) << "wait cursors";
    EXPECT_EQ(shownBefore, GetCursor()) << "the cursor on show afterwards";
}

TEST_F(PageTest, ModeChangeOutcomes)
{
    static bool watched = PatchImport(BinpanelModule(), "USER32.dll", "SetCursor", (void *)RecordSetCursor) != nullptr;
    ASSERT_TRUE(watched);
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    const std::vector<ExpectedCall> onlineRun = { kReadOnlineState, kWriteOnlineState, kWriteHcoConfig, kWritePowerCycle, kWriteOnlineState, kWriteHcoConfig };
    const std::vector<ExpectedCall> offlineRun = { kReadOnlineState, kWriteHcoConfig, kWritePowerCycle, kWriteOnlineState, kWriteHcoConfig };
    const ModeCase cases[] = {
        { "online, confirmed", 2, 1, IDC_MODE_STACKER, 1, { IDOK }, kNoFault, { { 159, kQuestion } }, onlineRun, true, 1, 1, 1 },
        { "online state unreadable", 2, 1, IDC_MODE_STACKER, 1, {},
          { kReadOnlineState, 0x55, false }, { { 169, kError } }, { kReadOnlineState }, false, -1, 2, 1 },
        { "online, declined", 2, 1, IDC_MODE_STACKER, 1, { IDCANCEL }, kNoFault, { { 159, kQuestion } }, { kReadOnlineState }, false, -1, 2, 1 },
        { "offline request fails", 2, 1, IDC_MODE_JOB_SEPARATOR, 3, { IDOK },
          { kWriteOnlineState, 0x66, false }, { { 159, kQuestion }, { 161, kError } },
          { kReadOnlineState, kWriteOnlineState }, false, -1, 2, 1 },
        { "offline printer to stacker", 2, 0, IDC_MODE_STACKER, 1, { IDOK }, kNoFault, { { 163, kQuestion } }, offlineRun, true, 1, 1, 1 },
        { "offline printer to mailbox", 1, 0, IDC_MODE_MAILBOX, 2, { IDOK }, kNoFault, { { 162, kQuestion } }, offlineRun, true, 1, 2, 1 },
        { "offline printer to job separator", 2, 7, IDC_MODE_JOB_SEPARATOR, 3, { IDOK }, kNoFault, { { 164, kQuestion } }, offlineRun, true, 1, 3, 1 },
        { "offline, declined", 2, 0, IDC_MODE_STACKER, 1, { IDCANCEL }, kNoFault, { { 163, kQuestion } }, { kReadOnlineState }, false, -1, 2, 0 },
        { "mode write refused", 2, 1, IDC_MODE_STACKER, 1, { IDOK },
          { kWriteHcoConfig, 0xFFFF, false }, { { 159, kQuestion }, { 183, kError } },
          { kReadOnlineState, kWriteOnlineState, kWriteHcoConfig, kWriteOnlineState }, false, -1, 2, 1 },
        { "mode write refused on an offline printer", 3, 0, IDC_MODE_MAILBOX, 2, { IDOK },
          { kWriteHcoConfig, 0xFFFF, false }, { { 162, kQuestion }, { 183, kError } },
          { kReadOnlineState, kWriteHcoConfig, kWriteOnlineState }, false, -1, 3, 1 },
        { "mode write with another failure goes on", 2, 1, IDC_MODE_STACKER, 1, { IDOK },
          { kWriteHcoConfig, 0x77, false }, { { 159, kQuestion } }, onlineRun, true, 1, 2, 1 },
        { "power cycle fails", 2, 1, IDC_MODE_STACKER, 1, { IDOK },
          { kWritePowerCycle, 0x88, false }, { { 159, kQuestion }, { 165, kError } }, onlineRun, true, 1, 2, 1 },
        { "bring online fails silently", 2, 1, IDC_MODE_STACKER, 1, { IDOK }, { kWriteOnlineState, 0x99, true }, { { 159, kQuestion } }, onlineRun, true, 1, 1, 0 },
        { "name reset fails", 2, 1, IDC_MODE_STACKER, 1, { IDOK }, { kWriteHcoConfig, 0x99, true }, { { 159, kQuestion }, { 167, kError } }, onlineRun, true, 1, 1, 1 },
    };
    for (const ModeCase &c : cases) {
        SCOPED_TRACE(c.what);
        SimPrinter printer = DefaultPrinter();
        printer.mode = c.fromMode;
        printer.online = c.online;
        Open(printer);
        OnlineStateRecord read;
        SimPeekObject(1, OBJ_ONLINE_STATE, &read, sizeof read);
        if (c.fault.status && !c.fault.afterWait)
            FailNext(c.fault.call, 1, c.fault.status);
        SimLogClear();
        UiScript ui(c.answers);
        int boxesAtWait = -1;
        ui.onWaitDialog = [&](HWND dialog) {
            boxesAtWait = (int)ui.boxes.size();
            if (c.fault.status && c.fault.afterWait)
                FailNext(c.fault.call, 1, c.fault.status);
            PostTimerTicks(dialog, 32);
        };
        SetCursor(arrow);
        g_cursors.clear();
        SendMessageA(Item(c.radio), BM_CLICK, 0, 0);

        ExpectBoxes(c.boxes, ui.boxes, TestFrame());
        ExpectWaitCursorsGivenBack(c.calls, arrow);
        std::vector<SimCall> calls = DeviceCalls();
        /* after a change the page re-reads the configuration and refills the destination list */
        std::vector<ExpectedCall> expected = c.calls;
        if (c.changed) {
            expected.push_back(kReadHcoConfig);
            expected.push_back(kReadPaperDestination);
        }
        ExpectCalls(expected, calls);
        ExpectWriteFields(calls, c.target, read);
        EXPECT_EQ(c.boxesBeforeWait, boxesAtWait);
        EXPECT_EQ(c.boxesBeforeWait < 0 ? 0 : 1, ui.waitDialogs);
        int shown = c.changed ? c.radio : (c.fromMode == 1 ? IDC_MODE_STACKER : c.fromMode == 2 ? IDC_MODE_MAILBOX : IDC_MODE_JOB_SEPARATOR);
        for (int radio : { IDC_MODE_MAILBOX, IDC_MODE_JOB_SEPARATOR, IDC_MODE_STACKER })
            EXPECT_EQ(radio == shown, Checked(radio)) << "radio " << radio;

        SimPrinter after;
        SimPrinterAt(0, &after);
        EXPECT_EQ(c.printerMode, after.mode) << "the printer's mode afterwards";
        EXPECT_EQ(c.printerOnline, after.online) << "the printer's online state afterwards";
        DestroyWindow(page);
        page = nullptr;
    }
}

/* A page that knows no component of the accessory has nowhere to write a mode or names:
 * the change stops at its first step, before any question, and the apply leaves the
 * names alone. */
TEST_F(PageTest, WithoutTheAccessorysComponentNothingIsWrittenToIt)
{
    const struct {
        const char *what;
        void (*after)();
    } cases[] = {
        { "component list unreadable", [] { FailNext(kReadComponentList, 1, 0x42); } },
        { "component list empty", [] {
              ComponentListRecord empty = {};
              SimPokeObject(1, OBJ_COMPONENT_LIST, &empty, sizeof empty);
          } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SimPrinter printer = DefaultPrinter();
        printer.device = 1;
        UsePrinters({ printer });
        c.after();
        page = CreatePage(TestFrame(), 1);
        ASSERT_NE(nullptr, page);
        Type("Archivio");
        SimLogClear();
        UiScript ui({ IDOK });
        SendMessageA(Item(IDC_MODE_STACKER), BM_CLICK, 0, 0);
        ExpectBoxes({ { 169, kError } }, ui.boxes, TestFrame());
        EXPECT_EQ(0, ui.waitDialogs);
        EXPECT_TRUE(DeviceCalls().empty()) << DeviceCalls().size() << " device calls";
        EXPECT_TRUE(Checked(IDC_MODE_MAILBOX));
        EXPECT_FALSE(Checked(IDC_MODE_STACKER));
        EXPECT_TRUE(Enabled(IDC_NAME_EDIT));
        Apply();
        EXPECT_TRUE(DeviceCalls().empty()) << "the apply wrote to no component";
        DestroyWindow(page);
        page = nullptr;
    }
}

/* The change's questions and errors are modal to the top-level window that holds what
 * the user clicked in: the stand-alone dialog itself, with or without an owner (for the
 * page, its host's window); that window is disabled while they are on show. */
TEST_F(PageTest, MessageBoxesAreModalToTheWindowTheChangeStartedIn)
{
    Open(DefaultPrinter());
    DestroyWindow(page);
    page = nullptr;
    for (HWND parent : { TestFrame(), (HWND) nullptr }) {
        SCOPED_TRACE(parent ? "dialog with an owner" : "dialog without an owner");
        UiScript ui({ IDCANCEL });
        HWND shown = nullptr;
        RunStandAloneDialog([&](HWND dialog) {
            shown = dialog;
            SendMessageA(GetDlgItem(dialog, IDC_MODE_STACKER), BM_CLICK, 0, 0);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }, parent);
        ASSERT_EQ(1u, ui.boxes.size());
        EXPECT_EQ(shown, ui.boxes[0].owner);
        EXPECT_TRUE(ui.boxes[0].ownerDisabled);
    }
}

TEST_F(PageTest, ClickingTheCurrentModesRadioStartsNothing)
{
    Open(DefaultPrinter());
    SimLogClear();
    UiScript ui;
    SendMessageA(Item(IDC_MODE_MAILBOX), BM_CLICK, 0, 0);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(DeviceCalls().empty());
    EXPECT_TRUE(Checked(IDC_MODE_MAILBOX));
}

} // namespace
