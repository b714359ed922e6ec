/* Device objects and the records they travel in between Binpanel and Devobj.
 * The records are a wire format: every size and every offset that carries meaning
 * is checked below, on every build. Multi-byte fields are little-endian words. */
#ifndef DEVICE_RECORDS_H
#define DEVICE_RECORDS_H

#include <stddef.h>
#include <stdint.h>

#define OBJ_PERIPHERAL_INFO     0x002F0001u
#define OBJ_OUTPUT_CAPABILITIES 0x0029000Bu
#define OBJ_AUTO_CONTINUE       0x0021003Bu
#define OBJ_COMPONENT_LIST      0x00210027u
#define OBJ_HCO_CONFIG          0x00210025u /* a component object of the accessory */
#define OBJ_PAPER_DESTINATION   0x00290006u
#define OBJ_ONLINE_STATE        0x0021002Cu
#define OBJ_POWER_CYCLE         0x0021003Cu

#define DEVOBJ_FAILURE 0xFFFFu /* also the applet's own failure result */

/* fieldMask bits of the records written fresh */
#define AUTO_CONTINUE_FIELD_TIMEOUT 8u
#define HCO_CONFIG_FIELD_MODE       1u
#define HCO_CONFIG_FIELD_BIN_NAMES  2u
#define HCO_BIN_FIELD_NAME          2u

#define HCO_MODE_STACKER       1u
#define HCO_MODE_MAILBOX       2u
#define HCO_MODE_JOB_SEPARATOR 3u

#define ONLINE_REQUEST_ONLINE  1u
#define ONLINE_REQUEST_OFFLINE 2u
#define POWER_CYCLE_REQUEST    1u

/* printer bin numbers */
#define BIN_FACE_UP      3
#define BIN_HCO_FIRST    4   /* accessory tray 1; also its single output outside mailbox mode */
#define BIN_HCO_LAST     11  /* accessory tray 8 */
#define BIN_TOP_OUTPUT   20
#define BIN_TOP_OUTPUT_OLD 1 /* read as the top output bin too */

#define CAPABILITY_FLAG_HCO 0x20u
#define PERIPHERAL_KIND_SUPPORTED 11u
#define HCO_PART_NUMBER "K0417Z"

#define COMPONENT_LIST_ENTRIES 6
#define HCO_RECORD_BINS 9
#define DEVICE_BIN_NAME_BYTES 32

#pragma pack(push, 1)

typedef struct PeripheralInfoRecord {
    uint32_t peripheralKind;
    uint8_t reserved[84];
} PeripheralInfoRecord;

typedef struct OutputCapabilitiesRecord {
    uint8_t capabilityFlags;
    uint8_t reserved1[27];
    uint32_t capabilityWord;
    uint8_t reserved2[76];
} OutputCapabilitiesRecord;

typedef struct AutoContinueRecord {
    uint32_t fieldMask;
    uint8_t reserved1[12];
    int32_t timeoutSeconds;
    uint8_t reserved2[36];
} AutoContinueRecord;

typedef struct ComponentEntry {
    uint8_t reserved[4];
    char partNumber[80];
    uint32_t componentId;
} ComponentEntry;

typedef struct ComponentListRecord {
    uint32_t componentCount;
    ComponentEntry entries[COMPONENT_LIST_ENTRIES];
} ComponentListRecord;

typedef struct HcoBinRecord {
    uint32_t fieldMask;
    uint8_t reserved[16];
    uint32_t binNumber;
    char name[DEVICE_BIN_NAME_BYTES];
} HcoBinRecord;

typedef struct HcoConfigRecord {
    uint32_t fieldMask;
    uint8_t reserved1[160];
    uint32_t mode;
    uint32_t binCount;
    uint8_t reserved2[16];
    HcoBinRecord bins[HCO_RECORD_BINS];
} HcoConfigRecord;

typedef struct PaperDestinationRecord {
    uint8_t reserved1[300];
    uint32_t destination;
    uint8_t reserved2[80];
} PaperDestinationRecord;

typedef struct OnlineStateRecord {
    uint32_t request;
    uint8_t reserved[12];
    uint32_t onlineState;
} OnlineStateRecord;

typedef struct PowerCycleRecord {
    uint32_t request;
} PowerCycleRecord;

#pragma pack(pop)

#define RECORD_LAYOUT(type, field, offset) static_assert(offsetof(type, field) == (offset), #type "." #field)
static_assert(sizeof(PeripheralInfoRecord) == 88, "PeripheralInfoRecord");
static_assert(sizeof(OutputCapabilitiesRecord) == 108, "OutputCapabilitiesRecord");
static_assert(sizeof(AutoContinueRecord) == 56, "AutoContinueRecord");
static_assert(sizeof(ComponentEntry) == 88, "ComponentEntry");
static_assert(sizeof(ComponentListRecord) == 532, "ComponentListRecord");
static_assert(sizeof(HcoBinRecord) == 56, "HcoBinRecord");
static_assert(sizeof(HcoConfigRecord) == 692, "HcoConfigRecord");
static_assert(sizeof(PaperDestinationRecord) == 384, "PaperDestinationRecord");
static_assert(sizeof(OnlineStateRecord) == 20, "OnlineStateRecord");
static_assert(sizeof(PowerCycleRecord) == 4, "PowerCycleRecord");
RECORD_LAYOUT(PeripheralInfoRecord, peripheralKind, 0);
RECORD_LAYOUT(OutputCapabilitiesRecord, capabilityFlags, 0);
RECORD_LAYOUT(OutputCapabilitiesRecord, capabilityWord, 28);
RECORD_LAYOUT(AutoContinueRecord, fieldMask, 0);
RECORD_LAYOUT(AutoContinueRecord, timeoutSeconds, 16);
RECORD_LAYOUT(ComponentListRecord, componentCount, 0);
RECORD_LAYOUT(ComponentListRecord, entries, 4);
RECORD_LAYOUT(ComponentEntry, partNumber, 4);
RECORD_LAYOUT(ComponentEntry, componentId, 84);
RECORD_LAYOUT(HcoConfigRecord, fieldMask, 0);
RECORD_LAYOUT(HcoConfigRecord, mode, 164);
RECORD_LAYOUT(HcoConfigRecord, binCount, 168);
RECORD_LAYOUT(HcoConfigRecord, bins, 188);
RECORD_LAYOUT(HcoBinRecord, fieldMask, 0);
RECORD_LAYOUT(HcoBinRecord, binNumber, 20);
RECORD_LAYOUT(HcoBinRecord, name, 24);
RECORD_LAYOUT(PaperDestinationRecord, destination, 300);
RECORD_LAYOUT(OnlineStateRecord, request, 0);
RECORD_LAYOUT(OnlineStateRecord, onlineState, 16);
RECORD_LAYOUT(PowerCycleRecord, request, 0);
#undef RECORD_LAYOUT

#endif
