/* The page sessions' watchdog: a step that hangs or a crash is reported with the session's
 * seed, since neither lets the session shorten itself. */
#ifndef PAGE_ACTIONS_WATCHDOG_H
#define PAGE_ACTIONS_WATCHDOG_H

#include <string>

void StartWatchdog();
/* Starts the clock on a step, under the name printed on a hang; Unwatch stops it. */
void Watch(const std::string &what);
void Unwatch();
/* The session running now, for the report; 0 for none. */
void WatchSession(unsigned seed, bool running);

#endif
