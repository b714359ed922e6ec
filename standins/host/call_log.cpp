/* Turns the simulated printer's log entries into readable words. The record bytes come
 * from the log, so what is shown is what travelled, not what the printer made of it. */
#include "call_log.h"
#include "host.h"
#include "device_records.h"
#include "sim_names.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

std::string NameOr(const char *name, DWORD value)
{
    if (name)
        return name;
    char text[24];
    snprintf(text, sizeof text, "0x%08lX", (unsigned long)value);
    return text;
}


template <typename R> bool Record(const SimCall &call, R *record)
{
    if (call.recordBytes < sizeof *record)
        return false;
    memcpy(record, call.record, sizeof *record);
    return true;
}

std::string Timeout(int32_t seconds)
{
    if (seconds < 0)
        return "illimitato";
    if (seconds == 0)
        return "nessuno";
    if (seconds % 60 == 0)
        return Format("%ld s (%ld min)", (long)seconds, (long)seconds / 60);
    return Format("%ld s", (long)seconds);
}

std::string Text(const char *bytes, size_t cap)
{
    return std::string(bytes, strnlen(bytes, cap));
}

bool IsWrite(DWORD operation)
{
    return operation == SIM_OP_LAL_SET || operation == SIM_OP_CAL_SET || operation == SIM_OP_CAL_SET_COMPONENT;
}

std::string ReadDetail(const SimCall &call)
{
    switch (call.object) {
    case OBJ_PERIPHERAL_INFO: {
        PeripheralInfoRecord r;
        return Record(call, &r) ? Format("tipo di periferica %lu", (unsigned long)r.peripheralKind) : "";
    }
    case OBJ_OUTPUT_CAPABILITIES: {
        OutputCapabilitiesRecord r;
        return Record(call, &r) ? Format("capacità 0x%02X, parola %lu%s", r.capabilityFlags,
                                         (unsigned long)r.capabilityWord,
                                         r.capabilityFlags & CAPABILITY_FLAG_HCO ? " (HCO)" : "")
                                : "";
    }
    case OBJ_AUTO_CONTINUE: {
        AutoContinueRecord r;
        return Record(call, &r) ? "timeout " + Timeout(r.timeoutSeconds) : "";
    }
    case OBJ_COMPONENT_LIST: {
        ComponentListRecord r;
        if (!Record(call, &r))
            return "";
        std::string text = Format("%lu componenti", (unsigned long)r.componentCount);
        for (DWORD i = 0; i < r.componentCount && i < COMPONENT_LIST_ENTRIES; i++)
            if (strstr(Text(r.entries[i].partNumber, sizeof r.entries[i].partNumber).c_str(), HCO_PART_NUMBER))
                text += Format(", HCO id 0x%lX", (unsigned long)r.entries[i].componentId);
        return text;
    }
    case OBJ_HCO_CONFIG: {
        HcoConfigRecord r;
        return Record(call, &r) ? "modalità " + ModeName(r.mode) + Format(", %lu scomparti", (unsigned long)r.binCount)
                                : "";
    }
    case OBJ_PAPER_DESTINATION: {
        PaperDestinationRecord r;
        return Record(call, &r) ? Format("destinazione %lu", (unsigned long)r.destination) : "";
    }
    case OBJ_ONLINE_STATE: {
        OnlineStateRecord r;
        return Record(call, &r) ? (r.onlineState == 1 ? "in linea" : Format("fuori linea (%lu)", (unsigned long)r.onlineState))
                                : "";
    }
    }
    return "";
}

std::string WriteDetail(const SimCall &call)
{
    switch (call.object) {
    case OBJ_AUTO_CONTINUE: {
        AutoContinueRecord r;
        if (!Record(call, &r))
            return "";
        return r.fieldMask & AUTO_CONTINUE_FIELD_TIMEOUT ? "nuovo timeout " + Timeout(r.timeoutSeconds)
                                                         : Format("fieldMask 0x%lX", (unsigned long)r.fieldMask);
    }
    case OBJ_HCO_CONFIG: {
        HcoConfigRecord r;
        if (!Record(call, &r))
            return "";
        std::string text;
        if (r.fieldMask & HCO_CONFIG_FIELD_MODE)
            text = "nuova modalità " + ModeName(r.mode);
        if (r.fieldMask & HCO_CONFIG_FIELD_BIN_NAMES) {
            int named = 0;
            std::string names;
            for (int k = 0; k < HCO_RECORD_BINS; k++) {
                if (!(r.bins[k].fieldMask & HCO_BIN_FIELD_NAME))
                    continue;
                if (named++)
                    names += ", ";
                names += Format("%lu «", (unsigned long)r.bins[k].binNumber) +
                         Text(r.bins[k].name, sizeof r.bins[k].name) + "»";
            }
            if (!text.empty())
                text += "; ";
            text += Format("nomi, %lu record, %d con nome: ", (unsigned long)r.binCount, named) + names;
        }
        return text.empty() ? Format("fieldMask 0x%lX", (unsigned long)r.fieldMask) : text;
    }
    case OBJ_PAPER_DESTINATION: {
        PaperDestinationRecord r;
        return Record(call, &r) ? Format("nuova destinazione %lu", (unsigned long)r.destination) : "";
    }
    case OBJ_ONLINE_STATE: {
        OnlineStateRecord r;
        if (!Record(call, &r))
            return "";
        if (r.request == ONLINE_REQUEST_OFFLINE)
            return "richiesta: fuori linea";
        if (r.request == ONLINE_REQUEST_ONLINE)
            return "richiesta: in linea";
        return Format("richiesta %lu", (unsigned long)r.request);
    }
    case OBJ_POWER_CYCLE: {
        PowerCycleRecord r;
        return Record(call, &r) && r.request == POWER_CYCLE_REQUEST ? "spegni e riaccendi" : "";
    }
    }
    return "";
}

} // namespace

std::string ModeName(DWORD mode)
{
    switch (mode) {
    case HCO_MODE_STACKER: return "Carrello";
    case HCO_MODE_MAILBOX: return "Mailbox";
    case HCO_MODE_JOB_SEPARATOR: return "Separatore dei lavori";
    }
    return Format("%lu", (unsigned long)mode);
}

CallText DescribeSimCall(const SimCall &call)
{
    CallText t;
    t.operation = NameOr(SimOperationName(call.operation), call.operation);
    if (call.operation == SIM_OP_TAL_MODIFY_ACCESS) {
        t.object = "—";
        t.outcome = Format("accesso %lu", (unsigned long)call.status);
        t.detail = call.status & 1 ? "modifiche concesse" : "modifiche negate";
        return t;
    }
    t.object = NameOr(SimObjectName(call.object), call.object);
    if (call.operation == SIM_OP_CAL_GET_COMPONENT || call.operation == SIM_OP_CAL_SET_COMPONENT)
        t.object += Format(" (comp. 0x%lX)", (unsigned long)call.component);
    t.outcome = call.status ? Format("errore 0x%04lX", (unsigned long)call.status) : "ok";
    t.detail = IsWrite(call.operation) ? WriteDetail(call) : call.status ? "" : ReadDetail(call);
    return t;
}

std::vector<std::string> ConfigBinLines(const SimCall &call)
{
    std::vector<std::string> lines;
    HcoConfigRecord r;
    if (call.operation != SIM_OP_CAL_SET_COMPONENT || call.object != OBJ_HCO_CONFIG || !Record(call, &r) ||
        !(r.fieldMask & HCO_CONFIG_FIELD_BIN_NAMES))
        return lines;
    for (int k = 0; k < HCO_RECORD_BINS; k++) {
        const HcoBinRecord &b = r.bins[k];
        std::string line = Format("record %d: bin %2lu  fieldMask %lu", k, (unsigned long)b.binNumber,
                                  (unsigned long)b.fieldMask);
        if (b.fieldMask & HCO_BIN_FIELD_NAME)
            line += "  nome «" + Text(b.name, sizeof b.name) + "»";
        lines.push_back(line);
    }
    return lines;
}
