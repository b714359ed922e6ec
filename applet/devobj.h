/* The device object library's seven operations, as Binpanel imports them.
 * Every one returns a 32-bit status, 0 for success; the caller sets *size to the
 * record's size before each call, and the word after the object id is always 0. */
#ifndef DEVOBJ_H
#define DEVOBJ_H

#include <windows.h>
#include "device_records.h"

typedef DWORD DeviceHandle;
typedef DWORD ObjectId;
typedef LONG ComponentId;

#ifdef DEVOBJ_BUILD
#define DEVOBJ_API
#else
#define DEVOBJ_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

DEVOBJ_API DWORD WINAPI LALGetObject(DeviceHandle device, ObjectId object, DWORD zero, void *record, DWORD *size);
DEVOBJ_API DWORD WINAPI PALGetObject(DeviceHandle device, ObjectId object, DWORD zero, void *record, DWORD *size);
DEVOBJ_API DWORD WINAPI LALSetObject(DeviceHandle device, ObjectId object, DWORD zero, void *record, DWORD *size);
DEVOBJ_API DWORD WINAPI CALSetObject(DeviceHandle device, ObjectId object, DWORD zero, void *record, DWORD *size);
DEVOBJ_API DWORD WINAPI CALGetComponentObject(DeviceHandle device, ComponentId component, ObjectId object, DWORD zero, void *record, DWORD *size);
DEVOBJ_API DWORD WINAPI CALSetComponentObject(DeviceHandle device, ComponentId component, ObjectId object, DWORD zero, void *record, DWORD *size);
DEVOBJ_API DWORD WINAPI TALModifyAccess(DeviceHandle device);

#ifdef __cplusplus
}
#endif

#endif
