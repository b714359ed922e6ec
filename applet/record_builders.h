/* Builders of the records that the applet writes fresh: each starts from zero and sets
 * only the fields its write carries, naming them in fieldMask. */
#ifndef RECORD_BUILDERS_H
#define RECORD_BUILDERS_H

#include <stdint.h>
#include "device_records.h"

void BuildTimeoutRecord(AutoContinueRecord *record, uint32_t timeoutIndex);
void BuildModeRecord(HcoConfigRecord *record, uint32_t mode);

/* The apply's bin name write: names[i] is the accessory's bin i + 1, or null when the
 * user did not change it. Record bin 0 is never named here. */
void BuildBinNamesRecord(HcoConfigRecord *record, const char *const names[8]);

/* The reset after a mode change: names[k] names record bin k, or null. binCount is 9 in
 * mailbox mode and 2 otherwise. */
void BuildNameResetRecord(HcoConfigRecord *record, uint32_t mode, const char *const names[HCO_RECORD_BINS]);

#endif
