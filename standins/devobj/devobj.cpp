/* Devobj stand-in: a simulated printer with the HCO accessory.
 * It answers the seven device operations from per-printer records and changes them
 * the way the printer does: fieldMask-driven writes, a mode that takes effect only
 * after a power cycle, and an offline state after the cycle until an online request. */
#define DEVOBJ_BUILD
#include "devobj_sim.h"
#include "../../applet/devobj.h"

#include <string.h>
#include <stdlib.h>
#include <stdio.h>
#include <vector>

namespace {

struct Printer {
    DWORD device;
    char name[64];
    DWORD accessMask;
    PeripheralInfoRecord peripheral;
    OutputCapabilitiesRecord capabilities;
    AutoContinueRecord autoContinue;
    ComponentListRecord components;
    HcoConfigRecord config;
    PaperDestinationRecord destination;
    OnlineStateRecord online;
    DWORD pendingMode;
};

struct Fault {
    DWORD operation, object, count, status;
};

std::vector<Printer> g_printers;
std::vector<SimCall> g_log;
std::vector<Fault> g_faults;
DWORD g_delay;
DWORD g_failAt = 0xFFFFFFFFu; /* calls to go before the swept fault */
DWORD g_failAtStatus;
DWORD g_logEnabled = 1;

struct ObjectInfo {
    DWORD object;
    DWORD size;
    bool writable;
};

const ObjectInfo kObjects[] = {
    { OBJ_PERIPHERAL_INFO, sizeof(PeripheralInfoRecord), false },
    { OBJ_OUTPUT_CAPABILITIES, sizeof(OutputCapabilitiesRecord), false },
    { OBJ_AUTO_CONTINUE, sizeof(AutoContinueRecord), true },
    { OBJ_COMPONENT_LIST, sizeof(ComponentListRecord), false },
    { OBJ_HCO_CONFIG, sizeof(HcoConfigRecord), true },
    { OBJ_PAPER_DESTINATION, sizeof(PaperDestinationRecord), true },
    { OBJ_ONLINE_STATE, sizeof(OnlineStateRecord), true },
    { OBJ_POWER_CYCLE, sizeof(PowerCycleRecord), true },
};

const ObjectInfo *find_object(DWORD object)
{
    for (const ObjectInfo &info : kObjects)
        if (info.object == object)
            return &info;
    return nullptr;
}

Printer *find_printer(DWORD device)
{
    for (Printer &p : g_printers)
        if (p.device == device)
            return &p;
    return nullptr;
}

/* Where a printer keeps an object's bytes; the power cycle has none (write only). */
void *storage(Printer &p, DWORD object)
{
    switch (object) {
    case OBJ_PERIPHERAL_INFO: return &p.peripheral;
    case OBJ_OUTPUT_CAPABILITIES: return &p.capabilities;
    case OBJ_AUTO_CONTINUE: return &p.autoContinue;
    case OBJ_COMPONENT_LIST: return &p.components;
    case OBJ_HCO_CONFIG: return &p.config;
    case OBJ_PAPER_DESTINATION: return &p.destination;
    case OBJ_ONLINE_STATE: return &p.online;
    default: return nullptr;
    }
}

/* The component operations answer for the accessory as the component list names it now,
 * so that a poked list moves the accessory with it. */
bool is_accessory(const Printer &p, DWORD component)
{
    DWORD count = p.components.componentCount < COMPONENT_LIST_ENTRIES ? p.components.componentCount
                                                                      : COMPONENT_LIST_ENTRIES;
    for (DWORD i = 0; i < count; i++) {
        const ComponentEntry &e = p.components.entries[i];
        char part[sizeof e.partNumber + 1] = {};
        memcpy(part, e.partNumber, sizeof e.partNumber);
        if (e.componentId == component && strstr(part, HCO_PART_NUMBER))
            return true;
    }
    return false;
}

void copy_text(char *dst, size_t cap, const char *src)
{
    size_t n = strnlen(src, cap - 1);
    memcpy(dst, src, n);
    memset(dst + n, 0, cap - n);
}

void build_printer(Printer &p, const SimPrinter &s)
{
    memset(&p, 0, sizeof p);
    p.device = s.device;
    copy_text(p.name, sizeof p.name, s.name);
    p.accessMask = s.accessMask;
    p.peripheral.peripheralKind = s.peripheralKind;
    memcpy(p.peripheral.reserved, "SIMULATED PRINTER", 17);
    p.capabilities.capabilityFlags = (uint8_t)s.capabilityFlags;
    p.capabilities.capabilityWord = s.capabilityWord;
    p.autoContinue.timeoutSeconds = s.timeoutSeconds;

    /* A few ordinary components around the accessory, as a real printer lists them. */
    static const char *const others[] = { "C3166-60001 DUPLEX UNIT", "C4782-60002 ENVELOPE FEEDER" };
    ComponentListRecord &list = p.components;
    auto add = [&list](const char *part, DWORD id) {
        ComponentEntry &e = list.entries[list.componentCount++];
        copy_text(e.partNumber, sizeof e.partNumber, part);
        e.componentId = id;
    };
    add(others[0], 0x100);
    if (s.hasAccessory)
        add("C" HCO_PART_NUMBER "-HCO 8-BIN MAILBOX", s.componentId);
    add(others[1], 0x102);

    p.config.mode = s.mode;
    p.config.binCount = s.binCount;
    for (int i = 0; i < HCO_RECORD_BINS; i++) {
        p.config.bins[i].binNumber = s.binNumbers[i];
        copy_text(p.config.bins[i].name, DEVICE_BIN_NAME_BYTES, s.binNames[i]);
    }
    p.destination.destination = s.destination;
    memset(p.destination.reserved1, 0xA5, sizeof p.destination.reserved1);
    memset(p.destination.reserved2, 0x5A, sizeof p.destination.reserved2);
    p.online.onlineState = s.online;
    p.online.reserved[0] = 0x77;
}

void log_call(DWORD op, DWORD device, DWORD component, DWORD object, DWORD zero, const DWORD *size,
              DWORD status, const void *record, DWORD bytes)
{
    if (!g_logEnabled)
        return;
    SimCall c;
    memset(&c, 0, sizeof c);
    c.operation = op;
    c.device = device;
    c.component = component;
    c.object = object;
    c.zero = zero;
    c.size = size ? *size : 0;
    c.status = status;
    if (record && bytes) {
        c.recordBytes = bytes < SIM_LOG_RECORD_BYTES ? bytes : SIM_LOG_RECORD_BYTES;
        memcpy(c.record, record, c.recordBytes);
    }
    g_log.push_back(c);
}

/* Counts every call down to the swept fault, valid or not. */
bool take_swept_fault(DWORD *status)
{
    if (g_failAt == 0xFFFFFFFFu)
        return false;
    if (g_failAt-- == 0) {
        *status = g_failAtStatus;
        return true;
    }
    return false;
}

bool take_fault(DWORD op, DWORD object, DWORD *status)
{
    for (Fault &f : g_faults) {
        if (f.count && (f.operation == SIM_OP_ANY || f.operation == op) && (f.object == 0 || f.object == object)) {
            f.count--;
            *status = f.status;
            return true;
        }
    }
    return false;
}

/* The printer takes from a fresh record only what its fieldMask words name. */
void write_object(Printer &p, DWORD object, const void *record)
{
    switch (object) {
    case OBJ_AUTO_CONTINUE: {
        const AutoContinueRecord *r = static_cast<const AutoContinueRecord *>(record);
        if (r->fieldMask & AUTO_CONTINUE_FIELD_TIMEOUT)
            p.autoContinue.timeoutSeconds = r->timeoutSeconds;
        break;
    }
    case OBJ_HCO_CONFIG: {
        const HcoConfigRecord *r = static_cast<const HcoConfigRecord *>(record);
        if (r->fieldMask & HCO_CONFIG_FIELD_MODE)
            p.pendingMode = r->mode;
        if (r->fieldMask & HCO_CONFIG_FIELD_BIN_NAMES) {
            p.config.binCount = r->binCount;
            for (int i = 0; i < HCO_RECORD_BINS; i++)
                if (r->bins[i].fieldMask & HCO_BIN_FIELD_NAME)
                    copy_text(p.config.bins[i].name, DEVICE_BIN_NAME_BYTES, r->bins[i].name);
        }
        break;
    }
    case OBJ_PAPER_DESTINATION:
        p.destination.destination = static_cast<const PaperDestinationRecord *>(record)->destination;
        break;
    case OBJ_ONLINE_STATE: {
        DWORD request = static_cast<const OnlineStateRecord *>(record)->request;
        if (request == ONLINE_REQUEST_OFFLINE)
            p.online.onlineState = 0;
        else if (request == ONLINE_REQUEST_ONLINE)
            p.online.onlineState = 1;
        break;
    }
    case OBJ_POWER_CYCLE:
        if (static_cast<const PowerCycleRecord *>(record)->request == POWER_CYCLE_REQUEST) {
            if (p.pendingMode) {
                p.config.mode = p.pendingMode;
                p.pendingMode = 0;
                /* Outside mailbox mode the mailboxes are gone: paper sent to one of them
                 * now leaves through the accessory's single output. */
                uint32_t &bin = p.destination.destination;
                if (p.config.mode != HCO_MODE_MAILBOX && bin > BIN_HCO_FIRST && bin <= BIN_HCO_LAST)
                    bin = BIN_HCO_FIRST;
            }
            p.online.onlineState = 0; /* the printer comes back offline */
        }
        break;
    }
}

DWORD validate(DWORD device, DWORD object, const void *record, const DWORD *size, Printer **printer,
               const ObjectInfo **info)
{
    if (!record || !size)
        return SIM_E_NULL_RECORD;
    *printer = find_printer(device);
    if (!*printer)
        return SIM_E_UNKNOWN_DEVICE;
    *info = find_object(object);
    if (!*info)
        return SIM_E_UNKNOWN_OBJECT;
    if (*size != (*info)->size)
        return SIM_E_BAD_SIZE;
    return 0;
}

void delay()
{
    if (g_delay)
        Sleep(g_delay);
}

/* Everything a call must pass before the printer acts on it, faults included. */
DWORD check_call(DWORD op, DWORD device, DWORD component, DWORD object, const void *record, const DWORD *size,
                 bool componentCall, bool write, Printer **p, const ObjectInfo **info)
{
    delay();
    DWORD swept = 0;
    bool sweptHere = take_swept_fault(&swept);
    DWORD status = validate(device, object, record, size, p, info);
    if (!status && (object == OBJ_HCO_CONFIG) != componentCall)
        status = SIM_E_UNKNOWN_OBJECT;
    if (!status && componentCall && !is_accessory(**p, component))
        status = SIM_E_BAD_COMPONENT;
    if (!status && (write ? !(*info)->writable : !storage(**p, object)))
        status = SIM_E_NOT_WRITABLE; /* read-only, or write-only */
    if (!status && sweptHere)
        status = swept;
    if (!status)
        take_fault(op, object, &status);
    return status;
}

DWORD do_get(DWORD op, DWORD device, DWORD component, DWORD object, DWORD zero, void *record, DWORD *size,
             bool componentCall)
{
    Printer *p = nullptr;
    const ObjectInfo *info = nullptr;
    DWORD status = check_call(op, device, component, object, record, size, componentCall, false, &p, &info);
    if (status) {
        log_call(op, device, component, object, zero, size, status, nullptr, 0);
        return status;
    }
    memcpy(record, storage(*p, object), info->size);
    log_call(op, device, component, object, zero, size, 0, record, info->size);
    return 0;
}

DWORD do_set(DWORD op, DWORD device, DWORD component, DWORD object, DWORD zero, void *record, DWORD *size,
             bool componentCall)
{
    Printer *p = nullptr;
    const ObjectInfo *info = nullptr;
    DWORD status = check_call(op, device, component, object, record, size, componentCall, true, &p, &info);
    /* the log keeps what was sent, also for a refused write */
    log_call(op, device, component, object, zero, size, status, record,
             record && size && info && *size == info->size ? info->size : 0);
    if (!status)
        write_object(*p, object, record);
    return status;
}

bool read_ini_names(const char *path, const char *section, SimPrinter &s)
{
    char key[16];
    for (int i = 0; i < HCO_RECORD_BINS; i++) {
        sprintf(key, "Bin%dName", i);
        GetPrivateProfileStringA(section, key, s.binNames[i], s.binNames[i], DEVICE_BIN_NAME_BYTES, path);
        sprintf(key, "Bin%dNumber", i);
        s.binNumbers[i] = GetPrivateProfileIntA(section, key, s.binNumbers[i], path);
    }
    return true;
}

} // namespace

extern "C" {

DWORD WINAPI LALGetObject(DeviceHandle device, ObjectId object, DWORD zero, void *record, DWORD *size)
{
    return do_get(SIM_OP_LAL_GET, device, 0, object, zero, record, size, false);
}

DWORD WINAPI PALGetObject(DeviceHandle device, ObjectId object, DWORD zero, void *record, DWORD *size)
{
    return do_get(SIM_OP_PAL_GET, device, 0, object, zero, record, size, false);
}

DWORD WINAPI LALSetObject(DeviceHandle device, ObjectId object, DWORD zero, void *record, DWORD *size)
{
    return do_set(SIM_OP_LAL_SET, device, 0, object, zero, record, size, false);
}

DWORD WINAPI CALSetObject(DeviceHandle device, ObjectId object, DWORD zero, void *record, DWORD *size)
{
    return do_set(SIM_OP_CAL_SET, device, 0, object, zero, record, size, false);
}

DWORD WINAPI CALGetComponentObject(DeviceHandle device, ComponentId component, ObjectId object, DWORD zero,
                                   void *record, DWORD *size)
{
    return do_get(SIM_OP_CAL_GET_COMPONENT, device, (DWORD)component, object, zero, record, size, true);
}

DWORD WINAPI CALSetComponentObject(DeviceHandle device, ComponentId component, ObjectId object, DWORD zero,
                                   void *record, DWORD *size)
{
    return do_set(SIM_OP_CAL_SET_COMPONENT, device, (DWORD)component, object, zero, record, size, true);
}

DWORD WINAPI TALModifyAccess(DeviceHandle device)
{
    delay();
    Printer *p = find_printer(device);
    DWORD mask = p ? p->accessMask : 0;
    DWORD status = 0;
    if (take_swept_fault(&status) || take_fault(SIM_OP_TAL_MODIFY_ACCESS, 0, &status))
        mask = status;
    log_call(SIM_OP_TAL_MODIFY_ACCESS, device, 0, 0, 0, nullptr, mask, nullptr, 0);
    return mask;
}

void WINAPI SimDefaultPrinter(SimPrinter *s)
{
    static const char *const names[HCO_RECORD_BINS] = {
        "Scomp. testo verso l'alto", "Amministrazione", "Contabilit\xE0", "Ufficio tecnico", "Direzione",
        "Magazzino", "Vendite", "Ricerca", "Segreteria",
    };
    memset(s, 0, sizeof *s);
    s->size = sizeof *s;
    s->device = 1;
    copy_text(s->name, sizeof s->name, "Stampante reparto (HCO)");
    s->accessMask = 1;
    s->peripheralKind = PERIPHERAL_KIND_SUPPORTED;
    s->capabilityFlags = CAPABILITY_FLAG_HCO | 0x01;
    s->capabilityWord = 8;
    s->hasAccessory = 1;
    s->componentId = 0x101;
    s->mode = HCO_MODE_MAILBOX;
    s->online = 1;
    s->timeoutSeconds = 600;
    s->destination = 6; /* mailbox 3 */
    s->binCount = HCO_RECORD_BINS;
    for (int i = 0; i < HCO_RECORD_BINS; i++) {
        s->binNumbers[i] = (DWORD)(i + BIN_FACE_UP);
        copy_text(s->binNames[i], DEVICE_BIN_NAME_BYTES, names[i]);
    }
}

void WINAPI SimClear(void)
{
    g_printers.clear();
    g_log.clear();
    g_faults.clear();
    g_failAt = 0xFFFFFFFFu;
    g_delay = 0;
    g_logEnabled = 1;
}

DWORD WINAPI SimAddPrinter(const SimPrinter *spec)
{
    if (!spec || spec->size != sizeof(SimPrinter))
        return SIM_E_BAD_SIZE;
    Printer p;
    build_printer(p, *spec);
    if (Printer *old = find_printer(spec->device))
        *old = p;
    else
        g_printers.push_back(p);
    return 0;
}

void WINAPI SimReset(void)
{
    SimClear();
    SimPrinter s;
    SimDefaultPrinter(&s);
    SimAddPrinter(&s);
}

/* Scenario files are INI files:
 *   [Scenario] Printers=2
 *   [Printer1] Device=1, Name=..., Access=1, PeripheralKind=11, CapabilityFlags=33,
 *              CapabilityWord=8, Accessory=1, ComponentId=257, Mode=2, Online=1,
 *              Timeout=600, Destination=6, BinCount=9, Bin0Name=..., Bin0Number=3, ...
 * Keys left out take the built-in printer's values. */
DWORD WINAPI SimLoadScenario(const char *iniPath)
{
    char full[MAX_PATH];
    if (!iniPath || !GetFullPathNameA(iniPath, MAX_PATH, full, nullptr))
        return 0;
    int count = GetPrivateProfileIntA("Scenario", "Printers", 0, full);
    if (count <= 0)
        return 0;
    SimClear();
    for (int n = 1; n <= count && n <= 64; n++) {
        char section[16];
        sprintf(section, "Printer%d", n);
        SimPrinter s;
        SimDefaultPrinter(&s);
        s.device = GetPrivateProfileIntA(section, "Device", n, full);
        GetPrivateProfileStringA(section, "Name", s.name, s.name, sizeof s.name, full);
        s.accessMask = GetPrivateProfileIntA(section, "Access", s.accessMask, full);
        s.peripheralKind = GetPrivateProfileIntA(section, "PeripheralKind", s.peripheralKind, full);
        s.capabilityFlags = GetPrivateProfileIntA(section, "CapabilityFlags", s.capabilityFlags, full);
        s.capabilityWord = GetPrivateProfileIntA(section, "CapabilityWord", s.capabilityWord, full);
        s.hasAccessory = GetPrivateProfileIntA(section, "Accessory", s.hasAccessory, full);
        s.componentId = GetPrivateProfileIntA(section, "ComponentId", s.componentId, full);
        s.mode = GetPrivateProfileIntA(section, "Mode", s.mode, full);
        s.online = GetPrivateProfileIntA(section, "Online", s.online, full);
        s.timeoutSeconds = (LONG)GetPrivateProfileIntA(section, "Timeout", s.timeoutSeconds, full);
        s.destination = GetPrivateProfileIntA(section, "Destination", s.destination, full);
        s.binCount = GetPrivateProfileIntA(section, "BinCount", s.binCount, full);
        read_ini_names(full, section, s);
        SimAddPrinter(&s);
    }
    return (DWORD)g_printers.size();
}

DWORD WINAPI SimPrinterCount(void)
{
    return (DWORD)g_printers.size();
}

DWORD WINAPI SimPrinterAt(DWORD index, SimPrinter *s)
{
    if (index >= g_printers.size() || !s)
        return SIM_E_UNKNOWN_DEVICE;
    const Printer &p = g_printers[index];
    memset(s, 0, sizeof *s);
    s->size = sizeof *s;
    s->device = p.device;
    memcpy(s->name, p.name, sizeof s->name);
    s->accessMask = p.accessMask;
    s->peripheralKind = p.peripheral.peripheralKind;
    s->capabilityFlags = p.capabilities.capabilityFlags;
    s->capabilityWord = p.capabilities.capabilityWord;
    s->hasAccessory = 0;
    for (DWORD i = 0; i < COMPONENT_LIST_ENTRIES && !s->hasAccessory; i++) {
        if (is_accessory(p, p.components.entries[i].componentId)) {
            s->hasAccessory = 1;
            s->componentId = p.components.entries[i].componentId;
        }
    }
    s->mode = p.config.mode;
    s->online = p.online.onlineState;
    s->timeoutSeconds = p.autoContinue.timeoutSeconds;
    s->destination = p.destination.destination;
    s->binCount = p.config.binCount;
    for (int i = 0; i < HCO_RECORD_BINS; i++) {
        s->binNumbers[i] = p.config.bins[i].binNumber;
        memcpy(s->binNames[i], p.config.bins[i].name, DEVICE_BIN_NAME_BYTES);
    }
    return 0;
}

DWORD WINAPI SimPeekObject(DWORD device, DWORD object, void *buffer, DWORD size)
{
    Printer *p = find_printer(device);
    const ObjectInfo *info = find_object(object);
    if (!p)
        return SIM_E_UNKNOWN_DEVICE;
    if (!info || !storage(*p, object))
        return SIM_E_UNKNOWN_OBJECT;
    if (!buffer || size != info->size)
        return SIM_E_BAD_SIZE;
    memcpy(buffer, storage(*p, object), size);
    return 0;
}

DWORD WINAPI SimPokeObject(DWORD device, DWORD object, const void *bytes, DWORD size)
{
    Printer *p = find_printer(device);
    const ObjectInfo *info = find_object(object);
    if (!p)
        return SIM_E_UNKNOWN_DEVICE;
    if (!info || !storage(*p, object))
        return SIM_E_UNKNOWN_OBJECT;
    if (!bytes || size != info->size)
        return SIM_E_BAD_SIZE;
    memcpy(storage(*p, object), bytes, size);
    return 0;
}

DWORD WINAPI SimPendingMode(DWORD device)
{
    Printer *p = find_printer(device);
    return p ? p->pendingMode : 0;
}

void WINAPI SimFailNext(DWORD operation, DWORD object, DWORD count, DWORD status)
{
    for (Fault &f : g_faults) {
        if (f.operation == operation && f.object == object) {
            f.count = count;
            f.status = status;
            return;
        }
    }
    g_faults.push_back(Fault{ operation, object, count, status });
}

void WINAPI SimClearFaults(void)
{
    g_faults.clear();
    g_failAt = 0xFFFFFFFFu;
}

void WINAPI SimFailAt(DWORD calls, DWORD status)
{
    g_failAt = calls;
    g_failAtStatus = status;
}

DWORD WINAPI SimLogCount(void)
{
    return (DWORD)g_log.size();
}

DWORD WINAPI SimLogEntry(DWORD index, SimCall *call)
{
    if (index >= g_log.size() || !call)
        return SIM_E_BAD_VALUE;
    *call = g_log[index];
    return 0;
}

void WINAPI SimLogClear(void)
{
    g_log.clear();
}

void WINAPI SimLogEnable(DWORD enabled)
{
    g_logEnabled = enabled;
}

void WINAPI SimSetDelay(DWORD milliseconds)
{
    g_delay = milliseconds;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH];
        DWORD n = GetEnvironmentVariableA("DEVOBJ_SCENARIO", path, sizeof path);
        if (!(n && n < sizeof path && SimLoadScenario(path)))
            SimReset();
    }
    return TRUE;
}

} // extern "C"
