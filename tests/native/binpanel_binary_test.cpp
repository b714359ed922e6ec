/* The shipped 32-bit Binpanel.dll: its exports, its imports, its subsystem. */
#include <gtest/gtest.h>
#include <algorithm>
#include "pe_reader.h"

static const PeImage &Binpanel()
{
    static PeImage pe;
    [[maybe_unused]] static bool loaded = [] {
        std::string error;
        bool ok = pe.load(DIST_WIN32_DIR "/Binpanel.dll", &error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }();
    return pe;
}

TEST(BinpanelBinary, ExportsSixProceduresByNameAtTheirOrdinals)
{
    const PeImage &pe = Binpanel();
    ASSERT_FALSE(pe.is64);
    const char *names[] = { "AppletGetTabPages", "HCOBitmapWndProc", "HCOPopupDialog",
                            "HCOPopupProc", "HCOSheetProc", "WaitDialogExProc" };
    ASSERT_EQ(6u, pe.exports.size());
    for (unsigned i = 0; i < 6; i++) {
        const PeExport *e = pe.exportNamed(names[i]);
        ASSERT_NE(nullptr, e) << names[i];
        EXPECT_EQ(i + 1, e->ordinal) << names[i];
        ASSERT_NE(nullptr, pe.sectionOf(e->rva));
        EXPECT_TRUE(pe.sectionOf(e->rva)->executable()) << names[i];
    }
}

TEST(BinpanelBinary, ImportsOnlySystemLibrariesAndDevobj)
{
    const PeImage &pe = Binpanel();
    const std::vector<std::string> allowed = { "KERNEL32.dll", "USER32.dll", "GDI32.dll", "Devobj.dll" };
    for (const PeImport &i : pe.imports)
        EXPECT_NE(allowed.end(), std::find(allowed.begin(), allowed.end(), i.dll)) << i.dll;
    EXPECT_TRUE(pe.imports_dll("Devobj.dll"));
    EXPECT_EQ(2, pe.subsystem);
    EXPECT_EQ(4, pe.subsystemMajor);
    EXPECT_EQ(0, pe.subsystemMinor);
    EXPECT_TRUE(pe.hasResources);
}
