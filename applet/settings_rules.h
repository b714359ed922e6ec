/* Pure rules of the settings model: timeout ranges, name fitting, the accessory search.
 * No windows.h here: these are built and fuzzed natively as well. */
#ifndef SETTINGS_RULES_H
#define SETTINGS_RULES_H

#include <stddef.h>
#include <stdint.h>
#include "device_records.h"
#include "resources/resource.h"

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

/* The rows of the paper destination list in a mode: the top output bin, the face-up bin,
 * then the eight mailboxes in mailbox mode or the accessory's single output otherwise. The
 * fill, the pick and the apply all take the list from here. */
#define DESTINATION_ROWS 10

typedef enum DestinationLabel {
    DEST_LABEL_TOP_OUTPUT,     /* the fixed text of the top output bin */
    DEST_LABEL_FACE_UP,        /* the fixed text of the face-up bin */
    DEST_LABEL_MAILBOX,        /* the name of the row's mailbox */
    DEST_LABEL_STACKER,        /* the stacker's name */
    DEST_LABEL_JOB_SEPARATOR,  /* the job separator's name */
} DestinationLabel;

typedef struct DestinationRow {
    uint32_t label;     /* DestinationLabel */
    int32_t iconId;     /* the icon shown beside the list when the row is the destination */
    uint32_t binNumber; /* the printer bin a pick of the row writes */
    int32_t mailbox;    /* the mailbox whose name the row shows, -1 for the others */
} DestinationRow;

/* Fills `rows` with the list of `mode` (any mode but mailbox and stacker being job
 * separator); returns how many there are, 3 or 10. */
int DestinationRowsFor(uint32_t mode, const HcoBin bins[HCO_BIN_COUNT], DestinationRow rows[DESTINATION_ROWS]);

/* Whether a row stands for a destination the printer reports: the top output bin's row
 * also for 1, as older printers report it. */
bool RowStandsFor(const DestinationRow *row, uint32_t destination);

/* Whether the destination list of `mode` has a row for `destination`. */
bool OffersDestination(uint32_t destination, uint32_t mode, const HcoBin bins[HCO_BIN_COUNT]);

#endif
