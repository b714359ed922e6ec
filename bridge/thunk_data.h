/* BRIDGE32's thunk data as the platform reads it: the exported ThunkTable, and TargetTable
 * kept together with the connection names so that the table's distance from the 16-bit
 * table name to TargetTable is fixed at compile time. 32-bit layout only. */
#ifndef THUNK_DATA_H
#define THUNK_DATA_H

#include <stddef.h>
#include <stdint.h>

typedef void (*ThunkTarget)(void);

#define THUNK_CHECKSUM 0x306u /* the 16-bit half's table carries the same */
#define BRIDGE_TARGET_COUNT 1
#define BRIDGE_MODULE_NAME_BYTES 16

struct ThunkTable {
    char signature[4];            /* "SL01": calls from the 16-bit side into this one */
    uint32_t checksum;
    ThunkTarget *targetTable;
    uint32_t platformWord;        /* left to the platform */
    char secondSignature[4];      /* "LB01" */
    uint32_t zero[3];
    int32_t nameToTargetTable;    /* TargetTable minus the address of the 16-bit table name */
};

struct BridgeTargets {
    ThunkTarget targetTable[BRIDGE_TARGET_COUNT];
    char module16[BRIDGE_MODULE_NAME_BYTES];
    char separator;               /* keeps the name 21 bytes after TargetTable, as shipped */
    char table16Name[sizeof "ZorvoReg_ThunkData16"];
    char module32[BRIDGE_MODULE_NAME_BYTES];
};

#define BRIDGE_NAME_TO_TARGET_TABLE \
    ((int32_t)offsetof(BridgeTargets, targetTable) - (int32_t)offsetof(BridgeTargets, table16Name))

static_assert(sizeof(ThunkTable) == 36, "ThunkTable is 36 bytes");
static_assert(offsetof(ThunkTable, checksum) == 4, "checksum");
static_assert(offsetof(ThunkTable, targetTable) == 8, "address of TargetTable");
static_assert(offsetof(ThunkTable, platformWord) == 12, "platform word");
static_assert(offsetof(ThunkTable, secondSignature) == 16, "second signature");
static_assert(offsetof(ThunkTable, nameToTargetTable) == 32, "distance to TargetTable");
static_assert(BRIDGE_NAME_TO_TARGET_TABLE == -21, "the shipped layout");

#endif
