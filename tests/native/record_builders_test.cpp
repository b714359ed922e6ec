/* The records the applet writes fresh: zero but for the fields their masks name. */
#include <gtest/gtest.h>
#include <cstring>
#include "record_builders.h"

static bool AllZeroExcept(const void *record, size_t size, std::initializer_list<std::pair<size_t, size_t>> spans)
{
    const uint8_t *b = static_cast<const uint8_t *>(record);
    for (size_t i = 0; i < size; i++) {
        bool inside = false;
        for (const auto &s : spans)
            inside |= i >= s.first && i < s.first + s.second;
        if (!inside && b[i])
            return false;
    }
    return true;
}

TEST(RecordBuilders, TimeoutAndModeRecordsCarryOnlyTheirField)
{
    AutoContinueRecord t;
    std::memset(&t, 0xEE, sizeof t);
    BuildTimeoutRecord(&t, 7);
    EXPECT_EQ(8u, t.fieldMask);
    EXPECT_EQ(-1, t.timeoutSeconds);
    EXPECT_TRUE(AllZeroExcept(&t, sizeof t, { { 0, 4 }, { 16, 4 } }));

    const struct { uint32_t target, mode; } modes[] = { { 1, 1 }, { 2, 2 }, { 3, 3 }, { 0, 3 }, { 4, 3 }, { 0xFFFF, 3 } };
    for (const auto &m : modes) {
        HcoConfigRecord r;
        std::memset(&r, 0xEE, sizeof r);
        BuildModeRecord(&r, m.target);
        EXPECT_EQ(1u, r.fieldMask);
        EXPECT_EQ(m.mode, r.mode) << "target " << m.target;
        EXPECT_TRUE(AllZeroExcept(&r, sizeof r, { { 0, 4 }, { 164, 4 } }));
    }
}

TEST(RecordBuilders, BinNameWriteNamesOnlyTheChangedBins)
{
    const char *names[8] = { nullptr, nullptr, "Contabilit\xE0", nullptr, nullptr, nullptr, nullptr, nullptr };
    HcoConfigRecord r;
    std::memset(&r, 0xEE, sizeof r);
    BuildBinNamesRecord(&r, names);
    EXPECT_EQ(2u, r.fieldMask);
    EXPECT_EQ(9u, r.binCount);
    for (int k = 0; k < 9; k++) {
        EXPECT_EQ(uint32_t(k + 3), r.bins[k].binNumber);
        EXPECT_EQ(k == 3 ? 2u : 0u, r.bins[k].fieldMask) << "bin " << k;
        EXPECT_STREQ(k == 3 ? "Contabilit\xE0" : "", r.bins[k].name);
    }
    EXPECT_EQ(0u, r.mode);
}

TEST(RecordBuilders, NameResetByTargetMode)
{
    const char *mailbox[9] = { "Scomp. testo verso l'alto", "MAILBOX 1", "MAILBOX 2", "MAILBOX 3", "MAILBOX 4",
                               "MAILBOX 5", "MAILBOX 6", "MAILBOX 7", "MAILBOX 8" };
    const char *separator[9] = { "Scomp. testo verso l'alto", "SEPARATORE DELLE OPERAZIONI DI STAMPA" };
    HcoConfigRecord r;
    BuildNameResetRecord(&r, 2, mailbox);
    EXPECT_EQ(9u, r.binCount);
    EXPECT_STREQ("MAILBOX 8", r.bins[8].name);
    EXPECT_EQ(2u, r.bins[8].fieldMask);

    BuildNameResetRecord(&r, 7, separator); /* any other target is job separator */
    EXPECT_EQ(2u, r.fieldMask);
    EXPECT_EQ(2u, r.binCount);
    EXPECT_STREQ("SEPARATORE DELLE OPERAZIONI DI", r.bins[1].name);
    for (int k = 0; k < 9; k++) {
        EXPECT_EQ(k < 2 ? 2u : 0u, r.bins[k].fieldMask) << "bin " << k;
        EXPECT_EQ(uint32_t(k + 3), r.bins[k].binNumber);
    }
}
