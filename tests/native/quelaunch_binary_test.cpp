/* The shipped 32-bit Quelaunch.exe: a Windows 4.0 program importing only the system's
 * KERNEL32 and USER32 and Spoolwatch's two monitors, with its icon and version block. */
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include "pe_reader.h"

namespace {

const PeImage &Quelaunch()
{
    static PeImage pe;
    [[maybe_unused]] static bool loaded = [] {
        std::string error;
        bool ok = pe.load(DIST_WIN32_DIR "/Quelaunch.exe", &error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }();
    return pe;
}

template <typename T> T At(const PeImage &pe, uint32_t rva)
{
    T value{};
    EXPECT_TRUE(pe.read(rva, &value, sizeof value)) << "rva " << rva;
    return value;
}

/* id entries of one resource directory: id -> (is a directory, offset in the section) */
std::map<uint32_t, std::pair<bool, uint32_t>> ResourceEntries(const PeImage &pe, uint32_t base, uint32_t offset)
{
    std::map<uint32_t, std::pair<bool, uint32_t>> entries;
    uint16_t named = At<uint16_t>(pe, base + offset + 12), ids = At<uint16_t>(pe, base + offset + 14);
    for (uint32_t i = 0; i < uint32_t(named + ids); i++) {
        uint32_t entry = base + offset + 16 + 8 * i;
        uint32_t id = At<uint32_t>(pe, entry), target = At<uint32_t>(pe, entry + 4);
        entries[id] = { (target & 0x80000000u) != 0, target & 0x7FFFFFFFu };
    }
    return entries;
}

} // namespace

TEST(QuelaunchBinary, ImportsOnlyKernel32User32AndTheTwoMonitors)
{
    const PeImage &pe = Quelaunch();
    ASSERT_FALSE(pe.is64);
    std::set<std::string> dlls;
    for (const PeImport &i : pe.imports) {
        std::string dll = i.dll;
        std::transform(dll.begin(), dll.end(), dll.begin(), ::toupper);
        dlls.insert(dll);
        if (dll == "SPOOLWATCH.DLL") {
            std::vector<std::string> names = i.names;
            std::sort(names.begin(), names.end());
            EXPECT_EQ((std::vector<std::string>{ "MonitorPrintJobs2", "MonitorQueueJobs2" }), names);
        }
    }
    EXPECT_EQ((std::set<std::string>{ "KERNEL32.DLL", "SPOOLWATCH.DLL", "USER32.DLL" }), dlls);
}

TEST(QuelaunchBinary, WindowsFourProgramWithoutConsole)
{
    const PeImage &pe = Quelaunch();
    EXPECT_EQ(0x14c, pe.machine);
    EXPECT_FALSE(pe.characteristics & 0x2000); /* not IMAGE_FILE_DLL */
    EXPECT_TRUE(pe.characteristics & 0x0002);  /* IMAGE_FILE_EXECUTABLE_IMAGE */
    EXPECT_EQ(2, pe.subsystem);                /* IMAGE_SUBSYSTEM_WINDOWS_GUI */
    EXPECT_EQ(4, pe.subsystemMajor);
    EXPECT_EQ(0, pe.subsystemMinor);
    ASSERT_NE(nullptr, pe.sectionOf(pe.entryRva));
    EXPECT_TRUE(pe.sectionOf(pe.entryRva)->executable());
}

TEST(QuelaunchBinary, CarriesIconGroup128AndAnItalianVersionBlockOnly)
{
    const PeImage &pe = Quelaunch();
    ASSERT_TRUE(pe.hasResources);
    const PeSection *rsrc = nullptr;
    for (const PeSection &s : pe.sections)
        if (s.name == ".rsrc")
            rsrc = &s;
    ASSERT_NE(nullptr, rsrc);

    auto types = ResourceEntries(pe, rsrc->rva, 0);
    std::set<uint32_t> typeIds;
    for (const auto &t : types)
        typeIds.insert(t.first);
    EXPECT_EQ((std::set<uint32_t>{ 3, 14, 16 }), typeIds); /* icons, the icon group, the version */

    ASSERT_TRUE(types.count(14) && types[14].first);
    auto groups = ResourceEntries(pe, rsrc->rva, types[14].second);
    ASSERT_EQ(1u, groups.size());
    EXPECT_EQ(128u, groups.begin()->first);
    auto groupLanguages = ResourceEntries(pe, rsrc->rva, groups.begin()->second.second);
    ASSERT_EQ(1u, groupLanguages.size());
    uint32_t dataEntry = rsrc->rva + groupLanguages.begin()->second.second;
    uint32_t groupRva = At<uint32_t>(pe, dataEntry);
    EXPECT_EQ(2, At<uint16_t>(pe, groupRva + 4)) << "a 32x32 and a 16x16 image";
    for (int i = 0; i < 2; i++) {
        uint32_t entry = groupRva + 6 + 14 * i;
        uint8_t size = At<uint8_t>(pe, entry);
        EXPECT_TRUE(size == 32 || size == 16) << int(size);
        EXPECT_EQ(16, At<uint8_t>(pe, entry + 2)) << "colours";
    }

    ASSERT_TRUE(types.count(16) && types[16].first);
    auto versions = ResourceEntries(pe, rsrc->rva, types[16].second);
    ASSERT_EQ(1u, versions.size());
    auto versionLanguages = ResourceEntries(pe, rsrc->rva, versions.begin()->second.second);
    ASSERT_EQ(1u, versionLanguages.size());
    EXPECT_EQ(0x0410u, versionLanguages.begin()->first);

    uint32_t versionEntry = rsrc->rva + versionLanguages.begin()->second.second;
    uint32_t versionRva = At<uint32_t>(pe, versionEntry), versionSize = At<uint32_t>(pe, versionEntry + 4);
    std::string bytes(versionSize, '\0');
    ASSERT_TRUE(pe.read(versionRva, &bytes[0], versionSize));
    auto wide = [](const char *text) {
        std::string w;
        for (; *text; text++)
            w += std::string(1, *text) + '\0';
        return w;
    };
    EXPECT_NE(std::string::npos, bytes.find(wide("Zorvo")));
    EXPECT_NE(std::string::npos, bytes.find(wide("041004E4")));
}
