/* Shortening a failing session: actions are dropped while it keeps failing. */
#ifndef PAGE_ACTIONS_SHRINK_H
#define PAGE_ACTIONS_SHRINK_H

#include <functional>
#include <string>
#include <vector>

/* `run` replays the session with only the kept actions and answers its failure, empty when
 * it passes. Returns the kept actions; `last` receives the failure they still show. */
std::vector<bool> Shrink(size_t actions, const std::function<std::string(const std::vector<bool> &)> &run,
                         std::string *last);

#endif
