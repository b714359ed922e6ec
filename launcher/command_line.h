/* Quelaunch's command line: the keys P=, Q=, S= and H= read from the text after the program
 * name, and the choice of the Spoolwatch monitor. No windows.h, so that
 * the rules are built and tested natively; the program upper-cases the text with the
 * system's CharUpperA before the parse. */
#ifndef COMMAND_LINE_H
#define COMMAND_LINE_H

#include <stddef.h>
#include <stdint.h>

/* The parse's work buffer; every copy into it is bounded to PARSE_COPY_LIMIT bytes counting
 * the terminating zero, so at most 510 characters of the line are ever seen. */
#define PARSE_BUFFER_SIZE 512
#define PARSE_COPY_LIMIT 511
#define LAUNCH_TEXT_SIZE PARSE_COPY_LIMIT

struct LaunchKeys {
    char p[LAUNCH_TEXT_SIZE]; /* "P=", or the whole line when no text key has a value */
    char q[LAUNCH_TEXT_SIZE]; /* "Q=" */
    char s[LAUNCH_TEXT_SIZE]; /* "S=" */
    int32_t h;                /* "H=", by the atol rule */
};

/* Fills keys from an upper-cased command-line text (keys found by plain substring search,
 * values by the strtok rule with ", "), then applies the fallback. */
void ParseLaunchKeys(const char *text, LaunchKeys *keys);

/* The atol rule: leading white space, an optional sign, decimal digits up to the first
 * other character; 0 without digits. Numbers beyond 32 bits saturate at the nearer limit. */
int32_t ParseDecimal(const char *text);

enum MonitorKind { MONITOR_PRINT_JOBS, MONITOR_QUEUE_JOBS };

/* Only the queue decides: the server and printer texts may be empty either way. */
MonitorKind ChooseMonitor(const char *queue);

#endif
