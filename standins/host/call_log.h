/* The simulated printer's calls as the host shows them: operation, object, outcome and
 * what the record said, in a few words. */
#ifndef CALL_LOG_H
#define CALL_LOG_H

#include <windows.h>
#include <string>
#include <vector>
#include "devobj_sim.h"

struct CallText {
    std::string operation;
    std::string object;
    std::string outcome;
    std::string detail;
};

CallText DescribeSimCall(const SimCall &call);
/* The bin records of an HcoConfigRecord write that carries names, one line each; empty otherwise. */
std::vector<std::string> ConfigBinLines(const SimCall &call);
std::string ModeName(DWORD mode);

#endif
