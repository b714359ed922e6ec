/* A small reader of PE files (32 and 64 bit), for checking the built binaries from Linux:
 * exports with ordinals, imported DLLs and names, sections, base relocations, and the
 * bytes behind any RVA. */
#ifndef PE_READER_H
#define PE_READER_H

#include <cstdint>
#include <string>
#include <vector>

struct PeSection {
    std::string name;
    uint32_t rva = 0, virtualSize = 0, rawOffset = 0, rawSize = 0, characteristics = 0;
    bool executable() const { return characteristics & 0x20000000u; }
    bool writable() const { return characteristics & 0x80000000u; }
};

struct PeExport {
    uint32_t ordinal = 0;
    std::string name; /* empty for an export by ordinal only */
    uint32_t rva = 0;
};

struct PeImport {
    std::string dll;
    std::vector<std::string> names; /* "#n" for an import by ordinal */
    std::vector<uint32_t> slots;    /* the RVA of each name's address slot (FirstThunk) */
};

class PeImage {
public:
    bool load(const std::string &path, std::string *error = nullptr);

    bool is64 = false;
    uint16_t machine = 0;
    uint16_t characteristics = 0;
    uint16_t subsystem = 0;
    uint16_t subsystemMajor = 0, subsystemMinor = 0;
    uint16_t osMajor = 0, osMinor = 0;
    uint64_t imageBase = 0;
    uint32_t entryRva = 0;
    size_t fileSize = 0;
    std::vector<PeSection> sections;
    std::vector<PeExport> exports;
    std::vector<PeImport> imports;
    std::vector<uint32_t> relocations; /* RVAs patched by base relocation (HIGHLOW or DIR64) */
    bool hasResources = false;

    const PeSection *sectionOf(uint32_t rva) const;
    const PeExport *exportNamed(const std::string &name) const;
    bool read(uint32_t rva, void *out, size_t count) const;
    std::string readString(uint32_t rva, size_t limit = 256) const;
    bool imports_dll(const std::string &dll) const; /* case-insensitive */

private:
    std::vector<uint8_t> bytes_;
    bool offsetOf(uint32_t rva, size_t count, size_t *offset) const;
};

#endif
