/* Fuzz target: any bytes in the records the page's load reads, through the rules that
 * turn them into the settings model and back into the records the apply writes. */
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include "record_builders.h"
#include "settings_rules.h"

template <typename R> static R *Take(const uint8_t *&data, size_t &size)
{
    R *record = static_cast<R *>(std::malloc(sizeof(R))); /* exact size: overreads show */
    size_t n = size < sizeof(R) ? size : sizeof(R);
    std::memset(record, 0, sizeof(R));
    std::memcpy(record, data, n);
    data += n;
    size -= n;
    return record;
}

static void Check(bool holds)
{
    if (!holds)
        std::abort();
}

static bool IsPrefixOfField(const char *name, const char *field, size_t capacity)
{
    size_t n = std::strlen(name);
    return n <= capacity && std::memcmp(name, field, n) == 0;
}

static bool OnlyBlanks(const char *text, size_t n)
{
    for (size_t i = 0; i < n; i++)
        if (text[i] != ' ')
            return false;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    AutoContinueRecord *timeout = Take<AutoContinueRecord>(data, size);
    ComponentListRecord *list = Take<ComponentListRecord>(data, size);
    HcoConfigRecord *config = Take<HcoConfigRecord>(data, size);

    int32_t seconds = timeout->timeoutSeconds;
    uint32_t index = TimeoutIndexForSeconds(seconds);
    Check(index < TIMEOUT_CHOICES);
    if (seconds >= 0 && seconds <= 2700) {
        Check(TimeoutSecondsForIndex(index) >= seconds);
        Check(index == 0 || TimeoutSecondsForIndex(index - 1) < seconds);
    }

    int entry = FindAccessoryEntry(list);
    uint32_t valid = list->componentCount < 6 ? list->componentCount : 6;
    Check(entry >= -1 && entry < (int)valid);

    HcoBin bins[HCO_BIN_COUNT];
    uint32_t mode = TakeConfigRecord(config, "CARRELLO", "SEPARATORE DELLE OPERAZIONI DI ", bins);
    Check(mode >= 1 && mode <= 3);
    const char *names[8];
    for (int i = 0; i < 8; i++) {
        size_t n = std::strlen(bins[i].name);
        Check(n <= BIN_NAME_MAX);
        if (mode == HCO_MODE_MAILBOX) {
            const char *field = config->bins[i + 1].name;
            size_t length = BoundedLength(field, DEVICE_BIN_NAME_BYTES);
            Check(IsPrefixOfField(bins[i].name, field, DEVICE_BIN_NAME_BYTES));
            if (length <= BIN_NAME_MAX) /* a name that fits is kept exactly */
                Check(n == length);
            else /* a cut one keeps two thirds but for the blanks it drops, and ends in a
                  * blank only when it is all blanks */
                Check(n > 0 && (n * 3 >= BIN_NAME_MAX * 2 || OnlyBlanks(field + n, BIN_NAME_MAX - n)) &&
                      (bins[i].name[n - 1] != ' ' || OnlyBlanks(bins[i].name, n)));
            Check(bins[i].binNumber == config->bins[i + 1].binNumber);
        } else {
            Check(bins[i].binNumber == config->bins[i].binNumber);
        }
        names[i] = (data && size && (data[0] >> (i % 8)) & 1) ? bins[i].name : nullptr;
    }

    HcoConfigRecord *write = static_cast<HcoConfigRecord *>(std::malloc(sizeof(HcoConfigRecord)));
    BuildBinNamesRecord(write, names);
    Check(write->fieldMask == HCO_CONFIG_FIELD_BIN_NAMES && write->binCount == 9 && write->mode == 0);
    for (int k = 0; k < 9; k++) {
        Check(write->bins[k].binNumber == uint32_t(k + 3));
        bool named = k > 0 && names[k - 1];
        Check(write->bins[k].fieldMask == (named ? HCO_BIN_FIELD_NAME : 0u));
        Check(std::strlen(write->bins[k].name) <= DEVICE_BIN_NAME_MAX);
    }
    BuildModeRecord(write, config->mode);
    Check(write->fieldMask == HCO_CONFIG_FIELD_MODE && write->mode >= 1 && write->mode <= 3);

    std::free(write);
    std::free(timeout);
    std::free(list);
    std::free(config);
    return 0;
}
