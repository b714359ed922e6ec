/* Every exchange of the page with the printer: one typed read or write per device object,
 * each with its record's size word set and the model's device (and accessory component).
 * Each returns the device's status, 0 for success. */
#include "binpanel.h"

typedef DWORD(WINAPI *ObjectCall)(DeviceHandle, ObjectId, DWORD, void *, DWORD *);

/* The size word is the record's own size, set afresh for every call. */
static DWORD Exchange(ObjectCall call, ObjectId object, void *record, DWORD size)
{
    return call(g_settings.deviceHandle, object, 0, record, &size);
}

DWORD ReadAutoContinue(AutoContinueRecord *record)
{
    return Exchange(LALGetObject, OBJ_AUTO_CONTINUE, record, sizeof *record);
}

DWORD ReadOutputCapabilities(OutputCapabilitiesRecord *record)
{
    return Exchange(LALGetObject, OBJ_OUTPUT_CAPABILITIES, record, sizeof *record);
}

DWORD ReadComponentList(ComponentListRecord *record)
{
    return Exchange(LALGetObject, OBJ_COMPONENT_LIST, record, sizeof *record);
}

DWORD ReadOnlineState(OnlineStateRecord *record)
{
    return Exchange(LALGetObject, OBJ_ONLINE_STATE, record, sizeof *record);
}

DWORD ReadPaperDestination(PaperDestinationRecord *record)
{
    return Exchange(PALGetObject, OBJ_PAPER_DESTINATION, record, sizeof *record);
}

DWORD ReadHcoConfig(HcoConfigRecord *record)
{
    DWORD size = sizeof *record;
    return CALGetComponentObject(g_settings.deviceHandle, g_settings.componentId, OBJ_HCO_CONFIG, 0, record, &size);
}

DWORD WriteAutoContinue(AutoContinueRecord *record)
{
    return Exchange(LALSetObject, OBJ_AUTO_CONTINUE, record, sizeof *record);
}

/* The online state record is written back as read, with the request in its first word. */
DWORD WriteOnlineState(OnlineStateRecord *record, DWORD request)
{
    record->request = request;
    return Exchange(LALSetObject, OBJ_ONLINE_STATE, record, sizeof *record);
}

DWORD WritePowerCycle(void)
{
    PowerCycleRecord cycle = { POWER_CYCLE_REQUEST };
    return Exchange(LALSetObject, OBJ_POWER_CYCLE, &cycle, sizeof cycle);
}

DWORD WritePaperDestination(PaperDestinationRecord *record)
{
    return Exchange(CALSetObject, OBJ_PAPER_DESTINATION, record, sizeof *record);
}

DWORD WriteHcoConfig(HcoConfigRecord *record)
{
    DWORD size = sizeof *record;
    return CALSetComponentObject(g_settings.deviceHandle, g_settings.componentId, OBJ_HCO_CONFIG, 0, record, &size);
}
