#include "gdi_objects.h"

#include <windows.h>
#include <intrin.h>

/* Wine's GDI handle table, from the PEB: at +0xF8 on x64, at +0x94 on x86. */
static const BYTE *GdiHandleTable()
{
#ifdef _WIN64
    const BYTE *peb = (const BYTE *)__readgsqword(0x60);
    return *(const BYTE *const *)(peb + 0xF8);
#else
    const BYTE *peb = (const BYTE *)__readfsdword(0x30);
    return *(const BYTE *const *)(peb + 0x94);
#endif
}

/* GetGuiResources is a stub under Wine: count the used entries of the process's GDI
 * handle table instead (0x10000 entries of 24 bytes on both, type at byte 14). */
int GdiObjectCount()
{
    const BYTE *table = GdiHandleTable();
    if (!table)
        return -1;
    int used = 0;
    for (int i = 0; i < 0x10000; i++)
        if (table[i * 24 + 14])
            used++;
    return used;
}

size_t PrivateBytes()
{
    size_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const BYTE *at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = (const BYTE *)region.BaseAddress + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
    }
    return total;
}
