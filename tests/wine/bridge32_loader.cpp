/* A 32-bit process that loads BRIDGE32 for the Bridge16 tests, each run in a fresh process so
 * that no 16-bit module is left from an earlier case:
 *   bridge32_loader load BRIDGE32.dll           exit code 0 when it loads, else GetLastError()
 *   bridge32_loader notify BRIDGE32.dll REPORT  loads it, then records the connect calls of a
 *       thread's attach and detach and of the unload: BRIDGE32's import of ThunkConnect32 is
 *       pointed at a recorder that hands each call on to the kernel's own. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

typedef UINT(WINAPI *ThunkConnect32Fn)(void *, LPSTR, LPSTR, LPSTR, HMODULE, DWORD);

static ThunkConnect32Fn g_thunkConnect32;
static FILE *g_report;

static UINT WINAPI RecordingThunkConnect32(void *table, LPSTR table16Name, LPSTR module16,
                                           LPSTR module32, HMODULE instance, DWORD reason)
{
    UINT result = g_thunkConnect32(table, table16Name, module16, module32, instance, reason);
    fprintf(g_report, "connect reason=%lu table=%p name16=%s module16=%s module32=%s instance=%p result=%u\n",
            reason, table, table16Name, module16, module32, (void *)instance, result);
    fflush(g_report);
    return result;
}

/* The import address table entry of module that holds function of dll. */
static void **ImportSlot(HMODULE module, const char *dll, void *function)
{
    BYTE *base = (BYTE *)module;
    IMAGE_NT_HEADERS *nt = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR *d = (IMAGE_IMPORT_DESCRIPTOR *)(base + dir.VirtualAddress); d->Name; d++) {
        if (_stricmp((char *)(base + d->Name), dll) != 0)
            continue;
        for (void **slot = (void **)(base + d->FirstThunk); *slot; slot++)
            if (*slot == function)
                return slot;
    }
    return NULL;
}

static DWORD WINAPI Idle(void *)
{
    return 0;
}

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    HMODULE bridge = LoadLibraryExA(argv[2], NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!bridge)
        return (int)GetLastError();
    if (strcmp(argv[1], "notify") != 0 || argc < 4)
        return 0;

    g_report = fopen(argv[3], "w");
    if (!g_report)
        return 3;
    fprintf(g_report, "loaded instance=%p table=%p\n", (void *)bridge,
            (void *)GetProcAddress(bridge, "ZorvoReg_ThunkData32"));
    g_thunkConnect32 = (ThunkConnect32Fn)GetProcAddress(GetModuleHandleA("kernel32.dll"), "ThunkConnect32");
    void **slot = ImportSlot(bridge, "KERNEL32.dll", (void *)g_thunkConnect32);
    DWORD protection;
    if (!slot || !VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection))
        return 4;
    *slot = (void *)RecordingThunkConnect32;

    HANDLE thread = CreateThread(NULL, 0, Idle, NULL, 0, NULL);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    FreeLibrary(bridge);
    fprintf(g_report, "unloaded\n");
    fclose(g_report);
    return 0;
}
