/* The shipped 32-bit binaries stay small and self-contained: each imports only KERNEL32,
 * USER32, GDI32 and its one outside library, and asks for no Windows newer than 4.0.
 * Sizes and imports are printed for the README (scripts/footprint.sh gives the table). */
#include <gtest/gtest.h>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>
#include "pe_reader.h"

namespace {

struct Deliverable {
    const char *file;
    const char *outsideLibrary;
};

const Deliverable kDeliverables[] = {
    { "Binpanel.dll", "Devobj.dll" },
    { "Quelaunch.exe", "Spoolwatch.dll" },
    { "BRIDGE32.dll", "Setstore32.dll" },
};

void PrintTo(const Deliverable &d, std::ostream *os) { *os << d.file; }

bool SameName(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++)
        if (std::tolower((unsigned char)a[i]) != std::tolower((unsigned char)b[i]))
            return false;
    return true;
}

class Footprint : public ::testing::TestWithParam<Deliverable> {};

TEST_P(Footprint, ImportsOnlyTheSystemAndItsOutsideLibraryAndAsksForWindows40)
{
    const Deliverable &d = GetParam();
    std::string path = std::string(DIST_WIN32_DIR) + "/" + d.file;
    if (!std::ifstream(path).good())
        GTEST_SKIP() << path << " is missing: the win32 build has not made it";
    PeImage pe;
    std::string error;
    ASSERT_TRUE(pe.load(path, &error)) << error;
    EXPECT_FALSE(pe.is64) << d.file << " ships as a 32-bit binary";

    std::printf("%s: %zu bytes, subsystem version %u.%u\n", d.file, pe.fileSize, pe.subsystemMajor,
                pe.subsystemMinor);
    const std::vector<std::string> allowed = { "KERNEL32.dll", "USER32.dll", "GDI32.dll", d.outsideLibrary };
    bool outsideImported = false;
    for (const PeImport &i : pe.imports) {
        std::printf("  %s (%zu):", i.dll.c_str(), i.names.size());
        for (const std::string &n : i.names)
            std::printf(" %s", n.c_str());
        std::printf("\n");
        bool ok = false;
        for (const std::string &a : allowed)
            ok = ok || SameName(a, i.dll);
        EXPECT_TRUE(ok) << d.file << " imports " << i.dll;
        outsideImported = outsideImported || SameName(i.dll, d.outsideLibrary);
    }
    EXPECT_TRUE(outsideImported) << d.file << " does not import " << d.outsideLibrary;
    EXPECT_LE(pe.subsystemMajor * 100 + pe.subsystemMinor, 400)
        << d.file << " asks for subsystem version " << pe.subsystemMajor << "." << pe.subsystemMinor;
}

INSTANTIATE_TEST_SUITE_P(Shipped, Footprint, ::testing::ValuesIn(kDeliverables),
                         [](const ::testing::TestParamInfo<Deliverable> &info) {
                             std::string name;
                             for (const char *c = info.param.file; *c && *c != '.'; c++)
                                 name += *c;
                             return name;
                         });

} // namespace
