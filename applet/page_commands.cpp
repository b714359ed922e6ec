/* Control commands (placeholder). */
#include "binpanel.h"

void OnControlCommand(HWND dialog, int controlId, HWND, UINT)
{
    if (controlId == IDOK || controlId == IDCANCEL)
        EndDialog(dialog, controlId);
}
