/* Timeout ranges, name fitting, the accessory search and what a configuration record gives the model. */
#include <gtest/gtest.h>
#include <cstring>
#include <string>
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

TEST(AccessorySearch, CapabilitiesReportTheAccessoryWithItsFlagAndAWord)
{
    const struct { uint32_t flags, word; bool reported; } cases[] = {
        { 0x21, 8, true }, { 0x20, 1, true }, { 0xFFFFFFFF, 0xFFFFFFFF, true },
        { 0x21, 0, false }, { 0xDF, 8, false }, { 0, 0, false },
    };
    for (const auto &c : cases) {
        OutputCapabilitiesRecord caps;
        std::memset(&caps, 0, sizeof caps);
        caps.capabilityFlags = c.flags;
        caps.capabilityWord = c.word;
        EXPECT_EQ(c.reported, ReportsHcoAccessory(&caps)) << std::hex << c.flags << " " << c.word;
    }
}

/* A record of the printer with recognisable names and numbers in all nine bins. */
static HcoConfigRecord Config(uint32_t mode)
{
    HcoConfigRecord r;
    std::memset(&r, 0, sizeof r);
    r.mode = mode;
    for (int k = 0; k < HCO_RECORD_BINS; k++) {
        std::snprintf(r.bins[k].name, sizeof r.bins[k].name, "bin %d", k);
        r.bins[k].binNumber = 100 + k;
    }
    return r;
}

static void Preset(HcoBin bins[HCO_BIN_COUNT])
{
    for (int i = 0; i < HCO_BIN_COUNT; i++) {
        std::strcpy(bins[i].name, "before");
        bins[i].nameChanged = 7;
        bins[i].binNumber = 7;
    }
}

TEST(ConfigRecord, TheLoadTakesTheModeAndItsBins)
{
    const struct { uint32_t recordMode, mode; const char *name; int firstEntry; } cases[] = {
        { 2, 2, nullptr, 1 },      /* mailbox: the record's own names, bins 1 to 8 */
        { 1, 1, "CARRELLO", 0 },   /* the single output: the mode's name, numbers of bins 0 to 7 */
        { 3, 3, "SEPARATORE DELLE", 0 },
        { 0, 3, "SEPARATORE DELLE", 0 },
        { 77, 3, "SEPARATORE DELLE", 0 },
    };
    for (const auto &c : cases) {
        HcoConfigRecord config = Config(c.recordMode);
        HcoBin bins[HCO_BIN_COUNT];
        Preset(bins);
        EXPECT_EQ(c.mode, TakeConfigRecord(&config, "CARRELLO", "SEPARATORE DELLE OPERAZIONI DI ", bins));
        for (int i = 0; i < HCO_BIN_COUNT; i++) {
            SCOPED_TRACE("record mode " + std::to_string(c.recordMode) + ", bin " + std::to_string(i));
            EXPECT_EQ(c.name ? std::string(c.name) : "bin " + std::to_string(i + 1), bins[i].name);
            EXPECT_EQ(uint32_t(100 + c.firstEntry + i), bins[i].binNumber);
            EXPECT_EQ(7u, bins[i].nameChanged);
        }
    }
}

TEST(ConfigRecord, ASwitchTakesTheRecordOnlyOnceThePrinterReportsTheNewMode)
{
    const struct { uint32_t recordMode, target; bool taken; int firstEntry; } cases[] = {
        { 2, 2, true, 1 },
        { 1, 1, true, 0 }, /* bin 1 of the record names the single output */
        { 3, 3, true, 0 },
        { 1, 2, false, 0 }, { 2, 1, false, 0 }, { 3, 1, false, 0 }, { 0, 3, false, 0 },
    };
    for (const auto &c : cases) {
        HcoConfigRecord config = Config(c.recordMode);
        std::memset(config.bins[1].name, 'N', sizeof config.bins[1].name); /* unterminated in bin 1 */
        HcoBin bins[HCO_BIN_COUNT];
        Preset(bins);
        EXPECT_EQ(c.taken, TakeSwitchedConfig(&config, c.target, bins));
        for (int i = 0; i < HCO_BIN_COUNT; i++) {
            SCOPED_TRACE("record mode " + std::to_string(c.recordMode) + ", target " + std::to_string(c.target) +
                         ", bin " + std::to_string(i));
            bool fromBinOne = c.target != 2 || i == 0;
            std::string expected = !c.taken    ? "before"
                                   : fromBinOne ? std::string(BIN_NAME_MAX, 'N')
                                                : "bin " + std::to_string(i + 1);
            EXPECT_EQ(expected, bins[i].name);
            EXPECT_EQ(c.taken ? uint32_t(100 + c.firstEntry + i) : 7u, bins[i].binNumber);
        }
    }
}

TEST(DestinationRows, TheListOffersTheFixedBinsAndThoseOfTheMode)
{
    HcoBin bins[HCO_BIN_COUNT];
    for (int i = 0; i < HCO_BIN_COUNT; i++)
        bins[i].binNumber = uint32_t(4 + i);
    bins[7].binNumber = 40; /* a printer may number its mailboxes otherwise */
    const struct { uint32_t destination, mode; bool offered; } cases[] = {
        { 20, 2, true }, { 1, 2, true }, { 3, 2, true }, { 4, 2, true }, { 10, 2, true }, { 40, 2, true },
        { 11, 2, false }, { 0, 2, false }, { 2, 2, false }, { 21, 2, false },
        { 20, 3, true }, { 1, 1, true }, { 3, 1, true }, { 4, 1, true }, { 4, 3, true },
        { 9, 3, false }, { 5, 1, false }, { 40, 3, false }, { 0, 3, false }, { 0xFFFFFFFFu, 1, false },
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.offered, OffersDestination(c.destination, c.mode, bins))
            << "destination " << c.destination << " in mode " << c.mode;
}

TEST(DestinationRows, EachModeHasItsRowsIconsAndBins)
{
    HcoBin bins[HCO_BIN_COUNT];
    for (int i = 0; i < HCO_BIN_COUNT; i++)
        bins[i].binNumber = uint32_t(30 + i);
    const DestinationRow top = { DEST_LABEL_TOP_OUTPUT, 199, 20, -1 }, faceUp = { DEST_LABEL_FACE_UP, 200, 3, -1 };
    const struct { uint32_t mode; int count; DestinationRow third; } cases[] = {
        { 2, 10, { DEST_LABEL_MAILBOX, 201, 30, 0 } },
        { 1, 3, { DEST_LABEL_STACKER, 198, 4, -1 } },
        { 3, 3, { DEST_LABEL_JOB_SEPARATOR, 198, 4, -1 } },
        { 0, 3, { DEST_LABEL_JOB_SEPARATOR, 198, 4, -1 } },
        { 7, 3, { DEST_LABEL_JOB_SEPARATOR, 198, 4, -1 } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        DestinationRow rows[DESTINATION_ROWS];
        ASSERT_EQ(c.count, DestinationRowsFor(c.mode, bins, rows));
        for (int k = 0; k < c.count; k++) {
            DestinationRow want = k == 0 ? top : k == 1 ? faceUp : c.third;
            if (k > 2)
                want = { DEST_LABEL_MAILBOX, 199 + k, uint32_t(28 + k), k - 2 };
            EXPECT_EQ(want.label, rows[k].label) << "row " << k;
            EXPECT_EQ(want.iconId, rows[k].iconId) << "row " << k;
            EXPECT_EQ(want.binNumber, rows[k].binNumber) << "row " << k;
            EXPECT_EQ(want.mailbox, rows[k].mailbox) << "row " << k;
        }
        /* the top output bin's row also stands for 1, no other row does */
        EXPECT_TRUE(RowStandsFor(&rows[0], 1));
        for (int k = 1; k < c.count; k++)
            EXPECT_FALSE(RowStandsFor(&rows[k], 1)) << "row " << k;
    }
}
