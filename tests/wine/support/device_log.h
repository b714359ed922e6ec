/* The simulated printer's call log as the tests read it, and one helper that compares
 * a run's calls with an expected table, naming the step, what came and what was expected. */
#ifndef DEVICE_LOG_H
#define DEVICE_LOG_H

#include <windows.h>
#include <cstring>
#include <string>
#include <vector>
#include "devobj_sim.h"

struct ExpectedCall {
    DWORD operation; /* SimOperation */
    DWORD object;    /* 0 for TALModifyAccess */
};

/* Every call the applet makes, by name: the page's, one for each exchange of its device
 * access, and the offer's, made with the host's handle. */
const ExpectedCall kReadAutoContinue = { SIM_OP_LAL_GET, OBJ_AUTO_CONTINUE };
const ExpectedCall kReadOutputCapabilities = { SIM_OP_LAL_GET, OBJ_OUTPUT_CAPABILITIES };
const ExpectedCall kReadComponentList = { SIM_OP_LAL_GET, OBJ_COMPONENT_LIST };
const ExpectedCall kReadOnlineState = { SIM_OP_LAL_GET, OBJ_ONLINE_STATE };
const ExpectedCall kReadPaperDestination = { SIM_OP_PAL_GET, OBJ_PAPER_DESTINATION };
const ExpectedCall kReadHcoConfig = { SIM_OP_CAL_GET_COMPONENT, OBJ_HCO_CONFIG };
const ExpectedCall kWriteAutoContinue = { SIM_OP_LAL_SET, OBJ_AUTO_CONTINUE };
const ExpectedCall kWriteOnlineState = { SIM_OP_LAL_SET, OBJ_ONLINE_STATE };
const ExpectedCall kWritePowerCycle = { SIM_OP_LAL_SET, OBJ_POWER_CYCLE };
const ExpectedCall kWritePaperDestination = { SIM_OP_CAL_SET, OBJ_PAPER_DESTINATION };
const ExpectedCall kWriteHcoConfig = { SIM_OP_CAL_SET_COMPONENT, OBJ_HCO_CONFIG };
const ExpectedCall kOfferAccess = { SIM_OP_TAL_MODIFY_ACCESS, 0 };
const ExpectedCall kOfferPeripheral = { SIM_OP_PAL_GET, OBJ_PERIPHERAL_INFO };
const ExpectedCall kOfferCapabilities = { SIM_OP_PAL_GET, OBJ_OUTPUT_CAPABILITIES };

/* Fails the next `count` calls of that kind with `status`. */
inline void FailNext(const ExpectedCall &call, DWORD count, DWORD status)
{
    SimFailNext(call.operation, call.object, count, status);
}

std::vector<SimCall> DeviceCalls();
std::string DescribeCall(DWORD operation, DWORD object);
/* gtest failure (non-fatal) for every difference; true when the sequences agree. */
bool ExpectCalls(const std::vector<ExpectedCall> &expected, const std::vector<SimCall> &got);
inline bool ExpectCalls(const std::vector<ExpectedCall> &expected) { return ExpectCalls(expected, DeviceCalls()); }

/* The record a logged call carried (written, or returned by a read). */
template <typename R> R RecordOf(const SimCall &call)
{
    R record;
    std::memset(&record, 0, sizeof record);
    std::memcpy(&record, call.record, call.recordBytes < sizeof record ? call.recordBytes : sizeof record);
    return record;
}

/* Writes only: the calls that changed something in the printer, in order. */
std::vector<SimCall> DeviceWrites();

/* A printer of the built-in kind with its fields changed by the caller, as the only printer. */
SimPrinter DefaultPrinter();
void UsePrinters(const std::vector<SimPrinter> &printers);

#endif
