/* The apply: what the host's 1690 and 1692 write, from what the user did on the page. */
#include "page_fixture.h"

namespace {


TEST_F(PageTest, RenamingMailbox3AndApplyingSendsOneRecordWithOnlyThatName)
{
    Open(DefaultPrinter());
    Pick(IDC_BIN_LIST, 2);
    Type("Acquisti");
    SimLogClear();
    EXPECT_EQ(1u, Apply(1690));
    std::vector<SimCall> calls = DeviceCalls();
    ExpectCalls({ kWriteHcoConfig }, calls);
    ASSERT_EQ(1u, calls.size());
    HcoConfigRecord r = RecordOf<HcoConfigRecord>(calls[0]);
    EXPECT_EQ(0x101u, calls[0].component);
    EXPECT_EQ(692u, calls[0].size);
    EXPECT_EQ(0u, calls[0].zero);
    EXPECT_EQ(2u, r.fieldMask);
    EXPECT_EQ(9u, r.binCount);
    EXPECT_EQ(0u, r.mode);
    for (int k = 0; k < 9; k++) {
        EXPECT_EQ(DWORD(k + 3), r.bins[k].binNumber);
        EXPECT_EQ(k == 3 ? 2u : 0u, r.bins[k].fieldMask) << "record " << k;
        EXPECT_STREQ(k == 3 ? "Acquisti" : "", r.bins[k].name) << "record " << k;
    }
    HcoConfigRecord blank = {};
    EXPECT_EQ(0, memcmp(r.reserved1, blank.reserved1, sizeof r.reserved1));
    SimPrinter after;
    SimPrinterAt(0, &after);
    EXPECT_STREQ("Acquisti", after.binNames[3]);
    EXPECT_STREQ("Amministrazione", after.binNames[1]);
}

struct ApplyCase {
    const char *name;
    void (*act)(PageTest &);
    std::vector<ExpectedCall> writes;
    int timeoutSeconds; /* of the timeout write, when there is one */
    DWORD destination;  /* of the destination write, when there is one */
};

void PrintTo(const ApplyCase &c, std::ostream *os) { *os << c.name; }

class ApplyTest : public PageTest, public ::testing::WithParamInterface<ApplyCase> {
public:
    using PageTest::Pick;
    using PageTest::Type;
};

ApplyTest &As(PageTest &t) { return static_cast<ApplyTest &>(t); }

const ApplyCase kApplyCases[] = {
    { "NothingChanged", [](PageTest &) {}, {}, 0, 0 },
    { "Timeout0", [](PageTest &t) { As(t).Pick(IDC_TIMEOUT_COMBO, 0); }, { kWriteAutoContinue }, 0, 0 },
    { "Timeout7IsUnlimited", [](PageTest &t) { As(t).Pick(IDC_TIMEOUT_COMBO, 7); }, { kWriteAutoContinue }, -1, 0 },
    { "TimeoutPickedBackIsWrittenAnyway",
      [](PageTest &t) { As(t).Pick(IDC_TIMEOUT_COMBO, 4); As(t).Pick(IDC_TIMEOUT_COMBO, 2); }, { kWriteAutoContinue }, 600, 0 },
    { "DestinationPicked", [](PageTest &t) { As(t).Pick(IDC_DESTINATION_COMBO, 1); }, { kWritePaperDestination }, 0, 3 },
    { "DestinationPickedThenARename",
      [](PageTest &t) { As(t).Pick(IDC_DESTINATION_COMBO, 1); As(t).Type("Acquisti"); },
      { kWriteHcoConfig, kWritePaperDestination }, 0, 3 },
    { "DestinationPickedAndPickedBack",
      [](PageTest &t) { As(t).Pick(IDC_DESTINATION_COMBO, 0); As(t).Pick(IDC_DESTINATION_COMBO, 4); }, {}, 0, 0 },
    { "Everything",
      [](PageTest &t) {
          As(t).Pick(IDC_TIMEOUT_COMBO, 6);
          As(t).Pick(IDC_BIN_LIST, 7);
          As(t).Type("Archivio");
          As(t).Pick(IDC_DESTINATION_COMBO, 0);
      },
      { kWriteAutoContinue, kWriteHcoConfig, kWritePaperDestination }, 3600, 20 },
};

TEST_P(ApplyTest, WritesOnlyWhatTheUserChanged)
{
    const ApplyCase &c = GetParam();
    Open(DefaultPrinter()); /* destination 6: mailbox 3, row 4 */
    c.act(*this);
    for (int round = 0; round < 2; round++) { /* 1690 then 1692 write it all again */
        SimLogClear();
        EXPECT_EQ(1u, Apply(round == 0 ? 1690 : 1692));
        std::vector<SimCall> calls = DeviceCalls();
        ExpectCalls(c.writes, calls);
        for (const SimCall &call : calls) {
            if (call.object == OBJ_AUTO_CONTINUE) {
                AutoContinueRecord fresh = {};
                fresh.fieldMask = 8;
                fresh.timeoutSeconds = c.timeoutSeconds;
                EXPECT_EQ(0, memcmp(&fresh, call.record, sizeof fresh)) << "a fresh record with only the timeout";
            } else if (call.object == OBJ_PAPER_DESTINATION) {
                PaperDestinationRecord asRead;
                SimPeekObject(1, OBJ_PAPER_DESTINATION, &asRead, sizeof asRead);
                asRead.destination = c.destination;
                EXPECT_EQ(0, memcmp(&asRead, call.record, sizeof asRead)) << "the record as read, destination replaced";
            }
        }
    }
}

TEST_F(PageTest, APageClosedWithTheNameEditFocusedLeavesNoRenameBehind)
{
    SimPrinter printer = DefaultPrinter();
    lstrcpyA(printer.binNames[1], "Amministrazione centrale");
    Open(printer);
    SetFocus(Item(IDC_NAME_EDIT));
    DestroyWindow(page);
    page = CreatePage(TestFrame(), 1);
    SimLogClear();
    Apply();
    EXPECT_TRUE(DeviceWrites().empty());
    SimPrinter after;
    SimPrinterAt(0, &after);
    EXPECT_STREQ("Amministrazione centrale", after.binNames[1]);
}

/* The model outlives its pages: what one page changed must not be written by the next. */
TEST_F(PageTest, ALaterPageWritesNothingItsUserLeftUntouched)
{
    SimPrinter a = DefaultPrinter(), b = DefaultPrinter();
    a.device = 1;
    b.device = 2;
    b.timeoutSeconds = 450; /* shown as the next longer choice, 600 s */
    lstrcpyA(b.binNames[1], "Amministrazione centrale");
    UsePrinters({ a, b });

    page = CreatePage(TestFrame(), 1);
    Pick(IDC_BIN_LIST, 2);
    Type("Acquisti");
    Pick(IDC_TIMEOUT_COMBO, 3);
    Pick(IDC_DESTINATION_COMBO, 1);
    SimLogClear();
    Apply();
    ExpectCalls({ kWriteAutoContinue, kWriteHcoConfig, kWritePaperDestination });
    DestroyWindow(page);

    page = CreatePage(TestFrame(), 2);
    ASSERT_NE(nullptr, page);
    for (UINT message : { 1690u, 1692u }) {
        SimLogClear();
        EXPECT_EQ(1u, Apply(message));
        EXPECT_TRUE(DeviceCalls().empty()) << "message " << message;
    }
    SimPrinter after;
    SimPrinterAt(1, &after);
    EXPECT_EQ(450, after.timeoutSeconds);
    EXPECT_STREQ("Amministrazione centrale", after.binNames[1]);
}

/* The stand-alone dialog's OK after an earlier page changed names, a timeout and a
 * destination: only what was changed in the dialog, its timeout, is written. */
TEST_F(PageTest, TheStandAloneDialogWritesOnlyWhatWasChangedInIt)
{
    Open(DefaultPrinter());
    Pick(IDC_BIN_LIST, 0);
    Type("Posta");
    Pick(IDC_TIMEOUT_COMBO, 1);
    Pick(IDC_DESTINATION_COMBO, 1);
    DestroyWindow(page);
    page = nullptr;

    EXPECT_EQ(IDOK, RunStandAloneDialog([](HWND dialog) {
        HWND combo = GetDlgItem(dialog, IDC_TIMEOUT_COMBO);
        SendMessageA(combo, CB_SETCURSEL, 5, 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_TIMEOUT_COMBO, CBN_SELCHANGE), (LPARAM)combo);
        SimLogClear();
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }));
    std::vector<SimCall> calls = DeviceCalls();
    ExpectCalls({ kWriteAutoContinue }, calls);
    if (!calls.empty())
        EXPECT_EQ(2700, RecordOf<AutoContinueRecord>(calls[0]).timeoutSeconds);
}

INSTANTIATE_TEST_SUITE_P(Apply, ApplyTest, ::testing::ValuesIn(kApplyCases),
                         [](const ::testing::TestParamInfo<ApplyCase> &info) { return std::string(info.param.name); });

TEST_F(PageTest, NoDestinationIsWrittenWithoutAGoodReadOfTheRecord)
{
    SimPrinter printer = DefaultPrinter();
    printer.device = 1;
    UsePrinters({ printer });
    FailNext(kReadPaperDestination, 2, 0xFFFF);
    page = CreatePage(TestFrame(), 1);
    Pick(IDC_DESTINATION_COMBO, 1);
    SimLogClear();
    Apply();
    EXPECT_TRUE(DeviceCalls().empty()) << "a record of zeros would wipe the printer's";
}

/* Found by the page-action sessions (seed 1847960727): a page of another printer whose
 * component list cannot be read must not write with the first printer's component. */
TEST_F(PageTest, APageWhoseComponentListFailsWritesToNoOtherPrintersComponent)
{
    SimPrinter first = DefaultPrinter(), second = DefaultPrinter();
    first.device = 1;
    second.device = 2;
    second.componentId = 0x2A7;
    UsePrinters({ first, second });
    page = CreatePage(TestFrame(), 1);
    DestroyWindow(page);
    FailNext(kReadComponentList, 1, 0x1234);
    page = CreatePage(TestFrame(), 2);
    ASSERT_NE(nullptr, page);
    Pick(IDC_BIN_LIST, 0);
    Type("0");
    SimLogClear();
    Apply(1692);
    for (const SimCall &c : DeviceCalls())
        if (c.operation == SIM_OP_CAL_SET_COMPONENT || c.operation == SIM_OP_CAL_GET_COMPONENT)
            EXPECT_NE(0x101u, c.component) << DescribeCall(c.operation, c.object) << " to device " << c.device;
}

/* Found by the page-action sessions (seed 257252390): a mailbox picked as the destination,
 * then a mode change whose read of the destination afterwards fails. The new mode has no
 * row for that mailbox, and the printer has moved its destination itself. */
TEST_F(PageTest, AMailboxPickedBeforeAModeChangeIsNotWrittenInTheNewMode)
{
    Open(DefaultPrinter());
    Pick(IDC_DESTINATION_COMBO, 7);
    UiScript ui;
    FailNext(kReadPaperDestination, 1, 0xFFFF);
    SendMessageA(Item(IDC_MODE_JOB_SEPARATOR), BM_CLICK, 0, 0);
    ASSERT_TRUE(Checked(IDC_MODE_JOB_SEPARATOR));
    EXPECT_EQ(CB_ERR, SendMessageA(Item(IDC_DESTINATION_COMBO), CB_GETCURSEL, 0, 0)) << "no row shows mailbox 6";
    SimLogClear();
    Apply(1692);
    EXPECT_TRUE(DeviceCalls().empty());
    SimPrinter after;
    SimPrinterAt(0, &after);
    EXPECT_EQ(4u, after.destination) << "the printer's own choice after the mode change";

    /* a row of the new mode picked afterwards is written */
    Pick(IDC_DESTINATION_COMBO, 1);
    SimLogClear();
    Apply(1692);
    ExpectCalls({ kWritePaperDestination }, DeviceCalls());
    SimPrinterAt(0, &after);
    EXPECT_EQ(3u, after.destination);
}

} // namespace
