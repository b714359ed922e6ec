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

/* What a configuration record read from the printer gives the model: its mode (2
 * mailbox, 1 stacker, anything else job separator, 3), and the eight bins' names and
 * numbers. In mailbox mode they come from records 1 to 8; otherwise every name is the
 * mode's single-bin name and the numbers come from records 0 to 7. */
typedef struct ModelBin {
    char name[BIN_NAME_BYTES];
    uint32_t binNumber;
} ModelBin;
uint32_t TakeConfigRecord(const HcoConfigRecord *config, const char *stackerName, const char *separatorName,
                          ModelBin bins[8]);

/* HcoMode a target stands for: mailbox and stacker as given, anything else job separator. */
uint32_t NormalizeMode(uint32_t mode);

#endif
