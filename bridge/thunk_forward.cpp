/* The forwarding rule of BRIDGE32's thunk target. */
#include "thunk_forward.h"

ThunkOutcome ForwardThunkCall(const ThunkServices &services, const ArgumentBlock16 &block)
{
    /* released as the caller passed them, whatever Reg32Update did with the flat ones */
    uint32_t segmented[THUNK_RELEASE_COUNT] = { block.thirdPointer, block.secondPointer,
                                                block.firstPointer };
    void *third = services.mapSLFix(segmented[0]);
    void *second = services.mapSLFix(segmented[1]);
    void *first = services.mapSLFix(segmented[2]);

    services.prolog();
    uint32_t result = services.update(first, second, third, block.firstNumber, block.secondNumber);
    services.epilog();

    services.unMapSLFixArray(THUNK_RELEASE_COUNT, segmented);
    ThunkOutcome outcome = { result, sizeof(ArgumentBlock16) };
    return outcome;
}
