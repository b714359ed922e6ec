/* BRIDGE32's entry: the connect to its 16-bit half at every notification, against a
 * recording substitute of the platform's connect service. */
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <vector>
#include "bridge_connect.h"

namespace {

std::string Hex(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof text, "%08X", value);
    return text;
}

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
