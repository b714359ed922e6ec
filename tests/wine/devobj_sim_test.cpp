/* The simulated printer: writes take only what their fieldMask names, a mode written
 * becomes the printer's mode only after a power cycle, and bad calls change nothing. */
#include <gtest/gtest.h>
#include "device_log.h"
#include "devobj.h"

namespace {

const DWORD kDevice = 1;
const LONG kAccessory = 0x101;

class SimulatedPrinter : public ::testing::Test {
protected:
    void SetUp() override { SimReset(); }

    HcoConfigRecord Config()
    {
        HcoConfigRecord r;
        EXPECT_EQ(0u, SimPeekObject(kDevice, OBJ_HCO_CONFIG, &r, sizeof r));
        return r;
    }
    DWORD WriteConfig(HcoConfigRecord &r)
    {
        DWORD size = sizeof r;
        return CALSetComponentObject(kDevice, kAccessory, OBJ_HCO_CONFIG, 0, &r, &size);
    }
    DWORD Online()
    {
        OnlineStateRecord r;
        SimPeekObject(kDevice, OBJ_ONLINE_STATE, &r, sizeof r);
        return r.onlineState;
    }
    DWORD Request(DWORD object, DWORD request)
    {
        BYTE record[20] = {};
        *(DWORD *)record = request;
        DWORD size = object == OBJ_POWER_CYCLE ? 4 : 20;
        return LALSetObject(kDevice, object, 0, record, &size);
    }
};

TEST_F(SimulatedPrinter, BinNameWriteChangesOnlyTheNamedBinsAndNotTheMode)
{
    HcoConfigRecord before = Config();
    HcoConfigRecord w = {};
    w.fieldMask = HCO_CONFIG_FIELD_BIN_NAMES;
    w.mode = HCO_MODE_STACKER; /* not carried: the mask names no mode */
    w.binCount = 9;
    for (int k = 0; k < 9; k++)
        w.bins[k].binNumber = k + 3;
    lstrcpyA(w.bins[3].name, "Nuovo nome");
    w.bins[3].fieldMask = HCO_BIN_FIELD_NAME;
    lstrcpyA(w.bins[4].name, "ignorato"); /* no name bit */
    ASSERT_EQ(0u, WriteConfig(w));

    HcoConfigRecord after = Config();
    EXPECT_STREQ("Nuovo nome", after.bins[3].name);
    EXPECT_STREQ(before.bins[4].name, after.bins[4].name);
    EXPECT_EQ(before.mode, after.mode);
    EXPECT_EQ(0u, SimPendingMode(kDevice));
}

TEST_F(SimulatedPrinter, ModeTakesEffectAfterPowerCycleAndPrinterStaysOfflineUntilAsked)
{
    HcoConfigRecord w = {};
    w.fieldMask = HCO_CONFIG_FIELD_MODE;
    w.mode = HCO_MODE_STACKER;
    lstrcpyA(w.bins[1].name, "non portato");
    w.bins[1].fieldMask = HCO_BIN_FIELD_NAME; /* the record's mask does not carry names */
    ASSERT_EQ(0u, Request(OBJ_ONLINE_STATE, ONLINE_REQUEST_OFFLINE));
    EXPECT_EQ(0u, Online());
    ASSERT_EQ(0u, WriteConfig(w));
    EXPECT_EQ(HCO_MODE_MAILBOX, Config().mode);
    EXPECT_STRNE("non portato", Config().bins[1].name);

    ASSERT_EQ(0u, Request(OBJ_POWER_CYCLE, POWER_CYCLE_REQUEST));
    EXPECT_EQ(HCO_MODE_STACKER, Config().mode);
    EXPECT_EQ(0u, Online());
    ASSERT_EQ(0u, Request(OBJ_ONLINE_STATE, ONLINE_REQUEST_ONLINE));
    EXPECT_EQ(1u, Online());
}

/* Paper sent to a mailbox leaves through the single output once the mailboxes are gone;
 * every other destination stays, and a poked record stays as poked until a mode changes. */
TEST_F(SimulatedPrinter, NewModeMovesADestinationTheModeNoLongerHas)
{
    struct Case {
        DWORD mode;
        DWORD before, after;
    } cases[] = {
        { HCO_MODE_STACKER, 6, BIN_HCO_FIRST },
        { HCO_MODE_JOB_SEPARATOR, BIN_HCO_LAST, BIN_HCO_FIRST },
        { 4, 5, BIN_HCO_FIRST }, /* an unknown mode has no mailboxes either */
        { HCO_MODE_STACKER, BIN_HCO_FIRST, BIN_HCO_FIRST },
        { HCO_MODE_STACKER, BIN_TOP_OUTPUT, BIN_TOP_OUTPUT },
        { HCO_MODE_JOB_SEPARATOR, BIN_FACE_UP, BIN_FACE_UP },
        { HCO_MODE_STACKER, 12, 12 },
        { HCO_MODE_MAILBOX, 9, 9 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", destination " << c.before);
        SimReset();
        PaperDestinationRecord d;
        ASSERT_EQ(0u, SimPeekObject(kDevice, OBJ_PAPER_DESTINATION, &d, sizeof d));
        const PaperDestinationRecord read = d;
        d.destination = c.before;
        ASSERT_EQ(0u, SimPokeObject(kDevice, OBJ_PAPER_DESTINATION, &d, sizeof d));
        HcoConfigRecord w = {};
        w.fieldMask = HCO_CONFIG_FIELD_MODE;
        w.mode = c.mode;
        ASSERT_EQ(0u, WriteConfig(w));
        SimPeekObject(kDevice, OBJ_PAPER_DESTINATION, &d, sizeof d);
        EXPECT_EQ(c.before, d.destination) << "moved before the power cycle";

        ASSERT_EQ(0u, Request(OBJ_POWER_CYCLE, POWER_CYCLE_REQUEST));
        SimPeekObject(kDevice, OBJ_PAPER_DESTINATION, &d, sizeof d);
        EXPECT_EQ(c.after, d.destination);
        EXPECT_EQ(0, memcmp(read.reserved1, d.reserved1, sizeof d.reserved1));
        EXPECT_EQ(0, memcmp(read.reserved2, d.reserved2, sizeof d.reserved2));
    }
}

TEST_F(SimulatedPrinter, TimeoutWriteWithoutItsBitChangesNothing)
{
    AutoContinueRecord w = {};
    w.timeoutSeconds = 1234;
    DWORD size = sizeof w;
    ASSERT_EQ(0u, LALSetObject(kDevice, OBJ_AUTO_CONTINUE, 0, &w, &size));
    AutoContinueRecord r;
    SimPeekObject(kDevice, OBJ_AUTO_CONTINUE, &r, sizeof r);
    EXPECT_EQ(600, r.timeoutSeconds);
    w.fieldMask = AUTO_CONTINUE_FIELD_TIMEOUT;
    ASSERT_EQ(0u, LALSetObject(kDevice, OBJ_AUTO_CONTINUE, 0, &w, &size));
    SimPeekObject(kDevice, OBJ_AUTO_CONTINUE, &r, sizeof r);
    EXPECT_EQ(1234, r.timeoutSeconds);
}

TEST_F(SimulatedPrinter, BadCallsFailAndWriteNothing)
{
    struct Case {
        const char *what;
        DWORD device, object, size;
        bool nullRecord;
        DWORD status;
    } cases[] = {
        { "size one short", kDevice, OBJ_AUTO_CONTINUE, 55, false, SIM_E_BAD_SIZE },
        { "size one long", kDevice, OBJ_AUTO_CONTINUE, 57, false, SIM_E_BAD_SIZE },
        { "size of another record", kDevice, OBJ_COMPONENT_LIST, 692, false, SIM_E_BAD_SIZE },
        { "unknown object", kDevice, 0x00210099, 56, false, SIM_E_UNKNOWN_OBJECT },
        { "unknown device", 77, OBJ_AUTO_CONTINUE, 56, false, SIM_E_UNKNOWN_DEVICE },
        { "null record", kDevice, OBJ_AUTO_CONTINUE, 56, true, SIM_E_NULL_RECORD },
    };
    for (const Case &c : cases) {
        BYTE buffer[1024];
        memset(buffer, 0xCC, sizeof buffer);
        DWORD size = c.size;
        EXPECT_EQ(c.status, LALGetObject(c.device, c.object, 0, c.nullRecord ? nullptr : buffer, &size)) << c.what;
        for (BYTE b : buffer)
            ASSERT_EQ(0xCC, b) << c.what << ": the buffer was written";
    }
    PeripheralInfoRecord peripheral = {};
    DWORD size = sizeof peripheral;
    EXPECT_EQ(SIM_E_NOT_WRITABLE, LALSetObject(kDevice, OBJ_PERIPHERAL_INFO, 0, &peripheral, &size));
}

TEST_F(SimulatedPrinter, InjectedFaultsHitTheNamedCallsOnly)
{
    SimFailNext(SIM_OP_LAL_GET, OBJ_ONLINE_STATE, 2, 0xFFFF);
    OnlineStateRecord r;
    DWORD size = sizeof r;
    EXPECT_EQ(0xFFFFu, LALGetObject(kDevice, OBJ_ONLINE_STATE, 0, &r, &size));
    EXPECT_EQ(0u, PALGetObject(kDevice, OBJ_PAPER_DESTINATION, 0, nullptr, &size) == SIM_E_NULL_RECORD ? 0u : 1u);
    EXPECT_EQ(0xFFFFu, LALGetObject(kDevice, OBJ_ONLINE_STATE, 0, &r, &size));
    EXPECT_EQ(0u, LALGetObject(kDevice, OBJ_ONLINE_STATE, 0, &r, &size));
    EXPECT_EQ(1u, r.onlineState);
    ExpectCalls({ { SIM_OP_LAL_GET, OBJ_ONLINE_STATE }, { SIM_OP_PAL_GET, OBJ_PAPER_DESTINATION },
                  { SIM_OP_LAL_GET, OBJ_ONLINE_STATE }, { SIM_OP_LAL_GET, OBJ_ONLINE_STATE } });
}

TEST_F(SimulatedPrinter, ReadBackRecordsKeepTheirUninterpretedBytes)
{
    PaperDestinationRecord r;
    DWORD size = sizeof r;
    ASSERT_EQ(0u, PALGetObject(kDevice, OBJ_PAPER_DESTINATION, 0, &r, &size));
    r.destination = 20;
    ASSERT_EQ(0u, CALSetObject(kDevice, OBJ_PAPER_DESTINATION, 0, &r, &size));
    SimCall last;
    SimLogEntry(SimLogCount() - 1, &last);
    EXPECT_EQ(0, memcmp(&r, last.record, sizeof r));
    EXPECT_EQ(384u, last.size);
    PaperDestinationRecord again;
    SimPeekObject(kDevice, OBJ_PAPER_DESTINATION, &again, sizeof again);
    EXPECT_EQ(20u, again.destination);
}

TEST_F(SimulatedPrinter, ScenarioFileDescribesPrinters)
{
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    lstrcatA(path, "devobj_scenario_test.ini");
    WritePrivateProfileStringA("Scenario", "Printers", "2", path);
    WritePrivateProfileStringA("Printer1", "Device", "5", path);
    WritePrivateProfileStringA("Printer1", "Mode", "1", path);
    WritePrivateProfileStringA("Printer1", "Bin1Name", "Primo", path);
    WritePrivateProfileStringA("Printer2", "Device", "6", path);
    WritePrivateProfileStringA("Printer2", "Accessory", "0", path);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
    ASSERT_EQ(2u, SimLoadScenario(path));
    DeleteFileA(path);

    SimPrinter p;
    ASSERT_EQ(0u, SimPrinterAt(0, &p));
    EXPECT_EQ(5u, p.device);
    EXPECT_EQ(HCO_MODE_STACKER, p.mode);
    EXPECT_STREQ("Primo", p.binNames[1]);
    EXPECT_EQ(1u, p.hasAccessory);
    ASSERT_EQ(0u, SimPrinterAt(1, &p));
    EXPECT_EQ(0u, p.hasAccessory);
}

} // namespace

namespace {

TEST_F(SimulatedPrinter, ASweptFaultHitsExactlyTheCallItCountsTo)
{
    for (DWORD at = 0; at < 3; at++) {
        SimLogClear();
        SimFailAt(at, 0x1234);
        OnlineStateRecord r;
        for (int i = 0; i < 4; i++) {
            DWORD size = i == 1 ? 3 : sizeof r; /* a bad call counts too */
            LALGetObject(kDevice, OBJ_ONLINE_STATE, 0, &r, &size);
        }
        std::vector<SimCall> calls = DeviceCalls();
        for (DWORD i = 0; i < calls.size(); i++) {
            DWORD expected = i == 1 ? SIM_E_BAD_SIZE : i == at ? 0x1234u : 0u;
            EXPECT_EQ(expected, calls[i].status) << "fault at " << at << ", call " << i;
        }
    }
}

} // namespace
