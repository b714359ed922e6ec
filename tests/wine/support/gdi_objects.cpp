#include "gdi_objects.h"

#include <windows.h>
#include <intrin.h>

/* GetGuiResources is a stub under Wine: count the used entries of the process's GDI
 * handle table instead (x64 PEB + 0xF8, 0x10000 entries of 24 bytes, type at byte 14). */
int GdiObjectCount()
{
    const BYTE *peb = (const BYTE *)__readgsqword(0x60);
    const BYTE *table = *(const BYTE *const *)(peb + 0xF8);
    if (!table)
        return -1;
    int used = 0;
    for (int i = 0; i < 0x10000; i++)
        if (table[i * 24 + 14])
            used++;
    return used;
}
