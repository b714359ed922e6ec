/* Pure rules of the settings model. */
#include "settings_rules.h"

static const int32_t kTimeoutSeconds[TIMEOUT_CHOICES] = { 0, 300, 600, 1200, 1800, 2700, 3600, -1 };

uint32_t TimeoutIndexForSeconds(int32_t seconds)
{
    if (seconds < 0)
        return TIMEOUT_UNLIMITED_INDEX;
    if (seconds == 0)
        return 0;
    /* a value between two choices shows as the next longer one; above 2700 all is "1 ora" */
    for (uint32_t i = 1; i <= 5; i++)
        if (seconds <= kTimeoutSeconds[i])
            return i;
    return 6;
}

int32_t TimeoutSecondsForIndex(uint32_t index)
{
    return index < TIMEOUT_UNLIMITED_INDEX ? kTimeoutSeconds[index] : -1;
}

size_t BoundedLength(const char *text, size_t capacity)
{
    size_t n = 0;
    while (n < capacity && text[n])
        n++;
    return n;
}

/* Length of the first `length` characters of a text without their trailing blanks. */
static size_t WithoutTrailingBlanks(const char *text, size_t length)
{
    while (length > 0 && text[length - 1] == ' ')
        length--;
    return length;
}

void FitName(char *out, size_t maxChars, const char *text, size_t capacity)
{
    size_t keep = BoundedLength(text, capacity);
    if (keep > maxChars) {
        /* A cut at a word boundary reads better, but not when it throws most of the name
         * away: two bins would end up with the same first word, or a leading blank with
         * nothing at all. */
        size_t blank = maxChars;
        while (blank > 0 && text[blank] != ' ')
            blank--;
        size_t words = WithoutTrailingBlanks(text, blank);
        keep = words * 3 >= maxChars * 2 ? words : WithoutTrailingBlanks(text, maxChars);
        if (keep == 0)
            keep = maxChars;
    }
    for (size_t i = 0; i < keep; i++)
        out[i] = text[i];
    out[keep] = 0;
}

static bool ContainsText(const char *field, size_t capacity, const char *needle)
{
    size_t length = BoundedLength(field, capacity);
    size_t needleLength = BoundedLength(needle, 64);
    for (size_t start = 0; start + needleLength <= length; start++) {
        size_t k = 0;
        while (k < needleLength && field[start + k] == needle[k])
            k++;
        if (k == needleLength)
            return true;
    }
    return false;
}

int FindAccessoryEntry(const ComponentListRecord *list)
{
    uint32_t count = list->componentCount < COMPONENT_LIST_ENTRIES ? list->componentCount : COMPONENT_LIST_ENTRIES;
    for (uint32_t i = 0; i < count; i++)
        if (ContainsText(list->entries[i].partNumber, sizeof list->entries[i].partNumber, HCO_PART_NUMBER))
            return (int)i;
    return -1;
}

bool ReportsHcoAccessory(const OutputCapabilitiesRecord *caps)
{
    return (caps->capabilityFlags & CAPABILITY_FLAG_HCO) && caps->capabilityWord != 0;
}

uint32_t NormalizeMode(uint32_t mode)
{
    return mode == HCO_MODE_MAILBOX || mode == HCO_MODE_STACKER ? mode : HCO_MODE_JOB_SEPARATOR;
}

void TakeConfigBins(const HcoConfigRecord *config, uint32_t mode, const char *singleName, size_t singleCapacity,
                    HcoBin bins[HCO_BIN_COUNT])
{
    for (int i = 0; i < HCO_BIN_COUNT; i++) {
        if (mode == HCO_MODE_MAILBOX) {
            const HcoBinRecord &record = config->bins[i + 1];
            FitName(bins[i].name, BIN_NAME_MAX, record.name, sizeof record.name);
            bins[i].binNumber = record.binNumber;
        } else {
            FitName(bins[i].name, BIN_NAME_MAX, singleName, singleCapacity);
            bins[i].binNumber = config->bins[i].binNumber;
        }
    }
}

uint32_t TakeConfigRecord(const HcoConfigRecord *config, const char *stackerName, const char *separatorName,
                          HcoBin bins[HCO_BIN_COUNT])
{
    uint32_t mode = NormalizeMode(config->mode);
    TakeConfigBins(config, mode, mode == HCO_MODE_STACKER ? stackerName : separatorName, 256, bins);
    return mode;
}

bool TakeSwitchedConfig(const HcoConfigRecord *config, uint32_t target, HcoBin bins[HCO_BIN_COUNT])
{
    if (config->mode != target)
        return false;
    TakeConfigBins(config, target, config->bins[1].name, sizeof config->bins[1].name, bins);
    return true;
}

int DestinationRowsFor(uint32_t mode, const HcoBin bins[HCO_BIN_COUNT], DestinationRow rows[DESTINATION_ROWS])
{
    rows[0] = { DEST_LABEL_TOP_OUTPUT, IDI_TOP_OUTPUT_BIN, BIN_TOP_OUTPUT, -1 };
    rows[1] = { DEST_LABEL_FACE_UP, IDI_FACE_UP_BIN, BIN_FACE_UP, -1 };
    if (mode == HCO_MODE_MAILBOX) {
        for (int i = 0; i < HCO_BIN_COUNT; i++)
            rows[2 + i] = { DEST_LABEL_MAILBOX, IDI_MAILBOX_FIRST + i, bins[i].binNumber, i };
        return 2 + HCO_BIN_COUNT;
    }
    uint32_t label = mode == HCO_MODE_STACKER ? DEST_LABEL_STACKER : DEST_LABEL_JOB_SEPARATOR;
    rows[2] = { label, IDI_HCO_SINGLE_OUTPUT, BIN_HCO_FIRST, -1 };
    return 3;
}

bool RowStandsFor(const DestinationRow *row, uint32_t destination)
{
    return row->binNumber == destination || (row->label == DEST_LABEL_TOP_OUTPUT && destination == BIN_TOP_OUTPUT_OLD);
}

bool OffersDestination(uint32_t destination, uint32_t mode, const HcoBin bins[HCO_BIN_COUNT])
{
    DestinationRow rows[DESTINATION_ROWS];
    int count = DestinationRowsFor(mode, bins, rows);
    for (int k = 0; k < count; k++)
        if (RowStandsFor(&rows[k], destination))
            return true;
    return false;
}
