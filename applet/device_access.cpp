/* Every exchange of the page with the printer: one typed read or write per device object,
 * each with its record's size word set, to the printer (and accessory component) it is
 * given. Each returns the device's status, 0 for success. */
#include "binpanel.h"

typedef DWORD(WINAPI *ObjectCall)(DeviceHandle, ObjectId, DWORD, void *, DWORD *);

DeviceTarget ModelTarget(void)
{
    DeviceTarget target = { g_settings.deviceHandle, g_settings.componentId };
    return target;
}

/* The size word is the record's own size, set afresh for every call. */
static DWORD Exchange(const DeviceTarget *target, ObjectCall call, ObjectId object, void *record, DWORD size)
{
    return call(target->device, object, 0, record, &size);
}

DWORD ReadAutoContinue(const DeviceTarget *target, AutoContinueRecord *record)
{
    return Exchange(target, LALGetObject, OBJ_AUTO_CONTINUE, record, sizeof *record);
}

DWORD ReadOutputCapabilities(const DeviceTarget *target, OutputCapabilitiesRecord *record)
{
    return Exchange(target, LALGetObject, OBJ_OUTPUT_CAPABILITIES, record, sizeof *record);
}

DWORD ReadComponentList(const DeviceTarget *target, ComponentListRecord *record)
{
    return Exchange(target, LALGetObject, OBJ_COMPONENT_LIST, record, sizeof *record);
}

DWORD ReadOnlineState(const DeviceTarget *target, OnlineStateRecord *record)
{
    return Exchange(target, LALGetObject, OBJ_ONLINE_STATE, record, sizeof *record);
}

DWORD ReadPaperDestination(const DeviceTarget *target, PaperDestinationRecord *record)
{
    return Exchange(target, PALGetObject, OBJ_PAPER_DESTINATION, record, sizeof *record);
}

DWORD ReadHcoConfig(const DeviceTarget *target, HcoConfigRecord *record)
{
    DWORD size = sizeof *record;
    return CALGetComponentObject(target->device, target->component, OBJ_HCO_CONFIG, 0, record, &size);
}

DWORD WriteAutoContinue(const DeviceTarget *target, AutoContinueRecord *record)
{
    return Exchange(target, LALSetObject, OBJ_AUTO_CONTINUE, record, sizeof *record);
}

/* The online state record is written back as read, with the request in its first word. */
DWORD WriteOnlineState(const DeviceTarget *target, OnlineStateRecord *record, DWORD request)
{
    record->request = request;
    return Exchange(target, LALSetObject, OBJ_ONLINE_STATE, record, sizeof *record);
}

DWORD WritePowerCycle(const DeviceTarget *target)
{
    PowerCycleRecord cycle = { POWER_CYCLE_REQUEST };
    return Exchange(target, LALSetObject, OBJ_POWER_CYCLE, &cycle, sizeof cycle);
}

DWORD WritePaperDestination(const DeviceTarget *target, PaperDestinationRecord *record)
{
    return Exchange(target, CALSetObject, OBJ_PAPER_DESTINATION, record, sizeof *record);
}

DWORD WriteHcoConfig(const DeviceTarget *target, HcoConfigRecord *record)
{
    DWORD size = sizeof *record;
    return CALSetComponentObject(target->device, target->component, OBJ_HCO_CONFIG, 0, record, &size);
}
