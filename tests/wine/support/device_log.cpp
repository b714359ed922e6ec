#include "device_log.h"

#include <gtest/gtest.h>
#include <cstdio>

std::vector<SimCall> DeviceCalls()
{
    std::vector<SimCall> calls(SimLogCount());
    for (DWORD i = 0; i < calls.size(); i++)
        SimLogEntry(i, &calls[i]);
    return calls;
}

std::vector<SimCall> DeviceWrites()
{
    std::vector<SimCall> writes;
    for (const SimCall &c : DeviceCalls())
        if (c.operation == SIM_OP_LAL_SET || c.operation == SIM_OP_CAL_SET || c.operation == SIM_OP_CAL_SET_COMPONENT)
            writes.push_back(c);
    return writes;
}

static const char *OperationName(DWORD op)
{
    switch (op) {
    case SIM_OP_LAL_GET: return "LALGetObject";
    case SIM_OP_PAL_GET: return "PALGetObject";
    case SIM_OP_LAL_SET: return "LALSetObject";
    case SIM_OP_CAL_SET: return "CALSetObject";
    case SIM_OP_CAL_GET_COMPONENT: return "CALGetComponentObject";
    case SIM_OP_CAL_SET_COMPONENT: return "CALSetComponentObject";
    case SIM_OP_TAL_MODIFY_ACCESS: return "TALModifyAccess";
    }
    return "?";
}

static const char *ObjectName(DWORD object)
{
    switch (object) {
    case 0: return "";
    case OBJ_PERIPHERAL_INFO: return "OBJ_PERIPHERAL_INFO";
    case OBJ_OUTPUT_CAPABILITIES: return "OBJ_OUTPUT_CAPABILITIES";
    case OBJ_AUTO_CONTINUE: return "OBJ_AUTO_CONTINUE";
    case OBJ_COMPONENT_LIST: return "OBJ_COMPONENT_LIST";
    case OBJ_HCO_CONFIG: return "OBJ_HCO_CONFIG";
    case OBJ_PAPER_DESTINATION: return "OBJ_PAPER_DESTINATION";
    case OBJ_ONLINE_STATE: return "OBJ_ONLINE_STATE";
    case OBJ_POWER_CYCLE: return "OBJ_POWER_CYCLE";
    }
    return "unknown object";
}

std::string DescribeCall(DWORD operation, DWORD object)
{
    return std::string(OperationName(operation)) + "(" + ObjectName(object) + ")";
}

bool ExpectCalls(const std::vector<ExpectedCall> &expected, const std::vector<SimCall> &got)
{
    bool same = true;
    size_t n = expected.size() > got.size() ? expected.size() : got.size();
    for (size_t i = 0; i < n; i++) {
        std::string want = i < expected.size() ? DescribeCall(expected[i].operation, expected[i].object) : "nothing";
        std::string came = i < got.size() ? DescribeCall(got[i].operation, got[i].object) : "nothing";
        if (want != came) {
            ADD_FAILURE() << "device call " << i << ": got " << came << ", expected " << want;
            same = false;
        }
    }
    return same;
}

SimPrinterSpec DefaultPrinter()
{
    SimPrinterSpec spec;
    SimDefaultSpec(&spec);
    return spec;
}

void UsePrinters(const std::vector<SimPrinterSpec> &printers)
{
    SimClear();
    for (const SimPrinterSpec &p : printers)
        SimAddPrinter(&p);
}
