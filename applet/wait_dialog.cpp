/* The wait dialog (placeholder). */
#include "binpanel.h"

extern "C" INT_PTR WINAPI WaitDialogExProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
void WaitDialogTick(HWND, INT_PTR) {}
