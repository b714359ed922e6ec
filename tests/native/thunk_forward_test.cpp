/* BRIDGE32's rules against recording substitutes of the platform: the forwarding of a
 * 16-bit call to Reg32Update and the connect at every notification. */
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "bridge_connect.h"
#include "thunk_forward.h"

namespace {

std::vector<std::string> g_calls;
uint32_t g_updateResult;

std::string Hex(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof text, "%08X", value);
    return text;
}

/* A flat address that tells which segmented value it maps; never dereferenced. */
void *FlatOf(uint32_t segmented)
{
    return reinterpret_cast<void *>(uintptr_t(0x40000000) + segmented);
}

std::string Flat(void *flat)
{
    return "flat:" + Hex(uint32_t(reinterpret_cast<uintptr_t>(flat) - 0x40000000));
}

void *RecordMap(uint32_t segmented)
{
    g_calls.push_back("map " + Hex(segmented));
    return FlatOf(segmented);
}

void RecordRelease(uint32_t count, uint32_t *segmented)
{
    std::string call = "release " + std::to_string(count);
    for (uint32_t i = 0; i < count; i++)
        call += " " + Hex(segmented[i]);
    g_calls.push_back(call);
}

void RecordProlog() { g_calls.push_back("prolog"); }
void RecordEpilog() { g_calls.push_back("epilog"); }

uint32_t RecordUpdate(void *first, void *second, void *third, int32_t firstNumber, int32_t secondNumber)
{
    g_calls.push_back("update " + Flat(first) + " " + Flat(second) + " " + Flat(third) + " " +
                      std::to_string(firstNumber) + " " + std::to_string(secondNumber));
    return g_updateResult;
}

const ThunkServices kRecorder = { RecordMap, RecordRelease, RecordProlog, RecordEpilog, RecordUpdate };

/* The block as the 16-bit caller leaves it: first argument pushed first, so highest. */
ArgumentBlock16 CallerStack(uint32_t first, uint32_t second, uint32_t third, uint16_t firstNumber,
                            uint16_t secondNumber)
{
    uint8_t stack[16];
    auto put = [&stack](size_t offset, uint32_t value, size_t size) {
        for (size_t i = 0; i < size; i++)
            stack[offset + i] = uint8_t(value >> (8 * i));
    };
    put(0, secondNumber, 2);
    put(2, firstNumber, 2);
    put(4, third, 4);
    put(8, second, 4);
    put(12, first, 4);
    ArgumentBlock16 block;
    std::memcpy(&block, stack, sizeof block);
    return block;
}

void ExpectCalls(const std::vector<std::string> &expected, const std::string &label)
{
    size_t n = std::max(expected.size(), g_calls.size());
    for (size_t i = 0; i < n; i++) {
        std::string got = i < g_calls.size() ? g_calls[i] : "(none)";
        std::string want = i < expected.size() ? expected[i] : "(none)";
        EXPECT_EQ(want, got) << label << ", step " << i;
    }
}

class ThunkForward : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        g_updateResult = 0;
    }
};

} // namespace

TEST_F(ThunkForward, MapsCallsAndReleasesInTheirOrder)
{
    const struct { uint32_t first, second, third; } cases[] = {
        { 0x11110010, 0x22220020, 0x33330030 },
        { 0x00000000, 0x0047FFFE, 0xFFFF0000 }, /* a null segmented pointer is mapped like any other */
    };
    for (const auto &c : cases) {
        g_calls.clear();
        g_updateResult = 0x12345678;
        ThunkOutcome out = ForwardThunkCall(kRecorder, CallerStack(c.first, c.second, c.third, 7, 9));
        ExpectCalls({ "map " + Hex(c.third), "map " + Hex(c.second), "map " + Hex(c.first), "prolog",
                      "update flat:" + Hex(c.first) + " flat:" + Hex(c.second) + " flat:" + Hex(c.third) + " 7 9",
                      "epilog", "release 3 " + Hex(c.third) + " " + Hex(c.second) + " " + Hex(c.first) },
                    "first " + Hex(c.first));
        EXPECT_EQ(0x12345678u, out.result);
        EXPECT_EQ(16u, out.argumentBytes);
    }
}

TEST_F(ThunkForward, SixteenBitNumbersAreSignExtended)
{
    const struct { uint16_t firstNumber, secondNumber; int32_t first, second; } cases[] = {
        { 0xFFFF, 0x8000, -1, -32768 },
        { 0x8000, 0xFFFF, -32768, -1 },
        { 0x7FFF, 0x0000, 32767, 0 },
        { 0x0001, 0x7FFF, 1, 32767 },
        { 0xFFFE, 0x8001, -2, -32767 },
    };
    for (const auto &c : cases) {
        g_calls.clear();
        ForwardThunkCall(kRecorder, CallerStack(0x00010002, 0x00030004, 0x00050006, c.firstNumber, c.secondNumber));
        ASSERT_EQ(7u, g_calls.size());
        EXPECT_EQ("update flat:00010002 flat:00030004 flat:00050006 " + std::to_string(c.first) + " " +
                      std::to_string(c.second),
                  g_calls[4])
            << Hex(c.firstNumber) << " " << Hex(c.secondNumber);
    }
}

TEST_F(ThunkForward, AnyResultPassesUnchangedAndTheMappingsAreStillReleased)
{
    const uint32_t results[] = { 0, 1, 2, 87, 0x80000000u, 0xFFFFFFFFu };
    for (uint32_t result : results) {
        g_calls.clear();
        g_updateResult = result;
        ThunkOutcome out = ForwardThunkCall(kRecorder, CallerStack(0x00A0000B, 0x00C0000D, 0x00E0000F, 0xFFFF, 1));
        EXPECT_EQ(result, out.result);
        EXPECT_EQ(16u, out.argumentBytes);
        ASSERT_EQ(7u, g_calls.size()) << Hex(result);
        EXPECT_EQ("epilog", g_calls[5]) << Hex(result);
        EXPECT_EQ("release 3 00E0000F 00C0000D 00A0000B", g_calls[6]) << Hex(result);
    }
}

namespace {

struct ConnectCall {
    void *table;
    const char *table16Name, *module16, *module32;
    void *instance;
    uint32_t reason;
};

std::vector<ConnectCall> g_connects;
uint32_t g_connectResult;

uint32_t RecordConnect(void *table, const char *table16Name, const char *module16, const char *module32,
                       void *instance, uint32_t reason)
{
    g_connects.push_back({ table, table16Name, module16, module32, instance, reason });
    return g_connectResult;
}

char g_table[36];
const char g_names[] = "ZorvoReg_ThunkData16\0BRIDGE16.DLL\0BRIDGE32.DLL";
const BridgeConnection kConnection = { g_table, g_names, g_names + 21, g_names + 34 };
void *const kInstance = reinterpret_cast<void *>(uintptr_t(0x10000000));

} // namespace

TEST(BridgeEntry, EveryNotificationConnectsWithTheSameArguments)
{
    g_connects.clear();
    g_connectResult = 1;
    const uint32_t reasons[] = { 1, 2, 3, 0 }; /* process attach, thread attach, thread detach, process detach */
    for (uint32_t reason : reasons)
        EXPECT_EQ(1, BridgeNotify(RecordConnect, kConnection, kInstance, reason)) << reason;
    ASSERT_EQ(4u, g_connects.size());
    for (size_t i = 0; i < 4; i++) {
        const ConnectCall &c = g_connects[i];
        EXPECT_EQ(static_cast<void *>(g_table), c.table) << i;
        EXPECT_EQ(g_names, c.table16Name) << i;
        EXPECT_STREQ("ZorvoReg_ThunkData16", c.table16Name) << i;
        EXPECT_STREQ("BRIDGE16.DLL", c.module16) << i;
        EXPECT_STREQ("BRIDGE32.DLL", c.module32) << i;
        EXPECT_EQ(kInstance, c.instance) << i;
        EXPECT_EQ(reasons[i], c.reason) << i;
    }
}

TEST(BridgeEntry, AnyNonZeroConnectGivesExactlyOne)
{
    const struct { uint32_t connected; int entry; } cases[] = {
        { 0, 0 }, { 1, 1 }, { 2, 1 }, { 0x100, 1 }, { 0x80000000u, 1 }, { 0xFFFFFFFFu, 1 },
    };
    for (const auto &c : cases) {
        g_connectResult = c.connected;
        for (uint32_t reason = 0; reason < 4; reason++)
            EXPECT_EQ(c.entry, BridgeNotify(RecordConnect, kConnection, kInstance, reason))
                << Hex(c.connected) << " reason " << reason;
    }
}
