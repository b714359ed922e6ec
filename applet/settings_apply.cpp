/* The apply: writes what the user changed on the page, three independent writes in a
 * fixed order. Their statuses are not looked at and no changed flag is cleared. */
#include "binpanel.h"
#include "record_builders.h"

static void ApplyTimeout(const DeviceTarget *printer)
{
    AutoContinueRecord record;
    BuildTimeoutRecord(&record, g_settings.timeoutIndex);
    WriteAutoContinue(printer, &record);
}

static void ApplyBinNames(const DeviceTarget *printer)
{
    /* names without a known accessory would go to no component of the printer */
    if (printer->component == NO_COMPONENT)
        return;
    const char *names[HCO_BIN_COUNT] = {};
    bool any = false;
    for (int i = 0; i < HCO_BIN_COUNT; i++) {
        if (g_settings.bins[i].nameChanged == 1) {
            names[i] = g_settings.bins[i].name;
            any = true;
        }
    }
    if (!any)
        return;
    HcoConfigRecord record;
    BuildBinNamesRecord(&record, names);
    WriteHcoConfig(printer, &record);
}

static void ApplyDestination(const DeviceTarget *printer)
{
    if (!g_settings.destinationChanged || g_settings.destination == g_settings.destinationAtLoad)
        return;
    /* Without a good read since the page opened, the kept record is zeros: writing it
     * back would wipe the printer's record, so there is nothing sound to send. */
    if (!g_settings.destinationReadOk)
        return;
    /* A destination the list has no row for is not one the user sees: a mailbox picked
     * before a mode change, kept when the read after the change failed. */
    if (!OffersDestination(g_settings.destination, g_settings.mode, g_settings.bins))
        return;
    g_settings.paperDestinationBuffer.destination = g_settings.destination;
    WritePaperDestination(printer, &g_settings.paperDestinationBuffer);
}

void ApplyHcoSettings(void)
{
    DeviceTarget printer = ModelTarget();
    if (g_settings.timeoutChanged)
        ApplyTimeout(&printer);
    ApplyBinNames(&printer);
    ApplyDestination(&printer);
}
