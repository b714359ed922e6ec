/* Timeout ranges, name fitting, the accessory search and the write records. */
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "record_builders.h"
#include "settings_rules.h"

TEST(TimeoutRange, DeviceSecondsShowAsTheNextLongerChoice)
{
    const struct { int32_t seconds; uint32_t index; } cases[] = {
        { -1, 7 }, { -600, 7 }, { INT32_MIN, 7 }, { 0, 0 }, { 1, 1 }, { 300, 1 }, { 301, 2 }, { 600, 2 },
        { 601, 3 }, { 1200, 3 }, { 1201, 4 }, { 1800, 4 }, { 1801, 5 }, { 2700, 5 }, { 2701, 6 },
        { 3600, 6 }, { 86400, 6 }, { INT32_MAX, 6 },
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.index, TimeoutIndexForSeconds(c.seconds)) << "seconds " << c.seconds;
}

TEST(TimeoutRange, ChoicesWriteTheirSecondsAndUnknownIndexesUnlimited)
{
    const int32_t expected[] = { 0, 300, 600, 1200, 1800, 2700, 3600, -1, -1, -1 };
    for (uint32_t i = 0; i < 10; i++)
        EXPECT_EQ(expected[i], TimeoutSecondsForIndex(i)) << "index " << i;
    EXPECT_EQ(-1, TimeoutSecondsForIndex(0xFFFFFFFFu));
}

static std::string Fit(const char *text, size_t maxChars, size_t capacity = 256)
{
    char out[64];
    std::memset(out, '#', sizeof out);
    FitName(out, maxChars, text, capacity);
    EXPECT_LE(std::strlen(out), maxChars);
    return out;
}

TEST(FitName, NamesThatFitStayAsTheyAreAndLongOnesKeepMostOfThemselves)
{
    const struct { const char *text; size_t max; const char *fitted; } cases[] = {
        { "MAILBOX 1", 19, "MAILBOX 1" },
        { "1234567890123456789", 19, "1234567890123456789" },
        { "UFF 1 ", 19, "UFF 1 " },                                 /* fits: blanks kept */
        { "   ", 19, "   " },
        { "", 19, "" },
        { "SEPARATORE DELLE OPERAZIONI DI STAMPA", 19, "SEPARATORE DELLE" },
        { "SEPARATORE DELLE OPERAZIONI DI ", 19, "SEPARATORE DELLE" },
        { "SEPARATORE DELLE OPERAZIONI DI STAMPA", 31, "SEPARATORE DELLE OPERAZIONI DI" },
        { "Scomp. testo verso l'alto", 31, "Scomp. testo verso l'alto" },
        { "Nome di diciannove X", 19, "Nome di diciannove" },         /* the blank right at the limit */
        { "ABCDEFGHIJKLM NOPQRSTUVW", 19, "ABCDEFGHIJKLM" },             /* 13 of 19 kept: two thirds */
        { "ABCDEFGHIJKL MNOPQRSTUVW", 19, "ABCDEFGHIJKL MNOPQR" },       /* 12 would be less */
        { "Ufficio amministrazione", 19, "Ufficio amministraz" },
        { " ABCDEFGHIJKLMNOPQRSTUVW", 19, " ABCDEFGHIJKLMNOPQR" },
        { "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 19, "ABCDEFGHIJKLMNOPQRS" },     /* one long word */
        { "ABCDEFGHIJKLMN  OPQRSTU", 19, "ABCDEFGHIJKLMN" },             /* the cut's blanks go */
        { "ABCDEFGHIJ      XYZWWWW", 19, "ABCDEFGHIJ      XYZ" },        /* and count against it */
        { "                        ", 19, "                   " },       /* but never all of it */
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.fitted, Fit(c.text, c.max)) << '"' << c.text << '"' << " in " << c.max;
}

TEST(FitName, NeverReadsPastAnUnterminatedField)
{
    char field[32];
    std::memset(field, 'A', sizeof field); /* no terminator inside the field */
    char *heap = new char[32];
    std::memcpy(heap, field, 32);
    EXPECT_EQ(std::string(19, 'A'), Fit(heap, 19, 32));
    EXPECT_EQ(std::string(31, 'A'), Fit(heap, 31, 32));
    delete[] heap;
}

static ComponentListRecord List(std::initializer_list<std::pair<const char *, uint32_t>> entries, uint32_t count)
{
    ComponentListRecord list;
    std::memset(&list, 0, sizeof list);
    int i = 0;
    for (const auto &e : entries) {
        std::strncpy(list.entries[i].partNumber, e.first, sizeof list.entries[i].partNumber);
        list.entries[i++].componentId = e.second;
    }
    list.componentCount = count;
    return list;
}

TEST(AccessorySearch, FirstValidEntryWithThePartNumberWins)
{
    const struct { const char *what; ComponentListRecord list; int entry; } cases[] = {
        { "no entries", List({ { "CK0417Z", 1 } }, 0), -1 },
        { "one match", List({ { "C3166 DUPLEX", 1 }, { "CK0417Z-HCO", 2 } }, 2), 1 },
        { "second and fourth match", List({ { "A", 1 }, { "K0417Z", 2 }, { "B", 3 }, { "xK0417Zx", 4 } }, 4), 1 },
        { "match beyond the count", List({ { "A", 1 }, { "K0417Z", 2 } }, 1), -1 },
        { "case as written", List({ { "k0417z", 1 } }, 1), -1 },
        { "count above six", List({ { "A", 1 }, { "B", 2 }, { "C", 3 }, { "D", 4 }, { "E", 5 }, { "F", 6 } }, 0xFFFFFFFF), -1 },
        { "sixth entry", List({ { "A", 1 }, { "B", 2 }, { "C", 3 }, { "D", 4 }, { "E", 5 }, { "K0417Z", 6 } }, 99), 5 },
        { "part number split by a zero", List({ { "K04", 1 } }, 1), -1 },
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.entry, FindAccessoryEntry(&c.list)) << c.what;
}

TEST(AccessorySearch, UnterminatedPartNumbersStayInsideTheRecord)
{
    ComponentListRecord *list = new ComponentListRecord;
    std::memset(list, 'K', sizeof *list);
    list->componentCount = 6;
    std::memcpy(list->entries[5].partNumber + 74, "K0417Z", 6); /* the field's last six bytes */
    EXPECT_EQ(5, FindAccessoryEntry(list));
    delete list;
}

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
