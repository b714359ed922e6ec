/* Page population (placeholder). */
#include "binpanel.h"

DWORD PopulatePage(HWND) { return 1; }
void FillDestinationList(void) {}
void SetControlIcon(HWND, int, int) {}
