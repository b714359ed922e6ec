/* The job monitor library's two operations, as Quelaunch imports them. Each shows its
 * monitor and returns when the monitor ends; TRUE when it was shown. */
#ifndef SPOOLWATCH_H
#define SPOOLWATCH_H

#include <windows.h>

#ifdef SPOOLWATCH_BUILD
#define SPOOLWATCH_API
#else
#define SPOOLWATCH_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

SPOOLWATCH_API BOOL WINAPI MonitorPrintJobs2(const char *printer, LONG h);
SPOOLWATCH_API BOOL WINAPI MonitorQueueJobs2(const char *server, const char *queue, const char *printer, LONG h);

#ifdef __cplusplus
}
#endif

#endif
