/* The forwarding rule of BRIDGE32's thunk target: 16-bit arguments in, one call to
 * Reg32Update, the mappings released. No windows.h: the platform's thunk services come in
 * as a table, so the rule is built and tested natively against recording substitutes. */
#ifndef THUNK_FORWARD_H
#define THUNK_FORWARD_H

#include <stddef.h>
#include <stdint.h>

/* The kernel exports the thunk services and Setstore32 its routine with __stdcall; the
 * native build has one calling convention only. */
#if defined(_WIN32) && defined(__i386__)
#define THUNK_API __attribute__((stdcall))
#else
#define THUNK_API
#endif

/* What the 16-bit caller leaves on its stack: pushed first argument first, so the last
 * argument lies lowest. Segmented pointers are 16:16, offset in the low word. */
struct ArgumentBlock16 {
    int16_t secondNumber;
    int16_t firstNumber;
    uint32_t thirdPointer;
    uint32_t secondPointer;
    uint32_t firstPointer;
};
static_assert(sizeof(ArgumentBlock16) == 16, "ArgumentBlock16 is the caller's 16 argument bytes");
static_assert(offsetof(ArgumentBlock16, secondNumber) == 0, "fifth argument");
static_assert(offsetof(ArgumentBlock16, firstNumber) == 2, "fourth argument");
static_assert(offsetof(ArgumentBlock16, thirdPointer) == 4, "third argument");
static_assert(offsetof(ArgumentBlock16, secondPointer) == 8, "second argument");
static_assert(offsetof(ArgumentBlock16, firstPointer) == 12, "first argument");

#define THUNK_RELEASE_COUNT 3

struct ThunkServices {
    void *(THUNK_API *mapSLFix)(uint32_t segmented);
    void (THUNK_API *unMapSLFixArray)(uint32_t count, uint32_t *segmented);
    void (THUNK_API *prolog)(void);
    void (THUNK_API *epilog)(void);
    /* Reg32UpdateThunk: the five values in the caller's order. */
    uint32_t (THUNK_API *update)(void *first, void *second, void *third, int32_t firstNumber,
                                 int32_t secondNumber);
};

struct ThunkOutcome {
    uint32_t result;        /* Reg32Update's, untouched */
    uint32_t argumentBytes; /* what the platform drops from the 16-bit caller's stack */
};

ThunkOutcome ForwardThunkCall(const ThunkServices &services, const ArgumentBlock16 &block);

#endif
