/* The Windows 95 kernel thunk services and Setstore32's routine, as BRIDGE32 links them.
 * Not dllimport: their addresses go into a constant table, which must need no code to
 * initialise (there is no runtime to run it). */
#ifndef THUNK_SERVICES_H
#define THUNK_SERVICES_H

#include <stdint.h>
#include "thunk_forward.h"

extern "C" {
uint32_t THUNK_API ThunkConnect32(void *thunkTable, const char *table16Name, const char *module16,
                                  const char *module32, void *instance, uint32_t reason);
void *THUNK_API MapSLFix(uint32_t segmented);
void THUNK_API UnMapSLFixArray(uint32_t count, uint32_t *segmented);
void THUNK_API K32Thk1632Prolog(void);
void THUNK_API K32Thk1632Epilog(void);
}

#include "setstore32.h"

#endif
