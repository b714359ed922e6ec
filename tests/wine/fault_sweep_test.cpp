/* Every device call of each user-level operation made to fail in turn, with the failure
 * status 0xFFFF and with another one: nothing crashes, the outcome is the one the failing
 * step calls for, and no write carries a byte the applet did not mean to send. */
#include "page_fixture.h"
#include "page_descriptor.h"

#include <functional>

namespace {

const DWORD kStatuses[] = { 0xFFFF, 0x1234 };


/* Runs `run` once clean and then once for every call it made failing with each status;
 * `run` arms the fault with ArmFault right before the action and logs no device call
 * after it. Returns the clean run's number of calls. */
DWORD SweepFaults(const std::function<void(int fault, DWORD status)> &run)
{
    {
        SCOPED_TRACE("clean run");
        run(-1, 0);
    }
    DWORD calls = SimLogCount();
    for (DWORD status : kStatuses) {
        for (DWORD i = 0; i < calls; i++) {
            SCOPED_TRACE(testing::Message() << "call " << i << " fails with 0x" << std::hex << status);
            run((int)i, status);
            SimClearFaults();
        }
    }
    return calls;
}

void ArmFault(int fault, DWORD status)
{
    SimClearFaults();
    SimLogClear();
    if (fault >= 0)
        SimFailAt((DWORD)fault, status);
}

SimPrinter Printer(DWORD mode, DWORD online)
{
    SimPrinter p = DefaultPrinter();
    p.device = 1;
    p.mode = mode;
    p.online = online;
    return p;
}

std::vector<std::string> Repeated(const std::string &row) { return std::vector<std::string>(8, row); }

std::vector<std::string> DefaultMailboxNames()
{
    std::vector<std::string> rows;
    for (int k = 1; k <= 8; k++)
        rows.push_back("MAILBOX " + std::to_string(k));
    return rows;
}

std::vector<std::string> PrinterMailboxNames(const SimPrinter &p)
{
    std::vector<std::string> rows;
    for (int k = 1; k <= 8; k++)
        rows.push_back(p.binNames[k]);
    return rows;
}

/* ---- what a write may carry ---- */

struct Meant {
    DWORD object;
    std::vector<BYTE> bytes;
};

template <typename R> Meant MeantRecord(DWORD object, const R &record)
{
    const BYTE *b = (const BYTE *)&record;
    return { object, std::vector<BYTE>(b, b + sizeof record) };
}

/* A fresh bin name record: zero but for the count, the numbers and the named bins. */
HcoConfigRecord FreshNames(DWORD binCount, const std::vector<std::pair<int, std::string>> &named)
{
    HcoConfigRecord r;
    memset(&r, 0, sizeof r);
    r.fieldMask = HCO_CONFIG_FIELD_BIN_NAMES;
    r.binCount = binCount;
    for (int k = 0; k < HCO_RECORD_BINS; k++)
        r.bins[k].binNumber = k + 3;
    for (const auto &n : named) {
        r.bins[n.first].fieldMask = HCO_BIN_FIELD_NAME;
        memcpy(r.bins[n.first].name, n.second.c_str(), n.second.size());
    }
    return r;
}

/* Every write must be byte for byte one of the records meant for its object. */
void ExpectOnlyMeantBytes(const std::vector<SimCall> &writes, const std::vector<Meant> &meant)
{
    for (size_t w = 0; w < writes.size(); w++) {
        const SimCall &c = writes[w];
        const Meant *closest = nullptr;
        bool matched = false;
        for (const Meant &m : meant) {
            if (m.object != c.object)
                continue;
            closest = closest ? closest : &m;
            if (c.recordBytes == m.bytes.size() && memcmp(c.record, m.bytes.data(), m.bytes.size()) == 0)
                matched = true;
        }
        if (matched)
            continue;
        if (!closest) {
            ADD_FAILURE() << "write " << w << ": " << DescribeCall(c.operation, c.object) << " was not meant at all";
            continue;
        }
        size_t at = 0;
        while (at < c.recordBytes && at < closest->bytes.size() && c.record[at] == closest->bytes[at])
            at++;
        ADD_FAILURE() << "write " << w << ": " << DescribeCall(c.operation, c.object) << " of " << c.recordBytes
                      << " bytes differs from what was meant first at byte " << at << ": got 0x" << std::hex
                      << (at < c.recordBytes ? (int)c.record[at] : -1) << ", meant 0x"
                      << (at < closest->bytes.size() ? (int)closest->bytes[at] : -1);
    }
}

/* ---- the offer ---- */

typedef DWORD(WINAPI *GetPagesFn)(DWORD, PageDescriptor *, DWORD *, DWORD);

TEST(FaultSweep, OfferingThePage)
{
    GetPagesFn getPages = (GetPagesFn)BinpanelProc("AppletGetTabPages");
    SimReset();
    DWORD calls = SweepFaults([&](int fault, DWORD status) {
        UsePrinters({ Printer(HCO_MODE_MAILBOX, 1) });
        BYTE slot[sizeof(PageDescriptor) + 16];
        memset(slot, 0xCC, sizeof slot);
        DWORD count = 5;
        HCURSOR cursor = SetCursor(LoadCursorA(nullptr, IDC_ARROW));
        ArmFault(fault, status);
        DWORD result = getPages(1, (PageDescriptor *)slot, &count, 1);
        EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), GetCursor()) << "the cursor is given back";
        SetCursor(cursor);

        /* TALModifyAccess answers a mask, so a failure there reads as its bits; the two
         * reads fail the offer with their status */
        bool offered = fault < 0 || (fault == 0 && (status & 1));
        EXPECT_EQ(fault <= 0 ? 0u : status, result);
        EXPECT_EQ(offered ? 6u : 5u, count);
        if (offered)
            EXPECT_EQ(sizeof(PageDescriptor), ((PageDescriptor *)slot)->descriptorSize);
        for (size_t b = offered ? sizeof(PageDescriptor) : 0; b < sizeof slot; b++)
            ASSERT_EQ(0xCC, slot[b]) << "byte " << b << " of the host's memory";
        EXPECT_EQ(size_t(fault == 0 && !offered ? 1 : fault == 1 ? 2 : 3), DeviceCalls().size());
        EXPECT_TRUE(DeviceWrites().empty());
        SimLogEnable(0); /* the calls of the check are not the offer's */
        HWND page = CreatePage(TestFrame(), 1);
        EXPECT_NE(nullptr, page) << "a page still opens after the failed offer";
        DestroyWindow(page);
        SimLogEnable(1);
    });
    EXPECT_EQ(3u, calls);
}

/* ---- opening the page and the stand-alone dialog ---- */

/* What a dialog shows after its initialisation under a fault: a failed capabilities,
 * component list or configuration read leaves the default names; a failed timeout read
 * keeps the timeout shown before; the destination survives either failed read. */
struct Shown {
    std::vector<std::string> bins;
    int timeoutRow = -1;
    int destinationRow = -1;
};

Shown ShownBy(HWND dialog)
{
    Shown s;
    s.bins = ListRows(GetDlgItem(dialog, IDC_BIN_LIST), false);
    s.timeoutRow = (int)SendDlgItemMessageA(dialog, IDC_TIMEOUT_COMBO, CB_GETCURSEL, 0, 0);
    s.destinationRow = (int)SendDlgItemMessageA(dialog, IDC_DESTINATION_COMBO, CB_GETCURSEL, 0, 0);
    return s;
}

const ExpectedCall kOpenCalls[] = {
    kReadAutoContinue, kReadOutputCapabilities,
    kReadComponentList, kReadHcoConfig, kReadPaperDestination,
};

void ExpectShownAfterOpen(const Shown &shown, const Shown &before, int fault, const SimPrinter &printer)
{
    bool modelDefaults = fault >= 1 && fault <= 3;
    EXPECT_EQ(modelDefaults ? DefaultMailboxNames() : PrinterMailboxNames(printer), shown.bins);
    /* timeouts alternate between 0 and 600 s from one opening to the next */
    int loadedRow = printer.timeoutSeconds == 0 ? 0 : 2;
    EXPECT_EQ(fault == 0 ? before.timeoutRow : loadedRow, shown.timeoutRow) << "timeout row";
    EXPECT_EQ(4, shown.destinationRow) << "mailbox 3, the printer's destination";
}

TEST_F(PageTest, FaultSweepOpeningThePage)
{
    GetPagesFn getPages = (GetPagesFn)BinpanelProc("AppletGetTabPages");
    Shown before;
    bool zeroSeconds = false;
    DWORD calls = SweepFaults([&](int fault, DWORD status) {
        SimPrinter printer = Printer(HCO_MODE_MAILBOX, 1);
        printer.timeoutSeconds = zeroSeconds ? 0 : 600;
        zeroSeconds = !zeroSeconds;
        UsePrinters({ printer });
        PageDescriptor descriptor = {};
        DWORD count = 0;
        ASSERT_EQ(0u, getPages(1, &descriptor, &count, 1));
        ArmFault(fault, status);
        page = CreateDialogParamA(descriptor.instance, MAKEINTRESOURCEA(descriptor.templateId), TestFrame(),
                                  descriptor.dialogProc, (LPARAM)&descriptor);
        ASSERT_NE(nullptr, page) << "the page opens whatever the printer answers";
        Shown shown = ShownBy(page);
        if (fault < 0)
            ExpectCalls(std::vector<ExpectedCall>(std::begin(kOpenCalls), std::end(kOpenCalls)));
        else
            ExpectShownAfterOpen(shown, before, fault, printer);
        EXPECT_TRUE(DeviceWrites().empty());
        before = shown;
        DestroyWindow(page);
        page = nullptr;
    });
    EXPECT_EQ(5u, calls);
}

TEST_F(PageTest, FaultSweepOpeningTheStandAloneDialog)
{
    /* the dialog works on the printer of the last page opened */
    Open(Printer(HCO_MODE_MAILBOX, 1));
    DestroyWindow(page);
    page = nullptr;
    Shown before;
    before.timeoutRow = 2; /* 600 s */
    bool zeroSeconds = true;
    DWORD calls = SweepFaults([&](int fault, DWORD status) {
        SimPrinter printer = Printer(HCO_MODE_MAILBOX, 1);
        printer.timeoutSeconds = zeroSeconds ? 0 : 600;
        zeroSeconds = !zeroSeconds;
        UsePrinters({ printer });
        ArmFault(fault, status);
        Shown shown;
        EXPECT_EQ(IDCANCEL, RunStandAloneDialog([&](HWND dialog) {
            shown = ShownBy(dialog);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        })) << "the dialog opens and ends with Annulla";
        if (fault < 0)
            ExpectCalls(std::vector<ExpectedCall>(std::begin(kOpenCalls), std::end(kOpenCalls)));
        else
            ExpectShownAfterOpen(shown, before, fault, printer);
        EXPECT_TRUE(DeviceWrites().empty());
        before = shown;
    });
    EXPECT_EQ(5u, calls);
}

/* ---- the mode change ---- */

/* One step of the mode change as a clean run makes it, and what its failure shows. */
enum OnFailure { GoesOn, Stops, StopsOnRefusal };
struct ModeStep {
    ExpectedCall call;
    UINT error; /* string shown when the step fails; 0: silent */
    OnFailure rule;
};

const std::vector<ModeStep> kFromOnline = {
    { kReadOnlineState, 169, Stops }, { kWriteOnlineState, 161, Stops }, { kWriteHcoConfig, 183, StopsOnRefusal },
    { kWritePowerCycle, 165, GoesOn }, { kWriteOnlineState, 0, GoesOn }, { kWriteHcoConfig, 167, GoesOn },
    { kReadHcoConfig, 0, GoesOn }, { kReadPaperDestination, 0, GoesOn },
};
const std::vector<ModeStep> kFromOffline = {
    { kReadOnlineState, 169, Stops }, { kWriteHcoConfig, 183, StopsOnRefusal }, { kWritePowerCycle, 165, GoesOn },
    { kWriteOnlineState, 0, GoesOn }, { kWriteHcoConfig, 167, GoesOn }, { kReadHcoConfig, 0, GoesOn },
    { kReadPaperDestination, 0, GoesOn },
};

struct ModeSweep {
    const char *what;
    DWORD fromMode;
    DWORD online;
    int fromRadio;
    int radio;
    DWORD target;
    UINT question;
    const std::vector<ModeStep> &steps;
};

std::string StringOf(UINT id)
{
    char text[512];
    int n = LoadStringA(BinpanelModule(), id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

std::vector<Meant> MeantByModeChange(const OnlineStateRecord &read, DWORD target)
{
    OnlineStateRecord offline = read, online = read;
    offline.request = ONLINE_REQUEST_OFFLINE;
    online.request = ONLINE_REQUEST_ONLINE;
    HcoConfigRecord mode;
    memset(&mode, 0, sizeof mode);
    mode.fieldMask = HCO_CONFIG_FIELD_MODE;
    mode.mode = target;
    std::vector<std::pair<int, std::string>> names = { { 0, "Scomp. testo verso l'alto" } };
    if (target == HCO_MODE_MAILBOX)
        for (int k = 1; k <= 8; k++)
            names.push_back({ k, "MAILBOX " + std::to_string(k) });
    else
        names.push_back({ 1, "CARRELLO" });
    PowerCycleRecord cycle = { POWER_CYCLE_REQUEST };
    return { MeantRecord(OBJ_ONLINE_STATE, offline), MeantRecord(OBJ_ONLINE_STATE, online),
             MeantRecord(OBJ_HCO_CONFIG, mode), MeantRecord(OBJ_POWER_CYCLE, cycle),
             MeantRecord(OBJ_HCO_CONFIG, FreshNames(target == HCO_MODE_MAILBOX ? 9 : 2, names)) };
}

void SweepModeChange(HWND &page, const ModeSweep &m)
{
    DWORD calls = SweepFaults([&](int fault, DWORD status) {
        SimPrinter printer = Printer(m.fromMode, m.online);
        UsePrinters({ printer });
        page = CreatePage(TestFrame(), 1);
        ASSERT_NE(nullptr, page);
        OnlineStateRecord read;
        SimPeekObject(1, OBJ_ONLINE_STATE, &read, sizeof read);
        std::vector<std::string> rowsBefore = ListRows(GetDlgItem(page, IDC_BIN_LIST), false);
        UiScript ui;
        int boxesAtWait = -1;
        ui.onWaitDialog = [&](HWND dialog) {
            boxesAtWait = (int)ui.boxes.size();
            PostTimerTicks(dialog, 32);
        };
        ArmFault(fault, status);
        SendMessageA(GetDlgItem(page, m.radio), BM_CLICK, 0, 0);

        /* what the failing step calls for */
        const ModeStep *failed = fault >= 0 ? &m.steps[fault] : nullptr;
        bool stops = failed && (failed->rule == Stops || (failed->rule == StopsOnRefusal && status == 0xFFFF));
        std::vector<ExpectedCall> expectedCalls;
        for (size_t i = 0; i < m.steps.size() && (!stops || (int)i <= fault); i++)
            expectedCalls.push_back(m.steps[i].call);
        if (stops && failed->rule == StopsOnRefusal)
            expectedCalls.push_back(kWriteOnlineState); /* the printer is asked back online */
        std::vector<std::string> boxes;
        if (fault != 0)
            boxes.push_back(StringOf(m.question));
        if (failed && failed->error && (failed->rule != StopsOnRefusal || stops))
            boxes.push_back(StringOf(failed->error));

        ExpectCalls(expectedCalls);
        std::vector<std::string> shown;
        for (const MessageBoxSeen &b : ui.boxes)
            shown.push_back(b.text);
        EXPECT_EQ(boxes, shown);
        EXPECT_EQ(stops ? 0 : 1, ui.waitDialogs);
        if (!stops)
            EXPECT_EQ(1, boxesAtWait) << "errors after the power cycle come after the wait";
        bool changed = !stops;
        for (int radio : { IDC_MODE_MAILBOX, IDC_MODE_JOB_SEPARATOR, IDC_MODE_STACKER })
            EXPECT_EQ(radio == (changed ? m.radio : m.fromRadio), IsDlgButtonChecked(page, radio) == BST_CHECKED) << "radio " << radio;
        /* a failed reset leaves the printer's own names, and the page reads them back */
        bool resetFailed = failed && failed->error == 167;
        std::vector<std::string> rows = !changed ? rowsBefore
                                        : m.target == HCO_MODE_MAILBOX
                                            ? (resetFailed ? PrinterMailboxNames(printer) : DefaultMailboxNames())
                                            : Repeated(resetFailed ? printer.binNames[1] : "CARRELLO");
        EXPECT_EQ(rows, ListRows(GetDlgItem(page, IDC_BIN_LIST), false));
        ExpectOnlyMeantBytes(DeviceWrites(), MeantByModeChange(read, m.target));
        DestroyWindow(page);
        page = nullptr;
    });
    EXPECT_EQ(m.steps.size(), calls);
}

TEST_F(PageTest, FaultSweepModeChangeFromAnOnlinePrinter)
{
    SweepModeChange(page, { "online, mailbox to stacker", HCO_MODE_MAILBOX, 1, IDC_MODE_MAILBOX,
                                   IDC_MODE_STACKER, HCO_MODE_STACKER, 159, kFromOnline });
}

TEST_F(PageTest, FaultSweepModeChangeFromAnOfflinePrinter)
{
    SweepModeChange(page, { "offline, stacker to mailbox", HCO_MODE_STACKER, 0, IDC_MODE_STACKER,
                                   IDC_MODE_MAILBOX, HCO_MODE_MAILBOX, 162, kFromOffline });
}

/* ---- the apply ---- */

/* The changed flags live as long as the library: each fault runs in a process of its own. */
struct ApplyFault {
    int fault; /* -1: the clean run */
    DWORD status;
};

void PrintTo(const ApplyFault &f, std::ostream *os) { *os << f.fault << "/" << std::hex << f.status; }

class ApplyFaultTest : public PageTest, public ::testing::WithParamInterface<ApplyFault> {};

const int kApplyCalls = 3;

TEST_P(ApplyFaultTest, EveryWriteIsMadeAsMeantWhateverFails)
{
    const ApplyFault &f = GetParam();
    Open(Printer(HCO_MODE_MAILBOX, 1));
    /* a rename refills the destinations from the printer: the destination is picked last */
    Pick(IDC_TIMEOUT_COMBO, 6);
    Pick(IDC_BIN_LIST, 7);
    Type("Archivio");
    Pick(IDC_DESTINATION_COMBO, 0);
    PaperDestinationRecord destination;
    SimPeekObject(1, OBJ_PAPER_DESTINATION, &destination, sizeof destination);

    ArmFault(f.fault, f.status);
    EXPECT_EQ(1u, Apply(1690)) << "the host's answer word is 1 whatever the writes give";
    if (f.fault < 0)
        EXPECT_EQ(kApplyCalls, (int)SimLogCount()) << "the table of faults below counts on this";
    /* the statuses are not looked at: a failed write neither stops nor repeats the others */
    ExpectCalls({ kWriteAutoContinue, kWriteHcoConfig, kWritePaperDestination });
    AutoContinueRecord timeout;
    memset(&timeout, 0, sizeof timeout);
    timeout.fieldMask = AUTO_CONTINUE_FIELD_TIMEOUT;
    timeout.timeoutSeconds = 3600;
    destination.destination = BIN_TOP_OUTPUT;
    ExpectOnlyMeantBytes(DeviceWrites(), { MeantRecord(OBJ_AUTO_CONTINUE, timeout),
                                           MeantRecord(OBJ_HCO_CONFIG, FreshNames(9, { { 8, "Archivio" } })),
                                           MeantRecord(OBJ_PAPER_DESTINATION, destination) });
    EXPECT_TRUE(IsWindow(page));
}

std::vector<ApplyFault> ApplyFaults()
{
    std::vector<ApplyFault> faults = { { -1, 0 } };
    for (DWORD status : kStatuses)
        for (int i = 0; i < kApplyCalls; i++)
            faults.push_back({ i, status });
    return faults;
}

INSTANTIATE_TEST_SUITE_P(FaultSweep, ApplyFaultTest, ::testing::ValuesIn(ApplyFaults()),
                         [](const ::testing::TestParamInfo<ApplyFault> &info) {
                             if (info.param.fault < 0)
                                 return std::string("Clean");
                             char name[32];
                             wsprintfA(name, "Call%dStatus%X", info.param.fault, info.param.status);
                             return std::string(name);
                         });

} // namespace
