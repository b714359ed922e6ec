/* Control interface of the simulated printer library (test and demo use only).
 * Beside the seven device operations, Devobj.dll exports these to set printers up,
 * feed malformed records, inject failures and read back the calls it served. */
#ifndef DEVOBJ_SIM_H
#define DEVOBJ_SIM_H

#include <windows.h>
#include "../../applet/device_records.h"

/* statuses of the simulation; 0xFFFF is kept for injected failures */
#define SIM_E_UNKNOWN_DEVICE  0x0101u
#define SIM_E_UNKNOWN_OBJECT  0x0102u
#define SIM_E_BAD_SIZE        0x0103u
#define SIM_E_NULL_RECORD     0x0104u
#define SIM_E_NOT_WRITABLE    0x0105u
#define SIM_E_BAD_COMPONENT   0x0106u
#define SIM_E_BAD_VALUE       0x0107u

typedef enum SimOperation {
    SIM_OP_LAL_GET = 1,
    SIM_OP_PAL_GET,
    SIM_OP_LAL_SET,
    SIM_OP_CAL_SET,
    SIM_OP_CAL_GET_COMPONENT,
    SIM_OP_CAL_SET_COMPONENT,
    SIM_OP_TAL_MODIFY_ACCESS,
    SIM_OP_ANY = 0xFF
} SimOperation;

/* One printer as a scenario describes it. */
typedef struct SimPrinter {
    DWORD size;              /* sizeof(SimPrinter) */
    DWORD device;            /* its DeviceHandle */
    char name[64];           /* shown by the demo host */
    DWORD accessMask;        /* TALModifyAccess answer */
    DWORD peripheralKind;
    DWORD capabilityFlags;   /* low byte used */
    DWORD capabilityWord;
    DWORD hasAccessory;      /* whether the component list carries the accessory's entry */
    DWORD componentId;       /* the accessory's ComponentId */
    DWORD mode;              /* HcoMode as the printer reports it */
    DWORD online;            /* onlineState */
    LONG timeoutSeconds;
    DWORD destination;       /* paper destination, a printer bin number */
    DWORD binCount;
    DWORD binNumbers[HCO_RECORD_BINS];
    char binNames[HCO_RECORD_BINS][DEVICE_BIN_NAME_BYTES];
} SimPrinter;

/* One call as the library served it. */
#define SIM_LOG_RECORD_BYTES 692
typedef struct SimCall {
    DWORD operation;   /* SimOperation */
    DWORD device;
    DWORD component;   /* component id for the component operations, else 0 */
    DWORD object;      /* 0 for TALModifyAccess */
    DWORD zero;        /* the always-0 word as passed */
    DWORD size;        /* the size word as passed (0 when the pointer was null) */
    DWORD status;      /* what the call returned */
    DWORD recordBytes; /* how many bytes of record follow (written, or returned by a read) */
    BYTE record[SIM_LOG_RECORD_BYTES];
} SimCall;

#ifdef DEVOBJ_BUILD
#define SIM_API
#else
#define SIM_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Printers */
SIM_API void WINAPI SimDefaultPrinter(SimPrinter *spec);        /* the built-in demo printer */
SIM_API void WINAPI SimReset(void);                              /* the built-in scenario, empty log, no faults */
SIM_API void WINAPI SimClear(void);                              /* no printers at all */
SIM_API DWORD WINAPI SimAddPrinter(const SimPrinter *spec);  /* 0 on success */
SIM_API DWORD WINAPI SimLoadScenario(const char *iniPath);       /* printers loaded, 0 when none */
SIM_API DWORD WINAPI SimPrinterCount(void);
SIM_API DWORD WINAPI SimPrinterAt(DWORD index, SimPrinter *spec); /* the printer's state now; 0 on success */

/* Records: read the current bytes without logging, or replace them with raw bytes
 * (reads then answer exactly those bytes; a later write changes them as usual). */
SIM_API DWORD WINAPI SimPeekObject(DWORD device, DWORD object, void *buffer, DWORD size);
SIM_API DWORD WINAPI SimPokeObject(DWORD device, DWORD object, const void *bytes, DWORD size);
SIM_API DWORD WINAPI SimPendingMode(DWORD device); /* mode written but not yet power-cycled, 0 if none */

/* Faults: the next `count` calls of `operation` (or SIM_OP_ANY) on `object` (0 = any)
 * fail with `status`, touching nothing. A later arm for the same pair replaces it. */
SIM_API void WINAPI SimFailNext(DWORD operation, DWORD object, DWORD count, DWORD status);
SIM_API void WINAPI SimClearFaults(void);
/* The call that comes `calls` device calls from now (0 = the very next one) fails with
 * `status`, whatever it is: for sweeping a fault over every step of a user action. */
SIM_API void WINAPI SimFailAt(DWORD calls, DWORD status);

/* Log of calls, oldest first. */
SIM_API DWORD WINAPI SimLogCount(void);
SIM_API DWORD WINAPI SimLogEntry(DWORD index, SimCall *call); /* 0 on success */
SIM_API void WINAPI SimLogClear(void);
SIM_API void WINAPI SimLogEnable(DWORD enabled);

/* Round trip delay added to every device call, in milliseconds. */
SIM_API void WINAPI SimSetDelay(DWORD milliseconds);

#ifdef __cplusplus
}
#endif

#endif
