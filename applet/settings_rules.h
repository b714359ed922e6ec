/* Pure rules of the settings model: timeout ranges, name fitting, the accessory search.
 * No windows.h here: these are built and fuzzed natively as well. */
#ifndef SETTINGS_RULES_H
#define SETTINGS_RULES_H

#include <stddef.h>
#include <stdint.h>
#include "device_records.h"

#define BIN_NAME_BYTES 20          /* a bin name of the model: 19 characters and a zero */
#define BIN_NAME_MAX (BIN_NAME_BYTES - 1)
#define DEVICE_BIN_NAME_MAX (DEVICE_BIN_NAME_BYTES - 1)
#define HCO_BIN_COUNT 8           /* the accessory's trays, mailboxes in mailbox mode */
#define TIMEOUT_CHOICES 8
#define TIMEOUT_UNLIMITED_INDEX 7

/* Index of the timeout choice that shows a device timeout (the next longer choice). */
uint32_t TimeoutIndexForSeconds(int32_t seconds);
/* Seconds written for a choice; index 7 and anything outside 0..6 mean unlimited (-1). */
int32_t TimeoutSecondsForIndex(uint32_t index);

/* Length of a text that may lack its terminator inside a field of `capacity` bytes. */
size_t BoundedLength(const char *text, size_t capacity);

/* Copies a text of at most `capacity` bytes (terminator or not) into `out`, fitted into
 * `maxChars` characters. A text within the limit is copied as it is, blanks included. A
 * longer one is cut at its last blank within the limit when that keeps at least two
 * thirds of the limit, otherwise at the limit itself; the blanks the cut leaves at the end
 * are dropped, unless nothing else would remain. `out` receives at most maxChars
 * characters and a zero. */
void FitName(char *out, size_t maxChars, const char *text, size_t capacity);

/* The first of the list's valid entries (never beyond six) whose part number contains
 * the accessory's part number; its index, or -1. */
int FindAccessoryEntry(const ComponentListRecord *list);

/* Whether the printer's output capabilities report the accessory. */
bool ReportsHcoAccessory(const OutputCapabilitiesRecord *caps);

/* HcoMode a target or a record stands for: mailbox and stacker as given, anything else
 * job separator. */
uint32_t NormalizeMode(uint32_t mode);

/* One of the accessory's trays as the settings model keeps it. */
typedef struct HcoBin {
    char name[BIN_NAME_BYTES];
    uint32_t nameChanged;
    uint32_t binNumber;
} HcoBin;

/* The bins a configuration record gives the model in `mode`: in mailbox mode names and
 * numbers from record bins 1 to 8; otherwise every name is `singleName` (a text of at most
 * `singleCapacity` bytes) and the numbers come from record bins 0 to 7. Names are fitted
 * into 19 characters; the changed flags are left as they are. */
void TakeConfigBins(const HcoConfigRecord *config, uint32_t mode, const char *singleName, size_t singleCapacity,
                    HcoBin bins[HCO_BIN_COUNT]);

/* What a configuration record read at the load gives the model: its mode (normalized)
 * and its bins, the single-bin name being the mode's own. */
uint32_t TakeConfigRecord(const HcoConfigRecord *config, const char *stackerName, const char *separatorName,
                          HcoBin bins[HCO_BIN_COUNT]);

/* After a switch to `target`, the printer's record is taken only once it reports that
 * mode; outside mailbox mode its bin 1 names all eight. False when it does not yet. */
bool TakeSwitchedConfig(const HcoConfigRecord *config, uint32_t target, HcoBin bins[HCO_BIN_COUNT]);

/* Whether the destination list offers `destination` in `mode`: the top output bin (20,
 * or 1 as older printers report it), the face-up bin, then the eight mailboxes' numbers in
 * mailbox mode or the single output otherwise. */
bool OffersDestination(uint32_t destination, uint32_t mode, const HcoBin bins[HCO_BIN_COUNT]);

#endif
