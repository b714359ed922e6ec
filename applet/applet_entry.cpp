/* Binpanel's entry: the library load and unload, and the offer of the HCO page. */
#include "binpanel.h"
#include "page_descriptor.h"
#include "resource.h"
#include "controls/bin_picture.h"
#include "controls/level_bar.h"

HINSTANCE g_instance;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_instance = instance;
        /* the dialog templates hold controls of both classes */
        RegisterBinPictureClass(instance);
        RegisterLevelBarClass(instance);
        break;
    case DLL_PROCESS_DETACH:
        UnregisterBinPictureClass();
        UnregisterLevelBarClass();
        break;
    }
    return TRUE;
}

extern "C" DWORD WINAPI AppletGetTabPages(DeviceHandle device, PageDescriptor *pages, DWORD *pageCount,
                                          DWORD requestFlags)
{
    if (!pages || !pageCount)
        return DEVOBJ_FAILURE;

    HCURSOR previous = SetCursor(LoadCursorA(NULL, IDC_WAIT));
    DWORD result = 0;
    if ((TALModifyAccess(device) & 1) && (requestFlags & 1)) {
        PeripheralInfoRecord peripheral;
        DWORD size = sizeof peripheral;
        result = PALGetObject(device, OBJ_PERIPHERAL_INFO, 0, &peripheral, &size);
        if (result == 0 && peripheral.peripheralKind == PERIPHERAL_KIND_SUPPORTED) {
            OutputCapabilitiesRecord caps;
            size = sizeof caps;
            result = PALGetObject(device, OBJ_OUTPUT_CAPABILITIES, 0, &caps, &size);
            if (result == 0 && ReportsHcoAccessory(&caps)) {
                PageDescriptor page = {}; /* no stray byte reaches the host, padding included */
                page.descriptorSize = sizeof page;
                page.flags = 0;
                page.instance = g_instance;
                page.templateId = IDD_PAGE;
                page.pageIconId = IDI_PAGE;
                page.titleId = IDS_PAGE_TITLE;
                page.dialogProc = HCOSheetProc;
                page.deviceHandle = (LPARAM)device;
                page.lastWord = 1;
                *pages = page;
                ++*pageCount;
            }
        }
    }
    SetCursor(previous);
    return result;
}
