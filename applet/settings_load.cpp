/* The settings model and its load from the printer at each page initialisation. */
#include "binpanel.h"
#include "page_descriptor.h"
#include "resource.h"

HcoSettings g_settings = {
    NULL,                 /* pageWindow */
    0,                    /* deviceHandle */
    0,                    /* componentId */
    HCO_MODE_MAILBOX,     /* mode */
    BIN_TOP_OUTPUT,       /* destinationAtLoad */
    TIMEOUT_UNLIMITED_INDEX,
    0,                    /* timeoutChanged */
    {
        { "", 0, BIN_TOP_OUTPUT }, { "", 0, BIN_TOP_OUTPUT }, { "", 0, BIN_TOP_OUTPUT }, { "", 0, BIN_TOP_OUTPUT },
        { "", 0, BIN_TOP_OUTPUT }, { "", 0, BIN_TOP_OUTPUT }, { "", 0, BIN_TOP_OUTPUT }, { "", 0, BIN_TOP_OUTPUT },
    },
    {
        { IDI_TOP_OUTPUT_BIN, BIN_TOP_OUTPUT }, { IDI_FACE_UP_BIN, BIN_FACE_UP },
        { -1, -1 }, { -1, -1 }, { -1, -1 }, { -1, -1 }, { -1, -1 }, { -1, -1 }, { -1, -1 }, { -1, -1 },
    },
    BIN_TOP_OUTPUT,       /* destination */
    0,                    /* destinationChanged */
    "",                   /* savedName */
    0,                    /* nameEditFocused */
    0,                    /* destinationReadOk */
    {},                   /* paperDestinationBuffer */
};

/* Loads a string into a buffer of `bufferChars` characters and from there into a bin
 * name, fitted into 19 characters. */
void LoadBinName(HcoBin *bin, UINT stringId, int bufferChars)
{
    char text[256];
    text[0] = 0;
    LoadStringA(g_instance, stringId, text, bufferChars < 256 ? bufferChars : 256);
    FitName(bin->name, BIN_NAME_MAX, text, sizeof text);
}

static void LoadTimeout(const DeviceTarget *target)
{
    AutoContinueRecord record;
    if (ReadAutoContinue(target, &record) == 0)
        g_settings.timeoutIndex = TimeoutIndexForSeconds(record.timeoutSeconds);
}

static bool AccessoryReported(const DeviceTarget *target)
{
    OutputCapabilitiesRecord caps;
    return ReadOutputCapabilities(target, &caps) == 0 && ReportsHcoAccessory(&caps);
}

/* Takes over the mode, names and bin numbers of a configuration record as read. */
static void TakeConfiguration(const HcoConfigRecord &config)
{
    char stacker[256], separator[256];
    stacker[0] = separator[0] = 0;
    LoadStringA(g_instance, IDS_STACKER_NAME, stacker, sizeof stacker);
    LoadStringA(g_instance, IDS_JOB_SEPARATOR_NAME, separator, sizeof separator);
    g_settings.mode = TakeConfigRecord(&config, stacker, separator, g_settings.bins);
}

DWORD LoadHcoSettings(HWND dialog, LPARAM initParam)
{
    if (initParam)
        g_settings.deviceHandle = (DeviceHandle)((const PageDescriptor *)initParam)->deviceHandle;
    g_settings.pageWindow = dialog;
    if (g_pageLeftBehind == dialog)
        g_pageLeftBehind = NULL; /* a handle used again */
    /* A page closed while its name edit had the focus never reported losing it; left set,
     * the new page's first fill of the edit would count as a rename and be written. */
    g_settings.nameEditFocused = 0;
    /* The model outlives its pages: what an earlier page changed is not this page's to
     * write, and would put rounded timeouts and cut names into a printer nobody edited. */
    g_settings.timeoutChanged = 0;
    g_settings.destinationChanged = 0;
    for (int i = 0; i < HCO_BIN_COUNT; i++)
        g_settings.bins[i].nameChanged = 0;
    g_settings.mode = HCO_MODE_MAILBOX;
    ZeroMemory(&g_settings.paperDestinationBuffer, sizeof g_settings.paperDestinationBuffer);
    g_settings.destinationReadOk = 0;

    DeviceTarget printer = ModelTarget();
    if (printer.device != 0)
        LoadTimeout(&printer);
    for (int i = 0; i < HCO_BIN_COUNT; i++)
        LoadBinName(&g_settings.bins[i], IDS_MAILBOX_FIRST + i, 256);

    /* Kept from another printer's page, the component would take this printer's writes
     * when its list cannot be read: without a good read, no component is known. */
    g_settings.componentId = NO_COMPONENT;
    if (AccessoryReported(&printer)) {
        ComponentListRecord list;
        if (ReadComponentList(&printer, &list) == 0 && list.componentCount != 0) {
            int entry = FindAccessoryEntry(&list);
            if (entry < 0)
                return DEVOBJ_FAILURE;
            g_settings.componentId = (ComponentId)list.entries[entry].componentId;
            DeviceTarget accessory = ModelTarget();
            HcoConfigRecord config;
            if (ReadHcoConfig(&accessory, &config) == 0)
                TakeConfiguration(config);
        }
    }
    PopulatePage(dialog);
    return 1;
}
