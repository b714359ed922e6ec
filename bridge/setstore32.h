/* Setstore32's one routine that BRIDGE32 forwards to. It must not keep the three
 * pointers: the bridge releases their mappings as soon as it returns. */
#ifndef SETSTORE32_H
#define SETSTORE32_H

#include <stdint.h>
#include "thunk_forward.h"

extern "C" uint32_t THUNK_API Reg32Update(void *first, void *second, void *third,
                                          int32_t firstNumber, int32_t secondNumber);

#endif
