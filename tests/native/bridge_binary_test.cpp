/* The shipped 32-bit BRIDGE32.dll: its one data export and what the platform follows from
 * it, its imports, its subsystem. */
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include "pe_reader.h"

static const PeImage &Bridge32()
{
    static PeImage pe;
    static bool loaded = [] {
        std::string error;
        bool ok = pe.load(DIST_WIN32_DIR "/BRIDGE32.dll", &error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }();
    (void)loaded;
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
