/* A thread that ends the process when a step takes more than 30 seconds, printing where
 * the main thread stands; and the filter that reports a crash the same way. */
#include "watchdog.h"

#include <windows.h>
#include <cstdio>

#ifdef _WIN64
#define STACK_OF(context) ((context)->Rsp)
#define PC_OF(context) ((context)->Rip)
#else
#define STACK_OF(context) ((context)->Esp)
#define PC_OF(context) ((context)->Eip)
#endif

namespace {

volatile LONG g_started; /* GetTickCount at the step's start, made odd; 0 between steps */
std::string g_step;
unsigned g_seed;
bool g_running;
HANDLE g_mainThread;

void PrintFrame(ULONG_PTR value, bool withAddress)
{
    HMODULE module;
    char name[MAX_PATH];
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           (LPCSTR)value, &module) &&
        GetModuleFileNameA(module, name, MAX_PATH)) {
        if (withAddress)
            printf("  %p %s+%llx\n", (void *)value, name, (unsigned long long)(value - (ULONG_PTR)module));
        else
            printf("  %s+%llx\n", name, (unsigned long long)(value - (ULONG_PTR)module));
    }
}

void PrintSession()
{
    if (g_running)
        printf("page-actions: session seed %u (replay with --session %u)\n", g_seed, g_seed);
    fflush(stdout);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS *info)
{
    HMODULE where = nullptr;
    char name[MAX_PATH] = "?";
    void *at = info->ExceptionRecord->ExceptionAddress;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           (LPCSTR)at, &where))
        GetModuleFileNameA(where, name, MAX_PATH);
    printf("page-actions: CRASH 0x%08lX at %s+0x%llx during \"%s\"\n", (unsigned long)info->ExceptionRecord->ExceptionCode,
           name, (unsigned long long)((ULONG_PTR)at - (ULONG_PTR)where), g_step.c_str());
    if (getenv("PAGE_ACTIONS_STACK")) {
        const ULONG_PTR *sp = (const ULONG_PTR *)STACK_OF(info->ContextRecord);
        for (int i = 0; i < 300; i++)
            if (sp[i])
                PrintFrame(sp[i], false);
    }
    PrintSession();
    ExitProcess(3);
    return EXCEPTION_EXECUTE_HANDLER;
}

DWORD WINAPI WatchdogThread(LPVOID)
{
    for (;;) {
        Sleep(1000);
        LONG started = g_started;
        /* signed: the start is marked odd, so it can lie a millisecond ahead of now */
        if (!started || (LONG)(GetTickCount() - (DWORD)started) <= 30000)
            continue;
        printf("page-actions: HANG for 30 s during \"%s\"\n", g_step.c_str());
        SuspendThread(g_mainThread);
        CONTEXT context;
        context.ContextFlags = CONTEXT_FULL;
        if (GetThreadContext(g_mainThread, &context)) {
            const ULONG_PTR *sp = (const ULONG_PTR *)STACK_OF(&context);
            PrintFrame(PC_OF(&context), true);
            for (int i = 0; i < 400; i++)
                PrintFrame(sp[i], true);
        }
        PrintSession();
        ExitProcess(4);
    }
}

} // namespace

void StartWatchdog()
{
    SetUnhandledExceptionFilter(OnCrash);
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &g_mainThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    CreateThread(nullptr, 0, WatchdogThread, nullptr, 0, nullptr);
}

void Watch(const std::string &what)
{
    g_step = what;
    g_started = (LONG)GetTickCount() | 1;
}

void Unwatch()
{
    g_started = 0;
}

void WatchSession(unsigned seed, bool running)
{
    g_seed = seed;
    g_running = running;
}
