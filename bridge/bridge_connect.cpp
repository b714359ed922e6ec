/* The entry rule of BRIDGE32. */
#include "bridge_connect.h"

int BridgeNotify(ThunkConnectFn thunkConnect, const BridgeConnection &connection, void *instance,
                 uint32_t reason)
{
    uint32_t connected = thunkConnect(connection.thunkTable, connection.table16Name,
                                      connection.module16, connection.module32, instance, reason);
    return connected != 0 ? 1 : 0;
}
