/* Setstore32 stand-in: Reg32Update with the outside library's arguments, so that BRIDGE32
 * links against it and loads. It reads nothing and keeps nothing; success unless a
 * pointer is missing. */
#include <windows.h>
#include "../../bridge/setstore32.h"

extern "C" uint32_t THUNK_API Reg32Update(void *first, void *second, void *third,
                                          int32_t firstNumber, int32_t secondNumber)
{
    (void)firstNumber;
    (void)secondNumber;
    return first && second && third ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}
