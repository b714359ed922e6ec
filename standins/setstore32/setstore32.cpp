/* Setstore32 stand-in: Reg32Update with the outside library's arguments, so that BRIDGE32
 * links against it and loads. By default it reads nothing and keeps nothing; success unless
 * a pointer is missing.
 *
 * For the tests that call it through the bridge:
 *   SETSTORE32_RECORD   a file: each call appends one line with its number, the 16 bytes
 *                       behind each pointer (or "null") and the two integers, and then writes
 *                       its number into byte 15 of each buffer, so the caller can see that the
 *                       pointers lead to its own memory
 *   SETSTORE32_RESULTS  hexadecimal results, comma-separated: call n answers the n-th, the
 *                       last one repeats */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <initializer_list>
#include "../../bridge/setstore32.h"

static const int RECORDED_BYTES = 16;

static LONG g_calls;

static int AppendBytes(char *out, size_t room, const void *pointer)
{
    if (!pointer)
        return snprintf(out, room, "null");
    const unsigned char *bytes = static_cast<const unsigned char *>(pointer);
    int used = 0;
    for (int i = 0; i < RECORDED_BYTES; i++)
        used += snprintf(out + used, room - used, "%02X", bytes[i]);
    return used;
}

static void Record(long call, void *first, void *second, void *third, int32_t firstNumber,
                   int32_t secondNumber)
{
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("SETSTORE32_RECORD", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    char line[256];
    int used = snprintf(line, sizeof line, "%ld first=", call);
    used += AppendBytes(line + used, sizeof line - used, first);
    used += snprintf(line + used, sizeof line - used, " second=");
    used += AppendBytes(line + used, sizeof line - used, second);
    used += snprintf(line + used, sizeof line - used, " third=");
    used += AppendBytes(line + used, sizeof line - used, third);
    used += snprintf(line + used, sizeof line - used, " firstNumber=%ld secondNumber=%ld\r\n",
                     (long)firstNumber, (long)secondNumber);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, line, (DWORD)used, &written, NULL);
    CloseHandle(file);
    for (void *pointer : { first, second, third })
        if (pointer)
            static_cast<unsigned char *>(pointer)[RECORDED_BYTES - 1] = (unsigned char)call;
}

/* The n-th of SETSTORE32_RESULTS; false when it is not set. */
static bool ChosenResult(long call, uint32_t *result)
{
    char list[512];
    DWORD length = GetEnvironmentVariableA("SETSTORE32_RESULTS", list, sizeof list);
    if (length == 0 || length >= sizeof list)
        return false;
    const char *p = list;
    for (long i = 1;; i++) {
        char *end;
        *result = (uint32_t)strtoul(p, &end, 16);
        if (i == call || *end != ',')
            return true;
        p = end + 1;
    }
}

extern "C" uint32_t THUNK_API Reg32Update(void *first, void *second, void *third,
                                          int32_t firstNumber, int32_t secondNumber)
{
    long call = InterlockedIncrement(&g_calls);
    Record(call, first, second, third, firstNumber, secondNumber);
    uint32_t result;
    if (ChosenResult(call, &result))
        return result;
    return first && second && third ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}
