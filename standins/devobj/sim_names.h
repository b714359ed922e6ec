/* The names of the simulated printer's operations and of the device objects, as the host's
 * call log and the tests print them. */
#ifndef SIM_NAMES_H
#define SIM_NAMES_H

#include "devobj_sim.h"

/* The name of an operation or an object; null for a value that has none. */
inline const char *SimOperationName(DWORD operation)
{
    switch (operation) {
    case SIM_OP_LAL_GET: return "LALGetObject";
    case SIM_OP_PAL_GET: return "PALGetObject";
    case SIM_OP_LAL_SET: return "LALSetObject";
    case SIM_OP_CAL_SET: return "CALSetObject";
    case SIM_OP_CAL_GET_COMPONENT: return "CALGetComponentObject";
    case SIM_OP_CAL_SET_COMPONENT: return "CALSetComponentObject";
    case SIM_OP_TAL_MODIFY_ACCESS: return "TALModifyAccess";
    }
    return nullptr;
}

inline const char *SimObjectName(DWORD object)
{
    switch (object) {
    case OBJ_PERIPHERAL_INFO: return "OBJ_PERIPHERAL_INFO";
    case OBJ_OUTPUT_CAPABILITIES: return "OBJ_OUTPUT_CAPABILITIES";
    case OBJ_AUTO_CONTINUE: return "OBJ_AUTO_CONTINUE";
    case OBJ_COMPONENT_LIST: return "OBJ_COMPONENT_LIST";
    case OBJ_HCO_CONFIG: return "OBJ_HCO_CONFIG";
    case OBJ_PAPER_DESTINATION: return "OBJ_PAPER_DESTINATION";
    case OBJ_ONLINE_STATE: return "OBJ_ONLINE_STATE";
    case OBJ_POWER_CYCLE: return "OBJ_POWER_CYCLE";
    }
    return nullptr;
}

#endif
