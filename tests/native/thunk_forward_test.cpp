/* BRIDGE32's forwarding of a 16-bit call to Reg32Update, against recording substitutes
 * of the platform's mapping services. */
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
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
