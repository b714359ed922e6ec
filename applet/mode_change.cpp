/* Mode change (placeholder). */
#include "binpanel.h"

DWORD ChangeHcoMode(HWND, DWORD) { return DEVOBJ_FAILURE; }
