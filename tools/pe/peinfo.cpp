/* peinfo FILE: prints a PE file's kind, subsystem version, exports and imports. */
#include "pe_reader.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: peinfo FILE\n");
        return 2;
    }
    PeImage pe;
    std::string error;
    if (!pe.load(argv[1], &error)) {
        std::fprintf(stderr, "peinfo: %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    std::printf("%s: %s, %zu bytes, subsystem %u version %u.%u\n", argv[1], pe.is64 ? "PE32+" : "PE32", pe.fileSize,
                pe.subsystem, pe.subsystemMajor, pe.subsystemMinor);
    for (const PeExport &e : pe.exports)
        std::printf("  export @%u %s rva 0x%x (%s)\n", e.ordinal, e.name.c_str(), e.rva,
                    pe.sectionOf(e.rva) ? pe.sectionOf(e.rva)->name.c_str() : "?");
    for (const PeImport &i : pe.imports) {
        std::printf("  import %s:", i.dll.c_str());
        for (const std::string &n : i.names)
            std::printf(" %s", n.c_str());
        std::printf("\n");
    }
    return 0;
}
