/* The shipped 32-bit BRIDGE32.dll: its one data export and what the platform follows from
 * it, its imports, its subsystem. */
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include "pe_reader.h"

static const PeImage &Bridge32()
{
    static PeImage pe;
    [[maybe_unused]] static bool loaded = [] {
        std::string error;
        bool ok = pe.load(DIST_WIN32_DIR "/BRIDGE32.dll", &error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }();
    return pe;
}

static bool Relocated(const PeImage &pe, uint32_t rva)
{
    return std::find(pe.relocations.begin(), pe.relocations.end(), rva) != pe.relocations.end();
}

static uint32_t Word(const uint8_t *bytes, size_t offset)
{
    uint32_t value;
    std::memcpy(&value, bytes + offset, 4);
    return value;
}

TEST(Bridge32Binary, ExportsOnlyTheThunkTableInWritableData)
{
    const PeImage &pe = Bridge32();
    ASSERT_FALSE(pe.is64);
    ASSERT_EQ(1u, pe.exports.size());
    const PeExport &e = pe.exports[0];
    EXPECT_EQ("ZorvoReg_ThunkData32", e.name);
    const PeSection *s = pe.sectionOf(e.rva);
    ASSERT_NE(nullptr, s);
    EXPECT_TRUE(s->writable());
    EXPECT_FALSE(s->executable());

    uint8_t table[36];
    ASSERT_TRUE(pe.read(e.rva, table, sizeof table));
    const uint8_t expected[36] = { 'S', 'L', '0', '1', 0x06, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                   'L', 'B', '0', '1', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                   0xEB, 0xFF, 0xFF, 0xFF };
    for (size_t i = 0; i < sizeof table; i++) {
        if (i >= 8 && i < 12)
            continue; /* the address: checked where it leads */
        EXPECT_EQ(expected[i], table[i]) << "offset " << i;
    }
}

TEST(Bridge32Binary, TableLeadsToTheTargetAndTheSixteenBitName)
{
    const PeImage &pe = Bridge32();
    const PeExport *e = pe.exportNamed("ZorvoReg_ThunkData32");
    ASSERT_NE(nullptr, e);
    uint8_t table[36];
    ASSERT_TRUE(pe.read(e->rva, table, sizeof table));

    EXPECT_TRUE(Relocated(pe, e->rva + 8));
    uint32_t targetTable = uint32_t(Word(table, 8) - pe.imageBase);
    ASSERT_NE(nullptr, pe.sectionOf(targetTable));
    uint8_t entry[4];
    ASSERT_TRUE(pe.read(targetTable, entry, 4));
    EXPECT_TRUE(Relocated(pe, targetTable));
    const PeSection *code = pe.sectionOf(uint32_t(Word(entry, 0) - pe.imageBase));
    ASSERT_NE(nullptr, code);
    EXPECT_TRUE(code->executable());

    int32_t distance = int32_t(Word(table, 32));
    EXPECT_EQ("ZorvoReg_ThunkData16", pe.readString(uint32_t(targetTable - distance), 32));
}

TEST(Bridge32Binary, CarriesBothModuleNamesPaddedToSixteenBytes)
{
    const PeImage &pe = Bridge32();
    for (const char *name : { "BRIDGE16.DLL", "BRIDGE32.DLL" }) {
        std::string padded(name);
        padded.resize(16, '\0');
        bool found = false;
        for (const PeSection &s : pe.sections) {
            if (s.executable())
                continue;
            std::string bytes(s.rawSize, '\0');
            if (pe.read(s.rva, &bytes[0], bytes.size()) && bytes.find(padded) != std::string::npos)
                found = true;
        }
        EXPECT_TRUE(found) << name;
    }
}

TEST(Bridge32Binary, ImportsOnlyTheThunkServicesAndReg32Update)
{
    const PeImage &pe = Bridge32();
    ASSERT_EQ(2u, pe.imports.size());
    for (const PeImport &i : pe.imports) {
        std::vector<std::string> names = i.names;
        std::sort(names.begin(), names.end());
        if (i.dll == "KERNEL32.dll") {
            EXPECT_EQ((std::vector<std::string>{ "K32Thk1632Epilog", "K32Thk1632Prolog", "MapSLFix",
                                                 "ThunkConnect32", "UnMapSLFixArray" }),
                      names);
        } else if (i.dll == "Setstore32.dll") {
            EXPECT_EQ(std::vector<std::string>{ "Reg32Update" }, names);
        } else {
            ADD_FAILURE() << "imports " << i.dll;
        }
    }
}

TEST(Bridge32Binary, WindowsFourDllWithAVersionBlock)
{
    const PeImage &pe = Bridge32();
    EXPECT_TRUE(pe.characteristics & 0x2000); /* IMAGE_FILE_DLL */
    EXPECT_EQ(2, pe.subsystem);
    EXPECT_EQ(4, pe.subsystemMajor);
    EXPECT_EQ(0, pe.subsystemMinor);
    ASSERT_NE(nullptr, pe.sectionOf(pe.entryRva));
    EXPECT_TRUE(pe.sectionOf(pe.entryRva)->executable());
    EXPECT_TRUE(pe.hasResources);
}

/* What a code address reaches through plain jumps: "DLL!Name" when it ends in the jump
 * through an import's address slot, "" otherwise. */
static std::string ImportReachedFrom(const PeImage &pe, uint32_t rva)
{
    for (int hops = 0; hops < 4; hops++) {
        const PeSection *s = pe.sectionOf(rva);
        uint8_t code[6];
        if (!s || !s->executable() || !pe.read(rva, code, sizeof code))
            return "";
        if (code[0] == 0xE9) { /* jmp rel32: a tail call */
            rva = rva + 5 + Word(code, 1);
            continue;
        }
        if (code[0] != 0xFF || code[1] != 0x25) /* jmp [slot] */
            return "";
        uint32_t slot = uint32_t(Word(code, 2) - pe.imageBase);
        for (const PeImport &i : pe.imports)
            for (size_t k = 0; k < i.slots.size(); k++)
                if (i.slots[k] == slot)
                    return i.dll + "!" + i.names[k];
        return "";
    }
    return "";
}

/* The services table the forwarding rule is given: found in the read-only data as the run
 * of relocated code addresses that begins with the MapSLFix import, each entry must reach
 * the import its field names. */
TEST(Bridge32Binary, ServicesTableEntriesAreTheImportsTheyName)
{
    const PeImage &pe = Bridge32();
    ASSERT_FALSE(pe.imports.empty());
    const std::vector<std::string> expected = { "KERNEL32.dll!MapSLFix", "KERNEL32.dll!UnMapSLFixArray",
                                                "KERNEL32.dll!K32Thk1632Prolog", "KERNEL32.dll!K32Thk1632Epilog",
                                                "Setstore32.dll!Reg32Update" };
    std::vector<std::vector<std::string>> runs;
    for (const PeSection &s : pe.sections) {
        if (s.executable())
            continue;
        std::vector<std::string> run;
        for (uint32_t at = s.rva; at + 4 <= s.rva + s.virtualSize; at += 4) {
            uint8_t word[4];
            std::string reached;
            if (Relocated(pe, at) && pe.read(at, word, 4))
                reached = ImportReachedFrom(pe, uint32_t(Word(word, 0) - pe.imageBase));
            if (!reached.empty()) {
                run.push_back(reached);
                continue;
            }
            if (!run.empty())
                runs.push_back(run);
            run.clear();
        }
        if (!run.empty())
            runs.push_back(run);
    }
    std::vector<std::vector<std::string>> tables;
    for (const std::vector<std::string> &run : runs)
        if (std::find(run.begin(), run.end(), expected[0]) != run.end())
            tables.push_back(run);
    ASSERT_EQ(1u, tables.size()) << "one table holding the MapSLFix import";
    ASSERT_EQ(expected.size(), tables[0].size());
    for (size_t i = 0; i < expected.size(); i++)
        EXPECT_EQ(expected[i], tables[0][i]) << "entry " << i;
}
