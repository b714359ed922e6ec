/* The entry rule of BRIDGE32: every load, unload and thread notification connects the two
 * halves again with the same table and names. No windows.h: built and tested natively. */
#ifndef BRIDGE_CONNECT_H
#define BRIDGE_CONNECT_H

#include <stdint.h>
#include "thunk_forward.h"

typedef uint32_t (THUNK_API *ThunkConnectFn)(void *thunkTable, const char *table16Name,
                                             const char *module16, const char *module32,
                                             void *instance, uint32_t reason);

struct BridgeConnection {
    void *thunkTable;
    const char *table16Name;
    const char *module16;
    const char *module32;
};

/* The connect call's answer as the entry routine's result: exactly 1 for success. */
int BridgeNotify(ThunkConnectFn thunkConnect, const BridgeConnection &connection, void *instance,
                 uint32_t reason);

#endif
