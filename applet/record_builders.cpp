/* Record builders for the applet's writes. */
#include "record_builders.h"
#include "settings_rules.h"

static void ZeroRecord(void *record, uint32_t size)
{
    uint8_t *bytes = (uint8_t *)record;
    for (uint32_t i = 0; i < size; i++)
        bytes[i] = 0;
}

static void StartBinNames(HcoConfigRecord *record, uint32_t binCount)
{
    ZeroRecord(record, sizeof *record);
    record->fieldMask = HCO_CONFIG_FIELD_BIN_NAMES;
    record->binCount = binCount;
    for (uint32_t k = 0; k < HCO_RECORD_BINS; k++)
        record->bins[k].binNumber = k + BIN_FACE_UP;
}

static void NameBin(HcoBinRecord *bin, const char *name)
{
    FitName(bin->name, DEVICE_BIN_NAME_MAX, name, 256);
    bin->fieldMask = HCO_BIN_FIELD_NAME;
}

void BuildTimeoutRecord(AutoContinueRecord *record, uint32_t timeoutIndex)
{
    ZeroRecord(record, sizeof *record);
    record->fieldMask = AUTO_CONTINUE_FIELD_TIMEOUT;
    record->timeoutSeconds = TimeoutSecondsForIndex(timeoutIndex);
}

void BuildModeRecord(HcoConfigRecord *record, uint32_t mode)
{
    ZeroRecord(record, sizeof *record);
    record->fieldMask = HCO_CONFIG_FIELD_MODE;
    record->mode = NormalizeMode(mode);
}

void BuildBinNamesRecord(HcoConfigRecord *record, const char *const names[8])
{
    StartBinNames(record, HCO_RECORD_BINS);
    for (uint32_t i = 0; i < 8; i++)
        if (names[i])
            NameBin(&record->bins[i + 1], names[i]);
}

void BuildNameResetRecord(HcoConfigRecord *record, uint32_t mode, const char *const names[HCO_RECORD_BINS])
{
    StartBinNames(record, NormalizeMode(mode) == HCO_MODE_MAILBOX ? HCO_RECORD_BINS : 2);
    for (uint32_t k = 0; k < HCO_RECORD_BINS; k++)
        if (names[k])
            NameBin(&record->bins[k], names[k]);
}
