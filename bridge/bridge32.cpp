/* BRIDGE32: the table the platform connects the two halves through, the entry routine,
 * and the thunk target that carries each 16-bit call over to Reg32Update. */
#include <windows.h>
#include "bridge_connect.h"
#include "thunk_data.h"
#include "thunk_forward.h"
#include "thunk_services.h"

extern "C" void Reg32UpdateTarget(void);

static BridgeTargets g_targets = {
    { Reg32UpdateTarget },
    "BRIDGE16.DLL",
    0,
    "ZorvoReg_ThunkData16",
    "BRIDGE32.DLL",
};

extern "C" {
ThunkTable ZorvoReg_ThunkData32 = {
    { 'S', 'L', '0', '1' },
    THUNK_CHECKSUM,
    g_targets.targetTable,
    0,
    { 'L', 'B', '0', '1' },
    { 0, 0, 0 },
    BRIDGE_NAME_TO_TARGET_TABLE,
};
}

static uint32_t WINAPI Reg32UpdateThunk(void *first, void *second, void *third, int32_t firstNumber,
                                        int32_t secondNumber)
{
    return Reg32Update(first, second, third, firstNumber, secondNumber);
}

static const ThunkServices g_services = {
    MapSLFix, UnMapSLFixArray, K32Thk1632Prolog, K32Thk1632Epilog, Reg32UpdateThunk,
};

/* The result in the low half (EAX), the argument byte count in the high half (EDX). */
extern "C" __attribute__((used)) uint64_t Reg32UpdateFromFrame(const ArgumentBlock16 *block)
{
    ThunkOutcome outcome = ForwardThunkCall(g_services, *block);
    return (uint64_t)outcome.argumentBytes << 32 | outcome.result;
}

/* The platform's 16-to-32 flat thunk enters the target on the 32-bit stack with EBX holding
 * a flat pointer into the 16-bit caller's stack, its ArgumentBlock16 22 bytes above. It
 * takes back the number of argument bytes to drop in CX and hands the caller DX:AX made of
 * the low words of EDX and EAX, so EDX carries the result's upper half. The caller's SI
 * and DI are not restored on the way back: ESI and EDI survive the C call. */
extern "C" __attribute__((naked)) void Reg32UpdateTarget(void)
{
    __asm__("leal 22(%ebx), %eax\n\t"
            "pushl %eax\n\t"
            "call _Reg32UpdateFromFrame\n\t"
            "addl $4, %esp\n\t"
            "movl %edx, %ecx\n\t"
            "movl %eax, %edx\n\t"
            "shrl $16, %edx\n\t"
            "ret");
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    static const BridgeConnection connection = { &ZorvoReg_ThunkData32, g_targets.table16Name,
                                                 g_targets.module16, g_targets.module32 };
    return BridgeNotify(ThunkConnect32, connection, instance, reason);
}
