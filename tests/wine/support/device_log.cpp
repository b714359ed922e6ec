#include "device_log.h"
#include "sim_names.h"

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

std::string DescribeCall(DWORD operation, DWORD object)
{
    const char *op = SimOperationName(operation), *name = SimObjectName(object);
    return std::string(op ? op : "?") + "(" + (name ? name : object ? "unknown object" : "") + ")";
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

SimPrinter DefaultPrinter()
{
    SimPrinter spec;
    SimDefaultPrinter(&spec);
    return spec;
}

void UsePrinters(const std::vector<SimPrinter> &printers)
{
    SimClear();
    for (const SimPrinter &p : printers)
        SimAddPrinter(&p);
}
